#include "json_document.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "standin/json_reader.h"
#include "support/utf8.h"
#include "text.h"

namespace standin {
namespace {

using json::Fail;
using json::Json;
using json::Object;

std::optional<Bytes> Hex(const Object& o, const char* field, size_t size) {
    auto text = o.String(field);
    if (!text) return std::nullopt;
    auto bytes = FromHex(*text);
    if (!bytes) Fail(o.Path(field), "expected hex digits");
    if (size != 0 && bytes->size() != size) {
        Fail(o.Path(field),
             "expected " + std::to_string(size) + " bytes, got " + std::to_string(bytes->size()));
    }
    return bytes;
}

uint16_t Kind(const Object& o, const char* field) {
    auto text = o.String(field);
    if (!text) return tag::kDefaultTextKind;
    auto kind = TextKindFromString(*text);
    if (!kind) Fail(o.Path(field), "expected two characters");
    return *kind;
}

// The program's texts end at their first 0 unit: a text holding U+0000 could not be kept whole.
std::u16string WholeText(const std::string& text, const std::string& path) {
    if (text.find('\0') != std::string::npos) {
        Fail(path, "holds U+0000, which would end the text there and lose the rest");
    }
    return support::Utf16(text);
}

uint16_t Word(const Json& j, const std::string& path) {
    // Key words are 16 bits; -1 and 65535 name the same word.
    return static_cast<uint16_t>(json::Integer(j, path, INT16_MIN, UINT16_MAX) & 0xFFFF);
}

// Where each staff stands in the score's order (staff system 0), counted from 0.
using StaffPositions = std::map<int16_t, size_t>;

StaffPositions PositionsOf(const std::vector<int16_t>& order) {
    StaffPositions positions;
    for (size_t i = 0; i < order.size(); ++i) positions.emplace(order[i], i);
    return positions;
}

// What is wrong with one field of an entry, for entries that no score could hold.
struct Problem {
    std::string field;
    std::string text;
};

std::string NotInScore(int16_t staff) {
    return "staff " + std::to_string(staff) + " is not in the score";
}

// A list of staves that must all be in the score, each once: the index of the first bad one.
std::optional<std::pair<size_t, std::string>> StaffListProblem(const StaffPositions& score,
                                                               const std::vector<int16_t>& list) {
    std::set<int16_t> seen;
    for (size_t i = 0; i < list.size(); ++i) {
        if (!score.count(list[i])) return std::pair{i, NotInScore(list[i])};
        if (!seen.insert(list[i]).second) {
            return std::pair{i, "staff " + std::to_string(list[i]) + " appears twice"};
        }
    }
    return std::nullopt;
}

struct GroupFields {
    int16_t startStaff = 0, endStaff = 0, startMeasure = 0, endMeasure = 0;
    int16_t fullNameId = 0, abbrevNameId = 0;  // 0: no name, or one still to be made
};

// The first field of a group that no score holds, and why. Measures past the document's last
// measure are not a problem: stored scores hold such groups, and the command handles them.
template <typename HasBlock>
std::optional<Problem> GroupProblem(const StaffPositions& score, const GroupFields& g,
                                    HasBlock&& hasBlock) {
    const auto top = score.find(g.startStaff), bottom = score.find(g.endStaff);
    if (top == score.end()) return Problem{"startStaff", NotInScore(g.startStaff)};
    if (bottom == score.end()) return Problem{"endStaff", NotInScore(g.endStaff)};
    if (bottom->second < top->second) {
        return Problem{"endStaff", "staff " + std::to_string(g.endStaff) +
                                       " stands above the top staff " +
                                       std::to_string(g.startStaff) + " in the score"};
    }
    if (g.startMeasure < 1) return Problem{"startMeasure", "measures count from 1"};
    if (g.endMeasure < g.startMeasure) {
        return Problem{"endMeasure", "measure " + std::to_string(g.endMeasure) +
                                         " comes before the start measure " +
                                         std::to_string(g.startMeasure)};
    }
    for (auto [field, id] :
         {std::pair{"fullNameId", g.fullNameId}, std::pair{"abbrevNameId", g.abbrevNameId}}) {
        if (id != 0 && !hasBlock(id)) {
            return Problem{field, "the document has no text block " + std::to_string(id)};
        }
    }
    return std::nullopt;
}

bool HasTextBlock(const Document& doc, int16_t id) {
    return doc.Find(RecordKey{tag::kTextBlock, {static_cast<uint16_t>(id), 0, 0}}) != nullptr;
}

// A number that may appear once in its section.
void CheckOnce(const Document& doc, const RecordKey& key, const std::string& path,
               const std::string& what) {
    if (doc.Find(key) != nullptr) Fail(path, what + " appears twice");
}

std::vector<int16_t> StaffList(const Json& array, const std::string& path) {
    std::vector<int16_t> staves;
    for (size_t i = 0; i < array.size(); ++i) {
        staves.push_back(
            static_cast<int16_t>(json::Integer(array[i], json::At(path, i), INT16_MIN, INT16_MAX)));
    }
    return staves;
}

struct PendingGroup {
    std::string path;
    GroupSpec spec;
    std::optional<int16_t> fullNameId, abbrevNameId;
};

PendingGroup ReadGroup(const Json& j, const std::string& path, const Document& doc,
                       const StaffPositions& score) {
    Object g(j, path,
             {"owner", "number", "startStaff", "endStaff", "startMeasure", "endMeasure", "fullName",
              "abbrevName", "fullNameId", "abbrevNameId", "bytes6to21", "bytes24to31"});
    PendingGroup p{path, {}, {}, {}};
    p.spec.owner = static_cast<int16_t>(g.Int("owner", INT16_MIN, INT16_MAX, 0));
    if (p.spec.owner == -1) {
        Fail(g.Path("owner"), "-1 stands for a number still to be assigned, not an owner");
    }
    p.spec.number = static_cast<int16_t>(g.Int("number", 0, INT16_MAX, 0));
    p.spec.startStaff = g.I16("startStaff");
    p.spec.endStaff = g.I16("endStaff");
    p.spec.startMeasure = g.I16("startMeasure");
    p.spec.endMeasure = g.I16("endMeasure");
    Bytes rec(kGroupSize, 0);
    if (auto b = Hex(g, "bytes6to21", 16)) std::copy(b->begin(), b->end(), rec.begin() + 6);
    if (auto b = Hex(g, "bytes24to31", 8)) std::copy(b->begin(), b->end(), rec.begin() + 24);
    p.spec.record = rec;
    auto name = [&](const char* textField, const char* idField, std::optional<int16_t>& id,
                    std::optional<std::u16string>& text) {
        auto given = g.StringOrNull(textField);
        if (given) text = WholeText(*given, g.Path(textField));
        if (!g.Has(idField)) return;
        id = g.I16(idField);
        if (*id != 0 && !HasTextBlock(doc, *id)) {
            Fail(g.Path(idField), "the document has no text block " + std::to_string(*id));
        }
        // With the block number given, the text is there for the reader and must agree.
        auto actual = doc.TextBlockText(static_cast<uint16_t>(*id));
        if (given && (!actual || support::Utf8(*actual) != *given)) {
            Fail(g.Path(textField), "differs from the text of text block " + std::to_string(*id) +
                                        "; leave out " + idField + " to make a new text");
        }
        text.reset();
    };
    name("fullName", "fullNameId", p.fullNameId, p.spec.fullName);
    name("abbrevName", "abbrevNameId", p.abbrevNameId, p.spec.abbrevName);
    const GroupFields fields{p.spec.startStaff,        p.spec.endStaff,
                             p.spec.startMeasure,      p.spec.endMeasure,
                             p.fullNameId.value_or(0), p.abbrevNameId.value_or(0)};
    if (auto problem =
            GroupProblem(score, fields, [&](int16_t id) { return HasTextBlock(doc, id); })) {
        Fail(g.Path(problem->field.c_str()), problem->text);
    }
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
    RecordKey key{tag::kGroup,
                  {static_cast<uint16_t>(p.spec.owner), static_cast<uint16_t>(number), 0}};
    const Bytes* added = number != 0 ? doc.Find(key) : nullptr;
    if (added == nullptr) Fail(p.path + ".number", "no group number left");
    Bytes rec = *added;
    if (p.fullNameId) PutS16(rec, kGroupFullNameId, *p.fullNameId);
    if (p.abbrevNameId) PutS16(rec, kGroupAbbrevNameId, *p.abbrevNameId);
    doc.Put(key, std::move(rec));
}

void ReadFonts(const Object& top, Document& doc) {
    json::ForEach(top, "fonts", [&](const Json& j, const std::string& path) {
        Object f(j, path, {"number", "name"});
        uint16_t number = f.U16("number");
        if (doc.fonts.count(number))
            Fail(f.Path("number"), "font " + std::to_string(number) + " appears twice");
        doc.fonts[number] = WholeText(f.String("name").value_or(""), f.Path("name"));
    });
}

// The score's staves in order (staff system 0), which every later section refers to.
StaffPositions ReadStaves(const Object& top, Document& doc) {
    std::vector<int16_t> order;
    json::ForEach(top, "staves", [&](const Json& j, const std::string& path) {
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
    return PositionsOf(order);
}

void ReadStaffSystems(const Object& top, const StaffPositions& score, Document& doc) {
    std::set<int16_t> systems;
    json::ForEach(top, "staffSystems", [&](const Json& j, const std::string& path) {
        Object s(j, path, {"system", "staves"});
        auto system = static_cast<int16_t>(s.Int("system", 1, INT16_MAX));
        if (!systems.insert(system).second) {
            Fail(s.Path("system"), "system " + std::to_string(system) + " appears twice");
        }
        std::vector<int16_t> list = StaffList(s.RequiredArray("staves"), s.Path("staves"));
        if (auto problem = StaffListProblem(score, list))
            Fail(json::At(s.Path("staves"), problem->first), problem->second);
        doc.SetStaffSystem(system, list);
    });
}

void ReadInstruments(const Object& top, const StaffPositions& score, Document& doc) {
    json::ForEach(top, "multiStaffInstruments", [&](const Json& j, const std::string& path) {
        Object m(j, path, {"number", "staves"});
        auto number = static_cast<uint16_t>(m.Int("number", 1, INT16_MAX));
        const Json& staves = m.RequiredArray("staves");
        if (staves.size() < 2 || staves.size() > 3) {
            Fail(m.Path("staves"), "expected two or three staff numbers");
        }
        std::vector<int16_t> list = StaffList(staves, m.Path("staves"));
        if (auto problem = StaffListProblem(score, list))
            Fail(json::At(m.Path("staves"), problem->first), problem->second);
        list.resize(3, 0);
        Bytes rec(kMultiStaffSize, 0);
        for (size_t i = 0; i < 3; ++i) PutS16(rec, i * 2, list[i]);
        const RecordKey key{tag::kMultiStaff, {number, 0, 0}};
        CheckOnce(doc, key, m.Path("number"), "instrument " + std::to_string(number));
        doc.Put(key, std::move(rec));
    });
}

void ReadFontPrefs(const Object& top, Document& doc) {
    json::ForEach(top, "fontPrefs", [&](const Json& j, const std::string& path) {
        Object p(j, path, {"number", "font", "size", "effects"});
        Bytes rec(kFontPrefsSize, 0);
        Put16(rec, 0, p.U16("font"));
        PutS16(rec, 2, p.I16("size"));
        Put16(rec, 4, static_cast<uint16_t>(p.Int("effects", 0, UINT16_MAX, 0)));
        const uint16_t number = p.U16("number");
        const RecordKey key{tag::kFontPrefs, {number, 0, 0}};
        CheckOnce(doc, key, p.Path("number"), "font preference " + std::to_string(number));
        doc.Put(key, std::move(rec));
    });
}

void ReadCompanions(const Object& top, Document& doc) {
    json::ForEach(top, "companions", [&](const Json& j, const std::string& path) {
        Object c(j, path, {"system", "staff", "value"});
        Bytes rec(kCompanionSize, 0);
        PutS16(rec, 0, c.I16("value"));
        const RecordKey key{
            tag::kCompanion,
            {static_cast<uint16_t>(c.I16("system")), static_cast<uint16_t>(c.I16("staff")), 0}};
        CheckOnce(doc, key, c.Path("staff"), "the companion of this system and staff");
        doc.Put(key, std::move(rec));
    });
}

void ReadRawTexts(const Object& top, Document& doc) {
    json::ForEach(top, "rawTexts", [&](const Json& j, const std::string& path) {
        Object r(j, path, {"kind", "number", "text"});
        auto text = r.String("text");
        if (!text) Fail(r.Path("text"), "missing");
        const uint16_t number = r.U16("number");
        const RecordKey key{tag::kRawTextBase | Kind(r, "kind"), {number, 0, 0}};
        CheckOnce(doc, key, r.Path("number"), "raw text " + std::to_string(number));
        doc.Put(key, EncodeUtf16Text(WholeText(*text, r.Path("text"))));
    });
}

void ReadTextBlocks(const Object& top, Document& doc) {
    json::ForEach(top, "textBlocks", [&](const Json& j, const std::string& path) {
        Object b(j, path, {"number", "rawText", "kind", "bytes"});
        Bytes rec = Hex(b, "bytes", kTextBlockSize).value_or(DefaultTextBlock(0, 0));
        Put16(rec, kBlockRawText, b.U16("rawText"));
        Put16(rec, kBlockKind, Kind(b, "kind"));
        const uint16_t number = b.U16("number");
        const RecordKey key{tag::kTextBlock, {number, 0, 0}};
        CheckOnce(doc, key, b.Path("number"), "text block " + std::to_string(number));
        doc.Put(key, std::move(rec));
    });
}

// Groups with their own numbers first, so that numbering the others cannot take theirs.
void ReadGroups(const Object& top, const StaffPositions& score, Document& doc) {
    std::vector<PendingGroup> groups;
    json::ForEach(top, "groups", [&](const Json& j, const std::string& path) {
        groups.push_back(ReadGroup(j, path, doc, score));
    });
    for (const PendingGroup& p : groups) {
        if (p.spec.number != 0) AddPendingGroup(p, doc);
    }
    for (const PendingGroup& p : groups) {
        if (p.spec.number == 0) AddPendingGroup(p, doc);
    }
}

// Any bytes under any key: they override what the named sections made.
void ReadRecords(const Object& top, Document& doc) {
    std::set<RecordKey> records;
    json::ForEach(top, "records", [&](const Json& j, const std::string& path) {
        Object r(j, path, {"tag", "key", "bytes"});
        uint32_t t = json::Tag(r.Required("tag"), r.Path("tag"));
        const Json& keyArray = r.RequiredArray("key");
        std::vector<uint16_t> key;
        for (size_t i = 0; i < keyArray.size(); ++i) {
            key.push_back(Word(keyArray[i], json::At(r.Path("key"), i)));
        }
        if (key.size() == 3 && doc.KeyWords(t) == 2) doc.MarkDetailTag(t);
        auto id = doc.KeyFrom(t, key);
        if (!id) {
            Fail(r.Path("key"), "records of " + TagName(t) + " take " +
                                    std::to_string(doc.KeyWords(t)) + " key words");
        }
        if (!records.insert(*id).second) Fail(r.Path("key"), "the record appears twice");
        auto bytes = Hex(r, "bytes", 0);
        if (!bytes) Fail(r.Path("bytes"), "missing");
        if (IsRawTextTag(t) && !DecodeUtf16Text(*bytes)) {
            Fail(r.Path("bytes"), "a raw text is UTF-16 units ending with a 0 unit");
        }
        doc.Put(*id, std::move(*bytes));
    });
}

// The named sections check what a score can hold; `records`, read last, take any bytes, so that
// odd data stays expressible on purpose. The sections are read in this order: the first bad
// field found is the one reported.
void ReadDocument(const Json& root, Document& doc) {
    Object top(root, "",
               {"documentNumber", "measureCount", "staves", "staffSystems", "groups",
                "multiStaffInstruments", "fonts", "fontPrefs", "companions", "textBlocks",
                "rawTexts", "records"});
    doc.documentNumber = static_cast<int16_t>(top.Int("documentNumber", INT16_MIN, INT16_MAX, 1));
    ReadFonts(top, doc);
    const StaffPositions score = ReadStaves(top, doc);
    ReadStaffSystems(top, score, doc);
    doc.SetMeasureCount(static_cast<int>(top.Int("measureCount", 0, INT16_MAX, 0)));
    ReadInstruments(top, score, doc);
    ReadFontPrefs(top, doc);
    ReadCompanions(top, doc);
    ReadRawTexts(top, doc);
    ReadTextBlocks(top, doc);
    ReadGroups(top, score, doc);
    ReadRecords(top, doc);
}

// Four characters where they read back as such; a tag whose characters begin with 0x would read
// as a number, so it is written as one, like a tag that is not printable.
std::string TagText(uint32_t t) {
    const std::string name = TagName(t);  // 'SDNG', or 0x0000ABCD
    const bool number =
        name.front() != '\'' || name.compare(1, 2, "0x") == 0 || name.compare(1, 2, "0X") == 0;
    if (!number) return name.substr(1, 4);
    char hex[11];
    std::snprintf(hex, sizeof(hex), "0x%08X", t);
    return hex;
}

bool AllZero(const Bytes& b, size_t from, size_t to) {
    return std::all_of(b.begin() + static_cast<std::ptrdiff_t>(from),
                       b.begin() + static_cast<std::ptrdiff_t>(to),
                       [](uint8_t v) { return v == 0; });
}

// Entries the reader would refuse (a list naming a staff the score lacks, a group no score
// holds) stay out of the sections: `records` carries them byte for byte.

Json WriteStaves(const Document& doc) {
    Json staves = Json::array();
    for (int16_t staff : doc.StaffSystem(0)) {
        Json s = {{"number", staff}};
        if (auto it = doc.staffNames.find(staff); it != doc.staffNames.end())
            s["name"] = it->second;
        staves.push_back(s);
    }
    return staves;
}

Json WriteStaffSystems(const Document& doc, const StaffPositions& score) {
    Json systems = Json::array();
    std::set<uint16_t> systemNumbers;
    for (const RecordKey& key : doc.KeysOf(tag::kSystemStaff)) {
        if (key.words[0] != 0 && key.words[0] <= INT16_MAX) systemNumbers.insert(key.words[0]);
    }
    for (uint16_t system : systemNumbers) {
        std::vector<int16_t> list = doc.StaffSystem(static_cast<int16_t>(system));
        if (StaffListProblem(score, list)) continue;
        systems.push_back({{"system", system}, {"staves", list}});
    }
    return systems;
}

Json WriteInstruments(const Document& doc, const StaffPositions& score) {
    Json instruments = Json::array();
    for (const RecordKey& key : doc.KeysOf(tag::kMultiStaff)) {
        const Bytes* rec = doc.Find(key);
        if (rec->size() != kMultiStaffSize || key.words[1] != 0 || key.words[0] == 0 ||
            key.words[0] > INT16_MAX) {
            continue;
        }
        std::vector<int16_t> list = {GetS16(*rec, 0), GetS16(*rec, 2)};
        if (GetS16(*rec, 4) != 0) list.push_back(GetS16(*rec, 4));
        if (StaffListProblem(score, list)) continue;
        instruments.push_back({{"number", key.words[0]}, {"staves", list}});
    }
    return instruments;
}

Json WriteFonts(const Document& doc) {
    Json fonts = Json::array();
    for (const auto& [number, name] : doc.fonts)
        fonts.push_back({{"number", number}, {"name", support::Utf8(name)}});
    return fonts;
}

Json WriteFontPrefs(const Document& doc) {
    Json prefs = Json::array();
    for (const RecordKey& key : doc.KeysOf(tag::kFontPrefs)) {
        const Bytes* rec = doc.Find(key);
        if (rec->size() != kFontPrefsSize || key.words[1] != 0) continue;
        prefs.push_back({{"number", key.words[0]},
                         {"font", Get16(*rec, 0)},
                         {"size", GetS16(*rec, 2)},
                         {"effects", Get16(*rec, 4)}});
    }
    return prefs;
}

Json WriteCompanions(const Document& doc) {
    Json companions = Json::array();
    for (const RecordKey& key : doc.KeysOf(tag::kCompanion)) {
        const Bytes* rec = doc.Find(key);
        if (rec->size() != kCompanionSize || key.words[2] != 0) continue;
        companions.push_back({{"system", static_cast<int16_t>(key.words[0])},
                              {"staff", static_cast<int16_t>(key.words[1])},
                              {"value", GetS16(*rec, 0)}});
    }
    return companions;
}

Json WriteTextBlocks(const Document& doc) {
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
    return blocks;
}

// A group may name only the text blocks the section `textBlocks` holds.
Json WriteGroups(const Document& doc, const StaffPositions& score, const Json& blocks) {
    std::set<int16_t> writtenBlocks;
    for (const Json& b : blocks)
        writtenBlocks.insert(static_cast<int16_t>(b["number"].get<uint16_t>()));
    Json groups = Json::array();
    for (const RecordKey& key : doc.KeysOf(tag::kGroup)) {
        const Bytes* rec = doc.Find(key);
        // 0xFFFF asks for a number and 0 (as a number) for the next free one: read back, either
        // would be another group.
        if (rec->size() != kGroupSize || key.words[0] == 0xFFFF || key.words[1] == 0 ||
            key.words[1] > INT16_MAX) {
            continue;
        }
        GroupView v = doc.ViewGroup(key, *rec);
        const GroupFields fields{v.startStaff, v.endStaff,   v.startMeasure,
                                 v.endMeasure, v.fullNameId, v.abbrevNameId};
        if (GroupProblem(score, fields, [&](int16_t id) { return writtenBlocks.count(id) != 0; }))
            continue;
        Json g = {{"owner", v.owner},
                  {"number", v.number},
                  {"startStaff", v.startStaff},
                  {"endStaff", v.endStaff},
                  {"startMeasure", v.startMeasure},
                  {"endMeasure", v.endMeasure}};
        g["fullName"] = v.hasFullName ? Json(support::Utf8(v.fullName)) : Json(nullptr);
        g["fullNameId"] = v.fullNameId;
        g["abbrevName"] = v.hasAbbrevName ? Json(support::Utf8(v.abbrevName)) : Json(nullptr);
        g["abbrevNameId"] = v.abbrevNameId;
        if (!AllZero(*rec, 6, 22)) g["bytes6to21"] = ToHex(rec->data() + 6, 16);
        if (!AllZero(*rec, 24, 32)) g["bytes24to31"] = ToHex(rec->data() + 24, 8);
        groups.push_back(g);
    }
    return groups;
}

Json WriteRawTexts(const Document& doc) {
    Json texts = Json::array();
    for (const auto& [key, rec] : doc.Records()) {
        if (!IsRawTextTag(key.tag) || !TextKindFromString(TextKindToString(key.tag & 0xFFFF)))
            continue;
        if (auto text = DecodeUtf16Text(rec)) {
            texts.push_back({{"kind", TextKindToString(static_cast<uint16_t>(key.tag & 0xFFFF))},
                             {"number", key.words[0]},
                             {"text", support::Utf8(*text)}});
        }
    }
    return texts;
}

// Everything the named sections can say; records they cannot reproduce are added afterwards.
Json WriteSections(const Document& doc) {
    const StaffPositions score = PositionsOf(doc.StaffSystem(0));
    const Json blocks = WriteTextBlocks(doc);
    Json root = Json::object();
    root["documentNumber"] = doc.documentNumber;
    root["measureCount"] = doc.MeasureCount();
    root["staves"] = WriteStaves(doc);
    root["staffSystems"] = WriteStaffSystems(doc, score);
    root["groups"] = WriteGroups(doc, score, blocks);
    root["multiStaffInstruments"] = WriteInstruments(doc, score);
    root["fonts"] = WriteFonts(doc);
    root["fontPrefs"] = WriteFontPrefs(doc);
    root["companions"] = WriteCompanions(doc);
    root["textBlocks"] = blocks;
    root["rawTexts"] = WriteRawTexts(doc);
    return root;
}

}  // namespace

bool ParseDocument(const std::string& text, Document& out, std::string* error) {
    try {
        ReadDocument(json::Parse(text), out);
        return true;
    } catch (const json::Error& e) {
        if (error) *error = e.message;
    }
    return false;
}

std::string WriteDocument(const Document& doc) {
    Json root = WriteSections(doc);
    // Whatever the sections do not reproduce byte for byte is written as a plain record.
    // The sections hold only what the reader accepts; were that ever not so, loading the written
    // text would name the field.
    Document echo;
    std::string error;
    if (!ParseDocument(root.dump(), echo, &error)) echo = Document{};
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
