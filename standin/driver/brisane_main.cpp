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

#include "brisane_options.h"
#include "language.h"
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

using namespace driver::brisane;

// The grep and diff habit: 0 groups were split, 1 the command ran and split nothing, 2 bad
// input or a failure. With --scenario, 1 means that a scenario failed.
constexpr int kExitSplit = 0, kExitUnchanged = 1, kExitUsage = 2;
constexpr int kExitPassed = 0, kExitScenarioFailed = 1;

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
    const bool toStandardOutput = WritesStandardOutput(o);
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
            std::cout << Usage();
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
