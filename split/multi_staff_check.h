#pragma once
#include "framework/score/fc_music_region.h"

namespace split {
// True when some multi-staff instrument's top and bottom staff, in score order, are exactly the
// selection's top and bottom staff. When false, `unread`, when given, tells whether the host
// did not give the instruments whole: it ended their enumeration short of its end, or placed
// nowhere a staff of an instrument that it names at a slot of the selection. The selection may
// then be an instrument's range all the same.
bool IsMultiStaffInstrumentRange(const FCMusicRegion& region, bool* unread = nullptr);
}  // namespace split
