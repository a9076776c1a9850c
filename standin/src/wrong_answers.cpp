// Wrong-form answers: planned like failures, on the nth call of a function. The record calls
// (record_calls.cpp) give them; this keeps the plan and their lasting effects.
#include <algorithm>

#include "standin/host.h"

namespace standin {

std::string Describe(const WrongAnswer& answer) {
    switch (answer.kind) {
        case WrongAnswer::Kind::Size:
            return "size " + std::to_string(answer.size);
        case WrongAnswer::Kind::Unterminated:
            return "unterminated";
        case WrongAnswer::Kind::Key: {
            std::string out = "key (";
            for (size_t i = 0; i < answer.key.size(); ++i) {
                out += (i ? "," : "") + std::to_string(answer.key[i]);
            }
            return out + (answer.fails ? ") after failing" : ")");
        }
        case WrongAnswer::Kind::Cycle:
            return "cycle " + std::to_string(answer.limit) +
                   (answer.to == 1 ? "" : " to " + std::to_string(answer.to));
        case WrongAnswer::Kind::FullName:
            return "full name";
    }
    return "?";
}

void Host::AnswerWrongly(const std::string& function, int nth, WrongAnswer answer) {
    wrongAnswers_.push_back(PlannedAnswer{function, nth, std::move(answer), Plan()});
}

std::optional<WrongAnswer> Host::TakeWrongAnswer(Call& call, bool failed,
                                                 std::initializer_list<WrongAnswer::Kind> kinds) {
    std::optional<WrongAnswer> fired;
    for (auto it = wrongAnswers_.begin(); it != wrongAnswers_.end();) {
        if (it->function == call.function && --it->remaining <= 0) {
            if (!fired && !failed &&
                std::find(kinds.begin(), kinds.end(), it->answer.kind) != kinds.end()) {
                fired = it->answer;
                std::erase(unfired_, it->plan);
            }
            it = wrongAnswers_.erase(it);
        } else {
            ++it;
        }
    }
    if (fired) call.wrong = Describe(*fired);
    return fired;
}

bool Host::IsUnterminated(uint32_t tag, uint16_t number) const {
    return std::find(unterminated_.begin(), unterminated_.end(), std::make_pair(tag, number)) !=
           unterminated_.end();
}

void Host::ClearWrongAnswers() {
    wrongAnswers_.clear();
    unterminated_.clear();
    cycle_.reset();
}

}  // namespace standin
