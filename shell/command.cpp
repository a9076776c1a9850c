#include "shell/command.h"

#include "framework/base/module_state.h"
#include "framework/score/fc_music_region.h"
#include "framework/text/fc_string.h"
#include "framework/text/fc_ui.h"
#include "resources/string_ids.h"
#include "split/group_split.h"
#include "split/multi_staff_check.h"

namespace shell {
namespace {

enum class Box { Error, YesNo, Info };

// Shows string-table text `textId` with caption `captionId`; the yes/no answer, or 0.
int Show(FCUI& ui, Box box, uint32_t textId, uint32_t captionId) {
    FCString text;
    text.LoadResourceString(textId, nullptr);
    FCString caption;
    caption.LoadResourceString(captionId, nullptr);
    switch (box) {
        case Box::Error:
            ui.AlertError(&text, &caption);
            return 0;
        case Box::YesNo:
            return ui.AlertYesNo(&text, &caption);
        case Box::Info:
            ui.AlertInfo(&text, &caption);
            return 0;
    }
    return 0;
}

constexpr int32_t kSmallRange = 3;

}  // namespace

int16_t RunCommand(void* parentWindow, const void* record) {
    FCUI ui(parentWindow);
    FCMusicRegion region;
    region.SetHostRegion(record);

    if (!region.IsFullMeasureSelection()) {
        Show(ui, Box::Error, res::IDS_PARTIAL_MEASURE, res::IDS_CAPTION_PARTIAL_MEASURE);
        return 0;
    }
    if (vb::HostHasMultiStaffCheck() && split::IsMultiStaffInstrumentRange(region)) {
        Show(ui, Box::Error, res::IDS_MULTISTAFF_RANGE, res::IDS_CAPTION_MULTISTAFF_RANGE);
        return 0;
    }
    const int32_t measures =
        int32_t{region.GetEndMeasure()} - int32_t{region.GetStartMeasure()} + 1;
    if (measures < kSmallRange && Show(ui, Box::YesNo, res::IDS_SMALL_RANGE,
                                       res::IDS_CAPTION_SMALL_RANGE) != FCUI::ANSWER_YES) {
        return 0;
    }
    if (split::SplitMatchingGroups(region)) return 1;
    Show(ui, Box::Info, res::IDS_NO_GROUP, res::IDS_CAPTION_NO_GROUP);
    return 0;
}

}  // namespace shell
