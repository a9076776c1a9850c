#pragma once
// The user's selection: a block of staves (as slots of a staff system) by measures, filled once
// from the host's 20-byte region record.
#include <cstdint>

#include "framework/base/fc_base.h"
#include "framework/base/module_state.h"

class FCMusicRegion : public __FCBase {
  public:
    static constexpr char kClassName[] = "FCMusicRegion";
    static constexpr int32_t END_OF_MEASURE = 0x7FFFFFFF;
    static constexpr int RECORD_SIZE = 20;

    const char* GetClassName() const override { return kClassName; }
    virtual bool IsEqual(const FCMusicRegion& other) const;

    // Copies the host record field by field and stamps the current document. Null clears the
    // selection's fields and leaves `document` as it was.
    void SetHostRegion(const void* record);
    bool IsEmpty() const { return startMeasure == 0 && endMeasure == 0; }
    bool IsFullMeasureSelection() const;
    int16_t GetStartMeasure() const { return IsEmpty() ? 0 : startMeasure; }
    int16_t GetEndMeasure() const { return IsEmpty() ? 0 : endMeasure; }
    // Staff numbers at the start and end slots, asked of the host once per command (the staff
    // systems cannot change while it runs; `RegionReads`); 0 outside a command.
    int16_t GetStartStaff() const;
    int16_t GetEndStaff() const;
    // True when the end measure exists and the measure after it does not: its load fails and
    // the host names no measure after the end measure as its next record (asked only when that
    // load fails). Like the staves, probed once per command, and false outside one.
    bool IsLastEndMeasure() const;

    int16_t startSystem = 0;
    int16_t startSlot = 0;
    int16_t startMeasure = 0;
    int32_t startPos = 0;
    int16_t endSystem = 0;
    int16_t endSlot = 0;
    int16_t endMeasure = 0;
    int32_t endPos = 0;
    int16_t document = 0;
};

// The score layer's part of a command: the selection's answers, each kept with the fields it
// was asked for (a field changed within the command is asked for again).
class RegionReads : public vb::CommandPart<RegionReads> {
  private:
    friend class FCMusicRegion;
    template <typename T>
    struct Kept {
        bool known = false;
        int32_t asked[2] = {};
        T value{};
    };
    // The answer kept in the running command's `kept` for fields a and b, asked now if there
    // is none; T{} (0, false) outside a command, without asking.
    template <typename T, typename Ask>
    static T Remember(Kept<T> RegionReads::*kept, int32_t a, int32_t b, Ask ask);

    Kept<int16_t> startStaff_, endStaff_;
    Kept<bool> lastEndMeasure_;
};
