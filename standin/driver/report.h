#pragma once
// How the program shows a document's groups to a person: a table, and a picture with staves
// down and measures across, one bracket per group. Names are the users' text: nothing of it
// reaches a terminal or an XML file unescaped.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "standin/host.h"

namespace driver {

// The text with every control character written as an escape (\u001b): C0 and C1 controls,
// DEL, the bidirectional controls that reorder a line, and U+FFFE/U+FFFF, which XML cannot
// hold; a byte that is not part of UTF-8 becomes \xff. Safe for a terminal and for XML text.
std::string Printable(std::string_view utf8);

// Printable line by line: the line breaks (\n) of a message of several lines are kept.
std::string PrintableLines(std::string_view utf8);

// Printable in double quotes, with " and \ escaped as well, so that the quoted text tells
// exactly what is stored.
std::string Quoted(std::string_view utf8);

// One line per group: number, owner, staves, measures, full and abbreviated name (suffix
// markup shown as it is stored).
std::string GroupTable(const std::vector<standin::GroupView>& groups);

// The selection as drawn: staff numbers (in the score's order) and measures.
struct MarkedSelection {
    int16_t topStaff = 0, bottomStaff = 0;
    int16_t firstMeasure = 0, lastMeasure = 0;
    std::vector<int16_t> hidden;  // staves of the score that the selection's staff system hides
    std::string description;      // one line for the reader, unescaped
};

struct Picture {
    std::string title;
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
// groups.
std::string GroupsSvg(const std::vector<Picture>& pictures);

}  // namespace driver
