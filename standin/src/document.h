#pragma once
// The document: every host record as bytes under (tag, key words), plus what is not a record
// (fonts, staff names, the document number). Typed content (groups, staff systems, texts) is
// read from and written to the records, so the plug-in's writes show in every view at once.
#include <array>
#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bytes.h"
#include "standin/host.h"

namespace standin {

// Unused key words are 0.
struct RecordKey {
    uint32_t tag = 0;
    std::array<uint16_t, 3> words{};
    auto operator<=>(const RecordKey&) const = default;
};

// Record sizes of the typed tags.
constexpr size_t kGroupSize = 36, kMeasureSize = 30, kShortMeasureSize = 26, kSystemStaffSize = 24,
                 kCompanionSize = 10, kMultiStaffSize = 12, kTextBlockSize = 26, kFontPrefsSize = 6;

// Group record offsets.
constexpr size_t kGroupStartStaff = 0, kGroupEndStaff = 2, kGroupFullNameId = 4,
                 kGroupAbbrevNameId = 22, kGroupStartMeasure = 32, kGroupEndMeasure = 34;
// Text block record offsets and the defaults of a new block.
constexpr size_t kBlockRawText = 0, kBlockKind = 24;
Bytes DefaultTextBlock(uint16_t rawText, uint16_t kind);

inline bool IsRawTextTag(uint32_t t) {
    return (t & 0xFFFF0000) == tag::kRawTextBase;
}

class Document {
  public:
    // Key words the host reads for the tag: 3 for detail records ('SDNG', 'dtLP' and generic tags
    // put with three words), 1 for raw texts, 2 for all others.
    size_t KeyWords(uint32_t tag) const;
    RecordKey KeyFrom(uint32_t tag, const uint16_t* words) const;
    // None when the number of words does not fit the tag.
    std::optional<RecordKey> KeyFrom(uint32_t tag, const std::vector<uint16_t>& words) const;
    std::vector<uint16_t> Words(const RecordKey& key) const;
    void MarkDetailTag(uint32_t tag) { detailTags_.insert(tag); }
    bool IsDetailTag(uint32_t tag) const { return detailTags_.count(tag) != 0; }

    const Bytes* Find(const RecordKey& key) const;
    void Put(const RecordKey& key, Bytes bytes);  // measures are kept at their long size
    bool Erase(const RecordKey& key) { return records_.erase(key) != 0; }
    // The first record of the key's tag strictly after the key.
    std::optional<RecordKey> After(const RecordKey& key) const;
    std::vector<RecordKey> KeysOf(uint32_t tag) const;
    const std::map<RecordKey, Bytes>& Records() const { return records_; }
    // Replaces the first key word given as 0xFFFF by the next free number among the records that
    // share the words before it (item numbers from 1, the last word of a longer key from 0);
    // later 0xFFFF words become 0. False when no number is left.
    bool AssignNumbers(RecordKey& key) const;

    // Typed content.
    std::vector<int16_t> StaffSystem(int16_t system) const;
    void SetStaffSystem(int16_t system, const std::vector<int16_t>& staves);
    int MeasureCount() const;
    void SetMeasureCount(int count);
    std::optional<std::u16string> RawText(uint32_t tag, uint16_t number) const;
    uint16_t AddRawText(uint32_t tag, uint16_t number, const std::u16string& text);
    uint16_t AddTextBlock(uint16_t number, Bytes record);
    std::optional<std::u16string> TextBlockText(uint16_t block) const;
    GroupView ViewGroup(const RecordKey& key, const Bytes& record) const;
    // The group's number, 0 when none is left or the owner or number is -1 (the key word that
    // asks for one); its names become new raw texts and text blocks.
    int16_t AddGroup(const GroupSpec& spec);

    int16_t documentNumber = 1;
    std::map<uint16_t, std::u16string> fonts;
    std::map<int16_t, std::string> staffNames;

  private:
    uint16_t AddName(const std::optional<std::u16string>& name);

    std::map<RecordKey, Bytes> records_;
    std::set<uint32_t> detailTags_{tag::kGroup, tag::kCompanion};
};

}  // namespace standin
