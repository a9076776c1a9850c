// The host functions as the plug-in sees them. Every call is logged; a planned failure returns 0
// and leaves the document, key and size untouched.
#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "document.h"
#include "standin/host.h"
#include "text.h"

namespace standin {
namespace {

std::optional<size_t> FixedSize(uint32_t t, uint32_t callVersion) {
    switch (t) {
        case tag::kGroup:
            return kGroupSize;
        case tag::kSystemStaff:
            return kSystemStaffSize;
        case tag::kCompanion:
            return kCompanionSize;
        case tag::kMultiStaff:
            return kMultiStaffSize;
        case tag::kTextBlock:
            return kTextBlockSize;
        case tag::kFontPrefs:
            return kFontPrefsSize;
        case tag::kMeasure:
            return callVersion >= kLongMeasureVersion ? kMeasureSize : kShortMeasureSize;
        default:
            return std::nullopt;
    }
}

bool UnicodeHost(uint32_t hostVersion) {
    return hostVersion >= kUnicodeTextVersion;
}

// The stored form of a record handed over by the plug-in; none when the host refuses it (wrong
// size for a typed tag, raw text without its terminator).
std::optional<Bytes> Incoming(uint32_t t, const Bytes& given, const Bytes* existing,
                              uint32_t callVersion, uint32_t hostVersion) {
    if (IsRawTextTag(t)) {
        auto text = UnicodeHost(hostVersion) ? DecodeUtf16Text(given) : Decode8BitText(given);
        if (!text) return std::nullopt;
        return EncodeUtf16Text(*text);
    }
    if (auto size = FixedSize(t, callVersion); size && given.size() != *size) return std::nullopt;
    if (t == tag::kMeasure) {
        // A short save keeps the stored tail of the long record.
        Bytes merged = existing ? *existing : Bytes(kMeasureSize, 0);
        merged.resize(kMeasureSize, 0);
        std::copy(given.begin(), given.end(), merged.begin());
        return merged;
    }
    return given;
}

// The record as the plug-in receives it.
Bytes Outgoing(uint32_t t, const Bytes& stored, uint32_t callVersion, uint32_t hostVersion) {
    if (IsRawTextTag(t)) {
        auto text = DecodeUtf16Text(stored);
        if (!text) return stored;
        return UnicodeHost(hostVersion) ? stored : Encode8BitText(*text);
    }
    if (t == tag::kMeasure) {
        Bytes out = stored;
        out.resize(*FixedSize(t, callVersion), 0);
        return out;
    }
    return stored;
}

Bytes Copy(const void* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) return {};
    const auto* p = static_cast<const uint8_t*>(buffer);
    return Bytes(p, p + size);
}

// A wrong answer that applies to this call: none when a planned failure fires as well, or when
// it is of another kind than the function gives.
// Writes the wrong answer's key over the caller's key words, as many as the host reads.
void RewriteKey(const Document& doc, uint32_t t, uint16_t* key, const WrongAnswer& wrong,
                Call& call) {
    if (key == nullptr || wrong.kind != WrongAnswer::Kind::Key) return;
    const size_t n = std::min(wrong.key.size(), doc.KeyWords(t));
    std::copy_n(wrong.key.begin(), n, key);
    call.keyOut = doc.Words(doc.KeyFrom(t, key));
}

// A raw text as it reads without its terminator (a 0 unit, or a 0 byte for 8-bit hosts).
void DropTerminator(Bytes& text, uint32_t hostVersion) {
    const size_t unit = UnicodeHost(hostVersion) ? 2 : 1;
    if (text.size() >= unit) text.resize(text.size() - unit);
}

// Fills a font name buffer to its end with name characters.
template <typename Unit>
std::u16string FillName(Unit* name, size_t units) {
    static const char kPattern[] = "Endless Font Name ";
    std::u16string text;
    for (size_t i = 0; i < units; ++i) {
        name[i] = static_cast<Unit>(kPattern[i % (sizeof(kPattern) - 1)]);
        text.push_back(static_cast<char16_t>(name[i]));
    }
    return text;
}

}  // namespace

int16_t Host::LoadEData(uint32_t t, uint16_t* key, void* buffer, int32_t* size, uint32_t version) {
    Call& call = Log("FX_LoadEData");
    call.tag = t;
    call.version = version;
    call.bufferNull = buffer == nullptr;
    call.sizeIn = size ? *size : 0;
    if (key) call.keyIn = doc_->Words(doc_->KeyFrom(t, key));
    call.keyOut = call.keyIn;
    const auto fault = TakeFault(call.function, t, true);
    using Kind = WrongAnswer::Kind;
    // Only a raw text can come without its terminator.
    const auto wrong =
        IsRawTextTag(t)
            ? TakeWrongAnswer(call, fault.has_value(), {Kind::Size, Kind::Unterminated, Kind::Key})
            : TakeWrongAnswer(call, fault.has_value(), {Kind::Size, Kind::Key});
    auto run = [&]() -> int16_t {
        if (fault) {
            if (fault->bytes && !fault->bytes->empty() && buffer && size && *size > 0) {
                size_t n = std::min(fault->bytes->size(), static_cast<size_t>(*size));
                std::memcpy(buffer, fault->bytes->data(), n);
                call.dataOut.assign(fault->bytes->begin(),
                                    fault->bytes->begin() + static_cast<std::ptrdiff_t>(n));
            }
            return 0;
        }
        if (key == nullptr || size == nullptr || (wrong && wrong->fails)) return 0;
        const RecordKey id = doc_->KeyFrom(t, key);
        if (wrong && wrong->kind == Kind::Unterminated) {
            unterminated_.emplace_back(t, id.words[0]);
        }
        const Bytes* stored = doc_->Find(id);
        Bytes out;
        if (stored != nullptr) {
            out = Outgoing(t, *stored, version, version_);
            if (IsRawTextTag(t) && IsUnterminated(t, id.words[0])) DropTerminator(out, version_);
        }
        if (wrong && wrong->kind == Kind::Size) {
            // Whatever exists and fits is copied; the count is the wrong one.
            if (buffer != nullptr && *size > 0 && !out.empty()) {
                out.resize(std::min(out.size(), static_cast<size_t>(*size)));
                std::memcpy(buffer, out.data(), out.size());
                call.dataOut = std::move(out);
            }
            *size = wrong->size;
            return 1;
        }
        if (stored == nullptr) return 0;
        const auto n = static_cast<int32_t>(out.size());
        if (buffer == nullptr) {
            *size = n;
            return 1;
        }
        if (*size < n) return 0;  // too small: nothing written
        if (!out.empty()) std::memcpy(buffer, out.data(), out.size());
        *size = n;
        call.dataOut = std::move(out);
        return 1;
    };
    call.result = run();
    if (wrong) RewriteKey(*doc_, t, key, *wrong, call);
    call.sizeOut = size ? *size : 0;
    return call.result;
}

Call& Host::LogWrite(std::string function, uint32_t t, const uint16_t* key, const void* buffer,
                     int32_t size, uint32_t version) {
    Call& call = Log(std::move(function));
    call.tag = t;
    call.version = version;
    call.bufferNull = buffer == nullptr;
    call.sizeIn = call.sizeOut = size;
    call.dataIn = Copy(buffer, size);
    if (key) call.keyIn = call.keyOut = doc_->Words(doc_->KeyFrom(t, key));
    return call;
}

int16_t Host::SaveEData(uint32_t t, uint16_t* key, const void* buffer, int32_t size,
                        uint32_t version) {
    Call& call = LogWrite("FX_SaveEData", t, key, buffer, size, version);
    const auto fault = TakeFault(call.function, t, true);
    const auto wrong = TakeWrongAnswer(call, fault.has_value(), {WrongAnswer::Kind::Key});
    call.result = [&]() -> int16_t {
        if (fault || (wrong && wrong->fails)) return 0;
        if (key == nullptr || buffer == nullptr || size <= 0) return 0;
        RecordKey id = doc_->KeyFrom(t, key);
        const Bytes* existing = doc_->Find(id);
        if (existing == nullptr) return 0;  // saving creates nothing
        auto stored = Incoming(t, call.dataIn, existing, version, version_);
        if (!stored) return 0;
        doc_->Put(id, std::move(*stored));
        return 1;
    }();
    if (wrong) RewriteKey(*doc_, t, key, *wrong, call);
    return call.result;
}

int16_t Host::CreateEData(uint32_t t, uint16_t* key, const void* buffer, int32_t size,
                          uint32_t version) {
    Call& call = LogWrite("FX_CreateEData", t, key, buffer, size, version);
    const auto fault = TakeFault(call.function, t, true);
    const auto wrong = TakeWrongAnswer(call, fault.has_value(), {WrongAnswer::Kind::Key});
    call.result = [&]() -> int16_t {
        if (fault || (wrong && wrong->fails)) return 0;
        if (key == nullptr || buffer == nullptr || size <= 0) return 0;
        auto stored = Incoming(t, call.dataIn, nullptr, version, version_);
        if (!stored) return 0;
        RecordKey id = doc_->KeyFrom(t, key);
        if (!doc_->AssignNumbers(id) || doc_->Find(id) != nullptr) return 0;
        doc_->Put(id, std::move(*stored));
        call.keyOut = doc_->Words(id);
        std::copy(call.keyOut.begin(), call.keyOut.end(), key);
        return 1;
    }();
    if (wrong) RewriteKey(*doc_, t, key, *wrong, call);
    return call.result;
}

int16_t Host::DeleteEData(uint32_t t, uint16_t* key, uint32_t version) {
    Call& call = Log("FX_DeleteEData");
    call.tag = t;
    call.version = version;
    if (key) call.keyIn = call.keyOut = doc_->Words(doc_->KeyFrom(t, key));
    const auto fault = TakeFault(call.function, t, true);
    const auto wrong = TakeWrongAnswer(call, fault.has_value(), {WrongAnswer::Kind::Key});
    const bool refused = fault || (wrong && wrong->fails);
    call.result = !refused && key != nullptr && doc_->Erase(doc_->KeyFrom(t, key)) ? 1 : 0;
    if (wrong) RewriteKey(*doc_, t, key, *wrong, call);
    return call.result;
}

int16_t Host::NextEData(uint32_t t, uint16_t* key, void* buffer, int32_t* size, uint32_t version) {
    Call& call = Log("FX_NextEData");
    call.tag = t;
    call.version = version;
    call.bufferNull = buffer == nullptr && size == nullptr;
    if (key) call.keyIn = call.keyOut = doc_->Words(doc_->KeyFrom(t, key));
    const auto fault = TakeFault(call.function, t, true);
    using Kind = WrongAnswer::Kind;
    const auto wrong = TakeWrongAnswer(call, fault.has_value(), {Kind::Key, Kind::Cycle});
    call.result = [&]() -> int16_t {
        if (fault || (wrong && wrong->fails)) return 0;
        // The enumeration transfers no data; a buffer or size here is a caller's mistake.
        if (key == nullptr || buffer != nullptr || size != nullptr) return 0;
        const bool startCycle = wrong && wrong->kind == Kind::Cycle;
        if (startCycle) cycle_ = Cycle{t, wrong->limit, wrong->to};
        auto next = doc_->After(doc_->KeyFrom(t, key));
        if ((startCycle || !next) && cycle_ && cycle_->tag == t && cycle_->remaining > 0) {
            const auto keys = doc_->KeysOf(t);
            if (!keys.empty()) {
                const auto count = static_cast<int64_t>(keys.size());
                const int64_t at = cycle_->to > 0 ? int64_t{cycle_->to} - 1 : count + cycle_->to;
                next = keys[static_cast<size_t>(std::clamp<int64_t>(at, 0, count - 1))];
                --cycle_->remaining;
            }
        }
        if (!next) return 0;
        call.keyOut = doc_->Words(*next);
        std::copy(call.keyOut.begin(), call.keyOut.end(), key);
        return 1;
    }();
    if (wrong) RewriteKey(*doc_, t, key, *wrong, call);
    return call.result;
}

int16_t Host::SlotToInst(uint16_t slot, uint16_t system, uint32_t version) {
    Call& call = Log("FX_SlotToInst");
    call.slot = slot;
    call.system = system;
    call.version = version;
    call.result = [&]() -> int16_t {
        if (TakeFault(call.function, 0, false) || slot == 0) return 0;
        const Bytes* rec =
            doc_->Find(RecordKey{tag::kSystemStaff, {system, static_cast<uint16_t>(slot - 1), 0}});
        return rec && rec->size() >= 2 ? GetS16(*rec, 0) : int16_t{0};
    }();
    return call.result;
}

int16_t Host::InstToSlot(uint16_t staff, uint16_t system, uint32_t version) {
    Call& call = Log("FX_InstToSlot");
    call.staff = staff;
    call.system = system;
    call.version = version;
    call.result = [&]() -> int16_t {
        if (TakeFault(call.function, 0, false)) return 0;
        std::vector<int16_t> order = doc_->StaffSystem(static_cast<int16_t>(system));
        auto it = std::find(order.begin(), order.end(), static_cast<int16_t>(staff));
        if (it == order.end() || it - order.begin() >= 0x7FFF) return 0;
        return static_cast<int16_t>(it - order.begin() + 1);
    }();
    return call.result;
}

int16_t Host::FontNumToName(uint16_t font, char* name, uint32_t version) {
    Call& call = Log("FX_FontNumToName");
    call.font = font;
    call.version = version;
    const auto fault = TakeFault(call.function, 0, false);
    const auto wrong = TakeWrongAnswer(call, fault.has_value(), {WrongAnswer::Kind::FullName});
    call.result = [&]() -> int16_t {
        if (fault || name == nullptr) return 0;
        if (wrong) {
            call.name = FillName(name, 256);
            return 1;
        }
        auto it = doc_->fonts.find(font);
        if (it == doc_->fonts.end()) return 0;
        // 256 bytes: at most 255 characters, each unit's low byte.
        Bytes text = Encode8BitText(it->second.substr(0, 255));
        std::memcpy(name, text.data(), text.size());
        call.name = it->second.substr(0, 255);
        return 1;
    }();
    return call.result;
}

int16_t Host::FontNumToNameUTF16(uint16_t font, char16_t* name, int32_t capacity,
                                 uint32_t version) {
    Call& call = Log("FX_FontNumToName_UTF16");
    call.font = font;
    call.capacity = capacity;
    call.version = version;
    const auto fault = TakeFault(call.function, 0, false);
    const auto wrong = TakeWrongAnswer(call, fault.has_value(), {WrongAnswer::Kind::FullName});
    call.result = [&]() -> int16_t {
        if (fault || name == nullptr || capacity < 1) return 0;
        if (wrong) {
            call.name = FillName(name, static_cast<size_t>(capacity));
            return 1;
        }
        auto it = doc_->fonts.find(font);
        if (it == doc_->fonts.end()) return 0;
        std::u16string text = it->second.substr(0, static_cast<size_t>(capacity) - 1);
        std::copy(text.begin(), text.end(), name);
        name[text.size()] = 0;
        call.name = text;
        return 1;
    }();
    return call.result;
}

int16_t Host::GetCurrentEnigmaDocument(uint32_t version) {
    Call& call = Log("FX_GetCurrentEnigmaDocument");
    call.version = version;
    call.result = TakeFault(call.function, 0, false) ? int16_t{0} : doc_->documentNumber;
    return call.result;
}

}  // namespace standin
