// The validator's model of the command on the cases the command is known by: the outcome table
// of one group cut at the selection, the span rule, and the names of the pieces. The model is
// only worth comparing with when it is right on its own.
#include <gtest/gtest.h>

#include "model.h"

namespace {

using validate::ModelGroup;
using validate::NameSpec;
using validate::RunModel;
using validate::Score;
using validate::ScoreGroup;

NameSpec Text(std::u16string text) {
    return {NameSpec::Kind::Text, std::move(text)};
}

// Staves 1 to 4 in score order, 20 measures, one group over all four staves and 1 to 20 named
// "Strings" / "Str.", fonts Arial 12 and 10.
Score Quartet(int16_t first, int16_t last) {
    Score s;
    s.staves = {1, 2, 3, 4};
    s.measures = 20;
    ScoreGroup g;
    g.top = 1;
    g.bottom = 4;
    g.first = 1;
    g.last = 20;
    g.full = Text(u"Strings");
    g.abbrev = Text(u"Str.");
    s.groups = {g};
    s.fonts = {{2, u"Arial"}};
    s.fullPref = validate::FontPref{2, 12, 0};
    s.abbrevPref = validate::FontPref{2, 10, 0};
    s.selection = driver::Selection{0, 1, 4, first, last};
    s.answers = {"yes"};
    return s;
}

std::vector<std::pair<int, int>> Measures(const validate::ModelOutcome& out) {
    std::vector<std::pair<int, int>> ranges;
    for (const ModelGroup& g : out.groups) ranges.emplace_back(g.first, g.last);
    return ranges;
}

TEST(Model, CutsOneGroupAsTheOutcomeTableSays) {
    const struct {
        int16_t first, last, groupLast;
        std::vector<std::pair<int, int>> pieces;
        int16_t result;
    } cases[] = {
        {5, 8, 20, {{1, 4}, {5, 8}, {9, 20}}, 1},
        {1, 8, 20, {{1, 8}, {9, 20}}, 1},
        {5, 20, 20, {{1, 4}, {5, 20}}, 1},
        {1, 20, 20, {{1, 20}}, 0},              // the whole document: nothing is loaded
        {10, 20, 999, {{1, 9}, {10, 999}}, 1},  // beyond the last measure: no piece after it
        {5, 25, 20, {{1, 20}}, 0},              // the selection reaches past the group
    };
    for (const auto& c : cases) {
        Score s = Quartet(c.first, c.last);
        s.groups[0].last = c.groupLast;
        const auto out = RunModel(s);
        EXPECT_EQ(Measures(out), c.pieces) << c.first << "-" << c.last;
        EXPECT_EQ(out.result, c.result) << c.first << "-" << c.last;
        if (c.result == 0) {
            EXPECT_EQ(out.boxes, std::vector<std::u16string>{u"No Group"});
        }
    }
}

TEST(Model, NamesThePiecesWithTheirNumbers) {
    const auto out = RunModel(Quartet(5, 8));
    ASSERT_EQ(out.groups.size(), 3u);
    EXPECT_EQ(out.groups[0].full, u"Strings");
    EXPECT_EQ(out.groups[1].number, 2);
    EXPECT_EQ(out.groups[1].full, u"Strings^font(Arial)^size(12)^nfx(128)(Brisane 2)");
    EXPECT_EQ(out.groups[2].abbrev, u"Str.^font(Arial)^size(10)^nfx(128)(Brs 3)");
}

TEST(Model, RenumbersItsOwnSuffixAndKeepsWhatFollows) {
    const struct {
        std::u16string name, piece;
    } cases[] = {
        {u"Strings^font(Arial)^size(12)^nfx(128)(Brisane 12)",
         u"Strings^font(Arial)^size(12)^nfx(128)(Brisane 2)"},
        {u"Strings^font(Arial)^size(12)^nfx(128)(Brisane 12) con sord.",
         u"Strings^font(Arial)^size(12)^nfx(128)(Brisane 2) con sord."},
        {u"Strings^font(Arial)^size(12)^nfx(128)(Brisane -4)",
         u"Strings^font(Arial)^size(12)^nfx(128)(Brisane 2)"},
        {u"Strings^font(Arial)^size(12)^nfx(128)(Brisane con sord.",
         u"Strings^font(Arial)^size(12)^nfx(128)(Brisane 2)con sord."},
        // A number that lost its ")" is still the number.
        {u"Strings^font(Arial)^size(12)^nfx(128)(Brisane 7",
         u"Strings^font(Arial)^size(12)^nfx(128)(Brisane 2)"},
        {u"Strings^font(Arial)^size(12)^nfx(128)(Brisane -7 con sord.",
         u"Strings^font(Arial)^size(12)^nfx(128)(Brisane 2) con sord."},
        // A number missing: what is left of the suffix is replaced.
        {u"Strings^font(Arial)^size(12)^nfx(128)(Brisane -) con sord.",
         u"Strings^font(Arial)^size(12)^nfx(128)(Brisane 2) con sord."},
        // Another font command: a second suffix.
        {u"Strings^font(Bodoni)^size(9)^nfx(128)(Brisane 12)",
         u"Strings^font(Bodoni)^size(9)^nfx(128)(Brisane 12)^font(Arial)^size(12)^nfx(128)"
         u"(Brisane 2)"},
        {u"", u"^font(Arial)^size(12)^nfx(128)(Brisane 2)"},
    };
    for (const auto& c : cases) {
        Score s = Quartet(5, 20);
        s.groups[0].full = Text(c.name);
        EXPECT_EQ(RunModel(s).groups[1].full, c.piece);
    }
}

TEST(Model, MatchesTheStavesTheSelectionsSystemShows) {
    Score s = Quartet(5, 8);
    s.system = 1;
    s.systemStaves = {1, 2, 3};  // staff 4 hidden
    s.selection.startSlot = 1;
    s.selection.endSlot = 3;
    EXPECT_EQ(RunModel(s).result, 0);  // in the score's order the group ends on staff 4
    s.selection.system = 1;
    EXPECT_EQ(RunModel(s).result, 1);
    s.selection.system = 2;  // no such system: its staves resolve to nothing
    EXPECT_EQ(RunModel(s).result, 0);
    s = Quartet(5, 8);
    s.groups[0].top = 4;  // reversed
    s.groups[0].bottom = 1;
    EXPECT_EQ(RunModel(s).result, 0);
    s.groups[0].top = s.groups[0].bottom = 2;  // one staff
    s.selection.startSlot = s.selection.endSlot = 2;
    EXPECT_EQ(RunModel(s).result, 1);
}

TEST(Model, KeepsOwnersAndLeavesUnreadableNamesAlone) {
    Score s = Quartet(5, 8);
    s.groups[0].owner = 3;
    s.groups[0].number = 7;
    const auto out = RunModel(s);
    ASSERT_EQ(out.groups.size(), 3u);
    EXPECT_EQ(out.groups[1].owner, 3);
    EXPECT_EQ(out.groups[1].number, 8);
    // A name the host cannot give keeps the group whole, and the command says so; where the
    // selection covers the group exactly there was nothing to cut, and no group to split.
    for (auto kind : {NameSpec::Kind::NoBlock, NameSpec::Kind::NoText}) {
        s.groups[0].abbrev.kind = kind;
        EXPECT_EQ(RunModel(s).result, 0);
        EXPECT_EQ(RunModel(s).boxes, std::vector<std::u16string>{u"Score Not Fully Read"});
        Score covered = s;
        covered.selection.startMeasure = 1;
        covered.selection.endMeasure = 19;
        covered.groups[0].last = 19;
        EXPECT_EQ(RunModel(covered).boxes, std::vector<std::u16string>{u"No Group"});
    }
}

TEST(Model, ChecksTheSelectionBeforeSplitting) {
    Score s = Quartet(5, 6);
    s.answers = {"no"};
    EXPECT_EQ(RunModel(s).boxes, std::vector<std::u16string>{u"Too small region?"});
    s.answers = {"yes"};
    EXPECT_EQ(RunModel(s).result, 1);
    s.instruments = {{{4, 1, 0}}};  // an instrument over the selected staves, in any order
    s.selection.startMeasure = 5;
    s.selection.endMeasure = 8;
    EXPECT_EQ(RunModel(s).boxes, std::vector<std::u16string>{u"Multi-staff Instrument Range"});
    // Staff 0 is no staff: an instrument the score lacks, a selection the host cannot name.
    Score orphan = s;
    orphan.instruments = {{{61, 62, 0}}};
    orphan.selection.startSlot = orphan.selection.endSlot = 9;
    EXPECT_EQ(RunModel(orphan).boxes, std::vector<std::u16string>{u"No Group"});
    s.hostVersion = 0x10FFFFFF;  // hosts before 0x11000000 do not ask
    EXPECT_EQ(RunModel(s).result, 1);
    s.selection.startPos = 1;
    EXPECT_EQ(RunModel(s).boxes, std::vector<std::u16string>{u"Partial Measure Selection Error"});
}

}  // namespace
