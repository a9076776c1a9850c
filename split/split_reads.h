#pragma once
// What the split reads from the host once per command: the command writes none of it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "framework/base/module_state.h"
#include "framework/score/fc_group.h"
#include "framework/score/fc_music_region.h"
#include "framework/text/fc_string.h"

class FCSystemStaves;

namespace split {

// A group's first and last staff that the selection's staff system shows (SplitReads::SpanOf).
// Not known when the host cut that system's list short and the group has staves in the score's
// order: its span may then lie on staves the list lacks.
struct StaffSpan {
    int16_t top = 0, bottom = 0;
    bool known = true;
};

// The split's part of a command: the score's staff order and the staves the selection's staff
// system shows, loaded when the first group of more than one staff needs them, and the name
// font commands, built when the first matching group is cut.
class SplitReads : public vb::CommandPart<SplitReads> {
  public:
    // The group's first and last staff, in score order, that the selection's staff system
    // shows; (0, 0) when there is none. Not known when the host cut that system's list short and
    // the group has staves in the score's order. A one-staff group is its own span, whatever the
    // system shows, and loads no list. Any other group loads the score's order and, for a
    // selection in a system other than 0, that system's list too and asks `FX_SlotToInst` for
    // the slot after its last staff. The lists are loaded once per command.
    StaffSpan SpanOf(const FCGroup& group, const FCMusicRegion& region);
    // Whether `staff` stands in the score's order from the group's first to its last staff,
    // where any system's span of the group lies. Known after SpanOf for the group; false
    // before, and for a staff of 0.
    bool Walks(const FCGroup& group, int16_t staff) const;
    // The name font commands of full and of abbreviated names.
    const FCString& FullCommand();
    const FCString& AbbreviatedCommand();

  private:
    // A group's span is the walk of the score order from its first to its last staff.
    class StaffSpans {
      public:
        // `selectionComplete` false: the selection's list may lack staves, and no span is known.
        StaffSpans(const FCSystemStaves& scoreOrder, const FCSystemStaves& selectionSystem,
                   bool selectionComplete);
        StaffSpan Span(int16_t startStaff, int16_t endStaff) const;
        bool Walks(int16_t startStaff, int16_t endStaff, int16_t staff) const;

      private:
        std::vector<int16_t> order_;                      // the score order
        std::unordered_map<int16_t, size_t> firstPlace_;  // where each staff first stands
        std::unordered_set<int16_t> shown_;               // the selection's system
        bool selectionComplete_;
    };

    void LoadFonts();

    std::optional<StaffSpans> spans_;
    int16_t spansSystem_ = 0;  // the selection's system the spans were read for
    bool fontsLoaded_ = false;
    FCString fullCommand_, abbreviatedCommand_;
};

}  // namespace split
