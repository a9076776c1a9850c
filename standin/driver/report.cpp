#include "report.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <unordered_map>

#include "numbers.h"
#include "support/utf8.h"
#include "support/xml_text.h"

namespace driver {
namespace {

// One UTF-8 sequence at `i`: its code point and length; none when the bytes are not UTF-8.
std::optional<std::pair<char32_t, size_t>> Decode(std::string_view s, size_t i) {
    const auto lead = static_cast<uint8_t>(s[i]);
    if (lead < 0x80) return std::pair<char32_t, size_t>{lead, 1};
    size_t length = 0;
    char32_t cp = 0, least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1Fu, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0Fu, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07u, least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + length > s.size()) return std::nullopt;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<uint8_t>(s[i + k]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (next & 0x3Fu);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    return std::pair{cp, length};
}

bool IsControl(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x061C || cp == 0x200E ||
           cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069) ||
           cp == 0xFFFE || cp == 0xFFFF;
}

std::string Escaped(std::string_view s, bool quoted) {
    std::string out;
    char buffer[12];
    for (size_t i = 0; i < s.size();) {
        const auto unit = Decode(s, i);
        if (!unit) {
            std::snprintf(buffer, sizeof buffer, "\\x%02x", static_cast<uint8_t>(s[i]));
            out += buffer;
            ++i;
            continue;
        }
        const auto [cp, length] = *unit;
        if (IsControl(cp)) {
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(cp));
            out += buffer;
        } else if (quoted && (cp == '"' || cp == '\\')) {
            out += '\\';
            out += static_cast<char>(cp);
        } else {
            out.append(s.substr(i, length));
        }
        i += length;
    }
    return out;
}

std::string Range(int a, int b) {
    return a == b ? std::to_string(a) : std::to_string(a) + "-" + std::to_string(b);
}

// 1,976: a count as people read it.
std::string Thousands(size_t n) {
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

std::string Pad(std::string s, size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

std::string QuotedName(const standin::GroupView& g, bool full) {
    const bool has = full ? g.hasFullName : g.hasAbbrevName;
    if (!has) return "(none)";
    return Quoted(support::Utf8(full ? g.fullName : g.abbrevName));
}

// Text for an XML text node or attribute value.
std::string Xml(std::string_view s) {
    return support::XmlEscaped(Printable(s));
}

// The picture's measures: 1,400 pixels wide, staff names left of the grid.
constexpr int kWidth = 1400, kMargin = 20, kGridLeft = 240, kGridRight = kWidth - kMargin;
constexpr int kRow = 28, kLine = 21, kNameSize = 14;
// Beyond these a picture folds what its reader does not need, so that it stays readable and
// bounded whatever the score's size: at most kMaxRows rows of staves (runs of staves away from
// the selection become one labelled row each) and kMaxGroups groups (those the command changed,
// then those nearest the selection; the legend counts the rest). In a score of more than
// kZoomMeasures measures a selection that would be narrower than kMinSelectionWidth pixels gets
// kZoomWidth pixels, and the measures before and after it share the rest.
constexpr size_t kMaxRows = 40, kMaxGroups = 20;
constexpr int kZoomMeasures = 100, kMinSelectionWidth = 160, kZoomWidth = 480, kMinFoldedWidth = 60;
constexpr const char* kSelectionColour = "#d84315";
constexpr const char* kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd",
                                    "#ff7f0e", "#8c564b", "#e377c2", "#17becf",
                                    "#808000", "#393b79", "#637939", "#7b4173"};
constexpr size_t kColourCount = sizeof kColours / sizeof kColours[0];
// Names drawn over staff lines and other bands keep a white edge, so that nothing crosses them.
constexpr const char* kHalo = " stroke=\"white\" stroke-width=\"3\" paint-order=\"stroke\"";

// One run of a name: text set in the font and size the font commands before it chose.
struct Run {
    std::string text, family;
    int size = 0;  // pixels; 0 keeps the name's size
};

// The name as it reads in the score. "^font(X)", "^size(N)" and "^nfx(N)" are the font command
// of a split suffix: the text after it is set in font X at N points; the effect bits are the
// program's to draw and are left out. Anything else stays as written.
std::vector<Run> Runs(std::string_view name) {
    std::vector<Run> runs(1);
    std::string family;
    int size = 0;
    for (size_t i = 0; i < name.size();) {
        if (name[i] == '^') {
            size_t open = i + 1;
            while (open < name.size() && std::isalpha(static_cast<unsigned char>(name[open])))
                ++open;
            const size_t close = name.find(')', open);
            if (open > i + 1 && open < name.size() && name[open] == '(' &&
                close != std::string_view::npos) {
                const std::string_view command = name.substr(i + 1, open - i - 1);
                const std::string_view argument = name.substr(open + 1, close - open - 1);
                const bool font = command == "font", sized = command == "size";
                if (font || sized || command == "nfx") {
                    if (font) family = argument;
                    if (sized) {
                        const auto points = ParseDecimal(argument).value_or(0);
                        size = points > 0 ? static_cast<int>(std::clamp<long long>(
                                                points * kNameSize / 12, 8, 28))
                                          : 0;
                    }
                    if (!runs.back().text.empty()) runs.emplace_back();
                    runs.back().family = family;
                    runs.back().size = size;
                    i = close + 1;
                    continue;
                }
            }
        }
        runs.back().text += name[i++];
    }
    return runs;
}

// The content of a <text> element for a name: the runs, and the stored text as its tooltip.
std::string NameSvg(const std::u16string& name, bool has) {
    if (!has) return "<tspan fill=\"#999\">(none)</tspan>";
    const std::string stored = support::Utf8(name);
    std::string out = "<title>" + Xml(stored) + "</title>";
    for (const Run& run : Runs(stored)) {
        if (run.text.empty()) continue;
        if (run.family.empty() && run.size == 0) {
            out += Xml(run.text);
            continue;
        }
        out += "<tspan";
        if (!run.family.empty()) out += " font-family=\"" + Xml(run.family) + "\"";
        if (run.size != 0) out += " font-size=\"" + std::to_string(run.size) + "\"";
        out += ">" + Xml(run.text) + "</tspan>";
    }
    return out;
}

using GroupId = std::pair<int16_t, int16_t>;  // owner, number

GroupId IdOf(const standin::GroupView& g) {
    return {g.owner, g.number};
}

// What the legend says of a group of a later picture, against the first.
std::string Change(const standin::GroupView& g,
                   const std::map<GroupId, standin::GroupView>& first) {
    const auto it = first.find(IdOf(g));
    if (it == first.end()) return "new";
    const standin::GroupView& was = it->second;
    const bool same = was.startStaff == g.startStaff && was.endStaff == g.endStaff &&
                      was.startMeasure == g.startMeasure && was.endMeasure == g.endMeasure &&
                      was.fullName == g.fullName && was.abbrevName == g.abbrevName &&
                      was.hasFullName == g.hasFullName && was.hasAbbrevName == g.hasAbbrevName;
    return same ? "" : "changed";
}

// A row of the grid: one staff, or a run of staves folded into one labelled row.
struct Row {
    size_t first = 0, last = 0;  // positions in the score's order
};

// Measures `first` to `last` drawn from x0 to x1.
struct Segment {
    int first = 1, last = 1, x0 = kGridLeft, x1 = kGridRight;
};

// How a group stands to the selection, nearest first: it shares the selection's top or bottom
// staff (the groups a reader may have expected to be split), crosses its staves and measures,
// crosses its staves only, or lies apart.
enum Nearness { kSharesAnEnd, kCrosses, kCrossesStaves, kApart };

class Drawing {
  public:
    Drawing(const std::vector<Picture>& pictures) : pictures_(pictures) {
        for (const Picture& p : pictures) {
            for (const auto& g : p.groups)
                colours_.emplace(IdOf(g), colours_.size() % kColourCount);
        }
        if (pictures.empty()) return;
        for (const auto& g : pictures.front().groups) first_.emplace(IdOf(g), g);
        // What the later pictures changed: groups new, changed or gone.
        for (size_t i = 1; i < pictures.size(); ++i) {
            std::set<GroupId> present;
            for (const auto& g : pictures[i].groups) {
                present.insert(IdOf(g));
                if (!Change(g, first_).empty()) changed_.insert(IdOf(g));
            }
            for (const auto& [id, g] : first_) {
                if (present.count(id) == 0) changed_.insert(id);
            }
        }
        ChooseGroups();
    }

    std::string Svg() {
        int y = 0;
        for (size_t i = 0; i < pictures_.size(); ++i) {
            if (i > 0) {
                body_ << "<line x1=\"" << kMargin << "\" y1=\"" << y + 10 << "\" x2=\""
                      << kWidth - kMargin << "\" y2=\"" << y + 10
                      << "\" stroke=\"#444\" stroke-width=\"2\"/>\n";
                y += 20;
            }
            y = Draw(pictures_[i], i, y);
        }
        std::ostringstream svg;
        svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << y
            << "\" viewBox=\"0 0 " << kWidth << " " << y
            << "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"" << kNameSize
            << "\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
            << body_.str() << "</svg>\n";
        return svg.str();
    }

  private:
    // The groups each picture draws: all of them when they are few; else those the command
    // changed, then the same unchanged groups in every picture, nearest the selection first.
    void ChooseGroups() {
        drawn_.resize(pictures_.size());
        size_t most = 0, changedMost = 0;
        for (const Picture& p : pictures_) {
            most = std::max(most, p.groups.size());
            size_t changed = 0;
            for (const auto& g : p.groups) changed += changed_.count(IdOf(g));
            changedMost = std::max(changedMost, std::min(changed, kMaxGroups));
        }
        std::set<GroupId> others;
        if (most > kMaxGroups) {
            const Picture& p = pictures_.front();
            Place(p);
            std::vector<size_t> byNearness[kApart + 1];
            for (size_t i = 0; i < p.groups.size(); ++i) {
                if (changed_.count(IdOf(p.groups[i])) == 0)
                    byNearness[NearnessOf(p, p.groups[i])].push_back(i);
            }
            for (const auto& bucket : byNearness) {
                for (size_t i : bucket) {
                    if (others.size() + changedMost >= kMaxGroups) break;
                    others.insert(IdOf(p.groups[i]));
                }
            }
        }
        for (size_t k = 0; k < pictures_.size(); ++k) {
            const Picture& p = pictures_[k];
            size_t changed = 0;
            for (size_t i = 0; i < p.groups.size(); ++i) {
                const GroupId id = IdOf(p.groups[i]);
                const bool isChanged = changed_.count(id) != 0;
                if (most <= kMaxGroups || others.count(id) != 0 ||
                    (isChanged && changed < kMaxGroups)) {
                    drawn_[k].push_back(i);
                }
                changed += isChanged ? 1 : 0;
            }
        }
    }

    // Each staff's position in the score's order, for the picture about to be drawn.
    void Place(const Picture& p) {
        positions_.clear();
        for (size_t i = 0; i < p.staves.size(); ++i) positions_.emplace(p.staves[i].first, i);
    }

    Nearness NearnessOf(const Picture& p, const standin::GroupView& g) const {
        if (!p.selection) return kApart;
        const MarkedSelection& s = *p.selection;
        const auto top = positions_.find(g.startStaff), bottom = positions_.find(g.endStaff);
        const auto selectedTop = positions_.find(s.topStaff);
        const auto selectedBottom = positions_.find(s.bottomStaff);
        if (top == positions_.end() || bottom == positions_.end() ||
            selectedTop == positions_.end() || selectedBottom == positions_.end()) {
            return kApart;
        }
        const bool staves =
            top->second <= selectedBottom->second && bottom->second >= selectedTop->second;
        const bool measures = g.startMeasure <= s.lastMeasure && g.endMeasure >= s.firstMeasure;
        if (measures && (g.startStaff == s.topStaff || g.endStaff == s.bottomStaff))
            return kSharesAnEnd;
        if (staves) return measures ? kCrosses : kCrossesStaves;
        return kApart;
    }

    // The rows of the grid: a row per staff when they are few. Else the selection's top and
    // bottom staff and their neighbours, the ends of the groups drawn, and the score's first and
    // last staff keep rows of their own, as many as fit in kMaxRows; each run of staves between
    // them becomes one row.
    void Fold(const Picture& p) {
        rows_.clear();
        gridRows_.clear();
        const size_t count = p.staves.size();
        if (count <= kMaxRows) {
            for (size_t i = 0; i < count; ++i) {
                rows_.emplace(p.staves[i].first, i);
                gridRows_.push_back({i, i});
            }
            return;
        }
        std::set<size_t> kept;
        size_t rows = 1;  // one row holds every staff
        const auto keep = [&](long long position) {
            if (position < 0 || position >= static_cast<long long>(count) || rows == kMaxRows)
                return;
            const auto at = static_cast<size_t>(position);
            if (kept.count(at) != 0) return;
            // A staff kept in a run of staves splits it into the staves before and after.
            const auto next = kept.upper_bound(at);
            const size_t after = next == kept.end() ? count : *next;
            const size_t before = next == kept.begin() ? 0 : *std::prev(next) + 1;
            const size_t added = (at > before ? 1u : 0u) + (after > at + 1 ? 1u : 0u);
            if (rows + added > kMaxRows) return;
            rows += added;
            kept.insert(at);
        };
        const auto at = [&](int16_t staff) -> long long {
            const auto it = positions_.find(staff);
            return it == positions_.end() ? -1 : static_cast<long long>(it->second);
        };
        long long top = 0, bottom = static_cast<long long>(count) - 1;
        if (p.selection && at(p.selection->topStaff) >= 0 && at(p.selection->bottomStaff) >= 0) {
            top = at(p.selection->topStaff);
            bottom = at(p.selection->bottomStaff);
        }
        for (long long k : {0, 1, -1, 2, -2}) {
            keep(top + k);
            keep(bottom - k);
        }
        // The changed groups' ends first, in every picture, so that the rows stay the same.
        for (bool changed : {true, false}) {
            for (size_t k = 0; k < pictures_.size(); ++k) {
                for (size_t i : drawn_[k]) {
                    const auto& g = pictures_[k].groups[i];
                    if ((changed_.count(IdOf(g)) != 0) != changed) continue;
                    keep(at(g.startStaff));
                    keep(at(g.endStaff));
                }
            }
            if (changed) {
                keep(0);
                keep(static_cast<long long>(count) - 1);
            }
        }
        // What room is left goes to the staves around the selection's ends.
        for (long long k = 3; rows < kMaxRows && k < static_cast<long long>(count); ++k) {
            keep(top + k);
            keep(bottom - k);
            keep(top - k);
            keep(bottom + k);
        }
        size_t next = 0;
        const auto add = [&](size_t first, size_t last) {
            for (size_t i = first; i <= last; ++i)
                rows_.emplace(p.staves[i].first, gridRows_.size());
            gridRows_.push_back({first, last});
        };
        for (size_t position : kept) {
            if (position > next) add(next, position - 1);
            add(position, position);
            next = position + 1;
        }
        if (next < count) add(next, count - 1);
    }

    // The measures across: in proportion, unless the score is long and the selection would be
    // narrow. Then the selection and a quarter of its length on either side take kZoomWidth
    // pixels, and the measures before and after share the rest.
    void Measures(const Picture& p) {
        segments_.assign(1, Segment{1, measures_, kGridLeft, kGridRight});
        if (!p.selection || measures_ <= kZoomMeasures) return;
        const int first = p.selection->firstMeasure, last = p.selection->lastMeasure;
        if (first < 1 || last < first || last > measures_) return;
        const int width = kGridRight - kGridLeft, length = last - first + 1;
        if (static_cast<long long>(length) * width / measures_ >= kMinSelectionWidth) return;
        const int from = std::max(1, first - std::max(1, length / 4));
        const int to = std::min(measures_, last + std::max(1, length / 4));
        const int before = from - 1, after = measures_ - to, rest = width - kZoomWidth;
        int left = 0;
        if (after == 0) {
            left = rest;
        } else if (before > 0) {
            left = std::clamp(
                static_cast<int>(static_cast<long long>(rest) * before / (before + after)),
                kMinFoldedWidth, rest - kMinFoldedWidth);
        }
        segments_.clear();
        if (before > 0) segments_.push_back({1, from - 1, kGridLeft, kGridLeft + left});
        segments_.push_back({from, to, kGridLeft + left, kGridLeft + left + kZoomWidth});
        if (after > 0)
            segments_.push_back({to + 1, measures_, kGridLeft + left + kZoomWidth, kGridRight});
        segments_.back().x1 = kGridRight;
    }

    // Draws one picture from `top` down; the y below it.
    int Draw(const Picture& p, size_t index, int top) {
        measures_ = std::max(p.measureCount, 1);
        Place(p);
        drawing_ = &drawn_[index];
        Fold(p);
        Measures(p);
        const int rows = static_cast<int>(gridRows_.size());
        const int gridTop = top + 84, gridBottom = gridTop + std::max(rows, 1) * kRow;
        const std::string clip = "p" + std::to_string(index);

        body_ << "<text x=\"" << kMargin << "\" y=\"" << top + 30
              << "\" font-size=\"22\" font-weight=\"bold\">" << Xml(p.title) << "</text>\n";
        if (p.selection) {
            body_ << "<text x=\"" << kMargin + 110 << "\" y=\"" << top + 30 << "\" fill=\""
                  << kSelectionColour << "\">" << Xml(p.selection->description) << "</text>\n";
        }
        Axis(p, gridTop, gridBottom);
        Staves(p, gridTop, clip);
        if (p.selection) Selection(*p.selection, gridTop, gridBottom, false);
        Depths(p);
        for (size_t i : *drawing_) Band(p, i, gridTop, clip);
        if (p.selection) Selection(*p.selection, gridTop, gridBottom, true);
        if (rows == 0) {
            body_ << "<text x=\"" << kGridLeft << "\" y=\"" << gridTop + 18
                  << "\" fill=\"#999\">(no staves)</text>\n";
        }
        return Legend(p, index, gridBottom + 24, clip);
    }

    int X(int measure) const {  // left edge of the measure; measures_ + 1 is the grid's end
        const int m = std::clamp(measure, 1, measures_ + 1);
        for (const Segment& s : segments_) {
            if (m <= s.last) return s.x0 + (m - s.first) * (s.x1 - s.x0) / (s.last - s.first + 1);
        }
        return kGridRight;
    }
    int RowTop(size_t row, int gridTop) const { return gridTop + static_cast<int>(row) * kRow; }

    // Measure numbers, spaced so that they never touch, and the barlines; where the scale
    // changes, a break mark.
    void Axis(const Picture& p, int gridTop, int bottom) {
        // Room for a number of the score's digits.
        const int room = std::max(30, 8 * static_cast<int>(std::to_string(measures_).size()) + 6);
        auto label = [&](int x, const std::string& text, bool selected) {
            body_ << "<text x=\"" << x << "\" y=\"" << gridTop - 10
                  << "\" text-anchor=\"middle\" font-size=\"12\" fill=\""
                  << (selected ? kSelectionColour : "#666") << "\""
                  << (selected ? " font-weight=\"bold\"" : "") << ">" << text << "</text>\n";
        };
        auto centre = [&](int first, int last) { return (X(first) + X(last + 1)) / 2; };
        // The selection's first and last measure, as one label where two would touch.
        struct Label {
            int x;
            std::string text;
        };
        std::vector<Label> marked;
        if (p.selection && p.selection->firstMeasure <= p.selection->lastMeasure) {
            const int first = std::max<int>(p.selection->firstMeasure, 1);
            const int last = std::min<int>(p.selection->lastMeasure, measures_);
            if (first == last) {
                marked.push_back({centre(first, first), std::to_string(first)});
            } else if (centre(last, last) - centre(first, first) < 40) {
                marked.push_back(
                    {centre(first, last), std::to_string(first) + "\u2013" + std::to_string(last)});
            } else {
                marked.push_back({centre(first, first), std::to_string(first)});
                marked.push_back({centre(last, last), std::to_string(last)});
            }
        }
        auto clear = [&](int x) {
            return std::none_of(marked.begin(), marked.end(), [&](const Label& l) {
                return std::abs(l.x - x) < 24 + 4 * static_cast<int>(l.text.size());
            });
        };
        std::optional<int> previous;  // the last label of the segment before
        for (const Segment& s : segments_) {
            const double width = static_cast<double>(s.x1 - s.x0) / (s.last - s.first + 1);
            int step = 1;
            for (int k : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000}) {
                step = k;
                if (k * width >= room) break;
            }
            const std::optional<int> before = previous;
            const int firstRound = (s.first / step + 1) * step;
            for (int m = s.first; m <= s.last; ++m) {
                if (width >= 4 || m % step == 1 || step == 1) {
                    body_ << "<line x1=\"" << X(m) << "\" y1=\"" << gridTop << "\" x2=\"" << X(m)
                          << "\" y2=\"" << bottom << "\" stroke=\"#e4e4e4\"/>\n";
                }
                // The segment's first measure is numbered when the next number is far enough.
                const bool regular =
                    (m == s.first && (firstRound - m) * width >= room) || m % step == 0;
                const int x = centre(m, m);
                if (regular && clear(x) && (!before || x - *before >= room)) {
                    label(x, std::to_string(m), false);
                    previous = x;
                }
            }
            if (s.first > 1) Break(s.x0, gridTop, bottom);
        }
        for (const Label& l : marked) label(l.x, l.text, true);
        body_ << "<line x1=\"" << X(measures_ + 1) << "\" y1=\"" << gridTop << "\" x2=\""
              << X(measures_ + 1) << "\" y2=\"" << bottom << "\" stroke=\"#e4e4e4\"/>\n";
    }

    // Two strokes above and below the grid where the measures change their scale.
    void Break(int x, int gridTop, int bottom) {
        for (int y : {gridTop - 2, bottom + 10}) {
            body_ << "<path d=\"M" << x - 5 << "," << y << " l5,-9 M" << x << "," << y
                  << " l5,-9\" stroke=\"#666\" stroke-width=\"1.5\"/>\n";
        }
    }

    void Staves(const Picture& p, int gridTop, const std::string& clip) {
        std::set<int16_t> hidden;
        if (p.selection) hidden.insert(p.selection->hidden.begin(), p.selection->hidden.end());
        body_ << "<clipPath id=\"" << clip << "-names\"><rect x=\"0\" y=\"" << gridTop
              << "\" width=\"" << kGridLeft - 10 << "\" height=\"" << gridRows_.size() * kRow
              << "\"/></clipPath>\n<g clip-path=\"url(#" << clip << "-names)\">\n";
        for (size_t i = 0; i < gridRows_.size(); ++i) {
            const Row& row = gridRows_[i];
            const auto& staff = p.staves[row.first];
            const int middle = RowTop(i, gridTop) + kRow / 2;
            const bool isHidden = row.first == row.last && hidden.count(staff.first) != 0;
            const bool selected = p.selection && !isHidden && Within(i, *p.selection);
            body_ << "<text x=\"" << kGridLeft - 12 << "\" y=\"" << middle + 5
                  << "\" text-anchor=\"end\" font-size=\"13\""
                  << (selected ? " font-weight=\"bold\"" : "")
                  << (isHidden ? " font-style=\"italic\" fill=\"#999\"" : "");
            if (row.first == row.last) {
                body_ << ">" << Xml(staff.second) << " <tspan fill=\"#888\">(" << staff.first
                      << ")</tspan></text>\n";
            } else {
                body_ << " font-style=\"italic\" fill=\"#777\">" << row.last - row.first + 1
                      << " staves <tspan fill=\"#888\">(" << staff.first << " to "
                      << p.staves[row.last].first << ")</tspan></text>\n";
            }
        }
        body_ << "</g>\n";
        for (size_t i = 0; i < gridRows_.size(); ++i) {
            const int middle = RowTop(i, gridTop) + kRow / 2;
            if (gridRows_[i].first != gridRows_[i].last) {
                // Folded staves: a grey band, not a staff line.
                body_ << "<rect x=\"" << kGridLeft << "\" y=\"" << RowTop(i, gridTop) + 3
                      << "\" width=\"" << kGridRight - kGridLeft << "\" height=\"" << kRow - 6
                      << "\" fill=\"#ececec\"/>\n";
                continue;
            }
            body_ << "<line x1=\"" << kGridLeft << "\" y1=\"" << middle << "\" x2=\"" << kGridRight
                  << "\" y2=\"" << middle << "\" stroke=\"#bbb\" stroke-width=\"1.5\"/>\n";
        }
    }

    bool Within(size_t row, const MarkedSelection& s) const {
        const auto top = rows_.find(s.topStaff), bottom = rows_.find(s.bottomStaff);
        return top != rows_.end() && bottom != rows_.end() && top->second <= row &&
               row <= bottom->second;
    }

    // The selected staves and measures: a tint under the groups, a dashed frame above them.
    void Selection(const MarkedSelection& s, int gridTop, int gridBottom, bool frame) {
        const auto top = rows_.find(s.topStaff), bottom = rows_.find(s.bottomStaff);
        if (top == rows_.end() || bottom == rows_.end() || bottom->second < top->second ||
            s.lastMeasure < s.firstMeasure) {
            return;
        }
        const int x1 = X(s.firstMeasure), x2 = X(s.lastMeasure + 1);
        const int y1 = std::max(RowTop(top->second, gridTop), gridTop);
        const int y2 = std::min(RowTop(bottom->second, gridTop) + kRow, gridBottom);
        body_ << "<rect x=\"" << x1 << "\" y=\"" << y1 << "\" width=\"" << std::max(x2 - x1, 2)
              << "\" height=\"" << y2 - y1 << "\" ";
        if (frame) {
            body_ << "fill=\"none\" stroke=\"" << kSelectionColour
                  << "\" stroke-width=\"3\" stroke-dasharray=\"9 5\"/>\n";
        } else {
            body_ << "fill=\"#ffe082\" fill-opacity=\"0.45\"/>\n";
        }
    }

    // How deep each drawn group is nested: one level further in than the deepest group that
    // holds it (over more staves, its own included, sharing measures). Each level sets a band
    // further in.
    void Depths(const Picture& p) {
        depths_.assign(p.groups.size(), 0);
        std::vector<size_t> order;
        for (size_t i : *drawing_) {
            if (Drawable(p, p.groups[i])) order.push_back(i);
        }
        auto span = [&](size_t i) {
            return rows_.at(p.groups[i].endStaff) - rows_.at(p.groups[i].startStaff);
        };
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return span(a) > span(b); });
        for (size_t k = 0; k < order.size(); ++k) {
            const auto& g = p.groups[order[k]];
            const size_t top = rows_.at(g.startStaff), bottom = rows_.at(g.endStaff);
            for (size_t h = 0; h < k; ++h) {
                const auto& outer = p.groups[order[h]];
                if (rows_.at(outer.startStaff) <= top && rows_.at(outer.endStaff) >= bottom &&
                    span(order[h]) > span(order[k]) && outer.startMeasure <= g.endMeasure &&
                    g.startMeasure <= outer.endMeasure) {
                    depths_[order[k]] = std::max(depths_[order[k]], depths_[order[h]] + 1);
                }
            }
        }
    }

    bool Drawable(const Picture& p, const standin::GroupView& g) const {
        const auto top = rows_.find(g.startStaff), bottom = rows_.find(g.endStaff);
        return top != rows_.end() && bottom != rows_.end() && top->second <= bottom->second &&
               g.startMeasure <= g.endMeasure && g.startMeasure <= p.measureCount &&
               g.endMeasure >= 1;
    }

    // One group: a tinted band over its staves and measures, a bracket at its left, and its
    // names inside it, clipped to it.
    void Band(const Picture& p, size_t index, int gridTop, const std::string& clip) {
        const auto& g = p.groups[index];
        if (!Drawable(p, g)) return;
        const int depth = depths_[index], inset = 4 * std::min(depth, 3);
        const int x1 = X(g.startMeasure) + 1, x2 = std::max(X(g.endMeasure + 1) - 1, x1 + 2);
        const int y1 = RowTop(rows_.at(g.startStaff), gridTop) + 2 + inset;
        const int y2 = RowTop(rows_.at(g.endStaff), gridTop) + kRow - 2 - inset;
        const char* colour = kColours[colours_.at(IdOf(g))];
        const std::string id = clip + "-g" + std::to_string(index);
        body_ << "<rect x=\"" << x1 << "\" y=\"" << y1 << "\" width=\"" << x2 - x1 << "\" height=\""
              << y2 - y1 << "\" fill=\"" << colour << "\" fill-opacity=\"0.10\" stroke=\"" << colour
              << "\"/>\n";
        body_ << "<path d=\"M" << x1 + 6 << "," << y1 << " h-6 v" << y2 - y1
              << " h6\" fill=\"none\" stroke=\"" << colour << "\" stroke-width=\"3\"/>\n";
        body_ << "<clipPath id=\"" << id << "\"><rect x=\"" << x1 + 3 << "\" y=\"" << y1
              << "\" width=\"" << std::max(x2 - x1 - 6, 0) << "\" height=\"" << y2 - y1
              << "\"/></clipPath>\n";
        // Nested groups put their names at the other end, clear of the group around them.
        const bool right = depth % 2 == 1;
        const std::string anchor = right ? " text-anchor=\"end\"" : "";
        const int x = right ? x2 - 6 : x1 + 9;
        body_ << "<g clip-path=\"url(#" << id << ")\" fill=\"" << colour << "\">\n";
        body_ << "<text x=\"" << x << "\" y=\"" << y1 + 16 << "\"" << anchor << kHalo << ">"
              << NameSvg(g.fullName, g.hasFullName) << "</text>\n";
        if (y2 - y1 >= 2 * kLine) {
            body_ << "<text x=\"" << x << "\" y=\"" << y2 - 6 << "\"" << anchor << kHalo
                  << " font-style=\"italic\">" << NameSvg(g.abbrevName, g.hasAbbrevName)
                  << "</text>\n";
        }
        body_ << "</g>\n";
    }

    // One line per group; names in columns, each clipped to its column.
    int Legend(const Picture& p, size_t index, int top, const std::string& clip) {
        constexpr int kGroup = kMargin + 22, kStaves = kMargin + 90, kMeasures = kMargin + 180,
                      kChange = kMargin + 280, kFull = kMargin + 360, kAbbrev = kMargin + 880;
        body_ << "<g font-size=\"13\" fill=\"#666\" font-weight=\"bold\">"
              << "<text x=\"" << kGroup << "\" y=\"" << top << "\">group</text>"
              << "<text x=\"" << kStaves << "\" y=\"" << top << "\">staves</text>"
              << "<text x=\"" << kMeasures << "\" y=\"" << top << "\">measures</text>"
              << "<text x=\"" << kFull << "\" y=\"" << top << "\">full name</text>"
              << "<text x=\"" << kAbbrev << "\" y=\"" << top << "\">abbreviated name</text>"
              << "</g>\n";
        const std::vector<size_t>& drawn = *drawing_;
        const int rows = static_cast<int>(drawn.size() + (drawn.size() < p.groups.size() ? 1 : 0));
        for (auto [name, x, width] : {std::tuple{"full", kFull, kAbbrev - kFull - 16},
                                      std::tuple{"abbr", kAbbrev, kGridRight - kAbbrev}}) {
            body_ << "<clipPath id=\"" << clip << "-" << name << "\"><rect x=\"" << x << "\" y=\""
                  << top << "\" width=\"" << width << "\" height=\"" << (rows + 1) * kLine
                  << "\"/></clipPath>\n";
        }
        int y = top;
        for (size_t i : drawn) {
            const auto& g = p.groups[i];
            y += kLine;
            const char* colour = kColours[colours_.at(IdOf(g))];
            std::string change = index == 0 ? "" : Change(g, first_);
            if (!Drawable(p, g)) change += change.empty() ? "not drawn" : ", not drawn";
            body_ << "<rect x=\"" << kMargin << "\" y=\"" << y - 12 << "\" width=\"14\" "
                  << "height=\"14\" fill=\"" << colour << "\" fill-opacity=\"0.5\" stroke=\""
                  << colour << "\"/>\n";
            body_ << "<text y=\"" << y << "\"" << (change.empty() ? "" : " font-weight=\"bold\"")
                  << "><tspan x=\"" << kGroup << "\">" << g.owner << "/" << g.number
                  << "</tspan><tspan x=\"" << kStaves << "\">" << Range(g.startStaff, g.endStaff)
                  << "</tspan><tspan x=\"" << kMeasures << "\">"
                  << Range(g.startMeasure, g.endMeasure) << "</tspan><tspan x=\"" << kChange
                  << "\" fill=\"" << kSelectionColour << "\">" << change << "</tspan></text>\n";
            body_ << "<text x=\"" << kFull << "\" y=\"" << y << "\" clip-path=\"url(#" << clip
                  << "-full)\">" << NameSvg(g.fullName, g.hasFullName) << "</text>\n";
            body_ << "<text x=\"" << kAbbrev << "\" y=\"" << y << "\" clip-path=\"url(#" << clip
                  << "-abbr)\">" << NameSvg(g.abbrevName, g.hasAbbrevName) << "</text>\n";
        }
        if (drawn.size() < p.groups.size()) {
            y += kLine;
            body_ << "<text x=\"" << kGroup << "\" y=\"" << y << "\" fill=\"#666\">"
                  << Untold(p, index) << "</text>\n";
        }
        if (p.groups.empty()) {
            y += kLine;
            body_ << "<text x=\"" << kGroup << "\" y=\"" << y << "\" fill=\"#999\">(no groups)"
                  << "</text>\n";
        }
        return y + 20;
    }

    // The legend's line for the groups a large picture leaves out.
    std::string Untold(const Picture& p, size_t index) {
        std::vector<bool> drawn(p.groups.size(), false);
        for (size_t i : *drawing_) drawn[i] = true;
        size_t untold = 0, changed = 0, near = 0;
        for (size_t i = 0; i < p.groups.size(); ++i) {
            if (drawn[i]) continue;
            ++untold;
            changed += changed_.count(IdOf(p.groups[i]));
            near += NearnessOf(p, p.groups[i]) <= kCrosses ? 1u : 0u;
        }
        std::string text = Thousands(untold) +
                           (untold == 1 ? " further group" : " further groups") + " not drawn: ";
        if (index > 0) {
            text += changed == 0 ? "none of them changed, " : Thousands(changed) + " changed, ";
        } else if (changed != 0) {
            text += Thousands(changed) + (changed == 1 ? " changes, " : " change, ");
        }
        if (p.selection) {
            text += near == 0 ? "none" : Thousands(near);
            text += near == 1 ? " crosses the selection" : " cross the selection";
        } else {
            text += "no selection";
        }
        return text;
    }

    const std::vector<Picture>& pictures_;
    std::map<GroupId, size_t> colours_;
    std::map<GroupId, standin::GroupView> first_;
    std::set<GroupId> changed_;               // new, changed or gone in a later picture
    std::vector<std::vector<size_t>> drawn_;  // per picture: the groups drawn, in order
    // The picture being drawn.
    const std::vector<size_t>* drawing_ = nullptr;
    std::unordered_map<int16_t, size_t> positions_;  // staff number -> position in score order
    std::unordered_map<int16_t, size_t> rows_;       // staff number -> row of the grid
    std::vector<Row> gridRows_;
    std::vector<Segment> segments_;
    std::vector<int> depths_;  // per group
    int measures_ = 1;
    std::ostringstream body_;
};

}  // namespace

std::string Printable(std::string_view utf8) {
    return Escaped(utf8, false);
}

std::string PrintableLines(std::string_view utf8) {
    std::string out;
    for (size_t start = 0;;) {
        const size_t end = utf8.find('\n', start);
        out += Printable(utf8.substr(start, end - start));
        if (end == std::string_view::npos) return out;
        out += '\n';
        start = end + 1;
    }
}

std::string Quoted(std::string_view utf8) {
    return "\"" + Escaped(utf8, true) + "\"";
}

std::string GroupTable(const std::vector<standin::GroupView>& groups) {
    // Each column is as wide as its widest entry and two spaces, and never narrower than the
    // header's: numbers of six characters (-32768) or ranges of them stay apart.
    struct Row {
        std::string group, staves, measures;
    };
    std::vector<Row> rows;
    rows.reserve(groups.size());
    size_t group = 8, staves = 9, measures = 10;
    for (const auto& g : groups) {
        Row r{std::to_string(g.owner) + "/" + std::to_string(g.number),
              Range(g.startStaff, g.endStaff), Range(g.startMeasure, g.endMeasure)};
        group = std::max(group, r.group.size() + 2);
        staves = std::max(staves, r.staves.size() + 2);
        measures = std::max(measures, r.measures.size() + 2);
        rows.push_back(std::move(r));
    }
    const std::string indent(group + staves + measures, ' ');
    std::ostringstream out;
    out << "  " << Pad("group", group) << Pad("staves", staves) << Pad("measures", measures)
        << "names\n";
    for (size_t i = 0; i < groups.size(); ++i) {
        out << "  " << Pad(rows[i].group, group) << Pad(rows[i].staves, staves)
            << Pad(rows[i].measures, measures) << "full " << QuotedName(groups[i], true) << "\n  "
            << indent << "abbr " << QuotedName(groups[i], false) << "\n";
    }
    if (groups.empty()) out << "  (no groups)\n";
    return out.str();
}

std::string GroupsSvg(const std::vector<Picture>& pictures) {
    return Drawing(pictures).Svg();
}

}  // namespace driver
