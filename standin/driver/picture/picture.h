#pragma once
// The picture of a document's groups: staves down, measures across, one bracket per group, the
// selection marked. Laid out in named steps (layout.h), drawn as SVG (svg.cpp), every text it
// draws in one place (labels.h).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "standin/host.h"

namespace driver {

// The selection as drawn: staff numbers (in the score's order) and measures.
struct MarkedSelection {
    int16_t topStaff = 0, bottomStaff = 0;
    int16_t firstMeasure = 0, lastMeasure = 0;
    std::vector<int16_t> hidden;  // staves of the score that the selection's staff system hides
    std::string description;      // one line for the reader, unescaped (labels.h words it)
};

struct Picture {
    std::string title;  // as labels.h words it: before or after the command
    std::vector<std::pair<int16_t, std::string>> staves;  // score order: number, name
    int measureCount = 0;
    std::vector<standin::GroupView> groups;
    std::optional<MarkedSelection> selection;
};

// An SVG drawing of the pictures one above the other (before, then after), 1,400 pixels wide.
// A group's name is drawn as it reads in the score: a font command sets the font of the text
// after it; the stored text is the tooltip. Groups of a later picture that are new or changed
// against the first are marked so in its legend. A large score is folded to a bounded height
// (runs of staves away from the selection as one row, groups beyond twenty counted rather than
// drawn, a narrow selection in a long score widened); the time taken grows with staves plus
// groups. Its own texts are in `language`, a code of resources/languages.txt ("de"), the pictures'
// titles and selection lines as given; English for a language without labels (labels.h).
std::string GroupsSvg(const std::vector<Picture>& pictures, std::string_view language);

}  // namespace driver
