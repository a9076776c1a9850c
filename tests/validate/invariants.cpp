#include "invariants.h"

#include <algorithm>
#include <optional>

#include "model.h"
#include "support/utf8.h"

namespace validate {
namespace {

using standin::Call;
using standin::GroupView;
using standin::TagOf;

constexpr uint32_t kGroup = TagOf("SDNG"), kTextBlock = TagOf("SOTX"), kRawText = TagOf("txbl");
constexpr uint32_t kSystemStaff = TagOf("SOIu");
// Bytes of a group record that a split may give a piece of its own: the two name ids and the
// measure range.
constexpr size_t kPieceOwnBytes[] = {4, 5, 22, 23, 32, 33, 34, 35};
constexpr size_t kEndMeasureBytes[] = {34, 35};

std::string Name(const GroupView& g) {
    return "group " + std::to_string(g.owner) + "/" + std::to_string(g.number);
}

bool IsRawText(uint32_t tag) {
    return (tag & 0xFFFF0000u) == (kRawText & 0xFFFF0000u);
}

// The size a record of the tag has, where the document side fixes it.
std::optional<size_t> OwnSize(uint32_t tag, uint32_t callVersion) {
    if (tag == kGroup) return 36;
    if (tag == kTextBlock) return 26;
    if (tag == TagOf("pfdf")) return 6;
    if (tag == TagOf("SOIu")) return 24;
    if (tag == TagOf("dtLP")) return 10;
    if (tag == TagOf("SOMS")) return callVersion >= 0x12000000 ? 30 : 26;
    if ((tag & 0xFFFF0000u) == (TagOf("ot00") & 0xFFFF0000u)) return 12;
    return std::nullopt;
}

// A raw text holds its text and exactly one terminator, at its end.
bool IsWholeText(const std::vector<uint8_t>& data, bool utf16) {
    const size_t unit = utf16 ? 2 : 1;
    if (data.size() < unit || data.size() % unit != 0) return false;
    for (size_t i = 0; i < data.size(); i += unit) {
        const bool zero = data[i] == 0 && (unit == 1 || data[i + 1] == 0);
        if (zero != (i + unit == data.size())) return false;
    }
    return true;
}

template <size_t N>
bool SameExcept(const std::array<uint8_t, 36>& a, const std::array<uint8_t, 36>& b,
                const size_t (&ignored)[N]) {
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] &&
            std::find(std::begin(ignored), std::end(ignored), i) == std::end(ignored)) {
            return false;
        }
    }
    return true;
}

const GroupView* Find(const std::vector<GroupView>& groups, int16_t owner, int16_t number) {
    for (const GroupView& g : groups) {
        if (g.owner == owner && g.number == number) return &g;
    }
    return nullptr;
}

// Every measure of every group is still under a group over the same staves.
void CheckCoverage(const DocumentState& before, const std::vector<GroupView>& after,
                   std::vector<std::string>& out) {
    for (const GroupView& g : before.groups) {
        const int first = std::max<int>(1, g.startMeasure), last = g.endMeasure;
        if (first > last) continue;
        std::vector<std::pair<int, int>> spans;
        for (const GroupView& a : after) {
            if (a.startStaff == g.startStaff && a.endStaff == g.endStaff) {
                spans.emplace_back(a.startMeasure, a.endMeasure);
            }
        }
        std::sort(spans.begin(), spans.end());
        int next = first;  // the first measure not yet known to be covered
        for (const auto& [from, to] : spans) {
            if (from <= next && to >= next) next = to + 1;
        }
        if (next <= last) {
            out.push_back("measure " + std::to_string(next) + " of " + Name(g) + " (staves " +
                          std::to_string(g.startStaff) + "-" + std::to_string(g.endStaff) +
                          ") lost its bracket");
        }
    }
}

// Existing groups keep their names and every byte but an end measure a split can leave.
void CheckExistingGroups(const DocumentState& before, const std::vector<GroupView>& after,
                         const RunFacts& facts, std::vector<std::string>& out) {
    for (const GroupView& g : before.groups) {
        const GroupView* a = Find(after, g.owner, g.number);
        if (a == nullptr) {
            out.push_back(Name(g) + " was deleted");
            continue;
        }
        if (!SameExcept(g.bytes, a->bytes, kEndMeasureBytes)) {
            std::string offsets;
            for (size_t i = 0; i < g.bytes.size(); ++i) {
                if (g.bytes[i] != a->bytes[i] && i != 34 && i != 35) {
                    offsets += (offsets.empty() ? "" : ",") + std::to_string(i);
                }
            }
            out.push_back(Name(g) + " changed at record offsets " + offsets);
        }
        const int end = a->endMeasure;
        if (end != g.endMeasure && end != facts.startMeasure - 1 && end != facts.endMeasure) {
            out.push_back(Name(g) + " now ends at measure " + std::to_string(end) +
                          ", which no cut of the selection gives");
        }
        if (a->hasFullName != g.hasFullName || a->fullName != g.fullName ||
            a->hasAbbrevName != g.hasAbbrevName || a->abbrevName != g.abbrevName) {
            out.push_back(Name(g) + " has other names now: \"" + support::Utf8(a->fullName) +
                          "\" / \"" + support::Utf8(a->abbrevName) + "\"");
        }
    }
}

// Whether `piece` is `source` with its split suffix of `prefix` and `number`, as the model adds
// it, for some font command: the one the run used is read off the piece's own name, as any text
// from a "^font(" up to "(" `prefix` `number` ")". Old hosts keep each unit's low byte of the
// source, up to a unit whose low byte is 0.
bool SuffixedFrom(const std::u16string& piece, std::u16string source, const std::u16string& prefix,
                  int16_t number, bool eightBit) {
    if (eightBit) {
        for (char16_t& unit : source) unit = static_cast<char16_t>(unit & 0xFF);
        source = source.substr(0, source.find(u'\0'));
    }
    const std::u16string end = u"(" + prefix + Decimal(number) + u")";
    for (size_t p = piece.find(u"^font("); p != std::u16string::npos;
         p = piece.find(u"^font(", p + 1)) {
        for (size_t q = piece.find(end, p); q != std::u16string::npos; q = piece.find(end, q + 1)) {
            if (WithSuffix(source, piece.substr(p, q - p), prefix, number) == piece) return true;
        }
    }
    return false;
}

// Whether the new group's names are those of `source` with the split suffix of its number.
bool NamedAfter(const GroupView& piece, const GroupView& source, bool eightBit) {
    return SuffixedFrom(piece.fullName, source.fullName, u"Brisane ", piece.number, eightBit) &&
           SuffixedFrom(piece.abbrevName, source.abbrevName, u"Brs ", piece.number, eightBit);
}

// New groups are copies of a group they were cut from (field 6 restored, uninterpreted bytes as
// they were) named after it, and no group made or changed starts after it ends, nor a new one
// before measure 1.
void CheckNewGroups(const DocumentState& before, const std::vector<GroupView>& after,
                    const RunFacts& facts, std::vector<std::string>& out) {
    const bool wholePieces = facts.wholePieces;
    const bool eightBit = facts.hostVersion < standin::kUnicodeTextVersion;
    for (const GroupView& a : after) {
        const GroupView* old = Find(before.groups, a.owner, a.number);
        if (old != nullptr && old->bytes == a.bytes) continue;
        const bool reversed = a.startMeasure > a.endMeasure &&
                              (old == nullptr || old->startMeasure <= old->endMeasure);
        if (reversed || (old == nullptr && a.startMeasure < 1)) {
            out.push_back(Name(a) + " covers measures " + std::to_string(a.startMeasure) + " to " +
                          std::to_string(a.endMeasure));
        }
        if (old != nullptr || !wholePieces) continue;
        const bool copy = std::any_of(before.groups.begin(), before.groups.end(), [&](auto& g) {
            return SameExcept(g.bytes, a.bytes, kPieceOwnBytes);
        });
        if (!copy) {
            out.push_back("new " + Name(a) + " is no copy of a group it could be cut from " +
                          "(field at offset 6: " +
                          std::to_string(static_cast<int16_t>(a.bytes[6] | (a.bytes[7] << 8))) +
                          ")");
            continue;
        }
        const bool named = std::any_of(before.groups.begin(), before.groups.end(), [&](auto& g) {
            return SameExcept(g.bytes, a.bytes, kPieceOwnBytes) && NamedAfter(a, g, eightBit);
        });
        if (!named) {
            out.push_back("new " + Name(a) + " is not named after the group it was cut from: \"" +
                          support::Utf8(a.fullName) + "\" / \"" + support::Utf8(a.abbrevName) +
                          "\"");
        }
    }
}

// No two groups share a name block that did not share it before.
void CheckNameBlocks(const DocumentState& before, const standin::Host& host,
                     const std::vector<GroupView>& after, std::vector<std::string>& out) {
    auto users = [&](const std::vector<GroupView>& groups, bool existing) {
        std::map<uint16_t, std::set<std::pair<int16_t, int16_t>>> byBlock;
        for (const GroupView& g : groups) {
            for (int16_t id : {g.fullNameId, g.abbrevNameId}) {
                const auto block = static_cast<uint16_t>(id);
                const bool exists = existing ? host.GetRecord(kTextBlock, {block, 0}).has_value()
                                             : before.textBlocks.count(block) != 0;
                if (id != 0 && exists) byBlock[block].insert({g.owner, g.number});
            }
        }
        return byBlock;
    };
    const auto was = users(before.groups, false);
    for (const auto& [block, groups] : users(after, true)) {
        const auto it = was.find(block);
        if (groups.size() > 1 && (it == was.end() || groups.size() > it->second.size())) {
            out.push_back(std::to_string(groups.size()) + " groups share name block " +
                          std::to_string(block));
        }
    }
}

// The host writes: never under a placeholder key (nor deletions), no name text after a failed
// group creation, every record of its own size.
void CheckWrites(const DocumentState& before, const std::vector<Call>& calls, const RunFacts& facts,
                 std::vector<std::string>& out) {
    bool creationFailed = false;
    size_t nextCalls = 0;
    for (const Call& c : calls) {
        if (c.function == "FX_NextEData") ++nextCalls;
        const bool save = c.function == "FX_SaveEData", create = c.function == "FX_CreateEData",
                   erase = c.function == "FX_DeleteEData";
        if (!save && !create && !erase) continue;
        const std::string what = standin::Describe(c).substr(0, 60);
        const auto known = before.keys.find(c.tag);
        if ((save || erase) && std::count(c.keyIn.begin(), c.keyIn.end(), 0xFFFF) != 0 &&
            (known == before.keys.end() || known->second.count(c.keyIn) == 0)) {
            out.push_back(std::string(save ? "written" : "deleted") +
                          " under a placeholder key: " + what);
        }
        if (erase) continue;
        if (create && c.tag == kGroup) {
            creationFailed = c.result == 0;
        } else if (create && creationFailed && (c.tag == kTextBlock || IsRawText(c.tag))) {
            out.push_back("a name text made after the group's creation failed: " + what);
        }
        const auto own = OwnSize(c.tag, c.version);
        const bool wrongSize =
            own ? static_cast<int64_t>(c.sizeIn) != static_cast<int64_t>(*own)
                : IsRawText(c.tag) &&
                      (c.sizeIn != static_cast<int32_t>(c.dataIn.size()) ||
                       !IsWholeText(c.dataIn, facts.hostVersion >= standin::kUnicodeTextVersion));
        if (wrongSize) {
            out.push_back("a record written with a size other than its own (" +
                          std::to_string(c.sizeIn) + " bytes): " + what);
        }
    }
    if (facts.nextCallLimit != 0 && nextCalls > facts.nextCallLimit) {
        out.push_back("the enumeration did not stop: " + std::to_string(nextCalls) +
                      " FX_NextEData calls");
    }
}

// The command's last word, told apart by its icon: "No Group" (an information box) only when it
// wrote nothing, since it writes only for a matching group; when the host refused a write of a
// piece, or nothing the command wrote stayed split, a warning that the split is incomplete,
// once. A warning comes at most once, and where nothing was written only for a read the host
// did not give: a run where it failed or misanswered calls, or a name the document lacks.
void CheckMessages(const DocumentState& before, const std::vector<Call>& calls,
                   const RunFacts& facts, std::vector<std::string>& out) {
    constexpr uint32_t kInfo = 0x40, kWarning = 0x30;
    bool wrote = false, refused = false;
    for (const Call& c : calls) {
        const bool write = c.function == "FX_SaveEData" || c.function == "FX_CreateEData";
        if (!write || (c.tag != kGroup && c.tag != kTextBlock && !IsRawText(c.tag))) continue;
        wrote = true;
        refused = refused || c.result == 0;
    }
    const auto shown = [&](uint32_t icon) {
        return std::count_if(facts.boxStyles.begin(), facts.boxStyles.end(),
                             [icon](uint32_t style) { return (style & 0xF0) == icon; });
    };
    if (wrote && shown(kInfo) != 0) {
        out.push_back("\"No Group\" shown though the command wrote to a group it matched");
    }
    const bool incomplete = refused || (wrote && facts.result == 0);
    if ((incomplete && shown(kWarning) != 1) || shown(kWarning) > 1) {
        out.push_back(
            std::string("a piece was refused or undone, and the warning that the split ") +
            "is incomplete was shown " + std::to_string(shown(kWarning)) + " times");
    }
    if (!wrote && shown(kWarning) != 0 && !facts.hostFaulted && !before.unreadableName &&
        !before.unlikelyStaffLists) {
        out.push_back(
            "a warning that the split is incomplete shown though nothing was written and the "
            "host gave every read");
    }
}

}  // namespace

// Whether some staff system's list is one no score holds (DocumentState::unlikelyStaffLists).
bool UnlikelyStaffLists(const standin::Host& host) {
    std::map<uint16_t, std::vector<int16_t>> lists;  // the staves of each system, by position
    for (const auto& key : host.Keys(kSystemStaff)) {
        const auto bytes = host.GetRecord(kSystemStaff, key);
        std::vector<int16_t>& list = lists[key[0]];
        if (!bytes || bytes->size() < 2 || key[1] != list.size()) return true;
        list.push_back(static_cast<int16_t>((*bytes)[0] | ((*bytes)[1] << 8)));
    }
    const std::vector<int16_t>& order = lists[0];
    for (const auto& [system, list] : lists) {
        for (int16_t staff : list) {
            if (std::find(order.begin(), order.end(), staff) == order.end()) return true;
        }
    }
    return false;
}

DocumentState CaptureDocument(const standin::Host& host) {
    DocumentState state;
    state.unlikelyStaffLists = UnlikelyStaffLists(host);
    state.groups = host.Groups();
    for (uint32_t tag : {kGroup, kTextBlock, kRawText}) {
        for (auto& key : host.Keys(tag)) state.keys[tag].insert(key);
    }
    for (const auto& key : state.keys[kTextBlock]) state.textBlocks.insert(key[0]);
    for (const GroupView& g : state.groups) {
        if ((g.fullNameId != 0 && !g.hasFullName) || (g.abbrevNameId != 0 && !g.hasAbbrevName)) {
            state.unreadableName = true;
        }
    }
    return state;
}

std::vector<std::string> CheckRun(const DocumentState& before, const standin::Host& host,
                                  const RunFacts& facts) {
    std::vector<std::string> out;
    if (facts.result != 0 && facts.result != 1) {
        out.push_back("the command returned " + std::to_string(facts.result));
    }
    const std::vector<GroupView> after = host.Groups();
    if (facts.wholePieces) CheckCoverage(before, after, out);
    CheckExistingGroups(before, after, facts, out);
    // A group the host made under a key it never told the command (a creation reported under
    // another key) is beyond the command's reach: it is not judged as one of its pieces.
    std::set<std::vector<uint16_t>> told;
    for (const Call& c : host.Calls()) {
        if (c.tag != kGroup) continue;
        told.insert(c.keyIn);
        told.insert(c.keyOut);
    }
    std::vector<GroupView> reached;
    for (const GroupView& g : after) {
        const std::vector<uint16_t> key = {static_cast<uint16_t>(g.owner),
                                           static_cast<uint16_t>(g.number), 0};
        if (Find(before.groups, g.owner, g.number) != nullptr || told.count(key) != 0) {
            reached.push_back(g);
        }
    }
    CheckNewGroups(before, reached, facts, out);
    if (facts.wholePieces) CheckNameBlocks(before, host, reached, out);
    CheckWrites(before, host.Calls(), facts, out);
    CheckMessages(before, host.Calls(), facts, out);
    return out;
}

}  // namespace validate
