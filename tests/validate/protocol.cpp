#include "protocol.h"

#include <cstdio>
#include <cstdlib>

namespace validate {
namespace {

// One line each, flushed at once: a crash right after must not lose it.
void Say(const std::string& line) {
    std::string text(kMark);
    for (char c : line) text.push_back(c == '\n' || c == '\r' ? ' ' : c);
    text.push_back('\n');
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

void CaseReporter::Total(size_t cases) {
    Say("total " + std::to_string(cases));
}

bool CaseReporter::Begin(size_t index, std::string_view category, const std::string& label) {
    if (index < from_) return false;
    failed_ = false;
    Say("begin " + std::to_string(index) + " " + std::string(category) + " " + label);
    return true;
}

void CaseReporter::Fail(const std::string& text) {
    failed_ = true;
    Say("fail " + text);
}

void CaseReporter::Finding(const std::string& path) {
    Say("finding " + path);
}

void CaseReporter::End() {
    if (failed_) ++failedCases_;
    Say("end");
}

ProtocolLine ParseLine(const std::string& line) {
    ProtocolLine out;
    if (line.compare(0, kMark.size(), kMark) != 0) {
        out.text = line;
        return out;
    }
    const std::string rest = line.substr(kMark.size());
    const size_t space = rest.find(' ');
    const std::string word = rest.substr(0, space);
    const std::string tail = space == std::string::npos ? "" : rest.substr(space + 1);
    if (word == "total") {
        out.kind = ProtocolLine::Kind::Total;
        out.index = std::strtoull(tail.c_str(), nullptr, 10);
    } else if (word == "begin") {
        out.kind = ProtocolLine::Kind::Begin;
        const size_t a = tail.find(' ');
        const size_t b = a == std::string::npos ? a : tail.find(' ', a + 1);
        out.index = std::strtoull(tail.c_str(), nullptr, 10);
        out.category = a == std::string::npos ? "" : tail.substr(a + 1, b - a - 1);
        out.text = b == std::string::npos ? "" : tail.substr(b + 1);
    } else if (word == "fail") {
        out.kind = ProtocolLine::Kind::Fail;
        out.text = tail;
    } else if (word == "finding") {
        out.kind = ProtocolLine::Kind::Finding;
        out.text = tail;
    } else if (word == "end") {
        out.kind = ProtocolLine::Kind::End;
    } else {
        out.text = line;
    }
    return out;
}

}  // namespace validate
