#pragma once
// Test scenarios of the command, shared by the Linux and the Windows suites: a document, a host
// version, a selection, the user's answers, and what must come of it (the command's result, the
// boxes shown, the groups afterwards, the host writes). The format is described in
// docs/scenarios.md.
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "session.h"
#include "standin/host.h"

namespace driver {

// A host call planned to go wrong: the nth call of `function`, counted from the command's start,
// fails (after writing `bytes` into a load's buffer, when given) or answers in a wrong form.
struct PlannedFault {
    std::string function;
    int nth = 1;
    std::optional<std::vector<uint8_t>> bytes;
    std::optional<standin::WrongAnswer> answer;
};

// What a scenario gives the program, and what it expects.
struct Scenario {
    std::string name;
    std::string document;  // the document as JSON
    uint32_t hostVersion = 0x19000000;
    std::optional<Selection> selection;  // none: no region record
    std::vector<std::string> answers;
    std::vector<PlannedFault> faults;
    nlohmann::json expect = nlohmann::json::object();
};

// Reads a scenario file; a document given as a path is read relative to the file. Throws
// std::runtime_error naming the file and what is wrong.
Scenario ReadScenario(const std::string& path);
// The scenario as a file's text, with the document in place.
std::string WriteScenario(const Scenario& scenario);
// Plans the scenario's faults in the host, counted from now.
void PlanFaults(standin::Host& host, const std::vector<PlannedFault>& faults);
std::string Describe(const PlannedFault& fault);

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
