#pragma once
// Windows programs that take Unix paths under Wine, which maps the Unix root to drive Z:: the
// Windows checks and the module-load benchmark.
#include <string>

namespace support {

// The path as a Windows program names it: a Unix path (from /) on drive Z:, with backslashes.
inline std::wstring WindowsPath(const char* path) {
    std::wstring out;
    if (path[0] == '/') out = L"Z:";
    for (const char* p = path; *p != '\0'; ++p) {
        out.push_back(*p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    }
    return out;
}

}  // namespace support
