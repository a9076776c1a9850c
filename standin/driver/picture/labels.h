#pragma once
// Every text the picture draws of its own, and how its numbers read, in one place. The title of
// each picture and the line that describes the selection are the caller's (Picture,
// MarkedSelection); names and staff names are the document's.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace driver::picture::labels {

// A group without the name, in its band and in the legend.
inline constexpr std::string_view kNoName = "(none)";
// A picture of a score without staves, or without groups (in the legend).
inline constexpr std::string_view kNoStaves = "(no staves)";
inline constexpr std::string_view kNoGroups = "(no groups)";

// The legend's column heads.
inline constexpr std::string_view kGroupColumn = "group";
inline constexpr std::string_view kStavesColumn = "staves";
inline constexpr std::string_view kMeasuresColumn = "measures";
inline constexpr std::string_view kFullNameColumn = "full name";
inline constexpr std::string_view kAbbreviatedNameColumn = "abbreviated name";

// A row of folded staves: "228 staves", then, set apart, "3 to 230" (the first and last staff).
std::string FoldedStaves(size_t count);
std::string FoldedStaffRange(int16_t first, int16_t last);

// What the legend of a later picture says of a group against the first picture: "new",
// "changed", or nothing; with "not drawn" when its band could not be drawn.
enum class Change { None, New, Changed };
std::string GroupChange(Change change, bool drawn);

// The legend's line for the groups a large picture leaves out: how many, how many of them
// changed (`later`: in a picture after the first) and how many cross the selection.
std::string UntoldGroups(size_t untold, size_t changed, size_t near, bool later, bool hasSelection);

}  // namespace driver::picture::labels
