// The redirection tables and conversions, checked without a host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "framework/host/map_transfer.h"
#include "framework/host/prefs_maps.h"
#include "framework/host/record_transfer.h"

namespace {

using host::FieldMapEntry;
using host::RecordRun;

constexpr uint32_t Tag(const char (&s)[5]) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(s[0])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(s[3]));
}

struct MapCase {
    const char* name;
    uint32_t tag;
    uint16_t item;
    size_t entries;    // 0: no map
    int32_t size;      // reported composite size
    int32_t lastByte;  // end of the field reaching furthest
};

class FieldMapLookup : public testing::TestWithParam<MapCase> {};

TEST_P(FieldMapLookup, FindsTheMapWithItsEntriesAndSize) {
    const MapCase& c = GetParam();
    auto map = host::FindFieldMap(c.tag, c.item);
    ASSERT_EQ(map.size(), c.entries);
    if (c.entries == 0) return;
    EXPECT_EQ(host::CompositeSize(map), c.size);
    int32_t last = 0;
    for (const FieldMapEntry& e : map) last = std::max(last, e.offset + e.size);
    EXPECT_EQ(last, c.lastByte);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, FieldMapLookup,
    testing::Values(
        MapCase{"pf05", Tag("pf05"), 0, 11, 22, 22}, MapCase{"pfDP", Tag("pfDP"), 0, 36, 76, 76},
        MapCase{"pfEX", Tag("pfEX"), 0, 25, 50, 50}, MapCase{"pfMS", Tag("pfMS"), 0, 49, 104, 104},
        MapCase{"pfPB", Tag("pfPB"), 7, 11, 44, 44},
        MapCase{"pfPF_item0", Tag("pfPF"), 0, 22, 48, 48},
        MapCase{"pfPF_item1_has_none", Tag("pfPF"), 1, 0, 0, 0},
        MapCase{"pfPL", Tag("pfPL"), 0, 7, 14, 14}, MapCase{"pfRP", Tag("pfRP"), 0, 20, 40, 40},
        MapCase{"pfSI", Tag("pfSI"), 0, 23, 54, 54},
        MapCase{"pfSS_96_reaching_108", Tag("pfSS"), 0, 43, 96, 108},
        MapCase{"font_prefs_has_none", Tag("pfdf"), 0, 0, 0, 0},
        MapCase{"small_record_has_none", Tag("ot77"), 0, 0, 0, 0},
        MapCase{"special_tag_has_none", host::SPECIAL_TAG, 0, 0, 0, 0}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(FieldMapShape, EveryFieldLiesInsideItsSmallRecordAndNoTwoFieldsOverlap) {
    for (const char* name :
         {"pf05", "pfDP", "pfEX", "pfMS", "pfPB", "pfPF", "pfPL", "pfRP", "pfSI", "pfSS"}) {
        char t[5] = {name[0], name[1], name[2], name[3], 0};
        auto map = host::FindFieldMap(Tag(t), 0);
        std::vector<bool> used(128, false);
        for (const FieldMapEntry& e : map) {
            SCOPED_TRACE(std::string(name) + " offset " + std::to_string(e.offset));
            ASSERT_TRUE(e.size == 2 || e.size == 4);
            EXPECT_EQ(e.conversion == host::CONVERT_HIGH_FIRST, e.size == 4);
            EXPECT_LE(e.wordIndex * 2 + e.size, host::SMALL_RECORD_SIZE);
            for (int32_t b = e.offset; b < e.offset + e.size; ++b) {
                EXPECT_FALSE(used[static_cast<size_t>(b)]);
                used[static_cast<size_t>(b)] = true;
            }
        }
    }
}

TEST(FieldMapShape, ExtraFieldsComeFromTheIncidencesTheHostKeepsThem) {
    // 42 and 44 from incidence 8, 46 and 48 from incidence 7, although listed the other way.
    auto map = host::FindFieldMap(Tag("pfEX"), 0);
    auto inciAt = [&](int16_t offset) {
        for (const FieldMapEntry& e : map)
            if (e.offset == offset) return static_cast<int>(e.inci);
        return -1;
    };
    EXPECT_EQ(inciAt(42), 8);
    EXPECT_EQ(inciAt(44), 8);
    EXPECT_EQ(inciAt(46), 7);
    EXPECT_EQ(inciAt(48), 7);
}

struct RunCase {
    const char* name;
    uint32_t tag;
    uint16_t item;
    bool accepted;
    uint32_t runTag;
    uint16_t count;
    uint16_t firstInci;
};

class RecordRunLookup : public testing::TestWithParam<RunCase> {};

TEST_P(RecordRunLookup, AcceptsItsItemRangeAndNamesTheRun) {
    const RunCase& c = GetParam();
    RecordRun run{0xDEADBEEF, 77, 77};
    EXPECT_EQ(host::FindRecordRun(c.tag, c.item, run), c.accepted);
    EXPECT_EQ(run.runTag, c.runTag);
    EXPECT_EQ(run.count, c.count);
    EXPECT_EQ(run.firstInci, c.firstInci);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RecordRunLookup,
    testing::Values(RunCase{"pfGD_any", Tag("pfGD"), 500, true, Tag("ot79"), 1, 0},
                    RunCase{"pfGG_eleven", Tag("pfGG"), 0, true, Tag("ot88"), 11, 0},
                    RunCase{"pfGb_4", Tag("pfGb"), 4, true, Tag("ot98"), 1, 3},
                    RunCase{"pfGb_5", Tag("pfGb"), 5, false, 0, 0, 0},
                    RunCase{"pfGd_any", Tag("pfGd"), 3, true, Tag("ot80"), 1, 0},
                    RunCase{"pfGs_1", Tag("pfGs"), 1, true, Tag("ot91"), 1, 0},
                    RunCase{"pfGs_2", Tag("pfGs"), 2, false, 0, 0, 0},
                    RunCase{"pfMM", Tag("pfMM"), 0, true, Tag("ot25"), 2, 0},
                    RunCase{"pfND", Tag("pfND"), 0, true, Tag("ot04"), 1, 0},
                    RunCase{"pfNd", Tag("pfNd"), 0, true, Tag("ot66"), 1, 0},
                    RunCase{"pfPF_1", Tag("pfPF"), 1, true, Tag("ot77"), 4, 0},
                    RunCase{"pfPF_0", Tag("pfPF"), 0, false, 0, 0, 0},
                    RunCase{"pfPF_2", Tag("pfPF"), 2, false, 0, 0, 0},
                    RunCase{"pfSC", Tag("pfSC"), 0, true, Tag("ot52"), 2, 0},
                    RunCase{"pfSN_1", Tag("pfSN"), 1, true, Tag("ot40"), 1, 0},
                    RunCase{"pfSN_128", Tag("pfSN"), 128, true, Tag("ot40"), 1, 127},
                    RunCase{"pfSN_129", Tag("pfSN"), 129, false, 0, 0, 0},
                    RunCase{"pfSN_0", Tag("pfSN"), 0, false, 0, 0, 0},
                    RunCase{"pfSN_ffff", Tag("pfSN"), 0xFFFF, false, 0, 0, 0},
                    RunCase{"pfSP", Tag("pfSP"), 0, true, Tag("ot94"), 3, 0},
                    RunCase{"pfSl_15", Tag("pfSl"), 15, true, Tag("ot26"), 1, 14},
                    RunCase{"pfSl_16", Tag("pfSl"), 16, false, 0, 0, 0},
                    RunCase{"pfTC", Tag("pfTC"), 0, true, Tag("ot86"), 5, 0},
                    RunCase{"pfTI", Tag("pfTI"), 0, true, Tag("ot84"), 4, 0},
                    RunCase{"pfTX", Tag("pfTX"), 0, true, Tag("ot78"), 9, 0},
                    RunCase{"pfTp", Tag("pfTp"), 0, true, Tag("ot85"), 4, 0},
                    RunCase{"pfTs_9", Tag("pfTs"), 9, true, Tag("ot90"), 1, 8},
                    RunCase{"pfTs_0", Tag("pfTs"), 0, false, 0, 0, 0},
                    RunCase{"unlisted_passes_through", Tag("GFRM"), 3, true, 0, 0, 0},
                    RunCase{"mapped_tag_is_no_run", Tag("pfSS"), 0, true, 0, 0, 0}),
    [](const auto& test) { return std::string(test.param.name); });

// Conversions between small-record words and composite fields.
struct ConversionCase {
    const char* name;
    int32_t conversion;
    int32_t size;
    uint16_t w0, w1;  // small-record words before
    uint32_t loaded;  // composite value they give
    uint32_t saved;   // composite value stored back
    uint16_t s0, s1;  // words afterwards
    bool changed;
};

class Conversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(Conversion, LoadsAndStoresTheWords) {
    const ConversionCase& c = GetParam();
    host::detail::SmallRecord words{};
    words[4] = static_cast<uint8_t>(c.w0);
    words[5] = static_cast<uint8_t>(c.w0 >> 8);
    words[6] = static_cast<uint8_t>(c.w1);
    words[7] = static_cast<uint8_t>(c.w1 >> 8);
    EXPECT_EQ(host::detail::ReadField(words, 2, c.size, c.conversion), c.loaded);
    EXPECT_EQ(host::detail::WriteField(words, 2, c.size, c.conversion, c.saved), c.changed);
    EXPECT_EQ(words[4] | (words[5] << 8), c.s0);
    EXPECT_EQ(words[6] | (words[7] << 8), c.s1);
}

INSTANTIATE_TEST_SUITE_P(
    Words, Conversion,
    testing::Values(
        ConversionCase{"none", host::CONVERT_NONE, 2, 0x1234, 0x5555, 0x1234, 0x4321, 0x4321,
                       0x5555, true},
        ConversionCase{"none_unchanged", host::CONVERT_NONE, 2, 0x1234, 0, 0x1234, 0x1234, 0x1234,
                       0, false},
        ConversionCase{"high_first", host::CONVERT_HIGH_FIRST, 4, 0x0001, 0x0002, 0x00010002,
                       0xAABBCCDD, 0xAABB, 0xCCDD, true},
        ConversionCase{"high_first_unchanged", host::CONVERT_HIGH_FIRST, 4, 0x0001, 0x0002,
                       0x00010002, 0x00010002, 0x0001, 0x0002, false},
        ConversionCase{"low_first", host::CONVERT_LOW_FIRST, 4, 0x0001, 0x0002, 0x00020001,
                       0xAABBCCDD, 0xCCDD, 0xAABB, true},
        ConversionCase{"not_zero_loads_one", host::CONVERT_NOT, 2, 0, 0, 1, 0, 1, 0, true},
        ConversionCase{"not_other_loads_zero", host::CONVERT_NOT, 2, 7, 0, 0, 5, 0, 0, true},
        ConversionCase{"not_unchanged", host::CONVERT_NOT, 2, 1, 0, 0, 0, 1, 0, false},
        ConversionCase{"low_byte", host::CONVERT_LOW_BYTE, 2, 0x12FF, 0, 0x00FF, 0x00FF, 0xFFFF, 0,
                       true},
        ConversionCase{"low_byte_widened_stays", host::CONVERT_LOW_BYTE, 2, 0xFFFF, 0, 0x00FF,
                       0x00FF, 0xFFFF, 0, false},
        ConversionCase{"low_byte_positive", host::CONVERT_LOW_BYTE, 2, 0x0000, 0, 0, 0x347F, 0x007F,
                       0, true},
        ConversionCase{"long_other_conversion_is_zero", host::CONVERT_NONE, 4, 5, 6, 0, 9, 5, 6,
                       false}),
    [](const auto& test) { return std::string(test.param.name); });

// Preference maps.
struct PrefsField {
    char c1, c2;
    int16_t offset;
    int16_t word;
};

struct PrefsCase {
    const char* name;
    uint32_t tag;
    uint16_t number;
    bool found;
    std::vector<PrefsField> fields;  // 2-byte fields; empty to skip the check
};

// The preference map of a tag and number; nullopt when there is none.
std::optional<std::span<const FieldMapEntry>> Prefs(uint32_t tag, uint16_t number) {
    int count = -1;
    const FieldMapEntry* map = host::FindPrefsMap(tag, number, &count);
    if (map == nullptr) {
        EXPECT_EQ(count, 0);
        return std::nullopt;
    }
    return std::span<const FieldMapEntry>(map, static_cast<size_t>(count));
}

class PrefsMapLookup : public testing::TestWithParam<PrefsCase> {};

TEST_P(PrefsMapLookup, FindsTheMapOfTheTagAndNumber) {
    const PrefsCase& c = GetParam();
    auto map = Prefs(c.tag, c.number);
    ASSERT_EQ(map.has_value(), c.found);
    if (!map || c.fields.empty()) return;
    ASSERT_EQ(map->size(), c.fields.size());
    for (size_t i = 0; i < c.fields.size(); ++i) {
        const FieldMapEntry& e = (*map)[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(e.suffix[0], c.fields[i].c1);
        EXPECT_EQ(e.suffix[1], c.fields[i].c2);
        EXPECT_EQ(e.offset, c.fields[i].offset);
        EXPECT_EQ(e.wordIndex, c.fields[i].word);
        EXPECT_EQ(e.size, 2);
        EXPECT_EQ(e.itemNo, 0);
        EXPECT_EQ(e.inci, 0);
        EXPECT_EQ(e.minVersion, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, PrefsMapLookup,
    testing::Values(
        PrefsCase{
            "pfGp_0", Tag("pfGp"), 0, true, {{'7', '9', 0, 0}, {'7', '9', 2, 1}, {'7', '9', 4, 2}}},
        PrefsCase{
            "pfGp_3", Tag("pfGp"), 3, true, {{'8', '0', 0, 0}, {'8', '0', 2, 1}, {'8', '0', 4, 2}}},
        PrefsCase{"pfSp_0",
                  Tag("pfSp"),
                  0,
                  true,
                  {{'0', '4', 0, 0}, {'0', '4', 2, 1}, {'0', '4', 10, 5}}},
        PrefsCase{"pfSp_1",
                  Tag("pfSp"),
                  1,
                  true,
                  {{'6', '6', 0, 0}, {'6', '6', 2, 1}, {'6', '6', 10, 5}}},
        PrefsCase{"pfPB", Tag("pfPB"), 0, true, {}},
        PrefsCase{"font_prefs_has_none", Tag("pfdf"), 33, false, {}},
        PrefsCase{"unknown_has_none", Tag("GFRM"), 0, false, {}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(PrefsMapLookup, PageFormatIsElevenHighFirstLongsLikeItsFieldMap) {
    auto prefs = Prefs(Tag("pfPB"), 0);
    auto fields = host::FindFieldMap(Tag("pfPB"), 0);
    ASSERT_TRUE(prefs.has_value());
    ASSERT_EQ(prefs->size(), 11u);
    ASSERT_EQ(fields.size(), 11u);
    EXPECT_EQ(host::PrefsMapSize(prefs->data(), 11), 44);
    for (size_t i = 0; i < 11; ++i) {
        const FieldMapEntry& p = (*prefs)[i];
        const FieldMapEntry& f = fields[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(p.size, 4);
        EXPECT_EQ(p.conversion, host::CONVERT_HIGH_FIRST);
        EXPECT_EQ(p.suffix[0], f.suffix[0]);
        EXPECT_EQ(p.suffix[1], f.suffix[1]);
        EXPECT_EQ(p.offset, f.offset);
        EXPECT_EQ(p.wordIndex, f.wordIndex);
    }
}

TEST(PrefsMapTransfer, NullRecordReportsTheSizeOnly) {
    auto map = Prefs(Tag("pfSp"), 0);
    int32_t reported = -1;
    EXPECT_TRUE(host::LoadFromPrefsMap(nullptr, 0, &reported, map->data(), 3));
    EXPECT_EQ(reported, 6);
}

TEST(PrefsMapTransfer, RefusesARecordShorterThanItsSizeWritingNothing) {
    auto map = Prefs(Tag("pfGp"), 0);
    uint8_t record[6];
    std::fill(std::begin(record), std::end(record), 0xAB);
    int32_t reported = -1;
    EXPECT_FALSE(host::LoadFromPrefsMap(record, 5, &reported, map->data(), 3));
    EXPECT_EQ(reported, -1);
    EXPECT_TRUE(
        std::all_of(std::begin(record), std::end(record), [](uint8_t b) { return b == 0xAB; }));
}

TEST(PrefsMapTransfer, SaveRefusesNullOrShortRecords) {
    auto map = Prefs(Tag("pfPB"), 0);
    uint8_t record[44] = {};
    EXPECT_FALSE(host::SaveToPrefsMap(nullptr, 44, map->data(), 11));
    EXPECT_FALSE(host::SaveToPrefsMap(record, 21, map->data(), 11));
}

}  // namespace
