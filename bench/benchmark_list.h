#pragma once
// What vb_benchmarks measures and vb_performance reads back from its results: the sizes of the
// generated scores and documents, and the names of the benchmarks. Both programs take them from
// here, so that the document asks for exactly what was measured.
#include <string>
#include <vector>

#include "score_generator.h"

namespace bench {

// One command on a generated score of every shape, staves × groups and measures.
inline constexpr int kStaves[] = {8, 30, 120, 250};
inline constexpr int kGroups[] = {10, 100, 500, 2000};
inline constexpr int kMeasures = 400;

// The stand-in host's documents: orchestral scores of so many groups, of kDocumentStaves staves
// and kMeasures measures.
inline constexpr int kDocumentGroups[] = {1000, 2000, 4000, 8000, 16000};
inline constexpr int kDocumentStaves = 100;

// Names of the record transfers begin so: "transfer/load field map 'pfSS'".
inline constexpr char kTransferPrefix[] = "transfer/";

inline constexpr char kEmptyModuleLoad[] = "module/load an empty module";
inline constexpr char kPluginLoad[] = "module/load the plug-in";
inline constexpr char kPluginUnload[] = "module/unload the plug-in";
inline constexpr char kPluginStartup[] = "module/version, init, enumeration, menu status";

// "command/orchestral/120x500"
inline std::string CommandName(driver::ScoreShape shape, const driver::ScoreSize& size) {
    return "command/" + std::string(driver::ShapeName(shape)) + "/" + std::to_string(size.staves) +
           "x" + std::to_string(size.groups);
}

// "document/load/1000", "document/save/1000"
inline std::string DocumentName(bool save, int groups) {
    return std::string("document/") + (save ? "save/" : "load/") + std::to_string(groups);
}

// Every benchmark the document reads by name (the transfers it lists as it finds them).
inline std::vector<std::string> NamedBenchmarks() {
    std::vector<std::string> names;
    for (driver::ScoreShape shape : driver::kScoreShapes) {
        for (int staves : kStaves) {
            for (int groups : kGroups) {
                names.push_back(CommandName(shape, {staves, groups, kMeasures}));
            }
        }
    }
    names.insert(names.end(), {kEmptyModuleLoad, kPluginLoad, kPluginUnload, kPluginStartup});
    for (int groups : kDocumentGroups) {
        names.push_back(DocumentName(false, groups));
        names.push_back(DocumentName(true, groups));
    }
    return names;
}

}  // namespace bench
