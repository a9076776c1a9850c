// The composite records that the host keeps scattered over its 12-byte 'ot' records, and the
// preference records stored as runs of them.
#include <cstddef>
#include <iterator>

#include "framework/host/map_notation.h"
#include "framework/host/page_format_map.h"
#include "framework/host/record_transfer.h"

namespace host {
namespace {

using notation::L;
using notation::Sum;
using notation::Tag;
using notation::W;

constexpr FieldMapEntry kPf05[] = {
    W(0, "69", 1),          W(2, "20", 3),  W(4, "39", 5),          W(6, "38", 5),
    W(8, "39", 4),          W(10, "23", 5), W(12, "56", 4),         W(14, "41", 2).Inci(2),
    W(16, "41", 3).Inci(2), W(18, "94", 4), W(20, "94", 2).Inci(2),
};
static_assert(std::size(kPf05) == 11 && Sum(kPf05) == 22);

constexpr FieldMapEntry kPfDP[] = {
    W(0, "21", 3),          W(2, "21", 5),  W(4, "59", 3),  W(6, "59", 4),  W(8, "22", 1),
    W(10, "22", 2),         W(12, "22", 3), W(14, "67", 3), W(16, "67", 4), L(18, "68", 4),
    W(22, "20", 1),         W(24, "20", 2), W(26, "13", 3), W(28, "19", 0), W(30, "19", 1),
    W(32, "68", 0),         W(34, "21", 1), W(36, "68", 1), W(38, "21", 0), W(40, "27", 5),
    W(42, "18", 0),         W(44, "18", 2), W(46, "18", 1), W(48, "21", 4), W(50, "39", 0),
    W(52, "39", 1),         L(54, "65", 0), W(58, "67", 1), W(60, "18", 5), W(62, "67", 0),
    W(64, "18", 3),         W(66, "18", 4), W(68, "14", 4), W(70, "14", 5), W(74, "01", 5),
    W(72, "77", 0).Inci(4),
};
static_assert(std::size(kPfDP) == 36 && Sum(kPfDP) == 76);

constexpr FieldMapEntry kPfEX[] = {
    W(0, "77", 1).Inci(4),  W(2, "77", 2).Inci(4),  W(4, "77", 3).Inci(4),  W(6, "77", 4).Inci(4),
    W(8, "77", 5).Inci(4),  W(10, "77", 0).Inci(5), W(12, "77", 1).Inci(5), W(14, "77", 2).Inci(5),
    W(16, "77", 3).Inci(5), W(18, "77", 4).Inci(5), W(20, "77", 5).Inci(5), W(22, "77", 0).Inci(6),
    W(24, "77", 1).Inci(6), W(26, "77", 2).Inci(6), W(28, "77", 3).Inci(6), W(30, "77", 4).Inci(6),
    W(32, "77", 5).Inci(6), W(34, "77", 0).Inci(7), W(36, "77", 1).Inci(7), W(38, "77", 2).Inci(7),
    W(40, "77", 3).Inci(7), W(46, "77", 4).Inci(7), W(48, "77", 5).Inci(7), W(42, "77", 0).Inci(8),
    W(44, "77", 1).Inci(8),
};
static_assert(std::size(kPfEX) == 25 && Sum(kPfEX) == 50);

constexpr FieldMapEntry kPfMS[] = {
    W(0, "36", 4),
    W(2, "03", 4),
    W(4, "03", 5),
    W(6, "09", 5),
    W(8, "36", 2),
    W(10, "36", 3),
    W(12, "36", 1).Not(),
    W(14, "41", 0),
    W(16, "41", 1),
    W(18, "20", 0),
    W(20, "27", 1),
    W(22, "01", 0),
    W(24, "13", 2),
    W(26, "15", 4),
    W(28, "27", 0),
    W(30, "27", 4),
    W(32, "44", 4),
    W(34, "27", 2),
    W(36, "12", 2),
    W(38, "12", 3),
    W(40, "12", 1),
    W(42, "41", 1).Inci(2),
    W(44, "23", 1),
    W(46, "19", 2),
    W(48, "19", 3),
    W(50, "31", 5),
    W(52, "19", 4).LowByte(),
    W(54, "19", 5).LowByte(),
    W(56, "44", 3),
    W(58, "05", 4),
    W(60, "05", 5),
    W(62, "13", 0),
    W(64, "41", 5),
    W(66, "12", 4),
    W(68, "01", 1),
    W(70, "93", 4),
    W(72, "76", 4),
    W(74, "93", 2),
    W(76, "76", 3),
    W(78, "17", 5),
    W(80, "23", 4),
    W(82, "16", 5),
    L(84, "62", 0),
    L(88, "62", 2),
    W(92, "41", 0).Inci(2),
    W(94, "41", 2),
    L(96, "41", 3).Inci(1),
    W(100, "76", 5),
    W(102, "FI", 2).Item(10),
};
static_assert(std::size(kPfMS) == 49 && Sum(kPfMS) == 104);

constexpr FieldMapEntry kPfPF[] = {
    L(0, "14", 0),  L(4, "15", 2),  W(8, "39", 2),  W(10, "16", 0), W(12, "16", 1), W(14, "16", 2),
    W(16, "16", 3), W(18, "02", 0), W(20, "02", 1), W(22, "02", 2), W(24, "02", 3), W(26, "17", 0),
    W(28, "17", 1), W(30, "17", 3), W(32, "17", 2), W(34, "01", 4), W(36, "02", 4), W(38, "13", 5),
    W(40, "13", 4), W(42, "02", 5), W(44, "03", 0), W(46, "03", 1),
};
static_assert(std::size(kPfPF) == 22 && Sum(kPfPF) == 48);

constexpr FieldMapEntry kPfPL[] = {
    W(0, "13", 1), W(2, "39", 3),  W(4, "36", 0),  W(6, "36", 5),
    W(8, "37", 0), W(10, "37", 1), W(12, "37", 2),
};
static_assert(std::size(kPfPL) == 7 && Sum(kPfPL) == 14);

constexpr FieldMapEntry kPfRP[] = {
    W(0, "70", 0),  W(2, "70", 1),  W(4, "70", 2),  W(6, "70", 3),  W(8, "70", 4),
    W(10, "70", 5), W(12, "71", 0), W(14, "71", 1), W(16, "71", 2), W(18, "71", 3),
    W(20, "71", 4), W(22, "71", 5), W(24, "05", 3), W(26, "72", 0), W(28, "76", 2),
    W(30, "72", 1), W(32, "72", 2), W(34, "72", 3), W(36, "72", 4), W(38, "72", 5),
};
static_assert(std::size(kPfRP) == 20 && Sum(kPfRP) == 40);

constexpr FieldMapEntry kPfSI[] = {
    W(0, "67", 2),  W(2, "58", 4),  L(4, "68", 2),  L(8, "62", 4),  W(12, "03", 3), W(14, "23", 0),
    W(16, "14", 2), W(18, "64", 1), W(20, "27", 3), W(22, "58", 5), W(24, "59", 0), W(26, "59", 1),
    W(28, "01", 2), W(30, "59", 2), W(32, "01", 3), L(34, "97", 0), W(38, "20", 4), W(40, "20", 5),
    W(42, "03", 2), W(44, "21", 2), W(46, "64", 5), L(48, "97", 2), W(52, "69", 0),
};
static_assert(std::size(kPfSI) == 23 && Sum(kPfSI) == 54);

constexpr FieldMapEntry kPfSS[] = {
    W(0, "92", 0),
    W(2, "92", 1),
    W(4, "92", 2),
    W(6, "92", 3),
    W(8, "FI", 0).Item(11),
    W(10, "FI", 1).Item(11),
    W(12, "FI", 4).Item(12),
    W(14, "FI", 4).Item(11),
    L(16, "FI", 0).Item(12),
    L(20, "FI", 2).Item(12),
    W(24, "FI", 2).Item(11),
    W(26, "FI", 5).Item(11),
    W(28, "12", 5).LowByte(),
    W(32, "11", 5).LowByte(),
    W(36, "69", 4).LowByte(),
    W(40, "69", 5).LowByte(),
    W(44, "69", 2).LowByte(),
    W(48, "69", 3).LowByte(),
    W(52, "51", 5),
    W(54, "53", 5),
    W(56, "51", 4),
    W(58, "53", 4),
    W(60, "50", 4),
    W(62, "53", 0).Inci(1),
    W(64, "53", 1).Inci(1),
    W(66, "53", 2).Inci(1),
    W(68, "53", 3).Inci(1),
    L(70, "51", 0),
    L(74, "51", 2),
    W(78, "53", 2),
    W(80, "53", 0),
    W(82, "53", 1),
    L(84, "93", 0),
    W(88, "53", 3),
    W(90, "50", 5),
    W(92, "50", 0),
    W(94, "50", 1),
    W(96, "50", 2),
    W(98, "50", 3),
    W(100, "97", 0).Inci(1),
    W(102, "97", 1).Inci(1),
    W(104, "97", 2).Inci(1),
    W(106, "97", 3).Inci(1),
};
static_assert(std::size(kPfSS) == 43 && Sum(kPfSS) == 96);

// 'pfSS' reports 96 bytes, yet its fields reach byte 108: the six low-byte fields at 28 to 48
// stand 4 bytes apart and the bytes between them are never written.

struct MapRow {
    uint32_t tag;
    std::span<const FieldMapEntry> entries;
    bool itemZeroOnly;
};

constexpr MapRow kFieldMaps[] = {
    {Tag("pf05"), kPf05, false},
    {Tag("pfDP"), kPfDP, false},
    {Tag("pfEX"), kPfEX, false},
    {Tag("pfMS"), kPfMS, false},
    {Tag("pfPB"), notation::kPageFormatMap, false},
    {Tag("pfPF"), kPfPF, true},
    {Tag("pfPL"), kPfPL, false},
    {Tag("pfRP"), kPfRP, false},
    {Tag("pfSI"), kPfSI, false},
    {Tag("pfSS"), kPfSS, false},
};

// Accepted item numbers firstItem..lastItem; the first incidence is 0, or n-1 for the tags whose
// item number picks one record of the run.
struct RunRow {
    uint32_t tag;
    uint16_t firstItem;
    uint16_t lastItem;
    uint32_t runTag;
    uint16_t count;
    bool inciFromItem;
};

constexpr uint16_t kAny = 0xFFFF;

constexpr RunRow kRecordRuns[] = {
    {Tag("pfGD"), 0, kAny, Tag("ot79"), 1, false}, {Tag("pfGG"), 0, kAny, Tag("ot88"), 11, false},
    {Tag("pfGb"), 1, 4, Tag("ot98"), 1, true},     {Tag("pfGd"), 0, kAny, Tag("ot80"), 1, false},
    {Tag("pfGs"), 1, 1, Tag("ot91"), 1, false},    {Tag("pfMM"), 0, kAny, Tag("ot25"), 2, false},
    {Tag("pfND"), 0, kAny, Tag("ot04"), 1, false}, {Tag("pfNd"), 0, kAny, Tag("ot66"), 1, false},
    {Tag("pfPF"), 1, 1, Tag("ot77"), 4, false},    {Tag("pfSC"), 0, kAny, Tag("ot52"), 2, false},
    {Tag("pfSN"), 1, 128, Tag("ot40"), 1, true},   {Tag("pfSP"), 0, kAny, Tag("ot94"), 3, false},
    {Tag("pfSl"), 1, 15, Tag("ot26"), 1, true},    {Tag("pfTC"), 0, kAny, Tag("ot86"), 5, false},
    {Tag("pfTI"), 0, kAny, Tag("ot84"), 4, false}, {Tag("pfTX"), 0, kAny, Tag("ot78"), 9, false},
    {Tag("pfTp"), 0, kAny, Tag("ot85"), 4, false}, {Tag("pfTs"), 1, 9, Tag("ot90"), 1, true},
};

}  // namespace

std::span<const FieldMapEntry> FindFieldMap(uint32_t tag, uint16_t itemNo) {
    for (const MapRow& row : kFieldMaps) {
        if (row.tag != tag) continue;
        if (row.itemZeroOnly && itemNo != 0) return {};
        return row.entries;
    }
    return {};
}

bool FindRecordRun(uint32_t tag, uint16_t itemNo, RecordRun& run) {
    run = RecordRun{0, 0, 0};
    for (const RunRow& row : kRecordRuns) {
        if (row.tag != tag) continue;
        if (itemNo < row.firstItem || itemNo > row.lastItem) return false;
        run.runTag = row.runTag;
        run.count = row.count;
        run.firstInci = row.inciFromItem ? static_cast<uint16_t>(itemNo - 1) : 0;
        return true;
    }
    return true;
}

}  // namespace host
