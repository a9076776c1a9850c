#pragma once
// The framework's UTF-16 string: chunked growth, 8-bit conversions that keep the low byte of each
// unit, integer formatting and string-table loading.
#include <cstddef>
#include <cstdint>

#include "framework/base/fc_base.h"

class FCString : public __FCBase {
  public:
    static constexpr char kClassName[] = "FCString";

    FCString();
    explicit FCString(const char16_t* text);
    FCString(const FCString& other);
    FCString& operator=(const FCString& other);
    ~FCString() override;

    const char* GetClassName() const override { return kClassName; }

    uint64_t GetLength() const { return length_; }
    uint64_t GetCapacity() const { return capacity_; }
    // The unit at `index`; 0 outside 0..length-1.
    char16_t GetCharacterAt(int32_t index) const;
    // The text with its terminator; an empty text when the string has no buffer.
    const char16_t* GetUTF16() const { return buffer_ != nullptr ? buffer_ : u""; }

    // Makes room for n units plus the terminator; keeps the first length units.
    void EnsureCapacity(uint64_t n);
    void Clear();
    // Null releases the buffer; otherwise each byte becomes one unit.
    void SetCString(const char* text);
    // The 8-bit view (low byte of each unit), owned by the string until the next call.
    const char* GetCString();
    void SetString(const FCString* other);
    void AppendString(const FCString& other);
    void AppendCString(const char* text);
    void AppendCharacter(char16_t unit);
    void SetInteger(int32_t value);
    void AppendInteger(int32_t value);
    // Index of the first exact occurrence of `other`, -1 if none (or `other` is null).
    int32_t FindString(const FCString* other) const;
    void TruncateAt(uint64_t n);
    // Replaces the contents with string-table entry `id` in the user's language (English where
    // that language has no table or its table lacks the entry), or with "Resource String Error".
    // Reads `instance`, or the module's resource instance when it is null. True when it loaded.
    bool LoadResourceString(uint32_t id, void* instance);
    // The same in `language` (a Windows primary language) instead of the user's.
    bool LoadResourceString(uint32_t id, void* instance, uint16_t language);
    // Copies min(length, size-1) units and a 0 unit.
    void CopyToUTF16Buffer(char16_t* destination, uint64_t size) const;

    // Replaces the contents with `count` units.
    void SetUTF16(const char16_t* units, uint64_t count);

  private:
    void Terminate() { buffer_[length_] = 0; }

    uint64_t length_ = 0;
    uint64_t capacity_ = 0;
    char16_t* buffer_ = nullptr;
    char* cstring_ = nullptr;
};

namespace vb {
// "Times New Roman", built when the library loads.
const FCString& DefaultFontName();
}  // namespace vb
