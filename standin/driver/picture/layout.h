#pragma once
// How the pictures are laid out before anything is drawn, in named steps:
//   1. CompareWithTheFirst: what the later pictures changed against the first;
//   2. ChooseGroups: which groups each picture draws (all of few, the nearest of many);
//   3. FoldStaves: the rows of the grid (one per staff, runs of staves folded in a large score);
//   4. ScaleMeasures: where each measure stands across (a narrow selection in a long score
//      widened);
//   5. NestGroups: how deep each group drawn is nested, which sets its band further in.
// LayOut runs 3 to 5 for one picture. Each step costs time in proportion to staves plus groups.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "picture/labels.h"
#include "picture/picture.h"

namespace driver::picture {

// The picture's measures: 1,400 pixels wide, staff names left of the grid.
constexpr int kWidth = 1400, kMargin = 20, kGridLeft = 240, kGridRight = kWidth - kMargin;
constexpr int kRow = 28, kLine = 21, kNameSize = 14;
// Beyond these a picture folds what its reader does not need, so that it stays readable and
// bounded whatever the score's size: at most kMaxRows rows of staves (runs of staves away from
// the selection become one labelled row each) and kMaxGroups groups (those the command changed,
// then those nearest the selection; the legend counts the rest). In a score of more than
// kZoomMeasures measures a selection that would be narrower than kMinSelectionWidth pixels gets
// kZoomWidth pixels, and the measures before and after it share the rest.
constexpr size_t kMaxRows = 40, kMaxGroups = 20;
constexpr int kZoomMeasures = 100, kMinSelectionWidth = 160, kZoomWidth = 480, kMinFoldedWidth = 60;

using GroupId = std::pair<int16_t, int16_t>;  // owner, number
GroupId IdOf(const standin::GroupView& g);

// Step 1: the first picture's groups, and the groups new, changed or gone in a later one.
struct Changes {
    std::map<GroupId, standin::GroupView> first;
    std::set<GroupId> changed;
};
Changes CompareWithTheFirst(const std::vector<Picture>& pictures);
// How a group of a later picture stands against the first.
labels::Change ChangeOf(const standin::GroupView& g, const Changes& changes);

// Each staff's position in a picture's score order.
using Positions = std::unordered_map<int16_t, size_t>;
Positions PositionsOf(const Picture& p);

// How a group stands to the selection, nearest first: it shares the selection's top or bottom
// staff (the groups a reader may have expected to be split), crosses its staves and measures,
// crosses its staves only, or lies apart.
enum Nearness { kSharesAnEnd, kCrosses, kCrossesStaves, kApart };
Nearness NearnessOf(const Picture& p, const Positions& positions, const standin::GroupView& g);

// Step 2: the groups each picture draws, as indices into its groups in their order: all of them
// when they are few; else those the command changed, then the same unchanged groups in every
// picture, nearest the selection first.
std::vector<std::vector<size_t>> ChooseGroups(const std::vector<Picture>& pictures,
                                              const Changes& changes);

// A row of the grid: one staff, or a run of staves folded into one labelled row.
struct Row {
    size_t first = 0, last = 0;  // positions in the score's order
};
struct Rows {
    std::vector<Row> grid;
    std::unordered_map<int16_t, size_t> ofStaff;  // staff number -> row of the grid
};
// Step 3: a row per staff when they are few. Else the selection's top and bottom staff and
// their neighbours, the ends of the groups drawn, and the score's first and last staff keep rows
// of their own, as many as fit in kMaxRows; each run of staves between them becomes one row.
Rows FoldStaves(const std::vector<Picture>& pictures, size_t index, const Positions& positions,
                const std::vector<std::vector<size_t>>& drawn, const Changes& changes);

// Measures `first` to `last` drawn from x0 to x1.
struct Segment {
    int first = 1, last = 1, x0 = kGridLeft, x1 = kGridRight;
};
struct Scale {
    int measures = 1;  // of the score, at least 1
    std::vector<Segment> segments;
    // The left edge of the measure; measures + 1 is the grid's end.
    int X(int measure) const;
};
// Step 4: the measures across, in proportion, unless the score is long and the selection would
// be narrow. Then the selection and a quarter of its length on either side take kZoomWidth
// pixels, and the measures before and after share the rest.
Scale ScaleMeasures(const Picture& p);

// Whether the group has a band in the grid: its staves have rows, its measures are in the score.
bool Drawable(const Picture& p, const Rows& rows, const standin::GroupView& g);

// Step 5: per group of the picture, how deep it is nested: one level further in than the
// deepest drawn group that holds it (over more staves, its own included, sharing measures).
std::vector<int> NestGroups(const Picture& p, const std::vector<size_t>& drawn, const Rows& rows);

// Steps 3 to 5 for picture `index`, with the groups step 2 chose for it.
struct Layout {
    const std::vector<size_t>* drawn = nullptr;
    Positions positions;
    Rows rows;
    Scale scale;
    std::vector<int> depths;  // per group of the picture
};
Layout LayOut(const std::vector<Picture>& pictures, size_t index,
              const std::vector<std::vector<size_t>>& drawn, const Changes& changes);

}  // namespace driver::picture
