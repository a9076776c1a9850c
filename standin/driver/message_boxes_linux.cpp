// Linux: the plug-in's platform layer calls MessageBoxW of the stand-in USER32.DLL, which hands
// every box to the watcher.
#include "message_boxes.h"
#include "user32_standin.h"

namespace driver {
namespace {

int32_t OnStandinBox(void* context, void*, const char16_t* text, const char16_t* caption,
                     uint32_t style) {
    ShownBox box;
    box.caption = caption != nullptr ? caption : u"";
    box.text = text != nullptr ? text : u"";
    box.style = style;
    return static_cast<BoxWatcher*>(context)->OnBox(box);
}

}  // namespace

struct BoxWatcher::Hook {
    explicit Hook(BoxWatcher& watcher) { User32Standin_SetHandler(&OnStandinBox, &watcher); }
    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;
    ~Hook() { User32Standin_SetHandler(nullptr, nullptr); }
};

BoxWatcher::BoxWatcher(BoxAnswerer answerer)
    : answerer_(std::move(answerer)), hook_(std::make_unique<Hook>(*this)) {}

BoxWatcher::~BoxWatcher() = default;

}  // namespace driver
