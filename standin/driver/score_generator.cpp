#include "score_generator.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/utf8.h"

namespace driver {
namespace {

constexpr std::array<std::string_view, 5> kShapeNames = {
    "orchestral", "deep-nesting", "earlier-splits", "one-system", "several-systems"};

constexpr std::array<std::string_view, 17> kInstruments = {
    "Flute",    "Oboe",      "Clarinet", "Bassoon",    "Horn", "Trumpet",
    "Trombone", "Tuba",      "Timpani",  "Percussion", "Harp", "Piano",
    "Violin I", "Violin II", "Viola",    "Cello",      "Bass"};

constexpr uint16_t kFont = 1;
constexpr int16_t kFullSize = 12, kAbbreviatedSize = 10;
// The suffix an earlier split made with the generated score's font preferences.
constexpr char kFullMarker[] = "^font(Garamond)^size(12)^nfx(128)(Brisane ";
constexpr char kAbbreviatedMarker[] = "^font(Garamond)^size(10)^nfx(128)(Brs ";

// splitmix64: small, fast, and the same numbers on every platform.
class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Between(int low, int high) {
        return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1));
    }

  private:
    uint64_t state_;
};

struct Span {
    int first, last;  // positions in score order, from 0
};

class Builder {
  public:
    Builder(standin::Host& host, int staves) : host_(host) {
        for (int p = 0; p < staves; ++p) {
            const auto staff = static_cast<int16_t>(p + 1);
            host_.AddStaff(staff,
                           std::string(kInstruments[static_cast<size_t>(p) % kInstruments.size()]) +
                               " " + std::to_string(p + 1));
        }
    }

    // A staff system of the score's staves without those `lacks` names by position.
    std::vector<int16_t> System(int16_t system, int staves, auto lacks) {
        std::vector<int16_t> list;
        for (int p = 0; p < staves; ++p) {
            if (!lacks(p)) list.push_back(static_cast<int16_t>(p + 1));
        }
        host_.SetStaffSystem(system, list);
        return list;
    }

    void Group(const Span& staves, int start, int end, const std::string& name, int number = 0,
               bool suffixed = false) {
        standin::GroupSpec spec;
        spec.number = static_cast<int16_t>(number);
        spec.startStaff = static_cast<int16_t>(staves.first + 1);
        spec.endStaff = static_cast<int16_t>(staves.last + 1);
        spec.startMeasure = static_cast<int16_t>(start);
        spec.endMeasure = static_cast<int16_t>(end);
        std::string full = name, abbreviated = "Gr. " + name.substr(name.find(' ') + 1);
        if (suffixed) {
            full += kFullMarker + std::to_string(number) + ")";
            abbreviated += kAbbreviatedMarker + std::to_string(number) + ")";
        }
        spec.fullName = support::Utf16(full);
        spec.abbrevName = support::Utf16(abbreviated);
        host_.AddGroup(spec);
    }

  private:
    standin::Host& host_;
};

// Every range made by halving the staves again and again, widest first.
std::vector<Span> NestedSpans(int staves) {
    std::vector<Span> spans = {{0, staves - 1}};
    for (size_t i = 0; i < spans.size(); ++i) {
        const Span s = spans[i];
        if (s.first == s.last) continue;
        const int middle = s.first + (s.last - s.first) / 2;
        spans.push_back({s.first, middle});
        spans.push_back({middle + 1, s.last});
    }
    return spans;
}

// `count` measure ranges one after another from 1 to `measures`; with `keep` given, no cut
// falls inside keep.first + 1 .. keep.last, so one range holds all of it.
std::vector<std::pair<int, int>> Pieces(int count, int measures, std::optional<Span> keep) {
    std::vector<int> cuts;  // first measures of the pieces after the first
    const int wanted = count - 1;
    if (keep) {
        const int before = std::min(wanted / 2, keep->first - 2);
        const int after = std::min(wanted - before, measures - keep->last);
        for (int i = 0; i < before; ++i) cuts.push_back(2 + i * (keep->first - 1) / before);
        for (int i = 0; i < after; ++i)
            cuts.push_back(keep->last + 1 + i * (measures - keep->last) / after);
    } else {
        for (int i = 1; i <= std::min(wanted, measures - 1); ++i)
            cuts.push_back(1 + i * measures / count);
    }
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    std::vector<std::pair<int, int>> pieces;
    int start = 1;
    for (int cut : cuts) {
        pieces.emplace_back(start, cut - 1);
        start = cut;
    }
    pieces.emplace_back(start, measures);
    return pieces;
}

}  // namespace

std::string_view ShapeName(ScoreShape shape) {
    return kShapeNames[static_cast<size_t>(shape)];
}

std::optional<ScoreShape> ShapeFromName(std::string_view name) {
    for (ScoreShape shape : kScoreShapes) {
        if (ShapeName(shape) == name) return shape;
    }
    return std::nullopt;
}

Selection GenerateScore(standin::Host& host, ScoreShape shape, const ScoreSize& size) {
    const int staves = std::clamp(size.staves, 2, 2000);
    const int groups = std::clamp(size.groups, 1, 16000);
    const int measures = std::clamp(size.measures, 8, 32000);
    std::string ignored;
    host.LoadDocumentJson("{}", &ignored);
    Random random((uint64_t{static_cast<uint32_t>(staves)} << 40) ^
                  (uint64_t{static_cast<uint32_t>(groups)} << 16) ^
                  static_cast<uint64_t>(measures) ^ (static_cast<uint64_t>(shape) << 60));
    Builder build(host, staves);
    host.SetMeasureCount(measures);
    host.AddFont(kFont, u"Garamond");
    host.SetFontPref(33, kFont, kFullSize, 0);
    host.SetFontPref(39, kFont, kAbbreviatedSize, 0);
    for (int p = 3, number = 1; p + 1 < staves; p += 25, ++number) {
        host.AddMultiStaffInstrument(static_cast<int16_t>(number), static_cast<int16_t>(p + 1),
                                     static_cast<int16_t>(p + 2));
    }

    Selection selection;
    selection.startSlot = 1;
    selection.startMeasure = static_cast<int16_t>(measures / 4);
    selection.endMeasure = static_cast<int16_t>(measures / 2);
    std::vector<int16_t> shown;
    switch (shape) {
        case ScoreShape::OneSystem:
            shown.resize(static_cast<size_t>(staves));
            break;
        case ScoreShape::SeveralSystems:
            for (int16_t k = 1; k <= 4; ++k) {
                auto list = build.System(k, staves, [k](int p) { return (p + k) % (k + 5) == 0; });
                if (k == 2) shown = list;
            }
            selection.system = 2;
            break;
        default:
            shown = build.System(1, staves, [](int p) { return (p + 1) % 7 == 0; });
            selection.system = 1;
            break;
    }
    selection.endSlot = static_cast<int16_t>(shown.size());

    const Span all{0, staves - 1};
    if (shape == ScoreShape::DeepNesting) {
        const std::vector<Span> spans = NestedSpans(staves);
        for (int g = 0; g < groups; ++g) {
            const int round = g / static_cast<int>(spans.size());
            const int start = std::min(1 + round, measures / 2);
            const int end = std::max(measures - round, start);
            build.Group(spans[static_cast<size_t>(g) % spans.size()], start, end,
                        "Group " + std::to_string(g + 1));
        }
    } else if (shape == ScoreShape::EarlierSplits) {
        const int ranges = std::max(1, groups / 8);
        int number = 1;
        for (int r = 0; r < ranges; ++r) {
            Span staffSpan = all;
            if (r > 0) {
                staffSpan.first = random.Between(0, staves - 1);
                staffSpan.last = random.Between(staffSpan.first, staves - 1);
            }
            const int count = groups / ranges + (r < groups % ranges ? 1 : 0);
            const std::optional<Span> keep =
                r == 0 ? std::optional<Span>(Span{measures / 4, measures / 2}) : std::nullopt;
            const auto pieces = Pieces(count, measures, keep);
            for (size_t i = 0; i < pieces.size(); ++i, ++number) {
                build.Group(staffSpan, pieces[i].first, pieces[i].second,
                            "Group " + std::to_string(r + 1), number, i > 0);
            }
        }
    } else {
        build.Group(all, 1, measures, "Group 1");
        for (int g = 1; g < groups; ++g) {
            Span s;
            s.first = random.Between(0, staves - 1);
            s.last = random.Between(s.first, staves - 1);
            const int start = random.Between(1, measures);
            build.Group(s, start, random.Between(start, measures),
                        "Group " + std::to_string(g + 1));
        }
    }
    return selection;
}

std::optional<CommandTraffic> CountCommand(const std::string& pluginPath, ScoreShape shape,
                                           const ScoreSize& size, std::string* error) {
    standin::Host& host = standin::Host::Instance();
    host.Reset();
    const Selection selection = GenerateScore(host, shape, size);
    Session session;
    if (!session.Start(pluginPath, standin::kDefaultVersion, error)) return std::nullopt;
    host.ClearCalls();
    CommandTraffic traffic;
    traffic.result = session.Invoke(selection, ScriptedAnswers({"yes"})).result;
    traffic.hostCalls = host.CallCount();
    session.Stop();
    return traffic;
}

}  // namespace driver
