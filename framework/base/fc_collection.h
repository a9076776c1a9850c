#pragma once
// Ordered collections that own their elements, and the data collections that fill themselves
// with every host record of one element class.
#include <cstdint>

#include "framework/base/fc_base.h"
#include "framework/base/fc_base_data.h"

class __FCIteratorBase : public __FCBase {};

// What ForEach, ForEachIndex and FindFirst call for each element.
class IterationHandler : public __FCBase {
  public:
    virtual bool Iterate(__FCBase*) { return false; }
    virtual bool IterateIndex(__FCBase*, int) { return false; }
    virtual bool Match(__FCBase*) { return false; }
};

class __FCCollection : public __FCIteratorBase {
  public:
    static constexpr char kClassName[] = "__FCCollection";

    __FCCollection() = default;
    __FCCollection(const __FCCollection&) = delete;
    __FCCollection& operator=(const __FCCollection&) = delete;
    ~__FCCollection() override;

    const char* GetClassName() const override { return kClassName; }
    // Calls Iterate for each element until it answers false; the number of true answers.
    virtual int ForEach(IterationHandler* handler);
    virtual __FCBase* FindFirst(IterationHandler* handler);
    virtual int ForEachIndex(IterationHandler* handler);

    int GetCount() const { return count_; }
    int GetCapacity() const { return capacity_; }
    // The element at `index`, or null; valid until the collection is cleared or destroyed.
    __FCBase* GetItemAt(int index) const;
    // Destroys every element; the array and its capacity stay.
    void ClearAll();
    void GrowBy(int n);
    // Appends an element; the collection takes ownership.
    void Add(__FCBase* element);

  private:
    int32_t count_ = 0;
    int32_t capacity_ = 0;
    __FCBase** items_ = nullptr;
};

class __FCCollectionData : public __FCCollection {
  public:
    // A new, empty element of the collection's element class; the caller owns it.
    virtual __FCBaseData* CreateElement() const = 0;
    // Replaces the contents by every record of the element class; the new count.
    virtual int LoadAll();
    // Whether the last LoadAll ended where the host's records end. False when it stopped at a
    // record the host named and then did not load, or at one it had loaded already (an
    // enumeration that leads back): records after it may be missing.
    bool LoadedWhole() const { return loadedWhole_; }
    // Saves every element in order; false at the first failure.
    virtual bool SaveAll();

    uint32_t GetCustomTag() const { return customTag_; }
    void SetCustomTag(uint32_t tag) { customTag_ = tag; }

    __FCBaseData* GetDataItemAt(int index) const {
        return static_cast<__FCBaseData*>(GetItemAt(index));
    }

  protected:
    // Appends a copy of `probe` (key, custom tag, loaded document and record).
    void AppendCopyOf(const __FCBaseData& probe);
    // Whether an element has this key (all four words).
    bool HoldsKey(const uint16_t* key) const;

    uint32_t customTag_ = 0;

  private:
    bool loadedWhole_ = true;
};

class __FCCollectionInciOther : public __FCCollectionData {};
class __FCCollectionNoInciOther : public __FCCollectionData {};
class __FCCollectionDetail : public __FCCollectionData {};
class __FCCollectionNoInciDetail : public __FCCollectionDetail {};
