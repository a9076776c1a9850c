#include "user32_standin.h"

#include <string>

namespace {
struct Box {
    void* owner = nullptr;
    std::u16string text;
    std::u16string caption;
    uint32_t style = 0;
};
Box last;
int32_t calls = 0;
int32_t answer = 0;

std::u16string Copy(const char16_t* s) {
    return s != nullptr ? std::u16string(s) : std::u16string();
}
}  // namespace

int32_t MessageBoxW(void* owner, const char16_t* text, const char16_t* caption, uint32_t style) {
    last = Box{owner, Copy(text), Copy(caption), style};
    ++calls;
    return answer;
}

void User32Standin_Reset() {
    last = Box{};
    calls = 0;
    answer = 0;
}
void User32Standin_SetAnswer(int32_t value) {
    answer = value;
}
int32_t User32Standin_CallCount() {
    return calls;
}
void* User32Standin_LastOwner() {
    return last.owner;
}
const char16_t* User32Standin_LastText() {
    return last.text.c_str();
}
const char16_t* User32Standin_LastCaption() {
    return last.caption.c_str();
}
uint32_t User32Standin_LastStyle() {
    return last.style;
}
