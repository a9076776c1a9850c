// The plug-in's exports as the notation program calls them, in the built module: version, init,
// both enumeration records byte for byte, menu status, and the command without enumeration.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "language.h"
#include "plugin_module.h"
#include "session.h"
#include "standin/host.h"
#include "support/utf8.h"
#include "user32_standin.h"
#include "vb_string_tables.h"

namespace {

class PluginEntryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::Host::Instance().Reset();
        User32Standin_Reset();
        std::string error;
        ASSERT_TRUE(plugin.Load(VB_PLUGIN_PATH, &error)) << error;
    }
    const driver::LanguageScope english{"C"};  // the texts below are the English ones
    driver::PluginModule plugin;
};

// A text of a table in the sources, English where the table lacks it.
std::u16string SourceText(const char* code, uint32_t id) {
    const vb_strings::Table* english = &vb_strings::kTables[0];
    for (const vb_strings::Table& table : vb_strings::kTables) {
        for (size_t i = 0; i < table.count && std::string(code) == table.code; ++i) {
            if (table.entries[i].id == id) return table.entries[i].text;
        }
    }
    for (size_t i = 0; i < english->count; ++i) {
        if (english->entries[i].id == id) return english->entries[i].text;
    }
    return {};
}

TEST_F(PluginEntryTest, VersionInitAndMenuStatus) {
    EXPECT_EQ(plugin.Version(0x19000000), 0x11000000u);
    EXPECT_EQ(plugin.Version(0x0A000000), 0x11000000u);
    uint32_t flags = 0x6;
    EXPECT_EQ(plugin.Init(&flags), 1);
    EXPECT_EQ(flags, 0x7u);
    flags = 0xFFFFFFFE;
    plugin.Init(&flags);
    EXPECT_EQ(flags, 0xFFFFFFFFu);
    EXPECT_EQ(plugin.GetMenuStatus(), 1);
    plugin.Terminate();
}

// The 8-bit record: three zero-filled 64-byte fields and a 32-bit 1 at 0xC0.
TEST_F(PluginEntryTest, EightBitEnumerationRecordByteForByte) {
    std::array<uint8_t, 0xC4 + 8> record;
    record.fill(0xAB);
    ASSERT_EQ(plugin.Enumerate(0, record.data()), 1);
    std::array<uint8_t, 0xC4 + 8> expected{};
    std::memcpy(&expected[0x00], "Vorlan Brisane", 14);
    std::memcpy(&expected[0x40], "Splits groups into subgroups for the range of the selection.",
                60);
    std::memcpy(&expected[0x80], "Brisane", 7);
    expected[0xC0] = 1;
    for (size_t i = 0xC4; i < expected.size(); ++i) expected[i] = 0xAB;  // past the record
    EXPECT_EQ(record, expected);
}

// The UTF-16 record: at most 63 units and a zero unit per field; the rest as the host left it.
TEST_F(PluginEntryTest, UTF16EnumerationRecordLeavesUnitsAfterTheTerminator) {
    std::array<uint8_t, 0x304 + 8> record;
    record.fill(0xCD);
    ASSERT_EQ(plugin.EnumerateUTF16(-1, record.data()), 1);
    auto expected = record;
    expected.fill(0xCD);
    auto put = [&](size_t offset, const char* text) {
        size_t i = 0;
        for (; text[i] != '\0'; ++i) {
            expected[offset + 2 * i] = static_cast<uint8_t>(text[i]);
            expected[offset + 2 * i + 1] = 0;
        }
        expected[offset + 2 * i] = expected[offset + 2 * i + 1] = 0;
    };
    put(0x000, "Vorlan Brisane");
    put(0x100, "Splits groups into subgroups for the range of the selection.");
    put(0x200, "Brisane");
    expected[0x300] = 1;
    expected[0x301] = expected[0x302] = expected[0x303] = 0;
    EXPECT_EQ(record, expected);
}

// In the user's language: the UTF-16 record carries that language's description, and so does
// the 8-bit record where 8 bits hold it (French), else the English one (Japanese); the title and
// the menu entry are never translated.
TEST_F(PluginEntryTest, EnumerationRecordsSpeakTheUsersLanguage) {
    const struct {
        const char* locale;
        const char* table;
        const char* eightBitTable;
    } cases[] = {{"de_DE.UTF-8", "de", "de"},
                 {"fr_FR.UTF-8", "fr", "fr"},
                 {"ja_JP.UTF-8", "ja", "en"},
                 {"pt_BR.UTF-8", "en", "en"},
                 {"", "en", "en"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        const driver::LanguageScope language(c.locale);
        std::array<uint8_t, 0x304> record16{};
        ASSERT_EQ(plugin.EnumerateUTF16(0, record16.data()), 1);
        auto field16 = [&](size_t offset) {
            std::u16string text;
            for (size_t i = offset; record16[i] != 0 || record16[i + 1] != 0; i += 2) {
                text.push_back(static_cast<char16_t>(record16[i] | (record16[i + 1] << 8)));
            }
            return text;
        };
        EXPECT_EQ(field16(0x000), SourceText("en", 101));
        EXPECT_EQ(field16(0x100), SourceText(c.table, 102));
        EXPECT_EQ(field16(0x200), SourceText("en", 103));
        std::array<uint8_t, 0xC4> record8{};
        ASSERT_EQ(plugin.Enumerate(0, record8.data()), 1);
        const std::u16string description = SourceText(c.eightBitTable, 102);
        std::u16string field8;
        for (size_t i = 0x40; i < 0x80 && record8[i] != 0; ++i) field8.push_back(record8[i]);
        EXPECT_EQ(field8, description);
    }
}

TEST_F(PluginEntryTest, OnlyIndexZeroAndBelowEnumerate) {
    for (int16_t index : {int16_t{1}, int16_t{2}, int16_t{32767}}) {
        std::array<uint8_t, 0x304> record;
        record.fill(0x5A);
        const auto before = record;
        EXPECT_EQ(plugin.Enumerate(index, record.data()), 0);
        EXPECT_EQ(plugin.EnumerateUTF16(index, record.data()), 0);
        EXPECT_EQ(record, before) << index;
    }
    std::array<uint8_t, 0xC4> record{};
    EXPECT_EQ(plugin.Enumerate(-1, record.data()), 1);
    EXPECT_EQ(record[0], 'V');
}

// Before any enumeration the library has no resource instance: every text reads as the
// fallback, and the command still runs.
TEST_F(PluginEntryTest, CommandBeforeEnumerationShowsTheFallbackText) {
    plugin.Version(0x19000000);
    User32Standin_SetAnswer(6);
    EXPECT_EQ(plugin.Invoke(nullptr, nullptr), 0);
    EXPECT_EQ(User32Standin_CallCount(), 2);  // the question, then "no group"
    EXPECT_EQ(std::u16string(User32Standin_LastText()), u"Resource String Error");
    EXPECT_EQ(std::u16string(User32Standin_LastCaption()), u"Resource String Error");
    EXPECT_EQ(User32Standin_LastStyle(), 0x40u);
}

// The host version the program reports is what the command goes by.
TEST_F(PluginEntryTest, CommandSeesTheReportedHostVersion) {
    auto& host = standin::Host::Instance();
    for (int16_t s = 1; s <= 3; ++s) host.AddStaff(s, "");
    host.SetMeasureCount(8);
    host.AddMultiStaffInstrument(1, 1, 2);
    driver::Selection piano{0, 1, 2, 1, 4};
    const auto record = driver::RegionRecord(piano);
    std::array<uint8_t, 0xC4> enumeration{};
    plugin.Enumerate(0, enumeration.data());
    plugin.Version(0x19000000);
    EXPECT_EQ(plugin.Invoke(nullptr, record.data()), 0);
    EXPECT_EQ(std::u16string(User32Standin_LastCaption()), u"Multi-staff Instrument Range");
    plugin.Version(0x10FFFFFF);
    EXPECT_EQ(plugin.Invoke(nullptr, record.data()), 0);
    EXPECT_EQ(std::u16string(User32Standin_LastCaption()), u"No Group");
}

// Two commands in one load of the module, on two documents that differ in what a command reads
// once (name fonts, staff systems, the last measure, the document number): the second command
// reads them all afresh.
TEST(TwoCommands, EachCommandReadsItsOwnDocument) {
    auto& host = standin::Host::Instance();
    host.Reset();
    User32Standin_Reset();
    driver::Session session;
    std::string error;
    ASSERT_TRUE(session.Start(VB_PLUGIN_PATH, 0x19000000, &error)) << error;
    const std::string staves =
        R"("staves": [{"number": 1}, {"number": 2}, {"number": 3}, {"number": 4}])";
    const std::string first = "{\"documentNumber\": 1, \"measureCount\": 40, " + staves +
                              R"(, "staffSystems": [{"system": 1, "staves": [1, 2, 3, 4]}],
        "groups": [{"number": 1, "startStaff": 1, "endStaff": 2, "startMeasure": 1,
                    "endMeasure": 40, "fullName": "Violins", "abbrevName": "Vlns."}],
        "fonts": [{"number": 2, "name": "Garamond"}],
        "fontPrefs": [{"number": 33, "font": 2, "size": 12, "effects": 0},
                      {"number": 39, "font": 2, "size": 10, "effects": 0}]})";
    // System 1 hides staff 3, so the group over staves 1 to 3 spans the selected 1 and 2 there;
    // measure 24, the selection's end, is the last; other fonts.
    const std::string second = "{\"documentNumber\": 2, \"measureCount\": 24, " + staves +
                               R"(, "staffSystems": [{"system": 1, "staves": [1, 2, 4]}],
        "groups": [{"number": 1, "startStaff": 1, "endStaff": 3, "startMeasure": 1,
                    "endMeasure": 30, "fullName": "Winds", "abbrevName": "Wds."}],
        "fonts": [{"number": 2, "name": "Arial"}],
        "fontPrefs": [{"number": 33, "font": 2, "size": 14, "effects": 0},
                      {"number": 39, "font": 2, "size": 9, "effects": 0}]})";
    struct Expected {
        int16_t start, end;
        std::string full, abbrev;
        bool operator==(const Expected&) const = default;
    };
    auto groups = [&] {
        std::vector<Expected> out;
        for (const auto& g : host.Groups()) {
            out.push_back({g.startMeasure, g.endMeasure, support::Utf8(g.fullName),
                           support::Utf8(g.abbrevName)});
        }
        return out;
    };

    ASSERT_TRUE(host.LoadDocumentJson(first, &error)) << error;
    EXPECT_EQ(session.Invoke(driver::Selection{1, 1, 2, 5, 24}, driver::ScriptedAnswers({})).result,
              1);
    EXPECT_EQ(groups(),
              (std::vector<Expected>{{1, 4, "Violins", "Vlns."},
                                     {5, 24, "Violins^font(Garamond)^size(12)^nfx(128)(Brisane 2)",
                                      "Vlns.^font(Garamond)^size(10)^nfx(128)(Brs 2)"},
                                     {25, 40, "Violins^font(Garamond)^size(12)^nfx(128)(Brisane 3)",
                                      "Vlns.^font(Garamond)^size(10)^nfx(128)(Brs 3)"}}));

    ASSERT_TRUE(host.LoadDocumentJson(second, &error)) << error;
    EXPECT_EQ(session.Invoke(driver::Selection{1, 1, 2, 9, 24}, driver::ScriptedAnswers({})).result,
              1);
    EXPECT_EQ(groups(),
              (std::vector<Expected>{{1, 8, "Winds", "Wds."},
                                     {9, 30, "Winds^font(Arial)^size(14)^nfx(128)(Brisane 2)",
                                      "Wds.^font(Arial)^size(9)^nfx(128)(Brs 2)"}}));
    session.Stop();
}

}  // namespace
