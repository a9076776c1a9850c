#include <gtest/gtest.h>

#include <string>

#include "framework/text/fc_string.h"

namespace {

std::u16string Text(const FCString& s) {
    return std::u16string(s.GetUTF16(), s.GetLength());
}

TEST(StringGrowth, NewStringIsEmptyWithTenUnits) {
    FCString s;
    EXPECT_EQ(s.GetLength(), 0u);
    EXPECT_EQ(s.GetCapacity(), 10u);
    EXPECT_EQ(Text(s), u"");
}

TEST(StringGrowth, AppendingOneAtATimeFollowsTheChunkBands) {
    // Capacity seen after each append; sampled where the band changes.
    FCString s;
    std::vector<std::pair<uint64_t, uint64_t>> seen;  // length -> capacity
    for (int i = 0; i < 12100; ++i) {
        s.AppendCharacter(u'x');
        seen.emplace_back(s.GetLength(), s.GetCapacity());
    }
    auto capacityAt = [&](uint64_t length) { return seen[length - 1].second; };
    EXPECT_EQ(capacityAt(8), 10u);
    EXPECT_EQ(capacityAt(9), 10u);  // reallocated to the same capacity first
    EXPECT_EQ(capacityAt(10), 20u);
    EXPECT_EQ(capacityAt(999), 1000u);
    EXPECT_EQ(capacityAt(1000), 1010u);
    EXPECT_EQ(capacityAt(1010), 1100u);
    EXPECT_EQ(capacityAt(10000), 10100u);
    EXPECT_EQ(capacityAt(10100), 11000u);
    EXPECT_EQ(capacityAt(11000), 12000u);
    EXPECT_EQ(s.GetCharacterAt(12099), u'x');
}

TEST(StringGrowth, EnsureCapacityKeepsTextAndOnlyGrowsWhenNeeded) {
    FCString s(u"abc");
    s.EnsureCapacity(8);
    EXPECT_EQ(s.GetCapacity(), 10u);
    s.EnsureCapacity(10);
    EXPECT_EQ(s.GetCapacity(), 20u);
    EXPECT_EQ(Text(s), u"abc");
}

TEST(StringNull, SetCStringNullReleasesAndNextAppendAllocates) {
    FCString s(u"abc");
    s.SetCString(nullptr);
    EXPECT_EQ(s.GetLength(), 0u);
    EXPECT_EQ(s.GetCapacity(), 0u);
    EXPECT_EQ(s.FindString(nullptr), -1);
    s.AppendCharacter(u'z');
    EXPECT_EQ(s.GetCapacity(), 10u);
    EXPECT_EQ(Text(s), u"z");
}

TEST(StringFormat, IntegersInSignedDecimal) {
    FCString s;
    s.SetInteger(-32768);
    EXPECT_EQ(Text(s), u"-32768");
    s.SetInteger(0);
    EXPECT_EQ(Text(s), u"0");
    s.SetCString("size");
    s.AppendInteger(12);
    EXPECT_EQ(Text(s), u"size12");
}

TEST(StringSearch, FindStringCases) {
    FCString violins(u"Violins");
    struct Case {
        const char16_t* needle;
        int32_t expected;
    } cases[] = {{u"lin", 3}, {u"", 0}, {u"Violins and more", -1}, {u"VIOLINS", -1}, {u"s", 6}};
    for (const Case& c : cases) {
        FCString needle(c.needle);
        EXPECT_EQ(violins.FindString(&needle), c.expected);
    }
    EXPECT_EQ(violins.FindString(nullptr), -1);
}

TEST(StringAccess, OutOfRangeAndTruncate) {
    FCString s(u"abc");
    EXPECT_EQ(s.GetCharacterAt(-1), 0);
    EXPECT_EQ(s.GetCharacterAt(3), 0);
    s.TruncateAt(3);
    s.TruncateAt(100);
    EXPECT_EQ(Text(s), u"abc");
    s.TruncateAt(0);
    EXPECT_EQ(Text(s), u"");
}

TEST(StringConversion, EightBitKeepsLowByte) {
    FCString s(u"caf\u00e9\u0141");
    std::string narrow = s.GetCString();
    EXPECT_EQ(narrow, std::string("caf\xe9\x41"));
    FCString back;
    back.SetCString("\xe9x");
    EXPECT_EQ(back.GetCharacterAt(0), 0x00E9);
}

TEST(StringConversion, CopyToUTF16BufferCutsAtSizeMinusOne) {
    FCString s;
    for (int i = 0; i < 70; ++i) s.AppendCharacter(static_cast<char16_t>(u'a' + i % 26));
    char16_t out[64];
    s.CopyToUTF16Buffer(out, 64);
    EXPECT_EQ(out[62], s.GetCharacterAt(62));
    EXPECT_EQ(out[63], 0);
}

TEST(StringResource, MissingEntryReadsResourceStringError) {
    FCString s(u"keep?");
    EXPECT_FALSE(s.LoadResourceString(999, nullptr));
    EXPECT_EQ(Text(s), u"Resource String Error");
}

}  // namespace

namespace {

TEST(StringCopy, CopyingIntoItselfKeepsTheText) {
    FCString s(u"Violins");
    s.SetString(&s);
    EXPECT_EQ(Text(s), u"Violins");
    s.AppendString(s);
    EXPECT_EQ(Text(s), u"ViolinsViolins");
    FCString empty;
    s.SetString(&empty);
    EXPECT_EQ(Text(s), u"");
}

}  // namespace
