#pragma once
// How a worker process tells the validator about its cases: lines starting with "@vb ". Every
// other line of its output (a sanitizer report, a crash message) belongs to the case it happened
// in. A case that begins and never ends crashed or hung the worker.
#include <cstddef>
#include <string>
#include <string_view>

namespace validate {

constexpr std::string_view kMark = "@vb ";

// The worker's side.
class CaseReporter {
  public:
    // Cases before `from` are skipped: a worker restarted after a crash goes on behind it.
    explicit CaseReporter(size_t from) : from_(from) {}

    void Total(size_t cases);
    // Announces case `index` of the kind `category` ("fail", "wrong", "model", ...); false when
    // the case is to be skipped.
    bool Begin(size_t index, std::string_view category, const std::string& label);
    void Fail(const std::string& text);
    void Finding(const std::string& path);
    // Ends the case begun last; it passed unless Fail was called.
    void End();
    bool Failed() const { return failed_; }
    size_t FailedCases() const { return failedCases_; }

  private:
    size_t from_;
    bool failed_ = false;
    size_t failedCases_ = 0;
};

// One line of a worker's output, read by the validator.
struct ProtocolLine {
    enum class Kind { Output, Total, Begin, Fail, Finding, End } kind = Kind::Output;
    size_t index = 0;  // Total: the count; Begin: the case
    std::string category, text;
};
ProtocolLine ParseLine(const std::string& line);

}  // namespace validate
