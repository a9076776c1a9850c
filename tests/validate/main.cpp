// vb_validate (FINALE.EXE on Windows): validates the built plug-in module through its seven
// exports against a hostile host. Each suite runs in worker processes of this same program, so
// that a crash or a hang of the plug-in is reported as a failed case and the run goes on.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <atomic>
#include <mutex>
#include <thread>
#endif

#include "child_process.h"
#include "protocol.h"
#include "suites.h"

namespace validate {
namespace {

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitWorkerError = 3;

const char kUsage[] =
    "usage: vb_validate --plugin FILE [options] [SUITE...]\n"
    "\n"
    "Drives the built plug-in through its exports against a hostile stand-in host. Suites:\n"
    "  order      calling order: exports before start-up, after terminate, every index,\n"
    "             1000 loads in one process\n"
    "  faults     a host fault at every call of every scenario, and wrong-form answers\n"
    "  model      random scores against a model of the command\n"
    "  replay     the fuzz inputs of a folder\n"
    "  scenarios  the scenario files against their expectations\n"
    "Default: order faults model replay.\n"
    "\n"
    "options:\n"
    "  --plugin FILE      the plug-in module\n"
    "  --scenarios DIR    scenario files (default tests/scenarios)\n"
    "  --corpus DIR       fuzz inputs for replay (default tests/validate/corpus)\n"
    "  --findings DIR     where failing cases are written as scenario files\n"
    "                     (default build/validate-findings)\n"
    "  --seed N           seed of the random scores (default: from the clock; printed)\n"
    "  --cases N          random scores (default 10000, --full 100000)\n"
    "  --full             the long form: more wrong answers, more random scores\n"
    "  --in-process       run the suites in this process (for valgrind)\n"
    "  --timeout S        seconds a case may run without output (default 120)\n"
    "  --model-case SEED INDEX   write one random score as a scenario file\n"
    "  --fuzz-case FILE   write a fuzz input as a scenario file\n"
    "  --write-seeds DIR N   write N seed inputs for the fuzzer\n";

struct Options {
    SuiteOptions suite;
    std::string scenarios = "tests/scenarios", corpus = "tests/validate/corpus";
    std::optional<uint64_t> seed;
    size_t cases = 0;
    bool inProcess = false;
    int timeout = 120;
    std::vector<std::string> suites;
    // A worker's job and the case it starts at.
    std::vector<std::string> worker;
    size_t from = 0;
    // Cases written as scenario files, and seed inputs written.
    std::optional<std::pair<uint64_t, size_t>> modelCase;
    std::string fuzzCase, seeds;
    size_t seedCount = 0;
};

struct UsageError {
    std::string message;
};

uint64_t Number(const std::string& text, const std::string& option) {
    size_t used = 0;
    uint64_t value = 0;
    try {
        value = std::stoull(text, &used, 10);
    } catch (...) {
        used = 0;
    }
    if (text.empty() || used != text.size() || text[0] == '-') {
        throw UsageError{option + ": '" + text + "' is not a number"};
    }
    return value;
}

// A unit of work for one worker: the suite's own arguments.
struct Job {
    std::string suite;
    std::vector<std::string> args;
};

struct Tally {
    std::map<std::string, size_t> cases;  // by category
    size_t passed = 0, failed = 0;
    std::vector<std::string> findings;

    void Add(const Tally& other) {
        for (const auto& [category, n] : other.cases) cases[category] += n;
        passed += other.passed;
        failed += other.failed;
        findings.insert(findings.end(), other.findings.begin(), other.findings.end());
    }
};

std::vector<std::string> Tail(const std::vector<std::string>& lines, size_t n) {
    return {lines.end() - static_cast<std::ptrdiff_t>(std::min(n, lines.size())), lines.end()};
}

void Report(const std::string& label, const std::vector<std::string>& failures,
            const std::vector<std::string>& output) {
    std::string text = "FAIL " + label + "\n";
    for (const std::string& f : failures) text += "  - " + f + "\n";
    for (const std::string& line : Tail(output, 40)) text += "    | " + line + "\n";
    std::cout << text << std::flush;  // one write, whole, whichever job reports
}

std::vector<std::string> WorkerCommand(const Options& o, const Job& job, size_t from) {
    std::vector<std::string> args = {SelfPath(), "--worker"};
    args.insert(args.end(), job.args.begin(), job.args.end());
    args.insert(args.end(), {"--from", std::to_string(from), "--plugin", o.suite.plugin,
                             "--findings", o.suite.findings});
    if (o.suite.full) args.push_back("--full");
    return args;
}

// A case that crashed its worker, written as a scenario file by another process (the case is
// only built, not run); true with its path when the job's cases can be written so.
bool WriteCrashedCase(const Options& o, const Job& job, const ProtocolLine& crashed,
                      std::string* path) {
    std::vector<std::string> args = {SelfPath(), "--findings", o.suite.findings};
    if (job.suite == "model") {
        const size_t index = std::stoull(job.args[2]) + crashed.index;
        args.insert(args.end(), {"--model-case", job.args[1], std::to_string(index)});
    } else if (job.suite == "replay") {
        const std::string name = crashed.text.substr(crashed.text.rfind(' ') + 1);
        args.insert(args.end(),
                    {"--fuzz-case", (std::filesystem::path(job.args[1]) / name).string()});
    } else {
        return false;
    }
    ChildProcess writer;
    std::string error, how;
    return writer.Start(args, &error) && writer.ReadLine(*path, o.timeout) && writer.Finish(&how);
}

// Runs the job in workers, restarting behind a case that crashed or hung.
void RunJob(const Options& o, const Job& job, Tally& tally) {
    size_t from = 0;
    for (;;) {
        ChildProcess child;
        std::string error;
        if (!child.Start(WorkerCommand(o, job, from), &error)) {
            Report(job.suite + " " + job.args.back(), {error}, {});
            ++tally.failed;
            return;
        }
        std::optional<ProtocolLine> current;
        std::vector<std::string> failures, output, jobOutput;
        std::string line;
        while (child.ReadLine(line, o.timeout)) {
            ProtocolLine p = ParseLine(line);
            switch (p.kind) {
                case ProtocolLine::Kind::Begin:
                    current = p;
                    failures.clear();
                    output.clear();
                    break;
                case ProtocolLine::Kind::Fail:
                    failures.push_back(p.text);
                    break;
                case ProtocolLine::Kind::Finding:
                    tally.findings.push_back(p.text);
                    break;
                case ProtocolLine::Kind::End:
                    if (!current) break;
                    ++tally.cases[current->category];
                    // The plug-in prints nothing; what came is a sanitizer's or the runtime's.
                    if (!output.empty()) failures.push_back("output during the case (below)");
                    if (failures.empty()) {
                        ++tally.passed;
                    } else {
                        ++tally.failed;
                        Report(current->text, failures, output);
                    }
                    current.reset();
                    break;
                case ProtocolLine::Kind::Total:
                    break;
                case ProtocolLine::Kind::Output:
                    (current ? output : jobOutput).push_back(p.text);
                    break;
            }
        }
        std::string how;
        const bool exitedWell = child.Finish(&how);
        if (current) {
            // The case never ended: it took the worker down.
            ++tally.cases[current->category];
            ++tally.failed;
            failures.push_back("the worker died in this case: " + how);
            Report(current->text, failures, output);
            std::string path;
            if (WriteCrashedCase(o, job, *current, &path)) tally.findings.push_back(path);
            from = current->index + 1;
            continue;
        }
        if (!exitedWell) {
            ++tally.failed;
            Report(job.suite + " worker (" + job.args.back() + ")", {"ended with " + how},
                   jobOutput);
        }
        return;
    }
}

// Runs the jobs, two workers at a time where the platform's threads allow.
Tally RunJobs(const Options& o, const std::vector<Job>& jobs) {
    Tally total;
#if defined(_WIN32)
    for (const Job& job : jobs) RunJob(o, job, total);
#else
    std::atomic<size_t> next{0};
    std::mutex lock;
    auto work = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            Tally tally;
            RunJob(o, jobs[i], tally);
            const std::lock_guard<std::mutex> hold(lock);
            total.Add(tally);
        }
    };
    std::vector<std::thread> workers;
    for (unsigned w = 0; w < std::clamp(std::thread::hardware_concurrency(), 1u, 2u); ++w) {
        workers.emplace_back(work);
    }
    for (std::thread& worker : workers) worker.join();
#endif
    return total;
}

std::vector<Job> Jobs(const Options& o, uint64_t seed) {
    std::vector<Job> jobs;
    for (const std::string& suite : o.suites) {
        if (suite == "order") {
            for (const std::string& check : CallingOrderChecks())
                jobs.push_back({suite, {suite, check}});
        } else if (suite == "faults") {
            for (const std::string& file : driver::ScenarioFiles(o.scenarios)) {
                jobs.push_back({suite, {suite, file}});
            }
        } else if (suite == "model") {
            constexpr size_t kChunk = 2500;
            for (size_t first = 0; first < o.cases; first += kChunk) {
                jobs.push_back({suite,
                                {suite, std::to_string(seed), std::to_string(first),
                                 std::to_string(std::min(kChunk, o.cases - first))}});
            }
        } else if (suite == "replay") {
            jobs.push_back({suite, {suite, o.corpus}});
        } else if (suite == "scenarios") {
            jobs.push_back({suite, {suite, o.scenarios}});
        }
    }
    return jobs;
}

// The worker's side: one job, its cases reported on stdout. The status tells of failed cases
// only when nobody reads the report (in-process runs).
int RunWorker(const Options& o, const std::vector<std::string>& job, size_t from) {
    CaseReporter report(from);
    const std::string& suite = job.at(0);
    if (suite == "order") {
        RunCallingOrderCheck(o.suite, job.at(1), report);
    } else if (suite == "faults") {
        RunFaultSuite(o.suite, job.at(1), report);
    } else if (suite == "model") {
        RunModelSuite(o.suite, std::stoull(job.at(1)), std::stoull(job.at(2)),
                      std::stoull(job.at(3)), report);
    } else if (suite == "replay") {
        RunReplaySuite(o.suite, job.at(1), report);
    } else if (suite == "scenarios") {
        RunScenarioSuite(o.suite, job.at(1), report);
    } else {
        std::cerr << "vb_validate: unknown worker suite " << suite << "\n";
        return kExitUsage;
    }
    return o.inProcess && report.FailedCases() != 0 ? kExitFailed : kExitOk;
}

void PrintFigures(const Options& o, uint64_t seed, const Tally& t) {
    auto count = [&](const char* category) {
        const auto it = t.cases.find(category);
        return it == t.cases.end() ? size_t{0} : it->second;
    };
    std::cout << "\nplug-in            " << o.suite.plugin << "\n";
    if (count("order") != 0) std::cout << "calling order      " << count("order") << " checks\n";
    if (count("fail") + count("wrong") != 0) {
        std::cout << "host faults        " << count("fail") + count("wrong")
                  << " injected: " << count("fail") << " failed calls, " << count("wrong")
                  << " wrong-form answers\n";
    }
    if (count("model") != 0) {
        std::cout << "random scores      " << count("model") << " cases, seed " << seed << "\n";
    }
    if (count("replay") != 0)
        std::cout << "fuzz inputs        " << count("replay") << " replayed\n";
    if (count("scenario") != 0) {
        std::cout << "scenarios          " << count("scenario") << " run\n";
    }
    std::cout << "checks             " << t.passed + t.failed << "\n";
    std::cout << "findings           " << t.findings.size();
    if (!t.findings.empty()) std::cout << " (" << o.suite.findings << ")";
    std::cout << "\n";
    for (const std::string& f : t.findings) std::cout << "  " << f << "\n";
    std::cout << t.passed << " passed, " << t.failed << " failed" << std::endl;
}

Options Parse(int argc, char** argv) {
    Options o;
    o.suite.findings = "build/validate-findings";
    auto value = [&](int& i) -> std::string {
        if (i + 1 >= argc) throw UsageError{std::string(argv[i]) + " needs a value"};
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--plugin") {
            o.suite.plugin = value(i);
        } else if (arg == "--scenarios") {
            o.scenarios = value(i);
        } else if (arg == "--corpus") {
            o.corpus = value(i);
        } else if (arg == "--findings") {
            o.suite.findings = value(i);
        } else if (arg == "--seed") {
            o.seed = Number(value(i), arg);
        } else if (arg == "--cases") {
            o.cases = Number(value(i), arg);
        } else if (arg == "--full") {
            o.suite.full = true;
        } else if (arg == "--in-process") {
            o.inProcess = true;
        } else if (arg == "--timeout") {
            o.timeout = static_cast<int>(Number(value(i), arg));
        } else if (arg == "--from") {
            o.from = Number(value(i), arg);
        } else if (arg == "--worker") {
            while (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0) {
                o.worker.push_back(argv[++i]);
            }
            if (o.worker.empty()) throw UsageError{"--worker needs a suite"};
        } else if (arg == "--model-case") {
            const uint64_t seed = Number(value(i), arg);
            o.modelCase = std::make_pair(seed, static_cast<size_t>(Number(value(i), arg)));
        } else if (arg == "--fuzz-case") {
            o.fuzzCase = value(i);
        } else if (arg == "--write-seeds") {
            o.seeds = value(i);
            o.seedCount = Number(value(i), arg);
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            std::exit(kExitOk);
        } else if (arg == "order" || arg == "faults" || arg == "model" || arg == "replay" ||
                   arg == "scenarios") {
            o.suites.push_back(arg);
        } else {
            throw UsageError{"unknown argument " + arg};
        }
    }
    if (o.suites.empty()) o.suites = {"order", "faults", "model", "replay"};
    if (o.cases == 0) o.cases = o.suite.full ? 100000 : 10000;
    const bool writesOnly = o.modelCase || !o.fuzzCase.empty() || !o.seeds.empty();
    if (o.suite.plugin.empty() && !writesOnly) throw UsageError{"no plug-in given (--plugin FILE)"};
    return o;
}

int Main(int argc, char** argv) {
    Options o;
    try {
        o = Parse(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "vb_validate: " << e.message << "\n\n" << kUsage;
        return kExitUsage;
    }
    try {
        if (o.modelCase) {
            std::cout << WriteModelCase(o.suite, o.modelCase->first, o.modelCase->second)
                      << std::endl;
            return kExitOk;
        }
        if (!o.fuzzCase.empty()) {
            std::cout << WriteFuzzCase(o.suite, o.fuzzCase) << std::endl;
            return kExitOk;
        }
        if (!o.seeds.empty()) {
            WriteSeedInputs(o.seeds, o.seedCount);
            return kExitOk;
        }
        if (!o.worker.empty()) return RunWorker(o, o.worker, o.from);
    } catch (const std::exception& e) {
        std::cerr << "vb_validate: " << e.what() << "\n";
        return kExitWorkerError;
    }
    const uint64_t seed = o.seed.value_or(
        static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) %
        1000000007u);
    std::cout << "vb_validate: suites";
    for (const std::string& s : o.suites) std::cout << " " << s;
    std::cout << "; random scores seed " << seed << std::endl;
    const std::vector<Job> jobs = Jobs(o, seed);
    if (o.inProcess) {
        int status = kExitOk;
        for (const Job& job : jobs) {
            if (RunWorker(o, job.args, 0) != kExitOk) status = kExitFailed;
        }
        return status;
    }
    const Tally tally = RunJobs(o, jobs);
    PrintFigures(o, seed, tally);
    return tally.failed == 0 ? kExitOk : kExitFailed;
}

}  // namespace
}  // namespace validate

int main(int argc, char** argv) {
    return validate::Main(argc, argv);
}
