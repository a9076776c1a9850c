#include "split/multi_staff_check.h"

#include <cstdint>

#include "framework/host/host_bridge.h"
#include "framework/score/fc_multi_staff_instrument.h"

namespace split {
namespace {

int16_t SlotOf(int16_t staff) {
    return static_cast<int16_t>(host::InstToSlot(static_cast<uint16_t>(staff)));
}

// The instrument's staff with the smallest (top) or largest (bottom) slot in score order;
// staves the score does not place (slot 0) are ignored. 0 when none is placed.
int16_t EndStaff(const FCMultiStaffInstrument& instrument, bool top) {
    int16_t best = 0;
    int16_t bestSlot = top ? 10000 : -10000;
    const int16_t staves[3] = {instrument.GetStaff1(), instrument.GetStaff2(),
                               instrument.GetStaff3()};
    for (int i = 0; i < 3; ++i) {
        const int16_t slot = SlotOf(staves[i]);
        if (slot == 0) continue;
        if (i == 0 || (top ? slot < bestSlot : slot > bestSlot)) {
            best = staves[i];
            bestSlot = slot;
        }
    }
    return best;
}

}  // namespace

bool IsMultiStaffInstrumentRange(const FCMusicRegion& region) {
    FCMultiStaffInstruments instruments;
    instruments.LoadAll();
    for (int i = 0; i < instruments.GetCount(); ++i) {
        const FCMultiStaffInstrument& instrument = *instruments.GetItemAt(i);
        // Each end is worked out before the region's staff is asked for, in this order. Staff 0
        // is no staff: an instrument none of whose staves the score places, like a selection
        // whose staves the host cannot name, matches nothing.
        const int16_t top = EndStaff(instrument, true);
        if (top == 0 || top != region.GetStartStaff()) continue;
        const int16_t bottom = EndStaff(instrument, false);
        if (bottom != 0 && bottom == region.GetEndStaff()) return true;
    }
    return false;
}

}  // namespace split
