#pragma once
// The message boxes the plug-in shows, as boxes.def lists them: the list exists once, there.
#include <cstdint>

#include "resources/string_ids.h"

namespace res {

// What a box is: its icon and its buttons.
enum class BoxKind {
    Error,     // error icon, OK
    Question,  // no icon, Yes and No
    Info,      // information icon, OK
    Warning,   // warning icon, OK
};

struct Box {
    uint32_t message;  // string-table id of the text
    uint32_t caption;  // string-table id of the caption
    BoxKind kind;
};

inline constexpr Box kBoxes[] = {
#define VB_BOX(message, caption, kind) {message, caption, BoxKind::kind},
#include "resources/boxes.def"
#undef VB_BOX
};

// The box that shows `message`; null when none does.
constexpr const Box* BoxOf(uint32_t message) {
    for (const Box& box : kBoxes) {
        if (box.message == message) return &box;
    }
    return nullptr;
}

}  // namespace res
