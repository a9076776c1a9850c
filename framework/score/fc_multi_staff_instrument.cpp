#include "framework/score/fc_multi_staff_instrument.h"

#include <cstring>

#include "framework/core/le.h"

namespace {
// Multi-staff instrument record: 12 bytes; bytes 6 to 11 are not interpreted.
constexpr size_t kStaff1 = 0, kStaff2 = 2, kStaff3 = 4;
}  // namespace

void FCMultiStaffInstrument::CopyDataFrom(const __FCBaseData& other) {
    CopyIntoEmbeddedRecord(other, record_, RECORD_SIZE);
}

int16_t FCMultiStaffInstrument::GetStaff1() const {
    return le::GetI16(record_, kStaff1);
}
int16_t FCMultiStaffInstrument::GetStaff2() const {
    return le::GetI16(record_, kStaff2);
}
int16_t FCMultiStaffInstrument::GetStaff3() const {
    return le::GetI16(record_, kStaff3);
}
