#include "score.h"

#include <algorithm>

#include "model.h"
#include "support/little_endian.h"

namespace validate {
namespace {

using Kind = NameSpec::Kind;

std::u16string Number(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

constexpr uint32_t kHostVersions[] = {0x18000000, 0x12000000, 0x11000000, 0x10FFFFFF, 0x0F000000};
const std::vector<std::u16string> kFullNames = {u"Strings",    u"Woodwinds", u"Brass", u"Choir",
                                                u"Percussion", u"Violins",   u""};
const std::vector<std::u16string> kAbbrevNames = {u"Str.",  u"Ww.",   u"Br.", u"Ch.",
                                                  u"Perc.", u"Vlns.", u""};
const std::vector<std::pair<uint16_t, std::u16string>> kFonts = {
    {1, u"Arial"}, {2, u"Garamond"}, {3, u"Bodoni"}};
const std::vector<uint16_t> kEffects = {0, 1, 2, 0x80, 0x102};

FontPref RandomPref(Random& r) {
    return {static_cast<uint16_t>(r.Between(1, 4)), static_cast<int16_t>(r.Between(6, 24)),
            r.Pick(kEffects)};
}

// A name as users leave them: plain, missing, unreadable, or carrying the suffix of an earlier
// split (made with the preference's font command or another one, its number with or without
// its ")"), with text after it or not.
NameSpec RandomName(Random& r, const Score& score, bool abbreviated) {
    NameSpec name;
    const int kind = r.Between(0, 99);
    if (kind < 10) return name;
    if (kind < 17) {
        name.kind = Kind::NoBlock;
        return name;
    }
    if (kind < 23) {
        name.kind = Kind::NoText;
        return name;
    }
    name.kind = Kind::Text;
    name.text = r.Pick(abbreviated ? kAbbrevNames : kFullNames);
    if (r.Chance(35)) {
        const std::optional<FontPref>& pref = abbreviated ? score.abbrevPref : score.fullPref;
        name.text +=
            r.Chance(70) ? NameFontCommand(score, pref) : NameFontCommand(score, RandomPref(r));
        name.text += abbreviated ? u"(Brs " : u"(Brisane ";
        if (r.Chance(85)) {
            name.text += Number(r.Between(r.Chance(5) ? -9 : 1, 40));
            if (r.Chance(90)) name.text += u")";  // a number may have lost its ")"
        }
        if (r.Chance(30)) name.text += u" con sord.";
    }
    return name;
}

int SlotOf(const std::vector<int16_t>& list, int16_t staff) {
    const auto it = std::find(list.begin(), list.end(), staff);
    return it == list.end() ? 0 : static_cast<int>(it - list.begin()) + 1;
}

void RandomSelection(Random& r, Score& s) {
    driver::Selection& sel = s.selection;
    sel.system = 0;
    if (s.system != 0 && r.Chance(40)) sel.system = s.system;
    if (r.Chance(3)) sel.system = static_cast<int16_t>(r.Between(5, 9));  // no such system
    const std::vector<int16_t> list = StavesOf(s, sel.system);
    const int count = static_cast<int>(list.size());
    sel.startSlot = static_cast<int16_t>(r.Between(1, std::max(1, count)));
    sel.endSlot =
        static_cast<int16_t>(r.Between(sel.startSlot, std::max<int>(sel.startSlot, count)));
    int first = 1, last = s.measures;
    if (!s.groups.empty() && r.Chance(75)) {
        const ScoreGroup& g = r.Pick(s.groups);
        const auto [top, bottom] = GroupSpan(s, g, sel.system);
        if (top != 0) {
            sel.startSlot = static_cast<int16_t>(SlotOf(list, top));
            sel.endSlot = static_cast<int16_t>(SlotOf(list, bottom));
        }
        first = std::max<int>(1, g.first);
        last = std::min<int>(g.last, s.measures);
        if (first > last) first = last = std::max(1, std::min<int>(g.first, s.measures));
    }
    const int mode = r.Between(0, 99);
    if (mode < 20) {  // one or two measures
        sel.startMeasure = static_cast<int16_t>(r.Between(first, last));
        sel.endMeasure = static_cast<int16_t>(std::min(last, sel.startMeasure + r.Between(0, 1)));
    } else if (mode < 35) {  // all the group's measures
        sel.startMeasure = static_cast<int16_t>(first);
        sel.endMeasure = static_cast<int16_t>(last);
    } else if (mode < 45) {  // the whole score
        sel.startMeasure = 1;
        sel.endMeasure = s.measures;
    } else if (mode < 48) {  // reversed, or past the end
        sel.startMeasure = static_cast<int16_t>(r.Between(1, s.measures + 2));
        sel.endMeasure = static_cast<int16_t>(r.Between(0, s.measures + 2));
    } else {
        sel.startMeasure = static_cast<int16_t>(r.Between(first, last));
        sel.endMeasure = static_cast<int16_t>(r.Between(sel.startMeasure, last));
    }
    if (r.Chance(3)) std::swap(sel.startSlot, sel.endSlot);
}

}  // namespace

uint64_t Random::Next() {
    // splitmix64
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Random::Between(int low, int high) {
    if (high <= low) return low;
    return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1));
}

Random CaseRandom(uint64_t seed, uint64_t index) {
    Random mix(seed ^ (index * 0xD1B54A32D192ED03ull));
    return Random(mix.Next());
}

std::u16string NameFontCommand(const Score& score, const std::optional<FontPref>& pref) {
    std::u16string name = u"Times New Roman";
    int size = 12;
    unsigned effects = 0;
    if (pref) {
        size = pref->size;
        effects = pref->effects;
        for (const auto& [number, font] : score.fonts) {
            if (number == pref->font) name = font;
        }
    }
    effects |= 0x80;
    return u"^font(" + name + u")^size(" + Number(size) + u")^nfx(" +
           Number(static_cast<int>(effects)) + u")";
}

Score RandomScore(Random& r) {
    Score s;
    s.hostVersion = r.Chance(70) ? 0x19000000 : kHostVersions[r.Between(0, 4)];
    std::vector<int16_t> pool;
    for (int16_t id = 1; id <= 60; ++id) pool.push_back(id);
    const int staves = r.Between(1, 8);
    for (int i = 0; i < staves; ++i) {
        const size_t at = static_cast<size_t>(r.Between(i, 59));
        std::swap(pool[static_cast<size_t>(i)], pool[at]);
        s.staves.push_back(pool[static_cast<size_t>(i)]);
    }
    if (r.Chance(40)) {
        s.system = static_cast<int16_t>(r.Between(1, 4));
        for (int16_t staff : s.staves) {
            if (r.Chance(70)) s.systemStaves.push_back(staff);
        }
    }
    s.measures = static_cast<int16_t>(r.Between(1, 60));
    for (const auto& font : kFonts) {
        if (r.Chance(75)) s.fonts.push_back(font);
    }
    if (r.Chance(85)) s.fullPref = RandomPref(r);
    if (r.Chance(85)) s.abbrevPref = RandomPref(r);

    int16_t lastNumber[4] = {0, 0, 0, 0};
    const int groups = r.Between(0, 6);
    for (int i = 0; i < groups; ++i) {
        ScoreGroup g;
        g.owner = static_cast<int16_t>(r.Chance(80) ? 0 : r.Between(1, 3));
        g.number = lastNumber[g.owner] =
            static_cast<int16_t>(lastNumber[g.owner] + r.Between(1, 3));
        const int shape = r.Between(0, 99);
        const int a = r.Between(0, staves - 1), b = r.Between(a, staves - 1);
        g.top = s.staves[static_cast<size_t>(a)];
        g.bottom = s.staves[static_cast<size_t>(b)];
        if (shape < 15)
            g.bottom = g.top;  // one staff
        else if (shape < 25)
            std::swap(g.top, g.bottom);  // reversed
        else if (shape < 30)
            g.bottom = static_cast<int16_t>(r.Between(61, 70));  // not in the score
        g.first = static_cast<int16_t>(r.Chance(40) ? 1 : r.Between(1, s.measures));
        if (r.Chance(15)) {
            g.last = static_cast<int16_t>(r.Between(s.measures + 1, 999));  // past the end
        } else {
            g.last =
                static_cast<int16_t>(r.Chance(40) ? s.measures : r.Between(g.first, s.measures));
        }
        if (r.Chance(3)) std::swap(g.first, g.last);
        if (r.Chance(2)) g.first = static_cast<int16_t>(r.Between(-2, 0));
        for (size_t at = 6; at < 32; ++at) {
            if (at < 22 || at >= 24)
                g.record[at] = static_cast<uint8_t>(r.Chance(60) ? 0 : r.Next());
        }
        g.full = RandomName(r, s, false);
        g.abbrev = RandomName(r, s, true);
        s.groups.push_back(g);
    }
    if (r.Chance(30)) {
        for (int i = r.Between(1, 2); i > 0; --i) {
            std::array<int16_t, 3> instrument{};
            const size_t used = r.Chance(70) ? 2 : 3;
            for (size_t k = 0; k < used; ++k) {
                instrument[k] =
                    r.Chance(90) ? r.Pick(s.staves) : static_cast<int16_t>(r.Between(61, 70));
            }
            s.instruments.push_back(instrument);
        }
    }
    RandomSelection(r, s);
    const int answer = r.Between(0, 99);
    if (answer < 85)
        s.answers = {"yes"};
    else if (answer < 95)
        s.answers = {"no"};
    return s;
}

void BuildScore(const Score& s, standin::Host& host) {
    host.Reset();
    host.SetVersion(s.hostVersion);
    for (int16_t staff : s.staves) host.AddStaff(staff, "");
    if (s.system != 0) host.SetStaffSystem(s.system, s.systemStaves);
    host.SetMeasureCount(s.measures);
    for (const auto& [number, name] : s.fonts) host.AddFont(number, name);
    if (s.fullPref) host.SetFontPref(33, s.fullPref->font, s.fullPref->size, s.fullPref->effects);
    if (s.abbrevPref) {
        host.SetFontPref(39, s.abbrevPref->font, s.abbrevPref->size, s.abbrevPref->effects);
    }
    for (size_t i = 0; i < s.instruments.size(); ++i) {
        const auto& staves = s.instruments[i];
        host.AddMultiStaffInstrument(static_cast<int16_t>(i + 1), staves[0], staves[1], staves[2]);
    }
    // Unreadable names point at numbers nothing has.
    uint16_t missing = 20000;
    auto nameId = [&](const NameSpec& name) -> int16_t {
        switch (name.kind) {
            case Kind::None:
                return 0;
            case Kind::Text:
                return static_cast<int16_t>(host.AddTextBlock(
                    0xFFFF, host.AddRawText(standin::tag::kRawText, 0xFFFF, name.text)));
            case Kind::NoBlock:
                return static_cast<int16_t>(missing++);
            case Kind::NoText:
                return static_cast<int16_t>(host.AddTextBlock(0xFFFF, missing++));
        }
        return 0;
    };
    for (const ScoreGroup& g : s.groups) {
        std::vector<uint8_t> record(g.record.begin(), g.record.end());
        support::PutS16(record, 0, g.top);
        support::PutS16(record, 2, g.bottom);
        support::PutS16(record, 4, nameId(g.full));
        support::PutS16(record, 22, nameId(g.abbrev));
        support::PutS16(record, 32, g.first);
        support::PutS16(record, 34, g.last);
        host.PutRecord(standin::tag::kGroup,
                       {static_cast<uint16_t>(g.owner), static_cast<uint16_t>(g.number), 0},
                       std::move(record));
    }
}

}  // namespace validate
