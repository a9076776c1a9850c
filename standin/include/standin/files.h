#pragma once
// Files as the stand-in and its programs use them: read whole, and written so that no file is
// replaced unless every one of them could be written (a temporary file beside each target, then
// renamed over it).
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

// Why `path` cannot be written as a file, or empty: a folder, or a folder that does not exist.
inline std::string WhyNotWritable(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(path, ec)) return path + ": is a folder, not a file";
    const fs::path parent = fs::absolute(fs::path(path), ec).parent_path();
    if (!fs::is_directory(parent, ec))
        return path + ": the folder " + parent.string() + " does not exist";
    return {};
}

// Writes every (path, content) pair, or none: each content goes to a temporary file beside its
// target first, and only when all are written are they renamed over the targets. False with
// "<path>: <problem>" in `error`; temporary files are removed.
inline bool WriteAll(const std::vector<std::pair<std::string, std::string>>& outputs,
                     std::string* error) {
    namespace fs = std::filesystem;
    std::vector<fs::path> temporaries;
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
        const fs::path target(path);
        fs::path temporary = target;
        temporary.replace_filename("." + target.filename().string() + "." +
                                   std::to_string(random()) + ".tmp");
        temporaries.push_back(temporary);
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << content;
        out.close();
        if (!out) {
            cleanUp();
            if (error) *error = path + ": cannot write the file";
            return false;
        }
    }
    for (size_t i = 0; i < outputs.size(); ++i) {
        std::error_code ec;
        fs::rename(temporaries[i], outputs[i].first, ec);
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
