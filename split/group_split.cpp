#include "split/group_split.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "framework/score/fc_system_staff.h"
#include "framework/text/fc_font_info.h"
#include "framework/text/fc_font_prefs.h"
#include "resources/string_ids.h"

namespace split {
namespace {

// The name font command of a font preference: the preference's font, size and effects (a new
// font's defaults when it does not load), with the suffix effect bit set.
FCString NameFontCommand(const FCFontPrefs& prefs) {
    FCFontInfo font;
    if (prefs.GetLoadedSize() > 0) {
        font.SetSize(prefs.GetSize());
        font.SetEffects(prefs.GetEffects());
        font.SetNameFromFontNumber(prefs.GetFontNumber());
    }
    font.SetEffects(static_cast<uint16_t>(font.GetEffects() | SUFFIX_EFFECT_BIT));
    FCString command;
    font.GetFontCommand(&command);
    return command;
}

// The score's staff order and the staves the selection's staff system shows, read once per
// command; a group's span is the walk of the score order from its first to its last staff.
class StaffSpans {
  public:
    StaffSpans(const FCSystemStaves& scoreOrder, const FCSystemStaves& selectionSystem) {
        for (int i = 0; i < scoreOrder.GetCount(); ++i) {
            const int16_t staff = scoreOrder.GetItemAt(i)->GetStaff();
            firstPlace_.try_emplace(staff, order_.size());  // a staff counts at its first place
            order_.push_back(staff);
        }
        for (int i = 0; i < selectionSystem.GetCount(); ++i) {
            shown_.insert(selectionSystem.GetItemAt(i)->GetStaff());
        }
    }

    std::pair<int16_t, int16_t> Span(int16_t startStaff, int16_t endStaff) const {
        const auto first = firstPlace_.find(startStaff), last = firstPlace_.find(endStaff);
        if (first == firstPlace_.end() || last == firstPlace_.end() ||
            first->second > last->second) {
            return {0, 0};
        }
        int16_t top = 0, bottom = 0;
        for (size_t i = first->second; i <= last->second; ++i) {
            if (shown_.count(order_[i]) == 0) continue;
            if (top == 0) top = order_[i];
            bottom = order_[i];
        }
        return {top, bottom};
    }

  private:
    std::vector<int16_t> order_;                      // the score order
    std::unordered_map<int16_t, size_t> firstPlace_;  // where each staff first stands
    std::unordered_set<int16_t> shown_;               // the selection's system
};

// What every group of one command is matched and cut with, read from the host once per command:
// the command writes none of it. The staff lists are loaded when the first group of more than
// one staff needs them, the name font commands when the first matching group is cut.
class CommandReads {
  public:
    explicit CommandReads(const FCMusicRegion& region) : region_(region) {}

    std::pair<int16_t, int16_t> StaffSpan(const FCGroup& group) {
        if (group.GetStartStaff() == group.GetEndStaff()) {
            return {group.GetStartStaff(), group.GetEndStaff()};
        }
        if (!spans_) {
            FCSystemStaves scoreOrder;
            scoreOrder.LoadAllForItem(0);
            // A selection in the score's order reads that list once: a second read cut short by
            // a refused load would hide the staves of a wider group and let it match.
            FCSystemStaves otherSystem;
            if (region_.startSystem != 0) otherSystem.LoadAllForItem(region_.startSystem);
            spans_.emplace(scoreOrder, region_.startSystem != 0 ? otherSystem : scoreOrder);
        }
        return spans_->Span(group.GetStartStaff(), group.GetEndStaff());
    }

    // The name font commands of full and of abbreviated names.
    const FCString& FullCommand() {
        LoadFonts();
        return fullCommand_;
    }
    const FCString& AbbreviatedCommand() {
        LoadFonts();
        return abbreviatedCommand_;
    }

  private:
    void LoadFonts() {
        if (fontsLoaded_) return;
        fontsLoaded_ = true;
        FCFontPrefs fullPrefs, abbreviatedPrefs;
        fullPrefs.Load(FULL_NAME_FONT_PREF);
        abbreviatedPrefs.Load(ABBREVIATED_NAME_FONT_PREF);
        fullCommand_ = NameFontCommand(fullPrefs);
        abbreviatedCommand_ = NameFontCommand(abbreviatedPrefs);
    }

    const FCMusicRegion& region_;
    std::optional<StaffSpans> spans_;
    bool fontsLoaded_ = false;
    FCString fullCommand_, abbreviatedCommand_;
};

// Units of the number and its ")" at `at` in `name` ("12)", "-4)"); 0 when none is there.
uint64_t SuffixNumberLength(const FCString& name, uint64_t at) {
    const char16_t* units = name.GetUTF16();
    const uint64_t length = name.GetLength();
    uint64_t i = at;
    if (i < length && units[i] == u'-') ++i;
    const uint64_t firstDigit = i;
    while (i < length && units[i] >= u'0' && units[i] <= u'9') ++i;
    if (i == firstDigit || i >= length || units[i] != u')') return 0;
    return i + 1 - at;
}

// What one matching group is cut with: its names as read before any change, and the fonts.
struct PieceNames {
    std::unique_ptr<FCString> fullName;
    std::unique_ptr<FCString> abbreviatedName;
    FCString fullCommand;
    FCString abbreviatedCommand;
};

// How a piece ended. Refused: the host refused to undo a failed piece as well; the command
// writes nothing more.
enum class PieceEnd { Completed, Undone, Refused };

// What a piece has written to the host so far, and how to take it back.
class PieceJournal {
  public:
    // Remembers the group as it stands before the piece: its key and its whole record.
    explicit PieceJournal(const FCGroup& group) {
        before_.CopyKeyFrom(group);
        before_.CopyDataFrom(group);
    }
    void Shortened() { shortened_ = true; }
    void Created(const FCGroup& group) {
        created_.CopyKeyFrom(group);
        made_ = true;
    }
    FCGroup::NameRecords* FullName() { return &fullName_; }
    FCGroup::NameRecords* AbbreviatedName() { return &abbreviatedName_; }

    // Puts the object back as the group before the piece, then the host's records: first the
    // group gets its measures back, so that no measure goes without its bracket once the new
    // group is gone, then what the piece created goes. Stops at the first step the host refuses.
    PieceEnd Undo(FCGroup& group) {
        group.CopyKeyFrom(before_);
        group.CopyDataFrom(before_);
        if (shortened_ && !group.Save()) return PieceEnd::Refused;
        if (made_ && !created_.DeleteRecord()) return PieceEnd::Refused;
        if (!FCGroup::DeleteNameRecords(abbreviatedName_)) return PieceEnd::Refused;
        if (!FCGroup::DeleteNameRecords(fullName_)) return PieceEnd::Refused;
        return PieceEnd::Undone;
    }

  private:
    FCGroup before_;
    bool shortened_ = false;
    FCGroup created_;  // only its key: the new group's
    bool made_ = false;
    FCGroup::NameRecords fullName_, abbreviatedName_;
};

// Cuts the group at `cut`: the object's group is shortened to end at cut - 1, and a new group
// over cut..end with suffixed names is created; the object then stands for the new group. A
// piece either completes or is undone, and then the object stands for the group as before.
PieceEnd MakePiece(FCGroup& group, int16_t cut, int16_t end, const PieceNames& names) {
    PieceJournal journal(group);
    group.SetEndMeasure(static_cast<int16_t>(cut - 1));
    if (!group.Save()) return journal.Undo(group);
    journal.Shortened();
    group.SetStartMeasure(cut);
    group.SetEndMeasure(end);
    group.SetField6(static_cast<int16_t>(group.GetField6() - FIELD6_CREATE_ADJUST));
    if (!group.SaveNew()) return journal.Undo(group);
    journal.Created(group);
    const int16_t number = group.GetGroupNumber();
    FCString fullName;
    fullName.SetString(names.fullName.get());
    AddSplitSuffix(fullName, names.fullCommand, number, false);
    if (!group.SaveNewFullNameBlock(&fullName, journal.FullName())) return journal.Undo(group);
    FCString abbreviatedName;
    abbreviatedName.SetString(names.abbreviatedName.get());
    AddSplitSuffix(abbreviatedName, names.abbreviatedCommand, number, true);
    if (!group.SaveNewAbbreviatedNameBlock(&abbreviatedName, journal.AbbreviatedName())) {
        return journal.Undo(group);
    }
    group.SetField6(static_cast<int16_t>(group.GetField6() + FIELD6_CREATE_ADJUST));
    if (!group.Save()) return journal.Undo(group);
    return PieceEnd::Completed;
}

struct GroupOutcome {
    bool split = false;  // a piece completed
    bool stop = false;   // the host refused an undo: the command ends here
};

GroupOutcome SplitGroup(FCGroup& group, const FCMusicRegion& region, CommandReads& reads) {
    const int16_t start = region.GetStartMeasure();
    const int16_t end = region.GetEndMeasure();
    const int16_t groupStart = group.GetStartMeasure();
    const int16_t groupEnd = group.GetEndMeasure();

    // A name that is there but cannot be read is not replaced by the suffix alone.
    PieceNames names;
    names.fullName = group.CreateFullNameString();
    if (names.fullName == nullptr) return {};
    names.abbreviatedName = group.CreateAbbreviatedNameString();
    if (names.abbreviatedName == nullptr) return {};
    names.fullCommand = reads.FullCommand();
    names.abbreviatedCommand = reads.AbbreviatedCommand();

    GroupOutcome outcome;
    if (groupStart < start) {
        // Without the piece before the cut, the one after it is not what was asked for.
        const PieceEnd piece = MakePiece(group, start, groupEnd, names);
        if (piece != PieceEnd::Completed) return {false, piece == PieceEnd::Refused};
        outcome.split = true;
    }
    if (groupEnd > end && !region.IsLastEndMeasure()) {
        const PieceEnd piece = MakePiece(group, static_cast<int16_t>(end + 1), groupEnd, names);
        if (piece == PieceEnd::Completed) outcome.split = true;
        outcome.stop = piece == PieceEnd::Refused;
    }
    return outcome;
}

// True when the selection's top and bottom staff are `top` and `bottom`. Staff 0 is no staff:
// a selection whose staves cannot be resolved matches nothing.
bool SelectsStaves(const FCMusicRegion& region, int16_t top, int16_t bottom) {
    const int16_t selectedTop = region.GetStartStaff();
    if (selectedTop == 0 || selectedTop != top) return false;
    const int16_t selectedBottom = region.GetEndStaff();
    return selectedBottom != 0 && selectedBottom == bottom;
}

// Both name prefixes load from the string table; without them the suffix would carry the
// fallback text, which a later split would not recognise as its marker.
// Data written into scores, not messages: read in English whatever the user's language.
bool PrefixesLoad() {
    FCString prefix;
    return prefix.LoadResourceString(res::IDS_PREFIX_FULL, nullptr, res::LANGUAGE_ENGLISH) &&
           prefix.LoadResourceString(res::IDS_PREFIX_ABBREVIATED, nullptr, res::LANGUAGE_ENGLISH);
}

}  // namespace

bool SplitMatchingGroups(const FCMusicRegion& region) {
    const int16_t start = region.GetStartMeasure();
    const int16_t end = region.GetEndMeasure();
    if (!region.IsEmpty() && region.IsFullMeasureSelection() && start == 1 &&
        region.IsLastEndMeasure()) {
        return false;
    }
    if (!PrefixesLoad()) return false;
    // A reversed selection, or one before measure 1, has no measures to cut at.
    const bool measuresValid = start >= 1 && start <= end;

    bool result = false;
    CommandReads reads(region);
    FCGroups groups;
    groups.LoadAll();
    for (int i = 0; i < groups.GetCount(); ++i) {
        FCGroup& group = *groups.GetItemAt(i);
        const auto [top, bottom] = reads.StaffSpan(group);
        if (!SelectsStaves(region, top, bottom)) continue;
        if (!measuresValid || start < group.GetStartMeasure() || end > group.GetEndMeasure()) {
            continue;
        }
        const GroupOutcome outcome = SplitGroup(group, region, reads);
        if (outcome.split) result = true;
        if (outcome.stop) break;
    }
    return result;
}

std::pair<int16_t, int16_t> GetGroupStaffSpan(const FCGroup& group, const FCMusicRegion& region) {
    return CommandReads(region).StaffSpan(group);
}

void AddSplitSuffix(FCString& name, const FCString& fontCommand, int16_t number, bool abbreviated) {
    FCString prefix;
    prefix.LoadResourceString(abbreviated ? res::IDS_PREFIX_ABBREVIATED : res::IDS_PREFIX_FULL,
                              nullptr, res::LANGUAGE_ENGLISH);
    FCString marker;
    marker.SetString(&fontCommand);
    marker.AppendCharacter(u'(');
    marker.AppendString(prefix);
    // Only the number and its ")" after the marker are replaced; what follows them stays.
    uint64_t numberAt = name.GetLength() + marker.GetLength();
    const int32_t position = name.FindString(&marker);
    if (position < 0) {
        name.AppendString(marker);
    } else {
        numberAt = static_cast<uint64_t>(position) + marker.GetLength();
    }
    const uint64_t rest = numberAt + SuffixNumberLength(name, numberAt);
    FCString tail;
    tail.SetUTF16(name.GetUTF16() + rest, name.GetLength() - rest);
    name.TruncateAt(numberAt);
    name.AppendInteger(number);
    name.AppendCharacter(u')');
    name.AppendString(tail);
}

}  // namespace split
