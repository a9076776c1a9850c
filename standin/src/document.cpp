#include "document.h"

#include <algorithm>

#include "text.h"

namespace standin {

Bytes DefaultTextBlock(uint16_t rawText, uint16_t kind) {
    Bytes b(kTextBlockSize, 0);
    Put16(b, kBlockRawText, rawText);
    Put16(b, 8, 100);
    Put16(b, 14, 0x1A08);
    Put16(b, kBlockKind, kind);
    return b;
}

size_t Document::KeyWords(uint32_t tag) const {
    if (IsDetailTag(tag)) return 3;
    if (IsRawTextTag(tag)) return 1;
    return 2;
}

RecordKey Document::KeyFrom(uint32_t tag, const uint16_t* words) const {
    RecordKey key{tag, {}};
    for (size_t i = 0; i < KeyWords(tag); ++i) key.words[i] = words[i];
    return key;
}

std::optional<RecordKey> Document::KeyFrom(uint32_t tag, const std::vector<uint16_t>& words) const {
    if (words.size() != KeyWords(tag)) return std::nullopt;
    return KeyFrom(tag, words.data());
}

std::vector<uint16_t> Document::Words(const RecordKey& key) const {
    return {key.words.begin(), key.words.begin() + static_cast<std::ptrdiff_t>(KeyWords(key.tag))};
}

const Bytes* Document::Find(const RecordKey& key) const {
    auto it = records_.find(key);
    return it == records_.end() ? nullptr : &it->second;
}

void Document::Put(const RecordKey& key, Bytes bytes) {
    if (key.tag == tag::kMeasure) bytes.resize(kMeasureSize, 0);
    records_[key] = std::move(bytes);
}

std::optional<RecordKey> Document::After(const RecordKey& key) const {
    auto it = records_.upper_bound(key);
    if (it == records_.end() || it->first.tag != key.tag) return std::nullopt;
    return it->first;
}

std::vector<RecordKey> Document::KeysOf(uint32_t tag) const {
    std::vector<RecordKey> keys;
    for (auto it = records_.lower_bound(RecordKey{tag, {}});
         it != records_.end() && it->first.tag == tag; ++it) {
        keys.push_back(it->first);
    }
    return keys;
}

bool Document::AssignNumbers(RecordKey& key) const {
    const size_t count = KeyWords(key.tag);
    size_t i = 0;
    while (i < count && key.words[i] != 0xFFFF) ++i;
    if (i == count) return true;
    const bool isInci = count > 1 && i == count - 1;
    uint32_t next = isInci ? 0 : 1;
    // The records that share the words before i are one run of the ordered store; its last has
    // the highest word i. Found in logarithmic time, so filling a document stays linear.
    RecordKey last{key.tag, {}};
    std::copy_n(key.words.begin(), i, last.words.begin());
    std::fill(last.words.begin() + static_cast<std::ptrdiff_t>(i), last.words.end(), 0xFFFF);
    auto it = records_.upper_bound(last);
    if (it != records_.begin()) {
        const RecordKey& other = std::prev(it)->first;
        if (other.tag == key.tag &&
            std::equal(other.words.begin(), other.words.begin() + static_cast<std::ptrdiff_t>(i),
                       key.words.begin())) {
            next = std::max<uint32_t>(next, uint32_t{other.words[i]} + 1);
        }
    }
    if (next >= 0xFFFF) return false;
    key.words[i] = static_cast<uint16_t>(next);
    for (size_t k = i + 1; k < count; ++k) {
        if (key.words[k] == 0xFFFF) key.words[k] = 0;
    }
    return true;
}

std::vector<int16_t> Document::StaffSystem(int16_t system) const {
    std::vector<int16_t> staves;
    const auto sys = static_cast<uint16_t>(system);
    for (uint16_t pos = 0; pos < 0xFFFF; ++pos) {
        const Bytes* rec = Find(RecordKey{tag::kSystemStaff, {sys, pos, 0}});
        if (rec == nullptr || rec->size() < 2) break;
        staves.push_back(GetS16(*rec, 0));
    }
    return staves;
}

void Document::SetStaffSystem(int16_t system, const std::vector<int16_t>& staves) {
    const auto sys = static_cast<uint16_t>(system);
    // Only this system's positions past the new list go.
    auto it = records_.lower_bound(RecordKey{tag::kSystemStaff, {sys, 0, 0}});
    while (it != records_.end() && it->first.tag == tag::kSystemStaff &&
           it->first.words[0] == sys) {
        it = it->first.words[1] >= staves.size() ? records_.erase(it) : std::next(it);
    }
    for (size_t pos = 0; pos < staves.size(); ++pos) {
        RecordKey key{tag::kSystemStaff, {sys, static_cast<uint16_t>(pos), 0}};
        Bytes rec = Find(key) ? *Find(key) : Bytes(kSystemStaffSize, 0);
        PutS16(rec, 0, staves[pos]);
        Put(key, std::move(rec));
    }
}

int Document::MeasureCount() const {
    int count = 0;
    while (count < 0x7FFF &&
           Find(RecordKey{tag::kMeasure, {static_cast<uint16_t>(count + 1), 0, 0}}) != nullptr) {
        ++count;
    }
    return count;
}

void Document::SetMeasureCount(int count) {
    for (const RecordKey& key : KeysOf(tag::kMeasure)) {
        if (key.words[0] == 0 || key.words[0] > count) records_.erase(key);
    }
    for (int m = 1; m <= count; ++m) {
        RecordKey key{tag::kMeasure, {static_cast<uint16_t>(m), 0, 0}};
        if (Find(key) == nullptr) Put(key, Bytes(kMeasureSize, 0));
    }
}

std::optional<std::u16string> Document::RawText(uint32_t tag, uint16_t number) const {
    const Bytes* rec = Find(RecordKey{tag, {number, 0, 0}});
    if (rec == nullptr) return std::nullopt;
    return DecodeUtf16Text(*rec);
}

uint16_t Document::AddRawText(uint32_t tag, uint16_t number, const std::u16string& text) {
    RecordKey key{tag, {number, 0, 0}};
    if (!AssignNumbers(key)) return 0;
    Put(key, EncodeUtf16Text(text));
    return key.words[0];
}

uint16_t Document::AddTextBlock(uint16_t number, Bytes record) {
    RecordKey key{tag::kTextBlock, {number, 0, 0}};
    if (!AssignNumbers(key)) return 0;
    record.resize(kTextBlockSize, 0);
    Put(key, std::move(record));
    return key.words[0];
}

std::optional<std::u16string> Document::TextBlockText(uint16_t block) const {
    const Bytes* rec = Find(RecordKey{tag::kTextBlock, {block, 0, 0}});
    if (rec == nullptr || rec->size() < kTextBlockSize) return std::nullopt;
    return RawText(tag::kRawTextBase | Get16(*rec, kBlockKind), Get16(*rec, kBlockRawText));
}

GroupView Document::ViewGroup(const RecordKey& key, const Bytes& record) const {
    GroupView g;
    g.owner = static_cast<int16_t>(key.words[0]);
    g.number = static_cast<int16_t>(key.words[1]);
    std::copy_n(record.begin(), std::min(record.size(), g.bytes.size()), g.bytes.begin());
    Bytes b(g.bytes.begin(), g.bytes.end());
    g.startStaff = GetS16(b, kGroupStartStaff);
    g.endStaff = GetS16(b, kGroupEndStaff);
    g.fullNameId = GetS16(b, kGroupFullNameId);
    g.abbrevNameId = GetS16(b, kGroupAbbrevNameId);
    g.startMeasure = GetS16(b, kGroupStartMeasure);
    g.endMeasure = GetS16(b, kGroupEndMeasure);
    if (auto full = TextBlockText(static_cast<uint16_t>(g.fullNameId))) {
        g.hasFullName = true;
        g.fullName = *full;
    }
    if (auto abbrev = TextBlockText(static_cast<uint16_t>(g.abbrevNameId))) {
        g.hasAbbrevName = true;
        g.abbrevName = *abbrev;
    }
    return g;
}

uint16_t Document::AddName(const std::optional<std::u16string>& name) {
    if (!name) return 0;
    uint16_t raw = AddRawText(tag::kRawText, 0xFFFF, *name);
    return AddTextBlock(0xFFFF, DefaultTextBlock(raw, tag::kDefaultTextKind));
}

int16_t Document::AddGroup(const GroupSpec& spec) {
    // As a key word, -1 asks for a number to be assigned: no group is stored under it.
    if (spec.owner == -1 || spec.number == -1) return 0;
    Bytes rec = spec.record.value_or(Bytes(kGroupSize, 0));
    rec.resize(kGroupSize, 0);
    PutS16(rec, kGroupStartStaff, spec.startStaff);
    PutS16(rec, kGroupEndStaff, spec.endStaff);
    PutS16(rec, kGroupStartMeasure, spec.startMeasure);
    PutS16(rec, kGroupEndMeasure, spec.endMeasure);
    PutS16(rec, kGroupFullNameId, static_cast<int16_t>(AddName(spec.fullName)));
    PutS16(rec, kGroupAbbrevNameId, static_cast<int16_t>(AddName(spec.abbrevName)));
    RecordKey key{tag::kGroup,
                  {static_cast<uint16_t>(spec.owner),
                   spec.number == 0 ? uint16_t{0xFFFF} : static_cast<uint16_t>(spec.number), 0}};
    if (!AssignNumbers(key)) return 0;
    Put(key, std::move(rec));
    return static_cast<int16_t>(key.words[1]);
}

}  // namespace standin
