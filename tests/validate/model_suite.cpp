// Random scores against the model: each case is a seeded random score and selection, run
// through the plug-in and compared with what the model says; a difference is shrunk to a small
// score and written as a scenario file.
#include <functional>

#include "cases.h"
#include "model.h"
#include "standin/json_reader.h"
#include "suites.h"

namespace validate {
namespace {

driver::Scenario ScenarioOf(const Score& score, const std::string& name) {
    BuildScore(score, standin::Host::Instance());
    driver::Scenario scenario;
    scenario.name = name;
    scenario.document = standin::Host::Instance().SaveDocumentJson();
    scenario.hostVersion = score.hostVersion;
    scenario.selection = score.selection;
    scenario.answers = score.answers;
    scenario.expect = ExpectationsOf(RunModel(score));
    return scenario;
}

// Where the plug-in's run of the score breaks an invariant or differs from the model.
std::vector<std::string> Judge(const Plugin& plugin, const Score& score) {
    standin::Host& host = standin::Host::Instance();
    BuildScore(score, host);
    driver::Scenario scenario;
    scenario.hostVersion = score.hostVersion;
    scenario.selection = score.selection;
    scenario.answers = score.answers;
    const CaseRun run = RunCase(plugin, host, scenario);
    std::vector<std::string> failures = run.violations;
    for (std::string& d : CompareWithModel(RunModel(score), run.command, host.Groups())) {
        failures.push_back(std::move(d));
    }
    return failures;
}

// The smallest score found by leaving things out that still fails.
Score Shrink(const Plugin& plugin, Score score) {
    auto fails = [&](const Score& s) { return !Judge(plugin, s).empty(); };
    std::vector<std::function<bool(Score&, size_t)>> steps = {
        [](Score& s, size_t i) {
            if (i >= s.groups.size()) return false;
            s.groups.erase(s.groups.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        },
        [](Score& s, size_t i) {
            if (i >= s.instruments.size()) return false;
            s.instruments.erase(s.instruments.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        },
        [](Score& s, size_t i) {
            if (i >= s.fonts.size()) return false;
            s.fonts.erase(s.fonts.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        },
        [](Score& s, size_t i) {
            if (i > 0 || s.system == 0 || s.selection.system == s.system) return false;
            s.system = 0;
            s.systemStaves.clear();
            return true;
        },
        [](Score& s, size_t i) {
            if (i >= s.groups.size() || s.groups[i].record == std::array<uint8_t, 36>{})
                return false;
            s.groups[i].record = {};
            return true;
        },
        [](Score& s, size_t i) {
            if (i >= 2 * s.groups.size()) return false;
            NameSpec& name = i % 2 ? s.groups[i / 2].abbrev : s.groups[i / 2].full;
            if (name.kind != NameSpec::Kind::Text || name.text.size() <= 1) return false;
            name.text = name.text.substr(0, 1);
            return true;
        },
    };
    for (bool progress = true; progress;) {
        progress = false;
        for (const auto& step : steps) {
            for (size_t i = 0; i < 64; ++i) {
                Score smaller = score;
                if (!step(smaller, i)) continue;
                if (fails(smaller)) {
                    score = std::move(smaller);
                    progress = true;
                    --i;  // the same index names the next item now
                }
            }
        }
    }
    return score;
}

std::string CaseName(uint64_t seed, size_t index) {
    return "random score " + std::to_string(seed) + "/" + std::to_string(index);
}

}  // namespace

void RunModelSuite(const SuiteOptions& options, uint64_t seed, size_t first, size_t count,
                   CaseReporter& report) {
    Plugin plugin;
    std::string error;
    if (!plugin.Load(options.plugin, &error)) throw std::runtime_error(error);
    report.Total(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t index = first + i;
        if (!report.Begin(i, "model", CaseName(seed, index))) continue;
        Random random = CaseRandom(seed, index);
        const Score score = RandomScore(random);
        const std::vector<std::string> failures = Judge(plugin, score);
        for (const std::string& f : failures) report.Fail(f);
        if (!failures.empty()) {
            const Score small = Shrink(plugin, score);
            driver::Scenario scenario =
                ScenarioOf(small, CaseName(seed, index) + ": " + failures.front());
            report.Fail("shrunk to: " + standin::json::Parse(scenario.document).dump());
            const std::string path = WriteFinding(
                options.findings, "model-" + std::to_string(seed) + "-" + std::to_string(index),
                scenario);
            if (!path.empty()) report.Finding(path);
        }
        report.End();
    }
}

std::string WriteModelCase(const SuiteOptions& options, uint64_t seed, size_t index) {
    Random random = CaseRandom(seed, index);
    return WriteFinding(options.findings,
                        "model-" + std::to_string(seed) + "-" + std::to_string(index),
                        ScenarioOf(RandomScore(random), CaseName(seed, index)));
}

}  // namespace validate
