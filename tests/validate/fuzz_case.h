#pragma once
// A fuzz input as a case: any bytes decode into a score, a 20-byte region record, a host
// version, the user's answers and a schedule of host faults. Bytes run out as zeros, so every
// input is a case, and every case encodes back into an input (the seed corpus is made that way).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "plugin_harness.h"
#include "scenario.h"
#include "score.h"

namespace validate {

struct FuzzCase {
    Score score;
    std::vector<driver::Scenario::Fault> faults;
};

FuzzCase DecodeFuzzCase(const uint8_t* data, size_t size);
std::vector<uint8_t> EncodeFuzzCase(const FuzzCase& fuzzCase);

// Runs the case and judges it: the invariants always, and the model too when the score is one
// the model speaks for (well-formed, no faults).
std::vector<std::string> JudgeFuzzCase(const Plugin& plugin, const FuzzCase& fuzzCase);

// The case as a scenario file's content.
driver::Scenario ScenarioOfFuzzCase(const FuzzCase& fuzzCase, const std::string& name);

// Seed inputs: random scores, some with faults planned.
std::vector<std::vector<uint8_t>> SeedInputs(size_t count);

}  // namespace validate
