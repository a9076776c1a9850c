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
struct StaffSpan {
    int16_t top = 0, bottom = 0;
};

// The selection's staves as the split asked the host for them (FCMusicRegion::GetStartStaff,
// GetEndStaff): the top for each group, the bottom only where a group's top was the selection's.
struct AskedStaves {
    std::optional<int16_t> top, bottom;
};

// What the lists loaded and the selection's staves as asked leave in doubt (SplitReads::Doubt):
// none where a host gave its reads whole, as far as they can be compared without asking more.
struct SelectionDoubt {
    // A staff the host named at a slot of the selection is not the one the list holds there
    // (a lookup answered 0 there included): the selection's staves are not known.
    bool staves = false;
    // The list of the selection's staff system may lack staves: the spans are not known.
    bool list = false;
    // The score's order may lack staves, or hold a record read short: so may a group's walk
    // (implies list).
    bool order = false;
};

// The split's part of a command: the score's staff order and the staves the selection's staff
// system shows, loaded when the first group of more than one staff needs them, and the name
// font commands, built when the first matching group is cut.
class SplitReads : public vb::CommandPart<SplitReads> {
  public:
    // The group's first and last staff, in score order, that the selection's staff system
    // shows; (0, 0) when there is none, or when the list may lack staves (SelectionDoubt::list,
    // as known when loaded). A one-staff group is its own span, whatever the system shows, and
    // loads no list. Any other group loads the score's order and, for a selection in a system
    // other than 0, that system's list too and asks `FX_SlotToInst` for the slot after its last
    // staff. The lists are loaded once per command.
    StaffSpan SpanOf(const FCGroup& group, const FCMusicRegion& region);
    // What the lists, compared with `asked`, leave in doubt. Loads the lists as SpanOf does only
    // where none is loaded yet and the host answered 0 for a selection's staff: no list is
    // needed otherwise (a one-staff group's span).
    SelectionDoubt Doubt(const FCMusicRegion& region, const AskedStaves& asked);
    // Whether the group has more than one staff and one of its ends is missing from the score's
    // order (as loaded by SpanOf): the order may be cut short above it.
    bool OffTheOrder(const FCGroup& group) const;
    // Whether a group that did not match the selection could have matched, had the reads in
    // `doubt` been whole; `top` is the selection's top staff as asked. Known after SpanOf for
    // the group.
    bool MayMatch(const FCGroup& group, int16_t top, const SelectionDoubt& doubt) const;
    // The name font commands of full and of abbreviated names.
    const FCString& FullCommand();
    const FCString& AbbreviatedCommand();

  private:
    // A group's span is the walk of the score order from its first to its last staff.
    class StaffSpans {
      public:
        // `selectionComplete` false: the selection's list may lack staves beyond its end.
        StaffSpans(const FCSystemStaves& scoreOrder, const FCSystemStaves& selectionSystem,
                   bool selectionComplete);
        StaffSpan Span(int16_t startStaff, int16_t endStaff) const;
        // Whether `staff` (not 0) stands in the walk from the first to the last staff.
        bool Walks(int16_t startStaff, int16_t endStaff, int16_t staff) const;
        // Whether the staff stands in the score's order.
        bool Places(int16_t staff) const { return firstPlace_.count(staff) != 0; }
        // The staff at a 1-based slot of the selection's list; none beyond it.
        std::optional<int16_t> ListedAt(int32_t slot) const;
        // A list may lack staves: the selection's list is cut short, or either list holds a
        // record read short (FCSystemStaves::ReadShort). A whole record of staff 0 is no staff.
        bool ListWhole() const { return listWhole_; }
        bool OrderReadShort() const { return orderReadShort_; }

      private:
        std::vector<int16_t> order_;                      // the score order
        std::unordered_map<int16_t, size_t> firstPlace_;  // where each staff first stands
        std::vector<int16_t> listed_;                     // the selection's system, in order
        std::unordered_set<int16_t> shown_;               // the same, to look up
        bool orderReadShort_ = false;
        bool listWhole_ = true;
    };

    void LoadSpans(const FCMusicRegion& region);
    void LoadFonts();

    std::optional<StaffSpans> spans_;
    int16_t spansSystem_ = 0;  // the selection's system the spans were read for
    bool fontsLoaded_ = false;
    FCString fullCommand_, abbreviatedCommand_;
};

}  // namespace split
