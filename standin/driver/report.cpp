#include "report.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

namespace driver {
namespace {

std::string Range(int a, int b) {
    return a == b ? std::to_string(a) : std::to_string(a) + "-" + std::to_string(b);
}

std::string Pad(std::string s, size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

std::string Quoted(const standin::GroupView& g, bool full) {
    const bool has = full ? g.hasFullName : g.hasAbbrevName;
    if (!has) return "(none)";
    // Appended, not `"\"" + text`: GCC 12 takes that for an overlapping copy (-Wrestrict).
    std::string out = "\"";
    out += standin::Utf8(full ? g.fullName : g.abbrevName);
    out += '"';
    return out;
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The name as a reader sees it on the page: text commands ("^font(...)") left out.
std::string Readable(const std::u16string& name) {
    std::string text = standin::Utf8(name), out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^') {
            const size_t open = text.find('(', i), close = text.find(')', i);
            if (open != std::string::npos && close != std::string::npos && open < close) {
                i = close;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace

std::string GroupTable(const std::vector<standin::GroupView>& groups) {
    std::ostringstream out;
    out << "  " << Pad("group", 8) << Pad("staves", 9) << Pad("measures", 10) << "names\n";
    for (const auto& g : groups) {
        out << "  " << Pad(std::to_string(g.owner) + "/" + std::to_string(g.number), 8)
            << Pad(Range(g.startStaff, g.endStaff), 9)
            << Pad(Range(g.startMeasure, g.endMeasure), 10) << "full " << Quoted(g, true) << "\n  "
            << std::string(27, ' ') << "abbr " << Quoted(g, false) << "\n";
    }
    if (groups.empty()) out << "  (no groups)\n";
    return out.str();
}

std::string GroupsSvg(const std::vector<Picture>& pictures) {
    constexpr int kStaffGap = 34, kTop = 70, kLeft = 150, kMeasureWidth = 22, kGapBetween = 60;
    std::vector<int> widths;
    int height = 0;
    for (const auto& p : pictures) {
        const int lanes = static_cast<int>(p.groups.size());
        const int measures = std::max(p.measureCount, 1);
        widths.push_back(kLeft + measures * kMeasureWidth + 40);
        height = std::max(height,
                          kTop + static_cast<int>(p.staves.size()) * kStaffGap + lanes * 14 + 60);
    }
    int total = 20;
    for (int w : widths) total += w + kGapBetween;
    std::ostringstream svg;
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << total << "\" height=\"" << height
        << "\" font-family=\"sans-serif\" font-size=\"11\">\n<rect width=\"100%\" height=\"100%\" "
           "fill=\"white\"/>\n";
    const char* colours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd",
                             "#ff7f0e", "#8c564b", "#e377c2", "#17becf"};
    int x0 = 20;
    for (size_t pi = 0; pi < pictures.size(); ++pi) {
        const Picture& p = pictures[pi];
        const int measures = std::max(p.measureCount, 1);
        std::map<int16_t, int> row;
        for (size_t i = 0; i < p.staves.size(); ++i) row[p.staves[i].first] = static_cast<int>(i);
        svg << "<g transform=\"translate(" << x0 << ",0)\">\n";
        svg << "<text x=\"0\" y=\"24\" font-size=\"15\" font-weight=\"bold\">" << Escape(p.title)
            << "</text>\n";
        const int right = kLeft + measures * kMeasureWidth;
        // Measure numbers and barlines.
        for (int m = 1; m <= measures; ++m) {
            const int x = kLeft + (m - 1) * kMeasureWidth;
            if (m == 1 || m % 5 == 0) {
                svg << "<text x=\"" << x + kMeasureWidth / 2 << "\" y=\"" << kTop - 28
                    << "\" text-anchor=\"middle\" fill=\"#666\">" << m << "</text>\n";
            }
            svg << "<line x1=\"" << x << "\" y1=\"" << kTop - 20 << "\" x2=\"" << x << "\" y2=\""
                << kTop + static_cast<int>(p.staves.size()) * kStaffGap - 20
                << "\" stroke=\"#eee\"/>\n";
        }
        // Staves.
        for (size_t i = 0; i < p.staves.size(); ++i) {
            const int y = kTop + static_cast<int>(i) * kStaffGap;
            svg << "<text x=\"" << kLeft - 8 << "\" y=\"" << y + 4 << "\" text-anchor=\"end\">"
                << Escape(p.staves[i].second) << " (" << p.staves[i].first << ")</text>\n";
            svg << "<line x1=\"" << kLeft << "\" y1=\"" << y << "\" x2=\"" << right << "\" y2=\""
                << y << "\" stroke=\"#999\" stroke-width=\"2\"/>\n";
        }
        // One bracket per group: a band from its top to its bottom staff over its measures.
        for (size_t gi = 0; gi < p.groups.size(); ++gi) {
            const auto& g = p.groups[gi];
            if (!row.count(g.startStaff) || !row.count(g.endStaff)) continue;
            const int first = std::max<int>(g.startMeasure, 1);
            const int last = std::min<int>(g.endMeasure, measures);
            if (last < first) continue;
            const int x1 = kLeft + (first - 1) * kMeasureWidth + 2;
            const int x2 = kLeft + last * kMeasureWidth - 2;
            // A group inside another one's staves and measures gets its bracket further in.
            int depth = 0;  // 0 or 1
            for (const auto& outer : p.groups) {
                if (&outer == &g || !row.count(outer.startStaff) || !row.count(outer.endStaff)) {
                    continue;
                }
                const bool wider = row[outer.startStaff] <= row[g.startStaff] &&
                                   row[outer.endStaff] >= row[g.endStaff] &&
                                   (row[outer.endStaff] - row[outer.startStaff] >
                                    row[g.endStaff] - row[g.startStaff]);
                if (wider && outer.startMeasure <= g.endMeasure &&
                    g.startMeasure <= outer.endMeasure) {
                    depth = 1;  // one level in is enough to tell them apart
                }
            }
            const int y1 = kTop + row[g.startStaff] * kStaffGap - 10 + 4 * depth;
            const int y2 = kTop + row[g.endStaff] * kStaffGap + 10 - 4 * depth;
            const char* colour = colours[gi % 8];
            svg << "<rect x=\"" << x1 << "\" y=\"" << y1 << "\" width=\"" << x2 - x1
                << "\" height=\"" << y2 - y1 << "\" fill=\"" << colour
                << "\" fill-opacity=\"0.10\" stroke=\"" << colour << "\"/>\n";
            svg << "<path d=\"M" << x1 + 6 << "," << y1 << " h-6 v" << y2 - y1
                << " h6\" fill=\"none\" stroke=\"" << colour << "\" stroke-width=\"3\"/>\n";
            svg << "<text x=\"" << x1 + 6 + 70 * depth << "\" y=\"" << y1 + 12 << "\" fill=\""
                << colour << "\">" << Escape(Readable(g.fullName)) << "</text>\n";
            svg << "<text x=\"" << x1 + 6 + 70 * depth << "\" y=\"" << y2 - 4 << "\" fill=\""
                << colour << "\" font-style=\"italic\">" << Escape(Readable(g.abbrevName))
                << "</text>\n";
            const int ly =
                kTop + static_cast<int>(p.staves.size()) * kStaffGap + static_cast<int>(gi) * 14;
            svg << "<text x=\"0\" y=\"" << ly << "\" fill=\"" << colour << "\">group " << g.owner
                << "/" << g.number << ": staves " << Range(g.startStaff, g.endStaff)
                << ", measures " << Range(g.startMeasure, g.endMeasure) << ", "
                << Escape(standin::Utf8(g.fullName)) << "</text>\n";
        }
        svg << "</g>\n";
        x0 += widths[pi] + kGapBetween;
    }
    svg << "</svg>\n";
    return svg.str();
}

}  // namespace driver
