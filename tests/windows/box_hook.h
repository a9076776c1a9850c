#pragma once
// Answers the message boxes of one thread like a scripted user. A CBT hook sees each box as it
// is activated, records its caption, text, buttons and icon, and presses the button the script
// chooses. For Windows programs that load the plug-in and must not block on its boxes.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace boxhook {

struct Box {
    std::wstring caption;
    std::wstring text;
    std::vector<int> buttons;  // control IDs (IDOK, IDYES, IDNO, ...) of the box's buttons
    // The MessageBox style as far as the box shows it: the MB_ button set (and MB_HELP) from its
    // buttons, the MB_ICON value from its icon. Default button and modality are not recovered.
    UINT style = 0;
    int requested = 0;  // the button the script chose
    int pressed = 0;    // the button pressed: the requested one, else the box's first
};

// Chooses the button to press (IDOK, IDYES, IDNO, ...) for a box seen so far; 0 closes the box
// without any button, so that MessageBox returns 0 as if nobody had answered.
using Script = std::function<int(const Box&)>;

// While it lives, answers every message box opened on the thread that created it. At most one
// per thread. A box whose requested button is missing still gets an answer (its first button),
// so that a wrong script shows as a recorded mismatch instead of a hang.
class BoxAnswerer {
  public:
    explicit BoxAnswerer(Script script);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // False when the hook could not be installed (or another answerer owns the thread).
    bool Installed() const { return hook_ != nullptr; }
    // The boxes answered so far, oldest first.
    const std::vector<Box>& Boxes() const { return boxes_; }

  private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    void Answer(HWND box);

    Script script_;
    HHOOK hook_ = nullptr;
    std::vector<Box> boxes_;
};

}  // namespace boxhook
