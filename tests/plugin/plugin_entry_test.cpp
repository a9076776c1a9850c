// The plug-in's exports as the notation program calls them, in the built module: version, init,
// both enumeration records byte for byte, menu status, and the command without enumeration.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "plugin_module.h"
#include "session.h"
#include "standin/host.h"
#include "user32_standin.h"

namespace {

class PluginEntryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::Host::Instance().Reset();
        User32Standin_Reset();
        std::string error;
        ASSERT_TRUE(plugin.Load(VB_PLUGIN_PATH, &error)) << error;
    }
    driver::PluginModule plugin;
};

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

}  // namespace
