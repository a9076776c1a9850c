// Benchmarks of what the plug-in costs: the command on generated scores through the built
// module's exports, record transfers, the module's load and start-up, and the stand-in host's
// document load and save. Counts (host calls, allocations) are reported as counters beside the
// times; tools/bench turns them into docs/performance.md.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "benchmark_list.h"
#include "framework/core/host_version.h"
#include "framework/host/host_bridge.h"
#include "framework/host/prefs_maps.h"
#include "framework/host/record_transfer.h"
#include "message_boxes.h"
#include "plugin_module.h"
#include "score_generator.h"
#include "session.h"
#include "standin/host.h"
#include "support/heap_count.h"

namespace {

using bench::CommandName;
using bench::DocumentName;
using bench::kDocumentGroups;
using bench::kDocumentStaves;
using bench::kGroups;
using bench::kMeasures;
using bench::kStaves;
using driver::ScoreShape;
using driver::ScoreSize;

constexpr uint32_t kHostVersion = standin::kDefaultVersion;

standin::Host& Host() {
    return standin::Host::Instance();
}

// The plug-in loaded and started as the notation program does it, for one benchmark.
class StartedPlugin {
  public:
    explicit StartedPlugin(benchmark::State& state) {
        std::string error;
        if (!module_.Load(VB_PLUGIN_PATH, &error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        module_.Version(kHostVersion);
        uint32_t flags = 0;
        module_.Init(&flags);
        std::array<uint8_t, 0x304> record{};
        module_.EnumerateUTF16(0, record.data());
    }
    ~StartedPlugin() {
        if (module_.IsLoaded()) module_.Terminate();
    }
    const driver::PluginModule& Module() const { return module_; }

  private:
    driver::PluginModule module_;
};

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// One command per iteration on a fresh copy of the generated score. Time is the command's
// alone; the counters give its host calls (all, and by function), the share of its time spent
// inside the host functions, and the heap allocations the plug-in made.
void Command(benchmark::State& state, ScoreShape shape, ScoreSize size) {
    Host().Reset();
    StartedPlugin plugin(state);
    if (!plugin.Module().IsLoaded()) return;
    support::HostClock clock;
    Host().SetCallObserver(&clock);
    std::map<std::string_view, double> byFunction;
    double calls = 0, allocations = 0, result = 0;
    std::vector<double> hostSeconds, ownSeconds, totalSeconds;
    for (auto _ : state) {
        state.PauseTiming();
        const driver::Selection selection = driver::GenerateScore(Host(), shape, size);
        const std::vector<uint8_t> record = driver::RegionRecord(selection);
        driver::BoxWatcher boxes(driver::ScriptedAnswers({"yes"}));
        Host().ClearCalls();
        clock.Reset();
        support::BeginHeapCount(true);
        const auto start = std::chrono::steady_clock::now();
        state.ResumeTiming();
        result += plugin.Module().Invoke(nullptr, record.data());
        state.PauseTiming();
        const double total =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        totalSeconds.push_back(total);
        hostSeconds.push_back(clock.Seconds());
        ownSeconds.push_back(total - clock.Seconds());
        allocations += static_cast<double>(support::EndHeapCount().allocations);
        calls += static_cast<double>(Host().CallCount());
        for (std::string_view f : standin::kHostFunctions) {
            byFunction[f] += static_cast<double>(Host().CallCount(f));
        }
        state.ResumeTiming();
    }
    Host().SetCallObserver(nullptr);
    const auto perCommand = benchmark::Counter::kAvgIterations;
    state.counters["staves"] = size.staves;
    state.counters["groups"] = size.groups;
    state.counters["result"] = benchmark::Counter(result, perCommand);
    state.counters["host_calls"] = benchmark::Counter(calls, perCommand);
    for (const auto& [function, count] : byFunction) {
        state.counters[std::string(function)] = benchmark::Counter(count, perCommand);
    }
    state.counters["allocations"] = benchmark::Counter(allocations, perCommand);
    // Medians: a command now and then slowed by the rest of a busy machine does not count.
    state.counters["host_seconds"] = Median(hostSeconds);
    state.counters["own_seconds"] = Median(ownSeconds);
    state.counters["command_seconds"] = Median(totalSeconds);
}

// Loads and saves of records redirected through field maps and runs, as the framework makes
// them; the counter is the heap allocations per transfer outside the host.
void Transfer(benchmark::State& state, uint32_t tag, uint16_t item, int32_t bytes, bool save) {
    Host().Reset();
    vb::hostVersion = kHostVersion;
    support::HostClock clock;
    Host().SetCallObserver(&clock);
    std::array<uint8_t, 128> record{};
    record.fill(0x5A);
    auto transfer = [&] {
        uint16_t key[4] = {item, 0, 0, 0};
        int32_t size = static_cast<int32_t>(record.size());
        return save ? host::SaveRecord(tag, key, record.data(), bytes, host::DATA_VERSION)
                    : host::LoadRecord(tag, key, record.data(), &size, host::DATA_VERSION);
    };
    transfer();  // finds the host functions, once for the library's lifetime
    double allocations = 0;
    for (auto _ : state) {
        support::BeginHeapCount(true);
        benchmark::DoNotOptimize(transfer());
        allocations += static_cast<double>(support::EndHeapCount().allocations);
    }
    Host().SetCallObserver(nullptr);
    state.counters["allocations"] =
        benchmark::Counter(allocations, benchmark::Counter::kAvgIterations);
}

void PreferenceMapTransfer(benchmark::State& state, bool save) {
    Host().Reset();
    vb::hostVersion = kHostVersion;
    support::HostClock clock;
    Host().SetCallObserver(&clock);
    int count = 0;
    const host::FieldMapEntry* map = host::FindPrefsMap(standin::TagOf("pfPB"), 0, &count);
    std::array<uint8_t, 44> record{};
    record.fill(0x5A);
    int32_t size = 0;
    double allocations = 0;
    for (auto _ : state) {
        support::BeginHeapCount(true);
        benchmark::DoNotOptimize(
            save ? host::SaveToPrefsMap(record.data(), 44, map, count)
                 : host::LoadFromPrefsMap(record.data(), 44, &size, map, count));
        allocations += static_cast<double>(support::EndHeapCount().allocations);
    }
    Host().SetCallObserver(nullptr);
    state.counters["allocations"] =
        benchmark::Counter(allocations, benchmark::Counter::kAvgIterations);
}

// A library's load (with the plug-in's seven exports found, as the notation program does it) or
// its unload; the plug-in against a library with nothing in it.
void ModuleLoad(benchmark::State& state, const char* path, bool plugin, bool timeUnload) {
    static const char* const exports[] = {
        "FinaleExtensionVersion",       "FinaleExtensionInit",
        "FinaleExtensionEnumerate",     "FinaleExtensionEnumerate_UTF16",
        "FinaleExtensionGetMenuStatus", "FinaleExtensionInvoke",
        "FinaleExtensionTerminate"};
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto start = Clock::now();
        void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            state.SkipWithError(dlerror());
            return;
        }
        if (plugin) {
            for (const char* name : exports) benchmark::DoNotOptimize(dlsym(module, name));
        }
        const auto loaded = Clock::now();
        dlclose(module);
        const auto unloaded = Clock::now();
        state.SetIterationTime(
            std::chrono::duration<double>(timeUnload ? unloaded - loaded : loaded - start).count());
    }
}

// The calls the notation program makes once the module is loaded: version, init, enumeration.
void ModuleStartup(benchmark::State& state) {
    driver::PluginModule module;
    std::string error;
    if (!module.Load(VB_PLUGIN_PATH, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::array<uint8_t, 0x304> record{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(module.Version(kHostVersion));
        uint32_t flags = 0;
        module.Init(&flags);
        benchmark::DoNotOptimize(module.EnumerateUTF16(0, record.data()));
        benchmark::DoNotOptimize(module.GetMenuStatus());
    }
    module.Terminate();
}

// The stand-in host's documents: a generated score of `groups` groups as JSON text.
const std::string& DocumentText(int groups) {
    static std::map<int, std::string> texts;
    auto& text = texts[groups];
    if (text.empty()) {
        standin::Host host;
        driver::GenerateScore(host, ScoreShape::Orchestral,
                              ScoreSize{kDocumentStaves, groups, kMeasures});
        text = host.SaveDocumentJson();
    }
    return text;
}

// Counters: the document's groups and bytes, and the most heap one load or save holds at once.
void DocumentLoad(benchmark::State& state, int groups) {
    const std::string& text = DocumentText(groups);
    standin::Host host;
    std::string error;
    support::BeginHeapCount(false);
    host.LoadDocumentJson(text, &error);
    const uint64_t peak = support::EndHeapCount().peakBytes;
    for (auto _ : state) {
        if (!host.LoadDocumentJson(text, &error)) state.SkipWithError(error.c_str());
    }
    state.counters["groups"] = groups;
    state.counters["document_bytes"] = static_cast<double>(text.size());
    state.counters["peak_heap_bytes"] = static_cast<double>(peak);
}

void DocumentSave(benchmark::State& state, int groups) {
    standin::Host host;
    std::string error;
    host.LoadDocumentJson(DocumentText(groups), &error);
    support::BeginHeapCount(false);
    const std::string once = host.SaveDocumentJson();
    const uint64_t peak = support::EndHeapCount().peakBytes;
    for (auto _ : state) benchmark::DoNotOptimize(host.SaveDocumentJson());
    state.counters["groups"] = groups;
    state.counters["document_bytes"] = static_cast<double>(once.size());
    state.counters["peak_heap_bytes"] = static_cast<double>(peak);
}

void RegisterAll() {
    for (ScoreShape shape : driver::kScoreShapes) {
        for (int staves : kStaves) {
            for (int groups : kGroups) {
                const ScoreSize size{staves, groups, kMeasures};
                const std::string name = CommandName(shape, size);
                // Enough commands for a steady time, but few where generating the score is slow.
                const int64_t commands = std::clamp<int64_t>(40000 / (staves + groups), 9, 300);
                benchmark::RegisterBenchmark(name.c_str(), Command, shape, size)
                    ->Iterations(commands)
                    ->Unit(benchmark::kMicrosecond);
            }
        }
    }
    struct TransferCase {
        const char* name;
        uint32_t tag;
        uint16_t item;
        int32_t bytes;
    };
    auto transferName = [](bool save, const char* what) {
        return bench::kTransferPrefix + std::string(save ? "save " : "load ") + what;
    };
    for (const TransferCase& c :
         {TransferCase{"field map 'pfSS'", standin::TagOf("pfSS"), 0, 108},
          TransferCase{"field map 'pfMS'", standin::TagOf("pfMS"), 0, 104},
          TransferCase{"run of nine 'ot78'", standin::TagOf("pfTX"), 1, 108},
          TransferCase{"whole record 'SDNG'", standin::TagOf("SDNG"), 1, 36}}) {
        for (bool save : {false, true}) {
            benchmark::RegisterBenchmark(transferName(save, c.name).c_str(), Transfer, c.tag,
                                         c.item, c.bytes, save);
        }
    }
    for (bool save : {false, true}) {
        benchmark::RegisterBenchmark(transferName(save, "preference map 'pfPB'").c_str(),
                                     PreferenceMapTransfer, save);
    }
    benchmark::RegisterBenchmark(bench::kEmptyModuleLoad, ModuleLoad, VB_EMPTY_MODULE_PATH, false,
                                 false)
        ->UseManualTime();
    benchmark::RegisterBenchmark(bench::kPluginLoad, ModuleLoad, VB_PLUGIN_PATH, true, false)
        ->UseManualTime();
    benchmark::RegisterBenchmark(bench::kPluginUnload, ModuleLoad, VB_PLUGIN_PATH, true, true)
        ->UseManualTime();
    benchmark::RegisterBenchmark(bench::kPluginStartup, ModuleStartup);
    for (int groups : kDocumentGroups) {
        benchmark::RegisterBenchmark(DocumentName(false, groups).c_str(), DocumentLoad, groups)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(DocumentName(true, groups).c_str(), DocumentSave, groups)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
