#include "framework/text/fc_text_block.h"

#include <cstring>

#include "framework/core/le.h"
#include "framework/text/fc_raw_text.h"

namespace {
// Defaults of a new block; their meaning is the host's and they are written as they are.
constexpr size_t kDefaultWord8 = 8, kFlags = 14;
constexpr uint16_t kDefaultWord8Value = 100, kDefaultFlags = 0x1A08;
constexpr uint16_t kDefaultTextKind = 0x626C;     // 'b' 'l'
constexpr uint32_t kRawTextTagHigh = 0x74780000;  // 't' 'x'
}  // namespace

FCTextBlock::FCTextBlock() {
    le::PutU16(record_, kDefaultWord8, kDefaultWord8Value);
    le::PutU16(record_, kFlags, kDefaultFlags);
    le::PutU16(record_, kTextKind, kDefaultTextKind);
    UseEmbeddedRecord(record_, kRecordSize);
}

void FCTextBlock::CopyDataFrom(const __FCBaseData& other) {
    CopyIntoEmbeddedRecord(other, record_, kRecordSize);
}

bool FCTextBlock::DeleteData() {
    FCRawText raw;
    raw.SetCustomTag(GetRawTextTag());
    raw.SetTextNumber(GetRawTextNumber());
    raw.LoadCurrentKey();
    raw.DeleteRecord();
    return DeleteRecord();
}

uint16_t FCTextBlock::GetRawTextNumber() const {
    return le::GetU16(record_, kRawTextNumber);
}

void FCTextBlock::SetRawTextNumber(uint16_t number) {
    le::PutU16(record_, kRawTextNumber, number);
}

uint16_t FCTextBlock::GetTextKind() const {
    return le::GetU16(record_, kTextKind);
}

void FCTextBlock::SetTextKind(uint16_t kind) {
    le::PutU16(record_, kTextKind, kind);
}

uint32_t FCTextBlock::GetRawTextTag() const {
    return kRawTextTagHigh | GetTextKind();
}

std::unique_ptr<FCString> FCTextBlock::CreateRawTextString() const {
    auto text = std::make_unique<FCString>();
    LoadRawTextString(text.get());  // a text that does not load leaves the string empty
    return text;
}

bool FCTextBlock::LoadRawTextString(FCString* text, bool* beyondReadLimit) const {
    FCRawText raw;
    raw.SetCustomTag(GetRawTextTag());
    raw.SetTextNumber(GetRawTextNumber());
    const bool loaded = raw.LoadCurrentKey();
    if (beyondReadLimit != nullptr) *beyondReadLimit = !loaded && raw.IsBeyondReadLimit();
    if (!loaded || !raw.HoldsWholeText()) return false;
    raw.GetText(text);
    return true;
}
