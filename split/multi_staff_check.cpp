#include "split/multi_staff_check.h"

#include <cstdint>

#include "framework/host/host_bridge.h"
#include "framework/score/fc_multi_staff_instrument.h"

namespace split {
namespace {

int16_t SlotOf(int16_t staff) {
    return static_cast<int16_t>(host::InstToSlot(static_cast<uint16_t>(staff)));
}

// The instrument's staff whose slot in score order `precedes` every other's; staves the score
// does not place (slot 0) are ignored. Staff1, when placed, is the first candidate whatever
// `initialSlot` is; 0 when no staff is placed.
template <typename Precedes>
int16_t EndStaff(const FCMultiStaffInstrument& instrument, int16_t initialSlot, Precedes precedes) {
    int16_t best = 0;
    int16_t bestSlot = initialSlot;
    const int16_t staves[3] = {instrument.GetStaff1(), instrument.GetStaff2(),
                               instrument.GetStaff3()};
    for (int i = 0; i < 3; ++i) {
        const int16_t slot = SlotOf(staves[i]);
        if (slot == 0) continue;
        if (i == 0 || precedes(slot, bestSlot)) {
            best = staves[i];
            bestSlot = slot;
        }
    }
    return best;
}

// The instrument's top staff: the smallest slot.
int16_t TopStaff(const FCMultiStaffInstrument& instrument) {
    return EndStaff(instrument, 10000, [](int16_t a, int16_t b) { return a < b; });
}

// The instrument's bottom staff: the largest slot.
int16_t BottomStaff(const FCMultiStaffInstrument& instrument) {
    return EndStaff(instrument, -10000, [](int16_t a, int16_t b) { return a > b; });
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
        const int16_t top = TopStaff(instrument);
        if (top == 0 || top != region.GetStartStaff()) continue;
        const int16_t bottom = BottomStaff(instrument);
        if (bottom != 0 && bottom == region.GetEndStaff()) return true;
    }
    return false;
}

}  // namespace split
