#pragma once
// A model of the command, written from its outcome table and span rule and independent of the
// plug-in's code: what a run on a score must show (result, message boxes, groups and names).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "plugin_harness.h"
#include "scenario.h"
#include "score.h"

namespace validate {

struct ModelGroup {
    int16_t owner = 0, number = 0, top = 0, bottom = 0, first = 0, last = 0;
    std::u16string full, abbrev;  // as the document shows them; empty when unreadable
    bool readable = true;         // both name ids are 0 or name a readable text
};

struct ModelOutcome {
    int16_t result = 0;
    std::vector<std::u16string> boxes;  // captions
    std::vector<ModelGroup> groups;     // in key order
};

// The staves of a staff system in order; none for a system the score lacks.
std::vector<int16_t> StavesOf(const Score& score, int16_t system);
// The group's first and last staff, in score order, that the system shows; (0, 0) for none.
std::pair<int16_t, int16_t> GroupSpan(const Score& score, const ScoreGroup& group, int16_t system);

ModelOutcome RunModel(const Score& score);

// The number in decimal, with its sign.
std::u16string Decimal(int value);
// `name` with the split suffix of `command` (the font command), `prefix` ("Brisane " or
// "Brs ") and `number` added, or renumbered where the name carries that marker already.
std::u16string WithSuffix(const std::u16string& name, const std::u16string& command,
                          const std::u16string& prefix, int16_t number);

// How the plug-in's run differs from the model's, one line each.
std::vector<std::string> CompareWithModel(const ModelOutcome& expected, const CommandRun& run,
                                          const std::vector<standin::GroupView>& groups);
// The outcome as a scenario's expectations.
driver::Scenario::Expect ExpectationsOf(const ModelOutcome& outcome);

}  // namespace validate
