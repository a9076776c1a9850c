#pragma once
// Base classes of every object that mirrors a host record. The base holds the key, where the
// record is loaded and how much of it is held; concrete classes supply their tag, size and
// storage. The base owns storage only when it allocated a copy itself (CopyDataFrom).
#include <cstddef>
#include <cstdint>

#include "framework/base/fc_base.h"
#include "framework/host/host_bridge.h"

class __FCBaseData : public __FCBase {
  public:
    static constexpr char kClassName[] = "__FCBaseData";
    static constexpr int kKeyWords = 4;

    __FCBaseData() = default;
    __FCBaseData(const __FCBaseData&) = delete;
    __FCBaseData& operator=(const __FCBaseData&) = delete;
    ~__FCBaseData() override;

    const char* GetClassName() const override { return kClassName; }

    // The storage to load the record into.
    virtual void* GetDataPointer() = 0;
    virtual void ReleaseDataPointer() {}
    // True makes every load renew the storage first.
    virtual bool IsVariableSize() const { return false; }
    // A new object of the same class in its initial state; the caller owns it.
    virtual __FCBaseData* CreateObject() const = 0;
    virtual uint32_t GetTag() const = 0;
    virtual uint32_t GetVersion() const { return host::DATA_VERSION; }
    // The byte capacity passed to a load.
    virtual int32_t GetDataSize() = 0;
    virtual uint64_t GetLoadedSize() const { return dataSize_; }
    // Takes over a copy of the other object's data; nothing when the other holds none.
    virtual void CopyDataFrom(const __FCBaseData& other);
    // Writes the data under the current key; false when nothing is held.
    virtual bool Save();
    virtual bool Reload();
    virtual bool DeleteRecord();
    virtual bool DeleteData();
    virtual bool LoadFirst() = 0;
    // Steps to the host's next record of the class and loads it.
    virtual bool LoadNext();

    // How one step of an enumeration ended: a record loaded; the host's end (it names no further
    // record); or a record the host named and then did not load, so that what follows is unknown.
    enum class Step { Loaded, End, Unloaded };
    // LoadFirst, told apart; here a first record that does not load is the End.
    virtual Step EnumerateFirst() { return LoadFirst() ? Step::Loaded : Step::End; }
    // LoadNext, told apart.
    Step EnumerateNext();
    // Moves the key to the host's next record of the class (FX_NextEData) without loading it;
    // false at the host's end.
    bool StepToNext();

    // The load that Load, Reload and LoadNext end in (a preference that a preference map
    // assembles excepted). Stamps the command's document (vb::CurrentDocument).
    bool LoadCurrentKey();

    uint16_t* Key() { return key_; }
    const uint16_t* Key() const { return key_; }
    uint16_t GetKeyWord(int index) const { return key_[index]; }
    void SetKeyWord(int index, uint16_t value) { key_[index] = value; }
    // Copies all four key words. CopyDataFrom copies none: a copy takes both, as collections do.
    void CopyKeyFrom(const __FCBaseData& other);

    uint32_t GetCustomTag() const { return customTag_; }
    void SetCustomTag(uint32_t tag) { customTag_ = tag; }
    int16_t GetLoadedDocument() const { return loadedDocument_; }
    void SetLoadedDocument(int16_t document) { loadedDocument_ = document; }
    const uint8_t* GetData() const { return data_; }
    bool OwnsData() const { return ownsData_; }

  protected:
    // Points the storage at a record embedded in the object and marks `size` bytes as held.
    void UseEmbeddedRecord(uint8_t* record, uint64_t size) {
        data_ = record;
        dataSize_ = size;
    }
    // Frees storage that CopyDataFrom allocated.
    void FreeOwnedData();
    // CopyDataFrom for classes whose record is embedded in the object: copies the other's
    // record into `record` (zero-filled past what the other holds) and holds `size` bytes.
    void CopyIntoEmbeddedRecord(const __FCBaseData& other, uint8_t* record, uint64_t size);

    uint32_t customTag_ = 0;
    int16_t loadedDocument_ = 0;
    uint8_t* data_ = nullptr;
    bool ownsData_ = false;
    uint64_t dataSize_ = 0;
    uint16_t key_[kKeyWords] = {};
};

class __FCOther : public __FCBaseData {};

// Other records without incidences: key (itemNo, 0).
class __FCNoInciOther : public __FCOther {
  public:
    virtual bool Load(uint16_t itemNo);
    virtual bool SaveAs(uint16_t itemNo);
    virtual bool SaveAsItem(uint16_t itemNo) { return SaveAs(itemNo); }
    // Creates a new record; the host assigns the item number and writes it into the key.
    virtual bool SaveNew();
    virtual uint16_t GetItemNo() const { return key_[0]; }
    bool Reload() override;
    bool LoadFirst() override { return Load(1); }
    // Item 1 as LoadFirst; where it does not load, the host's first record after item 0: the
    // numbers may start past 1 (the first record deleted), and a refused load of item 1 is then
    // told from none, since the host names it and it does not load (Step::Unloaded).
    Step EnumerateFirst() override;
};

// Other records with incidences: key (itemNo, inci).
class __FCInciOther : public __FCOther {
  public:
    virtual bool Load(uint16_t itemNo, int16_t inci);
    // Creates a new incidence under itemNo; the host assigns the incidence number.
    virtual bool SaveNew(uint16_t itemNo);
    bool Reload() override;
    // Incidence records are not enumerated from the start.
    bool LoadFirst() override { return false; }
};

// Detail records: key (itemNo1, itemNo2, inci).
class __FCDetail : public __FCBaseData {
  public:
    // The host's first record after key (0, 0, 0).
    bool LoadFirst() override { return EnumerateFirst() == Step::Loaded; }
    Step EnumerateFirst() override;
};

class __FCNoInciDetail : public __FCDetail {};

// Preference records: key (prefsNumber, inci).
class __FCPrefsBase : public __FCBaseData {
  public:
    virtual bool Load(uint16_t itemNo);
    bool Reload() override;
    bool LoadFirst() override { return Load(1); }
};
