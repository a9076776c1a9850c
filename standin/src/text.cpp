#include "text.h"

#include <cstdio>

#include "standin/host.h"

namespace standin {

std::string ToHex(const uint8_t* data, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        out.push_back(kDigits[data[i] >> 4]);
        out.push_back(kDigits[data[i] & 0xF]);
    }
    return out;
}

std::optional<Bytes> FromHex(std::string_view text) {
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    Bytes out;
    int high = -1;
    for (char c : text) {
        if (c == ' ') continue;
        int d = digit(c);
        if (d < 0) return std::nullopt;
        if (high < 0) {
            high = d;
        } else {
            out.push_back(static_cast<uint8_t>(high * 16 + d));
            high = -1;
        }
    }
    if (high >= 0) return std::nullopt;
    return out;
}

std::string TagName(uint32_t tag) {
    std::string chars;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((tag >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E) {
            char hex[11];
            std::snprintf(hex, sizeof(hex), "0x%08X", tag);
            return hex;
        }
        chars.push_back(c);
    }
    return "'" + chars + "'";
}

Bytes EncodeUtf16Text(const std::u16string& text) {
    Bytes out((text.size() + 1) * 2, 0);
    for (size_t i = 0; i < text.size(); ++i) Put16(out, i * 2, text[i]);
    return out;
}

Bytes Encode8BitText(const std::u16string& text) {
    Bytes out;
    for (char16_t unit : text) out.push_back(static_cast<uint8_t>(unit & 0xFF));
    out.push_back(0);
    return out;
}

std::optional<std::u16string> DecodeUtf16Text(const Bytes& record) {
    if (record.size() < 2 || record.size() % 2 != 0 || Get16(record, record.size() - 2) != 0) {
        return std::nullopt;
    }
    // One pass over the bytes, without a call a unit: a name of half a million units is viewed
    // on every read of the document's groups. The last unit is 0, so the text ends by it.
    const uint8_t* bytes = record.data();
    size_t units = 0;
    while (bytes[2 * units] != 0 || bytes[2 * units + 1] != 0) ++units;
    std::u16string text(units, u'\0');
    char16_t* out = text.data();
    for (size_t i = 0; i < units; ++i) {
        out[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    }
    return text;
}

std::optional<std::u16string> Decode8BitText(const Bytes& record) {
    if (record.empty() || record.back() != 0) return std::nullopt;
    std::u16string text;
    for (size_t i = 0; record[i] != 0; ++i) text.push_back(record[i]);
    return text;
}

std::optional<uint16_t> TextKindFromString(const std::string& kind) {
    if (kind.size() != 2) return std::nullopt;
    for (char c : kind) {
        if (c < 0x20 || c > 0x7E) return std::nullopt;
    }
    return static_cast<uint16_t>((static_cast<uint8_t>(kind[0]) << 8) |
                                 static_cast<uint8_t>(kind[1]));
}

std::string TextKindToString(uint16_t kind) {
    return {static_cast<char>(kind >> 8), static_cast<char>(kind & 0xFF)};
}

}  // namespace standin
