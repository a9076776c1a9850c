#include "message_boxes.h"

#include <memory>

#include "report.h"
#include "standin/host.h"
#include "support/utf8.h"

namespace driver {

int32_t BoxWatcher::OnBox(ShownBox box) {
    box.answer = answerer_ ? answerer_(box) : 0;
    boxes_.push_back(box);
    return box.answer;
}

BoxAnswerer ScriptedAnswers(std::vector<std::string> answers) {
    auto remaining = std::make_shared<std::vector<std::string>>(std::move(answers));
    auto next = std::make_shared<size_t>(0);
    return [remaining, next](const ShownBox& box) -> int32_t {
        if ((box.style & 0xF) != kStyleYesNo) return kIdOk;
        if (*next >= remaining->size()) return 0;
        return (*remaining)[(*next)++] == "yes" ? kIdYes : kIdNo;
    };
}

std::string Render(const ShownBox& box) {
    std::string out = "+-- " + Printable(support::Utf8(box.caption)) + " --\n";
    std::string text = support::Utf8(box.text);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        out += "| " + Printable(text.substr(start, end - start)) + "\n";
        start = end + 1;
    }
    const bool yesNo = (box.style & 0xF) == kStyleYesNo;
    out +=
        std::string("+-- [") + (yesNo ? "Yes] [No" : "OK") + "]  pressed: " + Pressed(box) + "\n";
    return out;
}

std::string Pressed(const ShownBox& box) {
    return box.answer == kIdYes  ? "Yes"
           : box.answer == kIdNo ? "No"
           : box.answer == kIdOk ? "OK"
                                 : "(not answered)";
}

}  // namespace driver
