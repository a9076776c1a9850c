// Temporary files that no ending signal leaves behind (temporary_files.h).
#include "temporary_files.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <iterator>

#include <fcntl.h>
#if defined(_WIN32)
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace standin::files {

// One entry as the signal handler reads it: `path` is set before `held`, and both change only
// while the signals are blocked, so that the handler never sees a file made but not yet held, or
// renamed but still held.
struct TemporaryFiles::Held {
    const std::filesystem::path::value_type* path = nullptr;
    volatile std::sig_atomic_t held = 0;
};

namespace {

#if !defined(_WIN32)
// Those whose default action ends the program and that a run may meet: a terminal, a pipe, a
// parent, a time or file-size limit.
constexpr int kSignals[] = {SIGHUP,  SIGINT,  SIGPIPE,   SIGTERM, SIGQUIT,
                            SIGALRM, SIGPROF, SIGVTALRM, SIGXCPU, SIGXFSZ,
#if defined(SIGPOLL)
                            SIGPOLL
#endif
};
constexpr size_t kSignalCount = std::size(kSignals);

// The signals' handling before the handler was set, to give back; which ones got the handler.
struct sigaction previous[kSignalCount];
bool replaced[kSignalCount] = {};

sigset_t Handled() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kSignals) sigaddset(&set, signal);
    return set;
}

// While it lives, none of the signals reaches this thread: they wait until it goes.
class SignalsBlocked {
  public:
    SignalsBlocked() {
        const sigset_t set = Handled();
        pthread_sigmask(SIG_BLOCK, &set, &before_);
    }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;
    ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }

  private:
    sigset_t before_;
};
#else
struct SignalsBlocked {
    SignalsBlocked() {}
    ~SignalsBlocked() {}
};
#endif

}  // namespace

std::atomic<TemporaryFiles::Held*> TemporaryFiles::table_{nullptr};
std::atomic<size_t> TemporaryFiles::tableSize_{0};

// Async-signal-safe: unlink, sigaction, sigprocmask, raise and _exit only.
void TemporaryFiles::RemoveAndEnd(int signal) {
#if !defined(_WIN32)
    Held* const entries = table_.load();
    const size_t count = tableSize_.load();
    for (size_t i = 0; entries != nullptr && i < count; ++i)
        if (entries[i].held != 0) unlink(entries[i].path);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    // Still here: the signal's default is to be ignored, as for a namespace's first process.
    _exit(128 + signal);
#else
    (void)signal;
#endif
}

TemporaryFiles::TemporaryFiles(size_t count) : paths_(count), held_(new Held[count]) {
    static_assert(decltype(table_)::is_always_lock_free &&
                  decltype(tableSize_)::is_always_lock_free);  // safe to read in a handler
    const SignalsBlocked blocked;
    table_ = held_.get();
    tableSize_ = count;
#if !defined(_WIN32)
    for (size_t i = 0; i < kSignalCount; ++i) {
        sigaction(kSignals[i], nullptr, &previous[i]);
        replaced[i] = (previous[i].sa_flags & SA_SIGINFO) == 0 && previous[i].sa_handler == SIG_DFL;
        if (!replaced[i]) continue;
        struct sigaction mine {};
        mine.sa_handler = RemoveAndEnd;
        mine.sa_mask = Handled();  // one cleaning at a time
        sigaction(kSignals[i], &mine, nullptr);
    }
#endif
}

TemporaryFiles::~TemporaryFiles() {
    RemoveAll();
    const SignalsBlocked blocked;
#if !defined(_WIN32)
    for (size_t i = 0; i < kSignalCount; ++i)
        if (replaced[i]) sigaction(kSignals[i], &previous[i], nullptr);
#endif
    table_ = nullptr;
    tableSize_ = 0;
}

int TemporaryFiles::Create(size_t entry, const std::filesystem::path& path) {
    paths_[entry] = path;
    int fd = -1, why = 0;
    {
        const SignalsBlocked blocked;
#if defined(_WIN32)
        fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
#else
        // Readable by its owner only until it is whole: it may be the copy of a private file.
        fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
#endif
        why = errno;
        if (fd >= 0) {
            held_[entry].path = paths_[entry].c_str();
            held_[entry].held = 1;
        }
    }
    errno = why;  // as open left it, whatever unblocking did
    return fd;
}

size_t TemporaryFiles::RenameAll(const std::vector<std::filesystem::path>& targets,
                                 std::error_code& error) {
    const SignalsBlocked blocked;
    for (size_t i = 0; i < targets.size(); ++i) {
        if (targets[i].empty()) continue;
        std::filesystem::rename(paths_[i], targets[i], error);
        if (error) return i;
        held_[i].held = 0;
    }
    return targets.size();
}

void TemporaryFiles::RemoveAll() {
    for (size_t i = 0; i < paths_.size(); ++i) {
        if (held_[i].held == 0) continue;
        const SignalsBlocked blocked;
        std::error_code ignored;
        std::filesystem::remove(paths_[i], ignored);
        held_[i].held = 0;
    }
}

}  // namespace standin::files
