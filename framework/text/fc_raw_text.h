#pragma once
// The characters of one host text, keyed by the text's number. The record is UTF-16 units or
// 8-bit characters (chosen by the host version) followed by a 0 terminator, of variable size.
#include <cstdint>

#include "framework/base/fc_base_data.h"
#include "framework/text/fc_string.h"

class FCRawText : public __FCBaseData {
  public:
    static constexpr char kClassName[] = "FCRawText";
    static constexpr int kClassID = 77;
    // 't' 'x' 'b' 'l': the tag of plain texts; a text block's raw text replaces it.
    static constexpr uint32_t kDefaultTag = 0x7478626C;
    // Largest record accepted from the host. Raw texts are names and short score texts; a host
    // reporting more (or a negative size) gets its load refused rather than honoured.
    static constexpr int32_t kMaxRecordBytes = 1 << 20;

    FCRawText() = default;
    // Releases the text buffer whoever allocated it.
    ~FCRawText() override;

    int GetClassID() const override { return kClassID; }
    const char* GetClassName() const override { return kClassName; }

    // A fresh buffer of GetDataSize() bytes (zeroed), now `data`; null when the host reports none.
    void* GetDataPointer() override;
    void ReleaseDataPointer() override;
    bool IsVariableSize() const override { return true; }
    // Raw texts are not enumerated by collections: always null.
    __FCBaseData* CreateObject() const override { return nullptr; }
    uint32_t GetTag() const override;
    uint32_t GetVersion() const override;
    // The record size the host reports for the current key; 0 when the host fails or reports a
    // size outside 0..kMaxRecordBytes. Never more than a buffer already in place holds.
    int32_t GetDataSize() override;
    void CopyDataFrom(const __FCBaseData& other) override;
    bool LoadFirst() override;

    virtual void SetTextNumber(uint16_t number) { key_[0] = number; }
    virtual bool IsUnicodeText() const;
    virtual uint16_t GetTextNumber() const { return key_[0]; }

    // Replaces the record with the string's text in the form IsUnicodeText selects. A null
    // string, or one too long for a record (CanHold false), leaves no data (dataSize 0).
    void SetText(const FCString* text);
    // Whether the text, with its terminator, fits a record of at most kMaxRecordBytes in the
    // form IsUnicodeText selects: the plug-in's own limit, known without asking the host.
    bool CanHold(const FCString& text) const;
    // Puts the record's text into the string, reading no further than the record's size. Nothing
    // happens when the string is null or no record is held.
    void GetText(FCString* text) const;
    // Creates the record as a new raw text; the host assigns the number (GetTextNumber). False
    // without a host call when no text is held.
    bool SaveNew();
    // After a load: true when it brought the whole text, that is more than no bytes, no fewer
    // than the size query before it gave, and a terminator within them. A text read short would
    // pass for a shorter one.
    bool HoldsWholeText() const;
    // True when both records hold the same text up to its terminator.
    bool HoldsTextOf(const FCRawText& other) const;
    // Whether the last load's first size query, the one that sizes the buffer, answered above
    // kMaxRecordBytes: the host gave the size, and the plug-in's own limit refused the load.
    bool IsBeyondReadLimit() const { return beyondReadLimit_; }

  private:
    int32_t QuerySize();
    // The units SetText writes of `text` before its terminator: all of them in UTF-16, those
    // before the first whose low byte is 0 in 8-bit text.
    uint64_t WrittenUnits(const FCString& text) const;

    // Bytes of the buffer `data` points at; bounds every later load into it.
    uint64_t bufferBytes_ = 0;
    // The last size query's answer: the capacity of the load that follows it.
    int32_t queriedBytes_ = 0;
    bool beyondReadLimit_ = false;
};
