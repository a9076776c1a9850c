#pragma once
// A worker process run by the validator: its output (stdout and stderr together) read line by
// line with a time limit, and how it ended. A crash or a hang of the worker never ends the
// validator itself.
#include <string>
#include <vector>

namespace validate {

// This program's own file, to start workers of the same build.
std::string SelfPath();

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Starts `args[0]` with the arguments that follow; false with `error` set when it cannot.
    bool Start(const std::vector<std::string>& args, std::string* error);
    // The next line of output, without its line end. False at the end of the output, or when no
    // line came within `seconds` (then TimedOut() is true and the process is killed).
    bool ReadLine(std::string& line, int seconds);
    bool TimedOut() const { return timedOut_; }
    // Waits for the process to end; true when it exited with status 0. `how` says how it ended
    // otherwise ("exit status 23", "killed by signal 6 (Aborted)", "exception 0xC0000005").
    bool Finish(std::string* how);

  private:
    bool Fill(int seconds);  // reads more output into pending_; false at its end or timeout
    void Kill();

    std::string pending_;
    bool ended_ = false;
    bool timedOut_ = false;
#if defined(_WIN32)
    void* process_ = nullptr;
    void* output_ = nullptr;
#else
    int pid_ = -1;
    int output_ = -1;
#endif
};

}  // namespace validate
