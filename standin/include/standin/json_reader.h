#pragma once
// Reading the stand-in's JSON input (documents and scenarios) strictly: a key given twice is an
// error rather than "the last one wins", a field the format does not know is an error, null is
// accepted only where the format says so, and every error names the place as a path
// ("groups[2].startMeasure") and says what is wrong in plain words.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace standin::json {

using Json = nlohmann::ordered_json;

// "<path>: <problem>", or the problem alone for the whole text.
struct Error {
    std::string message;
};

[[noreturn]] inline void Fail(const std::string& path, const std::string& problem) {
    throw Error{path.empty() ? problem : path + ": " + problem};
}

inline std::string Join(const std::string& path, const std::string& field) {
    return path.empty() ? field : path + "." + field;
}

inline std::string At(const std::string& path, size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

inline const char* KindOf(const Json& j) {
    if (j.is_null()) return "null";
    if (j.is_boolean()) return "true or false";
    if (j.is_number_integer()) return "an integer";
    if (j.is_number()) return "a number with a fraction";
    if (j.is_string()) return "a string";
    if (j.is_array()) return "an array";
    return "an object";
}

namespace detail {

// Builds the value as the parser reads it, and names the place of a repeated key. A handler of
// the parser's events rather than a callback of Json::parse: with a callback, the library
// searches the container of every finished object again, which makes a long array of objects
// (the groups of a large score) take time with the square of its length.
class StrictParser : public nlohmann::detail::json_sax_dom_parser<Json> {
    using Dom = nlohmann::detail::json_sax_dom_parser<Json>;

  public:
    explicit StrictParser(Json& result) : Dom(result) {}

    bool null() { return Advance() && Dom::null(); }
    bool boolean(bool v) { return Advance() && Dom::boolean(v); }
    bool number_integer(Json::number_integer_t v) { return Advance() && Dom::number_integer(v); }
    bool number_unsigned(Json::number_unsigned_t v) { return Advance() && Dom::number_unsigned(v); }
    bool number_float(Json::number_float_t v, const Json::string_t& text) {
        return Advance() && Dom::number_float(v, text);
    }
    bool string(Json::string_t& v) { return Advance() && Dom::string(v); }
    bool binary(Json::binary_t& v) { return Advance() && Dom::binary(v); }
    bool start_object(std::size_t n) {
        frames_.push_back(Frame{false, 0, {}, {}});
        return Dom::start_object(n);
    }
    bool key(Json::string_t& k) {
        Frame& top = frames_.back();
        top.key = k;
        if (!top.keys.insert(top.key).second) Fail(Path(), "the key appears twice");
        return Dom::key(k);
    }
    bool end_object() {
        frames_.pop_back();
        return Advance() && Dom::end_object();
    }
    bool start_array(std::size_t n) {
        frames_.push_back(Frame{true, 0, {}, {}});
        return Dom::start_array(n);
    }
    bool end_array() {
        frames_.pop_back();
        return Advance() && Dom::end_array();
    }

  private:
    struct Frame {
        bool array;
        size_t index;
        std::string key;
        std::set<std::string> keys;
    };
    // Counts a finished element of the enclosing array.
    bool Advance() {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
        return true;
    }
    std::string Path() const {
        std::string path;
        for (const Frame& f : frames_) path = f.array ? At(path, f.index) : Join(path, f.key);
        return path;
    }
    std::vector<Frame> frames_;
};

}  // namespace detail

// The JSON value of `text`. Throws Error: "not valid JSON at line 3, column 7: ..." (the
// parser's own words without its codes) or "<path>: the key appears twice".
inline Json Parse(const std::string& text) {
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; })) {
        Fail("", "empty, not a JSON document");
    }
    try {
        Json result;
        detail::StrictParser parser(result);
        Json::sax_parse(text, &parser);
        return result;
    } catch (const Json::parse_error& e) {
        // "[json.exception.parse_error.101] parse error at line 1, column 9: syntax error while
        // parsing value - invalid literal; last read: 'tru'"
        const std::string what = e.what();
        std::string where = "byte " + std::to_string(e.byte);
        const size_t at = what.find("parse error at ");
        const size_t colon = what.find(": ", at == std::string::npos ? 0 : at);
        if (at != std::string::npos && colon != std::string::npos)
            where = what.substr(at + 15, colon - at - 15);
        const size_t dash = what.find(" - ");
        const std::string detail = dash != std::string::npos    ? what.substr(dash + 3)
                                   : colon != std::string::npos ? what.substr(colon + 2)
                                                                : what;
        Fail("", "not valid JSON at " + where + ": " + detail);
    }
}

inline int64_t Integer(const Json& j, const std::string& path, int64_t min, int64_t max) {
    if (!j.is_number_integer()) Fail(path, std::string("expected an integer, found ") + KindOf(j));
    const int64_t v =
        j.is_number_unsigned() && j.get<uint64_t>() > INT64_MAX ? INT64_MAX : j.get<int64_t>();
    if (v < min || v > max) {
        Fail(path,
             "expected an integer from " + std::to_string(min) + " to " + std::to_string(max));
    }
    return v;
}

inline std::string String(const Json& j, const std::string& path) {
    if (!j.is_string()) Fail(path, std::string("expected a string, found ") + KindOf(j));
    return j.get<std::string>();
}

// A record tag: four printable ASCII characters, the first in the highest byte ("SOTX"), or 0x and
// one to eight hexadecimal digits ("0x534F5458"). Text that begins with 0x is always a number, so
// "0x12" is 0x00000012 and not four characters.
inline uint32_t Tag(const Json& j, const std::string& path) {
    const std::string text = j.is_string() ? j.get<std::string>() : std::string();
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string digits = text.substr(2);
        if (digits.size() <= 8 && std::all_of(digits.begin(), digits.end(), [](char c) {
                return std::isxdigit(static_cast<unsigned char>(c)) != 0;
            })) {
            return static_cast<uint32_t>(std::stoul(digits, nullptr, 16));  // fits: 8 digits
        }
    } else if (text.size() == 4 && std::all_of(text.begin(), text.end(),
                                               [](char c) { return c >= 0x20 && c <= 0x7E; })) {
        uint32_t tag = 0;
        for (const char c : text) tag = (tag << 8) | static_cast<uint8_t>(c);
        return tag;
    }
    Fail(path,
         "expected four characters or 0x and one to eight hexadecimal digits, such as "
         "\"SOTX\" or \"0x534F5458\"");
}

// One JSON object being read: its path for messages, and only the fields the format names.
class Object {
  public:
    Object(const Json& j, std::string path, std::initializer_list<const char*> fields)
        : j_(j), path_(std::move(path)) {
        if (!j.is_object()) Fail(path_, std::string("expected an object, found ") + KindOf(j));
        for (const auto& item : j.items()) {
            if (std::none_of(fields.begin(), fields.end(),
                             [&](const char* f) { return item.key() == f; })) {
                Fail(Join(path_, item.key()), "unknown field");
            }
        }
    }
    const std::string& Path() const { return path_; }
    std::string Path(const char* field) const { return Join(path_, field); }

    // Present, null included: null is a value that only some fields accept.
    bool Has(const char* field) const { return j_.contains(field); }
    const Json& Required(const char* field) const {
        if (!Has(field)) Fail(Path(field), "missing");
        return j_[field];
    }
    int64_t Int(const char* field, int64_t min, int64_t max) const {
        return Integer(Required(field), Path(field), min, max);
    }
    int64_t Int(const char* field, int64_t min, int64_t max, int64_t fallback) const {
        return Has(field) ? Int(field, min, max) : fallback;
    }
    int16_t I16(const char* field) const {
        return static_cast<int16_t>(Int(field, INT16_MIN, INT16_MAX));
    }
    uint16_t U16(const char* field) const {
        return static_cast<uint16_t>(Int(field, 0, UINT16_MAX));
    }
    std::optional<std::string> String(const char* field) const {
        if (!Has(field)) return std::nullopt;
        return json::String(j_[field], Path(field));
    }
    // For the fields where null means "none".
    std::optional<std::string> StringOrNull(const char* field) const {
        if (!Has(field) || j_[field].is_null()) return std::nullopt;
        if (!j_[field].is_string()) {
            Fail(Path(field), std::string("expected a string or null, found ") + KindOf(j_[field]));
        }
        return j_[field].get<std::string>();
    }
    bool Bool(const char* field, bool fallback) const {
        if (!Has(field)) return fallback;
        if (!j_[field].is_boolean()) {
            Fail(Path(field), std::string("expected true or false, found ") + KindOf(j_[field]));
        }
        return j_[field].get<bool>();
    }
    const Json* Array(const char* field) const {
        if (!Has(field)) return nullptr;
        if (!j_[field].is_array()) {
            Fail(Path(field), std::string("expected an array, found ") + KindOf(j_[field]));
        }
        return &j_[field];
    }
    const Json& RequiredArray(const char* field) const {
        const Json* array = Array(field);
        if (array == nullptr) Fail(Path(field), "missing");
        return *array;
    }
    const Json& Raw(const char* field) const { return j_[field]; }

  private:
    const Json& j_;
    std::string path_;
};

// Calls `read(element, path)` for each element of the array field `field`, if present.
template <typename F>
void ForEach(const Object& parent, const char* field, F&& read) {
    const Json* array = parent.Array(field);
    if (array == nullptr) return;
    for (size_t i = 0; i < array->size(); ++i) read((*array)[i], At(parent.Path(field), i));
}

}  // namespace standin::json
