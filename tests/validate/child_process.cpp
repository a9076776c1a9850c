#include "child_process.h"

#include <chrono>
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#endif

namespace validate {

ChildProcess::~ChildProcess() {
    std::string how;
    if (!ended_) Kill();
    Finish(&how);
}

bool ChildProcess::ReadLine(std::string& line, int seconds) {
    for (;;) {
        const size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            line = pending_.substr(0, end);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            pending_.erase(0, end + 1);
            return true;
        }
        if (ended_ || !Fill(seconds)) {
            if (pending_.empty()) return false;
            line = pending_;  // the last line had no line end
            pending_.clear();
            return true;
        }
    }
}

#if defined(_WIN32)

std::string SelfPath() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

namespace {

// Quoted as the C runtime splits a command line: backslashes before a quote are doubled.
std::string Quote(const std::string& arg) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

}  // namespace

bool ChildProcess::Start(const std::vector<std::string>& args, std::string* error) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) {
        *error = "cannot make a pipe (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    std::string line;
    for (const std::string& arg : args) line += (line.empty() ? "" : " ") + Quote(arg);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info);
    CloseHandle(write);
    if (!started) {
        *error = "cannot start " + args[0] + " (error " + std::to_string(GetLastError()) + ")";
        CloseHandle(read);
        return false;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    output_ = read;
    return true;
}

bool ChildProcess::Fill(int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr)) {
            ended_ = true;  // every writer has closed the pipe
            return false;
        }
        if (available > 0) {
            std::string chunk(available, '\0');
            DWORD got = 0;
            if (!ReadFile(output_, chunk.data(), available, &got, nullptr)) {
                ended_ = true;
                return false;
            }
            pending_.append(chunk, 0, got);
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            timedOut_ = true;
            Kill();
            return false;
        }
        WaitForSingleObject(process_, 5);
    }
}

void ChildProcess::Kill() {
    if (process_ != nullptr) TerminateProcess(process_, 0xDEAD);
    ended_ = true;
}

bool ChildProcess::Finish(std::string* how) {
    if (process_ == nullptr) return false;
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    CloseHandle(process_);
    CloseHandle(output_);
    process_ = output_ = nullptr;
    if (timedOut_) {
        *how = "killed after no output for too long";
        return false;
    }
    if (code == 0) return true;
    char text[40];
    std::snprintf(text, sizeof(text), code >= 0xC0000000 ? "exception 0x%08lX" : "exit status %lu",
                  static_cast<unsigned long>(code));
    *how = text;
    return false;
}

#else

std::string SelfPath() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

bool ChildProcess::Start(const std::vector<std::string>& args, std::string* error) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        *error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        *error = std::string("cannot start a process: ") + std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        dup2(fds[1], 1);
        dup2(fds[1], 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    pid_ = pid;
    output_ = fds[0];
    return true;
}

bool ChildProcess::Fill(int seconds) {
    pollfd p{output_, POLLIN, 0};
    const int ready = poll(&p, 1, seconds * 1000);
    if (ready == 0) {
        timedOut_ = true;
        Kill();
        return false;
    }
    char chunk[4096];
    const ssize_t got = ready > 0 ? read(output_, chunk, sizeof(chunk)) : -1;
    if (got <= 0) {
        ended_ = true;
        return false;
    }
    pending_.append(chunk, static_cast<size_t>(got));
    return true;
}

void ChildProcess::Kill() {
    if (pid_ > 0) kill(pid_, SIGKILL);
    ended_ = true;
}

bool ChildProcess::Finish(std::string* how) {
    if (pid_ <= 0) return false;
    int status = 0;
    waitpid(pid_, &status, 0);
    close(output_);
    pid_ = -1;
    output_ = -1;
    if (timedOut_) {
        *how = "killed after no output for too long";
        return false;
    }
    if (WIFEXITED(status)) {
        if (WEXITSTATUS(status) == 0) return true;
        *how = "exit status " + std::to_string(WEXITSTATUS(status));
        return false;
    }
    const int signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    *how = "killed by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
    return false;
}

#endif

}  // namespace validate
