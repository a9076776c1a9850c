#include "shell/entry_points.h"

#include <cstring>

#include "framework/base/module_state.h"
#include "framework/core/host_version.h"
#include "framework/core/le.h"
#include "framework/text/fc_string.h"
#include "platform/platform.h"
#include "resources/string_ids.h"
#include "shell/command.h"
#include "shell/command_scope.h"

namespace shell {
namespace {

// 8-bit enumeration record: three text fields of kTextField8 bytes, then a 32-bit 1.
constexpr size_t kTitle8 = 0x00, kDescription8 = 0x40, kShortName8 = 0x80, kFlag8 = 0xC0;
// UTF-16 enumeration record: three 128-unit text fields, then a 32-bit 1.
constexpr size_t kTitle16 = 0x000, kDescription16 = 0x100, kShortName16 = 0x200, kFlag16 = 0x300;

// Enumeration is where the host first asks for the plug-in's texts: from here on they are read
// from the library's own module.
void UseOwnStringTables() {
    vb::resourceInstance = platform::OwnModule();
}

// Whether every unit of the text has a place in an 8-bit field, which keeps one byte per unit.
bool FitsEightBits(const FCString& text) {
    for (uint64_t i = 0; i < text.GetLength(); ++i) {
        if (text.GetCharacterAt(static_cast<int32_t>(i)) > 0xFF) return false;
    }
    return true;
}

}  // namespace

uint32_t Version(uint32_t hostVersion) {
    vb::hostVersion = hostVersion;
    return kVersionReportedToHost;
}

int32_t Init(uint32_t* flags) {
    // Bit 0 is the plug-in's answer that it initialised; the other bits are the host's, so they
    // keep whatever the host put there.
    if (flags != nullptr) *flags |= 1u;
    return 1;
}

int16_t Enumerate(int16_t index, void* record) {
    if (index >= 1 || record == nullptr) return 0;
    auto* bytes = static_cast<uint8_t*>(record);
    constexpr size_t offsets[3] = {kTitle8, kDescription8, kShortName8};
    UseOwnStringTables();
    for (int i = 0; i < 3; ++i) {
        FCString text;
        text.LoadResourceString(kEnumerationTexts[i], nullptr);
        // A text in the user's language that 8 bits cannot hold (Japanese) would arrive as the
        // low bytes of its units: the 8-bit record gets the English text instead.
        if (!FitsEightBits(text))
            text.LoadResourceString(kEnumerationTexts[i], nullptr, res::LANGUAGE_ENGLISH);
        // Fixed-width copy: stops after the first zero byte, zero-fills the rest of the field.
        const char* narrow = text.GetCString();
        uint8_t* field = bytes + offsets[i];
        size_t n = 0;
        for (; n < kTextField8 && narrow[n] != '\0'; ++n)
            field[n] = static_cast<uint8_t>(narrow[n]);
        std::memset(field + n, 0, kTextField8 - n);
    }
    le::PutU32(bytes, kFlag8, 1);
    return 1;
}

int16_t EnumerateUTF16(int16_t index, void* record) {
    if (index >= 1 || record == nullptr) return 0;
    auto* bytes = static_cast<uint8_t*>(record);
    constexpr size_t offsets[3] = {kTitle16, kDescription16, kShortName16};
    UseOwnStringTables();
    for (int i = 0; i < 3; ++i) {
        FCString text;
        text.LoadResourceString(kEnumerationTexts[i], nullptr);
        char16_t units[kUnitsWritten16];
        text.CopyToUTF16Buffer(units, kUnitsWritten16);
        // Units after the terminator stay as the host supplied them.
        for (uint64_t u = 0; u < kUnitsWritten16; ++u) {
            le::PutU16(bytes, offsets[i] + 2 * u, units[u]);
            if (units[u] == 0) break;
        }
    }
    le::PutU32(bytes, kFlag16, 1);
    return 1;
}

int32_t GetMenuStatus() {
    return 1;
}

int16_t Invoke(void* parentWindow, const void* region) {
    const CommandScope command;
    return RunCommand(parentWindow, region);
}

}  // namespace shell
