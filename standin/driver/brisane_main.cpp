// brisane: runs the Vorlan Brisane plug-in on a score document the way the notation program
// does, playing the program (the stand-in host) and, where asked, the user.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#define IS_TERMINAL() (_isatty(0) != 0)
#else
#include <unistd.h>
#define IS_TERMINAL() (isatty(0) != 0)
#endif

#include "language.h"
#include "numbers.h"
#include "picture/labels.h"
#include "picture/picture.h"
#include "print_buffer.h"
#include "report.h"
#include "scenario.h"
#include "session.h"
#include "standin/files.h"
#include "standin/host.h"
#include "support/utf8.h"

#ifndef BRISANE_VERSION
#error "BRISANE_VERSION must name the project's version"
#endif

namespace {

// The grep and diff habit: 0 groups were split, 1 the command ran and split nothing, 2 bad
// input or a failure. With --scenario, 1 means that a scenario failed.
constexpr int kExitSplit = 0, kExitUnchanged = 1, kExitUsage = 2;
constexpr int kExitPassed = 0, kExitScenarioFailed = 1;

// @CODES@ stands for the language codes there are.
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
    "  --host-version V      version the program reports to the plug-in (default 0x19000000;\n"
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

struct UsageError {
    std::string message;
};

// The options as given; each at most once.
struct Options {
    std::string document;
    std::map<std::string, std::string> values;  // option -> value ("" for flags)
    std::vector<std::string> scenarios;

    bool Has(const std::string& option) const { return values.count(option) != 0; }
    const std::string& Value(const std::string& option) const { return values.at(option); }
};

const std::vector<std::string> kValueOptions = {
    "--staves", "--measures", "--system", "--start-pos", "--end-pos", "--host-version",
    "--output", "--svg",      "--plugin", "--scenario",  "--language"};
const std::vector<std::string> kFlags = {"--no-selection", "--yes",  "--no",
                                         "--quiet",        "--help", "--version"};

bool Listed(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

std::filesystem::path ProgramDir(const char* argv0) {
#if defined(_WIN32)
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return std::filesystem::path(path).parent_path();
#else
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path();
#endif
    return std::filesystem::absolute(argv0).parent_path();
}

// long long: a long does not hold every 32-bit unsigned value on Windows.
long long Number(const std::string& text, const std::string& option, long long low,
                 long long high) {
    const auto value = driver::ParseDecimal(text);
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

int Refuse(const std::string& message) {
    std::cerr << "brisane: " << driver::Printable(message) << "\n";
    return kExitUsage;
}

driver::PrintBuffer stdoutBuffer(stdout), stderrBuffer(stderr);

// The exit status once standard output is flushed: output that is lost makes a run a failure.
int Finished(int status) {
    if (status == kExitUsage) return status;
    const std::string why = stdoutBuffer.WriteError();
    return why.empty() ? status : Refuse(why);
}

Options ParseArguments(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h") arg = "--help";
        if (arg.size() < 2 || arg[0] != '-') {
            if (!o.document.empty())
                throw UsageError{"more than one document given: " + o.document + ", " + arg};
            o.document = arg;
            continue;
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
        if (arg == "--help" || arg == "--version")
            return {{}, {{arg, ""}}, {}};  // nothing else counts
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
    }

    if (o.Has("--scenario")) {
        // Each scenario names its own document, selection, answers and host version.
        if (!o.document.empty())
            throw UsageError{"a document (" + o.document + ") means nothing with --scenario"};
        for (const auto& [option, value] : o.values) {
            if (option != "--scenario" && option != "--plugin")
                throw UsageError{option + " means nothing with --scenario"};
        }
        return o;
    }
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
    if (o.Has("--language") && !driver::LanguageOfCode(o.Value("--language"), "")) {
        throw UsageError{"--language " + o.Value("--language") + ": not a language of the " +
                         "plug-in; the languages are " + driver::LanguageCodes()};
    }
    return o;
}

// The language the pictures are drawn in: --language, else the plug-in's (`plugin`); English
// where that language has no labels of its own.
driver::Language PicturesLanguage(const Options& o, const driver::Language& plugin) {
    driver::Language chosen = plugin;
    if (o.Has("--language")) {
        const std::string& code = o.Value("--language");
        chosen = *driver::LanguageOfCode(code, "--language " + code);
    }
    const std::string drawn(driver::picture::labels::In(chosen.code).code);
    return drawn == chosen.code ? chosen : *driver::LanguageOfCode(drawn, chosen.source);
}

// The selection as given, in the program's record form; not yet checked against the score.
std::optional<driver::Selection> SelectionOf(const Options& o) {
    if (o.Has("--no-selection")) return std::nullopt;
    driver::Selection s;
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

// The notation program only ever passes a selection inside the score: whole staves of the chosen
// staff system, from top to bottom, and measures that exist.
void CheckSelection(const driver::Selection& s, const Options& o) {
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

// Every output path is checked before the command runs, so that a run is not wasted on it.
void CheckOutputs(const Options& o) {
    for (const char* option : {"--output", "--svg"}) {
        if (!o.Has(option)) continue;
        if (std::string why = standin::files::WhyNotWritable(o.Value(option)); !why.empty())
            throw UsageError{std::string(option) + " " + why};
    }
}

// Plays the user: the scripted answer, else a line of the input, from a terminal or a pipe
// alike, asked on `out`; at the end of the input the question stays unanswered.
driver::BoxAnswerer Answerer(const std::optional<std::string>& answer, std::ostream& out) {
    if (answer) return driver::ScriptedAnswers({*answer});
    return driver::AnswersFromInput(std::cin, out, !IS_TERMINAL());
}

// "18 "Violin I"": a staff as the reader knows it.
std::string StaffText(int16_t staff) {
    const std::string name = standin::Host::Instance().StaffName(staff);
    return std::to_string(staff) + (name.empty() ? "" : " " + driver::Quoted(name));
}

std::string Describe(const std::optional<driver::Selection>& s, int16_t top, int16_t bottom) {
    if (!s) return "none";
    const bool one = s->startSlot == s->endSlot;
    std::string text =
        one ? "staff " + StaffText(top) : "staves " + StaffText(top) + " to " + StaffText(bottom);
    text += " (slot" + std::string(one ? " " : "s ") + std::to_string(s->startSlot) +
            (one ? "" : " to " + std::to_string(s->endSlot)) + " of staff system " +
            std::to_string(s->system) + "), measure" +
            (s->startMeasure == s->endMeasure
                 ? " " + std::to_string(s->startMeasure)
                 : "s " + std::to_string(s->startMeasure) + " to " + std::to_string(s->endMeasure));
    if (s->startPos != 0 || s->endPos != 0x7FFFFFFF) {
        text += " (from position " + std::to_string(s->startPos) + " to " +
                std::to_string(s->endPos) + ")";
    }
    return text;
}

driver::Picture PictureOf(const std::string& title,
                          const std::optional<driver::MarkedSelection>& selection) {
    const standin::Host& host = standin::Host::Instance();
    driver::Picture p;
    p.title = title;
    for (int16_t staff : host.StaffSystem(0)) p.staves.emplace_back(staff, host.StaffName(staff));
    p.measureCount = host.MeasureCount();
    p.groups = host.Groups();
    p.selection = selection;
    return p;
}

// The selection as the picture marks it, with the staves its staff system hides, described in
// the pictures' words.
driver::MarkedSelection Marked(const driver::Selection& s, int16_t top, int16_t bottom,
                               const driver::picture::labels::Labels& words) {
    const standin::Host& host = standin::Host::Instance();
    const auto staff = [&](int16_t number) {
        return driver::picture::labels::Staff{number, host.StaffName(number)};
    };
    driver::MarkedSelection marked{top, bottom, s.startMeasure, s.endMeasure, {}, {}};
    driver::picture::labels::Selected described{staff(top), staff(bottom),  s.system,
                                                {},         s.startMeasure, s.endMeasure};
    const std::vector<int16_t> list = host.StaffSystem(s.system);
    const std::unordered_set<int16_t> shown(list.begin(), list.end());
    for (int16_t number : host.StaffSystem(0)) {
        if (shown.count(number) != 0) continue;
        marked.hidden.push_back(number);
        described.hidden.push_back(staff(number));
    }
    marked.description = words.selection(described);
    return marked;
}

int RunScenarios(const Options& o, const std::string& plugin) {
    // Every file is read and checked before any runs: a bad file is a usage error, not a failed
    // scenario.
    std::vector<driver::Scenario> scenarios(o.scenarios.size());
    std::string error;
    for (size_t i = 0; i < o.scenarios.size(); ++i) {
        if (!driver::LoadScenario(o.scenarios[i], scenarios[i], &error)) return Refuse(error);
    }
    size_t failed = 0;
    for (const driver::Scenario& scenario : scenarios) {
        const driver::ScenarioOutcome outcome = driver::RunScenario(scenario, plugin);
        if (!outcome.error.empty()) return Refuse(outcome.error);
        std::cout << (outcome.passed ? "PASS " : "FAIL ") << driver::Printable(outcome.name)
                  << "\n";
        if (!outcome.passed) {
            ++failed;
            for (const std::string& f : outcome.failures)
                std::cout << "  - " << driver::PrintableLines(f) << "\n";
            std::cout << outcome.transcript;
        }
    }
    std::cout << (scenarios.size() - failed) << " passed, " << failed << " failed\n";
    return failed == 0 ? kExitPassed : kExitScenarioFailed;
}

uint32_t HostVersion(const Options& o) {
    if (!o.Has("--host-version")) return 0x19000000;
    const std::string& text = o.Value("--host-version");
    if (const auto v = driver::ParseVersion(text)) return *v;
    throw UsageError{"--host-version: '" + text +
                     "' is not a version (decimal, or 0x and hexadecimal digits, up to "
                     "0xFFFFFFFF)"};
}

int RunCommand(const Options& o, const std::string& plugin) {
    const std::optional<driver::Selection> selection = SelectionOf(o);
    const uint32_t hostVersion = HostVersion(o);
    standin::Host& host = standin::Host::Instance();
    host.Reset();
    host.SetVersion(hostVersion);
    std::string error;
    if (!host.LoadDocumentFile(o.document, &error)) return Refuse(error);
    const driver::Language language = driver::ChosenLanguage();
    const driver::Language drawnIn = PicturesLanguage(o, language);
    const driver::picture::labels::Labels& words = driver::picture::labels::In(drawnIn.code);
    std::optional<driver::MarkedSelection> marked;
    int16_t top = 0, bottom = 0;
    if (selection) {
        CheckSelection(*selection, o);
        const std::vector<int16_t> system = host.StaffSystem(selection->system);
        top = system[static_cast<size_t>(selection->startSlot - 1)];
        bottom = system[static_cast<size_t>(selection->endSlot - 1)];
        marked = Marked(*selection, top, bottom, words);
    }
    CheckOutputs(o);

    // A document or picture on standard output is not mixed with the report.
    const bool toStandardOutput =
        (o.Has("--output") && standin::files::IsStandardOutput(o.Value("--output"))) ||
        (o.Has("--svg") && standin::files::IsStandardOutput(o.Value("--svg")));
    std::ostream& out = toStandardOutput ? std::cerr : std::cout;
    driver::PrintBuffer& printed = toStandardOutput ? stderrBuffer : stdoutBuffer;

    driver::Session session;
    if (!session.Start(plugin, hostVersion, &error)) return Refuse(error);
    const driver::Enumeration& e = session.GetEnumeration();
    const bool quiet = o.Has("--quiet");
    if (!quiet) {
        out << "Plug-in: " << driver::Printable(support::Utf8(e.title)) << " - "
            << driver::Printable(support::Utf8(e.description)) << "\n  menu entry "
            << driver::Quoted(support::Utf8(e.shortName)) << ", host version 0x" << std::hex
            << hostVersion << std::dec << ", language " << language.name << " ("
            << driver::Printable(language.source) << ")";
        // The pictures' language, where there are pictures or it is not the plug-in's.
        if (o.Has("--svg") || drawnIn.code != language.code) {
            out << ", pictures in " << drawnIn.name
                << (o.Has("--language") ? " (" + driver::Printable(drawnIn.source) + ")" : "");
        }
        out << "\n";
        out << "Document: " << driver::Printable(o.document) << " (" << host.StaffSystem(0).size()
            << " staves, " << host.MeasureCount() << " measures)\n";
    }
    out << "Selection: " << Describe(selection, top, bottom) << "\n";
    if (!quiet) out << "\nGroups before:\n" << driver::GroupTable(host.Groups());
    const driver::Picture before = PictureOf(std::string(words.before), marked);

    std::optional<std::string> answer;
    if (o.Has("--yes") || o.Has("--no")) answer = o.Has("--yes") ? "yes" : "no";
    const driver::CommandRun run = session.Invoke(selection, Answerer(answer, out));
    session.Stop();
    if (!quiet || !run.boxes.empty()) out << "\n";
    for (const driver::ShownBox& box : run.boxes) {
        // A question asked above is not shown twice: only the button it was answered with.
        if (!answer && (box.style & 0xF) == driver::kStyleYesNo) {
            out << "+-- " << driver::Printable(support::Utf8(box.caption))
                << " --  pressed: " << driver::Pressed(box) << "\n\n";
        } else {
            out << driver::Render(box) << "\n";
        }
    }
    const bool split = run.result == 1;
    out << "The command returned " << run.result
        << (split ? " (groups were split)" : " (nothing was split)") << ".\n";
    if (!quiet) out << "\nGroups after:\n" << driver::GroupTable(host.Groups());

    // All outputs, or none; each made whole before any is written.
    std::vector<std::pair<std::string, std::string>> outputs;
    std::vector<std::string> done;
    if (o.Has("--output")) {
        outputs.emplace_back(o.Value("--output"), host.SaveDocumentJson());
        done.push_back("Written: " + driver::Printable(o.Value("--output")));
    }
    if (o.Has("--svg")) {
        outputs.emplace_back(
            o.Value("--svg"),
            driver::GroupsSvg({before, PictureOf(std::string(words.after), marked)}, words.code));
        done.push_back("Drawn: " + driver::Printable(o.Value("--svg")));
    }
    if (outputs.empty()) return split ? kExitSplit : kExitUnchanged;
    // A report that cannot be printed fails the run before any output is written; its last lines
    // are printed, and must arrive, before the files that they name replace their targets.
    if (std::string why = printed.WriteError(); !why.empty())
        return Refuse(why + "; nothing was written");
    const auto reportEnds = [&](std::string* why) {
        if (!quiet) {
            out << "\n";
            for (const std::string& line : done) out << line << "\n";
        }
        *why = printed.WriteError();
        return why->empty();
    };
    if (!standin::files::WriteAll(outputs, &error, reportEnds)) return Refuse(error);
    return split ? kExitSplit : kExitUnchanged;
}

int Run(int argc, char** argv) {
    try {
        const Options options = ParseArguments(argc, argv);
        if (options.Has("--help")) {
            std::string usage = kUsage;
            usage.replace(usage.find("@CODES@"), 7, driver::LanguageCodes());
            std::cout << usage;
            return Finished(EXIT_SUCCESS);
        }
        if (options.Has("--version")) {
            std::cout << "brisane (Vorlan Brisane) " << BRISANE_VERSION << "\n";
            return Finished(EXIT_SUCCESS);
        }
        const std::string plugin = options.Has("--plugin")
                                       ? options.Value("--plugin")
                                       : (ProgramDir(argv[0]) / "vorlanbrisane64.fxt").string();
        return Finished(options.Has("--scenario") ? RunScenarios(options, plugin)
                                                  : RunCommand(options, plugin));
    } catch (const UsageError& e) {
        return Refuse(e.message);
    } catch (const std::exception& e) {
        return Refuse(std::string("unexpected failure: ") + e.what());
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The streams are given their own buffers back before these go, at exit.
    std::streambuf* const out = std::cout.rdbuf(&stdoutBuffer);
    std::streambuf* const err = std::cerr.rdbuf(&stderrBuffer);
    const int status = Run(argc, argv);
    std::cout.rdbuf(out);
    std::cerr.rdbuf(err);
    return status;
}
