// The host functions as the plug-in meets them: through the FX_ exports of FINALE.EXE.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "standin/host.h"

extern "C" {
int16_t FX_LoadEData(uint32_t, uint16_t*, void*, int32_t*, uint32_t);
int16_t FX_SaveEData(uint32_t, uint16_t*, void*, int32_t, uint32_t);
int16_t FX_CreateEData(uint32_t, uint16_t*, void*, int32_t, uint32_t);
int16_t FX_DeleteEData(uint32_t, uint16_t*, uint32_t);
int16_t FX_NextEData(uint32_t, uint16_t*, void*, int32_t*, uint32_t);
int16_t FX_SlotToInst(uint16_t, uint16_t, uint32_t);
int16_t FX_InstToSlot(uint16_t, uint16_t, uint32_t);
int16_t FX_FontNumToName(uint16_t, char*, uint32_t);
int16_t FX_FontNumToName_UTF16(uint16_t, char16_t*, int32_t, uint32_t);
int16_t FX_GetCurrentEnigmaDocument(uint32_t);
}

namespace {

using standin::Host;
using standin::TagOf;
using Bytes = std::vector<uint8_t>;
namespace tag = standin::tag;
constexpr uint32_t V = 0x19000000;

class HostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host.Reset();
        host.LogCalls(true);
        std::string error;
        ASSERT_TRUE(host.LoadDocumentFile(STANDIN_TEST_DATA "/example.json", &error)) << error;
    }
    Host& host = Host::Instance();
};

TEST_F(HostTest, NextWalksGroupsInKeyOrderFromTheZeroKey) {
    uint16_t key[3] = {0, 0, 0};
    std::vector<std::vector<uint16_t>> seen;
    while (FX_NextEData(tag::kGroup, key, nullptr, nullptr, V))
        seen.push_back({key[0], key[1], key[2]});
    EXPECT_EQ(seen, (std::vector<std::vector<uint16_t>>{{0, 1, 0}, {0, 2, 0}, {3, 1, 0}}));
    EXPECT_EQ(key[0], 3);  // the failed call leaves the key alone

    uint16_t other[2] = {0, 0};
    EXPECT_EQ(FX_NextEData(tag::kMultiStaff, other, nullptr, nullptr, V), 1);
    EXPECT_EQ(other[0], 1);
}

TEST_F(HostTest, NextRefusesABufferOrSize) {
    uint16_t key[3] = {0, 0, 0};
    uint8_t buffer[36];
    int32_t size = 36;
    EXPECT_EQ(FX_NextEData(tag::kGroup, key, buffer, nullptr, V), 0);
    EXPECT_EQ(FX_NextEData(tag::kGroup, key, nullptr, &size, V), 0);
    EXPECT_EQ(key[1], 0);
}

TEST_F(HostTest, CreateAssignsTheKeyWordsGivenAsMinusOne) {
    struct Case {
        const char* what;
        uint32_t tag;
        std::vector<uint16_t> keyIn, keyOut;
        int32_t size;
    } cases[] = {
        {"next group of owner 0", tag::kGroup, {0, 0xFFFF, 0}, {0, 3, 0}, 36},
        {"first group of a new owner", tag::kGroup, {9, 0xFFFF, 0}, {9, 1, 0}, 36},
        {"text block", tag::kTextBlock, {0xFFFF, 0xFFFF}, {4, 0}, 26},
        {"raw text", tag::kRawText, {0xFFFF}, {4}, 4},
        {"system position from 0", tag::kSystemStaff, {2, 0xFFFF}, {2, 0}, 24},
        {"next system position", tag::kSystemStaff, {1, 0xFFFF}, {1, 3}, 24},
        {"generic record", TagOf("ot99"), {0xFFFF, 0}, {1, 0}, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint16_t> key = c.keyIn;
        Bytes data(static_cast<size_t>(c.size), 0);
        data[0] = 'x';  // a valid one-character UTF-16 text for the raw text case
        EXPECT_EQ(FX_CreateEData(c.tag, key.data(), data.data(), c.size, V), 1);
        EXPECT_EQ(key, c.keyOut);
        EXPECT_TRUE(host.GetRecord(c.tag, c.keyOut).has_value());
    }
}

TEST_F(HostTest, CreateOnAnExistingKeyFails) {
    uint16_t key[3] = {0, 1, 0};
    Bytes data(36, 0);
    EXPECT_EQ(FX_CreateEData(tag::kGroup, key, data.data(), 36, V), 0);
    EXPECT_EQ(host.Group(0, 1)->fullName, u"Woodwinds");
}

TEST_F(HostTest, LoadReportsSizeRefusesSmallBuffersAndCopies) {
    uint16_t key[3] = {0, 2, 0};
    int32_t size = 0;
    EXPECT_EQ(FX_LoadEData(tag::kGroup, key, nullptr, &size, V), 1);
    EXPECT_EQ(size, 36);

    Bytes buffer(40, 0xEE);
    size = 35;
    EXPECT_EQ(FX_LoadEData(tag::kGroup, key, buffer.data(), &size, V), 0);
    EXPECT_EQ(size, 35);
    EXPECT_EQ(buffer[0], 0xEE);  // nothing written

    size = 40;
    EXPECT_EQ(FX_LoadEData(tag::kGroup, key, buffer.data(), &size, V), 1);
    EXPECT_EQ(size, 36);
    EXPECT_EQ(buffer[0], 3);     // startStaff
    EXPECT_EQ(buffer[6], 0x14);  // uninterpreted bytes from the document
    EXPECT_EQ(buffer[32], 1);    // startMeasure
    EXPECT_EQ(buffer[36], 0xEE);

    key[1] = 9;
    EXPECT_EQ(FX_LoadEData(tag::kGroup, key, nullptr, &size, V), 0);
}

TEST_F(HostTest, TypedRecordsOfTheWrongSizeAreRefused) {
    struct Case {
        uint32_t tag;
        std::vector<uint16_t> key;
        int32_t size;
        uint32_t version;
        int16_t result;
    } cases[] = {
        {tag::kGroup, {0, 1, 0}, 35, V, 0},
        {tag::kGroup, {0, 1, 0}, 36, V, 1},
        {tag::kMeasure, {3, 0}, 26, 0x12000000, 0},
        {tag::kMeasure, {3, 0}, 30, 0x12000000, 1},
        {tag::kMeasure, {3, 0}, 26, 0x11FFFFFF, 1},
        {tag::kMeasure, {3, 0}, 30, 0x0A000000, 0},
        {tag::kSystemStaff, {0, 0}, 12, V, 0},
        {tag::kTextBlock, {1, 0}, 25, V, 0},
        {tag::kMultiStaff, {1, 0}, 24, V, 0},
        {tag::kFontPrefs, {33, 0}, 6, V, 1},
        {tag::kCompanion, {1, 3, 0}, 12, V, 0},
        {TagOf("ot77"), {0xFFFE, 0}, 5, V, 1},  // generic: any size
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(standin::TagName(c.tag) + " size " + std::to_string(c.size));
        std::vector<uint16_t> key = c.key;
        Bytes data(static_cast<size_t>(c.size), 0);
        EXPECT_EQ(FX_SaveEData(c.tag, key.data(), data.data(), c.size, c.version), c.result);
    }
}

TEST_F(HostTest, MeasureRecordSizeFollowsTheCallVersion) {
    host.PutRecord(tag::kMeasure, {12, 0}, Bytes(30, 7));
    uint16_t key[2] = {12, 0};
    Bytes buffer(30, 0);
    int32_t size = 30;
    EXPECT_EQ(FX_LoadEData(tag::kMeasure, key, buffer.data(), &size, 0x0A000000), 1);
    EXPECT_EQ(size, 26);
    size = 30;
    EXPECT_EQ(FX_LoadEData(tag::kMeasure, key, buffer.data(), &size, 0x12000000), 1);
    EXPECT_EQ(size, 30);

    // A short save keeps the long record's tail.
    Bytes shortRecord(26, 1);
    EXPECT_EQ(FX_SaveEData(tag::kMeasure, key, shortRecord.data(), 26, 0x0A000000), 1);
    Bytes expected(30, 7);
    std::fill_n(expected.begin(), 26, 1);
    EXPECT_EQ(host.GetRecord(tag::kMeasure, {12, 0}), expected);

    key[0] = 13;
    EXPECT_EQ(FX_LoadEData(tag::kMeasure, key, nullptr, &size, 0x12000000), 0);
}

TEST_F(HostTest, RawTextEncodingFollowsTheHostVersion) {
    struct Case {
        uint32_t hostVersion;
        Bytes record;  // u"a\u0141" as the plug-in sends and receives it
    } cases[] = {
        {0x19000000, {'a', 0, 0x41, 0x01, 0, 0}},
        {0x11000000, {'a', 0, 0x41, 0x01, 0, 0}},
        {0x10FFFFFF, {'a', 0x41, 0}},  // 8-bit: each unit keeps its low byte
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hostVersion);
        host.SetVersion(c.hostVersion);
        const uint16_t number = host.AddRawText(tag::kRawText, 0xFFFF, u"a\u0141");
        uint16_t key[1] = {number};
        int32_t size = 0;
        ASSERT_EQ(FX_LoadEData(tag::kRawText, key, nullptr, &size, c.hostVersion), 1);
        Bytes buffer(static_cast<size_t>(size));
        ASSERT_EQ(FX_LoadEData(tag::kRawText, key, buffer.data(), &size, c.hostVersion), 1);
        EXPECT_EQ(buffer, c.record);

        uint16_t newKey[1] = {0xFFFF};
        Bytes sent = c.record;
        ASSERT_EQ(FX_CreateEData(tag::kRawText, newKey, sent.data(),
                                 static_cast<int32_t>(sent.size()), c.hostVersion),
                  1);
        const std::u16string stored = c.hostVersion >= 0x11000000 ? u"a\u0141" : u"aA";
        EXPECT_EQ(host.RawText(tag::kRawText, newKey[0]), stored);
        sent.pop_back();  // no terminator: refused
        EXPECT_EQ(FX_SaveEData(tag::kRawText, newKey, sent.data(),
                               static_cast<int32_t>(sent.size()), c.hostVersion),
                  0);
    }
}

TEST_F(HostTest, SavingAMissingRecordCreatesNothing) {
    uint16_t key[3] = {0, 40, 0};
    Bytes data(36, 0);
    EXPECT_EQ(FX_SaveEData(tag::kGroup, key, data.data(), 36, V), 0);
    EXPECT_FALSE(host.Group(0, 40).has_value());
}

TEST_F(HostTest, DeleteRemovesOnlyExistingRecords) {
    uint16_t key[2] = {1, 0};
    EXPECT_EQ(FX_DeleteEData(tag::kMultiStaff, key, V), 1);
    EXPECT_EQ(FX_DeleteEData(tag::kMultiStaff, key, V), 0);
    EXPECT_TRUE(host.Keys(tag::kMultiStaff).empty());
}

TEST_F(HostTest, SlotsAndStavesMapThroughTheStaffSystems) {
    struct Case {
        uint16_t slot, system;
        int16_t staff;
    } slots[] = {{1, 0, 1}, {3, 0, 5}, {6, 0, 4}, {7, 0, 0}, {0, 0, 0},
                 {2, 1, 3}, {3, 1, 4}, {4, 1, 0}, {1, 9, 0}};
    for (const Case& c : slots) {
        EXPECT_EQ(FX_SlotToInst(c.slot, c.system, V), c.staff) << c.slot << "/" << c.system;
        if (c.staff != 0 && c.system == 0) {
            EXPECT_EQ(FX_InstToSlot(static_cast<uint16_t>(c.staff), 0, V), c.slot);
        }
    }
    EXPECT_EQ(FX_InstToSlot(42, 0, V), 0);
}

TEST_F(HostTest, FontNamesInBothForms) {
    char name8[256];
    char16_t name16[512];
    EXPECT_EQ(FX_FontNumToName(2, name8, V), 1);
    EXPECT_STREQ(name8, "Arial");
    EXPECT_EQ(FX_FontNumToName_UTF16(0, name16, 512, V), 1);
    EXPECT_EQ(std::u16string(name16), u"Times New Roman");
    EXPECT_EQ(FX_FontNumToName_UTF16(0, name16, 6, V), 1);
    EXPECT_EQ(std::u16string(name16), u"Times");  // cut to the capacity with its terminator
    EXPECT_EQ(FX_FontNumToName(1, name8, V), 0);
    EXPECT_EQ(FX_FontNumToName_UTF16(1, name16, 512, V), 0);
}

TEST_F(HostTest, DocumentNumberComesFromTheDocument) {
    EXPECT_EQ(FX_GetCurrentEnigmaDocument(V), 7);
}

TEST_F(HostTest, PluginWritesShowInTheGroupView) {
    // A new name the way a plug-in stores one: raw text, text block, then the group.
    uint16_t rawKey[1] = {0xFFFF};
    Bytes text = {'N', 0, 'e', 0, 'w', 0, 0, 0};
    ASSERT_EQ(FX_CreateEData(tag::kRawText, rawKey, text.data(), 8, V), 1);
    Bytes block(26, 0);
    block[0] = static_cast<uint8_t>(rawKey[0]);
    block[24] = 0x6C;
    block[25] = 0x62;
    uint16_t blockKey[2] = {0xFFFF, 0xFFFF};
    ASSERT_EQ(FX_CreateEData(tag::kTextBlock, blockKey, block.data(), 26, V), 1);

    uint16_t groupKey[3] = {0, 1, 0};
    Bytes group(36, 0);
    int32_t size = 36;
    ASSERT_EQ(FX_LoadEData(tag::kGroup, groupKey, group.data(), &size, V), 1);
    group[34] = 5;  // endMeasure
    ASSERT_EQ(FX_SaveEData(tag::kGroup, groupKey, group.data(), 36, V), 1);
    groupKey[1] = 0xFFFF;
    group[4] = static_cast<uint8_t>(blockKey[0]);  // fullNameId
    ASSERT_EQ(FX_CreateEData(tag::kGroup, groupKey, group.data(), 36, V), 1);

    auto groups = host.Groups();
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].endMeasure, 5);
    EXPECT_EQ(groups[0].fullName, u"Woodwinds");
    EXPECT_EQ(groups[2].number, 3);
    EXPECT_EQ(groups[2].fullName, u"New");
    EXPECT_EQ(groups[2].abbrevName, u"Ww.");  // copied abbrevNameId still names the old block
}

TEST_F(HostTest, CallsAreLoggedAndDescribed) {
    host.ClearCalls();
    uint16_t key[3] = {0, 0, 0};
    FX_NextEData(tag::kGroup, key, nullptr, nullptr, V);
    int32_t size = 0;
    FX_LoadEData(tag::kGroup, key, nullptr, &size, V);
    uint16_t blockKey[2] = {0xFFFF, 0xFFFF};
    Bytes block(26, 0);
    FX_CreateEData(tag::kTextBlock, blockKey, block.data(), 26, V);
    FX_SlotToInst(2, 1, V);
    char16_t name[8];
    FX_FontNumToName_UTF16(2, name, 8, V);

    std::vector<std::string> lines;
    for (const auto& call : host.Calls()) lines.push_back(standin::Describe(call));
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "FX_NextEData 'SDNG' key (0,0,0) -> (0,1,0) v 0x19000000 = 1",
                  "FX_LoadEData 'SDNG' key (0,1,0) null buffer size 0 -> 36 v 0x19000000 = 1",
                  "FX_CreateEData 'SOTX' key (65535,65535) -> (4,0) size 26 data " +
                      std::string(52, '0') + " v 0x19000000 = 1",
                  "FX_SlotToInst slot 2 system 1 v 0x19000000 = 3",
                  "FX_FontNumToName_UTF16 font 2 capacity 8 v 0x19000000 = 1 \"Arial\"",
              }));
    EXPECT_EQ(host.Calls()[2].dataIn, block);
    EXPECT_EQ(standin::TagName(0x01020304), "0x01020304");
}

TEST_F(HostTest, CallsAreCountedWhetherLoggedOrNot) {
    host.LogCalls(false);
    host.ClearCalls();
    FX_SlotToInst(1, 0, V);
    FX_SlotToInst(2, 0, V);
    FX_GetCurrentEnigmaDocument(V);
    EXPECT_TRUE(host.Calls().empty());
    host.LogCalls(true);
    uint16_t key[3] = {0, 0, 0};
    FX_NextEData(tag::kGroup, key, nullptr, nullptr, V);
    EXPECT_EQ(host.Calls().size(), 1u);
    EXPECT_EQ(host.CallCount("FX_SlotToInst"), 2u);
    EXPECT_EQ(host.CallCount("FX_GetCurrentEnigmaDocument"), 1u);
    EXPECT_EQ(host.CallCount("FX_NextEData"), 1u);
    EXPECT_EQ(host.CallCount("FX_LoadEData"), 0u);
    EXPECT_EQ(host.CallCount(), 4u);
    host.ClearCalls();
    EXPECT_EQ(host.CallCount(), 0u);
    EXPECT_TRUE(host.Calls().empty());
    host.Reset();
    EXPECT_FALSE(host.LoggingCalls());
}

TEST_F(HostTest, PlannedFailuresChangeNothing) {
    Bytes group(36, 0);
    host.FailCall("FX_CreateEData", 2);
    uint16_t key[3] = {0, 0xFFFF, 0};
    EXPECT_EQ(FX_CreateEData(tag::kGroup, key, group.data(), 36, V), 1);
    key[1] = 0xFFFF;
    EXPECT_EQ(FX_CreateEData(tag::kGroup, key, group.data(), 36, V), 0);
    EXPECT_EQ(key[1], 0xFFFF);
    EXPECT_EQ(FX_CreateEData(tag::kGroup, key, group.data(), 36, V), 1);  // fires once
    EXPECT_EQ(host.Groups().size(), 5u);

    host.FailTag(tag::kGroup);
    uint16_t first[3] = {0, 0, 0};
    EXPECT_EQ(FX_NextEData(tag::kGroup, first, nullptr, nullptr, V), 0);
    uint16_t instrument[2] = {0, 0};
    EXPECT_EQ(FX_NextEData(tag::kMultiStaff, instrument, nullptr, nullptr, V), 1);
    host.ClearFaults();
    EXPECT_EQ(FX_NextEData(tag::kGroup, first, nullptr, nullptr, V), 1);

    host.FailCall("FX_SlotToInst", 1);
    EXPECT_EQ(FX_SlotToInst(1, 0, V), 0);
    EXPECT_EQ(FX_SlotToInst(1, 0, V), 1);

    // With a tag, only the calls for that tag count.
    host.FailCall("FX_NextEData", 2, tag::kGroup);
    auto firstOf = [](uint32_t t) {
        uint16_t start[3] = {0, 0, 0};
        return FX_NextEData(t, start, nullptr, nullptr, V);
    };
    EXPECT_EQ(firstOf(tag::kMultiStaff), 1);
    EXPECT_EQ(firstOf(tag::kGroup), 1);
    EXPECT_EQ(firstOf(tag::kMultiStaff), 1);
    EXPECT_EQ(firstOf(tag::kGroup), 0);
    EXPECT_EQ(firstOf(tag::kGroup), 1);
}

TEST_F(HostTest, AFailingLoadCanStillFillTheBuffer) {
    host.FailCallWritingBytes("FX_LoadEData", 1, {1, 2, 3, 4, 5});
    uint16_t key[2] = {1, 0};
    Bytes buffer(4, 0);
    int32_t size = 4;
    EXPECT_EQ(FX_LoadEData(0x4F096649, key, buffer.data(), &size, V), 0);
    EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4}));  // at most the capacity
    EXPECT_EQ(size, 4);
}

using standin::WrongAnswer;

WrongAnswer Wrong(WrongAnswer::Kind kind) {
    WrongAnswer answer;
    answer.kind = kind;
    return answer;
}

TEST_F(HostTest, AWrongSizeIsReportedWhetherOrNotTheRecordExists) {
    struct Case {
        std::vector<uint16_t> key;
        int32_t capacity;  // 0: a size query
        int32_t reported;
        size_t copied;
    } cases[] = {
        {{0, 2, 0}, 40, -1, 36},
        {{0, 2, 0}, 10, 0x7FFFFFFF, 10},  // what fits of the record
        {{0, 2, 0}, 0, -0x7FFFFFFF - 1, 0},
        {{0, 9, 0}, 40, 1000, 0},  // no such group, and still a success
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reported);
        WrongAnswer answer = Wrong(WrongAnswer::Kind::Size);
        answer.size = c.reported;
        host.AnswerWrongly("FX_LoadEData", 1, answer);
        uint16_t key[3] = {c.key[0], c.key[1], c.key[2]};
        Bytes buffer(40, 0xEE);
        int32_t size = c.capacity;
        EXPECT_EQ(FX_LoadEData(tag::kGroup, key, c.capacity ? buffer.data() : nullptr, &size, V),
                  1);
        EXPECT_EQ(size, c.reported);
        EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xEE), 40 - static_cast<int>(c.copied));
        EXPECT_EQ(host.Calls().back().wrong, "size " + std::to_string(c.reported));
    }
    int32_t size = 0;
    uint16_t key[3] = {0, 2, 0};
    EXPECT_EQ(FX_LoadEData(tag::kGroup, key, nullptr, &size, V), 1);
    EXPECT_EQ(size, 36);  // fires once
}

TEST_F(HostTest, ATextAnsweredWithoutTerminatorStaysSo) {
    for (uint32_t version : {0x19000000u, 0x10000000u}) {
        SCOPED_TRACE(version);
        host.ClearFaults();
        host.SetVersion(version);
        const uint16_t number = host.AddRawText(tag::kRawText, 0xFFFF, u"abc");
        const int32_t unit = version >= 0x11000000 ? 2 : 1;
        uint16_t key[1] = {number};
        uint16_t group[3] = {0, 1, 0};
        int32_t size = 0;
        host.AnswerWrongly("FX_LoadEData", 1, Wrong(WrongAnswer::Kind::Unterminated));
        EXPECT_EQ(FX_LoadEData(tag::kGroup, group, nullptr, &size, V), 1);  // another tag
        EXPECT_EQ(size, 36);
        EXPECT_EQ(FX_LoadEData(tag::kRawText, key, nullptr, &size, version), 1);
        EXPECT_EQ(size, 4 * unit);

        host.AnswerWrongly("FX_LoadEData", 1, Wrong(WrongAnswer::Kind::Unterminated));
        EXPECT_EQ(FX_LoadEData(tag::kRawText, key, nullptr, &size, version), 1);
        EXPECT_EQ(size, 3 * unit);
        Bytes buffer(8, 0xEE);
        size = 8;
        EXPECT_EQ(FX_LoadEData(tag::kRawText, key, buffer.data(), &size, version), 1);
        EXPECT_EQ(size, 3 * unit);  // later answers lack it too
        EXPECT_NE(buffer[static_cast<size_t>(3 * unit)], 0);
        EXPECT_EQ(host.RawText(tag::kRawText, number), u"abc");  // the document keeps it
    }
}

TEST_F(HostTest, AKeyCanBeRewrittenByEveryRecordFunction) {
    WrongAnswer answer = Wrong(WrongAnswer::Kind::Key);
    answer.key = {7, 8, 9, 10};
    for (const char* function :
         {"FX_LoadEData", "FX_SaveEData", "FX_CreateEData", "FX_DeleteEData", "FX_NextEData"}) {
        host.AnswerWrongly(function, 1, answer);
    }
    Bytes record(36, 0);
    int32_t size = 36;
    uint16_t key[3] = {0, 1, 0};
    EXPECT_EQ(FX_LoadEData(tag::kGroup, key, record.data(), &size, V), 1);
    EXPECT_EQ((std::vector<uint16_t>{key[0], key[1], key[2]}), (std::vector<uint16_t>{7, 8, 9}));
    uint16_t save[3] = {0, 1, 0};
    EXPECT_EQ(FX_SaveEData(tag::kGroup, save, record.data(), 36, V), 1);
    EXPECT_EQ(save[1], 8);
    uint16_t create[3] = {0, 0xFFFF, 0};
    EXPECT_EQ(FX_CreateEData(tag::kGroup, create, record.data(), 36, V), 1);
    EXPECT_EQ(create[1], 8);
    EXPECT_TRUE(host.Group(0, 3).has_value());  // created under the number it assigned
    uint16_t remove[2] = {1, 0};
    EXPECT_EQ(FX_DeleteEData(tag::kMultiStaff, remove, V), 1);
    EXPECT_EQ((std::vector<uint16_t>{remove[0], remove[1]}), (std::vector<uint16_t>{7, 8}));
    uint16_t next[3] = {0, 0, 0};
    EXPECT_EQ(FX_NextEData(tag::kGroup, next, nullptr, nullptr, V), 1);
    EXPECT_EQ(next[0], 7);
    EXPECT_EQ(standin::Describe(host.Calls().back()),
              "FX_NextEData 'SDNG' key (0,0,0) -> (7,8,9) v 0x19000000 = 1 [wrong answer: key "
              "(7,8,9,10)]");

    // A creation refused, and still a key written back: that of an existing group.
    answer.key = {0, 1, 0};
    answer.fails = true;
    host.AnswerWrongly("FX_CreateEData", 1, answer);
    uint16_t refused[3] = {0, 0xFFFF, 0};
    EXPECT_EQ(FX_CreateEData(tag::kGroup, refused, record.data(), 36, V), 0);
    EXPECT_EQ(refused[1], 1);
    EXPECT_FALSE(host.Group(0, 4).has_value());
    EXPECT_EQ(host.Calls().back().wrong, "key (0,1,0) after failing");

    // A name text too is made under the number the host assigned and reported under another.
    answer.key = {1};
    answer.fails = false;
    host.AnswerWrongly("FX_CreateEData", 1, answer);
    const size_t texts = host.Keys(tag::kRawText).size();
    Bytes text = {'a', 0, 0, 0};
    uint16_t textKey[1] = {0xFFFF};
    EXPECT_EQ(FX_CreateEData(tag::kRawText, textKey, text.data(), 4, V), 1);
    EXPECT_EQ(textKey[0], 1);
    EXPECT_EQ(host.Keys(tag::kRawText).size(), texts + 1);
    EXPECT_NE(host.Calls().back().keyOut, (std::vector<uint16_t>{0xFFFF}));
}

TEST_F(HostTest, ACyclingEnumerationLeadsBackToItsRecordUpToItsLimit) {
    // The groups are (0,1), (0,2) and (3,1); their second key words are listed.
    const struct {
        int to;
        std::vector<uint16_t> numbers;
        const char* described;
    } cases[] = {
        // (0,1), back to (0,1) at once, on to (3,1), back again, to the end.
        {1, {1, 1, 2, 1, 1, 2, 1}, "cycle 2"}, {2, {1, 2, 1, 2, 1}, "cycle 2 to 2"},
        {-1, {1, 1, 1}, "cycle 2 to -1"},      {-3, {1, 1, 2, 1, 1, 2, 1}, "cycle 2 to -3"},
        {9, {1, 1, 1}, "cycle 2 to 9"},  // beyond the records: the last
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        host.ClearFaults();
        WrongAnswer answer = Wrong(WrongAnswer::Kind::Cycle);
        answer.limit = 2;
        answer.to = c.to;
        host.AnswerWrongly("FX_NextEData", 2, answer);
        uint16_t key[3] = {0, 0, 0};
        std::vector<uint16_t> numbers;
        while (numbers.size() < 20 && FX_NextEData(tag::kGroup, key, nullptr, nullptr, V)) {
            numbers.push_back(key[1]);
            if (numbers.size() == 2) {
                EXPECT_EQ(host.Calls().back().wrong, c.described);
            }
        }
        EXPECT_EQ(numbers, c.numbers);
    }
    host.ClearFaults();
    uint16_t key[3] = {3, 1, 0};
    EXPECT_EQ(FX_NextEData(tag::kGroup, key, nullptr, nullptr, V), 0);
}

TEST_F(HostTest, AFullFontNameLeavesNoTerminator) {
    host.AnswerWrongly("FX_FontNumToName", 1, Wrong(WrongAnswer::Kind::FullName));
    host.AnswerWrongly("FX_FontNumToName_UTF16", 1, Wrong(WrongAnswer::Kind::FullName));
    std::vector<char> name8(260, 0);
    std::vector<char16_t> name16(520, 0);
    EXPECT_EQ(FX_FontNumToName(42, name8.data(), V), 1);
    EXPECT_EQ(FX_FontNumToName_UTF16(42, name16.data(), 512, V), 1);
    EXPECT_EQ(std::count(name8.begin(), name8.begin() + 256, 0), 0);
    EXPECT_EQ(name8[256], 0);
    EXPECT_EQ(std::count(name16.begin(), name16.begin() + 512, 0), 0);
    EXPECT_EQ(name16[512], 0);
    EXPECT_EQ(std::string(name8.begin(), name8.begin() + 13), "Endless Font ");
}

TEST_F(HostTest, APlannedFailureWinsOverAWrongAnswer) {
    host.FailCall("FX_LoadEData", 1);
    WrongAnswer answer = Wrong(WrongAnswer::Kind::Size);
    answer.size = 5;
    host.AnswerWrongly("FX_LoadEData", 1, answer);
    host.AnswerWrongly("FX_SaveEData", 1, answer);  // not a form this function answers in
    uint16_t key[3] = {0, 1, 0};
    int32_t size = 0;
    EXPECT_EQ(FX_LoadEData(tag::kGroup, key, nullptr, &size, V), 0);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(host.Calls().back().wrong, "");
    Bytes record(36, 0);
    EXPECT_EQ(FX_SaveEData(tag::kGroup, key, record.data(), 36, V), 1);
    EXPECT_EQ(host.Calls().back().wrong, "");
}

TEST_F(HostTest, PlannedFaultsThatTookNoEffectAreNamed) {
    WrongAnswer size = Wrong(WrongAnswer::Kind::Size);
    size.size = 5;
    host.FailCall("FX_LoadEData", 1);             // 1: fires
    host.AnswerWrongly("FX_LoadEData", 1, size);  // 2: the failure wins
    host.AnswerWrongly("FX_SaveEData", 1, size);  // 3: not a form of saves
    host.AnswerWrongly("FX_LoadEData", 2, Wrong(WrongAnswer::Kind::Unterminated));  // 4: a group
    host.FailCall("FX_CreateEData", 1);             // 5: never called
    host.FailCall("FX_LoadEData", 3, tag::kGroup);  // 6: fires
    host.FailCall("FX_LoadEData", 3);               // 7: the same call
    host.AnswerWrongly("FX_LoadEData", 4, size);    // 8: fires
    EXPECT_EQ(host.UnfiredFaults(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    uint16_t key[3] = {0, 1, 0};
    int32_t size36 = 0;
    Bytes record(36, 0);
    EXPECT_EQ(FX_LoadEData(tag::kGroup, key, nullptr, &size36, V), 0);
    EXPECT_EQ(FX_SaveEData(tag::kGroup, key, record.data(), 36, V), 1);
    for (int i = 0; i < 3; ++i) FX_LoadEData(tag::kGroup, key, nullptr, &size36, V);
    EXPECT_EQ(host.Calls().back().wrong, "size 5");
    EXPECT_EQ(host.UnfiredFaults(), (std::vector<int>{2, 3, 4, 5, 7}));

    // Numbered afresh after the faults are cleared.
    host.ClearFaults();
    EXPECT_TRUE(host.UnfiredFaults().empty());
    host.FailCall("FX_SlotToInst", 2);
    EXPECT_EQ(FX_SlotToInst(1, 0, V), 1);
    EXPECT_EQ(host.UnfiredFaults(), (std::vector<int>{1}));
    EXPECT_EQ(FX_SlotToInst(1, 0, V), 0);
    EXPECT_TRUE(host.UnfiredFaults().empty());
}

}  // namespace
