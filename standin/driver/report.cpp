#include "report.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>

#include "support/utf8.h"

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

std::string Pad(std::string s, size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

std::string QuotedName(const standin::GroupView& g, bool full) {
    const bool has = full ? g.hasFullName : g.hasAbbrevName;
    if (!has) return "(none)";
    return Quoted(support::Utf8(full ? g.fullName : g.abbrevName));
}

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

std::string Range(int a, int b) {
    return a == b ? std::to_string(a) : std::to_string(a) + "-" + std::to_string(b);
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

}  // namespace driver
