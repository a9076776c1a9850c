// Files: reading, and writing all outputs or none (files.h).
#include "standin/files.h"

#include "temporary_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include <fcntl.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace standin::files {

bool Read(const std::string& path, std::string& text, std::string* error) {
    auto fail = [&](const char* problem) {
        if (error) *error = path + ": " + problem;
        return false;
    };
    std::error_code ec;
    const auto type = std::filesystem::status(path, ec).type();
    if (type == std::filesystem::file_type::not_found) return fail("no such file");
    if (type == std::filesystem::file_type::directory) return fail("is a folder, not a file");
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail("cannot open the file");
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad()) return fail("cannot read the file");
    text = out.str();
    return true;
}

bool IsStandardOutput(const std::string& path) {
    if (path == kStandardOutput) return true;
#if defined(_WIN32)
    return false;  // Windows gives no file identity to compare here
#else
    struct stat out {
    }, named{};
    return fstat(STDOUT_FILENO, &out) == 0 && stat(path.c_str(), &named) == 0 &&
           out.st_dev == named.st_dev && out.st_ino == named.st_ino;
#endif
}

bool IsWrittenInPlace(const std::string& path) {
    namespace fs = std::filesystem;
    if (IsStandardOutput(path)) return true;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return !ec && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status);
}

std::filesystem::path Target(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path current(path);
    for (int hop = 0; hop < 40; ++hop) {  // the depth at which Linux gives up, too
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(current, ec))) return current;
        const fs::path next = fs::read_symlink(current, ec);
        if (ec) return current;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return {};
}

std::string WhyNotWritable(const std::string& path) {
    namespace fs = std::filesystem;
    if (IsWrittenInPlace(path)) return {};
    const fs::path target = Target(path);
    if (target.empty()) return path + ": its symbolic links go round in a circle";
    std::error_code ec;
    if (fs::is_directory(target, ec)) return path + ": is a folder, not a file";
    const fs::path parent = fs::absolute(target, ec).parent_path();
    if (!fs::is_directory(parent, ec))
        return path + ": the folder " + parent.string() + " does not exist";
    return {};
}

std::filesystem::path TemporaryFor(const std::filesystem::path& target, uint32_t random) {
    constexpr size_t kNameMax = 255;
    const std::string end = "." + std::to_string(random) + ".tmp";
    std::u8string name = target.filename().u8string();
    if (const size_t room = kNameMax - 1 - end.size(); name.size() > room) {
        size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    return target.parent_path() /
           std::filesystem::path(u8"." + name + std::u8string(end.begin(), end.end()));
}

namespace {

// Writes all of `content` to the open file `fd`; why not, or empty.
std::string WriteWhole(int fd, const std::string& content) {
    for (size_t done = 0; done < content.size();) {
        const size_t chunk = std::min<size_t>(content.size() - done, size_t{1} << 30);
#if defined(_WIN32)
        const int n = _write(fd, content.data() + done, static_cast<unsigned>(chunk));
#else
        const ssize_t n = ::write(fd, content.data() + done, chunk);
#endif
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? std::strerror(errno) : "the file takes no more";
        done += static_cast<size_t>(n);
    }
    return {};
}

int Close(int fd) {
#if defined(_WIN32)
    return _close(fd);
#else
    return ::close(fd);
#endif
}

// Writes `content` over what `path` holds, without creating or replacing it: standard output, a
// device, a pipe. Why not, or empty.
std::string WriteInPlace(const std::string& path, const std::string& content) {
    if (IsStandardOutput(path)) {
        // Nothing printed before may follow the content.
        if (std::fflush(stdout) != 0) return std::strerror(errno);
#if defined(_WIN32)
        _setmode(1, _O_BINARY);  // the content's bytes as they are, without carriage returns
#endif
        return WriteWhole(1, content);
    }
#if defined(_WIN32)
    const int fd = _wopen(std::filesystem::path(path).c_str(), _O_WRONLY | _O_TRUNC | _O_BINARY);
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
#endif
    if (fd < 0) return std::strerror(errno);
    std::string why = WriteWhole(fd, content);
    if (Close(fd) != 0 && why.empty()) why = std::strerror(errno);
    return why;
}

#if !defined(_WIN32)
// Gives the file at `path` the owner and group of `kept`: root can give another user's file back
// to that user; anyone else may not, and the file then stays theirs, as any file they write.
bool GiveOwner(const char* path, const struct stat& kept) {
    return (kept.st_uid == ::geteuid() && kept.st_gid == ::getegid()) ||
           ::chown(path, kept.st_uid, kept.st_gid) == 0;
}
#endif

// Gives the whole temporary file the access its target has: the target's mode and, where the
// program may, its owner and group; for a new target, the mode a new file gets.
void TakeOverAccess(const std::filesystem::path& temporary, const std::filesystem::path& target) {
#if defined(_WIN32)
    std::error_code ec;
    if (const auto kept = std::filesystem::status(target, ec);
        std::filesystem::is_regular_file(kept))
        std::filesystem::permissions(temporary, kept.permissions(), ec);
#else
    struct stat kept {};
    if (::stat(target.c_str(), &kept) == 0 && S_ISREG(kept.st_mode)) {
        GiveOwner(temporary.c_str(), kept);
        ::chmod(temporary.c_str(), kept.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(temporary.c_str(), 0666 & ~mask);
    }
#endif
}

std::string Shown(const std::string& path) {
    return path == kStandardOutput ? "standard output" : path;
}

}  // namespace

bool WriteAll(const std::vector<std::pair<std::string, std::string>>& outputs, std::string* error,
              const LastCheck& last) {
    namespace fs = std::filesystem;
    struct Planned {
        const std::string& path;
        const std::string& content;
        bool inPlace;
        fs::path target, temporary;
    };
    std::vector<Planned> plan;
    TemporaryFiles temporaries(outputs.size());
    std::vector<std::string> written;
    auto fail = [&](const std::string& why) {
        temporaries.RemoveAll();
        std::string done;
        for (const std::string& path : written) done += (done.empty() ? "" : ", ") + path;
        if (error)
            *error =
                why + (done.empty() ? "; nothing was written" : "; only " + done + " was written");
        return false;
    };
    std::random_device random;
    for (size_t i = 0; i < outputs.size(); ++i) {
        const auto& [path, content] = outputs[i];
        if (std::string why = WhyNotWritable(path); !why.empty()) return fail(why);
        plan.push_back({path, content, IsWrittenInPlace(path), {}, {}});
        Planned& p = plan.back();
        if (p.inPlace) continue;
        p.target = Target(path);
        int fd = -1;
        do {
            p.temporary = TemporaryFor(p.target, random());
            fd = temporaries.Create(i, p.temporary);
        } while (fd < 0 && errno == EEXIST);
        if (fd < 0) return fail(path + ": cannot write the file (" + std::strerror(errno) + ")");
        std::string why = WriteWhole(fd, content);
        if (Close(fd) != 0 && why.empty()) why = std::strerror(errno);
        if (!why.empty()) return fail(path + ": cannot write the file (" + why + ")");
        TakeOverAccess(p.temporary, p.target);
    }
    for (const Planned& p : plan) {
        if (!p.inPlace) continue;
        if (std::string why = WriteInPlace(p.path, p.content); !why.empty())
            return fail(p.path + ": cannot write the file (" + why + ")");
        written.push_back(Shown(p.path));
    }
    if (std::string why; last && !last(&why)) return fail(why);
    std::vector<fs::path> targets;
    for (const Planned& p : plan) targets.push_back(p.inPlace ? fs::path() : p.target);
    std::error_code ec;
    const size_t failed = temporaries.RenameAll(targets, ec);
    for (size_t i = 0; i < failed; ++i)
        if (!plan[i].inPlace) written.push_back(plan[i].path);
    if (failed < plan.size())
        return fail(plan[failed].path + ": cannot replace the file (" + ec.message() + ")");
    return true;
}

}  // namespace standin::files
