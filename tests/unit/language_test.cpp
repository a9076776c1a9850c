// The user's language and the string tables: the language the environment names, each entry in
// that language's table, English per entry where the table lacks it or there is no table, and
// the fallback text before enumeration in any language.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "framework/base/module_state.h"
#include "framework/text/fc_string.h"
#include "locale_environment.h"
#include "platform/platform.h"
#include "resources/string_tables.h"

namespace {

constexpr uint16_t kEnglish = 0x09, kGerman = 0x07, kFrench = 0x0C, kJapanese = 0x11;

std::u16string Text(const FCString& s) {
    return std::u16string(s.GetUTF16(), s.GetLength());
}

const vb_strings::Table& TableOf(std::string_view code) {
    const vb_strings::Table* table = vb_strings::TableOfCode(code);
    if (table == nullptr) throw std::logic_error("no table " + std::string(code));
    return *table;
}

const char16_t* SourceText(const vb_strings::Table& table, uint32_t id) {
    const vb_strings::Entry* entry = vb_strings::EntryOf(table, id);
    return entry != nullptr ? entry->text : nullptr;
}

struct LanguageCase {
    const char* name;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    uint16_t language;
};

class UserLanguage : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(UserLanguage, FollowsTheEnvironment) {
    const LanguageCase& c = GetParam();
    const LocaleEnvironment environment(c.lcAll, c.lcMessages, c.lang);
    EXPECT_EQ(platform::UserLanguage(), c.language);
}

INSTANTIATE_TEST_SUITE_P(
    Environment, UserLanguage,
    ::testing::Values(
        LanguageCase{"NoneSetIsEnglish", nullptr, nullptr, nullptr, kEnglish},
        LanguageCase{"LcAllGerman", "de_DE.UTF-8", nullptr, nullptr, kGerman},
        LanguageCase{"LcAllBeforeTheOthers", "fr_FR.UTF-8", "de_DE.UTF-8", "ja_JP.UTF-8", kFrench},
        LanguageCase{"LcMessagesBeforeLang", nullptr, "ja_JP.UTF-8", "de_DE.UTF-8", kJapanese},
        LanguageCase{"LangAlone", nullptr, nullptr, "fr_CA.ISO-8859-1", kFrench},
        LanguageCase{"EmptyCountsAsUnset", "", "", "de_AT", kGerman},
        LanguageCase{"CIsEnglishWhateverFollows", "C", "de_DE.UTF-8", "ja_JP.UTF-8", kEnglish},
        LanguageCase{"CUtf8IsEnglish", "C.UTF-8", nullptr, "fr_FR.UTF-8", kEnglish},
        LanguageCase{"PosixIsEnglish", nullptr, "POSIX", "de_DE.UTF-8", kEnglish},
        LanguageCase{"ModifierAfterTheCode", "de@euro", nullptr, nullptr, kGerman},
        LanguageCase{"BareCode", "ja", nullptr, nullptr, kJapanese},
        LanguageCase{"EnglishOfAnotherTerritory", "en_GB.UTF-8", nullptr, nullptr, kEnglish},
        LanguageCase{"LanguageWithoutATable", "pt_BR.UTF-8", nullptr, "de_DE.UTF-8", 0},
        LanguageCase{"NameThatIsNoCode", "German", nullptr, nullptr, 0}),
    [](const ::testing::TestParamInfo<LanguageCase>& test) { return test.param.name; });

class ResourceStrings : public ::testing::Test {
  protected:
    void SetUp() override { vb::resourceInstance = platform::OwnModule(); }
    void TearDown() override { vb::resourceInstance = nullptr; }
};

// For every table: each entry reads as that table has it, and an entry the table lacks (the
// product name, the menu entry, the split markers) as English has it, never as the fallback.
TEST_F(ResourceStrings, EveryEntryReadsInTheUsersLanguageOrElseInEnglish) {
    const vb_strings::Table& english = vb_strings::kTables[0];
    for (const vb_strings::Table& table : vb_strings::kTables) {
        const std::string locale = std::string(table.code) + ".UTF-8";
        const LocaleEnvironment environment(locale.c_str());
        ASSERT_EQ(platform::UserLanguage(), table.language) << locale;
        for (size_t i = 0; i < english.count; ++i) {
            const uint32_t id = english.entries[i].id;
            const char16_t* own = SourceText(table, id);
            FCString s;
            EXPECT_TRUE(s.LoadResourceString(id, nullptr)) << table.name << " " << id;
            EXPECT_EQ(Text(s), own != nullptr ? own : english.entries[i].text)
                << table.name << " " << id;
        }
    }
}

TEST_F(ResourceStrings, ALanguageWithoutATableReadsEnglish) {
    const LocaleEnvironment environment("pt_BR.UTF-8");
    FCString s;
    EXPECT_TRUE(s.LoadResourceString(304, nullptr));
    EXPECT_EQ(Text(s), u"No Group");
}

TEST_F(ResourceStrings, EnglishAskedForReadsEnglishInAnyLanguage) {
    const LocaleEnvironment environment("ja_JP.UTF-8");
    FCString s;
    EXPECT_TRUE(s.LoadResourceString(304, nullptr, kEnglish));
    EXPECT_EQ(Text(s), u"No Group");
    EXPECT_TRUE(s.LoadResourceString(304, nullptr));
    EXPECT_NE(Text(s), u"No Group");
}

TEST_F(ResourceStrings, MissingEntryReadsTheFallbackInEveryLanguage) {
    for (const char* locale : {"de_DE.UTF-8", "ja_JP.UTF-8", "pt_BR.UTF-8"}) {
        const LocaleEnvironment environment(locale);
        FCString s(u"keep?");
        EXPECT_FALSE(s.LoadResourceString(999, nullptr)) << locale;
        EXPECT_EQ(Text(s), u"Resource String Error") << locale;
    }
}

TEST_F(ResourceStrings, BeforeEnumerationEveryLanguageReadsTheFallback) {
    vb::resourceInstance = nullptr;
    const LocaleEnvironment environment("fr_FR.UTF-8");
    FCString s;
    EXPECT_FALSE(s.LoadResourceString(304, nullptr));
    EXPECT_EQ(Text(s), u"Resource String Error");
    // A module named explicitly is read without becoming the resource instance.
    EXPECT_TRUE(s.LoadResourceString(304, platform::OwnModule()));
    EXPECT_EQ(Text(s), SourceText(TableOf("fr"), 304));
    EXPECT_EQ(vb::resourceInstance, nullptr);
}

}  // namespace
