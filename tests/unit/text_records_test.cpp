#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/host_version.h"
#include "framework/text/fc_raw_text.h"
#include "framework/text/fc_text_block.h"
#include "host_version.h"
#include "unit/held_record.h"

namespace {

std::u16string Text(const FCString& s) {
    return std::u16string(s.GetUTF16(), s.GetLength());
}

std::vector<uint8_t> Bytes(const __FCBaseData& object) {
    const uint8_t* data = object.GetData();
    return data ? std::vector<uint8_t>(data, data + object.GetLoadedSize())
                : std::vector<uint8_t>();
}

constexpr uint32_t kUnicodeHost = 0x11000000;
constexpr uint32_t kEightBitHost = 0x10FFFFFF;

// A raw text whose held size can be cut below its buffer, as a host load can leave it.
class CutRawText : public FCRawText {
  public:
    void HoldOnly(uint64_t bytes) { dataSize_ = bytes; }
};

TEST(RawTextRecord, SetTextWritesTheFormTheHostVersionSelects) {
    struct Case {
        uint32_t version;
        std::u16string text;
        std::vector<uint8_t> record;
    };
    const Case cases[] = {
        {0x19000000, u"abc", {'a', 0, 'b', 0, 'c', 0, 0, 0}},
        {kUnicodeHost, u"abc", {'a', 0, 'b', 0, 'c', 0, 0, 0}},
        {kUnicodeHost, u"a\u0100\u00e9", {'a', 0, 0x00, 0x01, 0xE9, 0x00, 0, 0}},
        {kUnicodeHost, u"", {0, 0}},
        {kEightBitHost, u"abc", {'a', 'b', 'c', 0}},
        {kEightBitHost, u"\u00e9\u0141", {0xE9, 0x41, 0}},
        // A unit whose low byte is 0 ends the 8-bit form.
        {kEightBitHost, u"a\u0100b", {'a', 0}},
        {kEightBitHost, u"", {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " " + std::to_string(c.text.size()));
        HostVersion host(c.version);
        FCRawText raw;
        raw.SetTextNumber(7);
        raw.SetCustomTag(0x74785858);
        const FCString text(c.text.c_str());
        raw.SetText(&text);
        EXPECT_EQ(Bytes(raw), c.record);
        EXPECT_EQ(raw.GetTextNumber(), 7);
        EXPECT_EQ(raw.GetTag(), 0x74785858u);
    }
}

TEST(RawTextRecord, TextRoundTripsThroughTheRecord) {
    for (uint32_t version : {kUnicodeHost, kEightBitHost}) {
        SCOPED_TRACE(version);
        HostVersion host(version);
        FCRawText raw;
        const FCString text(u"Violins 1 \u00e9");
        raw.SetText(&text);
        FCString out(u"old");
        raw.GetText(&out);
        EXPECT_EQ(Text(out), u"Violins 1 \u00e9");
    }
}

TEST(RawTextRecord, ReplacingTheTextReleasesTheOldRecord) {
    HostVersion host(kUnicodeHost);
    FCRawText raw;
    const FCString longText(u"a fairly long name");
    const FCString shortText(u"x");
    raw.SetText(&longText);
    raw.SetText(&shortText);
    EXPECT_EQ(Bytes(raw), (std::vector<uint8_t>{'x', 0, 0, 0}));
}

// The longest text a record holds is the plug-in's own limit: a text beyond it is never asked
// of the host, and the split says so rather than blaming the host.
TEST(RawTextRecord, HoldsTextsUpToTheLargestRecord) {
    constexpr uint64_t kMax = FCRawText::kMaxRecordBytes;
    struct Case {
        uint32_t version;
        uint64_t units;
        char16_t unit;
        bool held;
    };
    const Case cases[] = {
        {kUnicodeHost, kMax / 2 - 1, u'x', true},  // with its terminator, the largest record
        {kUnicodeHost, kMax / 2, u'x', false},
        {kEightBitHost, kMax - 1, u'x', true},
        {kEightBitHost, kMax, u'x', false},
        // The 8-bit form ends at a unit whose low byte is 0: what follows is never written.
        {kEightBitHost, kMax, u'\u0100', true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " " + std::to_string(c.units));
        HostVersion host(c.version);
        FCRawText raw;
        const std::u16string units(c.units, c.unit);
        const FCString text(units.c_str());
        EXPECT_EQ(raw.CanHold(text), c.held);
        raw.SetText(&text);
        EXPECT_EQ(raw.GetLoadedSize() != 0, c.held);
    }
}

TEST(RawTextRecord, NullTextLeavesNoRecord) {
    HostVersion host(kUnicodeHost);
    FCRawText raw;
    const FCString text(u"abc");
    raw.SetText(&text);
    raw.SetText(nullptr);
    EXPECT_EQ(raw.GetLoadedSize(), 0u);
    EXPECT_EQ(raw.GetData(), nullptr);
    EXPECT_FALSE(raw.SaveNew());  // nothing to create, no host call
    FCString out(u"kept");
    raw.GetText(&out);
    EXPECT_EQ(Text(out), u"kept");
}

TEST(RawTextBounds, TextEndsAtTheRecordSizeWithoutTerminator) {
    struct Case {
        uint32_t version;
        uint64_t held;
        std::u16string expected;
    };
    const Case cases[] = {
        {kUnicodeHost, 6, u"abc"},  // three units, terminator cut off
        {kUnicodeHost, 7, u"abc"},  // a half unit at the end is not a unit
        {kUnicodeHost, 1, u""},    {kEightBitHost, 3, u"abc"}, {kEightBitHost, 1, u"a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " held " + std::to_string(c.held));
        HostVersion host(c.version);
        CutRawText raw;
        const FCString text(u"abcdefgh");
        raw.SetText(&text);
        raw.HoldOnly(c.held);
        FCString out(u"old");
        raw.GetText(&out);
        EXPECT_EQ(Text(out), c.expected);
    }
}

TEST(RawTextBounds, CopiedRecordWithoutTerminatorIsReadToItsEndOnly) {
    struct Case {
        uint32_t version;
        std::vector<uint8_t> bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        {kUnicodeHost, {'V', 0, 'l', 0, 'a', 0}, u"Vla"},
        {kUnicodeHost, {'V', 0, 'l', 0, 'a'}, u"Vl"},
        {kEightBitHost, {'V', 'l', 'a'}, u"Vla"},
        {kEightBitHost, {'V', 0, 'a'}, u"V"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " " + std::to_string(c.bytes.size()));
        HostVersion host(c.version);
        const HeldRecord record(c.bytes);
        FCRawText raw;
        raw.CopyDataFrom(record);
        EXPECT_EQ(Bytes(raw), c.bytes);
        FCString out;
        raw.GetText(&out);
        EXPECT_EQ(Text(out), c.expected);
    }
}

TEST(RawTextIdentity, ClassContract) {
    HostVersion host(0x1A000000);
    FCRawText raw;
    EXPECT_STREQ(raw.GetClassName(), "FCRawText");
    EXPECT_EQ(raw.GetClassID(), 77);
    EXPECT_EQ(raw.GetTag(), 0x7478626Cu);
    EXPECT_EQ(raw.GetVersion(), 0x1A000000u);
    EXPECT_TRUE(raw.IsVariableSize());
    EXPECT_EQ(raw.CreateObject(), nullptr);
    EXPECT_TRUE(raw.IsUnicodeText());
    vb::hostVersion = kEightBitHost;
    EXPECT_FALSE(raw.IsUnicodeText());
    EXPECT_FALSE(raw.IsSameClass(nullptr));
}

TEST(TextBlockRecord, NewBlockHoldsTheDefaultRecordByteForByte) {
    const FCTextBlock block;
    std::vector<uint8_t> expected(26, 0);
    expected[8] = 100;
    expected[14] = 0x08;
    expected[15] = 0x1A;
    expected[24] = 0x6C;  // 'l'
    expected[25] = 0x62;  // 'b'
    EXPECT_EQ(Bytes(block), expected);
    EXPECT_EQ(block.GetItemNo(), 0);
    EXPECT_EQ(block.GetKeyWord(1), 0);
    EXPECT_EQ(block.GetTextKind(), 0x626C);
    EXPECT_EQ(block.GetRawTextTag(), 0x7478626Cu);
    EXPECT_EQ(block.GetRawTextNumber(), 0);
}

TEST(TextBlockRecord, FieldsLiveAtTheirOffsets) {
    FCTextBlock block;
    block.SetRawTextNumber(0x1234);
    block.SetTextKind(0x6162);
    const std::vector<uint8_t> bytes = Bytes(block);
    EXPECT_EQ(bytes[0], 0x34);
    EXPECT_EQ(bytes[1], 0x12);
    EXPECT_EQ(bytes[24], 0x62);
    EXPECT_EQ(bytes[25], 0x61);
    EXPECT_EQ(block.GetRawTextTag(), 0x74786162u);
}

TEST(TextBlockRecord, CopyCarriesEveryByteIntoTheOwnRecord) {
    std::vector<uint8_t> bytes(26);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(0xA0 + i);
    const HeldRecord record(bytes);
    FCTextBlock block;
    block.CopyDataFrom(record);
    EXPECT_EQ(Bytes(block), bytes);
    EXPECT_NE(block.GetData(), record.GetData());
    EXPECT_FALSE(block.OwnsData());

    const HeldRecord empty({1, 2, 3}, 0);
    block.CopyDataFrom(empty);  // nothing held: unchanged
    EXPECT_EQ(Bytes(block), bytes);

    const HeldRecord shorter({1, 2, 3});
    block.CopyDataFrom(shorter);
    std::vector<uint8_t> expected(26, 0);
    expected[0] = 1;
    expected[1] = 2;
    expected[2] = 3;
    EXPECT_EQ(Bytes(block), expected);
}

TEST(TextBlockIdentity, ClassContract) {
    FCTextBlock block;
    EXPECT_STREQ(block.GetClassName(), "FCTextBlock");
    EXPECT_EQ(block.GetClassID(), 104);
    EXPECT_EQ(block.GetTag(), 0x534F5458u);
    EXPECT_EQ(block.GetVersion(), 0x19000000u);
    EXPECT_EQ(block.GetDataSize(), 26);
    EXPECT_FALSE(block.IsVariableSize());
    std::unique_ptr<__FCBaseData> made(block.CreateObject());
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsSameClass(&block));
    EXPECT_EQ(made->GetLoadedSize(), 26u);
    const FCRawText raw;
    EXPECT_FALSE(block.IsSameClass(&raw));
}

}  // namespace
