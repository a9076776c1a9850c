#pragma once
// Files as the stand-in and its programs use them: read whole, and written so that no file is
// replaced unless every one of them could be written (a temporary file beside each target, then
// renamed over it). A symbolic link is written through to its target, as editors do: the link
// stays a link. A file with other hard links is replaced under the name given only; its other
// names keep the old content. What cannot be replaced - standard output ("-"), a device, a
// named pipe - is written in place, never created, once every temporary file is ready.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace standin::files {

// False with "<path>: <problem>" in `error` for a missing file, a folder or an unreadable file.
bool Read(const std::string& path, std::string& text, std::string* error);

// The name that stands for standard output among the paths written.
inline constexpr char kStandardOutput[] = "-";

// Whether writing `path` writes standard output: "-", or a name of the very file standard output
// goes to (/dev/stdout, /dev/fd/1, a terminal's device) where the system can tell.
bool IsStandardOutput(const std::string& path);

// Whether `path` is written in place rather than replaced: standard output, or something that
// exists, after its symbolic links, and is neither a regular file nor a folder.
bool IsWrittenInPlace(const std::string& path);

// The file that writing `path` replaces: `path`, or the end of the symbolic links that start
// there (relative links read from their own folder). Empty when the links go round in a circle.
std::filesystem::path Target(const std::string& path);

// Why `path` cannot be written as a file, or empty: a folder, a folder that does not exist, or
// symbolic links in a circle.
std::string WhyNotWritable(const std::string& path);

// The temporary file that is renamed over `target`: hidden, beside it, told apart by `random`,
// and within the 255 bytes a file name may have (Windows counts UTF-16 units, never more), so
// a long name is cut, at a whole UTF-8 character.
std::filesystem::path TemporaryFor(const std::filesystem::path& target, uint32_t random);

// Called once everything is ready and before any file is replaced; false, with why, stops the
// writing.
using LastCheck = std::function<bool(std::string* why)>;

// Writes every (path, content) pair, or as near to none as the targets allow. Each content for a
// file goes to a temporary file beside its target first; then what is written in place gets its
// content (that cannot be taken back); then `last` is asked; and only then are the temporary
// files renamed over their targets, which keep their permissions. False with "<path>: <problem>;
// nothing was written" (or "; only <path> was written") in `error`; temporary files are removed.
// A SIGHUP, SIGINT, SIGPIPE or SIGTERM that ends the program meanwhile (a reader that leaves
// early, Ctrl-C while a named pipe waits for its reader) removes them too, unless the program
// ignores or handles that signal itself. One WriteAll at a time.
bool WriteAll(const std::vector<std::pair<std::string, std::string>>& outputs, std::string* error,
              const LastCheck& last = {});

}  // namespace standin::files
