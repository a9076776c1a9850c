#pragma once
// How the program shows a document's groups to a person: a table, and a picture with staves
// down and measures across, one bracket per group.
#include <string>
#include <vector>

#include "standin/host.h"

namespace driver {

// One line per group: number, owner, staves, measures, full and abbreviated name (suffix
// markup shown as it is stored).
std::string GroupTable(const std::vector<standin::GroupView>& groups);

struct Picture {
    std::string title;
    std::vector<std::pair<int16_t, std::string>> staves;  // score order: number, name
    int measureCount = 0;
    std::vector<standin::GroupView> groups;
};

// An SVG drawing of one or more pictures side by side (before and after).
std::string GroupsSvg(const std::vector<Picture>& pictures);

}  // namespace driver
