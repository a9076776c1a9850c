// Draws the laid-out pictures as one SVG: each picture's title, measure numbers, staves, the
// selection, a band per group and the legend, one picture above the next.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "numbers.h"
#include "picture/labels.h"
#include "picture/layout.h"
#include "picture/picture.h"
#include "report.h"
#include "support/utf8.h"
#include "support/xml_text.h"

namespace driver {
namespace picture {
namespace {

constexpr const char* kSelectionColour = "#d84315";
constexpr const char* kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd",
                                    "#ff7f0e", "#8c564b", "#e377c2", "#17becf",
                                    "#808000", "#393b79", "#637939", "#7b4173"};
constexpr size_t kColourCount = sizeof kColours / sizeof kColours[0];
// Names drawn over staff lines and other bands keep a white edge, so that nothing crosses them.
constexpr const char* kHalo = " stroke=\"white\" stroke-width=\"3\" paint-order=\"stroke\"";

// Text for an XML text node or attribute value.
std::string Xml(std::string_view s) {
    return support::XmlEscaped(Printable(s));
}

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

// The content of a <text> element for a name: the runs, and the stored text as its tooltip;
// `none` where the group has no such name.
std::string NameSvg(const std::u16string& name, bool has, std::string_view none) {
    if (!has) return "<tspan fill=\"#999\">" + Xml(none) + "</tspan>";
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

// The pictures as SVG, drawn one at a time from their layouts.
class Drawing {
  public:
    Drawing(const std::vector<Picture>& pictures, const labels::Labels& words)
        : pictures_(pictures),
          words_(words),
          changes_(CompareWithTheFirst(pictures)),
          drawn_(ChooseGroups(pictures, changes_)),
          columns_(LegendColumns()) {
        // Beside the titles, or further right where a long title needs the room; in line in
        // every picture.
        selectionX_ = kMargin + 110;
        for (const Picture& p : pictures) {
            selectionX_ =
                std::max(selectionX_, kMargin + labels::EstimatedWidth(p.title, 22, true) + 16);
            for (const auto& g : p.groups)
                colours_.emplace(IdOf(g), colours_.size() % kColourCount);
        }
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
            y = Draw(i, y);
        }
        std::ostringstream svg;
        svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << y
            << "\" viewBox=\"0 0 " << kWidth << " " << y << "\" font-family=\""
            << Xml(words_.fontFamily) << "\" font-size=\"" << kNameSize
            << "\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
            << body_.str() << "</svg>\n";
        return svg.str();
    }

  private:
    // Draws picture `index` from `top` down; the y below it.
    int Draw(size_t index, int top) {
        const Picture& p = pictures_[index];
        layout_ = LayOut(pictures_, index, drawn_, changes_);
        const int rows = static_cast<int>(layout_.rows.grid.size());
        const int gridTop = top + 84, gridBottom = gridTop + std::max(rows, 1) * kRow;
        const std::string clip = "p" + std::to_string(index);

        body_ << "<text x=\"" << kMargin << "\" y=\"" << top + 30
              << "\" font-size=\"22\" font-weight=\"bold\">" << Xml(p.title) << "</text>\n";
        if (p.selection) {
            body_ << "<text x=\"" << selectionX_ << "\" y=\"" << top + 30 << "\" fill=\""
                  << kSelectionColour << "\">" << Xml(p.selection->description) << "</text>\n";
        }
        Axis(p, gridTop, gridBottom);
        Staves(p, gridTop, clip);
        if (p.selection) Selection(*p.selection, gridTop, gridBottom, false);
        for (size_t i : *layout_.drawn) Band(p, i, gridTop, clip);
        if (p.selection) Selection(*p.selection, gridTop, gridBottom, true);
        if (rows == 0) {
            body_ << "<text x=\"" << kGridLeft << "\" y=\"" << gridTop + 18 << "\" fill=\"#999\">"
                  << Xml(words_.noStaves) << "</text>\n";
        }
        return Legend(p, index, gridBottom + 24, clip);
    }

    int X(int measure) const { return layout_.scale.X(measure); }
    int RowTop(size_t row, int gridTop) const { return gridTop + static_cast<int>(row) * kRow; }
    size_t RowOf(int16_t staff) const { return layout_.rows.ofStaff.at(staff); }

    // Measure numbers, spaced so that they never touch, and the barlines; where the scale
    // changes, a break mark.
    void Axis(const Picture& p, int gridTop, int bottom) {
        const int measures = layout_.scale.measures;
        // Room for a number of the score's digits.
        const int room = std::max(30, 8 * static_cast<int>(std::to_string(measures).size()) + 6);
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
            const int last = std::min<int>(p.selection->lastMeasure, measures);
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
        for (const Segment& s : layout_.scale.segments) {
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
        body_ << "<line x1=\"" << X(measures + 1) << "\" y1=\"" << gridTop << "\" x2=\""
              << X(measures + 1) << "\" y2=\"" << bottom << "\" stroke=\"#e4e4e4\"/>\n";
    }

    // Two strokes above and below the grid where the measures change their scale.
    void Break(int x, int gridTop, int bottom) {
        for (int y : {gridTop - 2, bottom + 10}) {
            body_ << "<path d=\"M" << x - 5 << "," << y << " l5,-9 M" << x << "," << y
                  << " l5,-9\" stroke=\"#666\" stroke-width=\"1.5\"/>\n";
        }
    }

    void Staves(const Picture& p, int gridTop, const std::string& clip) {
        const std::vector<Row>& grid = layout_.rows.grid;
        std::set<int16_t> hidden;
        if (p.selection) hidden.insert(p.selection->hidden.begin(), p.selection->hidden.end());
        body_ << "<clipPath id=\"" << clip << "-names\"><rect x=\"0\" y=\"" << gridTop
              << "\" width=\"" << kGridLeft - 10 << "\" height=\"" << grid.size() * kRow
              << "\"/></clipPath>\n<g clip-path=\"url(#" << clip << "-names)\">\n";
        for (size_t i = 0; i < grid.size(); ++i) {
            const Row& row = grid[i];
            const auto& staff = p.staves[row.first];
            const int middle = RowTop(i, gridTop) + kRow / 2;
            const bool isHidden = row.first == row.last && hidden.count(staff.first) != 0;
            const bool selected = p.selection && !isHidden && Within(i, *p.selection);
            const bool folded = row.first != row.last;
            std::string count, range;
            int size = 13;
            if (folded) {
                count = words_.foldedStaves(row.last - row.first + 1);
                range = words_.foldedStaffRange(staff.first, p.staves[row.last].first);
                // A label of thousands of staves in a long word, smaller where it would not fit.
                if (labels::EstimatedWidth(count + range, size, selected) > kGridLeft - 12)
                    size = 11;
            }
            body_ << "<text x=\"" << kGridLeft - 12 << "\" y=\"" << middle + 5
                  << "\" text-anchor=\"end\" font-size=\"" << size << "\""
                  << (selected ? " font-weight=\"bold\"" : "")
                  << (isHidden ? " font-style=\"italic\" fill=\"#999\"" : "");
            if (!folded) {
                body_ << ">" << Xml(staff.second) << " <tspan fill=\"#888\">(" << staff.first
                      << ")</tspan></text>\n";
            } else {
                body_ << " font-style=\"italic\" fill=\"#777\">" << Xml(count)
                      << "<tspan fill=\"#888\">" << Xml(range) << "</tspan></text>\n";
            }
        }
        body_ << "</g>\n";
        for (size_t i = 0; i < grid.size(); ++i) {
            const int middle = RowTop(i, gridTop) + kRow / 2;
            if (grid[i].first != grid[i].last) {
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
        const auto& ofStaff = layout_.rows.ofStaff;
        const auto top = ofStaff.find(s.topStaff), bottom = ofStaff.find(s.bottomStaff);
        return top != ofStaff.end() && bottom != ofStaff.end() && top->second <= row &&
               row <= bottom->second;
    }

    // The selected staves and measures: a tint under the groups, a dashed frame above them.
    void Selection(const MarkedSelection& s, int gridTop, int gridBottom, bool frame) {
        const auto& ofStaff = layout_.rows.ofStaff;
        const auto top = ofStaff.find(s.topStaff), bottom = ofStaff.find(s.bottomStaff);
        if (top == ofStaff.end() || bottom == ofStaff.end() || bottom->second < top->second ||
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

    // One group: a tinted band over its staves and measures, a bracket at its left, and its
    // names inside it, clipped to it. Each level of nesting sets the band further in.
    void Band(const Picture& p, size_t index, int gridTop, const std::string& clip) {
        const auto& g = p.groups[index];
        if (!Drawable(p, layout_.rows, g)) return;
        const int depth = layout_.depths[index], inset = 4 * std::min(depth, 3);
        const int x1 = X(g.startMeasure) + 1, x2 = std::max(X(g.endMeasure + 1) - 1, x1 + 2);
        const int y1 = RowTop(RowOf(g.startStaff), gridTop) + 2 + inset;
        const int y2 = RowTop(RowOf(g.endStaff), gridTop) + kRow - 2 - inset;
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
              << NameSvg(g.fullName, g.hasFullName, words_.noName) << "</text>\n";
        if (y2 - y1 >= 2 * kLine) {
            body_ << "<text x=\"" << x << "\" y=\"" << y2 - 6 << "\"" << anchor << kHalo
                  << " font-style=\"italic\">"
                  << NameSvg(g.abbrevName, g.hasAbbrevName, words_.noName) << "</text>\n";
        }
        body_ << "</g>\n";
    }

    // The legend's columns, left to right; the change has no head.
    enum Column { kGroup, kStaves, kMeasures, kChange, kFull, kAbbrev, kColumns };
    struct Columns {
        int x[kColumns];
        std::string_view head[kColumns];
    };
    // Where each column starts: a head, or a mark of the change column, wider than its column
    // moves the columns after it right.
    Columns LegendColumns() const {
        Columns c = {{kMargin + 22, kMargin + 90, kMargin + 180, kMargin + 280, kMargin + 360,
                      kMargin + 880},
                     {words_.groupColumn, words_.stavesColumn, words_.measuresColumn, "",
                      words_.fullNameColumn, words_.abbreviatedNameColumn}};
        int shift = 0;
        for (int i = 0; i + 1 < kColumns; ++i) {
            int width = labels::EstimatedWidth(c.head[i], 13, true);
            if (i == kChange) {
                for (labels::Change change : {labels::Change::New, labels::Change::Changed})
                    width = std::max(width, labels::EstimatedWidth(words_.groupChange(change, true),
                                                                   kNameSize, true));
            }
            shift = std::max(shift, c.x[i] + shift + width + 10 - c.x[i + 1]);
            c.x[i + 1] += shift;
        }
        return c;
    }

    // One line per group; names in columns, each clipped to its column.
    int Legend(const Picture& p, size_t index, int top, const std::string& clip) {
        const int* x = columns_.x;
        body_ << "<g font-size=\"13\" fill=\"#666\" font-weight=\"bold\">";
        for (int i = 0; i < kColumns; ++i) {
            if (columns_.head[i].empty()) continue;
            body_ << "<text x=\"" << x[i] << "\" y=\"" << top << "\">" << Xml(columns_.head[i])
                  << "</text>";
        }
        body_ << "</g>\n";
        const std::vector<size_t>& drawn = *layout_.drawn;
        const int rows = static_cast<int>(drawn.size() + (drawn.size() < p.groups.size() ? 1 : 0));
        for (auto [name, left, width] : {std::tuple{"full", x[kFull], x[kAbbrev] - x[kFull] - 16},
                                         std::tuple{"abbr", x[kAbbrev], kGridRight - x[kAbbrev]}}) {
            body_ << "<clipPath id=\"" << clip << "-" << name << "\"><rect x=\"" << left
                  << "\" y=\"" << top << "\" width=\"" << width << "\" height=\""
                  << (rows + 1) * kLine << "\"/></clipPath>\n";
        }
        int y = top;
        for (size_t i : drawn) {
            const auto& g = p.groups[i];
            y += kLine;
            const char* colour = kColours[colours_.at(IdOf(g))];
            const std::string change =
                words_.groupChange(index == 0 ? labels::Change::None : ChangeOf(g, changes_),
                                   Drawable(p, layout_.rows, g));
            body_ << "<rect x=\"" << kMargin << "\" y=\"" << y - 12 << "\" width=\"14\" "
                  << "height=\"14\" fill=\"" << colour << "\" fill-opacity=\"0.5\" stroke=\""
                  << colour << "\"/>\n";
            body_ << "<text y=\"" << y << "\"" << (change.empty() ? "" : " font-weight=\"bold\"")
                  << "><tspan x=\"" << x[kGroup] << "\">" << g.owner << "/" << g.number
                  << "</tspan><tspan x=\"" << x[kStaves] << "\">" << Range(g.startStaff, g.endStaff)
                  << "</tspan><tspan x=\"" << x[kMeasures] << "\">"
                  << Range(g.startMeasure, g.endMeasure) << "</tspan><tspan x=\"" << x[kChange]
                  << "\" fill=\"" << kSelectionColour << "\">" << Xml(change)
                  << "</tspan></text>\n";
            body_ << "<text x=\"" << x[kFull] << "\" y=\"" << y << "\" clip-path=\"url(#" << clip
                  << "-full)\">" << NameSvg(g.fullName, g.hasFullName, words_.noName)
                  << "</text>\n";
            body_ << "<text x=\"" << x[kAbbrev] << "\" y=\"" << y << "\" clip-path=\"url(#" << clip
                  << "-abbr)\">" << NameSvg(g.abbrevName, g.hasAbbrevName, words_.noName)
                  << "</text>\n";
        }
        if (drawn.size() < p.groups.size()) {
            y += kLine;
            body_ << "<text x=\"" << x[kGroup] << "\" y=\"" << y << "\" fill=\"#666\">"
                  << Xml(Untold(p, index)) << "</text>\n";
        }
        if (p.groups.empty()) {
            y += kLine;
            body_ << "<text x=\"" << x[kGroup] << "\" y=\"" << y << "\" fill=\"#999\">"
                  << Xml(words_.noGroups) << "</text>\n";
        }
        return y + 20;
    }

    // The legend's line for the groups a large picture leaves out.
    std::string Untold(const Picture& p, size_t index) const {
        std::vector<bool> drawn(p.groups.size(), false);
        for (size_t i : *layout_.drawn) drawn[i] = true;
        size_t untold = 0, changed = 0, near = 0;
        for (size_t i = 0; i < p.groups.size(); ++i) {
            if (drawn[i]) continue;
            ++untold;
            changed += changes_.changed.count(IdOf(p.groups[i]));
            near += NearnessOf(p, layout_.positions, p.groups[i]) <= kCrosses ? 1u : 0u;
        }
        return words_.untoldGroups(untold, changed, near, index > 0, p.selection.has_value());
    }

    const std::vector<Picture>& pictures_;
    const labels::Labels& words_;
    const Changes changes_;
    const std::vector<std::vector<size_t>> drawn_;  // per picture: the groups drawn, in order
    const Columns columns_;                         // of the legend
    int selectionX_ = 0;  // where the line that describes the selection starts
    std::map<GroupId, size_t> colours_;
    Layout layout_;  // of the picture being drawn
    std::ostringstream body_;
};

}  // namespace
}  // namespace picture

std::string GroupsSvg(const std::vector<Picture>& pictures, std::string_view language) {
    return picture::Drawing(pictures, picture::labels::In(language)).Svg();
}

}  // namespace driver
