#include "framework/base/fc_base_data.h"

#include <cstring>

#include "framework/base/module_state.h"
#include "framework/host/record_transfer.h"

namespace {

// The key as a load, save or deletion hands it to the host: only an enumeration or a creation
// may move the object to another record, whatever the host writes into the key otherwise.
struct KeyCopy {
    explicit KeyCopy(const uint16_t* key) { std::memcpy(words, key, sizeof(words)); }
    uint16_t words[__FCBaseData::kKeyWords];
};

}  // namespace

__FCBaseData::~__FCBaseData() {
    FreeOwnedData();
}

void __FCBaseData::FreeOwnedData() {
    if (ownsData_ && data_ != nullptr) delete[] data_;
    if (ownsData_) data_ = nullptr;
    ownsData_ = false;
}

void __FCBaseData::CopyKeyFrom(const __FCBaseData& other) {
    std::memcpy(key_, other.key_, sizeof(key_));
}

bool __FCBaseData::LoadCurrentKey() {
    if (data_ != nullptr && IsVariableSize()) {
        FreeOwnedData();
        ReleaseDataPointer();
        data_ = nullptr;
        dataSize_ = 0;
    }
    if (data_ == nullptr) data_ = static_cast<uint8_t*>(GetDataPointer());
    const int32_t capacity = GetDataSize();
    if (data_ == nullptr || capacity < 0) {
        dataSize_ = 0;
        return false;
    }
    int32_t n = capacity;
    KeyCopy key(key_);
    const int32_t r = host::LoadRecord(GetTag(), key.words, data_, &n, GetVersion());
    // A size outside what the storage holds would let a later save read past it.
    if (r == 0 || n < 0 || n > capacity) {
        dataSize_ = 0;
        return false;
    }
    dataSize_ = static_cast<uint64_t>(n);
    loadedDocument_ = vb::CurrentDocument();
    return true;
}

void __FCBaseData::CopyDataFrom(const __FCBaseData& other) {
    if (&other == this || other.dataSize_ == 0 || other.data_ == nullptr) return;
    // Only heap storage is released here; classes with embedded records override this.
    if (data_ != nullptr) {
        if (ownsData_ || IsVariableSize()) delete[] data_;
        data_ = nullptr;
        ownsData_ = false;
    }
    dataSize_ = other.dataSize_;
    data_ = new uint8_t[dataSize_];
    ownsData_ = true;
    std::memcpy(data_, other.data_, dataSize_);
}

void __FCBaseData::CopyIntoEmbeddedRecord(const __FCBaseData& other, uint8_t* record,
                                          uint64_t size) {
    if (&other == this || other.dataSize_ == 0 || other.data_ == nullptr) return;
    std::memmove(record, other.data_, other.dataSize_ < size ? other.dataSize_ : size);
    if (other.dataSize_ < size) std::memset(record + other.dataSize_, 0, size - other.dataSize_);
    FreeOwnedData();
    UseEmbeddedRecord(record, size);
}

bool __FCBaseData::Save() {
    if (dataSize_ == 0) return false;
    KeyCopy key(key_);
    return host::SaveRecord(GetTag(), key.words, data_, static_cast<int32_t>(GetLoadedSize()),
                            GetVersion()) != 0;
}

bool __FCBaseData::Reload() {
    return dataSize_ != 0 && LoadCurrentKey();
}

bool __FCBaseData::DeleteRecord() {
    KeyCopy key(key_);
    return host::DeleteEData(GetTag(), key.words, GetVersion()) != 0;
}

bool __FCBaseData::DeleteData() {
    return DeleteRecord();
}

bool __FCBaseData::LoadNext() {
    return EnumerateNext() == Step::Loaded;
}

__FCBaseData::Step __FCBaseData::EnumerateNext() {
    if (!StepToNext()) return Step::End;
    return LoadCurrentKey() ? Step::Loaded : Step::Unloaded;
}

bool __FCBaseData::StepToNext() {
    return host::NextEData(GetTag(), key_, nullptr, nullptr, GetVersion()) != 0;
}

bool __FCNoInciOther::Load(uint16_t itemNo) {
    key_[0] = itemNo;
    key_[1] = 0;
    return LoadCurrentKey();
}

__FCBaseData::Step __FCNoInciOther::EnumerateFirst() {
    if (Load(1)) return Step::Loaded;
    key_[0] = key_[1] = 0;
    return EnumerateNext();
}

bool __FCNoInciOther::SaveAs(uint16_t itemNo) {
    key_[0] = itemNo;
    key_[1] = 0;
    return Save();
}

bool __FCNoInciOther::SaveNew() {
    if (dataSize_ == 0) return false;
    key_[0] = 0xFFFF;
    key_[1] = 0xFFFF;
    return host::CreateEData(GetTag(), key_, data_, static_cast<int32_t>(GetLoadedSize()),
                             GetVersion()) != 0;
}

bool __FCNoInciOther::Reload() {
    return dataSize_ != 0 && Load(GetItemNo());
}

bool __FCInciOther::Load(uint16_t itemNo, int16_t inci) {
    key_[0] = itemNo;
    key_[1] = static_cast<uint16_t>(inci);
    return LoadCurrentKey();
}

bool __FCInciOther::SaveNew(uint16_t itemNo) {
    if (dataSize_ == 0) return false;
    key_[0] = itemNo;
    key_[1] = 0xFFFF;
    return host::CreateEData(GetTag(), key_, data_, static_cast<int32_t>(GetLoadedSize()),
                             GetVersion()) != 0;
}

bool __FCInciOther::Reload() {
    return dataSize_ != 0 && Load(key_[0], static_cast<int16_t>(key_[1]));
}

__FCBaseData::Step __FCDetail::EnumerateFirst() {
    key_[0] = key_[1] = key_[2] = 0;
    return EnumerateNext();
}

bool __FCPrefsBase::Load(uint16_t itemNo) {
    key_[0] = itemNo;
    return LoadCurrentKey();
}

bool __FCPrefsBase::Reload() {
    return dataSize_ != 0 && Load(key_[0]);
}
