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

// Splits every group whose top and bottom staff are the selection's and whose measures contain
// the selected measures. Each new group either completes, names included, or is undone. True
// when at least one new group was completed. `refused`, when given, is set when a piece of a
// matching group was undone, or could not be, because the host refused one of its writes (or
// answered it as no new record). The staff lists and the name fonts are read once for all
// groups, into the command's part (SplitReads): the split writes none of them. Outside a
// command nothing is read or split: false.
bool SplitMatchingGroups(const FCMusicRegion& region, bool* refused = nullptr);

// The running command's SplitReads::StaffSpan; outside a command nothing is read and the span
// is (0, 0).
std::pair<int16_t, int16_t> GetGroupStaffSpan(const FCGroup& group, const FCMusicRegion& region);

// Adds the split suffix (font command, "(", prefix, number, ")") to `name`, or renumbers the
// suffix it already carries with the same font command.
void AddSplitSuffix(FCString& name, const FCString& fontCommand, int16_t number, bool abbreviated);

}  // namespace split
