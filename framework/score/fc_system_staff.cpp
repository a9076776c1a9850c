#include "framework/score/fc_system_staff.h"

#include <cstring>
#include <memory>

#include "framework/core/le.h"
#include "framework/host/host_bridge.h"
#include "framework/host/record_transfer.h"

namespace {
// System staff record: 24 bytes; only the staff number is interpreted.
constexpr size_t kStaff = 0;
// Companion record: 10 bytes, the value first, the rest written as 0.
constexpr size_t kCompanionValue = 0;
// Positions are counted in 16 bits; no list is longer.
constexpr int kMaxPositions = 0x8000;
}  // namespace

int16_t FCSystemStaff::GetStaff() const {
    return le::GetI16(record_, kStaff);
}

void FCSystemStaff::SetStaff(int16_t staff) {
    le::PutI16(record_, kStaff, staff);
}

void FCSystemStaff::CopyDataFrom(const __FCBaseData& other) {
    if (other.GetLoadedSize() == 0 || other.GetData() == nullptr) return;
    CopyIntoEmbeddedRecord(other, record_, RECORD_SIZE);
    const auto* staff = dynamic_cast<const FCSystemStaff*>(&other);
    companionValue_ = (staff == nullptr || staff->GetSystem() == 0) ? DEFAULT_COMPANION_VALUE
                                                                    : staff->companionValue_;
}

bool FCSystemStaff::Load(uint16_t system, int16_t position) {
    if (!__FCInciOther::Load(system, position)) return false;
    companionValue_ = DEFAULT_COMPANION_VALUE;
    if (system == 0) return true;
    uint16_t key[4] = {system, static_cast<uint16_t>(GetStaff()), 0, 0};
    uint8_t companion[COMPANION_SIZE] = {};
    int32_t size = COMPANION_SIZE;
    if (host::LoadRecord(COMPANION_TAG, key, companion, &size, GetVersion()) != 0 && size >= 2) {
        companionValue_ = le::GetI16(companion, kCompanionValue);
    }
    return true;
}

bool FCSystemStaff::Save() {
    if (!__FCInciOther::Save()) return false;
    return SaveCompanion();
}

bool FCSystemStaff::SaveNew(uint16_t system) {
    if (dataSize_ == 0) return false;
    key_[0] = system;
    key_[1] = 0xFFFF;
    if (host::CreateEData(GetTag(), key_, data_, static_cast<int32_t>(GetLoadedSize()),
                          GetVersion()) == 0) {
        return false;
    }
    return SaveCompanion();
}

bool FCSystemStaff::SaveCompanion() {
    if (companionValue_ == DEFAULT_COMPANION_VALUE) {
        DeleteCompanion();
        return true;
    }
    uint16_t key[4] = {key_[0], static_cast<uint16_t>(GetStaff()), 0, 0};
    uint8_t companion[COMPANION_SIZE] = {};
    le::PutI16(companion, kCompanionValue, static_cast<int16_t>(companionValue_));
    return host::SaveRecord(COMPANION_TAG, key, companion, COMPANION_SIZE, GetVersion()) != 0;
}

void FCSystemStaff::DeleteCompanion() {
    if (key_[0] == 0 || dataSize_ == 0) return;
    uint16_t key[4] = {key_[0], static_cast<uint16_t>(GetStaff()), 0, 0};
    host::DeleteEData(COMPANION_TAG, key, GetVersion());
}

int FCSystemStaves::LoadAllForItem(int16_t system) {
    ClearAll();
    readShort_ = false;
    std::unique_ptr<__FCBaseData> created(CreateElement());
    auto* probe = static_cast<FCSystemStaff*>(created.get());
    probe->SetCustomTag(customTag_);
    for (int n = 0; n < kMaxPositions; ++n) {
        if (!probe->Load(static_cast<uint16_t>(system), static_cast<int16_t>(n))) break;
        readShort_ = readShort_ || probe->GetLoadedSize() < kStaff + 2;
        AppendCopyOf(*probe);
    }
    return GetCount();
}

bool FCSystemStaves::DeleteAllForItem(int16_t system) {
    FCSystemStaff probe;
    const auto item = static_cast<uint16_t>(system);
    if (!probe.Load(item, 0)) return true;
    int count = 1;
    while (count < kMaxPositions && probe.Load(item, static_cast<int16_t>(count))) ++count;
    for (int i = count - 1; i >= 0; --i) {
        if (!probe.Load(item, static_cast<int16_t>(i)) || !probe.DeleteRecord()) return false;
    }
    return true;
}

bool FCSystemStaves::SaveAllForItem(int16_t system) {
    if (!DeleteAllForItem(system)) return false;
    for (int i = 0; i < GetCount(); ++i) {
        FCSystemStaff* staff = GetItemAt(i);
        staff->SetCustomTag(customTag_);
        if (!staff->SaveNew(static_cast<uint16_t>(system))) return false;
    }
    return true;
}

FCSystemStaff* FCSystemStaves::FindStaff(int16_t staff) const {
    const int index = FindStaffIndex(staff);
    return index < 0 ? nullptr : GetItemAt(index);
}

int FCSystemStaves::FindStaffIndex(int16_t staff) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (GetItemAt(i)->GetStaff() == staff) return i;
    }
    return -1;
}
