#pragma once
// Test scenarios of the command, shared by the Linux and the Windows suites: a document, a host
// version, a selection, the user's answers, and what must come of it (the command's result, the
// boxes shown, the groups afterwards, the host writes). The format is described in
// docs/scenarios.md.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session.h"
#include "standin/host.h"

namespace driver {

struct ExpectedBox {
    std::string caption;
    std::optional<std::string> text;
    std::optional<uint32_t> style;
};

// Fields left out are not compared.
struct ExpectedGroup {
    std::optional<int16_t> owner, number;
    std::optional<std::pair<int16_t, int16_t>> staves, measures;
    std::optional<std::string> fullName, abbrevName;
};

struct Scenario {
    std::string file;
    std::string name;
    std::string document;  // JSON text
    uint32_t hostVersion = standin::kDefaultVersion;
    std::string language = "C";          // the locale the run's environment names; "": none
    bool enumerate = true;               // false: the command is invoked before any enumeration
    std::optional<Selection> selection;  // none: no region record at all
    std::vector<std::string> answers;    // "yes" / "no"
    struct Fault {
        std::string function;  // a host function
        int nth = 1;           // its nth call fails
        uint32_t tag = 0;      // not 0: only the record calls for this tag count
        std::optional<std::vector<uint8_t>> bytes;   // written into a load's buffer first
        std::optional<standin::WrongAnswer> answer;  // the call answers so instead of failing
    };
    std::vector<Fault> faults;
    struct Expect {
        std::optional<int> result;
        std::optional<std::vector<ExpectedBox>> boxes;
        std::optional<std::vector<ExpectedGroup>> groups;
        bool unchanged = false;
        std::optional<std::vector<std::string>> writes;
    } expect;
};

// Reads and checks a scenario file, its document included. False with "<file>: <field path>:
// <problem>" in `error` for a file that is missing, not JSON, or not a scenario.
bool LoadScenario(const std::string& path, Scenario& out, std::string* error);
// The scenario as a file's text, its document in place.
std::string WriteScenario(const Scenario& scenario);

// Plans the faults in the host, counted from now.
void PlanFaults(standin::Host& host, const std::vector<Scenario::Fault>& faults);
// "FX_LoadEData call 3 fails", "FX_NextEData call 2 answers cycle 100", ...
std::string Describe(const Scenario::Fault& fault);

struct ScenarioOutcome {
    std::string name;
    bool passed = false;
    std::vector<std::string> failures;  // one line each, naming what differed
    std::string transcript;             // what happened, for reading when it failed
    std::string error;                  // set when the scenario could not be run at all
};

// Runs the scenario against the plug-in in this process's stand-in host.
ScenarioOutcome RunScenario(const Scenario& scenario, const std::string& pluginPath);

// LoadScenario, then RunScenario; a file that cannot be loaded fails with the error.
ScenarioOutcome RunScenarioFile(const std::string& path, const std::string& pluginPath);

// Every *.json file of a folder, sorted.
std::vector<std::string> ScenarioFiles(const std::string& folder);

}  // namespace driver
