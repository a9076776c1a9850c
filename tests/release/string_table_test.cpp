// The guide quotes the plug-in's texts from its string tables: each literal must read as the
// compiler reads it, and a table the guide cannot read for certain must stop the release.
#include "release/guide/string_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct LiteralCase {
    const char* name;
    const char* contents;  // between the quotes, as written in the table
    const char* text;      // as the compiler reads it
};

class LiteralTest : public testing::TestWithParam<LiteralCase> {};

TEST_P(LiteralTest, DecodesAsTheCompilerDoes) {
    EXPECT_EQ(guide::DecodeLiteral(GetParam().contents), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Literals, LiteralTest,
    testing::Values(LiteralCase{"Plain", "Brs ", "Brs "},
                    LiteralCase{"LineBreaks", "a\\n\\nb", "a\n\nb"},
                    LiteralCase{"QuoteAndBackslash", "\\\"x\\\\y\\'", "\"x\\y'"},
                    LiteralCase{"Octal", "\\1012\\0619", "A219"},  // at most three digits
                    LiteralCase{"Hexadecimal", "\\x41\\x42-", "AB-"},
                    LiteralCase{"HexadecimalUtf8", "\\xc3\\xa4", "\xc3\xa4"},
                    LiteralCase{"UniversalCharacter", "Gr\\u00fc\\u00DFe \\U0001F3B5", "Grüße 🎵"},
                    LiteralCase{"Utf8Source", "«\xc2\xa0mesure\xc2\xa0» 小節",
                                "«\xc2\xa0mesure\xc2\xa0» 小節"}),
    [](const testing::TestParamInfo<LiteralCase>& info) { return info.param.name; });

struct BadLiteralCase {
    const char* name;
    const char* contents;
};

class BadLiteralTest : public testing::TestWithParam<BadLiteralCase> {};

TEST_P(BadLiteralTest, IsRefused) {
    EXPECT_THROW(guide::DecodeLiteral(GetParam().contents), guide::TableError);
}

INSTANTIATE_TEST_SUITE_P(
    BadLiterals, BadLiteralTest,
    testing::Values(
        BadLiteralCase{"UnknownEscape", "a\\qb"}, BadLiteralCase{"LoneBackslash", "a\\"},
        BadLiteralCase{"HexWithoutDigits", "\\xg"}, BadLiteralCase{"HexBeyondAByte", "\\x100"},
        BadLiteralCase{"HexTakesEveryDigit", "\\x42c"}, BadLiteralCase{"OctalBeyondAByte", "\\777"},
        BadLiteralCase{"ShortUniversal", "\\u00e"}, BadLiteralCase{"Surrogate", "\\ud800"},
        BadLiteralCase{"NotUtf8", "\\xe4"}, BadLiteralCase{"OverlongUtf8", "\xc0\xaf"}),
    [](const testing::TestParamInfo<BadLiteralCase>& info) { return info.param.name; });

TEST(StringTable, ReadsBothFormsOfEntryAndJoinsLiterals) {
    const auto texts = guide::ParseTable(
        "/* a comment */\n"
        "#pragma once\n"
        "VB_STRING(101, \"Vorlan Brisane\")\n"
        "VB_STRING(IDS_SMALL_RANGE, 203, \"Continue \" // a note\n"
        "  \"anyway?\")\n"
        "VB_STRING( IDS_NO_GROUP ,204,\"No \\\"group\\\"\\n\")\n",
        "test.def");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts.at(101), "Vorlan Brisane");
    EXPECT_EQ(texts.at(203), "Continue anyway?");
    EXPECT_EQ(texts.at(204), "No \"group\"\n");
}

struct BadTableCase {
    const char* name;
    const char* source;
    const char* message;  // part of the error: the file, line and what
};

class BadTableTest : public testing::TestWithParam<BadTableCase> {};

TEST_P(BadTableTest, IsRefusedNamingTheLine) {
    try {
        guide::ParseTable(GetParam().source, "strings.de.def");
        FAIL() << "no error";
    } catch (const guide::TableError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    BadTables, BadTableTest,
    testing::Values(
        BadTableCase{"IdTwice", "VB_STRING(201, \"a\")\nVB_STRING(201, \"b\")\n",
                     "strings.de.def:2: id 201 is given twice"},
        BadTableCase{"NameWithoutId", "VB_STRING(IDS_X, \"a\")",
                     "strings.de.def:1: expected a name or a number"},
        BadTableCase{"NoLiteral", "VB_STRING(201, IDS_X)", "expected a string literal"},
        BadTableCase{"Unclosed", "VB_STRING(201, \"a\"\n", "strings.de.def:2: expected ')'"},
        BadTableCase{"LiteralOverLines", "\nVB_STRING(201, \"a\nb\")",
                     "strings.de.def:2: a string literal is not closed"},
        BadTableCase{"BadEscape", "\n\nVB_STRING(201, \"\\q\")",
                     "strings.de.def:3: unknown escape"},
        BadTableCase{"OtherMacro", "STRING(201, \"a\")", "expected VB_STRING"},
        BadTableCase{"OpenComment", "/* VB_STRING(201, \"a\")", "a comment is not closed"}),
    [](const testing::TestParamInfo<BadTableCase>& info) { return info.param.name; });

// Every table the project ships reads, and holds the texts the guide quotes.
TEST(StringTable, EveryShippedTableReads) {
    int tables = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VB_RESOURCES_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("strings", 0) != 0 || entry.path().extension() != ".def") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream source;
        source << in.rdbuf();
        const auto texts = guide::ParseTable(source.str(), name);
        for (int id : {201, 202, 203, 204, 301, 302, 303, 304}) {
            EXPECT_FALSE(texts.count(id) && texts.at(id).empty()) << name << " " << id;
        }
        if (name == "strings.def") {
            EXPECT_EQ(texts.at(501), "Brisane ");
            EXPECT_EQ(texts.at(502), "Brs ");
        }
        ++tables;
    }
    EXPECT_GE(tables, 1);
}

}  // namespace
