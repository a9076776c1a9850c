#include "framework/text/fc_string.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

#include "framework/base/module_state.h"
#include "platform/platform.h"
#include "resources/string_ids.h"

namespace {

// The only static object with a constructor in the library.
const FCString defaultFontName(u"Times New Roman");

constexpr char kResourceError[] = "Resource String Error";
constexpr int kResourceScratchUnits = 1000;

}  // namespace

namespace vb {
const FCString& DefaultFontName() {
    return defaultFontName;
}
}  // namespace vb

FCString::FCString() {
    EnsureCapacity(0);
    buffer_[0] = 0;
}

FCString::FCString(const char16_t* text) : FCString() {
    uint64_t n = 0;
    while (text != nullptr && text[n] != 0) ++n;
    SetUTF16(text, n);
}

FCString::FCString(const FCString& other) : __FCBase(other) {
    EnsureCapacity(0);
    buffer_[0] = 0;
    SetString(&other);
}

FCString& FCString::operator=(const FCString& other) {
    if (this != &other) SetString(&other);
    return *this;
}

FCString::~FCString() {
    delete[] buffer_;
    delete[] cstring_;
}

char16_t FCString::GetCharacterAt(int32_t index) const {
    if (index < 0 || static_cast<uint64_t>(index) >= length_ || buffer_ == nullptr) return 0;
    return buffer_[index];
}

void FCString::EnsureCapacity(uint64_t n) {
    if (capacity_ > n + 1) return;
    uint64_t chunk = capacity_ > 10000 ? 1000 : capacity_ > 1000 ? 100 : 10;
    if (n > std::numeric_limits<uint64_t>::max() - chunk) throw std::bad_alloc();
    uint64_t newCapacity = chunk * ((n + chunk) / chunk);
    if (newCapacity > std::numeric_limits<size_t>::max() / sizeof(char16_t)) {
        throw std::bad_alloc();
    }
    // Allocate before touching the old buffer, so a failure leaves the string consistent.
    auto* fresh = new char16_t[newCapacity];
    if (buffer_ != nullptr) {
        std::memcpy(fresh, buffer_, length_ * sizeof(char16_t));
        delete[] buffer_;
    } else {
        length_ = 0;
    }
    buffer_ = fresh;
    capacity_ = newCapacity;
}

void FCString::Clear() {
    EnsureCapacity(0);
    buffer_[0] = 0;
    length_ = 0;
}

void FCString::SetCString(const char* text) {
    if (text == nullptr) {
        delete[] buffer_;
        buffer_ = nullptr;
        capacity_ = 0;
        length_ = 0;
        return;
    }
    uint64_t n = std::strlen(text);
    length_ = 0;
    EnsureCapacity(n);
    for (uint64_t i = 0; i < n; ++i) buffer_[i] = static_cast<unsigned char>(text[i]);
    length_ = n;
    Terminate();
}

const char* FCString::GetCString() {
    delete[] cstring_;
    cstring_ = nullptr;
    cstring_ = new char[length_ + 1];
    for (uint64_t i = 0; i < length_; ++i) cstring_[i] = static_cast<char>(buffer_[i] & 0xFF);
    cstring_[length_] = '\0';
    return cstring_;
}

void FCString::SetString(const FCString* other) {
    if (other == this) return;  // clearing first would lose the text to copy
    Clear();
    if (other == nullptr || other->length_ < 1) return;
    EnsureCapacity(other->length_ + 1);
    std::memcpy(buffer_, other->buffer_, (other->length_ + 1) * sizeof(char16_t));
    length_ = other->length_;
}

void FCString::AppendString(const FCString& other) {
    // Read the other's length first: `other` may be this string.
    const uint64_t count = other.length_;
    EnsureCapacity(length_ + count);
    for (uint64_t i = 0; i < count; ++i) {
        buffer_[length_ + i] = other.GetCharacterAt(static_cast<int32_t>(i));
    }
    length_ += count;
    Terminate();
}

void FCString::AppendCString(const char* text) {
    if (text == nullptr) return;
    uint64_t n = std::strlen(text);
    EnsureCapacity(length_ + n);
    for (uint64_t i = 0; i < n; ++i) buffer_[length_ + i] = static_cast<unsigned char>(text[i]);
    length_ += n;
    Terminate();
}

void FCString::AppendCharacter(char16_t unit) {
    EnsureCapacity(length_ + 1);
    buffer_[length_++] = unit;
    Terminate();
}

void FCString::SetInteger(int32_t value) {
    SetCString("");
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%d", static_cast<int>(value));
    for (const char* p = digits; *p != '\0'; ++p) AppendCharacter(static_cast<char16_t>(*p));
}

void FCString::AppendInteger(int32_t value) {
    FCString number;
    number.SetInteger(value);
    AppendString(number);
}

int32_t FCString::FindString(const FCString* other) const {
    if (other == nullptr) return -1;
    const int64_t m = static_cast<int64_t>(other->length_);
    const int64_t d = static_cast<int64_t>(length_) - m;
    if (d < 0) return -1;
    for (int64_t i = 0; i <= d; ++i) {
        if (m < 1) return static_cast<int32_t>(i);
        int64_t j = 0;
        while (j < m && buffer_[i + j] == other->buffer_[j]) ++j;
        if (j == m) return static_cast<int32_t>(i);
    }
    return -1;
}

void FCString::TruncateAt(uint64_t n) {
    if (n < length_) {
        length_ = n;
        Terminate();
    }
}

bool FCString::LoadResourceString(uint32_t id, void* instance) {
    return LoadResourceString(id, instance, platform::UserLanguage());
}

bool FCString::LoadResourceString(uint32_t id, void* instance, uint16_t language) {
    void* const module = instance != nullptr ? instance : vb::resourceInstance;
    char16_t scratch[kResourceScratchUnits];
    scratch[0] = 0;
    int count = 0;
    if (module != nullptr) {
        count = res::ReadInLanguageOrEnglish(language, [&](uint16_t table) {
            return platform::LoadTableString(module, id, table, scratch, kResourceScratchUnits);
        });
    }
    if (count <= 0) {
        SetCString(kResourceError);
        return false;
    }
    uint64_t n = 0;
    while (n < kResourceScratchUnits - 1 && scratch[n] != 0) ++n;
    SetUTF16(scratch, n);
    return true;
}

void FCString::CopyToUTF16Buffer(char16_t* destination, uint64_t size) const {
    if (destination == nullptr || size == 0) return;
    uint64_t k = length_ < size - 1 ? length_ : size - 1;
    if (k > 0) std::memcpy(destination, buffer_, k * sizeof(char16_t));
    destination[k] = 0;
}

void FCString::SetUTF16(const char16_t* units, uint64_t count) {
    length_ = 0;
    EnsureCapacity(count);
    if (count > 0) std::memcpy(buffer_, units, count * sizeof(char16_t));
    length_ = count;
    Terminate();
}
