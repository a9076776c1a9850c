#include "release/guide/string_table.h"

#include <cctype>
#include <cstdint>
#include <optional>

namespace guide {
namespace {

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

std::optional<uint32_t> HexValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
    return std::nullopt;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        throw TableError("\\u or \\U names no character");
    }
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Whether text is well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1Fu;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0Fu;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07u;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

// Reads a table's source: tracks the line for messages, skips white space, comments and
// preprocessor lines.
class Reader {
  public:
    Reader(std::string_view source, const std::string& file) : source_(source), file_(file) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw TableError(file_ + ":" + std::to_string(line_) + ": " + what);
    }

    bool AtEnd() { return Peek() == '\0'; }

    // The next character that is not white space or in a comment; '\0' at the end.
    char Peek() {
        for (;;) {
            while (pos_ < source_.size() &&
                   std::isspace(static_cast<unsigned char>(source_[pos_]))) {
                if (source_[pos_] == '\n') ++line_;
                ++pos_;
            }
            // A preprocessor line, as a table may hold, is no entry.
            if (source_.substr(pos_, 2) == "//" || source_.substr(pos_, 1) == "#") {
                while (pos_ < source_.size() && source_[pos_] != '\n') ++pos_;
            } else if (source_.substr(pos_, 2) == "/*") {
                const size_t end = source_.find("*/", pos_ + 2);
                if (end == std::string_view::npos) Fail("a comment is not closed");
                for (size_t i = pos_; i < end; ++i) {
                    if (source_[i] == '\n') ++line_;
                }
                pos_ = end + 2;
            } else {
                return pos_ < source_.size() ? source_[pos_] : '\0';
            }
        }
    }

    void Expect(char c) {
        if (Peek() != c) Fail(std::string("expected '") + c + "'");
        ++pos_;
    }

    std::string Word() {
        Peek();
        const size_t start = pos_;
        while (pos_ < source_.size() &&
               (std::isalnum(static_cast<unsigned char>(source_[pos_])) || source_[pos_] == '_')) {
            ++pos_;
        }
        if (pos_ == start) Fail("expected a name or a number");
        return std::string(source_.substr(start, pos_ - start));
    }

    // One or more adjacent literals, decoded and joined.
    std::string Literals() {
        std::string text;
        if (Peek() != '"') Fail("expected a string literal");
        while (Peek() == '"') {
            const size_t start = ++pos_;
            while (pos_ < source_.size() && source_[pos_] != '"') {
                if (source_[pos_] == '\n') Fail("a string literal is not closed on its line");
                if (source_[pos_] == '\\') ++pos_;
                ++pos_;
            }
            if (pos_ >= source_.size()) Fail("a string literal is not closed");
            try {
                text += DecodeLiteral(source_.substr(start, pos_ - start));
            } catch (const TableError& error) {
                Fail(error.what());
            }
            ++pos_;
        }
        return text;
    }

  private:
    std::string_view source_;
    const std::string& file_;
    size_t pos_ = 0;
    int line_ = 1;
};

bool IsNumber(const std::string& word) {
    if (word.empty() || word.size() > 9) return false;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

std::string DecodeLiteral(std::string_view contents) {
    std::string out;
    for (size_t i = 0; i < contents.size(); ++i) {
        if (contents[i] != '\\') {
            out.push_back(contents[i]);
            continue;
        }
        if (++i >= contents.size()) throw TableError("a literal ends in a lone backslash");
        const char c = contents[i];
        switch (c) {
            case 'n':
                out.push_back('\n');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 'a':
                out.push_back('\a');
                break;
            case 'b':
                out.push_back('\b');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'v':
                out.push_back('\v');
                break;
            case '\\':
            case '"':
            case '\'':
            case '?':
                out.push_back(c);
                break;
            case 'x': {
                uint32_t value = 0;
                size_t digits = 0;
                while (i + 1 < contents.size() && HexValue(contents[i + 1])) {
                    value = value * 16 + *HexValue(contents[++i]);
                    if (++digits > 2) throw TableError("\\x escape beyond a byte");
                }
                if (digits == 0) throw TableError("\\x escape without digits");
                out.push_back(static_cast<char>(value));
                break;
            }
            case 'u':
            case 'U': {
                const size_t digits = c == 'u' ? 4 : 8;
                uint32_t value = 0;
                for (size_t k = 0; k < digits; ++k) {
                    if (i + 1 >= contents.size() || !HexValue(contents[i + 1])) {
                        throw TableError(std::string("\\") + c + " escape with too few digits");
                    }
                    value = value * 16 + *HexValue(contents[++i]);
                }
                AppendUtf8(out, value);
                break;
            }
            default:
                if (!IsOctal(c)) throw TableError(std::string("unknown escape \\") + c);
                uint32_t value = static_cast<uint32_t>(c - '0');
                for (int k = 0; k < 2 && i + 1 < contents.size() && IsOctal(contents[i + 1]); ++k) {
                    value = value * 8 + static_cast<uint32_t>(contents[++i] - '0');
                }
                if (value > 0xFF) throw TableError("octal escape beyond a byte");
                out.push_back(static_cast<char>(value));
        }
    }
    if (!IsUtf8(out)) throw TableError("a literal is not UTF-8");
    return out;
}

std::map<int, std::string> ParseTable(std::string_view source, const std::string& file) {
    std::map<int, std::string> texts;
    Reader reader(source, file);
    while (!reader.AtEnd()) {
        if (reader.Word() != "VB_STRING") reader.Fail("expected VB_STRING(...)");
        reader.Expect('(');
        std::string word = reader.Word();
        if (!IsNumber(word)) {
            // The symbolic name comes first; the id follows it.
            reader.Expect(',');
            word = reader.Word();
            if (!IsNumber(word)) reader.Fail("expected the decimal id after the name");
        }
        const int id = std::stoi(word);
        reader.Expect(',');
        std::string text = reader.Literals();
        reader.Expect(')');
        if (!texts.emplace(id, std::move(text)).second) {
            reader.Fail("id " + std::to_string(id) + " is given twice");
        }
    }
    return texts;
}

}  // namespace guide
