#pragma once
// A font description: name, size and effect bits, and the font command that switches a text to
// that font.
#include <cstddef>
#include <cstdint>

#include "framework/base/fc_base.h"
#include "framework/text/fc_string.h"

// Keeps the identity of __FCBase (class name and number are the root's).
class FCFontInfo : public __FCBase {
  public:
    static constexpr size_t kNameBytes = 256;
    static constexpr size_t kNameUnits = 512;

    // The default font name in both name forms, size 12, no effects.
    FCFontInfo();

    // Names the font after the host's font `number`: the UTF-16 name on hosts that give one,
    // else the 8-bit name. A number the host cannot name gives the default font name.
    void SetNameFromFontNumber(uint16_t number);
    // Sets both name forms from a string (cut to what each holds; the 8-bit form keeps the low
    // byte of each unit). Null gives the default font name.
    void SetNameString(const FCString* name);
    // Puts the name that the host version uses into the string, never reading past its field.
    // Nothing happens when the string is null.
    void GetNameString(FCString* string) const;
    // Replaces the string with "^font(" name ")^size(" size ")^nfx(" effects ")", size signed and
    // effects unsigned. True, or false (nothing done) for a null string.
    bool GetFontCommand(FCString* string) const;

    int16_t GetSize() const { return size_; }
    void SetSize(int16_t size) { size_ = size; }
    uint16_t GetEffects() const { return effects_; }
    void SetEffects(uint16_t effects) { effects_ = effects; }

  private:
    void SetDefaultName();

    char name_[kNameBytes] = {};
    char16_t nameUTF16_[kNameUnits] = {};
    int16_t size_ = 12;
    uint16_t effects_ = 0;
};
