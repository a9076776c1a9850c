#include "fuzz_case.h"

#include <algorithm>
#include <set>
#include <type_traits>

#include "cases.h"
#include "model.h"

namespace validate {
namespace {

constexpr const auto& kFunctions = standin::kHostFunctions;
constexpr size_t kFunctionCount = kFunctions.size();

// Little-endian fields read from the input; missing bytes read as 0.
class Reader {
  public:
    static constexpr bool kReading = true;
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    template <typename T>
    void operator()(T& value) {
        using U = std::make_unsigned_t<T>;
        U bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i) {
            const uint8_t byte = at_ < size_ ? data_[at_++] : 0;
            bits = static_cast<U>(bits | static_cast<U>(U{byte} << (8 * i)));
        }
        value = static_cast<T>(bits);
    }

  private:
    const uint8_t* data_;
    size_t size_, at_ = 0;
};

class Writer {
  public:
    static constexpr bool kReading = false;
    template <typename T>
    void operator()(T& value) {
        const auto bits = static_cast<std::make_unsigned_t<T>>(value);
        for (size_t i = 0; i < sizeof(T); ++i)
            bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
    std::vector<uint8_t> bytes;
};

// A list: its length in one byte (at most `max`), then each item.
template <typename Io, typename T, typename Each>
void List(Io& io, std::vector<T>& items, size_t max, Each each) {
    auto count = static_cast<uint8_t>(std::min(items.size(), max));
    io(count);
    if constexpr (Io::kReading) items.assign(count % (max + 1), T{});
    for (size_t i = 0; i < count % (max + 1); ++i) each(items[i]);
}

// A text of at most 255 units, each one byte.
template <typename Io>
void Text(Io& io, std::u16string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    List(io, bytes, 255, [&](uint8_t& b) { io(b); });
    if constexpr (Io::kReading) text.assign(bytes.begin(), bytes.end());
}

template <typename Io, typename E>
void Enum(Io& io, E& value, uint8_t count) {
    auto raw = static_cast<uint8_t>(value);
    io(raw);
    if constexpr (Io::kReading) value = static_cast<E>(raw % count);
}

template <typename Io>
void Selection(Io& io, driver::Selection& s) {
    // The 20-byte region record, field by field.
    int16_t endSystem = s.endSystem.value_or(s.system);
    io(s.system);
    io(s.startSlot);
    io(s.startMeasure);
    io(s.startPos);
    io(endSystem);
    io(s.endSlot);
    io(s.endMeasure);
    io(s.endPos);
    if constexpr (Io::kReading) {
        if (endSystem != s.system) s.endSystem = endSystem;
    }
}

template <typename Io>
void Answers(Io& io, std::vector<std::string>& answers) {
    uint8_t bits = static_cast<uint8_t>(std::min<size_t>(answers.size(), 2));
    for (size_t i = 0; i < answers.size() && i < 2; ++i) {
        if (answers[i] == "yes") bits = static_cast<uint8_t>(bits | (4 << i));
    }
    io(bits);
    if constexpr (Io::kReading) {
        answers.clear();
        for (int i = 0; i < std::min(bits & 3, 2); ++i)
            answers.push_back(bits & (4 << i) ? "yes" : "no");
    }
}

template <typename Io>
void Group(Io& io, ScoreGroup& g) {
    for (int16_t* field : {&g.owner, &g.number, &g.top, &g.bottom, &g.first, &g.last}) io(*field);
    for (NameSpec* name : {&g.full, &g.abbrev}) {
        Enum(io, name->kind, 4);
        if (name->kind == NameSpec::Kind::Text) Text(io, name->text);
    }
    for (size_t at = 6; at < 32; ++at) {
        if (at < 22 || at >= 24) io(g.record[at]);
    }
}

enum class FaultKind : uint8_t { Fail, FailWriting, Size, Unterminated, Key, Cycle, FullName };

template <typename Io>
void Fault(Io& io, driver::Scenario::Fault& f) {
    using Kind = standin::WrongAnswer::Kind;
    auto function =
        static_cast<uint8_t>(std::find(std::begin(kFunctions), std::end(kFunctions), f.function) -
                             std::begin(kFunctions));
    auto nth = static_cast<uint8_t>(std::clamp(f.nth, 0, 255));
    FaultKind kind = f.bytes ? FaultKind::FailWriting : FaultKind::Fail;
    if (f.answer) {
        const FaultKind kinds[] = {FaultKind::Size, FaultKind::Unterminated, FaultKind::Key,
                                   FaultKind::Cycle, FaultKind::FullName};
        kind = kinds[static_cast<size_t>(f.answer->kind)];
    }
    io(function);
    io(nth);
    Enum(io, kind, 7);
    if constexpr (Io::kReading) {
        f = driver::Scenario::Fault{};
        f.function = std::string(kFunctions[function % kFunctionCount]);
        f.nth = nth;
        if (kind == FaultKind::FailWriting) f.bytes.emplace();
        if (kind >= FaultKind::Size) {
            f.answer.emplace();
            const Kind answers[] = {Kind::Size, Kind::Unterminated, Kind::Key, Kind::Cycle,
                                    Kind::FullName};
            f.answer->kind = answers[static_cast<size_t>(kind) - 2];
        }
    }
    if (f.bytes) List(io, *f.bytes, 64, [&](uint8_t& b) { io(b); });
    if (!f.answer) return;
    if (f.answer->kind == Kind::Size) io(f.answer->size);
    if (f.answer->kind == Kind::Key) {
        List(io, f.answer->key, 4, [&](uint16_t& w) { io(w); });
        auto fails = static_cast<uint8_t>(f.answer->fails);
        io(fails);
        // A creation reported under another number than the record made cannot be told from a
        // good one: a creation that writes a key fails.
        f.answer->fails = (fails & 1) != 0 || f.function == "FX_CreateEData";
    }
    if (f.answer->kind == Kind::Cycle) {
        auto limit = static_cast<uint8_t>(std::clamp(f.answer->limit, 0, 255));
        io(limit);
        f.answer->limit = limit;
        // The record it leads back to, from the first or the last; never 0.
        auto to = static_cast<int8_t>(std::clamp(f.answer->to, -128, 127));
        io(to);
        f.answer->to = to == 0 ? 1 : to;
    }
}

template <typename Io>
void Transfer(Io& io, FuzzCase& c) {
    Score& s = c.score;
    io(s.hostVersion);
    Selection(io, s.selection);
    Answers(io, s.answers);
    List(io, s.staves, 8, [&](int16_t& staff) { io(staff); });
    io(s.system);
    List(io, s.systemStaves, 8, [&](int16_t& staff) { io(staff); });
    auto measures = static_cast<uint8_t>(s.measures);
    io(measures);
    s.measures = measures;
    List(io, s.fonts, 3, [&](auto& font) {
        io(font.first);
        Text(io, font.second);
    });
    for (std::optional<FontPref>* pref : {&s.fullPref, &s.abbrevPref}) {
        uint8_t present = pref->has_value();
        io(present);
        if constexpr (Io::kReading) {
            pref->reset();
            if (present & 1) pref->emplace();
        }
        if (*pref) {
            io((*pref)->font);
            io((*pref)->size);
            io((*pref)->effects);
        }
    }
    List(io, s.groups, 8, [&](ScoreGroup& g) { Group(io, g); });
    List(io, s.instruments, 3, [&](std::array<int16_t, 3>& staves) {
        for (int16_t& staff : staves) io(staff);
    });
    List(io, c.faults, 4, [&](driver::Scenario::Fault& f) { Fault(io, f); });
}

bool HasZero(const std::u16string& text) {
    return text.find(u'\0') != std::u16string::npos;
}

// A score the model speaks for: distinct staves, groups with their own small numbers, names
// and fonts without a 0 in them, and no faults.
bool ModelSpeaksFor(const FuzzCase& c) {
    const Score& s = c.score;
    if (!c.faults.empty() || s.measures < 1) return false;
    const std::set<int16_t> staves(s.staves.begin(), s.staves.end());
    if (staves.size() != s.staves.size() || *staves.begin() < 1) return false;
    if (s.system == 0 && !s.systemStaves.empty()) return false;
    for (int16_t staff : s.systemStaves) {
        if (staves.count(staff) == 0) return false;
    }
    std::set<std::pair<int16_t, int16_t>> keys;
    for (const ScoreGroup& g : s.groups) {
        if (g.owner < 0 || g.number < 1 || g.number > 30000 ||
            !keys.insert({g.owner, g.number}).second) {
            return false;
        }
        if (HasZero(g.full.text) || HasZero(g.abbrev.text)) return false;
    }
    std::set<uint16_t> fonts;
    for (const auto& [number, name] : s.fonts) {
        if (HasZero(name) || !fonts.insert(number).second) return false;
    }
    return true;
}

}  // namespace

FuzzCase DecodeFuzzCase(const uint8_t* data, size_t size) {
    FuzzCase c;
    Reader reader(data, size);
    Transfer(reader, c);
    return c;
}

std::vector<uint8_t> EncodeFuzzCase(const FuzzCase& fuzzCase) {
    FuzzCase copy = fuzzCase;
    Writer writer;
    Transfer(writer, copy);
    return writer.bytes;
}

std::vector<std::string> JudgeFuzzCase(const Plugin& plugin, const FuzzCase& c) {
    standin::Host& host = standin::Host::Instance();
    BuildScore(c.score, host);
    driver::Scenario scenario;
    scenario.hostVersion = c.score.hostVersion;
    scenario.selection = c.score.selection;
    scenario.answers = c.score.answers;
    scenario.faults = c.faults;
    // An enumeration that cycles must end at the first repeated key; the command enumerates the
    // groups and the instruments once each.
    const bool cycles = std::any_of(c.faults.begin(), c.faults.end(), [](auto& f) {
        return f.answer && f.answer->kind == standin::WrongAnswer::Kind::Cycle;
    });
    const size_t records = c.score.groups.size() + c.score.instruments.size();
    const CaseRun run = RunCase(plugin, host, scenario, cycles ? 2 * records + 8 : 0);
    std::vector<std::string> failures = run.violations;
    if (ModelSpeaksFor(c)) {
        for (std::string& d : CompareWithModel(RunModel(c.score), run.command, host.Groups())) {
            failures.push_back(std::move(d));
        }
    }
    return failures;
}

driver::Scenario ScenarioOfFuzzCase(const FuzzCase& c, const std::string& name) {
    standin::Host& host = standin::Host::Instance();
    BuildScore(c.score, host);
    driver::Scenario scenario;
    scenario.name = name;
    scenario.document = host.SaveDocumentJson();
    scenario.hostVersion = c.score.hostVersion;
    scenario.selection = c.score.selection;
    scenario.answers = c.score.answers;
    scenario.faults = c.faults;
    if (ModelSpeaksFor(c)) scenario.expect = ExpectationsOf(RunModel(c.score));
    return scenario;
}

std::vector<std::vector<uint8_t>> SeedInputs(size_t count) {
    std::vector<std::vector<uint8_t>> inputs;
    for (size_t i = 0; i < count; ++i) {
        Random random = CaseRandom(0x5EED, i);
        FuzzCase c;
        c.score = RandomScore(random);
        if (i % 3 == 1) {
            driver::Scenario::Fault fault;
            fault.function = std::string(kFunctions[static_cast<size_t>(
                random.Between(0, static_cast<int>(kFunctionCount) - 1))]);
            fault.nth = random.Between(1, 12);
            c.faults.push_back(fault);
        }
        inputs.push_back(EncodeFuzzCase(c));
    }
    return inputs;
}

}  // namespace validate
