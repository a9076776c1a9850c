#include "json_document.h"

#include <algorithm>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <set>

#include "text.h"

namespace standin {
namespace {

using Json = nlohmann::ordered_json;

struct DocumentError {
    std::string message;
};

[[noreturn]] void Fail(const std::string& path, const std::string& problem) {
    throw DocumentError{(path.empty() ? std::string("document") : path) + ": " + problem};
}

std::string Join(const std::string& path, const std::string& field) {
    return path.empty() ? field : path + "." + field;
}

std::string At(const std::string& path, size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

int64_t IntValue(const Json& j, const std::string& path, int64_t min, int64_t max) {
    if (!j.is_number_integer()) Fail(path, "expected an integer");
    const int64_t v =
        j.is_number_unsigned() && j.get<uint64_t>() > INT64_MAX ? INT64_MAX : j.get<int64_t>();
    if (v < min || v > max) {
        Fail(path,
             "expected an integer from " + std::to_string(min) + " to " + std::to_string(max));
    }
    return v;
}

int16_t Int16(const Json& j, const std::string& path) {
    return static_cast<int16_t>(IntValue(j, path, INT16_MIN, INT16_MAX));
}

uint16_t Word(const Json& j, const std::string& path) {
    // Key words are 16 bits; -1 and 65535 name the same word.
    return static_cast<uint16_t>(IntValue(j, path, INT16_MIN, UINT16_MAX) & 0xFFFF);
}

// One JSON object being read, with its path for messages and a check for unknown fields.
class Object {
  public:
    Object(const Json& j, std::string path, std::initializer_list<const char*> fields)
        : j_(j), path_(std::move(path)) {
        if (!j.is_object()) Fail(path_, "expected an object");
        for (const auto& item : j.items()) {
            if (std::none_of(fields.begin(), fields.end(),
                             [&](const char* f) { return item.key() == f; })) {
                Fail(Join(path_, item.key()), "unknown field");
            }
        }
    }
    const std::string& Path() const { return path_; }
    std::string Path(const char* field) const { return Join(path_, field); }
    bool Has(const char* field) const { return j_.contains(field) && !j_[field].is_null(); }
    const Json& Required(const char* field) const {
        if (!j_.contains(field)) Fail(Path(field), "missing");
        return j_[field];
    }
    int64_t Int(const char* field, int64_t min, int64_t max) const {
        return IntValue(Required(field), Path(field), min, max);
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
        if (!j_[field].is_string()) Fail(Path(field), "expected a string or null");
        return j_[field].get<std::string>();
    }
    const Json* Array(const char* field) const {
        if (!Has(field)) return nullptr;
        if (!j_[field].is_array()) Fail(Path(field), "expected an array");
        return &j_[field];
    }
    std::optional<Bytes> Hex(const char* field, size_t size) const {
        auto text = String(field);
        if (!text) return std::nullopt;
        auto bytes = FromHex(*text);
        if (!bytes) Fail(Path(field), "expected hex digits");
        if (size != 0 && bytes->size() != size) {
            Fail(Path(field), "expected " + std::to_string(size) + " bytes, got " +
                                  std::to_string(bytes->size()));
        }
        return bytes;
    }
    uint16_t Kind(const char* field) const {
        auto text = String(field);
        if (!text) return tag::kDefaultTextKind;
        auto kind = TextKindFromString(*text);
        if (!kind) Fail(Path(field), "expected two characters");
        return *kind;
    }

  private:
    const Json& j_;
    std::string path_;
};

// Calls `read` with each element of the array field `field` of `parent`, if present.
template <typename F>
void ForEach(const Object& parent, const char* field, F&& read) {
    const Json* array = parent.Array(field);
    if (array == nullptr) return;
    for (size_t i = 0; i < array->size(); ++i) read((*array)[i], At(parent.Path(field), i));
}

uint32_t ParseTag(const Json& j, const std::string& path) {
    if (j.is_string()) {
        std::string s = j.get<std::string>();
        if (s.size() == 4) {
            uint32_t t = 0;
            for (char c : s) t = (t << 8) | static_cast<uint8_t>(c);
            return t;
        }
        if (s.size() == 10 && s.rfind("0x", 0) == 0) {
            auto bytes = FromHex(s.substr(2));
            if (bytes && bytes->size() == 4) {
                return (uint32_t{(*bytes)[0]} << 24) | (uint32_t{(*bytes)[1]} << 16) |
                       (uint32_t{(*bytes)[2]} << 8) | uint32_t{(*bytes)[3]};
            }
        }
    }
    Fail(path, "expected four characters or 0x followed by eight hex digits");
}

std::vector<int16_t> StaffList(const Json* array, const std::string& path) {
    std::vector<int16_t> staves;
    for (size_t i = 0; i < array->size(); ++i) staves.push_back(Int16((*array)[i], At(path, i)));
    return staves;
}

struct PendingGroup {
    std::string path;
    GroupSpec spec;
    std::optional<int16_t> fullNameId, abbrevNameId;
};

PendingGroup ReadGroup(const Json& j, const std::string& path, const Document& doc) {
    Object g(j, path,
             {"owner", "number", "startStaff", "endStaff", "startMeasure", "endMeasure", "fullName",
              "abbrevName", "fullNameId", "abbrevNameId", "bytes6to21", "bytes24to31"});
    PendingGroup p{path, {}, {}, {}};
    p.spec.owner = static_cast<int16_t>(g.Int("owner", INT16_MIN, INT16_MAX, 0));
    p.spec.number = static_cast<int16_t>(g.Int("number", 0, INT16_MAX, 0));
    p.spec.startStaff = g.I16("startStaff");
    p.spec.endStaff = g.I16("endStaff");
    p.spec.startMeasure = g.I16("startMeasure");
    p.spec.endMeasure = g.I16("endMeasure");
    Bytes rec(kGroupSize, 0);
    if (auto b = g.Hex("bytes6to21", 16)) std::copy(b->begin(), b->end(), rec.begin() + 6);
    if (auto b = g.Hex("bytes24to31", 8)) std::copy(b->begin(), b->end(), rec.begin() + 24);
    p.spec.record = rec;
    auto name = [&](const char* textField, const char* idField, std::optional<int16_t>& id,
                    std::optional<std::u16string>& text) {
        auto given = g.String(textField);
        if (g.Has(idField)) {
            id = g.I16(idField);
            auto actual = doc.TextBlockText(static_cast<uint16_t>(*id));
            // With the block number given, the text is there for the reader and must agree.
            if (given && (!actual || Utf8(*actual) != *given)) {
                Fail(g.Path(textField), "differs from the text of text block " +
                                            std::to_string(*id) + "; leave out " + idField +
                                            " to make a new text");
            }
        } else if (given) {
            text = Utf16(*given);
        }
    };
    name("fullName", "fullNameId", p.fullNameId, p.spec.fullName);
    name("abbrevName", "abbrevNameId", p.abbrevNameId, p.spec.abbrevName);
    return p;
}

void AddPendingGroup(const PendingGroup& p, Document& doc) {
    if (p.spec.number != 0) {
        RecordKey key{
            tag::kGroup,
            {static_cast<uint16_t>(p.spec.owner), static_cast<uint16_t>(p.spec.number), 0}};
        if (doc.Find(key) != nullptr) {
            Fail(p.path + ".number", "group " + std::to_string(p.spec.number) + " of owner " +
                                         std::to_string(p.spec.owner) + " appears twice");
        }
    }
    int16_t number = doc.AddGroup(p.spec);
    if (number == 0) Fail(p.path + ".number", "no group number left");
    RecordKey key{tag::kGroup,
                  {static_cast<uint16_t>(p.spec.owner), static_cast<uint16_t>(number), 0}};
    Bytes rec = *doc.Find(key);
    if (p.fullNameId) PutS16(rec, kGroupFullNameId, *p.fullNameId);
    if (p.abbrevNameId) PutS16(rec, kGroupAbbrevNameId, *p.abbrevNameId);
    doc.Put(key, std::move(rec));
}

void ReadDocument(const Json& root, Document& doc) {
    Object top(root, "",
               {"documentNumber", "measureCount", "staves", "staffSystems", "groups",
                "multiStaffInstruments", "fonts", "fontPrefs", "companions", "textBlocks",
                "rawTexts", "records"});
    doc.documentNumber = static_cast<int16_t>(top.Int("documentNumber", INT16_MIN, INT16_MAX, 1));

    ForEach(top, "fonts", [&](const Json& j, const std::string& path) {
        Object f(j, path, {"number", "name"});
        uint16_t number = f.U16("number");
        if (doc.fonts.count(number))
            Fail(f.Path("number"), "font " + std::to_string(number) + " appears twice");
        doc.fonts[number] = Utf16(f.String("name").value_or(""));
    });

    std::vector<int16_t> order;
    ForEach(top, "staves", [&](const Json& j, const std::string& path) {
        Object s(j, path, {"number", "name"});
        int16_t number = s.I16("number");
        if (number == 0) Fail(s.Path("number"), "0 is not a staff number");
        if (std::find(order.begin(), order.end(), number) != order.end()) {
            Fail(s.Path("number"), "staff " + std::to_string(number) + " appears twice");
        }
        order.push_back(number);
        if (auto name = s.String("name")) doc.staffNames[number] = *name;
    });
    doc.SetStaffSystem(0, order);

    std::set<int16_t> systems;
    ForEach(top, "staffSystems", [&](const Json& j, const std::string& path) {
        Object s(j, path, {"system", "staves"});
        auto system = static_cast<int16_t>(s.Int("system", 1, INT16_MAX));
        if (!systems.insert(system).second) {
            Fail(s.Path("system"), "system " + std::to_string(system) + " appears twice");
        }
        const Json* staves = s.Array("staves");
        if (staves == nullptr) Fail(s.Path("staves"), "missing");
        doc.SetStaffSystem(system, StaffList(staves, s.Path("staves")));
    });

    doc.SetMeasureCount(static_cast<int>(top.Int("measureCount", 0, INT16_MAX, 0)));

    ForEach(top, "multiStaffInstruments", [&](const Json& j, const std::string& path) {
        Object m(j, path, {"number", "staves"});
        auto number = static_cast<uint16_t>(m.Int("number", 1, INT16_MAX));
        const Json* staves = m.Array("staves");
        if (staves == nullptr || staves->size() < 2 || staves->size() > 3) {
            Fail(m.Path("staves"), "expected two or three staff numbers");
        }
        std::vector<int16_t> list = StaffList(staves, m.Path("staves"));
        list.resize(3, 0);
        Bytes rec(kMultiStaffSize, 0);
        for (size_t i = 0; i < 3; ++i) PutS16(rec, i * 2, list[i]);
        doc.Put(RecordKey{tag::kMultiStaff, {number, 0, 0}}, std::move(rec));
    });

    ForEach(top, "fontPrefs", [&](const Json& j, const std::string& path) {
        Object p(j, path, {"number", "font", "size", "effects"});
        Bytes rec(kFontPrefsSize, 0);
        Put16(rec, 0, p.U16("font"));
        PutS16(rec, 2, p.I16("size"));
        Put16(rec, 4, static_cast<uint16_t>(p.Int("effects", 0, UINT16_MAX, 0)));
        doc.Put(RecordKey{tag::kFontPrefs, {p.U16("number"), 0, 0}}, std::move(rec));
    });

    ForEach(top, "companions", [&](const Json& j, const std::string& path) {
        Object c(j, path, {"system", "staff", "value"});
        Bytes rec(kCompanionSize, 0);
        PutS16(rec, 0, c.I16("value"));
        doc.Put(RecordKey{tag::kCompanion,
                          {static_cast<uint16_t>(c.I16("system")),
                           static_cast<uint16_t>(c.I16("staff")), 0}},
                std::move(rec));
    });

    ForEach(top, "rawTexts", [&](const Json& j, const std::string& path) {
        Object r(j, path, {"kind", "number", "text"});
        auto text = r.String("text");
        if (!text) Fail(r.Path("text"), "expected a string");
        doc.Put(RecordKey{tag::kRawTextBase | r.Kind("kind"), {r.U16("number"), 0, 0}},
                EncodeUtf16Text(Utf16(*text)));
    });

    ForEach(top, "textBlocks", [&](const Json& j, const std::string& path) {
        Object b(j, path, {"number", "rawText", "kind", "bytes"});
        Bytes rec = b.Hex("bytes", kTextBlockSize).value_or(Bytes(kTextBlockSize, 0));
        if (!b.Has("bytes")) rec = DefaultTextBlock(0, 0);
        Put16(rec, kBlockRawText, b.U16("rawText"));
        Put16(rec, kBlockKind, b.Kind("kind"));
        doc.Put(RecordKey{tag::kTextBlock, {b.U16("number"), 0, 0}}, std::move(rec));
    });

    // Groups with their own numbers first, so that numbering the others cannot take theirs.
    std::vector<PendingGroup> groups;
    ForEach(top, "groups", [&](const Json& j, const std::string& path) {
        groups.push_back(ReadGroup(j, path, doc));
    });
    for (const PendingGroup& p : groups) {
        if (p.spec.number != 0) AddPendingGroup(p, doc);
    }
    for (const PendingGroup& p : groups) {
        if (p.spec.number == 0) AddPendingGroup(p, doc);
    }

    // Records last: they override what the sections above made.
    ForEach(top, "records", [&](const Json& j, const std::string& path) {
        Object r(j, path, {"tag", "key", "bytes"});
        uint32_t t = ParseTag(r.Required("tag"), r.Path("tag"));
        const Json* keyArray = r.Array("key");
        if (keyArray == nullptr) Fail(r.Path("key"), "missing");
        std::vector<uint16_t> key;
        for (size_t i = 0; i < keyArray->size(); ++i) {
            key.push_back(Word((*keyArray)[i], At(r.Path("key"), i)));
        }
        if (key.size() == 3 && doc.KeyWords(t) == 2) doc.MarkDetailTag(t);
        auto id = doc.KeyFrom(t, key);
        if (!id) {
            Fail(r.Path("key"), "records of " + TagName(t) + " take " +
                                    std::to_string(doc.KeyWords(t)) + " key words");
        }
        auto bytes = r.Hex("bytes", 0);
        if (!bytes) Fail(r.Path("bytes"), "missing");
        if (IsRawTextTag(t) && !DecodeUtf16Text(*bytes)) {
            Fail(r.Path("bytes"), "a raw text is UTF-16 units ending with a 0 unit");
        }
        doc.Put(*id, std::move(*bytes));
    });
}

std::string TagText(uint32_t t) {
    std::string name = TagName(t);
    return name.front() == '\'' ? name.substr(1, 4) : name;
}

bool AllZero(const Bytes& b, size_t from, size_t to) {
    return std::all_of(b.begin() + static_cast<std::ptrdiff_t>(from),
                       b.begin() + static_cast<std::ptrdiff_t>(to),
                       [](uint8_t v) { return v == 0; });
}

// Everything the named sections can say; records they cannot reproduce are added afterwards.
Json WriteSections(const Document& doc) {
    Json root = Json::object();
    root["documentNumber"] = doc.documentNumber;
    root["measureCount"] = doc.MeasureCount();

    Json staves = Json::array();
    for (int16_t staff : doc.StaffSystem(0)) {
        Json s = {{"number", staff}};
        if (auto it = doc.staffNames.find(staff); it != doc.staffNames.end())
            s["name"] = it->second;
        staves.push_back(s);
    }
    root["staves"] = staves;

    Json systems = Json::array();
    std::set<uint16_t> systemNumbers;
    for (const RecordKey& key : doc.KeysOf(tag::kSystemStaff)) {
        if (key.words[0] != 0 && key.words[0] <= INT16_MAX) systemNumbers.insert(key.words[0]);
    }
    for (uint16_t system : systemNumbers) {
        systems.push_back(
            {{"system", system}, {"staves", doc.StaffSystem(static_cast<int16_t>(system))}});
    }
    root["staffSystems"] = systems;

    Json groups = Json::array();
    for (const RecordKey& key : doc.KeysOf(tag::kGroup)) {
        const Bytes* rec = doc.Find(key);
        if (rec->size() != kGroupSize || key.words[1] == 0 || key.words[1] > INT16_MAX) continue;
        GroupView v = doc.ViewGroup(key, *rec);
        Json g = {{"owner", v.owner},
                  {"number", v.number},
                  {"startStaff", v.startStaff},
                  {"endStaff", v.endStaff},
                  {"startMeasure", v.startMeasure},
                  {"endMeasure", v.endMeasure}};
        g["fullName"] = v.hasFullName ? Json(Utf8(v.fullName)) : Json(nullptr);
        g["fullNameId"] = v.fullNameId;
        g["abbrevName"] = v.hasAbbrevName ? Json(Utf8(v.abbrevName)) : Json(nullptr);
        g["abbrevNameId"] = v.abbrevNameId;
        if (!AllZero(*rec, 6, 22)) g["bytes6to21"] = ToHex(rec->data() + 6, 16);
        if (!AllZero(*rec, 24, 32)) g["bytes24to31"] = ToHex(rec->data() + 24, 8);
        groups.push_back(g);
    }
    root["groups"] = groups;

    Json instruments = Json::array();
    for (const RecordKey& key : doc.KeysOf(tag::kMultiStaff)) {
        const Bytes* rec = doc.Find(key);
        if (rec->size() != kMultiStaffSize || key.words[1] != 0 || key.words[0] == 0 ||
            key.words[0] > INT16_MAX) {
            continue;
        }
        Json list = {GetS16(*rec, 0), GetS16(*rec, 2)};
        if (GetS16(*rec, 4) != 0) list.push_back(GetS16(*rec, 4));
        instruments.push_back({{"number", key.words[0]}, {"staves", list}});
    }
    root["multiStaffInstruments"] = instruments;

    Json fonts = Json::array();
    for (const auto& [number, name] : doc.fonts)
        fonts.push_back({{"number", number}, {"name", Utf8(name)}});
    root["fonts"] = fonts;

    Json prefs = Json::array();
    for (const RecordKey& key : doc.KeysOf(tag::kFontPrefs)) {
        const Bytes* rec = doc.Find(key);
        if (rec->size() != kFontPrefsSize || key.words[1] != 0) continue;
        prefs.push_back({{"number", key.words[0]},
                         {"font", Get16(*rec, 0)},
                         {"size", GetS16(*rec, 2)},
                         {"effects", Get16(*rec, 4)}});
    }
    root["fontPrefs"] = prefs;

    Json companions = Json::array();
    for (const RecordKey& key : doc.KeysOf(tag::kCompanion)) {
        const Bytes* rec = doc.Find(key);
        if (rec->size() != kCompanionSize || key.words[2] != 0) continue;
        companions.push_back({{"system", static_cast<int16_t>(key.words[0])},
                              {"staff", static_cast<int16_t>(key.words[1])},
                              {"value", GetS16(*rec, 0)}});
    }
    root["companions"] = companions;

    Json blocks = Json::array();
    for (const RecordKey& key : doc.KeysOf(tag::kTextBlock)) {
        const Bytes* rec = doc.Find(key);
        if (rec->size() != kTextBlockSize || key.words[1] != 0) continue;
        const uint16_t raw = Get16(*rec, kBlockRawText), kind = Get16(*rec, kBlockKind);
        if (!TextKindFromString(TextKindToString(kind))) continue;
        Json b = {{"number", key.words[0]}, {"rawText", raw}, {"kind", TextKindToString(kind)}};
        if (*rec != DefaultTextBlock(raw, kind)) b["bytes"] = ToHex(*rec);
        blocks.push_back(b);
    }
    root["textBlocks"] = blocks;

    Json texts = Json::array();
    for (const auto& [key, rec] : doc.Records()) {
        if (!IsRawTextTag(key.tag) || !TextKindFromString(TextKindToString(key.tag & 0xFFFF)))
            continue;
        if (auto text = DecodeUtf16Text(rec)) {
            texts.push_back({{"kind", TextKindToString(static_cast<uint16_t>(key.tag & 0xFFFF))},
                             {"number", key.words[0]},
                             {"text", Utf8(*text)}});
        }
    }
    root["rawTexts"] = texts;
    return root;
}

}  // namespace

bool ParseDocument(const std::string& text, Document& out, std::string* error) {
    try {
        Json root = Json::parse(text);
        ReadDocument(root, out);
        return true;
    } catch (const DocumentError& e) {
        if (error) *error = e.message;
    } catch (const Json::parse_error& e) {
        if (error) *error = std::string("not valid JSON: ") + e.what();
    }
    return false;
}

std::string WriteDocument(const Document& doc) {
    Json root = WriteSections(doc);
    // Whatever the sections do not reproduce byte for byte is written as a plain record.
    Document echo;
    std::string ignored;
    ParseDocument(root.dump(), echo, &ignored);
    Json records = Json::array();
    for (const auto& [key, bytes] : doc.Records()) {
        const Bytes* again = echo.Find(key);
        if (again != nullptr && *again == bytes) continue;
        records.push_back(
            {{"tag", TagText(key.tag)}, {"key", doc.Words(key)}, {"bytes", ToHex(bytes)}});
    }
    root["records"] = records;
    return root.dump(2) + "\n";
}

}  // namespace standin
