#pragma once
// Files as the stand-in and its programs use them: read whole, and written so that no file is
// replaced unless every one of them could be written (a temporary file beside each target, then
// renamed over it). A symbolic link is written through to its target, as editors do: the link
// stays a link. A file with other hard links is replaced under the name given only; its other
// names keep the old content.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace standin::files {

// False with "<path>: <problem>" in `error` for a missing file, a folder or an unreadable file.
inline bool Read(const std::string& path, std::string& text, std::string* error) {
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

// The file that writing `path` replaces: `path`, or the end of the symbolic links that start
// there (relative links read from their own folder). Empty when the links go round in a circle.
inline std::filesystem::path Target(const std::string& path) {
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

// Why `path` cannot be written as a file, or empty: a folder, a folder that does not exist, or
// symbolic links in a circle.
inline std::string WhyNotWritable(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path target = Target(path);
    if (target.empty()) return path + ": its symbolic links go round in a circle";
    std::error_code ec;
    if (fs::is_directory(target, ec)) return path + ": is a folder, not a file";
    const fs::path parent = fs::absolute(target, ec).parent_path();
    if (!fs::is_directory(parent, ec))
        return path + ": the folder " + parent.string() + " does not exist";
    return {};
}

// The temporary file that is renamed over `target`: hidden, beside it, told apart by `random`,
// and within the 255 bytes a file name may have (Windows counts UTF-16 units, never more), so
// a long name is cut, at a whole UTF-8 character.
inline std::filesystem::path TemporaryFor(const std::filesystem::path& target, uint32_t random) {
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

// Writes every (path, content) pair, or none: each content goes to a temporary file beside its
// target first, and only when all are written are they renamed over the targets, which keep
// their permissions. False with "<path>: <problem>" in `error`; temporary files are removed.
inline bool WriteAll(const std::vector<std::pair<std::string, std::string>>& outputs,
                     std::string* error) {
    namespace fs = std::filesystem;
    std::vector<fs::path> temporaries, targets;
    auto cleanUp = [&] {
        std::error_code ignored;
        for (const fs::path& t : temporaries) fs::remove(t, ignored);
    };
    std::random_device random;
    for (const auto& [path, content] : outputs) {
        if (std::string why = WhyNotWritable(path); !why.empty()) {
            cleanUp();
            if (error) *error = why;
            return false;
        }
        const fs::path target = Target(path);
        targets.push_back(target);
        fs::path temporary;
        std::error_code taken;
        do {
            temporary = TemporaryFor(target, random());
        } while (fs::exists(fs::symlink_status(temporary, taken)));
        temporaries.push_back(temporary);
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << content;
        out.close();
        if (!out) {
            cleanUp();
            if (error) *error = path + ": cannot write the file";
            return false;
        }
        std::error_code ec;
        if (const auto kept = fs::status(target, ec); fs::is_regular_file(kept))
            fs::permissions(temporary, kept.permissions(), ec);
    }
    for (size_t i = 0; i < outputs.size(); ++i) {
        std::error_code ec;
        fs::rename(temporaries[i], targets[i], ec);
        if (ec) {
            cleanUp();
            if (error)
                *error = outputs[i].first + ": cannot replace the file (" + ec.message() + ")";
            return false;
        }
    }
    return true;
}

}  // namespace standin::files
