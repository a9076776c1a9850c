#pragma once
// The layout record of one host text, naming the raw text that holds its characters.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/base/fc_base_data.h"
#include "framework/text/fc_string.h"

class FCTextBlock : public __FCNoInciOther {
  public:
    static constexpr char kClassName[] = "FCTextBlock";
    static constexpr int kClassID = 104;
    // 'S' 'O' 'T' 'X'.
    static constexpr uint32_t kTag = 0x534F5458;
    // Text block record: 26 bytes, little-endian. Bytes not named here are carried unchanged.
    static constexpr size_t kRecordSize = 26;
    static constexpr size_t kRawTextNumber = 0, kTextKind = 24;

    // The default record, key (0, 0), held and ready to be created without a load.
    FCTextBlock();

    int GetClassID() const override { return kClassID; }
    const char* GetClassName() const override { return kClassName; }

    void* GetDataPointer() override { return record_; }
    // A new block with the default record; the caller owns it.
    __FCBaseData* CreateObject() const override { return new FCTextBlock(); }
    uint32_t GetTag() const override { return kTag; }
    int32_t GetDataSize() override { return static_cast<int32_t>(kRecordSize); }
    // Copies the other's record into the own one (cut to 26 bytes, zero-filled past its end).
    void CopyDataFrom(const __FCBaseData& other) override;
    // Deletes the block's raw text (result ignored), then the block; the block's result.
    bool DeleteData() override;

    uint16_t GetRawTextNumber() const;
    void SetRawTextNumber(uint16_t number);
    // Two characters that complete the raw text's tag ('b' 'l' by default).
    uint16_t GetTextKind() const;
    void SetTextKind(uint16_t kind);
    // Tag of the raw text that holds the block's characters: 't' 'x' and the text kind.
    uint32_t GetRawTextTag() const;

    // The text of the block's raw text, empty when it does not load whole; the caller owns it.
    std::unique_ptr<FCString> CreateRawTextString() const;
    // Puts the text of the block's raw text into `text`; false, `text` unchanged, when the raw
    // text does not load or the load brings less than the whole text (FCRawText::HoldsWholeText).
    // `beyondReadLimit`, when given, tells whether it did not load for being longer than the
    // plug-in reads (FCRawText::IsBeyondReadLimit).
    bool LoadRawTextString(FCString* text, bool* beyondReadLimit = nullptr) const;

  private:
    uint8_t record_[kRecordSize] = {};
};
