// The group split and the multi-staff instrument check against the stand-in host.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <new>
#include <optional>
#include <set>
#include <string>

#include "framework/score/fc_music_region.h"
#include "framework/text/fc_raw_text.h"
#include "host_fixture.h"
#include "locale_environment.h"
#include "outside_command.h"
#include "platform/platform.h"
#include "shell/command_scope.h"
#include "split/group_split.h"
#include "split/multi_staff_check.h"
#include "support/heap_count.h"
#include "support/utf8.h"

namespace {

constexpr char16_t kFull[] = u"^font(Arial)^size(12)^nfx(128)(Brisane ";
constexpr char16_t kAbbrev[] = u"^font(Times)^size(10)^nfx(130)(Brs ";

// `name` with the split suffix of `marker` and `number`.
std::u16string Suffixed(std::u16string name, const char16_t* marker, int number) {
    name += marker;
    for (char c : std::to_string(number)) name.push_back(static_cast<char16_t>(c));
    return name + u")";
}

struct Piece {
    int16_t start, end;
    std::u16string full, abbrev;
    bool operator==(const Piece&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Piece& p) {
    return os << p.start << "-" << p.end << " " << support::Utf8(p.full) << " / "
              << support::Utf8(p.abbrev);
}

class SplitTest : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        AddStaves(4);
        host().SetMeasureCount(40);
        host().AddFont(1, u"Arial");
        host().AddFont(2, u"Times");
        host().SetFontPref(33, 1, 12, 0);
        host().SetFontPref(39, 2, 10, 2);
        // The string table is the plug-in module's; the unit tests are that module here.
        vb::resourceInstance = platform::OwnModule();
    }

    int16_t AddGroup(int16_t top, int16_t bottom, int16_t start, int16_t end,
                     std::optional<std::u16string> full = u"Strings",
                     std::optional<std::u16string> abbrev = u"Str.") {
        standin::GroupSpec spec;
        spec.startStaff = top;
        spec.endStaff = bottom;
        spec.startMeasure = start;
        spec.endMeasure = end;
        spec.fullName = full;
        spec.abbrevName = abbrev;
        return host().AddGroup(spec);
    }

    // One command, as Invoke runs it: in a scope of its own.
    static bool Split(int16_t system, int16_t startSlot, int16_t endSlot, int16_t start,
                      int16_t end) {
        const shell::CommandScope command;
        auto record = RegionRecord(system, startSlot, endSlot, start, end);
        FCMusicRegion region;
        region.SetHostRegion(record.data());
        return split::SplitMatchingGroups(region);
    }

    static std::vector<Piece> Pieces() {
        std::vector<Piece> out;
        for (const auto& g : host().Groups()) {
            out.push_back({g.startMeasure, g.endMeasure, g.fullName, g.abbrevName});
        }
        return out;
    }
};

TEST_F(SplitTest, OutcomeForEachWayTheSelectionSitsInTheGroup) {
    struct Case {
        const char* what;
        int16_t groupEnd, start, end;
        bool split;
        std::vector<Piece> pieces;
    } cases[] = {
        {"cut on both sides",
         20,
         5,
         8,
         true,
         {{1, 4, u"Strings", u"Str."},
          {5, 8, Suffixed(u"Strings", kFull, 2), Suffixed(u"Str.", kAbbrev, 2)},
          {9, 20, Suffixed(u"Strings", kFull, 3), Suffixed(u"Str.", kAbbrev, 3)}}},
        {"selection at the group's start",
         20,
         1,
         8,
         true,
         {{1, 8, u"Strings", u"Str."},
          {9, 20, Suffixed(u"Strings", kFull, 2), Suffixed(u"Str.", kAbbrev, 2)}}},
        {"selection at the group's end",
         20,
         5,
         20,
         true,
         {{1, 4, u"Strings", u"Str."},
          {5, 20, Suffixed(u"Strings", kFull, 2), Suffixed(u"Str.", kAbbrev, 2)}}},
        {"selection is the whole group", 20, 1, 20, false, {{1, 20, u"Strings", u"Str."}}},
        {"group runs past the last measure",
         999,
         10,
         40,
         true,
         {{1, 9, u"Strings", u"Str."},
          {10, 999, Suffixed(u"Strings", kFull, 2), Suffixed(u"Str.", kAbbrev, 2)}}},
        {"selection runs past the group", 20, 5, 25, false, {{1, 20, u"Strings", u"Str."}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host().Reset();
        SetUp();
        AddGroup(1, 4, 1, c.groupEnd);
        EXPECT_EQ(Split(0, 1, 4, c.start, c.end), c.split);
        EXPECT_EQ(Pieces(), c.pieces);
    }
}

TEST_F(SplitTest, HostWritesOfASplitOnBothSidesInOrder) {
    AddGroup(1, 4, 1, 20);
    host().ClearCalls();
    ASSERT_TRUE(Split(0, 1, 4, 5, 8));
    std::vector<std::string> expected = {
        "FX_SaveEData 'SDNG' (0,1,0)",         "FX_CreateEData 'SDNG' (0,65535,0)",
        "FX_CreateEData 'txbl' (65535)",       "FX_CreateEData 'SOTX' (65535,65535)",
        "FX_CreateEData 'txbl' (65535)",       "FX_CreateEData 'SOTX' (65535,65535)",
        "FX_SaveEData 'SDNG' (0,2,0)",         "FX_SaveEData 'SDNG' (0,2,0)",
        "FX_CreateEData 'SDNG' (0,65535,0)",   "FX_CreateEData 'txbl' (65535)",
        "FX_CreateEData 'SOTX' (65535,65535)", "FX_CreateEData 'txbl' (65535)",
        "FX_CreateEData 'SOTX' (65535,65535)", "FX_SaveEData 'SDNG' (0,3,0)"};
    std::vector<std::string> writes;
    std::vector<int16_t> field6;
    for (const auto& c : host().Calls()) {
        if (c.function != "FX_SaveEData" && c.function != "FX_CreateEData") continue;
        std::string key;
        for (uint16_t w : c.keyIn) key += (key.empty() ? "" : ",") + std::to_string(w);
        writes.push_back(c.function + " " + standin::TagName(c.tag) + " (" + key + ")");
        if (c.tag == standin::tag::kGroup) field6.push_back(le::GetI16(c.dataIn.data(), 6));
    }
    EXPECT_EQ(writes, expected);
    // The field at offset 6 is lowered by 10 only while a group is created.
    EXPECT_EQ(field6, (std::vector<int16_t>{0, -10, 0, 0, -10, 0}));
}

TEST_F(SplitTest, WholeDocumentSelectionLoadsNoGroup) {
    AddGroup(1, 4, 1, 40);
    host().ClearCalls();
    EXPECT_FALSE(Split(0, 1, 4, 1, 40));
    EXPECT_TRUE(CallsOf("FX_NextEData", standin::tag::kGroup).empty());
    EXPECT_TRUE(CallsOf("FX_LoadEData", standin::tag::kGroup).empty());
}

TEST_F(SplitTest, StavesAreMatchedOnWhatTheSelectionsSystemShows) {
    AddGroup(1, 4, 1, 20);
    host().SetStaffSystem(1, {1, 2, 3, 4});
    host().SetStaffSystem(2, {1, 2, 3});
    EXPECT_FALSE(Split(1, 1, 3, 5, 8));
    EXPECT_EQ(host().Groups().size(), 1u);
    EXPECT_TRUE(Split(2, 1, 3, 5, 8));
    EXPECT_EQ(host().Groups().size(), 3u);
}

TEST_F(SplitTest, AStaffListCutShortMatchesNoGroupItMayHide) {
    struct Case {
        const char* what;
        int16_t system;
        std::vector<int16_t> shown;
        int refusedLoad;  // of the 'SOIu' loads: 5 of the score's order, then the system's
    } cases[] = {
        {"score's order", 0, {}, 3},
        {"another system", 1, {1, 2, 3, 4}, 8},
        {"a system that hides a staff", 2, {1, 2, 4}, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host().Reset();
        SetUp();
        AddGroup(1, 4, 1, 20);
        if (c.system != 0) host().SetStaffSystem(c.system, c.shown);
        // The lists end after staves 1 and 2: the group would seem to span the selection.
        host().FailCall("FX_LoadEData", c.refusedLoad, standin::tag::kSystemStaff);
        host().ClearCalls();
        EXPECT_FALSE(Split(c.system, 1, 2, 5, 8));
        EXPECT_TRUE(Writes().empty());
        EXPECT_TRUE(host().UnfiredFaults().empty());
    }
}

TEST_F(SplitTest, SingleStaffGroupMatchesInAnySystem) {
    AddGroup(3, 3, 1, 20);
    host().SetStaffSystem(4, {3});
    host().ClearCalls();
    EXPECT_TRUE(Split(4, 1, 1, 5, 8));
    EXPECT_TRUE(CallsOf("FX_LoadEData", standin::tag::kSystemStaff).empty());
}

TEST_F(SplitTest, StaffSpanIsTheFirstAndLastStaffTheSelectionsSystemShows) {
    host().Reset();
    host().LogCalls(true);
    host().SetStaffSystem(0, {1, 2, 3, 4, 2, 6, 0, 8});  // staff 2 twice; a 0 among the staves
    host().SetStaffSystem(7, {2, 4, 6});
    host().SetStaffSystem(8, {0, 3, 8});
    struct Case {
        int16_t system, start, end, top, bottom;
    } cases[] = {
        {7, 1, 4, 2, 4},  // staves 2 and 4 are shown between 1 and 4
        {7, 1, 6, 2, 6},  // the second 2 lies between: still shown
        {7, 2, 3, 2, 2},  // a staff is found at its first place in score order
        {7, 4, 1, 0, 0},  // the start after the end
        {7, 1, 9, 0, 0},  // a staff the score lacks
        {7, 3, 3, 3, 3},  // one staff: no list is asked
        {8, 1, 8, 3, 8},  // a shown 0 is never the top, but can be passed over
        {8, 6, 0, 0, 0},  // ends on the 0, which is the bottom; nothing else shown
        {8, 1, 2, 0, 0},  // none shown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.system) + ": " + std::to_string(c.start) + "-" +
                     std::to_string(c.end));
        const shell::CommandScope command;
        FCGroup group;
        group.SetStartStaff(c.start);
        group.SetEndStaff(c.end);
        FCMusicRegion region;
        region.startSystem = c.system;
        EXPECT_EQ(split::GetGroupStaffSpan(group, region), std::make_pair(c.top, c.bottom));
    }
}

TEST_F(SplitTest, StaffSpansReadTheListsOncePerCommandAndNeverOutsideOne) {
    host().SetStaffSystem(1, {1, 2, 4});
    FCGroup group;
    group.SetStartStaff(1);
    group.SetEndStaff(4);
    FCMusicRegion region;
    region.startSystem = 1;
    struct Case {
        bool inCommand;
        size_t listLoads;  // 'SOIu' loads of three spans: five of system 0 and four of system 1
        int16_t top, bottom;
    } cases[] = {{false, 0, 0, 0}, {true, 9, 1, 4}, {true, 9, 1, 4}};
    for (const Case& c : cases) {
        host().ClearCalls();
        std::optional<shell::CommandScope> command;
        std::optional<OutsideCommand> outside;  // the first case reads outside one on purpose
        if (c.inCommand) {
            command.emplace();
        } else {
            outside.emplace();
        }
        for (int i = 0; i < 3; ++i) {
            const auto span = split::GetGroupStaffSpan(group, region);
            EXPECT_EQ(span.first, c.top);
            EXPECT_EQ(span.second, c.bottom);
        }
        EXPECT_EQ(CallsOf("FX_LoadEData", standin::tag::kSystemStaff).size(), c.listLoads)
            << c.inCommand;
    }
}

TEST_F(SplitTest, StaffListsAndNameFontsAreReadOncePerCommand) {
    AddGroup(1, 4, 1, 20);
    AddGroup(1, 4, 1, 20, u"Tutti", u"T.");
    AddGroup(1, 3, 1, 20);
    AddGroup(2, 4, 1, 20);
    host().ClearCalls();
    ASSERT_TRUE(Split(0, 1, 4, 5, 8));
    // Positions 0 to 4 of system 0, which is also the selection's system.
    EXPECT_EQ(CallsOf("FX_LoadEData", standin::tag::kSystemStaff).size(), 5u);
    EXPECT_EQ(CallsOf("FX_LoadEData", standin::tag::kFontPrefs).size(), 2u);
    EXPECT_EQ(CallsOf("FX_FontNumToName_UTF16").size(), 2u);
    EXPECT_EQ(host().Groups().size(), 8u);
}

TEST_F(SplitTest, ResplitKeepsOneSuffixAndTheSplitGroupKeepsItsNumber) {
    const std::u16string earlier = Suffixed(u"Strings", kFull, 12);
    AddGroup(1, 4, 1, 20, earlier, u"Str.");
    ASSERT_TRUE(Split(0, 1, 4, 5, 8));
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].full, earlier);
    EXPECT_EQ(pieces[1].full, Suffixed(u"Strings", kFull, 2));
    // A suffix made with another font command is a different marker: a second suffix.
    host().SetFontPref(33, 1, 14, 0);
    ASSERT_TRUE(Split(0, 1, 4, 6, 7));
    const auto again = host().Group(0, 4);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(again->fullName, Suffixed(Suffixed(u"Strings", kFull, 2),
                                        u"^font(Arial)^size(14)^nfx(128)(Brisane ", 4));
}

// The split markers are data, English in every language: a piece split under one language and
// again under each of the others keeps one suffix, renumbered.
TEST_F(SplitTest, ResplitUnderAnotherLanguageKeepsOneEnglishSuffix) {
    AddGroup(1, 4, 1, 20);
    const struct {
        const char* locale;
        int16_t start, end;
    } steps[] = {
        {"fr_FR.UTF-8", 5, 12}, {"de_DE.UTF-8", 6, 11}, {"ja_JP.UTF-8", 7, 10}, {"C", 8, 9}};
    for (const auto& step : steps) {
        const LocaleEnvironment environment(step.locale);
        ASSERT_TRUE(Split(0, 1, 4, step.start, step.end)) << step.locale;
    }
    const auto groups = host().Groups();
    ASSERT_EQ(groups.size(), 9u);
    for (const auto& g : groups) {
        if (g.number == 1) continue;
        EXPECT_EQ(g.fullName, Suffixed(u"Strings", kFull, g.number)) << g.number;
        EXPECT_EQ(g.abbrevName, Suffixed(u"Str.", kAbbrev, g.number)) << g.number;
    }
}

TEST_F(SplitTest, GroupWithoutNamesGetsTheSuffixAlone) {
    AddGroup(1, 4, 1, 20, std::nullopt, std::nullopt);
    ASSERT_TRUE(Split(0, 1, 4, 1, 8));
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[1].full, Suffixed(u"", kFull, 2));
    EXPECT_EQ(pieces[1].abbrev, Suffixed(u"", kAbbrev, 2));
}

TEST_F(SplitTest, TwoMatchingGroupsAreEachSplit) {
    AddGroup(1, 4, 1, 20);
    AddGroup(1, 4, 1, 20, u"Tutti", u"T.");
    ASSERT_TRUE(Split(0, 1, 4, 1, 8));
    EXPECT_EQ(host().Groups().size(), 4u);
}

TEST_F(SplitTest, MissingFontPreferencesGiveTheDefaultFont) {
    host().Reset();
    AddStaves(4);
    host().SetMeasureCount(40);
    vb::resourceInstance = platform::OwnModule();
    AddGroup(1, 4, 1, 20);
    ASSERT_TRUE(Split(0, 1, 4, 1, 8));
    EXPECT_EQ(Pieces()[1].full, u"Strings^font(Times New Roman)^size(12)^nfx(128)(Brisane 2)");
}

TEST_F(SplitTest, ReversedOrMeasurelessSelectionsMatchNothing) {
    AddGroup(1, 4, 1, 20);
    struct Case {
        int16_t start, end;
    } cases[] = {{8, 5}, {0, 5}, {-3, 4}};
    for (const Case& c : cases) {
        host().ClearCalls();
        EXPECT_FALSE(Split(0, 1, 4, c.start, c.end)) << c.start << "-" << c.end;
        EXPECT_TRUE(Writes().empty());
    }
    EXPECT_EQ(Pieces().size(), 1u);
}

// Every measure of the original group is still bracketed over the same staves.
void ExpectCovered(int16_t from, int16_t to) {
    for (int16_t m = from; m <= to; ++m) {
        bool covered = false;
        for (const auto& g : standin::Host::Instance().Groups()) {
            if (g.startStaff == 1 && g.endStaff == 4 && g.startMeasure <= m && m <= g.endMeasure) {
                covered = true;
            }
        }
        EXPECT_TRUE(covered) << "measure " << m << " lost its bracket";
    }
}

// Whether the command read the record back whole after the host reported creating it: only
// then does it know the record as its own, and only then may it delete it.
bool ReadBackAfterCreation(uint32_t tag, const std::vector<uint16_t>& key) {
    bool created = false;
    for (const standin::Call& c : standin::Host::Instance().Calls()) {
        if (c.tag != tag || c.result == 0) continue;
        if (c.function == "FX_CreateEData" && c.keyOut == key) created = true;
        if (created && c.function == "FX_LoadEData" && !c.bufferNull && c.keyIn == key) return true;
    }
    return false;
}

// No half-made piece is left: no two groups share a name block, none keeps the lowered field at
// offset 6, and every text block and raw text belongs to some group's name, but for one the
// host reported creating and the command could not read back (it might be another's). Returns
// those, as (tag, key).
std::vector<std::pair<uint32_t, std::vector<uint16_t>>> ExpectNoHalfMadePiece() {
    std::vector<std::pair<uint32_t, std::vector<uint16_t>>> unread;
    const standin::Host& host = standin::Host::Instance();
    std::set<std::vector<uint16_t>> named, blocksRead;
    for (const auto& g : host.Groups()) {
        EXPECT_EQ(le::GetI16(g.bytes.data(), 6), 0) << "group " << g.number;
        for (int16_t id : {g.fullNameId, g.abbrevNameId}) {
            if (id == 0) continue;
            EXPECT_TRUE(named.insert({static_cast<uint16_t>(id), 0}).second)
                << "block " << id << " named twice";
        }
    }
    std::set<std::vector<uint16_t>> rawTexts;
    for (const auto& key : host.Keys(standin::tag::kTextBlock)) {
        const auto block = host.GetRecord(standin::tag::kTextBlock, key);
        rawTexts.insert({le::GetU16(block->data(), 0)});
        if (named.count(key)) continue;
        if (!ReadBackAfterCreation(standin::tag::kTextBlock, key)) {
            unread.emplace_back(standin::tag::kTextBlock, key);
            continue;
        }
        ADD_FAILURE() << "text block " << key[0] << " left behind";
    }
    for (const auto& key : host.Keys(standin::tag::kRawText)) {
        if (rawTexts.count(key)) continue;
        if (!ReadBackAfterCreation(standin::tag::kRawText, key)) {
            unread.emplace_back(standin::tag::kRawText, key);
            continue;
        }
        ADD_FAILURE() << "raw text " << key[0] << " left behind";
    }
    return unread;
}

TEST_F(SplitTest, AnySingleFailedHostCallLeavesEveryBracketAndNoHalfMadePiece) {
    AddGroup(1, 4, 1, 20);
    host().ClearCalls();
    ASSERT_TRUE(Split(0, 1, 4, 5, 8));
    std::map<std::string, int> counts;
    for (const auto& c : host().Calls()) ++counts[c.function];
    for (const auto& [function, count] : counts) {
        for (int nth = 1; nth <= count; ++nth) {
            SCOPED_TRACE(function + " #" + std::to_string(nth));
            host().Reset();
            SetUp();
            AddGroup(1, 4, 1, 20);
            const auto before = host().Group(0, 1)->bytes;
            host().FailCall(function, nth);
            const bool split = Split(0, 1, 4, 5, 8);
            ExpectCovered(1, 20);
            ExpectNoHalfMadePiece();
            // True exactly when a piece was made.
            EXPECT_EQ(split, host().Groups().size() > 1);
            // Nothing is ever written under the placeholder key of a failed creation.
            for (const auto& c : CallsOf("FX_SaveEData", standin::tag::kGroup)) {
                EXPECT_NE(c.keyIn[1], 0xFFFF);
            }
            for (const auto& g : host().Groups()) EXPECT_LE(g.startMeasure, g.endMeasure);
            // The group split keeps every byte but its end measure.
            auto after = host().Group(0, 1)->bytes;
            after[34] = before[34];
            after[35] = before[35];
            EXPECT_EQ(after, before);
        }
    }
}

TEST_F(SplitTest, AFailedWriteUndoesThePieceWithWhatItCreated) {
    // The writes of the first piece, cut on both sides of measures 5 to 8 of group 1 (1-20).
    const std::string shorten = "FX_SaveEData 'SDNG' key (0,1,0)";
    const std::string restore = shorten;
    const std::string dropGroup = "FX_DeleteEData 'SDNG' key (0,2,0)";
    struct Case {
        const char* what;
        const char* function;
        int nth;
        std::vector<std::string> undo;  // the writes after the failed one
    } cases[] = {
        {"shortening save", "FX_SaveEData", 1, {}},
        {"group creation", "FX_CreateEData", 1, {restore}},
        {"full name's raw text", "FX_CreateEData", 2, {restore, dropGroup}},
        {"full name's block",
         "FX_CreateEData",
         3,
         {restore, dropGroup, "FX_DeleteEData 'txbl' key (2)"}},
        {"abbreviated name's raw text",
         "FX_CreateEData",
         4,
         {restore, dropGroup, "FX_DeleteEData 'SOTX' key (2,0)", "FX_DeleteEData 'txbl' key (2)"}},
        {"abbreviated name's block",
         "FX_CreateEData",
         5,
         {restore, dropGroup, "FX_DeleteEData 'txbl' key (3)", "FX_DeleteEData 'SOTX' key (2,0)",
          "FX_DeleteEData 'txbl' key (2)"}},
        {"last save",
         "FX_SaveEData",
         2,
         {restore, dropGroup, "FX_DeleteEData 'SOTX' key (3,0)", "FX_DeleteEData 'txbl' key (3)",
          "FX_DeleteEData 'SOTX' key (2,0)", "FX_DeleteEData 'txbl' key (2)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host().Reset();
        SetUp();
        AddGroup(1, 4, 1, 20, u"Strings", std::nullopt);  // texts 1; new ones from 2
        const std::string document = host().SaveDocumentJson();
        host().FailCall(c.function, c.nth);
        host().ClearCalls();
        EXPECT_FALSE(Split(0, 1, 4, 5, 8));
        // Without the piece before the cut, the one after it is not made either.
        EXPECT_EQ(host().SaveDocumentJson(), document);
        std::vector<std::string> undo;
        bool failed = false;
        for (const auto& c2 : host().Calls()) {
            const bool write = c2.function == "FX_SaveEData" || c2.function == "FX_CreateEData" ||
                               c2.function == "FX_DeleteEData";
            if (failed && write) {
                const std::string line = standin::Describe(c2);
                undo.push_back(line.substr(0, line.find(')') + 1));
            }
            if (write && c2.result == 0) failed = true;
        }
        EXPECT_EQ(undo, c.undo);
    }
}

TEST_F(SplitTest, AFailedSecondPieceLeavesTheFirstComplete) {
    // Every write of the second piece: its two saves and its five creations.
    const std::pair<const char*, int> faults[] = {
        {"FX_SaveEData", 3},   {"FX_SaveEData", 4},   {"FX_CreateEData", 6}, {"FX_CreateEData", 7},
        {"FX_CreateEData", 8}, {"FX_CreateEData", 9}, {"FX_CreateEData", 10}};
    for (const auto& [function, nth] : faults) {
        SCOPED_TRACE(std::string(function) + " #" + std::to_string(nth));
        host().Reset();
        SetUp();
        AddGroup(1, 4, 1, 20);
        host().FailCall(function, nth);
        EXPECT_TRUE(Split(0, 1, 4, 5, 8));
        const std::vector<Piece> expected = {
            {1, 4, u"Strings", u"Str."},
            {5, 20, Suffixed(u"Strings", kFull, 2), Suffixed(u"Str.", kAbbrev, 2)}};
        EXPECT_EQ(Pieces(), expected);
        ExpectNoHalfMadePiece();
    }
}

TEST_F(SplitTest, ARefusedUndoStopsTheCommandWithEveryMeasureBracketed) {
    struct Case {
        const char* what;
        const char* function;
        int nth;
        std::vector<int16_t> ranges;  // start and end of each group afterwards
    } cases[] = {
        // The restoring save refused: the new group still brackets the measures cut off.
        {"restore refused", "FX_SaveEData", 2, {1, 4, 1, 20, 5, 20}},
        // The new group's deletion refused: both groups bracket the measures.
        {"deletion refused", "FX_DeleteEData", 1, {1, 20, 1, 20, 5, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host().Reset();
        SetUp();
        AddGroup(1, 4, 1, 20);
        AddGroup(1, 4, 1, 20, u"Tutti", u"T.");
        host().FailCall("FX_CreateEData", 2);  // the first new group's full name
        host().FailCall(c.function, c.nth);
        host().ClearCalls();
        EXPECT_FALSE(Split(0, 1, 4, 5, 8));
        ExpectCovered(1, 20);
        std::vector<int16_t> ranges;
        for (const auto& g : host().Groups()) {
            ranges.push_back(g.startMeasure);
            ranges.push_back(g.endMeasure);
        }
        EXPECT_EQ(ranges, c.ranges);
        // Nothing is written after the refused step: the second group is not touched.
        const standin::Call& last = host().Calls().back();
        EXPECT_EQ(last.function, c.function);
        EXPECT_EQ(last.result, 0);
    }
}

TEST_F(SplitTest, AnUndonePieceLetsTheNextGroupSplit) {
    AddGroup(1, 4, 1, 20);
    AddGroup(1, 4, 1, 20, u"Tutti", u"T.");
    host().FailCall("FX_SaveEData", 2);  // the first group's first new group, its last save
    EXPECT_TRUE(Split(0, 1, 4, 5, 8));
    const std::vector<Piece> expected = {
        {1, 20, u"Strings", u"Str."},
        {1, 4, u"Tutti", u"T."},
        {5, 8, Suffixed(u"Tutti", kFull, 3), Suffixed(u"T.", kAbbrev, 3)},
        {9, 20, Suffixed(u"Tutti", kFull, 4), Suffixed(u"T.", kAbbrev, 4)}};
    EXPECT_EQ(Pieces(), expected);
    ExpectNoHalfMadePiece();
}

TEST_F(SplitTest, ACreationReportedUnderAKnownKeyIsARefusedOne) {
    // Refused: both groups as they were, and the group the host made unseen under its own key.
    const std::vector<Piece> refused = {
        {1, 20, u"Strings", u"Str."}, {1, 20, u"Violins", u"Vln."}, {5, 20, u"Strings", u"Str."}};
    struct Case {
        const char* what;
        int creation;  // among the creations of the command
        std::vector<uint16_t> key;
        bool result;
        std::vector<Piece> groups;  // of owner 0, the one the host made unseen included
    } cases[] = {
        {"the group being cut", 1, {0, 1, 0}, false, refused},
        {"another loaded group", 1, {0, 2, 0}, false, refused},
        {"the placeholder", 1, {0, 0xFFFF, 0}, false, refused},
        {"a piece the command made",
         6,
         {0, 3, 0},
         true,
         {{1, 4, u"Strings", u"Str."},
          {1, 20, u"Violins", u"Vln."},
          {5, 20, Suffixed(u"Strings", kFull, 3), Suffixed(u"Str.", kAbbrev, 3)},
          {9, 20, Suffixed(u"Strings", kFull, 3), Suffixed(u"Str.", kAbbrev, 3)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host().Reset();
        SetUp();
        AddGroup(1, 4, 1, 20);
        AddGroup(1, 2, 1, 20, u"Violins", u"Vln.");
        const auto violins = host().Group(0, 2)->bytes;
        standin::WrongAnswer answer;
        answer.kind = standin::WrongAnswer::Kind::Key;
        answer.key = c.key;
        host().AnswerWrongly("FX_CreateEData", c.creation, answer);
        host().ClearCalls();
        EXPECT_EQ(Split(0, 1, 4, 5, 8), c.result);
        EXPECT_TRUE(host().UnfiredFaults().empty());
        EXPECT_EQ(Pieces(), c.groups);
        EXPECT_EQ(host().Group(0, 2)->bytes, violins);
        // After the creation, only the group it was cut from is written: given its measures back.
        std::vector<std::string> after;
        bool created = false;
        int creations = 0;
        for (const auto& call : host().Calls()) {
            if (created && (call.function == "FX_SaveEData" || call.function == "FX_CreateEData" ||
                            call.function == "FX_DeleteEData")) {
                const std::string line = standin::Describe(call);
                after.push_back(line.substr(0, line.find(')') + 1));
            }
            if (call.function == "FX_CreateEData" && ++creations == c.creation) created = true;
        }
        const std::string cut = c.creation == 1 ? "(0,1,0)" : "(0,3,0)";
        EXPECT_EQ(after, std::vector<std::string>{"FX_SaveEData 'SDNG' key " + cut});
    }
}

TEST_F(SplitTest, ANameTextReportedUnderAKnownNumberIsARefusedOne) {
    using standin::tag::kRawText;
    using standin::tag::kTextBlock;
    struct Case {
        const char* what;
        int creation;  // among the creations of the command
        uint32_t tag;
        std::vector<uint16_t> key;
        int laterRefusal;  // a creation refused later on, whose undo would delete under the key
        bool result;
        std::vector<Piece> groups;
    } cases[] = {
        {"the group's full name text, read", 2, kRawText, {1}, 5, false, {}},
        {"the placeholder, for a block", 3, kTextBlock, {0xFFFF, 0xFFFF}, 5, false, {}},
        {"number 0, no name, for a block", 3, kTextBlock, {0, 0}, 5, false, {}},
        {"number 0 for a text", 2, kRawText, {0}, 5, false, {}},
        {"another group's block, loaded", 5, kTextBlock, {3, 0}, 0, false, {}},
        {"the first piece's full name text",
         7,
         kRawText,
         {5},
         10,
         true,
         {{1, 4, u"Strings", u"Str."},
          {1, 20, u"Violins", u"Vln."},
          {5, 20, Suffixed(u"Strings", kFull, 3), Suffixed(u"Str.", kAbbrev, 3)}}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        host().Reset();
        SetUp();
        AddGroup(1, 4, 1, 20);                       // texts 1 and 2
        AddGroup(1, 2, 1, 20, u"Violins", u"Vln.");  // texts 3 and 4
        if (c.groups.empty()) c.groups = Pieces();
        std::map<std::pair<uint32_t, std::vector<uint16_t>>, std::vector<uint8_t>> texts;
        for (uint32_t tag : {kRawText, kTextBlock}) {
            for (const auto& key : host().Keys(tag))
                texts[{tag, key}] = *host().GetRecord(tag, key);
        }
        standin::WrongAnswer answer;
        answer.kind = standin::WrongAnswer::Kind::Key;
        answer.key = c.key;
        host().AnswerWrongly("FX_CreateEData", c.creation, answer);
        if (c.laterRefusal != 0) host().FailCall("FX_CreateEData", c.laterRefusal);
        host().ClearCalls();
        EXPECT_EQ(Split(0, 1, 4, 5, 8), c.result);
        EXPECT_EQ(Pieces(), c.groups);
        ExpectCovered(1, 20);
        // Every name text there was is there as it was (a completed piece's shows in its names).
        for (const auto& [id, bytes] : texts) {
            EXPECT_EQ(host().GetRecord(id.first, id.second), bytes) << "text " << id.second[0];
        }
        // Nothing is written or deleted under the number reported.
        int creations = 0;
        for (const auto& call : host().Calls()) {
            if (call.function == "FX_CreateEData" && ++creations == c.creation) continue;
            const bool write = call.function == "FX_SaveEData" || call.function == "FX_DeleteEData";
            if (write && creations >= c.creation && call.tag == c.tag && call.keyIn == c.key) {
                ADD_FAILURE() << standin::Describe(call);
            }
        }
    }
}

// Fails the first allocation outside the host after the host's `writes`th record write.
class AllocationFailsAfterWrite final : public support::CallObserver {
  public:
    explicit AllocationFailsAfterWrite(uint64_t writes) : writes_(writes) {}
    void Entered() noexcept override { clock_.Entered(); }
    void Left() noexcept override {
        clock_.Left();
        const standin::Host& h = standin::Host::Instance();
        if (!armed_ && h.CallCount("FX_SaveEData") + h.CallCount("FX_CreateEData") == writes_) {
            armed_ = true;
            support::FailAllocation(1);
        }
    }

  private:
    support::HostClock clock_;
    uint64_t writes_;
    bool armed_ = false;
};

TEST_F(SplitTest, AnExceptionMidwayUndoesThePieceAsARefusedWriteDoes) {
    // The fourteen writes of the two pieces, cut on both sides of measures 5 to 8. The command
    // allocates after each of the first twelve; once the second piece's last raw text is read
    // back, its block and the last save allocate nothing, and the command then completes.
    constexpr uint64_t kAllocatingAfter = 12;
    for (uint64_t writes = 1; writes <= 13; ++writes) {
        SCOPED_TRACE(writes);
        host().Reset();
        SetUp();
        AddGroup(1, 4, 1, 20);
        const std::string document = host().SaveDocumentJson();
        host().ClearCalls();
        AllocationFailsAfterWrite observer(writes);
        host().SetCallObserver(&observer);
        bool threw = false;
        try {
            Split(0, 1, 4, 5, 8);
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        support::FailAllocation(0);
        host().SetCallObserver(nullptr);
        EXPECT_EQ(threw, writes <= kAllocatingAfter) << "the failure did not come where planned";
        ExpectCovered(1, 20);
        // A raw text whose read-back the failure cut short stays, named by no group.
        for (const auto& [tag, key] : ExpectNoHalfMadePiece()) host().EraseRecord(tag, key);
        // The piece it came in is undone; a piece completed before it stays.
        const std::vector<Piece> first = {
            {1, 4, u"Strings", u"Str."},
            {5, 20, Suffixed(u"Strings", kFull, 2), Suffixed(u"Str.", kAbbrev, 2)}};
        const std::vector<Piece> both = {
            {1, 4, u"Strings", u"Str."},
            {5, 8, Suffixed(u"Strings", kFull, 2), Suffixed(u"Str.", kAbbrev, 2)},
            {9, 20, Suffixed(u"Strings", kFull, 3), Suffixed(u"Str.", kAbbrev, 3)}};
        if (host().Groups().size() == 1) {
            EXPECT_EQ(host().SaveDocumentJson(), document);
        } else {
            EXPECT_TRUE(Pieces() == first || Pieces() == both) << testing::PrintToString(Pieces());
        }
        // Nothing is written after the undo.
        EXPECT_NE(host().Calls().back().function, "FX_CreateEData");
    }
}

TEST_F(SplitTest, AFailedCreationPutsTheShortenedGroupBackAsItWas) {
    AddGroup(1, 4, 1, 20);
    const auto before = host().Group(0, 1)->bytes;
    host().FailCall("FX_CreateEData", 1);
    EXPECT_FALSE(Split(0, 1, 4, 5, 8));
    ASSERT_EQ(host().Groups().size(), 1u);
    EXPECT_EQ(host().Group(0, 1)->bytes, before);
}

TEST_F(SplitTest, PiecesStayWithTheOwnerOfTheirGroup) {
    standin::GroupSpec spec;
    spec.owner = 3;
    spec.startStaff = 1;
    spec.endStaff = 4;
    spec.startMeasure = 1;
    spec.endMeasure = 20;
    spec.fullName = u"Strings";
    spec.abbrevName = u"Str.";
    host().AddGroup(spec);
    AddGroup(1, 2, 1, 20, u"Violins", u"Vln.");  // owner 0: its numbers do not count
    ASSERT_TRUE(Split(0, 1, 4, 5, 8));
    std::vector<std::pair<int16_t, int16_t>> keys;
    for (const auto& g : host().Groups()) keys.emplace_back(g.owner, g.number);
    EXPECT_EQ(keys, (std::vector<std::pair<int16_t, int16_t>>{{0, 1}, {3, 1}, {3, 2}, {3, 3}}));
    const auto last = host().Group(3, 3);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->fullName, Suffixed(u"Strings", kFull, 3));
    for (const auto& c : CallsOf("FX_CreateEData", standin::tag::kGroup)) {
        EXPECT_EQ(c.keyIn, (std::vector<uint16_t>{3, 0xFFFF, 0}));
    }
}

TEST_F(SplitTest, AGroupWhoseNameCannotBeReadIsNotSplit) {
    struct Case {
        const char* what;
        const char* function;
        uint32_t tag;
        int nth;
    } cases[] = {
        {"full name's block", "FX_LoadEData", standin::tag::kTextBlock, 1},
        {"abbreviated name's block", "FX_LoadEData", standin::tag::kTextBlock, 2},
        {"full name's raw text size", "FX_LoadEData", standin::tag::kRawText, 1},
        {"full name's raw text", "FX_LoadEData", standin::tag::kRawText, 3},
        {"abbreviated name's raw text", "FX_LoadEData", standin::tag::kRawText, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host().Reset();
        SetUp();
        AddGroup(1, 4, 1, 20);
        host().FailCall(c.function, c.nth, c.tag);
        host().ClearCalls();
        EXPECT_FALSE(Split(0, 1, 4, 5, 8));
        EXPECT_TRUE(Writes().empty());
    }
    // A raw text read short would pass for a shorter name: it is as unreadable.
    struct Short {
        const char* what;
        int rawTextCall;  // the call among the raw text loads, size queries included
        standin::WrongAnswer answer;
    };
    auto size = [](int32_t bytes) {
        standin::WrongAnswer a;
        a.size = bytes;
        return a;
    };
    standin::WrongAnswer unterminated;
    unterminated.kind = standin::WrongAnswer::Kind::Unterminated;
    const Short shortReads[] = {
        {"full name's load reporting 2 bytes", 3, size(2)},
        {"full name's load reporting no bytes", 3, size(0)},
        {"abbreviated name's load reporting 2 bytes", 6, size(2)},
        {"full name's load without its terminator", 3, unterminated},
        {"full name without its terminator from its size query on", 1, unterminated},
    };
    for (const Short& c : shortReads) {
        SCOPED_TRACE(c.what);
        host().Reset();
        SetUp();
        AddGroup(1, 4, 1, 20);
        // Wrong answers count every load: find the raw text call among them in a clean run.
        const std::string document = host().SaveDocumentJson();
        Split(0, 1, 4, 5, 8);
        int nth = 0, rawTextCalls = 0;
        for (const auto& call : CallsOf("FX_LoadEData")) {
            ++nth;
            if (call.tag == standin::tag::kRawText && ++rawTextCalls == c.rawTextCall) break;
        }
        std::string error;
        ASSERT_TRUE(host().LoadDocumentJson(document, &error)) << error;
        host().ClearCalls();
        host().AnswerWrongly("FX_LoadEData", nth, c.answer);
        EXPECT_FALSE(Split(0, 1, 4, 5, 8));
        EXPECT_TRUE(Writes().empty());
        EXPECT_TRUE(host().UnfiredFaults().empty());
    }
    // A name id naming no text block at all is as unreadable.
    host().Reset();
    SetUp();
    AddGroup(1, 4, 1, 20);
    const auto bytes = host().Group(0, 1)->bytes;
    std::vector<uint8_t> record(bytes.begin(), bytes.end());
    le::PutI16(record.data(), 22, 99);
    host().PutRecord(standin::tag::kGroup, {0, 1, 0}, record);
    host().ClearCalls();
    EXPECT_FALSE(Split(0, 1, 4, 5, 8));
    EXPECT_TRUE(Writes().empty());
}

TEST_F(SplitTest, ANameTooLongForItsSuffixIsThePlugInsOwnLimit) {
    // The longest text the plug-in writes, and the suffix of the long group's piece, number 12.
    const size_t longest = FCRawText::kMaxRecordBytes / 2 - 1;
    const size_t marker = std::u16string(kFull).size();
    struct Case {
        const char* what;
        size_t nameLength;
        bool tooLong, written;  // the long group's: whether its name was too long, it was written
    } cases[] = {
        // Too long with any number: no write at all for it.
        {"too long for the shortest suffix", longest - marker - 1, true, false},
        // It fits with a one-digit number, not with the piece's 12: the piece is undone.
        {"made too long by the piece's number", longest - marker - 2, true, true},
        {"just fits with the piece's number", longest - marker - 3, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host().Reset();
        SetUp();
        standin::GroupSpec spec;
        spec.number = 10;
        spec.startStaff = 1;
        spec.endStaff = 4;
        spec.startMeasure = 1;
        spec.endMeasure = 20;
        spec.fullName = std::u16string(c.nameLength, u'x');
        spec.abbrevName = u"Str.";
        host().AddGroup(spec);
        AddGroup(1, 4, 1, 20);  // number 11, split beside it
        host().ClearCalls();
        const shell::CommandScope command;
        auto record = RegionRecord(0, 1, 4, 5, 8);
        FCMusicRegion region;
        region.SetHostRegion(record.data());
        split::SplitShortfalls shortfalls;
        EXPECT_TRUE(split::SplitMatchingGroups(region, &shortfalls));
        EXPECT_EQ(shortfalls.nameTooLong, c.tooLong);
        EXPECT_FALSE(shortfalls.refusedWrite);  // the host refused nothing
        const auto& calls = host().Calls();
        EXPECT_EQ(std::any_of(calls.begin(), calls.end(),
                              [](const standin::Call& call) {
                                  return call.function == "FX_SaveEData" &&
                                         call.keyIn == std::vector<uint16_t>{0, 10, 0};
                              }),
                  c.written);
    }
}

TEST_F(SplitTest, AnUnresolvedSelectionStaffMatchesNoGroup) {
    struct Case {
        const char* what;
        int16_t system, startSlot, endSlot;
        bool slotLookupsFail;
    } cases[] = {
        {"system that does not exist", 7, 1, 2, false},
        {"slots beyond the system's list", 1, 2, 3, false},
        {"slot lookups the host refuses", 0, 1, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host().Reset();
        SetUp();
        // Groups that no staff list places: one that the selection's system may hide, one
        // reversed in score order. Their span is (0, 0), like that of an unresolved selection.
        AddGroup(1, 2, 1, 20);
        AddGroup(4, 2, 1, 20, u"Reversed", u"Rev.");
        host().SetStaffSystem(1, {3});
        for (int nth = 1; c.slotLookupsFail && nth <= 20; ++nth) {
            host().FailCall("FX_SlotToInst", nth);
        }
        host().ClearCalls();
        EXPECT_FALSE(Split(c.system, c.startSlot, c.endSlot, 5, 8));
        EXPECT_TRUE(Writes().empty());
    }
}

TEST_F(SplitTest, SuffixIsAddedOrRenumbered) {
    FCString command(u"^font(A)^size(9)^nfx(128)");
    struct Case {
        const char16_t* name;
        int16_t number;
        bool abbreviated;
        const char16_t* expected;
    } cases[] = {
        {u"Horns", 3, false, u"Horns^font(A)^size(9)^nfx(128)(Brisane 3)"},
        {u"Hn.", 3, true, u"Hn.^font(A)^size(9)^nfx(128)(Brs 3)"},
        {u"Horns^font(A)^size(9)^nfx(128)(Brisane 12)", 7, false,
         u"Horns^font(A)^size(9)^nfx(128)(Brisane 7)"},
        {u"Horns^font(A)^size(9)^nfx(128)(Brisane ", 7, false,
         u"Horns^font(A)^size(9)^nfx(128)(Brisane 7)"},
        {u"", -4, false, u"^font(A)^size(9)^nfx(128)(Brisane -4)"},
        // Only the number and its ")" are replaced; text after them stays.
        {u"Horns^font(A)^size(9)^nfx(128)(Brisane 12)^nfx(0) con sord.", 7, false,
         u"Horns^font(A)^size(9)^nfx(128)(Brisane 7)^nfx(0) con sord."},
        {u"^font(A)^size(9)^nfx(128)(Brs 4) Horns", 15, true,
         u"^font(A)^size(9)^nfx(128)(Brs 15) Horns"},
        {u"Horns^font(A)^size(9)^nfx(128)(Brisane -4) a 2", 5, false,
         u"Horns^font(A)^size(9)^nfx(128)(Brisane 5) a 2"},
        // No number after the marker: the number and ")" are put right after it.
        {u"Horns^font(A)^size(9)^nfx(128)(Brisane x)", 7, false,
         u"Horns^font(A)^size(9)^nfx(128)(Brisane 7)x)"},
        // A number that lost its ")" is still the number: replaced, and the ")" given back.
        {u"Horns^font(A)^size(9)^nfx(128)(Brisane 12 a 2", 7, false,
         u"Horns^font(A)^size(9)^nfx(128)(Brisane 7) a 2"},
        {u"Horns^font(A)^size(9)^nfx(128)(Brisane 12", 7, false,
         u"Horns^font(A)^size(9)^nfx(128)(Brisane 7)"},
        {u"Hn.^font(A)^size(9)^nfx(128)(Brs -3", 8, true, u"Hn.^font(A)^size(9)^nfx(128)(Brs 8)"},
        // A suffix whose number is missing: what is left of it is replaced, one ")" in all.
        {u"Horns^font(A)^size(9)^nfx(128)(Brisane )", 15, false,
         u"Horns^font(A)^size(9)^nfx(128)(Brisane 15)"},
        {u"Hn.^font(A)^size(9)^nfx(128)(Brs -)", 9, true, u"Hn.^font(A)^size(9)^nfx(128)(Brs 9)"},
        {u"Horns^font(A)^size(9)^nfx(128)(Brisane -", 7, false,
         u"Horns^font(A)^size(9)^nfx(128)(Brisane 7)"},
        {u"Horns^font(A)^size(9)^nfx(128)(Brisane ) a 2", 7, false,
         u"Horns^font(A)^size(9)^nfx(128)(Brisane 7) a 2"},
        // Only the first suffix is renumbered.
        {u"A^font(A)^size(9)^nfx(128)(Brisane 1)B^font(A)^size(9)^nfx(128)(Brisane 2)", 3, false,
         u"A^font(A)^size(9)^nfx(128)(Brisane 3)B^font(A)^size(9)^nfx(128)(Brisane 2)"},
    };
    for (const Case& c : cases) {
        FCString name(c.name);
        split::AddSplitSuffix(name, command, c.number, c.abbreviated);
        EXPECT_EQ(std::u16string(name.GetUTF16()), c.expected) << support::Utf8(c.name);
    }
}

class MultiStaffTest : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        AddStaves(8);
    }
    static bool Check(int16_t startSlot, int16_t endSlot) {
        const shell::CommandScope command;
        auto record = RegionRecord(0, startSlot, endSlot, 1, 4);
        FCMusicRegion region;
        region.SetHostRegion(record.data());
        return split::IsMultiStaffInstrumentRange(region);
    }
};

TEST_F(MultiStaffTest, OnlyAnExactInstrumentRangeCounts) {
    host().AddMultiStaffInstrument(1, 6, 5);  // record order reversed
    host().AddMultiStaffInstrument(2, 3, 4, 2);
    host().AddMultiStaffInstrument(3, 61, 62);  // staves the score does not hold
    struct Case {
        int16_t start, end;
        bool match;
    } cases[] = {
        {5, 6, true},  {5, 7, false}, {6, 6, false}, {2, 4, true},
        {2, 3, false}, {1, 1, false}, {0, 0, false},  // no staff at slot 0: staff 0 is no staff
        {9, 12, false}};                              // slots beyond the score's staves
    for (const Case& c : cases)
        EXPECT_EQ(Check(c.start, c.end), c.match) << c.start << "-" << c.end;
    for (const auto& call : CallsOf("FX_InstToSlot")) {
        EXPECT_EQ(call.system, 0);
        EXPECT_EQ(call.version, 0x19000000u);
    }
}

TEST_F(MultiStaffTest, NoInstrumentsNoMatch) {
    EXPECT_FALSE(Check(1, 2));
}

}  // namespace
