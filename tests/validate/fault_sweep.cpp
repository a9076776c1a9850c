// A host fault at every call: a scenario's command is run once to see its host calls, then once
// for each call with that call failed, and once for each wrong-form answer a call can give.
#include <algorithm>
#include <climits>
#include <filesystem>
#include <map>
#include <set>

#include "cases.h"
#include "suites.h"

namespace validate {
namespace {

using Kind = standin::WrongAnswer::Kind;

// Where a key moved by the host must not move the object; creations are planned apart.
constexpr const char* kRecordFunctions[] = {"FX_LoadEData", "FX_SaveEData", "FX_DeleteEData",
                                            "FX_NextEData"};
// A failing load that still writes: words of 1 name the first record of most kinds.
const std::vector<uint8_t> kLeftInBuffer = [] {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 64; ++i) bytes.insert(bytes.end(), {1, 0});
    return bytes;
}();
// How many times a cycling enumeration leads back before the host gives up.
constexpr int kCycleLimit = 20;

driver::Scenario::Fault Planned(const std::string& function, int nth) {
    driver::Scenario::Fault fault;
    fault.function = function;
    fault.nth = nth;
    return fault;
}

driver::Scenario::Fault Wrong(const std::string& function, int nth, standin::WrongAnswer answer) {
    driver::Scenario::Fault fault = Planned(function, nth);
    fault.answer = std::move(answer);
    return fault;
}

standin::WrongAnswer Answer(Kind kind) {
    standin::WrongAnswer answer;
    answer.kind = kind;
    return answer;
}

// Another key than the call named or was given: its number word one higher.
std::vector<uint16_t> OtherKey(const standin::Call& call) {
    std::vector<uint16_t> key = call.keyOut.empty() ? call.keyIn : call.keyOut;
    if (key.empty()) key.push_back(0);
    key[key.size() == 3 ? 1 : 0] += 1;
    return key;
}

// The key of a record of the tag that the run worked on, none without one.
std::optional<std::vector<uint16_t>> ExistingKey(const std::vector<standin::Call>& calls,
                                                 uint32_t tag) {
    for (const standin::Call& c : calls) {
        if (c.tag == tag && c.result != 0 && !c.keyIn.empty() &&
            std::count(c.keyIn.begin(), c.keyIn.end(), 0xFFFF) == 0) {
            return c.keyIn;
        }
    }
    return std::nullopt;
}

// The key of the first record of the tag that the run loaded, none without one.
std::optional<std::vector<uint16_t>> LoadedKey(const std::vector<standin::Call>& calls,
                                               uint32_t tag) {
    for (const standin::Call& c : calls) {
        if (c.function == "FX_LoadEData" && c.tag == tag && c.result != 0) return c.keyIn;
    }
    return std::nullopt;
}

// The key the host gave the run's last creation of the tag before `call`, none without one.
std::optional<std::vector<uint16_t>> EarlierCreation(const std::vector<standin::Call>& calls,
                                                     const standin::Call& call) {
    std::optional<std::vector<uint16_t>> earlier;
    for (const standin::Call& c : calls) {
        if (&c == &call) break;
        if (c.function == "FX_CreateEData" && c.tag == call.tag && c.result != 0) {
            earlier = c.keyOut;
        }
    }
    return earlier;
}

bool IsRawText(uint32_t tag) {
    return (tag & 0xFFFF0000u) == 0x74780000u;
}

// The key of a record of the tag that the document holds and the run never asked for: another's
// text, which only a read-back tells from a new one. None without one.
std::optional<std::vector<uint16_t>> UnreadKey(
    const std::vector<standin::Call>& calls,
    const std::map<uint32_t, std::set<std::vector<uint16_t>>>& textKeys, uint32_t tag) {
    const auto held = textKeys.find(tag);
    if (held == textKeys.end()) return std::nullopt;
    for (const std::vector<uint16_t>& key : held->second) {
        const bool asked = std::any_of(calls.begin(), calls.end(), [&](const standin::Call& c) {
            return c.tag == tag && (c.keyIn == key || c.keyOut == key);
        });
        if (!asked) return key;
    }
    return std::nullopt;
}

// What a piece is made of: its group and its name texts.
bool IsPieceRecord(uint32_t tag) {
    return tag == standin::tag::kGroup || tag == standin::tag::kTextBlock || IsRawText(tag);
}

}  // namespace

std::vector<driver::Scenario::Fault> SweepFaults(
    const std::vector<standin::Call>& calls, bool full,
    const std::map<uint32_t, std::set<std::vector<uint16_t>>>& textKeys) {
    std::map<std::string, std::vector<const standin::Call*>> byFunction;
    for (const standin::Call& c : calls) byFunction[c.function].push_back(&c);
    auto each = [&](const std::string& function, auto plan) {
        const auto& list = byFunction[function];
        for (size_t k = 0; k < list.size(); ++k) plan(static_cast<int>(k + 1), *list[k]);
    };
    std::vector<driver::Scenario::Fault> plans;
    for (std::string_view name : standin::kHostFunctions) {
        const std::string function(name);
        each(function,
             [&](int nth, const standin::Call&) { plans.push_back(Planned(function, nth)); });
    }
    each("FX_LoadEData", [&](int nth, const standin::Call&) {
        driver::Scenario::Fault fault = Planned("FX_LoadEData", nth);
        fault.bytes = kLeftInBuffer;
        plans.push_back(fault);
    });
    const std::vector<int32_t> sizes =
        full ? std::vector<int32_t>{-1, INT_MIN, INT_MAX, 0, 1, 2, 65536}
             : std::vector<int32_t>{-1, INT_MAX, 0, 2};
    each("FX_LoadEData", [&](int nth, const standin::Call& call) {
        for (int32_t size : sizes) {
            standin::WrongAnswer answer = Answer(Kind::Size);
            answer.size = size;
            plans.push_back(Wrong("FX_LoadEData", nth, answer));
        }
        if (IsRawText(call.tag)) {
            plans.push_back(Wrong("FX_LoadEData", nth, Answer(Kind::Unterminated)));
        }
    });
    // A creation that fails and still names a record: one that exists already. A creation of a
    // piece's group or name text that succeeds and reports a key the command knows (the first
    // record of the tag it loaded, the one it made last) or the placeholder it passed, and a name
    // text or block reported under another's number that the command never read. (A group
    // reported under a number the command does not know cannot be told from a good one.)
    each("FX_CreateEData", [&](int nth, const standin::Call& call) {
        if (auto existing = ExistingKey(calls, call.tag)) {
            standin::WrongAnswer answer = Answer(Kind::Key);
            answer.key = *existing;
            answer.fails = true;
            plans.push_back(Wrong("FX_CreateEData", nth, answer));
        }
        if (!IsPieceRecord(call.tag)) return;
        for (const auto& known :
             {LoadedKey(calls, call.tag), EarlierCreation(calls, call),
              std::optional<std::vector<uint16_t>>(call.keyIn),
              call.tag == standin::tag::kGroup ? std::nullopt
                                               : UnreadKey(calls, textKeys, call.tag)}) {
            if (!known) continue;
            standin::WrongAnswer answer = Answer(Kind::Key);
            answer.key = *known;
            plans.push_back(Wrong("FX_CreateEData", nth, answer));
        }
    });
    for (const char* function : kRecordFunctions) {
        each(function, [&](int nth, const standin::Call& call) {
            standin::WrongAnswer placeholder = Answer(Kind::Key);
            placeholder.key = std::vector<uint16_t>(call.keyIn.size(), 0xFFFF);
            plans.push_back(Wrong(function, nth, placeholder));
            standin::WrongAnswer other = Answer(Kind::Key);
            other.key = OtherKey(call);
            plans.push_back(Wrong(function, nth, other));
        });
    }
    // Back to the first record, the second and the last: a repeat of any earlier record ends
    // the enumeration, not only one of the first.
    each("FX_NextEData", [&](int nth, const standin::Call&) {
        for (int to : {1, 2, -1}) {
            standin::WrongAnswer answer = Answer(Kind::Cycle);
            answer.limit = kCycleLimit;
            answer.to = to;
            plans.push_back(Wrong("FX_NextEData", nth, answer));
        }
    });
    for (const char* function : {"FX_FontNumToName", "FX_FontNumToName_UTF16"}) {
        each(function, [&](int nth, const standin::Call&) {
            plans.push_back(Wrong(function, nth, Answer(Kind::FullName)));
        });
    }
    return plans;
}

void RunFaultSuite(const SuiteOptions& options, const std::string& scenarioFile,
                   CaseReporter& report) {
    // Exactly one fault a run: the scenario's own faults are left out.
    driver::Scenario scenario;
    std::string error;
    if (!driver::LoadScenario(scenarioFile, scenario, &error)) throw std::runtime_error(error);
    scenario.faults.clear();
    const std::string stem = std::filesystem::path(scenarioFile).stem().string();
    standin::Host& host = standin::Host::Instance();
    Plugin plugin;
    if (!plugin.Load(options.plugin, &error)) throw std::runtime_error(error);

    // The run without the swept faults: its calls are the ones to fail.
    LoadDocument(host, scenario);
    const DocumentState before = CaptureDocument(host);
    RunCase(plugin, host, scenario);
    const std::vector<standin::Call> calls = host.Calls();
    // An enumeration that notices the repeated key ends there; what it then misses may take the
    // command on to enumerate every group and instrument once.
    size_t nextLimit =
        4 + host.Keys(standin::tag::kGroup).size() + host.Keys(standin::tag::kMultiStaff).size();
    for (const standin::Call& c : calls) nextLimit += c.function == "FX_NextEData" ? 1u : 0u;

    const std::vector<driver::Scenario::Fault> plans =
        SweepFaults(calls, options.full, before.keys);
    report.Total(plans.size());
    for (size_t i = 0; i < plans.size(); ++i) {
        const driver::Scenario::Fault& fault = plans[i];
        const std::string what = driver::Describe(fault);
        if (!report.Begin(i, fault.answer ? "wrong" : "fail", stem + ": " + what)) continue;
        driver::Scenario faulted = scenario;
        faulted.faults.push_back(fault);
        LoadDocument(host, faulted);
        const bool cycles = fault.answer && fault.answer->kind == Kind::Cycle;
        const CaseRun run = RunCase(plugin, host, faulted, cycles ? nextLimit : 0);
        for (const std::string& v : run.violations) report.Fail(v);
        if (report.Failed()) {
            faulted.name = stem + ": " + what + ": " + run.violations.front();
            faulted.expect = {};
            const std::string path =
                WriteFinding(options.findings, "fault-" + stem + "-" + std::to_string(i), faulted);
            if (!path.empty()) report.Finding(path);
        }
        report.End();
    }
}

}  // namespace validate
