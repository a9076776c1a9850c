#include "framework/base/fc_collection.h"

#include <algorithm>
#include <memory>
#include <new>

__FCCollection::~__FCCollection() {
    ClearAll();
    delete[] items_;
    items_ = nullptr;
}

int __FCCollection::ForEach(IterationHandler* handler) {
    int answered = 0;
    for (int i = 0; i < count_ && handler != nullptr; ++i) {
        if (!handler->Iterate(items_[i])) break;
        ++answered;
    }
    return answered;
}

__FCBase* __FCCollection::FindFirst(IterationHandler* handler) {
    for (int i = 0; i < count_ && handler != nullptr; ++i) {
        if (handler->Match(items_[i])) return items_[i];
    }
    return nullptr;
}

int __FCCollection::ForEachIndex(IterationHandler* handler) {
    int answered = 0;
    for (int i = 0; i < count_ && handler != nullptr; ++i) {
        if (!handler->IterateIndex(items_[i], i)) break;
        ++answered;
    }
    return answered;
}

__FCBase* __FCCollection::GetItemAt(int index) const {
    if (items_ == nullptr || index < 0 || index >= count_) return nullptr;
    return items_[index];
}

void __FCCollection::ClearAll() {
    for (int i = 0; i < count_; ++i) {
        delete items_[i];
        items_[i] = nullptr;
    }
    count_ = 0;
}

void __FCCollection::GrowBy(int n) {
    const int64_t needed = int64_t{count_} + n;
    if (capacity_ >= needed) return;
    const int64_t step = count_ > 10000 ? 1000 : count_ > 1000 ? 100 : count_ > 100 ? 50 : 10;
    const int64_t capacity = ((count_ + step + n) / step) * step;
    if (capacity > INT32_MAX) throw std::bad_alloc();
    auto** fresh = new __FCBase*[static_cast<size_t>(capacity)];
    for (int64_t i = 0; i < capacity; ++i) fresh[i] = i < count_ ? items_[i] : nullptr;
    delete[] items_;
    items_ = fresh;
    capacity_ = static_cast<int32_t>(capacity);
}

void __FCCollection::Add(__FCBase* element) {
    std::unique_ptr<__FCBase> owned(element);  // released again if growing fails
    GrowBy(1);
    items_[count_++] = owned.release();
}

void __FCCollectionData::AppendCopyOf(const __FCBaseData& probe) {
    std::unique_ptr<__FCBaseData> element(probe.CreateObject());
    if (element == nullptr) return;
    element->CopyKeyFrom(probe);
    element->SetCustomTag(probe.GetCustomTag());
    element->SetLoadedDocument(probe.GetLoadedDocument());
    element->CopyDataFrom(probe);
    Add(element.release());
}

bool __FCCollectionData::HoldsKey(const uint16_t* key) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (std::equal(key, key + __FCBaseData::kKeyWords, GetDataItemAt(i)->Key())) return true;
    }
    return false;
}

int __FCCollectionData::LoadAll() {
    ClearAll();
    std::unique_ptr<__FCBaseData> probe(CreateElement());
    probe->SetCustomTag(customTag_);
    // A host whose enumeration leads back to a record already loaded would go round for ever:
    // it ends there. A key above every key so far cannot be a repeat, so only a host that does
    // not enumerate in key order costs a look through the elements.
    uint16_t highest[__FCBaseData::kKeyWords] = {};
    auto above = [&](const uint16_t* key) {
        return std::lexicographical_compare(highest, highest + __FCBaseData::kKeyWords, key,
                                            key + __FCBaseData::kKeyWords);
    };
    using Step = __FCBaseData::Step;
    loadedWhole_ = true;
    for (Step step = probe->EnumerateFirst(); step != Step::End; step = probe->EnumerateNext()) {
        const uint16_t* key = probe->Key();
        const bool higher = above(key);
        // A record named and not loaded, or a repeat, ends the load short of the host's end.
        if (step == Step::Unloaded || (!higher && HoldsKey(key))) {
            loadedWhole_ = false;
            break;
        }
        if (higher) std::copy(key, key + __FCBaseData::kKeyWords, highest);
        AppendCopyOf(*probe);
    }
    return GetCount();
}

bool __FCCollectionData::SaveAll() {
    for (int i = 0; i < GetCount(); ++i) {
        __FCBaseData* element = GetDataItemAt(i);
        element->SetCustomTag(customTag_);
        if (!element->Save()) return false;
    }
    return true;
}
