#include "framework/text/fc_font_info.h"

#include "framework/core/host_version.h"
#include "framework/host/host_bridge.h"

FCFontInfo::FCFontInfo() {
    SetDefaultName();
}

void FCFontInfo::SetDefaultName() {
    SetNameString(&vb::DefaultFontName());
}

void FCFontInfo::SetNameString(const FCString* name) {
    if (name == nullptr) {
        SetDefaultName();
        return;
    }
    const uint64_t length = name->GetLength();
    const char16_t* units = name->GetUTF16();
    // Each field keeps room for its terminator.
    size_t n = 0;
    for (; n < kNameUnits - 1 && n < length; ++n) nameUTF16_[n] = units[n];
    nameUTF16_[n] = 0;
    n = 0;
    for (; n < kNameBytes - 1 && n < length && (units[n] & 0xFF) != 0; ++n) {
        name_[n] = static_cast<char>(units[n] & 0xFF);
    }
    name_[n] = 0;
}

void FCFontInfo::SetNameFromFontNumber(uint16_t number) {
    if (vb::HostUsesUnicodeFontNames()) {
        if (host::FontNumToNameUTF16(number, nameUTF16_) == 0) SetDefaultName();
    } else {
        if (host::FontNumToName(number, name_) == 0) SetDefaultName();
    }
}

void FCFontInfo::GetNameString(FCString* string) const {
    if (string == nullptr) return;
    if (vb::HostUsesUnicodeFontNames()) {
        size_t n = 0;
        while (n < kNameUnits && nameUTF16_[n] != 0) ++n;
        string->SetUTF16(nameUTF16_, n);
        return;
    }
    char16_t units[kNameBytes];
    size_t n = 0;
    for (; n < kNameBytes && name_[n] != 0; ++n) {
        units[n] = static_cast<unsigned char>(name_[n]);
    }
    string->SetUTF16(units, n);
}

bool FCFontInfo::GetFontCommand(FCString* string) const {
    if (string == nullptr) return false;
    FCString name;
    GetNameString(&name);
    string->SetCString("^font(");
    string->AppendString(name);
    string->AppendCString(")^size(");
    string->AppendInteger(size_);
    string->AppendCString(")^nfx(");
    string->AppendInteger(static_cast<int32_t>(effects_));
    string->AppendCString(")");
    return true;
}
