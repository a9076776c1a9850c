#pragma once
#include "framework/score/fc_music_region.h"

namespace split {
// True when some multi-staff instrument's top and bottom staff, in score order, are exactly the
// selection's top and bottom staff.
bool IsMultiStaffInstrumentRange(const FCMusicRegion& region);
}  // namespace split
