#include "split/split_reads.h"

#include "framework/host/host_bridge.h"
#include "framework/score/fc_system_staff.h"
#include "framework/text/fc_font_info.h"
#include "framework/text/fc_font_prefs.h"

namespace split {
namespace {

// Font preferences of the suffix of full and of abbreviated names.
constexpr uint16_t FULL_NAME_FONT_PREF = 33;
constexpr uint16_t ABBREVIATED_NAME_FONT_PREF = 39;
// Effect bit set in the suffix's font command.
constexpr uint16_t SUFFIX_EFFECT_BIT = 0x80;

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

// Whether `list`, as loaded for staff system `system`, ends where the host's list ends. A load
// the host refuses ends the list as its end does; a staff at the slot after the last one loaded
// tells them apart. But a refused lookup answers 0 as an empty slot does, so one 0 is not the
// end: the host must also name the list's last staff at its slot and then answer 0 again for
// the slot after it. Any other answer leaves the end unknown, and the list counts as cut short.
bool EndsWithTheHostsList(const FCSystemStaves& list, int16_t system) {
    const int count = list.GetCount();
    if (count + 1 > INT16_MAX) return true;
    const auto staffAt = [system](int slot) {
        return static_cast<int16_t>(
            host::SlotToInst(static_cast<uint16_t>(slot), static_cast<uint16_t>(system)));
    };
    if (staffAt(count + 1) != 0) return false;
    if (count > 0 && staffAt(count) != list.GetItemAt(count - 1)->GetStaff()) return false;
    return staffAt(count + 1) == 0;
}

}  // namespace

SplitReads::StaffSpans::StaffSpans(const FCSystemStaves& scoreOrder,
                                   const FCSystemStaves& selectionSystem, bool selectionComplete)
    : selectionComplete_(selectionComplete) {
    for (int i = 0; i < scoreOrder.GetCount(); ++i) {
        const int16_t staff = scoreOrder.GetItemAt(i)->GetStaff();
        firstPlace_.try_emplace(staff, order_.size());  // a staff counts at its first place
        order_.push_back(staff);
    }
    for (int i = 0; i < selectionSystem.GetCount(); ++i) {
        shown_.insert(selectionSystem.GetItemAt(i)->GetStaff());
    }
}

StaffSpan SplitReads::StaffSpans::Span(int16_t startStaff, int16_t endStaff) const {
    const auto first = firstPlace_.find(startStaff), last = firstPlace_.find(endStaff);
    if (first == firstPlace_.end() || last == firstPlace_.end() || first->second > last->second) {
        return {};
    }
    if (!selectionComplete_) return {0, 0, false};
    StaffSpan span;
    for (size_t i = first->second; i <= last->second; ++i) {
        if (shown_.count(order_[i]) == 0) continue;
        if (span.top == 0) span.top = order_[i];
        span.bottom = order_[i];
    }
    return span;
}

bool SplitReads::StaffSpans::Walks(int16_t startStaff, int16_t endStaff, int16_t staff) const {
    const auto first = firstPlace_.find(startStaff), last = firstPlace_.find(endStaff);
    if (staff == 0 || first == firstPlace_.end() || last == firstPlace_.end()) return false;
    for (size_t i = first->second; i <= last->second; ++i) {
        if (order_[i] == staff) return true;
    }
    return false;
}

StaffSpan SplitReads::SpanOf(const FCGroup& group, const FCMusicRegion& region) {
    if (group.GetStartStaff() == group.GetEndStaff()) {
        return {group.GetStartStaff(), group.GetEndStaff()};
    }
    if (!spans_ || spansSystem_ != region.startSystem) {
        FCSystemStaves scoreOrder;
        scoreOrder.LoadAllForItem(0);
        // The score's order cut short by a refused load lacks the group's last staff, so the
        // group finds no span. A selection in that order reads it once: a second read cut
        // shorter would hide the staves of a wider group and let it match. Another system's
        // list cut short would do the same, so it counts only when it is whole.
        FCSystemStaves otherSystem;
        bool complete = true;
        if (region.startSystem != 0) {
            otherSystem.LoadAllForItem(region.startSystem);
            complete = EndsWithTheHostsList(otherSystem, region.startSystem);
        }
        spans_.emplace(scoreOrder, region.startSystem != 0 ? otherSystem : scoreOrder, complete);
        spansSystem_ = region.startSystem;
    }
    return spans_->Span(group.GetStartStaff(), group.GetEndStaff());
}

bool SplitReads::Walks(const FCGroup& group, int16_t staff) const {
    return spans_ && spans_->Walks(group.GetStartStaff(), group.GetEndStaff(), staff);
}

const FCString& SplitReads::FullCommand() {
    LoadFonts();
    return fullCommand_;
}

const FCString& SplitReads::AbbreviatedCommand() {
    LoadFonts();
    return abbreviatedCommand_;
}

void SplitReads::LoadFonts() {
    if (fontsLoaded_) return;
    fontsLoaded_ = true;
    FCFontPrefs fullPrefs, abbreviatedPrefs;
    fullPrefs.Load(FULL_NAME_FONT_PREF);
    abbreviatedPrefs.Load(ABBREVIATED_NAME_FONT_PREF);
    fullCommand_ = NameFontCommand(fullPrefs);
    abbreviatedCommand_ = NameFontCommand(abbreviatedPrefs);
}

}  // namespace split
