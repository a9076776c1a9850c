#pragma once
// The command's work: cutting the groups that match the selection at its measure boundaries.
#include <cstdint>
#include <utility>

#include "framework/score/fc_group.h"
#include "framework/score/fc_music_region.h"
#include "framework/text/fc_string.h"

namespace split {

// A new group is created with the group record's field at offset 6 lowered by this, and the
// piece's last save restores it. The field's meaning is the host's, and nothing in the plug-in
// reads it: these are the writes the command makes (its recorded writes hold both values), kept
// as they are because the host and the documents it made may rely on them.
constexpr int16_t FIELD6_CREATE_ADJUST = 10;

// What kept a group that matches the selection, or may match it, from being split, or wholly
// split. Each is known without asking the host anything more.
struct SplitShortfalls {
    // A piece was undone, or could not be, because the host refused one of its writes (or
    // answered it as no new record).
    bool refusedWrite = false;
    // The host did not give a read whole: the name of a matching group with measures to cut
    // off (a name id of 0 is no name, and reads as empty); the list of groups (it ended on a
    // record named and not loaded, or on a repeat); or the staff lists or the selection's
    // staves, so that a group with measures to cut that may match was not matched.
    bool readRefused = false;
    // A matching group with measures to cut was left whole, or a piece undone, because a name or
    // a suffixed name is longer than the plug-in reads or writes in a text (FCRawText::CanHold,
    // kMaxRecordBytes): its own limit; the host refused nothing.
    bool nameTooLong = false;
};

// Splits every group whose top and bottom staff are the selection's and whose measures contain
// the selected measures. Each new group either completes, names included, or is undone. True
// when at least one new group was completed. `shortfalls`, when given, tells what kept a group
// from being split. The staff lists and the name fonts are read once for all groups, into the
// command's part (SplitReads): the split writes none of them. Outside a command nothing is read
// or split: false.
bool SplitMatchingGroups(const FCMusicRegion& region, SplitShortfalls* shortfalls = nullptr);

// The running command's SplitReads::SpanOf, top and bottom; outside a command nothing is read
// and the span is (0, 0).
std::pair<int16_t, int16_t> GetGroupStaffSpan(const FCGroup& group, const FCMusicRegion& region);

// Adds the split suffix (font command, "(", prefix, number, ")") to `name`, or renumbers the
// suffix it already carries with the same font command.
void AddSplitSuffix(FCString& name, const FCString& fontCommand, int16_t number, bool abbreviated);

}  // namespace split
