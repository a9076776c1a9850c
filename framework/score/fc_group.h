#pragma once
// A staff group: a bracket over a range of staves and measures, with a full and an abbreviated
// name held in text blocks. FCGroups loads every group of the document.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "framework/base/fc_base_data.h"
#include "framework/base/fc_collection.h"
#include "framework/text/fc_string.h"

class FCGroup : public __FCNoInciDetail {
  public:
    static constexpr char kClassName[] = "FCGroup";
    static constexpr uint32_t TAG = 0x53444E47;  // 'SDNG'
    static constexpr int32_t RECORD_SIZE = 36;
    static constexpr uint32_t OLD_VERSION = 0x09000000;

    FCGroup() { UseEmbeddedRecord(record_, RECORD_SIZE); }

    int GetClassID() const override { return 40; }
    const char* GetClassName() const override { return kClassName; }
    void* GetDataPointer() override { return record_; }
    __FCBaseData* CreateObject() const override { return new FCGroup(); }
    uint32_t GetTag() const override { return TAG; }
    uint32_t GetVersion() const override;
    int32_t GetDataSize() override { return RECORD_SIZE; }
    void CopyDataFrom(const __FCBaseData& other) override;

    // Creates the record as a new group of the key's owner (key (owner, -1, 0)); the host writes
    // the new number into the key.
    bool SaveNew();

    // The host records a name consists of: its text block and the raw text of plain texts
    // ('txbl') that holds its characters. A number is set once its record is read or created.
    struct NameRecords {
        std::optional<uint16_t> rawText;
        std::optional<uint16_t> block;
        // Of a read only: the raw text did not load for being longer than the plug-in reads
        // (FCRawText::IsBeyondReadLimit), its own limit, not the host's refusal.
        bool beyondReadLimit = false;
    };
    // A set of record numbers: one bit per possible number, so that a command marks and asks as
    // many as it likes with one allocation.
    class NumberSet {
      public:
        void Insert(uint16_t number) {
            if (bits_.empty()) bits_.resize(size_t{1} << 16);
            bits_[number] = true;
        }
        void Erase(uint16_t number) {
            if (!bits_.empty()) bits_[number] = false;
        }
        bool Contains(uint16_t number) const { return !bits_.empty() && bits_[number]; }

      private:
        std::vector<bool> bits_;
    };
    // Numbers of name records the caller knows to be in use, those it read or made.
    struct KnownTexts {
        NumberSet rawTexts;  // plain texts ('txbl'), as new names are made
        NumberSet blocks;
    };

    // The names' texts, owned by the caller: empty for name id 0 (no name) when nothing loads
    // there; null when the id is set but its text block does not load, or its raw text does not
    // load whole. `read`, when given, is told of the records that loaded, and whether the raw
    // text was longer than the plug-in reads.
    std::unique_ptr<FCString> CreateFullNameString(NameRecords* read = nullptr) const;
    std::unique_ptr<FCString> CreateAbbreviatedNameString(NameRecords* read = nullptr) const;

    // Stores the string as a new raw text and text block and points the name at the block.
    // The group record itself is written by the caller's next Save. `made`, when given, is told
    // of every record created, a failed store included, so that the caller can delete them. A
    // creation the host reports under the placeholder 0xFFFF, under 0 (no name) or under a
    // number in `known`, or whose record does not read back as written (one load each of the raw
    // text and the block), names no new record: the store fails there, and that number is not
    // told to `made`.
    bool SaveNewFullNameBlock(const FCString* name, NameRecords* made = nullptr,
                              const KnownTexts* known = nullptr);
    bool SaveNewAbbreviatedNameBlock(const FCString* name, NameRecords* made = nullptr,
                                     const KnownTexts* known = nullptr);
    // Deletes the records of a stored name, the block before its raw text; false when the host
    // refuses a deletion (a block kept keeps its raw text too).
    static bool DeleteNameRecords(const NameRecords& made);

    int16_t GetStartStaff() const;
    int16_t GetEndStaff() const;
    int16_t GetFullNameID() const;
    int16_t GetAbbreviatedNameID() const;
    int16_t GetStartMeasure() const;
    int16_t GetEndMeasure() const;
    // The 16-bit field at offset 6, not interpreted by the group itself.
    int16_t GetField6() const;
    void SetStartStaff(int16_t staff);
    void SetEndStaff(int16_t staff);
    void SetFullNameID(int16_t id);
    void SetAbbreviatedNameID(int16_t id);
    void SetStartMeasure(int16_t measure);
    void SetEndMeasure(int16_t measure);
    void SetField6(int16_t value);

    int16_t GetGroupOwner() const { return static_cast<int16_t>(key_[0]); }
    int16_t GetGroupNumber() const { return static_cast<int16_t>(key_[1]); }
    void SetGroupOwner(int16_t owner) { key_[0] = static_cast<uint16_t>(owner); }
    void SetGroupNumber(int16_t number) { key_[1] = static_cast<uint16_t>(number); }

    const uint8_t* Record() const { return record_; }

  private:
    std::unique_ptr<FCString> CreateNameString(size_t offset, NameRecords* read) const;
    bool SaveNewNameBlock(const FCString* name, size_t offset, NameRecords* made,
                          const KnownTexts* known);

    uint8_t record_[RECORD_SIZE] = {};
};

class FCGroups : public __FCCollectionNoInciDetail {
  public:
    static constexpr char kClassName[] = "FCGroups";

    const char* GetClassName() const override { return kClassName; }
    __FCBaseData* CreateElement() const override { return new FCGroup(); }
    // Loads groups (owner, first), (owner, first + 1), ... up to the first that does not load.
    virtual int LoadAllForItem(int16_t owner, int16_t first);

    FCGroup* GetItemAt(int index) const {
        return static_cast<FCGroup*>(__FCCollection::GetItemAt(index));
    }
};
