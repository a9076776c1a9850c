#include "brisane_options.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <utility>

#include "numbers.h"
#include "picture/labels.h"
#include "standin/files.h"
#include "standin/host.h"

namespace driver::brisane {
namespace {

// @CODES@ stands for the language codes there are, @HOST_VERSION@ for the default host version.
const char kUsage[] =
    "usage: brisane DOCUMENT.json --staves TOP-BOTTOM --measures FIRST-LAST [options]\n"
    "       brisane --scenario FILE... [--plugin PATH]\n"
    "\n"
    "Runs the plug-in's command on the document, as the notation program would.\n"
    "Numbers are decimal. Options take their value as --option VALUE or --option=VALUE.\n"
    "\n"
    "selection:\n"
    "  --staves A-B          top and bottom slot of the selection, counted from 1 (--staves 3:\n"
    "                        slot 3 alone)\n"
    "  --system N            staff system the slots are counted in (default 0: the score)\n"
    "  --measures M-N        first and last selected measure (--measures 9: measure 9 alone)\n"
    "  --start-pos P         position in the first measure where the selection starts (default 0;\n"
    "                        positions count from 0)\n"
    "  --end-pos P           position in the last measure where it ends (default 2147483647,\n"
    "                        through the end of the measure)\n"
    "  --no-selection        run the command without any selection\n"
    "answers:\n"
    "  --yes, --no           answer the plug-in's question; without either, it is read from\n"
    "                        the input (a terminal or a pipe: y or n)\n"
    "host and output:\n"
    "  --host-version V      version the program reports to the plug-in (default @HOST_VERSION@;\n"
    "                        decimal, or hexadecimal after 0x)\n"
    "  --output FILE         write the changed document (JSON); it may be the document itself,\n"
    "                        and a symbolic link is written through to its target\n"
    "  --svg FILE            draw the groups before and after (SVG)\n"
    "                        for both, - is standard output (this report then goes to standard\n"
    "                        error), and a device or named pipe is written to, not replaced\n"
    "  --language CODE       draw the pictures in this language (@CODES@); by default in\n"
    "                        the plug-in's, from LC_ALL, LC_MESSAGES and LANG (on Windows the\n"
    "                        display language). Only the pictures change: the plug-in's\n"
    "                        messages and this report stay in the plug-in's language\n"
    "  --quiet               print only the selection, the message boxes and the result\n"
    "  --plugin PATH         the plug-in (default: vorlanbrisane64.fxt beside this program)\n"
    "  --scenario FILE...    run test scenarios instead, report each, exit 1 if any fails\n"
    "  --help, --version     this text; the program's version\n"
    "\n"
    "Exit status: 0 groups were split; 1 the command ran and split nothing (the question was\n"
    "answered No or not at all, the selection was refused, or no group matched); 2 bad\n"
    "arguments, a bad document or a failure (standard output that cannot be written too), and\n"
    "nothing was written. With --scenario: 0 every scenario passed, 1 one failed, 2 a file could\n"
    "not be read.\n";

const std::vector<std::string> kValueOptions = {
    "--staves", "--measures", "--system", "--start-pos", "--end-pos", "--host-version",
    "--output", "--svg",      "--plugin", "--scenario",  "--language"};
const std::vector<std::string> kFlags = {"--no-selection", "--yes",  "--no",
                                         "--quiet",        "--help", "--version"};

bool Listed(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// long long: a long does not hold every 32-bit unsigned value on Windows.
long long Number(const std::string& text, const std::string& option, long long low,
                 long long high) {
    const auto value = ParseDecimal(text);
    if (!value) throw UsageError{option + ": '" + text + "' is not a decimal number"};
    if (*value < low || *value > high) {
        throw UsageError{option + ": " + text + " is out of range (" + std::to_string(low) +
                         " to " + std::to_string(high) + ")"};
    }
    return *value;
}

// "A-B", or "A" for A-A.
std::pair<int16_t, int16_t> Range(const std::string& text, const std::string& option) {
    const size_t dash = text.find('-', 1);
    const std::string first = dash == std::string::npos ? text : text.substr(0, dash);
    const std::string last = dash == std::string::npos ? text : text.substr(dash + 1);
    return {static_cast<int16_t>(Number(first, option, INT16_MIN, INT16_MAX)),
            static_cast<int16_t>(Number(last, option, INT16_MIN, INT16_MAX))};
}

// Whether writing one path would replace the file the other names, through symbolic links too
// (a link that leads to a file not yet there included), or both are standard output.
bool SameFile(const std::string& a, const std::string& b) {
    const bool aOut = standin::files::IsStandardOutput(a),
               bOut = standin::files::IsStandardOutput(b);
    if (aOut || bOut) return aOut && bOut;
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    const auto normal = [](const std::string& p) {
        std::error_code ignored;
        std::filesystem::path target = standin::files::Target(p);
        if (target.empty()) target = p;
        return std::filesystem::weakly_canonical(std::filesystem::absolute(target), ignored);
    };
    return normal(a) == normal(b);
}

// Reads argv[i] (and the value after it, moving `i` on) into `o`. True for --help and
// --version, which `o` then holds alone: nothing else on the line counts.
bool ReadArgument(int argc, char** argv, int& i, Options& o) {
    std::string arg = argv[i];
    if (arg == "-h") arg = "--help";
    if (arg.size() < 2 || arg[0] != '-') {
        if (!o.document.empty())
            throw UsageError{"more than one document given: " + o.document + ", " + arg};
        o.document = arg;
        return false;
    }
    std::optional<std::string> inlineValue;
    if (const size_t equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != arg.npos) {
        inlineValue = arg.substr(equals + 1);
        arg.resize(equals);
    }
    const bool takesValue = Listed(kValueOptions, arg);
    if (!takesValue && !Listed(kFlags, arg)) {
        throw UsageError{"unknown option " + arg + " (brisane --help lists the options)"};
    }
    if (!takesValue && inlineValue) throw UsageError{arg + " takes no value"};
    if (arg == "--help" || arg == "--version") {
        o = {{}, {{arg, ""}}, {}};
        return true;
    }
    if (o.Has(arg)) throw UsageError{arg + " is given twice"};
    if ((arg == "--yes" && o.Has("--no")) || (arg == "--no" && o.Has("--yes")))
        throw UsageError{"--yes and --no exclude each other"};
    std::string value;
    if (takesValue) {
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) {
            value = argv[++i];
        }
        if (value.empty() && arg != "--scenario") throw UsageError{arg + " needs a value"};
    }
    o.values[arg] = value;
    if (arg == "--scenario") {
        if (!value.empty()) o.scenarios.push_back(value);
        while (i + 1 < argc && argv[i + 1][0] != '-') o.scenarios.push_back(argv[++i]);
        if (o.scenarios.empty()) throw UsageError{"--scenario needs at least one file"};
    }
    return false;
}

// Each scenario names its own document, selection, answers and host version.
void CheckScenarioRun(const Options& o) {
    if (!o.document.empty())
        throw UsageError{"a document (" + o.document + ") means nothing with --scenario"};
    for (const auto& [option, value] : o.values) {
        if (option != "--scenario" && option != "--plugin")
            throw UsageError{option + " means nothing with --scenario"};
    }
}

// A document, a selection or none, outputs that are two files, and a language there is.
void CheckCommandRun(const Options& o) {
    if (o.document.empty())
        throw UsageError{"no document given (brisane --help shows how to run it)"};
    if (o.Has("--no-selection")) {
        for (const char* option :
             {"--staves", "--measures", "--system", "--start-pos", "--end-pos"})
            if (o.Has(option))
                throw UsageError{std::string(option) + " means nothing with --no-selection"};
    } else {
        if (!o.Has("--staves")) throw UsageError{"no staves selected (--staves TOP-BOTTOM)"};
        if (!o.Has("--measures")) throw UsageError{"no measures selected (--measures FIRST-LAST)"};
    }
    if (o.Has("--output") && o.Has("--svg") && SameFile(o.Value("--output"), o.Value("--svg")))
        throw UsageError{"--output and --svg name the same file: " + o.Value("--svg")};
    if (o.Has("--svg") && SameFile(o.Value("--svg"), o.document))
        throw UsageError{"--svg names the document itself: " + o.document};
    if (o.Has("--language") && !LanguageOfCode(o.Value("--language"), "")) {
        throw UsageError{"--language " + o.Value("--language") + ": not a language of the " +
                         "plug-in; the languages are " + LanguageCodes()};
    }
}

}  // namespace

std::string Usage() {
    std::string usage = kUsage;
    const auto fill = [&usage](const std::string& mark, const std::string& text) {
        usage.replace(usage.find(mark), mark.size(), text);
    };
    fill("@CODES@", LanguageCodes());
    std::ostringstream version;
    version << "0x" << std::hex << standin::kDefaultVersion;
    fill("@HOST_VERSION@", version.str());
    return usage;
}

Options ParseArguments(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (ReadArgument(argc, argv, i, o)) return o;
    }
    if (o.Has("--scenario")) {
        CheckScenarioRun(o);
    } else {
        CheckCommandRun(o);
    }
    return o;
}

std::optional<Selection> SelectionOf(const Options& o) {
    if (o.Has("--no-selection")) return std::nullopt;
    Selection s;
    std::tie(s.startSlot, s.endSlot) = Range(o.Value("--staves"), "--staves");
    std::tie(s.startMeasure, s.endMeasure) = Range(o.Value("--measures"), "--measures");
    if (o.Has("--system"))
        s.system =
            static_cast<int16_t>(Number(o.Value("--system"), "--system", INT16_MIN, INT16_MAX));
    if (o.Has("--start-pos"))
        s.startPos = static_cast<int32_t>(
            Number(o.Value("--start-pos"), "--start-pos", INT32_MIN, INT32_MAX));
    if (o.Has("--end-pos"))
        s.endPos =
            static_cast<int32_t>(Number(o.Value("--end-pos"), "--end-pos", INT32_MIN, INT32_MAX));
    return s;
}

void CheckSelection(const Selection& s, const Options& o) {
    const standin::Host& host = standin::Host::Instance();
    const std::string staves = "--staves " + o.Value("--staves") + ": ";
    const std::string measures = "--measures " + o.Value("--measures") + ": ";
    const size_t count = host.StaffSystem(s.system).size();
    const std::string system =
        s.system == 0 ? "the score (staff system 0)" : "staff system " + std::to_string(s.system);
    if (count == 0) {
        throw UsageError{s.system == 0 ? staves + "the score has no staves"
                                       : "--system " + o.Value("--system") +
                                             ": the document has no staff system " +
                                             std::to_string(s.system)};
    }
    if (s.startSlot < 1 || s.endSlot < 1) throw UsageError{staves + "slots count from 1"};
    if (s.startSlot > s.endSlot)
        throw UsageError{staves + "the top slot comes after the bottom slot"};
    if (static_cast<size_t>(s.endSlot) > count) {
        throw UsageError{staves + system + " has " + std::to_string(count) +
                         (count == 1 ? " staff" : " staves")};
    }
    const int last = host.MeasureCount();
    if (s.startMeasure < 1 || s.endMeasure < 1)
        throw UsageError{measures + "measures count from 1"};
    if (s.startMeasure > s.endMeasure)
        throw UsageError{measures + "the first measure comes after the last"};
    if (s.endMeasure > last) {
        throw UsageError{measures + "the score has " + std::to_string(last) +
                         (last == 1 ? " measure" : " measures")};
    }
    for (const auto& [option, position] :
         {std::pair{"--start-pos", s.startPos}, std::pair{"--end-pos", s.endPos}}) {
        if (position < 0)
            throw UsageError{std::string(option) + " " + o.Value(option) +
                             ": positions in a measure count from 0"};
    }
    if (s.startMeasure == s.endMeasure && s.endPos < s.startPos) {
        throw UsageError{"--end-pos " + o.Value("--end-pos") +
                         ": the end comes before the start (--start-pos " + o.Value("--start-pos") +
                         ") in measure " + std::to_string(s.endMeasure)};
    }
}

void CheckOutputs(const Options& o) {
    for (const char* option : {"--output", "--svg"}) {
        if (!o.Has(option)) continue;
        if (std::string why = standin::files::WhyNotWritable(o.Value(option)); !why.empty())
            throw UsageError{std::string(option) + " " + why};
    }
}

uint32_t HostVersion(const Options& o) {
    if (!o.Has("--host-version")) return standin::kDefaultVersion;
    const std::string& text = o.Value("--host-version");
    if (const auto v = ParseVersion(text)) return *v;
    throw UsageError{"--host-version: '" + text +
                     "' is not a version (decimal, or 0x and hexadecimal digits, up to "
                     "0xFFFFFFFF)"};
}

Language PicturesLanguage(const Options& o, const Language& plugin) {
    Language chosen = plugin;
    if (o.Has("--language")) {
        const std::string& code = o.Value("--language");
        chosen = *LanguageOfCode(code, "--language " + code);
    }
    const std::string drawn(picture::labels::In(chosen.code).code);
    return drawn == chosen.code ? chosen : *LanguageOfCode(drawn, chosen.source);
}

bool WritesStandardOutput(const Options& o) {
    return (o.Has("--output") && standin::files::IsStandardOutput(o.Value("--output"))) ||
           (o.Has("--svg") && standin::files::IsStandardOutput(o.Value("--svg")));
}

}  // namespace driver::brisane
