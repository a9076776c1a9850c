#pragma once
// UTF-8 and UTF-16, both ways, for the programs around the plug-in: the stand-in host's
// documents and reports, the guide's writer and the tests.
#include <string>
#include <string_view>

namespace support {

// Not a validator: a stray continuation byte becomes U+FFFD, and the bytes after a lead byte
// are taken as its continuation.
std::u16string Utf16(std::string_view utf8);
// A lone surrogate becomes U+FFFD, which JSON and XML can carry.
std::string Utf8(std::u16string_view utf16);

}  // namespace support
