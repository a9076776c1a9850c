#include "framework/score/fc_group.h"

#include <cstring>

#include "framework/core/host_version.h"
#include "framework/core/le.h"
#include "framework/host/host_bridge.h"
#include "framework/text/fc_raw_text.h"
#include "framework/text/fc_text_block.h"

namespace {
// Group record: 36 bytes, little-endian. Bytes 6 to 21 (but for the field at 6, which only the
// split adjusts) and 24 to 31 are not interpreted and pass through unchanged.
constexpr size_t kStartStaff = 0, kEndStaff = 2, kFullNameId = 4, kField6 = 6, kAbbrevNameId = 22,
                 kStartMeasure = 32, kEndMeasure = 34;
}  // namespace

uint32_t FCGroup::GetVersion() const {
    return vb::HostUsesOldGroupVersion() ? OLD_VERSION : host::DATA_VERSION;
}

void FCGroup::CopyDataFrom(const __FCBaseData& other) {
    CopyIntoEmbeddedRecord(other, record_, RECORD_SIZE);
}

bool FCGroup::SaveNew() {
    if (dataSize_ == 0) return false;
    key_[1] = 0xFFFF;
    key_[2] = 0;
    return host::CreateEData(GetTag(), key_, data_, static_cast<int32_t>(GetLoadedSize()),
                             GetVersion()) != 0;
}

std::unique_ptr<FCString> FCGroup::CreateNameString(size_t offset, NameRecords* read) const {
    const uint16_t id = le::GetU16(record_, offset);
    FCTextBlock block;
    // Id 0 is no name: whatever does not load there reads as empty.
    const bool blockLoaded = block.Load(id);
    if (!blockLoaded && id != 0) return nullptr;
    if (blockLoaded && read != nullptr) read->block = id;
    auto name = std::make_unique<FCString>();
    bool beyondReadLimit = false;
    const bool textLoaded = block.LoadRawTextString(name.get(), &beyondReadLimit);
    if (read != nullptr) read->beyondReadLimit = beyondReadLimit;
    if (!textLoaded && id != 0) return nullptr;
    if (textLoaded && read != nullptr && block.GetRawTextTag() == FCRawText::kDefaultTag) {
        read->rawText = block.GetRawTextNumber();
    }
    return name;
}

std::unique_ptr<FCString> FCGroup::CreateFullNameString(NameRecords* read) const {
    return CreateNameString(kFullNameId, read);
}

std::unique_ptr<FCString> FCGroup::CreateAbbreviatedNameString(NameRecords* read) const {
    return CreateNameString(kAbbrevNameId, read);
}

namespace {
// Whether a creation reported under `number` made a record of its own: the placeholder the
// creation passed, or a number of a record known to be there, names none (the host created
// it elsewhere or not at all), and whatever is written or deleted under it would hit another's.
// Nor does 0, which a group's name field reads as "no name": the piece would come out unnamed.
bool NamesNewRecord(uint16_t number, const FCGroup::NumberSet* known) {
    return number != 0 && number != 0xFFFF && (known == nullptr || !known->Contains(number));
}

// Whether the raw text the host reports creating holds the text written into it. A number the
// caller never read can still be another record's, the name of a group it did not look at: that
// text must neither name the piece nor be deleted with it.
bool ReadsBackAsWritten(const FCRawText& written) {
    FCRawText stored;
    stored.SetCustomTag(written.GetTag());
    stored.SetTextNumber(written.GetTextNumber());
    return stored.LoadCurrentKey() && stored.HoldsWholeText() && stored.HoldsTextOf(written);
}

// Whether the text block the host reports creating leads to the raw text it was written with.
bool ReadsBackAsWritten(const FCTextBlock& written) {
    FCTextBlock stored;
    return stored.Load(written.GetItemNo()) &&
           stored.GetRawTextNumber() == written.GetRawTextNumber() &&
           stored.GetTextKind() == written.GetTextKind();
}
}  // namespace

bool FCGroup::SaveNewNameBlock(const FCString* name, size_t offset, NameRecords* made,
                               const KnownTexts* known) {
    if (name == nullptr) return false;
    FCRawText rawText;
    rawText.SetText(name);
    if (rawText.GetLoadedSize() == 0 || !rawText.SaveNew()) return false;
    if (!NamesNewRecord(rawText.GetTextNumber(), known ? &known->rawTexts : nullptr) ||
        !ReadsBackAsWritten(rawText)) {
        return false;
    }
    if (made != nullptr) made->rawText = rawText.GetTextNumber();
    FCTextBlock block;
    block.SetRawTextNumber(rawText.GetTextNumber());
    if (!block.SaveNew()) return false;
    if (!NamesNewRecord(block.GetItemNo(), known ? &known->blocks : nullptr) ||
        !ReadsBackAsWritten(block)) {
        return false;
    }
    if (made != nullptr) made->block = block.GetItemNo();
    le::PutU16(record_, offset, block.GetItemNo());
    return true;
}

bool FCGroup::SaveNewFullNameBlock(const FCString* name, NameRecords* made,
                                   const KnownTexts* known) {
    return SaveNewNameBlock(name, kFullNameId, made, known);
}

bool FCGroup::SaveNewAbbreviatedNameBlock(const FCString* name, NameRecords* made,
                                          const KnownTexts* known) {
    return SaveNewNameBlock(name, kAbbrevNameId, made, known);
}

bool FCGroup::DeleteNameRecords(const NameRecords& made) {
    if (made.block) {
        FCTextBlock block;
        block.SetKeyWord(0, *made.block);
        if (!block.DeleteRecord()) return false;
    }
    if (made.rawText) {
        FCRawText rawText;
        rawText.SetTextNumber(*made.rawText);
        if (!rawText.DeleteRecord()) return false;
    }
    return true;
}

int16_t FCGroup::GetStartStaff() const {
    return le::GetI16(record_, kStartStaff);
}
int16_t FCGroup::GetEndStaff() const {
    return le::GetI16(record_, kEndStaff);
}
int16_t FCGroup::GetFullNameID() const {
    return le::GetI16(record_, kFullNameId);
}
int16_t FCGroup::GetAbbreviatedNameID() const {
    return le::GetI16(record_, kAbbrevNameId);
}
int16_t FCGroup::GetStartMeasure() const {
    return le::GetI16(record_, kStartMeasure);
}
int16_t FCGroup::GetEndMeasure() const {
    return le::GetI16(record_, kEndMeasure);
}
int16_t FCGroup::GetField6() const {
    return le::GetI16(record_, kField6);
}
void FCGroup::SetStartStaff(int16_t staff) {
    le::PutI16(record_, kStartStaff, staff);
}
void FCGroup::SetEndStaff(int16_t staff) {
    le::PutI16(record_, kEndStaff, staff);
}
void FCGroup::SetFullNameID(int16_t id) {
    le::PutI16(record_, kFullNameId, id);
}
void FCGroup::SetAbbreviatedNameID(int16_t id) {
    le::PutI16(record_, kAbbrevNameId, id);
}
void FCGroup::SetStartMeasure(int16_t measure) {
    le::PutI16(record_, kStartMeasure, measure);
}
void FCGroup::SetEndMeasure(int16_t measure) {
    le::PutI16(record_, kEndMeasure, measure);
}
void FCGroup::SetField6(int16_t value) {
    le::PutI16(record_, kField6, value);
}

int FCGroups::LoadAllForItem(int16_t owner, int16_t first) {
    ClearAll();
    FCGroup probe;
    probe.SetCustomTag(customTag_);
    // Group numbers count in 16 bits; stop before wrapping around to the first again.
    for (int n = 0; n < 0x10000; ++n) {
        probe.SetGroupOwner(owner);
        probe.SetGroupNumber(static_cast<int16_t>(first + n));
        probe.SetKeyWord(2, 0);
        if (!probe.LoadCurrentKey()) break;
        AppendCopyOf(probe);
    }
    return GetCount();
}
