#pragma once
// Reading the plug-in's string tables (resources/strings.def and one per language) as the guide
// quotes them: the texts by id, as UTF-8.
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace guide {

// A table or a literal that cannot be read; the message names the file and line.
struct TableError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The text of one C string literal's contents (without its quotes), its escapes decoded: the
// simple escapes, octal and hexadecimal bytes, and \u / \U as UTF-8. Throws TableError for an
// unknown or incomplete escape, or a result that is not UTF-8.
std::string DecodeLiteral(std::string_view contents);

// Every entry of a table: VB_STRING(id, "text") or VB_STRING(NAME, id, "text"), adjacent literals
// joined, comments skipped. Throws TableError, naming `file` and the line, for a malformed
// entry or an id given twice.
std::map<int, std::string> ParseTable(std::string_view source, const std::string& file);

}  // namespace guide
