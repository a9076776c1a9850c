#include "message_boxes.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <memory>
#include <ostream>

#include "report.h"
#include "standin/host.h"
#include "support/utf8.h"

namespace driver {
namespace {

// The line's one word, in lower case.
std::string Word(std::string text) {
    const auto space = [](unsigned char c) { return std::isspace(c) != 0; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), space));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), space).base(), text.end());
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

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

BoxAnswerer AnswersFromInput(std::istream& in, std::ostream& out, bool echo) {
    return [&in, &out, echo](const ShownBox& box) -> int32_t {
        if ((box.style & 0xF) != kStyleYesNo) return kIdOk;
        const std::string screen = Render(box);
        out << screen.substr(0, screen.rfind("+--")) << "Yes or No? [y/n] " << std::flush;
        std::string line;
        while (std::getline(in, line)) {
            if (echo) out << Printable(line) << "\n";
            const std::string word = Word(line);
            if (word == "y" || word == "yes") return kIdYes;
            if (word == "n" || word == "no") return kIdNo;
            out << "Please answer y or n: " << std::flush;
        }
        out << "\n(the input ended: no answer)\n";
        return 0;
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
