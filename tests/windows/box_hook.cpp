#include "box_hook.h"

#include <algorithm>

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

// Timer that ends a box nobody answers, once its modal loop runs.
constexpr UINT_PTR kNoAnswerTimer = 0x7662;

// MessageBox shows the shared system icons: the icon's handle names its MB_ICON value.
UINT IconStyle(HWND control) {
    if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return 0;
    const auto icon = reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0));
    if (icon == nullptr) return 0;
    const struct {
        LPCTSTR id;
        UINT style;
    } icons[] = {{IDI_HAND, MB_ICONHAND},
                 {IDI_QUESTION, MB_ICONQUESTION},
                 {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                 {IDI_ASTERISK, MB_ICONASTERISK}};
    for (const auto& i : icons) {
        if (LoadIcon(nullptr, i.id) == icon) return i.style;
    }
    return 0;
}

// The MB_ button set whose buttons the box has, plus MB_HELP for a Help button.
UINT ButtonStyle(std::vector<int> buttons) {
    UINT style = 0;
    const auto help = std::find(buttons.begin(), buttons.end(), IDHELP);
    if (help != buttons.end()) {
        buttons.erase(help);
        style |= MB_HELP;
    }
    std::sort(buttons.begin(), buttons.end());
    const struct {
        std::vector<int> buttons;
        UINT style;
    } sets[] = {{{IDOK}, MB_OK},
                {{IDOK, IDCANCEL}, MB_OKCANCEL},
                {{IDABORT, IDRETRY, IDIGNORE}, MB_ABORTRETRYIGNORE},
                {{IDCANCEL, IDYES, IDNO}, MB_YESNOCANCEL},
                {{IDYES, IDNO}, MB_YESNO},
                {{IDCANCEL, IDRETRY}, MB_RETRYCANCEL},
                {{IDCANCEL, IDTRYAGAIN, IDCONTINUE}, MB_CANCELTRYCONTINUE}};
    for (const auto& set : sets) {
        if (set.buttons == buttons) return style | set.style;
    }
    return style;
}

// The message text sits in the box's one static control with text (its ID differs between
// Windows and Wine); the icon is a static without text; the buttons are its button controls.
BOOL CALLBACK CollectControl(HWND control, LPARAM data) {
    auto* box = reinterpret_cast<Box*>(data);
    std::wstring kind = ClassName(control);
    if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        std::wstring text = WindowText(control);
        if (!text.empty() && box->text.empty()) box->text = std::move(text);
        box->style |= IconStyle(control);
    } else if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        box->buttons.push_back(GetDlgCtrlID(control));
    }
    return TRUE;
}

void CALLBACK EndUnanswered(HWND box, UINT, UINT_PTR timer, DWORD) {
    KillTimer(box, timer);
    EndDialog(box, 0);
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
    box.style |= ButtonStyle(box.buttons);
    box.requested = script_ ? script_(box) : IDOK;
    if (box.requested == 0) {
        SetTimer(window, kNoAnswerTimer, 0, &EndUnanswered);
        boxes_.push_back(std::move(box));
        return;
    }
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
