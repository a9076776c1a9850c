#pragma once
// Generated scores for measuring what a command costs: staves, staff systems, multi-staff
// instruments and groups of a chosen shape and size, built in the stand-in host, together with
// the selection the shape is made for. The same shape and size always give the same score.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "session.h"
#include "standin/host.h"

namespace driver {

enum class ScoreShape {
    // Staff system 1 lacks every seventh staff; one group brackets every staff over every
    // measure, the others are random. The selection is system 1's whole staff list.
    Orchestral,
    // Groups nested in each other by halving the staff range again and again, and nested in
    // measures where the ranges repeat.
    DeepNesting,
    // Every group is cut into pieces with suffixed names, as earlier splits leave them.
    EarlierSplits,
    // The orchestral score with no staff system but the score's own order.
    OneSystem,
    // The orchestral score with four staff systems, each lacking other staves; the selection
    // is in system 2.
    SeveralSystems,
};

inline constexpr ScoreShape kScoreShapes[] = {ScoreShape::Orchestral, ScoreShape::DeepNesting,
                                              ScoreShape::EarlierSplits, ScoreShape::OneSystem,
                                              ScoreShape::SeveralSystems};

// "orchestral", "deep-nesting", "earlier-splits", "one-system", "several-systems".
std::string_view ShapeName(ScoreShape shape);
std::optional<ScoreShape> ShapeFromName(std::string_view name);

struct ScoreSize {
    int staves = 0;    // 2 to 2000
    int groups = 0;    // 1 to 16000
    int measures = 0;  // 8 to 32000
};

// Replaces the host's document by the generated score and returns the selection: the whole
// staff list of the selection's staff system over the measures from a quarter to half-way
// through the score (100 to 200 of 400). The group over every staff contains them, so every
// shape splits at least one group.
Selection GenerateScore(standin::Host& host, ScoreShape shape, const ScoreSize& size);

// The most host calls one command on a generated score may make: so many per group and per
// staff, and a fixed number for the rest. The tests hold the command to it; the performance
// document shows it beside what was measured.
struct HostCallBound {
    int perGroup, perStaff, fixed;
    uint64_t Of(const ScoreSize& size) const {
        return static_cast<uint64_t>(perGroup) * static_cast<uint64_t>(size.groups) +
               static_cast<uint64_t>(perStaff) * static_cast<uint64_t>(size.staves) +
               static_cast<uint64_t>(fixed);
    }
};
inline constexpr HostCallBound kHostCallBound{3, 6, 200};

// A score, and one with twice its staves and groups: one command on the second may make at most
// twice the host calls of one on the first.
inline constexpr ScoreSize kDoubledScores[2] = {{120, 500, 400}, {240, 1000, 400}};

struct CommandTraffic {
    uint64_t hostCalls = 0;
    int16_t result = 0;
};

// One command on the generated score, through the module's exports as the notation program
// makes it (Session, default host version, every question answered yes), in the stand-in host
// of this process, which it resets: the host calls of the command alone, and its result. None,
// with the reason in `error`, when the plug-in cannot be loaded.
std::optional<CommandTraffic> CountCommand(const std::string& pluginPath, ScoreShape shape,
                                           const ScoreSize& size, std::string* error);

}  // namespace driver
