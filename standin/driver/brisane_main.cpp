// brisane: runs the Vorlan Brisane plug-in on a score document the way the notation program
// does, playing the program (the stand-in host) and, where asked, the user.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "brisane_command.h"
#include "brisane_options.h"
#include "print_buffer.h"
#include "report.h"
#include "scenario.h"

#ifndef BRISANE_VERSION
#error "BRISANE_VERSION must name the project's version"
#endif

namespace {

using namespace driver::brisane;

// With --scenario, 1 means that a scenario failed.
constexpr int kExitPassed = 0, kExitScenarioFailed = 1;

driver::PrintBuffer stdoutBuffer(stdout), stderrBuffer(stderr);

// The exit status once standard output is flushed: output that is lost makes a run a failure.
int Finished(int status) {
    if (status == kExitUsage) return status;
    const std::string why = stdoutBuffer.WriteError();
    return why.empty() ? status : Refuse(why);
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
        if (options.Has("--scenario")) return Finished(RunScenarios(options, plugin));
        // A document or picture on standard output is not mixed with the report.
        const Report report = WritesStandardOutput(options) ? Report{std::cerr, stderrBuffer}
                                                            : Report{std::cout, stdoutBuffer};
        return Finished(RunCommand(options, plugin, report));
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
