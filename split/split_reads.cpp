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
                                   const FCSystemStaves& selectionSystem, bool selectionComplete) {
    for (int i = 0; i < scoreOrder.GetCount(); ++i) {
        const int16_t staff = scoreOrder.GetItemAt(i)->GetStaff();
        firstPlace_.try_emplace(staff, order_.size());  // a staff counts at its first place
        order_.push_back(staff);
    }
    orderReadShort_ = scoreOrder.ReadShort();
    for (int i = 0; i < selectionSystem.GetCount(); ++i) {
        const int16_t staff = selectionSystem.GetItemAt(i)->GetStaff();
        listed_.push_back(staff);
        shown_.insert(staff);
    }
    listWhole_ = selectionComplete && !orderReadShort_ && !selectionSystem.ReadShort();
}

StaffSpan SplitReads::StaffSpans::Span(int16_t startStaff, int16_t endStaff) const {
    const auto first = firstPlace_.find(startStaff), last = firstPlace_.find(endStaff);
    if (!listWhole_ || first == firstPlace_.end() || last == firstPlace_.end() ||
        first->second > last->second) {
        return {};
    }
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

std::optional<int16_t> SplitReads::StaffSpans::ListedAt(int32_t slot) const {
    if (slot < 1 || static_cast<size_t>(slot) > listed_.size()) return std::nullopt;
    return listed_[static_cast<size_t>(slot - 1)];
}

StaffSpan SplitReads::SpanOf(const FCGroup& group, const FCMusicRegion& region) {
    if (group.GetStartStaff() == group.GetEndStaff()) {
        return {group.GetStartStaff(), group.GetEndStaff()};
    }
    if (!spans_ || spansSystem_ != region.startSystem) LoadSpans(region);
    return spans_->Span(group.GetStartStaff(), group.GetEndStaff());
}

void SplitReads::LoadSpans(const FCMusicRegion& region) {
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

bool SplitReads::OffTheOrder(const FCGroup& group) const {
    const int16_t first = group.GetStartStaff(), last = group.GetEndStaff();
    return spans_ && first != last && (!spans_->Places(first) || !spans_->Places(last));
}

SelectionDoubt SplitReads::Doubt(const FCMusicRegion& region, const AskedStaves& asked) {
    SelectionDoubt doubt;
    if (!spans_ && (asked.top == int16_t{0} || asked.bottom == int16_t{0})) LoadSpans(region);
    if (!spans_) return doubt;
    doubt.order = spans_->OrderReadShort();
    doubt.list = !spans_->ListWhole();
    // A staff the host names is in the score, and so in its order; at a slot of the loaded
    // list it is the one the list holds there; beyond the list there is none.
    const auto compare = [&](int16_t slot, std::optional<int16_t> staff, bool inList) {
        if (!staff) return;
        doubt.order = doubt.order || (*staff != 0 && !spans_->Places(*staff));
        if (!inList) return;
        const std::optional<int16_t> listed = spans_->ListedAt(slot);
        doubt.staves = doubt.staves || (listed && *listed != *staff);
        doubt.list = doubt.list || (*staff != 0 && listed != staff);
    };
    compare(region.startSlot, asked.top, true);
    compare(region.endSlot, asked.bottom, region.endSystem == region.startSystem);
    // The selection's list in system 0 is the score's order.
    if (region.startSystem == 0) doubt.order = doubt.order || doubt.list;
    doubt.list = doubt.list || doubt.order;
    return doubt;
}

bool SplitReads::MayMatch(const FCGroup& group, int16_t top, const SelectionDoubt& doubt) const {
    if (!spans_ || (!doubt.staves && !doubt.list)) return false;
    // A one-staff group's span needs no list: only the selection's staves are in doubt.
    const int16_t first = group.GetStartStaff(), last = group.GetEndStaff();
    if (first == last) return doubt.staves;
    // A record of the order read short may stand for any staff of any walk.
    if (spans_->OrderReadShort()) return true;
    // A group whose staves the order lacks has a walk only if the order may lack staves.
    if (!spans_->Places(first) || !spans_->Places(last)) return doubt.order;
    if (!spans_->Walks(first, last, first)) return false;  // upside down: it matches nothing
    if (doubt.staves) return doubt.list || spans_->Span(first, last).top != 0;
    // The selection's top staff is known: a group's span, in any list, lies on its walk.
    return spans_->Walks(first, last, top);
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
