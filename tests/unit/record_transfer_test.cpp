// Record transfer as the host sees it: which records are read and written, with which keys,
// versions and sizes, and what reaches the caller's buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/host_version.h"
#include "framework/host/host_bridge.h"
#include "framework/host/prefs_maps.h"
#include "framework/host/record_transfer.h"
#include "standin/host.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Key = std::vector<uint16_t>;

constexpr uint32_t Tag(const char (&s)[5]) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(s[0])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(s[3]));
}

constexpr uint16_t kSmall = 0xFFFE;
constexpr uint8_t kUntouched = 0xCD;

standin::Host& Host() {
    return standin::Host::Instance();
}

Bytes Words(std::initializer_list<uint16_t> words) {
    Bytes b;
    for (uint16_t w : words) {
        b.push_back(static_cast<uint8_t>(w));
        b.push_back(static_cast<uint8_t>(w >> 8));
    }
    b.resize(12, 0);
    return b;
}

uint16_t WordAt(const Bytes& b, size_t offset) {
    return static_cast<uint16_t>(b[offset] | (b[offset + 1] << 8));
}
uint32_t LongAt(const Bytes& b, size_t offset) {
    return static_cast<uint32_t>(WordAt(b, offset)) |
           (static_cast<uint32_t>(WordAt(b, offset + 2)) << 16);
}
void PutWordAt(Bytes& b, size_t offset, uint16_t v) {
    b[offset] = static_cast<uint8_t>(v);
    b[offset + 1] = static_cast<uint8_t>(v >> 8);
}

// One host call reduced to what these tests compare.
struct Seen {
    std::string function;
    uint32_t tag;
    Key key;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> CallsTo(const std::string& function) {
    std::vector<Seen> seen;
    for (const auto& c : Host().Calls()) {
        if (c.function != function) continue;
        Key key = c.keyIn;
        key.resize(2, 0);
        seen.push_back({c.function, c.tag, key});
    }
    return seen;
}
std::vector<Seen> Loads() {
    return CallsTo("FX_LoadEData");
}
std::vector<Seen> Saves() {
    return CallsTo("FX_SaveEData");
}
Seen Load(const char (&tag)[5], uint16_t item, uint16_t inci) {
    return {"FX_LoadEData", Tag(tag), {item, inci}};
}
Seen Save(const char (&tag)[5], uint16_t item, uint16_t inci) {
    return {"FX_SaveEData", Tag(tag), {item, inci}};
}

class RecordTransfer : public testing::Test {
  protected:
    void SetUp() override {
        Host().Reset();
        Host().LogCalls(true);
        savedVersion_ = vb::hostVersion;
    }
    void TearDown() override {
        Host().Reset();
        vb::hostVersion = savedVersion_;
    }

    // Loads `tag` with item number `item` into a buffer of `capacity` bytes that has room to
    // spare, so that writes past the capacity stay visible.
    int32_t LoadInto(uint32_t tag, uint16_t item, int32_t capacity, Bytes& buffer, int32_t& size) {
        buffer.assign(static_cast<size_t>(capacity) + 16, kUntouched);
        uint16_t key[4] = {item, 0, 0, 0};
        size = capacity;
        return host::LoadRecord(tag, key, buffer.data(), &size, host::DATA_VERSION);
    }

    int32_t SaveFrom(uint32_t tag, uint16_t item, Bytes& buffer,
                     uint32_t version = host::DATA_VERSION) {
        uint16_t key[4] = {item, 0, 0, 0};
        return host::SaveRecord(tag, key, buffer.data(), static_cast<int32_t>(buffer.size()),
                                version);
    }

    uint32_t savedVersion_ = 0;
};

// --- Size queries -------------------------------------------------------------------------

struct SizeCase {
    const char* name;
    uint32_t tag;
    uint16_t item;
    int32_t size;
};

class SizeQuery : public RecordTransfer, public testing::WithParamInterface<SizeCase> {};

TEST_P(SizeQuery, NullBufferReportsTheSizeWithoutAskingTheHost) {
    const SizeCase& c = GetParam();
    uint16_t key[4] = {c.item, 0, 0, 0};
    int32_t size = 0;
    EXPECT_EQ(host::LoadRecord(c.tag, key, nullptr, &size, host::DATA_VERSION), 1);
    EXPECT_EQ(size, c.size);
    EXPECT_TRUE(Host().Calls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Redirected, SizeQuery,
    testing::Values(SizeCase{"pfGD", Tag("pfGD"), 0, 12}, SizeCase{"pfGG", Tag("pfGG"), 0, 132},
                    SizeCase{"pfTX", Tag("pfTX"), 0, 108}, SizeCase{"pfSN_5", Tag("pfSN"), 5, 12},
                    SizeCase{"pfPF_1", Tag("pfPF"), 1, 48}, SizeCase{"pfPF_0", Tag("pfPF"), 0, 48},
                    SizeCase{"pfSS", Tag("pfSS"), 0, 96}, SizeCase{"pfPB", Tag("pfPB"), 0, 44}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(RecordTransfer, RedirectedLoadWithoutSizeFailsWithoutAskingTheHost) {
    uint16_t key[4] = {0, 0, 0, 0};
    Bytes buffer(200, kUntouched);
    EXPECT_EQ(host::LoadRecord(Tag("pfSS"), key, buffer.data(), nullptr, host::DATA_VERSION), 0);
    EXPECT_EQ(host::LoadRecord(Tag("pfGG"), key, buffer.data(), nullptr, host::DATA_VERSION), 0);
    EXPECT_EQ(host::LoadRecord(host::SPECIAL_TAG, key, buffer.data(), nullptr, host::DATA_VERSION),
              0);
    EXPECT_TRUE(Host().Calls().empty());
    EXPECT_TRUE(
        std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == kUntouched; }));
}

// --- Record runs --------------------------------------------------------------------------

struct RunLoadCase {
    const char* name;
    uint32_t tag;
    uint16_t item;
    bool loads;
    std::vector<Seen> expected;  // host loads, in order
};

class RunLoad : public RecordTransfer, public testing::WithParamInterface<RunLoadCase> {};

TEST_P(RunLoad, ConcatenatesTheSmallRecordsOfTheRun) {
    const RunLoadCase& c = GetParam();
    for (const Seen& s : c.expected) {
        Host().PutRecord(s.tag, s.key, Words({s.key[1], 0xA000, 0xB000, 0xC000, 0xD000, 0xE000}));
    }
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(c.tag, c.item, 200, buffer, size), c.loads ? 1 : 0);
    EXPECT_EQ(Loads(), c.expected);
    if (!c.loads) {
        EXPECT_EQ(size, 200);
        return;
    }
    ASSERT_EQ(size, static_cast<int32_t>(12 * c.expected.size()));
    for (size_t k = 0; k < c.expected.size(); ++k) {
        EXPECT_EQ(WordAt(buffer, 12 * k), c.expected[k].key[1]);
        EXPECT_EQ(WordAt(buffer, 12 * k + 10), 0xE000);
    }
    for (size_t i = 12 * c.expected.size(); i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], kUntouched);
    for (const auto& call : Host().Calls()) EXPECT_EQ(call.version, host::DATA_VERSION);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunLoad,
    testing::Values(
        RunLoadCase{"pfPF_1_is_ot77_0_to_3",
                    Tag("pfPF"),
                    1,
                    true,
                    {Load("ot77", kSmall, 0), Load("ot77", kSmall, 1), Load("ot77", kSmall, 2),
                     Load("ot77", kSmall, 3)}},
        RunLoadCase{"pfPF_2_fails", Tag("pfPF"), 2, false, {}},
        RunLoadCase{"pfSN_128_is_ot40_127", Tag("pfSN"), 128, true, {Load("ot40", kSmall, 127)}},
        RunLoadCase{"pfSN_129_fails", Tag("pfSN"), 129, false, {}},
        RunLoadCase{"pfSN_0_fails", Tag("pfSN"), 0, false, {}},
        RunLoadCase{"pfGs_2_fails", Tag("pfGs"), 2, false, {}},
        RunLoadCase{"pfSC_is_two",
                    Tag("pfSC"),
                    9,
                    true,
                    {Load("ot52", kSmall, 0), Load("ot52", kSmall, 1)}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(RecordTransfer, RunLoadIntoTooSmallBufferFailsAndCopiesNothing) {
    for (uint16_t k = 0; k < 11; ++k) Host().PutRecord(Tag("ot88"), {kSmall, k}, Words({1, 2, 3}));
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(Tag("pfGG"), 0, 131, buffer, size), 0);
    EXPECT_EQ(size, 131);
    EXPECT_TRUE(Host().Calls().empty());
    EXPECT_TRUE(
        std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == kUntouched; }));
}

TEST_F(RecordTransfer, RunSaveWritesEverySmallRecordOfTheRun) {
    for (uint16_t k = 0; k < 9; ++k) Host().PutRecord(Tag("ot78"), {kSmall, k}, Words({}));
    Bytes buffer(108);
    for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i);
    EXPECT_EQ(SaveFrom(Tag("pfTX"), 0, buffer), 1);
    std::vector<Seen> expected;
    for (uint16_t k = 0; k < 9; ++k) expected.push_back(Save("ot78", kSmall, k));
    EXPECT_EQ(Saves(), expected);
    auto third = Host().GetRecord(Tag("ot78"), {kSmall, 2});
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(*third, Bytes(buffer.begin() + 24, buffer.begin() + 36));
}

TEST_F(RecordTransfer, RunSaveShorterThanTheRunWritesNothing) {
    Bytes buffer(107, 1);
    EXPECT_EQ(SaveFrom(Tag("pfTX"), 0, buffer), 0);
    uint16_t key[4] = {0, 0, 0, 0};
    EXPECT_EQ(host::SaveRecord(Tag("pfTX"), key, nullptr, 108, host::DATA_VERSION), 0);
    EXPECT_TRUE(Host().Calls().empty());
}

// --- Field maps ---------------------------------------------------------------------------

TEST_F(RecordTransfer, PageFormatItemZeroIsAssembledFromItsSmallRecords) {
    Host().PutRecord(Tag("ot14"), {kSmall, 0}, Words({0x0001, 0x0002}));
    Host().PutRecord(Tag("ot03"), {kSmall, 0}, Words({0x1111, 0x2222}));
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(Tag("pfPF"), 0, 48, buffer, size), 1);
    EXPECT_EQ(size, 48);
    EXPECT_EQ(LongAt(buffer, 0), 0x00010002u);  // high half from the lower word
    EXPECT_EQ(WordAt(buffer, 44), 0x1111);
    EXPECT_EQ(WordAt(buffer, 46), 0x2222);
    EXPECT_EQ(buffer[48], kUntouched);
}

TEST_F(RecordTransfer, EachSmallRecordIsReadOnceInTheOrderOfItsFirstField) {
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(Tag("pfPF"), 0, 48, buffer, size), 1);
    EXPECT_EQ(Loads(),
              (std::vector<Seen>{
                  Load("ot14", kSmall, 0), Load("ot15", kSmall, 0), Load("ot39", kSmall, 0),
                  Load("ot16", kSmall, 0), Load("ot02", kSmall, 0), Load("ot17", kSmall, 0),
                  Load("ot01", kSmall, 0), Load("ot13", kSmall, 0), Load("ot03", kSmall, 0)}));
}

TEST_F(RecordTransfer, ExtraFieldsTakeIncidenceEightBeforeSeven) {
    Host().PutRecord(Tag("ot77"), {kSmall, 7}, Words({0, 0, 0, 0, 0x7004, 0x7005}));
    Host().PutRecord(Tag("ot77"), {kSmall, 8}, Words({0x8000, 0x8001}));
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(Tag("pfEX"), 0, 50, buffer, size), 1);
    EXPECT_EQ(size, 50);
    EXPECT_EQ(WordAt(buffer, 42), 0x8000);
    EXPECT_EQ(WordAt(buffer, 44), 0x8001);
    EXPECT_EQ(WordAt(buffer, 46), 0x7004);
    EXPECT_EQ(WordAt(buffer, 48), 0x7005);
}

TEST_F(RecordTransfer, SmallRecordItemNumbersComeFromTheMap) {
    Host().PutRecord(Tag("otFI"), {10, 0}, Words({0, 0, 0x0A02}));
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(Tag("pfMS"), 0, 104, buffer, size), 1);
    EXPECT_EQ(WordAt(buffer, 102), 0x0A02);
    EXPECT_EQ(Loads().back(), Load("otFI", 10, 0));
}

TEST_F(RecordTransfer, FailingSmallRecordLeavesZerosAndTheCompositeLoads) {
    Host().PutRecord(Tag("ot69"), {kSmall, 0}, Words({0, 0x6901}));
    Host().FailTag(Tag("ot20"));
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(Tag("pf05"), 0, 22, buffer, size), 1);
    EXPECT_EQ(WordAt(buffer, 0), 0x6901);
    EXPECT_EQ(WordAt(buffer, 2), 0);
}

struct WordCase {
    const char* name;
    uint16_t stored;     // word 4 of 'ot19' (low byte) or word 1 of 'ot36' (not)
    uint16_t loaded;     // the composite field
    uint16_t saved;      // the composite field written back
    uint16_t rewritten;  // the word afterwards
    bool written;        // whether the small record was written
};

class LowByteField : public RecordTransfer, public testing::WithParamInterface<WordCase> {};

TEST_P(LowByteField, LoadsTheLowByteAndSavesItWidenedWithItsSign) {
    const WordCase& c = GetParam();
    Host().PutRecord(Tag("ot19"), {kSmall, 0}, Words({0, 0, 0, 0, c.stored, 0xFFFF}));
    Bytes buffer;
    int32_t size = 0;
    ASSERT_EQ(LoadInto(Tag("pfMS"), 0, 104, buffer, size), 1);
    EXPECT_EQ(WordAt(buffer, 52), c.loaded);
    buffer.resize(104);
    PutWordAt(buffer, 52, c.saved);
    Host().ClearCalls();
    EXPECT_EQ(SaveFrom(Tag("pfMS"), 0, buffer), 1);
    auto saves = Saves();
    bool wrote = std::count(saves.begin(), saves.end(), Save("ot19", kSmall, 0)) == 1;
    EXPECT_EQ(wrote, c.written);
    auto record = Host().GetRecord(Tag("ot19"), {kSmall, 0});
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(WordAt(*record, 8), c.rewritten);
    EXPECT_EQ(WordAt(*record, 10), 0xFFFF);  // word 5, low-byte too, survives its round trip
}

INSTANTIATE_TEST_SUITE_P(
    Words, LowByteField,
    testing::Values(WordCase{"high_byte_dropped", 0x12FF, 0x00FF, 0x00FF, 0xFFFF, true},
                    WordCase{"widened_word_kept", 0xFFFF, 0x00FF, 0x00FF, 0xFFFF, false},
                    WordCase{"positive_kept", 0x0042, 0x0042, 0x0042, 0x0042, false},
                    WordCase{"new_value", 0x0042, 0x0042, 0x0080, 0xFF80, true}),
    [](const auto& test) { return std::string(test.param.name); });

class NotField : public RecordTransfer, public testing::WithParamInterface<WordCase> {};

TEST_P(NotField, InvertsZeroBothWays) {
    const WordCase& c = GetParam();
    Host().PutRecord(Tag("ot36"), {kSmall, 0}, Words({0, c.stored}));
    Bytes buffer;
    int32_t size = 0;
    ASSERT_EQ(LoadInto(Tag("pfMS"), 0, 104, buffer, size), 1);
    EXPECT_EQ(WordAt(buffer, 12), c.loaded);
    buffer.resize(104);
    PutWordAt(buffer, 12, c.saved);
    Host().ClearCalls();
    EXPECT_EQ(SaveFrom(Tag("pfMS"), 0, buffer), 1);
    auto saves = Saves();
    bool wrote = std::count(saves.begin(), saves.end(), Save("ot36", kSmall, 0)) == 1;
    EXPECT_EQ(wrote, c.written);
    auto record = Host().GetRecord(Tag("ot36"), {kSmall, 0});
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(WordAt(*record, 2), c.rewritten);
}

INSTANTIATE_TEST_SUITE_P(Conversions, NotField,
                         testing::Values(WordCase{"zero_loads_one", 0, 1, 1, 0, false},
                                         WordCase{"other_loads_zero", 5, 0, 0, 1, true},
                                         WordCase{"saving_zero_writes_one", 0, 1, 0, 1, true},
                                         WordCase{"saving_other_writes_zero", 1, 0, 7, 0, true},
                                         WordCase{"one_unchanged", 1, 0, 0, 1, false}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(RecordTransfer, UnchangedSaveWritesOnlyRecordsWhoseConvertedWordsDiffer) {
    // Every word of 'pfMS' set so that it survives a round trip, except a low-byte word that is
    // not its own sign-widened low byte and a not-word other than 0 and 1.
    Host().PutRecord(Tag("ot36"), {kSmall, 0}, Words({1, 5, 3, 4, 5, 6}));
    Host().PutRecord(Tag("ot19"), {kSmall, 0}, Words({1, 2, 3, 4, 0x00FF, 0xFFFF}));
    Host().PutRecord(Tag("ot41"), {kSmall, 0}, Words({1, 2, 3, 4, 5, 6}));
    Host().PutRecord(Tag("ot62"), {kSmall, 0}, Words({0xAAAA, 0xBBBB, 0xCCCC, 0xDDDD}));
    Bytes buffer;
    int32_t size = 0;
    ASSERT_EQ(LoadInto(Tag("pfMS"), 0, 104, buffer, size), 1);
    buffer.resize(104);
    Host().ClearCalls();
    EXPECT_EQ(SaveFrom(Tag("pfMS"), 0, buffer), 1);
    EXPECT_EQ(Saves(), (std::vector<Seen>{Save("ot36", kSmall, 0), Save("ot19", kSmall, 0)}));
    EXPECT_EQ(WordAt(*Host().GetRecord(Tag("ot36"), {kSmall, 0}), 2), 1);  // 5 read as 0
    EXPECT_EQ(WordAt(*Host().GetRecord(Tag("ot19"), {kSmall, 0}), 8), 0xFFFF);
    // Words no field names are carried through.
    EXPECT_EQ(WordAt(*Host().GetRecord(Tag("ot36"), {kSmall, 0}), 0), 1);
}

TEST_F(RecordTransfer, SaveReadsEachSmallRecordOnceAndWritesItOnce) {
    Host().PutRecord(Tag("ot41"), {kSmall, 2}, Words({0x4100, 0x4101, 0, 0, 0x4104}));
    Bytes buffer(22, 0);
    PutWordAt(buffer, 14, 0x4114);  // 'ot41' incidence 2 words 2 and 3
    PutWordAt(buffer, 16, 0x4116);
    EXPECT_EQ(SaveFrom(Tag("pf05"), 0, buffer), 1);
    auto loads = Loads();
    EXPECT_EQ(std::count(loads.begin(), loads.end(), Load("ot41", kSmall, 2)), 1);
    EXPECT_EQ(Saves(), std::vector<Seen>{Save("ot41", kSmall, 2)});
    auto record = Host().GetRecord(Tag("ot41"), {kSmall, 2});
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(WordAt(*record, 4), 0x4114);
    EXPECT_EQ(WordAt(*record, 6), 0x4116);
}

TEST_F(RecordTransfer, FieldMapSaveWithLessThanTwoBytesPerEntryWritesNothing) {
    Bytes buffer(21, 1);  // 'pf05' has 11 entries
    EXPECT_EQ(SaveFrom(Tag("pf05"), 0, buffer), 0);
    uint16_t key[4] = {0, 0, 0, 0};
    EXPECT_EQ(host::SaveRecord(Tag("pf05"), key, nullptr, 22, host::DATA_VERSION), 0);
    EXPECT_TRUE(Host().Calls().empty());
}

struct VersionCase {
    const char* name;
    uint32_t version;
    bool direct;
};

class SaveVersion : public RecordTransfer, public testing::WithParamInterface<VersionCase> {};

TEST_P(SaveVersion, OldVersionsGoStraightToTheHost) {
    const VersionCase& c = GetParam();
    Bytes buffer(96, 0);
    PutWordAt(buffer, 0, 0x9200);
    SaveFrom(Tag("pfSS"), 0, buffer, c.version);
    auto saves = Saves();
    ASSERT_FALSE(saves.empty());
    EXPECT_EQ(saves.front().tag == Tag("pfSS"), c.direct);
    if (c.direct) {
        EXPECT_EQ(saves.size(), 1u);
        EXPECT_EQ(Host().Calls().back().sizeIn, 96);
        EXPECT_EQ(Host().Calls().back().version, c.version);
    } else {
        EXPECT_EQ(saves.front(), Save("ot92", kSmall, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, SaveVersion,
                         testing::Values(VersionCase{"v07FFFFFF_direct", 0x07FFFFFF, true},
                                         VersionCase{"v08000000_mapped", 0x08000000, false}),
                         [](const auto& test) { return std::string(test.param.name); });

// --- Capacity -----------------------------------------------------------------------------

struct CapacityCase {
    const char* name;
    int32_t capacity;
    int32_t result;
    int32_t size;         // reported afterwards
    int32_t writtenUpTo;  // bytes from here on keep their fill
    size_t loads;
};

class FieldMapCapacity : public RecordTransfer, public testing::WithParamInterface<CapacityCase> {};

TEST_P(FieldMapCapacity, LoadNeverWritesPastTheCapacity) {
    const CapacityCase& c = GetParam();
    Host().PutRecord(Tag("ot50"), {kSmall, 0},
                     Words({0x5000, 0x5001, 0x5002, 0x5003, 0x5004, 0x5005}));
    Host().PutRecord(Tag("ot97"), {kSmall, 1}, Words({0x9700, 0x9701, 0x9702, 0x9703}));
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(Tag("pfSS"), 0, c.capacity, buffer, size), c.result);
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(Loads().size(), c.loads);
    for (size_t i = static_cast<size_t>(c.writtenUpTo); i < buffer.size(); ++i) {
        EXPECT_EQ(buffer[i], kUntouched) << "byte " << i;
    }
    if (c.writtenUpTo >= 96) {
        EXPECT_EQ(WordAt(buffer, 94), 0x5001);
    }
    if (c.writtenUpTo >= 108) {
        EXPECT_EQ(WordAt(buffer, 106), 0x9703);
    }
}

INSTANTIATE_TEST_SUITE_P(
    pfSS, FieldMapCapacity,
    testing::Values(CapacityCase{"below_size_refused", 95, 0, 95, 0, 0},
                    CapacityCase{"size_loads_what_fits", 96, 1, 96, 96, 11},
                    CapacityCase{"between_skips_partial_reach", 101, 1, 96, 100, 11},
                    CapacityCase{"first_reaching_field_fits", 102, 1, 96, 102, 12},
                    CapacityCase{"full_reach_loads_all", 108, 1, 96, 108, 12}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(RecordTransfer, FieldMapSaveReadsOnlyTheGivenBytes) {
    Host().PutRecord(Tag("ot50"), {kSmall, 0}, Words({0x5000, 0x5001, 0x5002, 0x5003}));
    Host().PutRecord(Tag("ot97"), {kSmall, 1}, Words({0x9700}));
    Bytes buffer;
    int32_t size = 0;
    ASSERT_EQ(LoadInto(Tag("pfSS"), 0, 96, buffer, size), 1);
    buffer.resize(96);  // exactly the reported size: anything read past it is an overflow
    PutWordAt(buffer, 92, 0x0BAD);
    Host().ClearCalls();
    EXPECT_EQ(SaveFrom(Tag("pfSS"), 0, buffer), 1);
    auto ot50 = Host().GetRecord(Tag("ot50"), {kSmall, 0});
    ASSERT_TRUE(ot50.has_value());
    EXPECT_EQ(WordAt(*ot50, 0), 0x0BAD);
    EXPECT_EQ(WordAt(*ot50, 4), 0x5002);  // offset 96: beyond the given bytes
    EXPECT_EQ(WordAt(*ot50, 6), 0x5003);
    for (const Seen& s : Host().Calls().empty() ? std::vector<Seen>{} : Loads()) {
        EXPECT_NE(s, Load("ot97", kSmall, 1));
    }
    EXPECT_EQ(Host().GetRecord(Tag("ot97"), {kSmall, 1}), std::optional<Bytes>(Words({0x9700})));
}

// --- Special tag --------------------------------------------------------------------------

TEST_F(RecordTransfer, SpecialTagCountsAsLoadedWhenTheHostFilledItDespiteFailing) {
    Host().FailCallWritingBytes("FX_LoadEData", 1, Bytes{0, 0, 0, 7});
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(host::SPECIAL_TAG, 3, 108, buffer, size), 1);
    EXPECT_EQ(buffer[3], 7);
    EXPECT_EQ(Loads().size(), 1u);
}

TEST_F(RecordTransfer, SpecialTagFailingWithNothingWrittenIsClearedAndFails) {
    Host().FailCall("FX_LoadEData", 1);
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(host::SPECIAL_TAG, 3, 108, buffer, size), 0);
    EXPECT_TRUE(
        std::all_of(buffer.begin(), buffer.begin() + 108, [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(
        std::all_of(buffer.begin() + 108, buffer.end(), [](uint8_t b) { return b == kUntouched; }));
}

TEST_F(RecordTransfer, SpecialTagClearsOnlyWhatTheCapacityHolds) {
    Host().FailCall("FX_LoadEData", 1);
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(host::SPECIAL_TAG, 3, 50, buffer, size), 0);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.begin() + 50, [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(
        std::all_of(buffer.begin() + 50, buffer.end(), [](uint8_t b) { return b == kUntouched; }));
}

struct SecondAskCase {
    const char* name;
    bool secondFails;
    int32_t result;
};

class SpecialTagSuccess : public RecordTransfer,
                          public testing::WithParamInterface<SecondAskCase> {};

TEST_P(SpecialTagSuccess, AsksTheHostASecondTimeAndAnswersWithThat) {
    const SecondAskCase& c = GetParam();
    Bytes record(108, 0x11);
    Host().PutRecord(host::SPECIAL_TAG, {3, 0}, record);
    if (c.secondFails) Host().FailCall("FX_LoadEData", 2);
    Bytes buffer;
    int32_t size = 0;
    EXPECT_EQ(LoadInto(host::SPECIAL_TAG, 3, 108, buffer, size), c.result);
    EXPECT_EQ(Loads(), (std::vector<Seen>{{"FX_LoadEData", host::SPECIAL_TAG, {3, 0}},
                                          {"FX_LoadEData", host::SPECIAL_TAG, {3, 0}}}));
}

INSTANTIATE_TEST_SUITE_P(SecondAnswer, SpecialTagSuccess,
                         testing::Values(SecondAskCase{"succeeds", false, 1},
                                         SecondAskCase{"fails", true, 0}),
                         [](const auto& test) { return std::string(test.param.name); });

// --- Direct records -----------------------------------------------------------------------

TEST_F(RecordTransfer, UnredirectedTagPassesKeySizeAndVersionThrough) {
    Host().PutRecord(Tag("GFRM"), {4, 2}, Bytes(36, 0x42));
    uint16_t key[4] = {4, 2, 0, 0};
    Bytes buffer(40, 0);
    int32_t size = 40;
    EXPECT_EQ(host::LoadRecord(Tag("GFRM"), key, buffer.data(), &size, 0x09000000), 1);
    EXPECT_EQ(size, 36);
    ASSERT_EQ(Host().Calls().size(), 1u);
    EXPECT_EQ(Host().Calls()[0].version, 0x09000000u);
    EXPECT_EQ(Host().Calls()[0].sizeIn, 40);
    key[0] = 5;
    EXPECT_EQ(host::LoadRecord(Tag("GFRM"), key, buffer.data(), &size, 0x09000000), 0);
}

// --- Preference maps ----------------------------------------------------------------------

struct PrefsLoadCase {
    const char* name;
    uint32_t tag;
    uint16_t number;
    int32_t capacity;
    bool loads;
    std::vector<std::pair<size_t, uint16_t>> words;  // offset, value
    int32_t writtenUpTo;
};

class PrefsMapLoad : public RecordTransfer, public testing::WithParamInterface<PrefsLoadCase> {};

TEST_P(PrefsMapLoad, FillsTheFieldsThatFitTheCapacity) {
    const PrefsLoadCase& c = GetParam();
    Host().PutRecord(Tag("ot79"), {kSmall, 0}, Words({0x7900, 0x7901, 0x7902}));
    Host().PutRecord(Tag("ot80"), {kSmall, 0}, Words({0x8000, 0x8001, 0x8002}));
    Host().PutRecord(Tag("ot04"), {kSmall, 0}, Words({0x0400, 0x0401, 0, 0, 0, 0x0405}));
    Host().PutRecord(Tag("ot66"), {kSmall, 0}, Words({0x6600, 0x6601, 0, 0, 0, 0x6605}));
    int count = 0;
    const host::FieldMapEntry* map = host::FindPrefsMap(c.tag, c.number, &count);
    ASSERT_NE(map, nullptr);
    Bytes record(static_cast<size_t>(c.capacity) + 8, kUntouched);
    int32_t reported = -1;
    EXPECT_EQ(host::LoadFromPrefsMap(record.data(), c.capacity, &reported, map, count), c.loads);
    EXPECT_EQ(reported, c.loads ? 6 : -1);
    for (auto [offset, value] : c.words) EXPECT_EQ(WordAt(record, offset), value);
    for (size_t i = static_cast<size_t>(c.writtenUpTo); i < record.size(); ++i) {
        EXPECT_EQ(record[i], kUntouched) << "byte " << i;
    }
    EXPECT_EQ(Loads().size(), c.loads ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Maps, PrefsMapLoad,
    testing::Values(
        PrefsLoadCase{
            "pfGp_0", Tag("pfGp"), 0, 6, true, {{0, 0x7900}, {2, 0x7901}, {4, 0x7902}}, 6},
        PrefsLoadCase{
            "pfGp_2", Tag("pfGp"), 2, 6, true, {{0, 0x8000}, {2, 0x8001}, {4, 0x8002}}, 6},
        PrefsLoadCase{"pfGp_short_refused", Tag("pfGp"), 0, 5, false, {}, 0},
        PrefsLoadCase{
            "pfSp_0_six_skips_offset_10", Tag("pfSp"), 0, 6, true, {{0, 0x0400}, {2, 0x0401}}, 4},
        PrefsLoadCase{"pfSp_1_twelve",
                      Tag("pfSp"),
                      1,
                      12,
                      true,
                      {{0, 0x6600}, {2, 0x6601}, {10, 0x6605}},
                      12}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(RecordTransfer, PrefsMapSaveWritesOnlyChangedRecordsWithinTheGivenBytes) {
    Host().PutRecord(Tag("ot04"), {kSmall, 0}, Words({0x0400, 0x0401, 0x0402, 0, 0, 0x0405}));
    int count = 0;
    const host::FieldMapEntry* map = host::FindPrefsMap(Tag("pfSp"), 0, &count);
    Bytes record(6, 0);
    PutWordAt(record, 0, 0x0400);
    PutWordAt(record, 2, 0x0401);
    EXPECT_TRUE(host::SaveToPrefsMap(record.data(), 6, map, count));
    EXPECT_TRUE(Saves().empty());
    PutWordAt(record, 2, 0x4444);
    EXPECT_TRUE(host::SaveToPrefsMap(record.data(), 6, map, count));
    EXPECT_EQ(Saves(), std::vector<Seen>{Save("ot04", kSmall, 0)});
    EXPECT_EQ(Host().GetRecord(Tag("ot04"), {kSmall, 0}),
              std::optional<Bytes>(Words({0x0400, 0x4444, 0x0402, 0, 0, 0x0405})));
}

TEST_F(RecordTransfer, PageFormatPrefsLoadReadsEachRecordOnce) {
    Host().PutRecord(Tag("ot65"), {kSmall, 0}, Words({0, 0, 0x0001, 0x0002, 0x0003, 0x0004}));
    int count = 0;
    const host::FieldMapEntry* map = host::FindPrefsMap(Tag("pfPB"), 0, &count);
    Bytes record(44, kUntouched);
    int32_t reported = 0;
    EXPECT_TRUE(host::LoadFromPrefsMap(record.data(), 44, &reported, map, count));
    EXPECT_EQ(reported, 44);
    EXPECT_EQ(LongAt(record, 0), 0x00010002u);
    EXPECT_EQ(LongAt(record, 8), 0x00030004u);
    EXPECT_EQ(Loads(), (std::vector<Seen>{Load("ot65", kSmall, 0), Load("ot60", kSmall, 0),
                                          Load("ot61", kSmall, 0), Load("ot64", kSmall, 0),
                                          Load("ot45", kSmall, 0)}));
}

}  // namespace
