#include "box_hook.h"

namespace boxhook {
namespace {

// The hook procedure has no context argument; each thread has at most one answerer.
thread_local BoxAnswerer* current = nullptr;

// Marks a box once answered, so a re-activation does not press a second button.
constexpr wchar_t kAnsweredProperty[] = L"vb.boxhook.answered";

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    int n = GetClassNameW(window, name, 64);
    return std::wstring(name, static_cast<size_t>(n > 0 ? n : 0));
}

// The message text sits in the box's one static control with text (its ID differs between
// Windows and Wine; the icon is a static without text); the buttons are its button controls.
BOOL CALLBACK CollectControl(HWND control, LPARAM data) {
    auto* box = reinterpret_cast<Box*>(data);
    std::wstring kind = ClassName(control);
    if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        std::wstring text = WindowText(control);
        if (!text.empty() && box->text.empty()) box->text = std::move(text);
    } else if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        box->buttons.push_back(GetDlgCtrlID(control));
    }
    return TRUE;
}

}  // namespace

BoxAnswerer::BoxAnswerer(Script script) : script_(std::move(script)) {
    if (current != nullptr) return;
    hook_ = SetWindowsHookExW(WH_CBT, &BoxAnswerer::OnCbt, nullptr, GetCurrentThreadId());
    if (hook_ != nullptr) current = this;
}

BoxAnswerer::~BoxAnswerer() {
    if (hook_ == nullptr) return;
    UnhookWindowsHookEx(hook_);
    current = nullptr;
}

LRESULT CALLBACK BoxAnswerer::OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && current != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (ClassName(window) == L"#32770" && GetPropW(window, kAnsweredProperty) == nullptr) {
            current->Answer(window);
        }
    } else if (code == HCBT_DESTROYWND) {
        RemovePropW(reinterpret_cast<HWND>(wParam), kAnsweredProperty);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void BoxAnswerer::Answer(HWND window) {
    SetPropW(window, kAnsweredProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
    Box box;
    box.caption = WindowText(window);
    EnumChildWindows(window, CollectControl, reinterpret_cast<LPARAM>(&box));
    box.requested = script_ ? script_(box) : IDOK;
    HWND button = GetDlgItem(window, box.requested);
    if (button == nullptr && !box.buttons.empty()) button = GetDlgItem(window, box.buttons.front());
    box.pressed = button != nullptr ? GetDlgCtrlID(button) : 0;
    // Posted: the box is not active yet; the click arrives once its modal loop runs.
    if (button != nullptr) {
        PostMessageW(button, BM_CLICK, 0, 0);
    } else {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    boxes_.push_back(std::move(box));
}

}  // namespace boxhook
