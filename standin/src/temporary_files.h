#pragma once
// The temporary files that WriteAll (files.h) renames over its targets, made so that a signal that
// ends the program leaves none behind. While a TemporaryFiles lives, the signals that end a
// program and that sort(1) cleans up after (SIGHUP, SIGINT, SIGPIPE, SIGTERM, SIGQUIT, SIGALRM,
// SIGXFSZ, ...) remove every file it holds and then end the program as the signal would have, so
// that its exit status is the signal's; a signal that the program ignores (as a background job its
// SIGINT) or handles itself keeps its handling. One lives at a time. On Windows, whose console
// raises SIGINT and SIGBREAK on a thread of its own, the files are made and removed, and a signal
// is left as it is.
#include <atomic>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace standin::files {

class TemporaryFiles {
  public:
    // Room for `count` files, entries 0 to count - 1, none made yet.
    explicit TemporaryFiles(size_t count);
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;
    // Removes what it still holds (an exception on the way out), then gives the signals back
    // their handling.
    ~TemporaryFiles();

    // Makes `path` a new file, open for writing, and holds it as `entry`: its descriptor, or -1
    // with errno (EEXIST: there is a file of that name).
    int Create(size_t entry, const std::filesystem::path& path);
    // Renames each entry's file over its target (entry i over targets[i]; an empty target is no
    // entry), in order, and lets go of each renamed one. The signals wait until the last rename is
    // done, so that none ends the program with one target replaced and the next not. The entry
    // whose rename failed, with `error`, or targets.size().
    size_t RenameAll(const std::vector<std::filesystem::path>& targets, std::error_code& error);
    // Removes every file it holds.
    void RemoveAll();

  private:
    struct Held;
    // The signal handler, and the table it reads: the entries of the one that lives, or none.
    static void RemoveAndEnd(int signal);
    static std::atomic<Held*> table_;
    static std::atomic<size_t> tableSize_;

    std::vector<std::filesystem::path> paths_;
    std::unique_ptr<Held[]> held_;  // what the signal handler reads, one per entry
};

}  // namespace standin::files
