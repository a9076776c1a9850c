#include "model.h"

#include <algorithm>

#include "support/utf8.h"

namespace validate {
namespace {

constexpr char16_t kPartial[] = u"Partial Measure Selection Error";
constexpr char16_t kInstrument[] = u"Multi-staff Instrument Range";
constexpr char16_t kSmall[] = u"Too small region?";
constexpr char16_t kNoGroup[] = u"No Group";
constexpr char16_t kNotRead[] = u"Score Not Fully Read";
// "Split Incomplete", the warning that Finale refused a change, never comes from the model: its
// host refuses nothing. The invariants judge it in the runs with faults. Nor does "Name Too
// Long": the model's names are far shorter than a text can hold.

int IndexOf(const std::vector<int16_t>& list, int16_t staff) {
    const auto it = std::find(list.begin(), list.end(), staff);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

// The staff at a 1-based slot of a system, 0 for none.
int16_t StaffAt(const Score& s, int16_t system, int16_t slot) {
    const std::vector<int16_t> list = StavesOf(s, system);
    return slot >= 1 && slot <= static_cast<int>(list.size()) ? list[static_cast<size_t>(slot - 1)]
                                                              : int16_t{0};
}

// Measure numbers are asked for as unsigned 16-bit numbers; 0 is never asked for.
bool MeasureExists(const Score& s, uint16_t m) {
    return m >= 1 && m <= s.measures;
}

bool IsLastMeasure(const Score& s, int16_t measure) {
    const auto m = static_cast<uint16_t>(measure);
    return MeasureExists(s, m) && !MeasureExists(s, static_cast<uint16_t>(m + 1));
}

// A multi-staff instrument's top (or bottom) staff: the one with the smallest (largest) slot in
// the score; staves the score lacks do not count.
int16_t InstrumentEnd(const Score& s, const std::array<int16_t, 3>& staves, bool top) {
    int16_t best = 0;
    int bestSlot = top ? 10000 : -10000;
    for (size_t i = 0; i < 3; ++i) {
        const int slot = IndexOf(s.staves, staves[i]) + 1;
        if (slot == 0) continue;
        if (i == 0 || (top ? slot < bestSlot : slot > bestSlot)) {
            best = staves[i];
            bestSlot = slot;
        }
    }
    return best;
}

}  // namespace

std::u16string Decimal(int value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

// The split suffix added to a name: the marker (font command, "(", prefix), the number and ")".
// A marker already there is renumbered in place: what follows it up to its number's end (a "-",
// digits, a ")", each where it is there) is replaced by the number and ")"; whatever follows
// stays.
std::u16string WithSuffix(const std::u16string& name, const std::u16string& command,
                          const std::u16string& prefix, int16_t number) {
    const std::u16string marker = command + u"(" + prefix;
    const std::u16string numbered = Decimal(number) + u")";
    const size_t at = name.find(marker);
    if (at == std::u16string::npos) return name + marker + numbered;
    const size_t digits = at + marker.size();
    size_t end = digits;
    if (end < name.size() && name[end] == u'-') ++end;  // numbers are written as signed
    while (end < name.size() && name[end] >= u'0' && name[end] <= u'9') ++end;
    if (end < name.size() && name[end] == u')') ++end;
    return name.substr(0, digits) + numbered + name.substr(end);
}

namespace {

ModelGroup Initial(const ScoreGroup& g) {
    auto text = [](const NameSpec& n) { return n.kind == NameSpec::Kind::Text ? n.text : u""; };
    auto readable = [](const NameSpec& n) {
        return n.kind == NameSpec::Kind::None || n.kind == NameSpec::Kind::Text;
    };
    return {g.owner,      g.number,       g.top,
            g.bottom,     g.first,        g.last,
            text(g.full), text(g.abbrev), readable(g.full) && readable(g.abbrev)};
}

bool KeyOrder(const ModelGroup& a, const ModelGroup& b) {
    return std::make_pair(static_cast<uint16_t>(a.owner), static_cast<uint16_t>(a.number)) <
           std::make_pair(static_cast<uint16_t>(b.owner), static_cast<uint16_t>(b.number));
}

// Cuts every matching group at the selection's boundaries; true when a piece was made.
// `unread` is set when a matching group with measures to cut off has a name the host cannot
// give: it is left alone, and that is what the command says.
bool Split(const Score& s, std::vector<ModelGroup>& groups, bool& unread) {
    const driver::Selection& sel = s.selection;
    const int16_t S = sel.startMeasure, E = sel.endMeasure;
    if (S == 1 && IsLastMeasure(s, E)) return false;
    const int16_t top = StaffAt(s, sel.system, sel.startSlot);
    const int16_t bottom = StaffAt(s, sel.endSystem.value_or(sel.system), sel.endSlot);
    // A selection whose staves do not resolve matches nothing.
    if (top == 0 || bottom == 0 || S < 1 || S > E) return false;
    const std::u16string fullCommand = NameFontCommand(s, s.fullPref);
    const std::u16string abbrevCommand = NameFontCommand(s, s.abbrevPref);
    auto cut = [&](size_t from, int16_t first, int16_t last) {
        ModelGroup piece = groups[from];
        piece.number = 1;
        for (const ModelGroup& g : groups) {
            if (g.owner == piece.owner && static_cast<uint16_t>(g.number) >= piece.number) {
                piece.number = static_cast<int16_t>(static_cast<uint16_t>(g.number) + 1);
            }
        }
        piece.first = first;
        piece.last = last;
        piece.full = WithSuffix(groups[from].full, fullCommand, u"Brisane ", piece.number);
        piece.abbrev = WithSuffix(groups[from].abbrev, abbrevCommand, u"Brs ", piece.number);
        groups.push_back(piece);
        return groups.size() - 1;
    };
    bool split = false;
    const size_t existing = groups.size();
    for (size_t i = 0; i < existing; ++i) {
        const ScoreGroup& g = s.groups[i];
        const auto span = GroupSpan(s, g, sel.system);
        if (span.first != top || span.second != bottom) continue;
        const int16_t A = groups[i].first, Z = groups[i].last;
        if (S < A || E > Z) continue;
        if (!groups[i].readable) {
            unread = unread || A < S || Z > E;
            continue;
        }
        // The piece that goes on being cut: the group itself, then its newest piece.
        size_t current = i;
        if (A < S) {
            groups[i].last = static_cast<int16_t>(S - 1);
            current = cut(i, S, Z);
            split = true;
        }
        if (Z > E && !IsLastMeasure(s, E)) {
            groups[current].last = E;
            cut(i, static_cast<int16_t>(E + 1), Z);
            split = true;
        }
    }
    return split;
}

std::string Line(int16_t owner, int16_t number, int16_t top, int16_t bottom, int16_t first,
                 int16_t last, const std::u16string& full, const std::u16string& abbrev) {
    return std::to_string(owner) + "/" + std::to_string(number) + " staves " + std::to_string(top) +
           "-" + std::to_string(bottom) + " measures " + std::to_string(first) + "-" +
           std::to_string(last) + " \"" + support::Utf8(full) + "\" / \"" + support::Utf8(abbrev) +
           "\"";
}

}  // namespace

std::vector<int16_t> StavesOf(const Score& s, int16_t system) {
    if (system == 0) return s.staves;
    return system == s.system ? s.systemStaves : std::vector<int16_t>{};
}

std::pair<int16_t, int16_t> GroupSpan(const Score& s, const ScoreGroup& g, int16_t system) {
    if (g.top == g.bottom) return {g.top, g.top};
    const int first = IndexOf(s.staves, g.top), last = IndexOf(s.staves, g.bottom);
    if (first < 0 || last < 0 || first > last) return {0, 0};
    const std::vector<int16_t> shown = StavesOf(s, system);
    int16_t top = 0, bottom = 0;
    for (int i = first; i <= last; ++i) {
        const int16_t staff = s.staves[static_cast<size_t>(i)];
        if (IndexOf(shown, staff) < 0) continue;
        if (top == 0) top = staff;
        bottom = staff;
    }
    return {top, bottom};
}

ModelOutcome RunModel(const Score& s) {
    ModelOutcome out;
    for (const ScoreGroup& g : s.groups) out.groups.push_back(Initial(g));
    const driver::Selection& sel = s.selection;
    const bool empty = sel.startMeasure == 0 && sel.endMeasure == 0;
    auto finish = [&](int16_t result) {
        out.result = result;
        std::sort(out.groups.begin(), out.groups.end(), KeyOrder);
        return out;
    };
    if (!empty && (sel.startPos != 0 || sel.endPos != 0x7FFFFFFF)) {
        out.boxes.push_back(kPartial);
        return finish(0);
    }
    if (s.hostVersion >= 0x11000000) {
        const int16_t top = StaffAt(s, sel.system, sel.startSlot);
        const int16_t bottom = StaffAt(s, sel.endSystem.value_or(sel.system), sel.endSlot);
        for (const auto& instrument : s.instruments) {
            // Staff 0 is no staff: an instrument the score does not place matches nothing.
            const int16_t instrumentTop = InstrumentEnd(s, instrument, true);
            if (instrumentTop != 0 && instrumentTop == top &&
                InstrumentEnd(s, instrument, false) == bottom) {
                out.boxes.push_back(kInstrument);
                return finish(0);
            }
        }
    }
    if (int32_t{sel.endMeasure} - int32_t{sel.startMeasure} + 1 < 3) {
        out.boxes.push_back(kSmall);
        if (s.answers.empty() || s.answers.front() != "yes") return finish(0);
    }
    // The original groups come first, in the order the host enumerates them.
    std::sort(out.groups.begin(), out.groups.end(), KeyOrder);
    Score ordered = s;
    std::sort(ordered.groups.begin(), ordered.groups.end(),
              [](auto& a, auto& b) { return KeyOrder(Initial(a), Initial(b)); });
    bool unread = false;
    const bool split = !empty && Split(ordered, out.groups, unread);
    if (unread) {
        out.boxes.push_back(kNotRead);
    } else if (!split) {
        out.boxes.push_back(kNoGroup);
    }
    return finish(split ? 1 : 0);
}

std::vector<std::string> CompareWithModel(const ModelOutcome& expected, const CommandRun& run,
                                          const std::vector<standin::GroupView>& groups) {
    std::vector<std::string> out;
    if (run.result != expected.result) {
        out.push_back("result " + std::to_string(run.result) + ", the model gives " +
                      std::to_string(expected.result));
    }
    std::vector<std::u16string> captions;
    for (const driver::ShownBox& box : run.boxes) captions.push_back(box.caption);
    if (captions != expected.boxes) {
        std::string shown, modelled;
        for (const auto& c : captions) shown += " [" + support::Utf8(c) + "]";
        for (const auto& c : expected.boxes) modelled += " [" + support::Utf8(c) + "]";
        out.push_back("boxes" + shown + ", the model gives" + modelled);
    }
    const size_t n = std::max(groups.size(), expected.groups.size());
    for (size_t i = 0; i < n; ++i) {
        std::string have = "missing", want = "none";
        if (i < groups.size()) {
            const standin::GroupView& g = groups[i];
            have = Line(g.owner, g.number, g.startStaff, g.endStaff, g.startMeasure, g.endMeasure,
                        g.fullName, g.abbrevName);
        }
        if (i < expected.groups.size()) {
            const ModelGroup& g = expected.groups[i];
            want = Line(g.owner, g.number, g.top, g.bottom, g.first, g.last, g.full, g.abbrev);
        }
        if (have != want) {
            out.push_back("group " + std::to_string(i + 1) + ": " + have + "; the model gives " +
                          want);
        }
    }
    return out;
}

driver::Scenario::Expect ExpectationsOf(const ModelOutcome& outcome) {
    driver::Scenario::Expect expect;
    expect.result = outcome.result;
    expect.boxes.emplace();
    for (const auto& caption : outcome.boxes)
        expect.boxes->push_back({support::Utf8(caption), {}, {}});
    expect.groups.emplace();
    for (const ModelGroup& g : outcome.groups) {
        driver::ExpectedGroup group;
        group.owner = g.owner;
        group.number = g.number;
        group.staves = std::make_pair(g.top, g.bottom);
        group.measures = std::make_pair(g.first, g.last);
        group.fullName = support::Utf8(g.full);
        group.abbrevName = support::Utf8(g.abbrev);
        expect.groups->push_back(group);
    }
    return expect;
}

}  // namespace validate
