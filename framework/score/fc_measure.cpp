#include "framework/score/fc_measure.h"

#include <algorithm>
#include <cstring>

#include "framework/core/host_version.h"

void* FCMeasure::GetDataPointer() {
    return vb::HostUsesShortMeasure() ? shortRecord_ : longRecord_;
}

uint32_t FCMeasure::GetVersion() const {
    return vb::HostUsesShortMeasure() ? SHORT_VERSION : LONG_VERSION;
}

int32_t FCMeasure::GetDataSize() {
    return vb::HostUsesShortMeasure() ? SHORT_SIZE : LONG_SIZE;
}

void FCMeasure::CopyDataFrom(const __FCBaseData& other) {
    CopyIntoEmbeddedRecord(other, static_cast<uint8_t*>(GetDataPointer()),
                           static_cast<uint64_t>(GetDataSize()));
}

bool FCMeasure::Load(uint16_t measure) {
    if (measure == 0) return false;
    return __FCNoInciOther::Load(measure);
}

bool FCMeasure::HasMeasureAfter(uint16_t measure) {
    key_[0] = measure;
    key_[1] = 0;
    return StepToNext() && GetItemNo() > measure;
}
