#pragma once
// How the program shows a document's groups to a person as text: a table, and the escaping of
// the users' text that keeps any of it from reaching a terminal or an XML file raw. The picture
// is drawn in picture/.
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

// "3-7", or "3" for a range of one: staves and measures in the table and the picture's legend.
std::string Range(int a, int b);

// Printable in double quotes, with " and \ escaped as well, so that the quoted text tells
// exactly what is stored.
std::string Quoted(std::string_view utf8);

// One line per group: owner and number, staves, measures, full and abbreviated name (suffix
// markup shown as it is stored).
std::string GroupTable(const std::vector<standin::GroupView>& groups);

}  // namespace driver
