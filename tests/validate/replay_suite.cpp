// Cases kept as files: the fuzz inputs of a folder (the seed corpus, or what fuzzing found), and
// the shared scenario files with their expectations.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cases.h"
#include "fuzz_case.h"
#include "suites.h"

namespace validate {
namespace {

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

void RunReplaySuite(const SuiteOptions& options, const std::string& folder, CaseReporter& report) {
    Plugin plugin;
    std::string error;
    if (!plugin.Load(options.plugin, &error)) throw std::runtime_error(error);
    const std::vector<std::string> files = FilesIn(folder);
    report.Total(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string name = std::filesystem::path(files[i]).filename().string();
        if (!report.Begin(i, "replay", "fuzz input " + name)) continue;
        const std::vector<uint8_t> input = ReadBytes(files[i]);
        const FuzzCase fuzzCase = DecodeFuzzCase(input.data(), input.size());
        const std::vector<std::string> failures = JudgeFuzzCase(plugin, fuzzCase);
        for (const std::string& f : failures) report.Fail(f);
        if (!failures.empty()) {
            const std::string path = WriteFinding(
                options.findings, "fuzz-" + name,
                ScenarioOfFuzzCase(fuzzCase, "fuzz input " + name + ": " + failures.front()));
            if (!path.empty()) report.Finding(path);
        }
        report.End();
    }
}

std::string WriteFuzzCase(const SuiteOptions& options, const std::string& input) {
    const std::vector<uint8_t> bytes = ReadBytes(input);
    const std::string name = std::filesystem::path(input).filename().string();
    return WriteFinding(
        options.findings, "fuzz-" + name,
        ScenarioOfFuzzCase(DecodeFuzzCase(bytes.data(), bytes.size()), "fuzz input " + name));
}

void WriteSeedInputs(const std::string& folder, size_t count) {
    std::filesystem::create_directories(folder);
    const auto inputs = SeedInputs(count);
    for (size_t i = 0; i < inputs.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "seed-%03zu", i);
        std::ofstream out(std::filesystem::path(folder) / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(inputs[i].data()),
                  static_cast<std::streamsize>(inputs[i].size()));
    }
}

void RunScenarioSuite(const SuiteOptions& options, const std::string& folder,
                      CaseReporter& report) {
    const std::vector<std::string> files = driver::ScenarioFiles(folder);
    report.Total(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string name = std::filesystem::path(files[i]).filename().string();
        if (!report.Begin(i, "scenario", "scenario " + name)) continue;
        const driver::ScenarioOutcome outcome = driver::RunScenarioFile(files[i], options.plugin);
        for (const std::string& f : outcome.failures) report.Fail(f);
        report.End();
    }
}

}  // namespace validate
