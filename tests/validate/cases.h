#pragma once
// One run of the command as a validation case: the host holds the document, the plug-in is
// started up and invoked with the case's faults planned, and the run is judged.
#include <string>
#include <vector>

#include "invariants.h"
#include "plugin_harness.h"
#include "scenario.h"

namespace validate {

struct CaseRun {
    CommandRun command;
    std::vector<std::string> violations;  // the invariants the run broke
};

// Replaces the host's document with the scenario's; throws std::runtime_error when it is bad.
void LoadDocument(standin::Host& host, const driver::Scenario& scenario);

// Runs the scenario's command on the document the host holds now (its `document` is not read).
// `nextCallLimit` bounds the enumeration calls (0: no bound).
CaseRun RunCase(const Plugin& plugin, standin::Host& host, const driver::Scenario& scenario,
                size_t nextCallLimit = 0);

// Writes the scenario into `folder` as a finding, named from `stem`; returns its path, or "" when
// it could not be written.
std::string WriteFinding(const std::string& folder, const std::string& stem,
                         const driver::Scenario& scenario);

}  // namespace validate
