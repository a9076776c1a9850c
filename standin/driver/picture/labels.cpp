#include "picture/labels.h"

namespace driver::picture::labels {
namespace {

// 1,976: a count as people read it.
std::string Thousands(size_t n) {
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

}  // namespace

std::string FoldedStaves(size_t count) {
    return std::to_string(count) + " staves";
}

std::string FoldedStaffRange(int16_t first, int16_t last) {
    return std::to_string(first) + " to " + std::to_string(last);
}

std::string GroupChange(Change change, bool drawn) {
    std::string text = change == Change::New ? "new" : change == Change::Changed ? "changed" : "";
    if (!drawn) text += text.empty() ? "not drawn" : ", not drawn";
    return text;
}

std::string UntoldGroups(size_t untold, size_t changed, size_t near, bool later,
                         bool hasSelection) {
    std::string text =
        Thousands(untold) + (untold == 1 ? " further group" : " further groups") + " not drawn: ";
    if (later) {
        text += changed == 0 ? "none of them changed, " : Thousands(changed) + " changed, ";
    } else if (changed != 0) {
        text += Thousands(changed) + (changed == 1 ? " changes, " : " change, ");
    }
    if (hasSelection) {
        text += near == 0 ? "none" : Thousands(near);
        text += near == 1 ? " crosses the selection" : " cross the selection";
    } else {
        text += "no selection";
    }
    return text;
}

}  // namespace driver::picture::labels
