#pragma once
// Test scenarios of the command, shared by the Linux and the Windows suites: a document, a host
// version, a selection, the user's answers, and what must come of it (the command's result, the
// boxes shown, the groups afterwards, the host writes). The format is described in
// docs/scenarios.md.
#include <string>
#include <vector>

namespace driver {

struct ScenarioOutcome {
    std::string name;
    bool passed = false;
    std::vector<std::string> failures;  // one line each, naming what differed
    std::string transcript;             // what happened, for reading when it failed
};

// Runs the scenario file against the plug-in in this process's stand-in host.
ScenarioOutcome RunScenarioFile(const std::string& path, const std::string& pluginPath);

// Every *.json file of a folder, sorted.
std::vector<std::string> ScenarioFiles(const std::string& folder);

}  // namespace driver
