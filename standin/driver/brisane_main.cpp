// brisane: runs the Vorlan Brisane plug-in on a score document the way the notation program
// does, playing the program (the stand-in host) and, where asked, the user.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#define IS_TERMINAL() (_isatty(0) != 0)
#else
#include <unistd.h>
#define IS_TERMINAL() (isatty(0) != 0)
#endif

#include "report.h"
#include "scenario.h"
#include "session.h"
#include "standin/host.h"

namespace {

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2;

const char kUsage[] =
    "usage: brisane DOCUMENT.json --staves TOP-BOTTOM --measures FIRST-LAST [options]\n"
    "       brisane --scenario FILE... [--plugin PATH]\n"
    "\n"
    "Runs the plug-in's command on the document, as the notation program would.\n"
    "\n"
    "selection:\n"
    "  --staves A-B          top and bottom slot of the selection, counted from 1\n"
    "  --system N            staff system the slots are counted in (default 0: the score)\n"
    "  --measures M-N        first and last selected measure\n"
    "  --start-pos P         position in the first measure where the selection starts (default 0)\n"
    "  --end-pos P           position in the last measure where it ends (default 2147483647,\n"
    "                        through the end of the measure)\n"
    "  --no-selection        run the command without any selection\n"
    "answers:\n"
    "  --yes, --no           answer the plug-in's question; without either, it is asked here\n"
    "host and output:\n"
    "  --host-version V      version the program reports to the plug-in (default 0x19000000)\n"
    "  --output FILE         write the changed document (JSON)\n"
    "  --svg FILE            draw the groups before and after\n"
    "  --plugin PATH         the plug-in (default: vorlanbrisane64.fxt beside this program)\n"
    "  --scenario FILE...    run test scenarios instead, report each, exit 1 if any fails\n";

struct Options {
    std::string document;
    std::optional<driver::Selection> selection;
    bool noSelection = false;
    std::optional<std::string> answer;
    uint32_t hostVersion = 0x19000000;
    std::string output, svg, plugin;
    std::vector<std::string> scenarios;
};

struct UsageError {
    std::string message;
};

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
long long ParseInt(const std::string& text, const std::string& option, long long low,
                   long long high) {
    size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(text, &used, 0);
    } catch (...) {
        used = 0;
    }
    if (used != text.size() || text.empty())
        throw UsageError{option + ": '" + text + "' is not a number"};
    if (value < low || value > high) {
        throw UsageError{option + ": " + text + " is out of range (" + std::to_string(low) +
                         " to " + std::to_string(high) + ")"};
    }
    return value;
}

std::pair<int16_t, int16_t> ParseRange(const std::string& text, const std::string& option) {
    const size_t dash = text.find('-', 1);
    const std::string first = dash == std::string::npos ? text : text.substr(0, dash);
    const std::string last = dash == std::string::npos ? text : text.substr(dash + 1);
    return {static_cast<int16_t>(ParseInt(first, option, -32768, 32767)),
            static_cast<int16_t>(ParseInt(last, option, -32768, 32767))};
}

Options ParseArguments(int argc, char** argv) {
    Options o;
    driver::Selection s;
    bool haveStaves = false, haveMeasures = false;
    auto value = [&](int& i) -> std::string {
        if (i + 1 >= argc) throw UsageError{std::string(argv[i]) + " needs a value"};
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--staves") {
            std::tie(s.startSlot, s.endSlot) = ParseRange(value(i), arg);
            haveStaves = true;
        } else if (arg == "--measures") {
            std::tie(s.startMeasure, s.endMeasure) = ParseRange(value(i), arg);
            haveMeasures = true;
        } else if (arg == "--system") {
            s.system = static_cast<int16_t>(ParseInt(value(i), arg, -32768, 32767));
        } else if (arg == "--start-pos") {
            s.startPos = static_cast<int32_t>(ParseInt(value(i), arg, INT32_MIN, INT32_MAX));
        } else if (arg == "--end-pos") {
            s.endPos = static_cast<int32_t>(ParseInt(value(i), arg, INT32_MIN, INT32_MAX));
        } else if (arg == "--no-selection") {
            o.noSelection = true;
        } else if (arg == "--yes" || arg == "--no") {
            if (o.answer && *o.answer != arg.substr(2))
                throw UsageError{"--yes and --no exclude each other"};
            o.answer = arg.substr(2);
        } else if (arg == "--host-version") {
            o.hostVersion = static_cast<uint32_t>(ParseInt(value(i), arg, 0, 0xFFFFFFFFLL));
        } else if (arg == "--output") {
            o.output = value(i);
        } else if (arg == "--svg") {
            o.svg = value(i);
        } else if (arg == "--plugin") {
            o.plugin = value(i);
        } else if (arg == "--scenario") {
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0)
                o.scenarios.push_back(argv[++i]);
            if (o.scenarios.empty()) throw UsageError{"--scenario needs at least one file"};
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            std::exit(kExitOk);
        } else if (!arg.empty() && arg[0] == '-') {
            throw UsageError{"unknown option " + arg};
        } else if (o.document.empty()) {
            o.document = arg;
        } else {
            throw UsageError{"more than one document given: " + arg};
        }
    }
    if (!o.scenarios.empty()) return o;
    if (o.document.empty()) throw UsageError{"no document given"};
    if (o.noSelection) {
        if (haveStaves || haveMeasures)
            throw UsageError{"--no-selection excludes --staves and --measures"};
        return o;
    }
    if (!haveStaves) throw UsageError{"no staves selected (--staves TOP-BOTTOM)"};
    if (!haveMeasures) throw UsageError{"no measures selected (--measures FIRST-LAST)"};
    o.selection = s;
    return o;
}

// Plays the user: scripted answer, else the person at the terminal, else no answer.
driver::BoxAnswerer Answerer(const std::optional<std::string>& answer) {
    if (answer) return driver::ScriptedAnswers({*answer});
    return [](const driver::ShownBox& box) -> int32_t {
        if ((box.style & 0xF) != driver::kStyleYesNo) return driver::kIdOk;
        if (!IS_TERMINAL()) return 0;
        driver::ShownBox shown = box;
        std::string screen = driver::Render(shown);
        std::cout << screen.substr(0, screen.rfind("+--")) << "Yes or No? [y/n] " << std::flush;
        std::string line;
        while (std::getline(std::cin, line)) {
            if (line == "y" || line == "Y" || line == "yes") return driver::kIdYes;
            if (line == "n" || line == "N" || line == "no") return driver::kIdNo;
            std::cout << "Please answer y or n: " << std::flush;
        }
        return 0;
    };
}

std::string Describe(const std::optional<driver::Selection>& s) {
    if (!s) return "none";
    std::string text = "staff system " + std::to_string(s->system) + ", slots " +
                       std::to_string(s->startSlot) + " to " + std::to_string(s->endSlot) +
                       ", measures " + std::to_string(s->startMeasure) + " to " +
                       std::to_string(s->endMeasure);
    if (s->startPos != 0 || s->endPos != 0x7FFFFFFF) {
        text += " (from position " + std::to_string(s->startPos) + " to " +
                std::to_string(s->endPos) + ")";
    }
    return text;
}

driver::Picture PictureOf(const std::string& title) {
    const standin::Host& host = standin::Host::Instance();
    driver::Picture p;
    p.title = title;
    for (int16_t staff : host.StaffSystem(0)) p.staves.emplace_back(staff, host.StaffName(staff));
    p.measureCount = host.MeasureCount();
    p.groups = host.Groups();
    return p;
}

int RunScenarios(const Options& o) {
    int failed = 0;
    for (const std::string& file : o.scenarios) {
        const driver::ScenarioOutcome outcome = driver::RunScenarioFile(file, o.plugin);
        std::cout << (outcome.passed ? "PASS " : "FAIL ") << outcome.name << "\n";
        if (!outcome.passed) {
            ++failed;
            for (const std::string& f : outcome.failures) std::cout << "  - " << f << "\n";
            std::cout << outcome.transcript;
        }
    }
    const size_t total = o.scenarios.size();
    std::cout << (total - static_cast<size_t>(failed)) << " passed, " << failed << " failed\n";
    return failed == 0 ? kExitOk : kExitFailed;
}

int RunCommand(const Options& o) {
    standin::Host& host = standin::Host::Instance();
    host.Reset();
    host.SetVersion(o.hostVersion);
    std::string error;
    if (!host.LoadDocumentFile(o.document, &error)) {
        std::cerr << "brisane: " << error << "\n";
        return kExitUsage;
    }
    driver::Session session;
    if (!session.Start(o.plugin, o.hostVersion, &error)) {
        std::cerr << "brisane: " << error << "\n";
        return kExitUsage;
    }
    const driver::Enumeration& e = session.GetEnumeration();
    std::cout << "Plug-in: " << standin::Utf8(e.title) << " - " << standin::Utf8(e.description)
              << "\n  menu entry \"" << standin::Utf8(e.shortName) << "\", host version 0x"
              << std::hex << o.hostVersion << std::dec << "\n";
    std::cout << "Document: " << o.document << " (" << host.StaffSystem(0).size() << " staves, "
              << host.MeasureCount() << " measures)\n";
    std::cout << "Selection: " << Describe(o.selection) << "\n\nGroups before:\n"
              << driver::GroupTable(host.Groups());
    const driver::Picture before = PictureOf("Before");

    const driver::CommandRun run = session.Invoke(o.selection, Answerer(o.answer));
    session.Stop();
    std::cout << "\n";
    for (const driver::ShownBox& box : run.boxes) std::cout << driver::Render(box) << "\n";
    std::cout << "The command returned " << run.result
              << (run.result == 1 ? " (groups were split)" : " (nothing was split)")
              << ".\n\nGroups after:\n"
              << driver::GroupTable(host.Groups());

    if (!o.output.empty()) {
        if (!host.SaveDocumentFile(o.output, &error)) {
            std::cerr << "brisane: " << error << "\n";
            return kExitUsage;
        }
        std::cout << "\nWritten: " << o.output << "\n";
    }
    if (!o.svg.empty()) {
        std::ofstream out(o.svg, std::ios::binary);
        out << driver::GroupsSvg({before, PictureOf("After")});
        if (!out) {
            std::cerr << "brisane: " << o.svg << ": cannot write the picture\n";
            return kExitUsage;
        }
        std::cout << "Drawn: " << o.svg << "\n";
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = ParseArguments(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "brisane: " << e.message << "\n\n" << kUsage;
        return kExitUsage;
    }
    if (options.plugin.empty())
        options.plugin = (ProgramDir(argv[0]) / "vorlanbrisane64.fxt").string();
    try {
        return options.scenarios.empty() ? RunCommand(options) : RunScenarios(options);
    } catch (const std::exception& e) {
        std::cerr << "brisane: " << e.what() << "\n";
        return kExitUsage;
    }
}
