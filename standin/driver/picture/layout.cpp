#include "picture/layout.h"

#include <algorithm>
#include <iterator>

namespace driver::picture {

GroupId IdOf(const standin::GroupView& g) {
    return {g.owner, g.number};
}

labels::Change ChangeOf(const standin::GroupView& g, const Changes& changes) {
    const auto it = changes.first.find(IdOf(g));
    if (it == changes.first.end()) return labels::Change::New;
    const standin::GroupView& was = it->second;
    const bool same = was.startStaff == g.startStaff && was.endStaff == g.endStaff &&
                      was.startMeasure == g.startMeasure && was.endMeasure == g.endMeasure &&
                      was.fullName == g.fullName && was.abbrevName == g.abbrevName &&
                      was.hasFullName == g.hasFullName && was.hasAbbrevName == g.hasAbbrevName;
    return same ? labels::Change::None : labels::Change::Changed;
}

Changes CompareWithTheFirst(const std::vector<Picture>& pictures) {
    Changes changes;
    if (pictures.empty()) return changes;
    for (const auto& g : pictures.front().groups) changes.first.emplace(IdOf(g), g);
    for (size_t i = 1; i < pictures.size(); ++i) {
        std::set<GroupId> present;
        for (const auto& g : pictures[i].groups) {
            present.insert(IdOf(g));
            if (ChangeOf(g, changes) != labels::Change::None) changes.changed.insert(IdOf(g));
        }
        for (const auto& [id, g] : changes.first) {
            if (present.count(id) == 0) changes.changed.insert(id);
        }
    }
    return changes;
}

Positions PositionsOf(const Picture& p) {
    Positions positions;
    for (size_t i = 0; i < p.staves.size(); ++i) positions.emplace(p.staves[i].first, i);
    return positions;
}

Nearness NearnessOf(const Picture& p, const Positions& positions, const standin::GroupView& g) {
    if (!p.selection) return kApart;
    const MarkedSelection& s = *p.selection;
    const auto top = positions.find(g.startStaff), bottom = positions.find(g.endStaff);
    const auto selectedTop = positions.find(s.topStaff);
    const auto selectedBottom = positions.find(s.bottomStaff);
    if (top == positions.end() || bottom == positions.end() || selectedTop == positions.end() ||
        selectedBottom == positions.end()) {
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

std::vector<std::vector<size_t>> ChooseGroups(const std::vector<Picture>& pictures,
                                              const Changes& changes) {
    std::vector<std::vector<size_t>> drawn(pictures.size());
    size_t most = 0, changedMost = 0;
    for (const Picture& p : pictures) {
        most = std::max(most, p.groups.size());
        size_t changed = 0;
        for (const auto& g : p.groups) changed += changes.changed.count(IdOf(g));
        changedMost = std::max(changedMost, std::min(changed, kMaxGroups));
    }
    std::set<GroupId> others;
    if (most > kMaxGroups) {
        const Picture& p = pictures.front();
        const Positions positions = PositionsOf(p);
        std::vector<size_t> byNearness[kApart + 1];
        for (size_t i = 0; i < p.groups.size(); ++i) {
            if (changes.changed.count(IdOf(p.groups[i])) == 0)
                byNearness[NearnessOf(p, positions, p.groups[i])].push_back(i);
        }
        for (const auto& bucket : byNearness) {
            for (size_t i : bucket) {
                if (others.size() + changedMost >= kMaxGroups) break;
                others.insert(IdOf(p.groups[i]));
            }
        }
    }
    for (size_t k = 0; k < pictures.size(); ++k) {
        const Picture& p = pictures[k];
        size_t changed = 0;
        for (size_t i = 0; i < p.groups.size(); ++i) {
            const GroupId id = IdOf(p.groups[i]);
            const bool isChanged = changes.changed.count(id) != 0;
            if (most <= kMaxGroups || others.count(id) != 0 ||
                (isChanged && changed < kMaxGroups)) {
                drawn[k].push_back(i);
            }
            changed += isChanged ? 1 : 0;
        }
    }
    return drawn;
}

Rows FoldStaves(const std::vector<Picture>& pictures, size_t index, const Positions& positions,
                const std::vector<std::vector<size_t>>& drawn, const Changes& changes) {
    const Picture& p = pictures[index];
    Rows rows;
    const size_t count = p.staves.size();
    if (count <= kMaxRows) {
        for (size_t i = 0; i < count; ++i) {
            rows.ofStaff.emplace(p.staves[i].first, i);
            rows.grid.push_back({i, i});
        }
        return rows;
    }
    std::set<size_t> kept;
    size_t made = 1;  // one row holds every staff
    const auto keep = [&](long long position) {
        if (position < 0 || position >= static_cast<long long>(count) || made == kMaxRows) return;
        const auto at = static_cast<size_t>(position);
        if (kept.count(at) != 0) return;
        // A staff kept in a run of staves splits it into the staves before and after.
        const auto next = kept.upper_bound(at);
        const size_t after = next == kept.end() ? count : *next;
        const size_t before = next == kept.begin() ? 0 : *std::prev(next) + 1;
        const size_t added = (at > before ? 1u : 0u) + (after > at + 1 ? 1u : 0u);
        if (made + added > kMaxRows) return;
        made += added;
        kept.insert(at);
    };
    const auto at = [&](int16_t staff) -> long long {
        const auto it = positions.find(staff);
        return it == positions.end() ? -1 : static_cast<long long>(it->second);
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
        for (size_t k = 0; k < pictures.size(); ++k) {
            for (size_t i : drawn[k]) {
                const auto& g = pictures[k].groups[i];
                if ((changes.changed.count(IdOf(g)) != 0) != changed) continue;
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
    for (long long k = 3; made < kMaxRows && k < static_cast<long long>(count); ++k) {
        keep(top + k);
        keep(bottom - k);
        keep(top - k);
        keep(bottom + k);
    }
    size_t next = 0;
    const auto add = [&](size_t first, size_t last) {
        for (size_t i = first; i <= last; ++i)
            rows.ofStaff.emplace(p.staves[i].first, rows.grid.size());
        rows.grid.push_back({first, last});
    };
    for (size_t position : kept) {
        if (position > next) add(next, position - 1);
        add(position, position);
        next = position + 1;
    }
    if (next < count) add(next, count - 1);
    return rows;
}

int Scale::X(int measure) const {
    const int m = std::clamp(measure, 1, measures + 1);
    for (const Segment& s : segments) {
        if (m <= s.last) return s.x0 + (m - s.first) * (s.x1 - s.x0) / (s.last - s.first + 1);
    }
    return kGridRight;
}

Scale ScaleMeasures(const Picture& p) {
    Scale scale;
    scale.measures = std::max(p.measureCount, 1);
    const int measures = scale.measures;
    scale.segments.assign(1, Segment{1, measures, kGridLeft, kGridRight});
    if (!p.selection || measures <= kZoomMeasures) return scale;
    const int first = p.selection->firstMeasure, last = p.selection->lastMeasure;
    if (first < 1 || last < first || last > measures) return scale;
    const int width = kGridRight - kGridLeft, length = last - first + 1;
    if (static_cast<long long>(length) * width / measures >= kMinSelectionWidth) return scale;
    const int from = std::max(1, first - std::max(1, length / 4));
    const int to = std::min(measures, last + std::max(1, length / 4));
    const int before = from - 1, after = measures - to, rest = width - kZoomWidth;
    int left = 0;
    if (after == 0) {
        left = rest;
    } else if (before > 0) {
        left =
            std::clamp(static_cast<int>(static_cast<long long>(rest) * before / (before + after)),
                       kMinFoldedWidth, rest - kMinFoldedWidth);
    }
    std::vector<Segment>& segments = scale.segments;
    segments.clear();
    if (before > 0) segments.push_back({1, from - 1, kGridLeft, kGridLeft + left});
    segments.push_back({from, to, kGridLeft + left, kGridLeft + left + kZoomWidth});
    if (after > 0)
        segments.push_back({to + 1, measures, kGridLeft + left + kZoomWidth, kGridRight});
    segments.back().x1 = kGridRight;
    return scale;
}

bool Drawable(const Picture& p, const Rows& rows, const standin::GroupView& g) {
    const auto top = rows.ofStaff.find(g.startStaff), bottom = rows.ofStaff.find(g.endStaff);
    return top != rows.ofStaff.end() && bottom != rows.ofStaff.end() &&
           top->second <= bottom->second && g.startMeasure <= g.endMeasure &&
           g.startMeasure <= p.measureCount && g.endMeasure >= 1;
}

std::vector<int> NestGroups(const Picture& p, const std::vector<size_t>& drawn, const Rows& rows) {
    std::vector<int> depths(p.groups.size(), 0);
    std::vector<size_t> order;
    for (size_t i : drawn) {
        if (Drawable(p, rows, p.groups[i])) order.push_back(i);
    }
    const auto row = [&](int16_t staff) { return rows.ofStaff.at(staff); };
    auto span = [&](size_t i) { return row(p.groups[i].endStaff) - row(p.groups[i].startStaff); };
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return span(a) > span(b); });
    for (size_t k = 0; k < order.size(); ++k) {
        const auto& g = p.groups[order[k]];
        const size_t top = row(g.startStaff), bottom = row(g.endStaff);
        for (size_t h = 0; h < k; ++h) {
            const auto& outer = p.groups[order[h]];
            if (row(outer.startStaff) <= top && row(outer.endStaff) >= bottom &&
                span(order[h]) > span(order[k]) && outer.startMeasure <= g.endMeasure &&
                g.startMeasure <= outer.endMeasure) {
                depths[order[k]] = std::max(depths[order[k]], depths[order[h]] + 1);
            }
        }
    }
    return depths;
}

Layout LayOut(const std::vector<Picture>& pictures, size_t index,
              const std::vector<std::vector<size_t>>& drawn, const Changes& changes) {
    Layout layout;
    const Picture& p = pictures[index];
    layout.drawn = &drawn[index];
    layout.positions = PositionsOf(p);
    layout.rows = FoldStaves(pictures, index, layout.positions, drawn, changes);
    layout.scale = ScaleMeasures(p);
    layout.depths = NestGroups(p, *layout.drawn, layout.rows);
    return layout;
}

}  // namespace driver::picture
