// Windows: the plug-in shows real message boxes; a hook on this thread reads each one as it
// opens, hands it to the watcher and presses the button the watcher's answer names.
#include <windows.h>

#include "box_hook.h"
#include "message_boxes.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");

namespace driver {
namespace {

std::u16string Utf16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace

struct BoxWatcher::Hook {
    explicit Hook(BoxWatcher& watcher)
        : answerer([&watcher](const boxhook::Box& seen) -> int {
              ShownBox box;
              box.caption = Utf16(seen.caption);
              box.text = Utf16(seen.text);
              box.style = seen.style;
              return watcher.OnBox(box);
          }) {}

    boxhook::BoxAnswerer answerer;
};

BoxWatcher::BoxWatcher(BoxAnswerer answerer)
    : answerer_(std::move(answerer)), hook_(std::make_unique<Hook>(*this)) {}

BoxWatcher::~BoxWatcher() = default;

}  // namespace driver
