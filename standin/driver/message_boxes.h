#pragma once
// The message boxes the plug-in shows while the host program runs it: each one is recorded and
// answered by whoever plays the user (a script, or the person at the terminal).
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace driver {

constexpr uint32_t kStyleYesNo = 0x4;
constexpr int32_t kIdOk = 1, kIdYes = 6, kIdNo = 7;

struct ShownBox {
    std::u16string caption;
    std::u16string text;
    uint32_t style = 0;
    int32_t answer = 0;  // the button pressed; 0 when the box was not answered
};

// Chooses the button for a box about to be shown.
using BoxAnswerer = std::function<int32_t(const ShownBox&)>;

// While it lives, every box the plug-in shows in this thread goes to `answerer` and is recorded.
// On Linux the boxes reach the stand-in USER32.DLL; on Windows they are real boxes, read and
// pressed through a hook, their style recovered from what they show (buttons and icon).
class BoxWatcher {
  public:
    explicit BoxWatcher(BoxAnswerer answerer);
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;
    ~BoxWatcher();

    const std::vector<ShownBox>& Boxes() const { return boxes_; }

    // Used by the platform's hook: records the box and returns the answer chosen for it.
    int32_t OnBox(ShownBox box);

  private:
    // How the platform hands the boxes to OnBox (message_boxes_linux.cpp, _windows.cpp).
    struct Hook;

    BoxAnswerer answerer_;
    std::vector<ShownBox> boxes_;
    std::unique_ptr<Hook> hook_;  // last: detached before the rest goes
};

// Answers yes/no boxes from `answers` in order ("yes" / "no"); further questions are not
// answered. Other boxes are confirmed with OK.
BoxAnswerer ScriptedAnswers(std::vector<std::string> answers);

// Plays the person at the input: asks each yes/no box on `out` (the box up to its buttons, then
// "Yes or No? [y/n] ") and answers with the next line of `in` that says y, yes, n or no, in any
// case; at the end of the input the question stays unanswered. `echo` shows each line read, so
// that input from a pipe reads as the dialogue it was. Other boxes are confirmed with OK.
BoxAnswerer AnswersFromInput(std::istream& in, std::ostream& out, bool echo);

// How the box reads on screen: caption in brackets, text, buttons.
std::string Render(const ShownBox& box);
// The button pressed: "Yes", "No", "OK" or "(not answered)".
std::string Pressed(const ShownBox& box);

}  // namespace driver
