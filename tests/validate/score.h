#pragma once
// A score as the validator generates it: staves, a staff system, groups with their names,
// instruments, fonts, the selection and the user's answers. Built into the stand-in host for a
// run, and read by the model for what the run must give.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session.h"
#include "standin/host.h"

namespace validate {

struct NameSpec {
    enum class Kind : uint8_t {
        None,     // name id 0
        Text,     // a text block and its raw text
        NoBlock,  // an id naming no text block
        NoText,   // a text block whose raw text does not exist
    };
    Kind kind = Kind::None;
    std::u16string text;
};

struct ScoreGroup {
    int16_t owner = 0, number = 1;
    int16_t top = 0, bottom = 0;  // staff numbers
    int16_t first = 1, last = 1;  // measures
    NameSpec full, abbrev;
    std::array<uint8_t, 36> record{};  // the bytes besides the fields above
};

struct FontPref {
    uint16_t font = 0;
    int16_t size = 12;
    uint16_t effects = 0;
};

struct Score {
    uint32_t hostVersion = 0x19000000;
    std::vector<int16_t> staves;  // the score's order (staff system 0)
    int16_t system = 0;           // a further staff system, 0 for none
    std::vector<int16_t> systemStaves;
    int16_t measures = 1;
    std::vector<ScoreGroup> groups;  // (owner, number) distinct
    std::vector<std::array<int16_t, 3>> instruments;
    std::vector<std::pair<uint16_t, std::u16string>> fonts;
    std::optional<FontPref> fullPref, abbrevPref;  // preferences 33 and 39
    driver::Selection selection;
    std::vector<std::string> answers;
};

// Replaces the host's document with the score.
void BuildScore(const Score& score, standin::Host& host);

// A small seeded generator that gives the same numbers on every platform.
class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    int Between(int low, int high);  // both included
    bool Chance(int percent) { return Between(0, 99) < percent; }
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[static_cast<size_t>(Between(0, static_cast<int>(items.size()) - 1))];
    }

  private:
    uint64_t state_;
};

// The generator of case `index` of a run's seed.
Random CaseRandom(uint64_t seed, uint64_t index);

// A random score with a selection biased to hit its groups.
Score RandomScore(Random& random);

// The name font command the command builds from a font preference (none: not loaded).
std::u16string NameFontCommand(const Score& score, const std::optional<FontPref>& pref);

}  // namespace validate
