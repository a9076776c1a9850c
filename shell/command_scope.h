#pragma once
// One command's scope: what the command reads once, in the part of each layer that reads it.
#include "framework/base/module_state.h"
#include "framework/score/fc_music_region.h"
#include "split/split_reads.h"

namespace shell {

// Made when the host calls the command (Invoke, the one place that opens a scope), gone when the
// command returns: every answer kept for the command goes with it, and the next command asks
// the host afresh. A scope made while another lives belongs to that one.
struct CommandScope {
    vb::DocumentReads document;  // the document current in the host
    RegionReads selection;       // the selection's staves, whether its end is the last measure
    split::SplitReads split;     // the staff lists and the name font commands
};

}  // namespace shell
