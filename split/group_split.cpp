#include "split/group_split.h"

#include <memory>

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

// What one matching group is cut with: its names as read before any change, and the fonts.
struct PieceNames {
    std::unique_ptr<FCString> fullName;
    std::unique_ptr<FCString> abbreviatedName;
    FCString fullCommand;
    FCString abbreviatedCommand;
};

// The group as it stood before a piece began: its key and its whole record.
class Snapshot {
  public:
    explicit Snapshot(const FCGroup& group) {
        saved_.CopyKeyFrom(group);
        saved_.CopyDataFrom(group);
    }
    void RestoreInto(FCGroup& group) const {
        group.CopyKeyFrom(saved_);
        group.CopyDataFrom(saved_);
    }

  private:
    FCGroup saved_;
};

enum class PieceResult { NotMade, Made, MadeIncomplete };  // incomplete: its last save failed

// Cuts the group at `cut`: the object's group is shortened to end at cut - 1, and a new group
// over cut..end with suffixed names is created; the object then stands for the new group.
// A failed write ends the piece, and a failed creation puts the shortened group back as it was,
// so that no measure of the original group loses its bracket.
PieceResult MakePiece(FCGroup& group, int16_t cut, int16_t end, const PieceNames& names) {
    const Snapshot before(group);
    group.SetEndMeasure(static_cast<int16_t>(cut - 1));
    if (!group.Save()) {
        before.RestoreInto(group);
        return PieceResult::NotMade;
    }
    group.SetStartMeasure(cut);
    group.SetEndMeasure(end);
    group.SetField6(static_cast<int16_t>(group.GetField6() - FIELD6_CREATE_ADJUST));
    if (!group.SaveNew()) {
        // Never write under the placeholder key a failed creation leaves.
        before.RestoreInto(group);
        group.Save();
        return PieceResult::NotMade;
    }
    const int16_t number = group.GetGroupNumber();
    FCString fullName;
    fullName.SetString(names.fullName.get());
    AddSplitSuffix(fullName, names.fullCommand, number, false);
    // A name that cannot be stored keeps the original's text; the bracket itself is what counts.
    group.SaveNewFullNameBlock(&fullName);
    FCString abbreviatedName;
    abbreviatedName.SetString(names.abbreviatedName.get());
    AddSplitSuffix(abbreviatedName, names.abbreviatedCommand, number, true);
    group.SaveNewAbbreviatedNameBlock(&abbreviatedName);
    group.SetField6(static_cast<int16_t>(group.GetField6() + FIELD6_CREATE_ADJUST));
    return group.Save() ? PieceResult::Made : PieceResult::MadeIncomplete;
}

bool SplitGroup(FCGroup& group, const FCMusicRegion& region) {
    const int16_t start = region.GetStartMeasure();
    const int16_t end = region.GetEndMeasure();
    const int16_t groupStart = group.GetStartMeasure();
    const int16_t groupEnd = group.GetEndMeasure();

    PieceNames names;
    names.fullName = group.CreateFullNameString();
    names.abbreviatedName = group.CreateAbbreviatedNameString();
    FCFontPrefs fullPrefs, abbreviatedPrefs;
    fullPrefs.Load(FULL_NAME_FONT_PREF);
    abbreviatedPrefs.Load(ABBREVIATED_NAME_FONT_PREF);
    names.fullCommand = NameFontCommand(fullPrefs);
    names.abbreviatedCommand = NameFontCommand(abbreviatedPrefs);

    bool split = false;
    if (groupStart < start) {
        // A piece whose last save failed still exists; the next piece's first save rewrites it.
        if (MakePiece(group, start, groupEnd, names) == PieceResult::NotMade) return false;
        split = true;
    }
    if (groupEnd > end && !region.IsLastEndMeasure()) {
        if (MakePiece(group, static_cast<int16_t>(end + 1), groupEnd, names) !=
            PieceResult::NotMade) {
            split = true;
        }
    }
    return split;
}

}  // namespace

bool SplitMatchingGroups(const FCMusicRegion& region) {
    const int16_t start = region.GetStartMeasure();
    const int16_t end = region.GetEndMeasure();
    if (!region.IsEmpty() && region.IsFullMeasureSelection() && start == 1 &&
        region.IsLastEndMeasure()) {
        return false;
    }
    // A reversed selection, or one before measure 1, has no measures to cut at.
    const bool measuresValid = start >= 1 && start <= end;

    bool result = false;
    FCGroups groups;
    groups.LoadAll();
    for (int i = 0; i < groups.GetCount(); ++i) {
        FCGroup& group = *groups.GetItemAt(i);
        const auto [top, bottom] = GetGroupStaffSpan(group, region);
        if (region.GetStartStaff() != top || region.GetEndStaff() != bottom) continue;
        if (!measuresValid || start < group.GetStartMeasure() || end > group.GetEndMeasure()) {
            continue;
        }
        if (SplitGroup(group, region)) result = true;
    }
    return result;
}

std::pair<int16_t, int16_t> GetGroupStaffSpan(const FCGroup& group, const FCMusicRegion& region) {
    if (group.GetStartStaff() == group.GetEndStaff()) {
        return {group.GetStartStaff(), group.GetEndStaff()};
    }
    FCSystemStaves scoreOrder;
    scoreOrder.LoadAllForItem(0);
    FCSystemStaves selectionSystem;
    selectionSystem.LoadAllForItem(region.startSystem);
    const int first = scoreOrder.FindStaffIndex(group.GetStartStaff());
    const int last = scoreOrder.FindStaffIndex(group.GetEndStaff());
    if (first < 0 || last < 0 || first > last) return {0, 0};
    int16_t top = 0, bottom = 0;
    for (int i = first; i <= last; ++i) {
        const int16_t staff = scoreOrder.GetItemAt(i)->GetStaff();
        if (selectionSystem.FindStaff(staff) == nullptr) continue;
        if (top == 0) top = staff;
        bottom = staff;
    }
    return {top, bottom};
}

void AddSplitSuffix(FCString& name, const FCString& fontCommand, int16_t number, bool abbreviated) {
    FCString prefix;
    prefix.LoadResourceString(abbreviated ? res::IDS_PREFIX_ABBREVIATED : res::IDS_PREFIX_FULL,
                              nullptr);
    FCString marker;
    marker.SetString(&fontCommand);
    marker.AppendCharacter(u'(');
    marker.AppendString(prefix);
    const int32_t position = name.FindString(&marker);
    if (position < 0) {
        name.AppendString(marker);
    } else {
        const uint64_t cut = static_cast<uint64_t>(position) + marker.GetLength();
        name.TruncateAt(cut);
    }
    name.AppendInteger(number);
    name.AppendCharacter(u')');
}

}  // namespace split
