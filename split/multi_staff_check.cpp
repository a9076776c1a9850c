#include "split/multi_staff_check.h"

#include <algorithm>
#include <cstdint>

#include "framework/host/host_bridge.h"
#include "framework/score/fc_multi_staff_instrument.h"

namespace split {
namespace {

int16_t SlotOf(int16_t staff) {
    return static_cast<int16_t>(host::InstToSlot(static_cast<uint16_t>(staff)));
}

// An instrument's staves that the host placed nowhere (slot 0), from both ends' lookups.
class Unplaced {
  public:
    void Add(int16_t staff) {
        if (staff != 0 && count_ < 6) staves_[count_++] = staff;
    }
    bool Any() const { return count_ != 0; }
    // Whether `staff`, a staff the host named at a slot of the selection, is one of them: it is
    // in the score, so the lookup that placed it nowhere was refused.
    bool Holds(int16_t staff) const {
        return staff != 0 && std::find(staves_, staves_ + count_, staff) != staves_ + count_;
    }

  private:
    int16_t staves_[6] = {};
    int count_ = 0;
};

// The instrument's staff whose slot in score order `precedes` every other's; staves the score
// does not place (slot 0) are ignored, and told to `unplaced`. Staff1, when placed, is the first
// candidate whatever `initialSlot` is; 0 when no staff is placed.
template <typename Precedes>
int16_t EndStaff(const FCMultiStaffInstrument& instrument, int16_t initialSlot, Precedes precedes,
                 Unplaced& unplaced) {
    int16_t best = 0;
    int16_t bestSlot = initialSlot;
    const int16_t staves[3] = {instrument.GetStaff1(), instrument.GetStaff2(),
                               instrument.GetStaff3()};
    for (int i = 0; i < 3; ++i) {
        const int16_t slot = SlotOf(staves[i]);
        if (slot == 0) {
            unplaced.Add(staves[i]);
            continue;
        }
        if (i == 0 || precedes(slot, bestSlot)) {
            best = staves[i];
            bestSlot = slot;
        }
    }
    return best;
}

// The instrument's top staff: the smallest slot.
int16_t TopStaff(const FCMultiStaffInstrument& instrument, Unplaced& unplaced) {
    return EndStaff(
        instrument, 10000, [](int16_t a, int16_t b) { return a < b; }, unplaced);
}

// The instrument's bottom staff: the largest slot.
int16_t BottomStaff(const FCMultiStaffInstrument& instrument, Unplaced& unplaced) {
    return EndStaff(
        instrument, -10000, [](int16_t a, int16_t b) { return a > b; }, unplaced);
}

}  // namespace

bool IsMultiStaffInstrumentRange(const FCMusicRegion& region, bool* unread) {
    FCMultiStaffInstruments instruments;
    instruments.LoadAll();
    bool doubt = !instruments.LoadedWhole();
    for (int i = 0; i < instruments.GetCount(); ++i) {
        const FCMultiStaffInstrument& instrument = *instruments.GetItemAt(i);
        // Each end is worked out before the region's staff is asked for, in this order. Staff 0
        // is no staff: an instrument none of whose staves the score places, like a selection
        // whose staves the host cannot name, matches nothing. A selection's staff that the
        // host placed nowhere for the instrument leaves the answer unknown.
        Unplaced unplaced;
        const int16_t top = TopStaff(instrument, unplaced);
        doubt = doubt || (unplaced.Any() && unplaced.Holds(region.GetStartStaff()));
        if (top == 0 || top != region.GetStartStaff()) continue;
        const int16_t bottom = BottomStaff(instrument, unplaced);
        if (bottom == 0) continue;
        if (bottom == region.GetEndStaff()) return true;
        doubt = doubt || unplaced.Holds(region.GetEndStaff());
    }
    if (unread != nullptr) *unread = doubt;
    return false;
}

}  // namespace split
