#include "framework/score/fc_music_region.h"

#include "framework/base/module_state.h"
#include "framework/core/le.h"
#include "framework/host/host_bridge.h"
#include "framework/score/fc_measure.h"

namespace {
// Host region record: packed, little-endian; startPos and endPos are not 4-byte aligned.
constexpr size_t kStartSystem = 0, kStartSlot = 2, kStartMeasure = 4, kStartPos = 6,
                 kEndSystem = 10, kEndSlot = 12, kEndMeasure = 14, kEndPos = 16;
}  // namespace

void FCMusicRegion::SetHostRegion(const void* record) {
    if (record == nullptr) {
        startSystem = startSlot = startMeasure = endSystem = endSlot = endMeasure = 0;
        startPos = endPos = 0;
        return;
    }
    const auto* bytes = static_cast<const uint8_t*>(record);
    startSystem = le::GetI16(bytes, kStartSystem);
    startSlot = le::GetI16(bytes, kStartSlot);
    startMeasure = le::GetI16(bytes, kStartMeasure);
    startPos = le::GetI32(bytes, kStartPos);
    endSystem = le::GetI16(bytes, kEndSystem);
    endSlot = le::GetI16(bytes, kEndSlot);
    endMeasure = le::GetI16(bytes, kEndMeasure);
    endPos = le::GetI32(bytes, kEndPos);
    document = vb::CurrentDocument();
}

bool FCMusicRegion::IsFullMeasureSelection() const {
    return IsEmpty() || (startPos == 0 && endPos == END_OF_MEASURE);
}

template <typename T, typename Ask>
T RegionReads::Remember(Kept<T> RegionReads::*kept, int32_t a, int32_t b, Ask ask) {
    RegionReads* reads = Running();
    if (reads == nullptr) return T{};
    Kept<T>& answer = reads->*kept;
    if (answer.known && answer.asked[0] == a && answer.asked[1] == b) return answer.value;
    answer = {true, {a, b}, ask()};
    return answer.value;
}

int16_t FCMusicRegion::GetStartStaff() const {
    return RegionReads::Remember(&RegionReads::startStaff_, startSlot, startSystem, [this] {
        return static_cast<int16_t>(
            host::SlotToInst(static_cast<uint16_t>(startSlot), static_cast<uint16_t>(startSystem)));
    });
}

int16_t FCMusicRegion::GetEndStaff() const {
    return RegionReads::Remember(&RegionReads::endStaff_, endSlot, endSystem, [this] {
        return static_cast<int16_t>(
            host::SlotToInst(static_cast<uint16_t>(endSlot), static_cast<uint16_t>(endSystem)));
    });
}

bool FCMusicRegion::IsLastEndMeasure() const {
    return RegionReads::Remember(&RegionReads::lastEndMeasure_, GetEndMeasure(), 0, [this] {
        const auto m = static_cast<uint16_t>(GetEndMeasure());
        const auto next = static_cast<uint16_t>(m + 1);
        FCMeasure measure;
        if (!measure.Load(m)) return false;
        if (measure.Load(next)) return false;
        // Measure 0 is refused without asking. A load the host refuses reads as a measure that
        // is not there: only then is the host asked for the record after m, so that a refusal
        // does not cut the piece after the selection off the split.
        return next == 0 || !measure.HasMeasureAfter(m);
    });
}

bool FCMusicRegion::IsEqual(const FCMusicRegion& other) const {
    auto staffAt = [](int16_t slot, int16_t system) {
        return static_cast<int16_t>(
            host::SlotToInst(static_cast<uint16_t>(slot), static_cast<uint16_t>(system)));
    };
    return startSystem == other.startSystem &&
           staffAt(startSlot, startSystem) == staffAt(other.startSlot, other.startSystem) &&
           staffAt(endSlot, endSystem) == staffAt(other.endSlot, other.endSystem) &&
           GetStartMeasure() == other.GetStartMeasure() &&
           GetEndMeasure() == other.GetEndMeasure() && startPos == other.startPos &&
           endPos == other.endPos;
}
