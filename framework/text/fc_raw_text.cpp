#include "framework/text/fc_raw_text.h"

#include <cstring>
#include <string>
#include <vector>

#include "framework/core/host_version.h"
#include "framework/core/le.h"
#include "framework/host/record_transfer.h"

FCRawText::~FCRawText() {
    // The base destructor frees only storage it marks as owned; this buffer is ours either way.
    ReleaseDataPointer();
}

void* FCRawText::GetDataPointer() {
    ReleaseDataPointer();
    const int32_t size = GetDataSize();
    if (size <= 0) return nullptr;
    bufferBytes_ = static_cast<uint64_t>(size);
    data_ = new uint8_t[bufferBytes_];
    // Zeroed, so a host that writes less than it reported leaves nothing uninitialised.
    std::memset(data_, 0, bufferBytes_);
    return data_;
}

void FCRawText::ReleaseDataPointer() {
    delete[] data_;
    data_ = nullptr;
    ownsData_ = false;
    dataSize_ = 0;
    bufferBytes_ = 0;
}

uint32_t FCRawText::GetTag() const {
    return customTag_ != 0 ? customTag_ : kDefaultTag;
}

uint32_t FCRawText::GetVersion() const {
    return vb::hostVersion;
}

bool FCRawText::IsUnicodeText() const {
    return vb::HostUsesUnicodeText();
}

int32_t FCRawText::GetDataSize() {
    queriedBytes_ = QuerySize();
    return queriedBytes_;
}

int32_t FCRawText::QuerySize() {
    // The size query must not move the key, whatever the host does with it.
    uint16_t key[kKeyWords];
    std::memcpy(key, key_, sizeof(key));
    int32_t size = 0;
    beyondReadLimit_ = false;
    if (host::LoadRecord(GetTag(), key, nullptr, &size, GetVersion()) == 0) return 0;
    // Only the query that sizes the buffer speaks for the record: a later answer beyond the
    // limit disagrees with it, which is the host's fault, not the plug-in's limit.
    const bool beyond = size > kMaxRecordBytes;
    beyondReadLimit_ = beyond && data_ == nullptr;
    if (size < 0 || beyond) return 0;
    // A host that grows the record between two queries must not be let past the buffer.
    if (data_ != nullptr && static_cast<uint64_t>(size) > bufferBytes_) {
        return static_cast<int32_t>(bufferBytes_);
    }
    return size;
}

void FCRawText::CopyDataFrom(const __FCBaseData& other) {
    if (&other == this) return;
    __FCBaseData::CopyDataFrom(other);
    if (data_ != nullptr) bufferBytes_ = dataSize_;
}

bool FCRawText::LoadFirst() {
    SetTextNumber(0);
    return LoadNext();
}

uint64_t FCRawText::WrittenUnits(const FCString& text) const {
    const uint64_t length = text.GetLength();
    if (IsUnicodeText()) return length;
    // The 8-bit view keeps each unit's low byte; a unit whose low byte is 0 ends it.
    const char16_t* units = text.GetUTF16();
    uint64_t count = 0;
    while (count < length && (units[count] & 0xFF) != 0) ++count;
    return count;
}

bool FCRawText::CanHold(const FCString& text) const {
    const uint64_t unitBytes = IsUnicodeText() ? 2 : 1;
    return WrittenUnits(text) < static_cast<uint64_t>(kMaxRecordBytes) / unitBytes;
}

void FCRawText::SetText(const FCString* text) {
    ReleaseDataPointer();
    if (text == nullptr || !CanHold(*text)) return;
    const uint64_t count = WrittenUnits(*text);
    const char16_t* units = text->GetUTF16();
    uint64_t size = 0;
    if (IsUnicodeText()) {
        size = (count + 1) * 2;
        data_ = new uint8_t[size];
        for (uint64_t i = 0; i < count; ++i) le::PutU16(data_, i * 2, units[i]);
        le::PutU16(data_, count * 2, 0);
    } else {
        size = count + 1;
        data_ = new uint8_t[size];
        for (uint64_t i = 0; i < count; ++i) data_[i] = static_cast<uint8_t>(units[i] & 0xFF);
        data_[count] = 0;
    }
    dataSize_ = size;
    bufferBytes_ = size;
}

void FCRawText::GetText(FCString* text) const {
    if (text == nullptr || data_ == nullptr || dataSize_ == 0) return;
    std::vector<char16_t> units;
    if (IsUnicodeText()) {
        const uint64_t capacity = dataSize_ / 2;
        for (uint64_t i = 0; i < capacity; ++i) {
            const uint16_t unit = le::GetU16(data_, i * 2);
            if (unit == 0) break;
            units.push_back(unit);
        }
    } else {
        for (uint64_t i = 0; i < dataSize_ && data_[i] != 0; ++i) units.push_back(data_[i]);
    }
    text->SetUTF16(units.data(), units.size());
}

bool FCRawText::HoldsWholeText() const {
    if (data_ == nullptr || dataSize_ == 0 || dataSize_ < static_cast<uint64_t>(queriedBytes_)) {
        return false;
    }
    if (IsUnicodeText()) {
        for (uint64_t i = 0; i + 1 < dataSize_; i += 2) {
            if (le::GetU16(data_, i) == 0) return true;
        }
        return false;
    }
    return std::memchr(data_, 0, dataSize_) != nullptr;
}

bool FCRawText::HoldsTextOf(const FCRawText& other) const {
    FCString mine, theirs;
    GetText(&mine);
    other.GetText(&theirs);
    return mine.GetLength() == theirs.GetLength() &&
           std::char_traits<char16_t>::compare(mine.GetUTF16(), theirs.GetUTF16(),
                                               mine.GetLength()) == 0;
}

bool FCRawText::SaveNew() {
    if (dataSize_ == 0 || data_ == nullptr) return false;
    SetTextNumber(0xFFFF);
    return host::CreateEData(GetTag(), key_, data_, static_cast<int32_t>(dataSize_),
                             GetVersion()) != 0;
}
