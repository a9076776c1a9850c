#pragma once
// brisane's run of the plug-in's command on a document: the document loaded and the selection
// checked, the command run as the notation program runs it, the report printed, and the outputs
// written, all of them or none.
#include <ostream>
#include <string>

#include "brisane_options.h"
#include "print_buffer.h"

namespace driver::brisane {

// The grep and diff habit: 0 groups were split, 1 the command ran and split nothing, 2 bad
// input or a failure.
constexpr int kExitSplit = 0, kExitUnchanged = 1, kExitUsage = 2;

// Says "brisane: MESSAGE" on standard error, the message made printable; kExitUsage.
int Refuse(const std::string& message);

// Where the report goes, and the buffer it is printed through, whose write error fails the run.
struct Report {
    std::ostream& out;
    PrintBuffer& printed;
};

// Runs the command on the document with the plug-in at `plugin`: the exit status. Throws
// UsageError for bad options, a selection outside the score or an output that cannot be written.
int RunCommand(const Options& o, const std::string& plugin, const Report& report);

}  // namespace driver::brisane
