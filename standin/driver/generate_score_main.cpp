// generate-score: writes one of the benchmarks' generated scores as a document for brisane, so
// that anyone can try the program (or a test can) on a score of thousands of staves and groups.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "numbers.h"
#include "score_generator.h"
#include "standin/files.h"
#include "standin/host.h"

namespace {

const char kUsage[] =
    "usage: generate-score STAVES GROUPS MEASURES [--shape SHAPE] [--output FILE]\n"
    "\n"
    "Writes a generated score (JSON) to FILE, or to the standard output, and names on the\n"
    "standard error the selection it is made for, as brisane's options. The same numbers always\n"
    "give the same score.\n"
    "\n"
    "  STAVES     2 to 2000\n"
    "  GROUPS     1 to 16000\n"
    "  MEASURES   8 to 32000\n"
    "  --shape    orchestral (default), deep-nesting, earlier-splits, one-system,\n"
    "             several-systems\n";

struct UsageError {
    std::string message;
};

int Size(const std::string& text, const char* what, int low, int high) {
    const auto value = driver::ParseDecimal(text);
    if (!value || *value < low || *value > high) {
        throw UsageError{std::string(what) + ": '" + text + "' is not a number from " +
                         std::to_string(low) + " to " + std::to_string(high)};
    }
    return static_cast<int>(*value);
}

int Run(int argc, char** argv) {
    std::vector<std::string> numbers;
    std::string shapeName = "orchestral", output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return EXIT_SUCCESS;
        }
        if (arg == "--shape" || arg == "--output") {
            if (i + 1 == argc) throw UsageError{arg + " needs a value"};
            (arg == "--shape" ? shapeName : output) = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-' && !driver::ParseDecimal(arg)) {
            throw UsageError{"unknown option " + arg + " (generate-score --help lists them)"};
        } else {
            numbers.push_back(arg);
        }
    }
    if (numbers.size() != 3)
        throw UsageError{"give STAVES GROUPS MEASURES (generate-score --help shows how)"};
    const driver::ScoreSize size{Size(numbers[0], "STAVES", 2, 2000),
                                 Size(numbers[1], "GROUPS", 1, 16000),
                                 Size(numbers[2], "MEASURES", 8, 32000)};
    const auto shape = driver::ShapeFromName(shapeName);
    if (!shape) throw UsageError{"--shape: no shape named '" + shapeName + "'"};

    standin::Host& host = standin::Host::Instance();
    host.Reset();
    const driver::Selection s = driver::GenerateScore(host, *shape, size);
    const std::string json = host.SaveDocumentJson();
    if (output.empty()) {
        std::cout << json;
    } else if (std::string error; !standin::files::WriteAll({{output, json}}, &error)) {
        std::cerr << "generate-score: " << error << "\n";
        return 2;
    }
    std::cerr << "generate-score: its selection: --system " << s.system << " --staves "
              << s.startSlot << "-" << s.endSlot << " --measures " << s.startMeasure << "-"
              << s.endMeasure << "\n";
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "generate-score: " << e.message << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "generate-score: unexpected failure: " << e.what() << "\n";
        return 2;
    }
}
