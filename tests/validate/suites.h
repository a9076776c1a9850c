#pragma once
// The validator's suites as a worker process runs them, each case reported through `report`.
// Every suite runs the built plug-in through its exports in this process's stand-in host.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "plugin_harness.h"
#include "protocol.h"
#include "scenario.h"

namespace validate {

struct SuiteOptions {
    std::string plugin;    // the plug-in file
    std::string findings;  // where failing cases are written as scenario files
    bool full = false;     // the long form
};

// A host fault at every call of the scenario's command: each call of every host function failed
// in turn, and the wrong-form answers at every call they apply to.
void RunFaultSuite(const SuiteOptions& options, const std::string& scenarioFile,
                   CaseReporter& report);
// The faults planned for a sweep, from the calls of a run without them on a document whose
// name texts and blocks have the keys `textKeys` (by tag).
std::vector<driver::Scenario::Fault> SweepFaults(
    const std::vector<standin::Call>& calls, bool full,
    const std::map<uint32_t, std::set<std::vector<uint16_t>>>& textKeys);

// Calling-order checks: their names, and one check run in this process.
std::vector<std::string> CallingOrderChecks();
void RunCallingOrderCheck(const SuiteOptions& options, const std::string& check,
                          CaseReporter& report);

// Random scores against the model: cases [first, first + count) of the seed.
void RunModelSuite(const SuiteOptions& options, uint64_t seed, size_t first, size_t count,
                   CaseReporter& report);
// Writes case `index` of the seed as a scenario file (for a case that crashed); its path.
std::string WriteModelCase(const SuiteOptions& options, uint64_t seed, size_t index);

// The fuzz inputs of a folder run as cases.
void RunReplaySuite(const SuiteOptions& options, const std::string& folder, CaseReporter& report);
// Writes a fuzz input as a scenario file (for an input that crashed); its path.
std::string WriteFuzzCase(const SuiteOptions& options, const std::string& input);
// Writes `count` seed inputs for the fuzzer into `folder`.
void WriteSeedInputs(const std::string& folder, size_t count);

// The shared scenario files, each checked against its expectations.
void RunScenarioSuite(const SuiteOptions& options, const std::string& folder, CaseReporter& report);

}  // namespace validate
