#include "shell/command.h"

#include "framework/core/host_version.h"
#include "framework/score/fc_music_region.h"
#include "framework/text/fc_string.h"
#include "framework/text/fc_ui.h"
#include "resources/boxes.h"
#include "resources/string_ids.h"
#include "split/group_split.h"
#include "split/multi_staff_check.h"

namespace shell {
namespace {

// Shows the box of string-table text `message`, with the caption and kind the box table gives
// it; the yes/no answer, or 0.
int Show(FCUI& ui, uint32_t message) {
    const res::Box* box = res::BoxOf(message);
    if (box == nullptr) return 0;
    FCString text;
    text.LoadResourceString(box->message, nullptr);
    FCString caption;
    caption.LoadResourceString(box->caption, nullptr);
    switch (box->kind) {
        case res::BoxKind::Error:
            ui.AlertError(&text, &caption);
            return 0;
        case res::BoxKind::Question:
            return ui.AlertYesNo(&text, &caption);
        case res::BoxKind::Info:
            ui.AlertInfo(&text, &caption);
            return 0;
        case res::BoxKind::Warning:
            ui.AlertWarning(&text, &caption);
            return 0;
    }
    return 0;
}

constexpr int32_t kSmallRange = 3;

// The one message the split ends with, for the first of these that happened: Finale refused a
// write (the score may need checking), Finale did not give a read whole, a name too long for
// its suffix (the plug-in's own limit: Finale refused nothing); else "No Group" when nothing
// was split, and none after a whole split. 0 for none.
uint32_t ClosingMessage(bool split, const split::SplitShortfalls& shortfalls) {
    if (shortfalls.refusedWrite) return res::IDS_SPLIT_REFUSED;
    if (shortfalls.readRefused) return res::IDS_READ_REFUSED;
    if (shortfalls.nameTooLong) return res::IDS_NAME_TOO_LONG;
    return split ? 0 : res::IDS_NO_GROUP;
}

}  // namespace

int16_t RunCommand(void* parentWindow, const void* record) {
    FCUI ui(parentWindow);
    FCMusicRegion region;
    region.SetHostRegion(record);

    if (!region.IsFullMeasureSelection()) {
        Show(ui, res::IDS_PARTIAL_MEASURE);
        return 0;
    }
    if (vb::HostHasMultiStaffCheck()) {
        // Instruments the host did not give whole may hold the selection's range: splitting
        // might cut an instrument's own bracket, so nothing is split.
        bool unread = false;
        const bool instrumentRange = split::IsMultiStaffInstrumentRange(region, &unread);
        if (instrumentRange || unread) {
            Show(ui, instrumentRange ? res::IDS_MULTISTAFF_RANGE : res::IDS_READ_REFUSED);
            return 0;
        }
    }
    const int32_t measures =
        int32_t{region.GetEndMeasure()} - int32_t{region.GetStartMeasure()} + 1;
    if (measures < kSmallRange && Show(ui, res::IDS_SMALL_RANGE) != FCUI::ANSWER_YES) return 0;
    // A group that matches but could not be split is never reported as "No Group": telling the
    // user to check the selection's staves would send them after the wrong cause.
    split::SplitShortfalls shortfalls;
    const bool split = split::SplitMatchingGroups(region, &shortfalls);
    if (const uint32_t message = ClosingMessage(split, shortfalls); message != 0) {
        Show(ui, message);
    }
    return split ? 1 : 0;
}

}  // namespace shell
