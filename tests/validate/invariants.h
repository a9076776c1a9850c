#pragma once
// What must hold after any run of the command, whatever the host answered: judged from the
// document before and after and from the host calls the plug-in made.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "standin/host.h"

namespace validate {

// The document as it was before a run.
struct DocumentState {
    std::vector<standin::GroupView> groups;
    std::set<uint16_t> textBlocks;
    // Keys of the records the command writes (groups, text blocks, raw texts).
    std::map<uint32_t, std::set<std::vector<uint16_t>>> keys;
    // A group names a text block the document lacks, or a block whose raw text it lacks: a
    // name the host cannot give, however right its answers.
    bool unreadableName = false;
    // A staff system's list that no score holds: positions with a gap, a record too short for
    // its staff number, or a staff the score's order (system 0) lacks. The command cannot tell
    // such a list from one the host cut short, and says that it was not given whole.
    bool unlikelyStaffLists = false;
};
DocumentState CaptureDocument(const standin::Host& host);

struct RunFacts {
    int16_t result = 0;
    uint32_t hostVersion = 0;
    int16_t startMeasure = 0, endMeasure = 0;  // of the selection
    // The most FX_NextEData calls a bounded enumeration may make; 0 for no bound.
    size_t nextCallLimit = 0;
    // Whether the invariants of whole pieces (every measure bracketed, new groups whole copies,
    // name blocks of their own) are judged. A piece completes or is undone when one call fails;
    // when the host refuses the undo as well, a piece may stay half made.
    bool wholePieces = true;
    // The host was told to fail or misanswer calls of the run.
    bool hostFaulted = false;
    // The style of each message box shown, in order (MB_ICON... | buttons): the icons tell the
    // boxes apart in every language.
    std::vector<uint32_t> boxStyles;
};

// Every invariant the run broke, one line each; empty when all hold.
std::vector<std::string> CheckRun(const DocumentState& before, const standin::Host& host,
                                  const RunFacts& facts);

}  // namespace validate
