// Calling order: the exports called as no well-behaved host calls them. Before start-up, again
// and again, with every index, after terminate, with null arguments, and the module loaded and
// unloaded a thousand times in one process.
#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

#include "cases.h"
#include "suites.h"
#include "support/little_endian.h"

#if defined(_WIN32)
#include <malloc.h>
#include <windows.h>
// windows.h first.
#include <psapi.h>
#else
#include <dirent.h>
#include <link.h>
#include <malloc.h>

extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));
#endif

namespace validate {
namespace {

// A quartet over measures 1 to 48 and its violins; cutting 5 to 8 splits the quartet.
const char kQuartet[] = R"({
  "measureCount": 48,
  "staves": [ { "number": 1 }, { "number": 2 }, { "number": 3 }, { "number": 4 } ],
  "groups": [
    { "number": 1, "startStaff": 1, "endStaff": 4, "startMeasure": 1, "endMeasure": 48,
      "fullName": "String Quartet", "abbrevName": "Str. Qt." },
    { "number": 2, "startStaff": 1, "endStaff": 2, "startMeasure": 1, "endMeasure": 48,
      "fullName": "Violins", "abbrevName": "Vlns." } ],
  "fonts": [ { "number": 2, "name": "Garamond" } ],
  "fontPrefs": [ { "number": 33, "font": 2, "size": 12, "effects": 0 },
                 { "number": 39, "font": 2, "size": 10, "effects": 0 } ]
})";
const driver::Selection kQuartetCut{0, 1, 4, 5, 8};
constexpr uint32_t kHostVersion = 0x19000000, kVersionReportedToHost = 0x11000000;
constexpr size_t kRecord8 = 0xC4, kRecord16 = 0x304, kGuard = 16;
constexpr char16_t kResourceError[] = u"Resource String Error";

using Check = std::function<void(const Plugin&, CaseReporter&)>;

void Expect(CaseReporter& report, bool ok, const std::string& what) {
    if (!ok) report.Fail(what);
}

driver::Scenario QuartetCut() {
    driver::Scenario s;
    s.name = "quartet cut at 5 to 8";
    s.document = kQuartet;
    s.hostVersion = kHostVersion;
    s.selection = kQuartetCut;
    return s;
}

// Runs the command on a fresh quartet without the program's start-up calls; the invariants
// hold whatever the module's state. The host is of version `hostVersion`.
CommandRun InvokeOnQuartet(const Plugin& plugin, CaseReporter& report, uint32_t hostVersion) {
    standin::Host& host = standin::Host::Instance();
    driver::Scenario s = QuartetCut();
    s.hostVersion = hostVersion;
    LoadDocument(host, s);
    const DocumentState before = CaptureDocument(host);
    host.ClearCalls();
    const CommandRun run = plugin.Invoke(s.selection, {});
    RunFacts facts;
    facts.result = run.result;
    facts.hostVersion = hostVersion;
    facts.startMeasure = kQuartetCut.startMeasure;
    facts.endMeasure = kQuartetCut.endMeasure;
    for (const driver::ShownBox& box : run.boxes) facts.boxStyles.push_back(box.style);
    for (const std::string& v : CheckRun(before, host, facts)) report.Fail(v);
    return run;
}

// Whether the command looked at multi-staff instruments, which it does for hosts from
// 0x11000000 only.
bool AskedForInstruments() {
    const auto& calls = standin::Host::Instance().Calls();
    return std::any_of(calls.begin(), calls.end(),
                       [](auto& c) { return c.tag == standin::tag::kMultiStaff; });
}

bool Wrote() {
    for (const standin::Call& c : standin::Host::Instance().Calls()) {
        if (c.function == "FX_SaveEData" || c.function == "FX_CreateEData" ||
            c.function == "FX_DeleteEData") {
            return true;
        }
    }
    return false;
}

std::vector<uint8_t> Enumeration(const Plugin& plugin, bool utf16, int16_t index, int16_t* result,
                                 uint8_t fill = 0xA5) {
    std::vector<uint8_t> record((utf16 ? kRecord16 : kRecord8) + kGuard, fill);
    *result = utf16 ? plugin.Exports().EnumerateUTF16(index, record.data())
                    : plugin.Exports().Enumerate(index, record.data());
    return record;
}

// Without the start-up calls the module has no string table to read: the command must not
// write the fallback text into the score.
void InvokeWithoutStrings(const Plugin& plugin, CaseReporter& report, uint32_t hostVersion) {
    const CommandRun run = InvokeOnQuartet(plugin, report, hostVersion);
    Expect(report, run.result == 0, "the command split groups before any enumeration");
    Expect(report, !Wrote(), "the command wrote to the document before any enumeration");
    for (const driver::ShownBox& box : run.boxes) {
        Expect(report, box.caption == kResourceError,
               "a message box read its string table before any enumeration");
    }
}

void InvokeBeforeStartUp(const Plugin& plugin, CaseReporter& report) {
    InvokeWithoutStrings(plugin, report, 0);
}

void InvokeAfterVersionOnly(const Plugin& plugin, CaseReporter& report) {
    plugin.Exports().Version(kHostVersion);
    InvokeWithoutStrings(plugin, report, kHostVersion);
}

void InvokeAfterInitOnly(const Plugin& plugin, CaseReporter& report) {
    uint32_t flags = 0;
    Expect(report, plugin.Exports().Init(&flags) == 1 && flags == 1, "Init answers 1, sets bit 0");
    InvokeWithoutStrings(plugin, report, 0);
}

// Enumerated but never told its version, an old host: the module takes it for the oldest one.
void InvokeWithoutVersion(const Plugin& plugin, CaseReporter& report) {
    int16_t result = 0;
    Enumeration(plugin, false, 0, &result);
    const CommandRun run = InvokeOnQuartet(plugin, report, 0);
    Expect(report, run.result == 1, "the command did not split the quartet");
    Expect(report, !AskedForInstruments(),
           "an old host's command looked at multi-staff instruments");
}

void EnumerationRepeated(const Plugin& plugin, CaseReporter& report) {
    int16_t result = 0;
    const auto first8 = Enumeration(plugin, false, 0, &result);
    const auto first16 = Enumeration(plugin, true, 0, &result);
    Expect(report, std::memcmp(first8.data(), "Vorlan Brisane", 15) == 0, "8-bit title");
    Expect(report, first16[0] == 'V' && first16[1] == 0, "UTF-16 title");
    for (int i = 0; i < 200; ++i) {
        const bool utf16 = i % 3 == 1;
        const auto record = Enumeration(plugin, utf16, 0, &result);
        if (result != 1 || record != (utf16 ? first16 : first8)) {
            report.Fail("enumeration " + std::to_string(i + 2) + " gave another record");
            return;
        }
        plugin.Exports().GetMenuStatus();
    }
}

// The text of one field of an enumeration record, up to its terminator.
std::u16string FieldText(const std::vector<uint8_t>& record, bool utf16, size_t field) {
    if (utf16) return support::GetUtf16(record, field * 0x100, 0x80);
    std::u16string text;
    for (size_t i = field * 0x40; i < field * 0x40 + 0x40 && record[i] != 0; ++i) {
        text.push_back(record[i]);
    }
    return text;
}

// Every index in both forms: 1 and up answer 0 and leave the record alone, 0 and below fill it
// with the same texts and nothing past its end.
void EveryIndex(const Plugin& plugin, CaseReporter& report) {
    for (bool utf16 : {false, true}) {
        int16_t result = 0;
        const auto reference = Enumeration(plugin, utf16, 0, &result);
        const size_t size = utf16 ? kRecord16 : kRecord8;
        const std::vector<uint8_t> untouched(size + kGuard, 0x3C);
        size_t wrong = 0;
        std::string first;
        for (int index = -32768; index <= 32767; ++index) {
            const auto record =
                Enumeration(plugin, utf16, static_cast<int16_t>(index), &result, 0x3C);
            bool ok = result == (index <= 0 ? 1 : 0);
            if (index > 0) {
                ok = ok && record == untouched;
            } else {
                for (size_t field = 0; field < 3; ++field) {
                    ok =
                        ok && FieldText(record, utf16, field) == FieldText(reference, utf16, field);
                }
                const auto flag = static_cast<std::ptrdiff_t>(size - 4);
                ok = ok &&
                     std::equal(record.begin() + flag, record.begin() + flag + 4,
                                reference.begin() + flag) &&
                     std::equal(record.end() - kGuard, record.end(), untouched.begin());
            }
            if (!ok && wrong++ == 0) first = std::to_string(index);
        }
        Expect(report, wrong == 0,
               std::string(utf16 ? "UTF-16" : "8-bit") + " enumeration wrong for " +
                   std::to_string(wrong) + " indices, the first " + first);
    }
}

void AfterTerminate(const Plugin& plugin, CaseReporter& report) {
    plugin.StartUp(kHostVersion);
    plugin.Exports().Terminate();
    const auto& e = plugin.Exports();
    Expect(report, e.Version(kHostVersion) == kVersionReportedToHost, "Version after Terminate");
    uint32_t flags = 0x6;
    Expect(report, e.Init(&flags) == 1 && flags == 0x7, "Init after Terminate");
    int16_t result = 0;
    Enumeration(plugin, false, 0, &result);
    Expect(report, result == 1, "8-bit enumeration after Terminate");
    Enumeration(plugin, true, 0, &result);
    Expect(report, result == 1, "UTF-16 enumeration after Terminate");
    Expect(report, e.GetMenuStatus() == 1, "menu status after Terminate");
    standin::Host& host = standin::Host::Instance();
    const driver::Scenario s = QuartetCut();
    LoadDocument(host, s);
    const CaseRun run = RunCase(plugin, host, s);
    for (const std::string& v : run.violations) report.Fail(v);
    Expect(report, run.command.result == 1, "the command after Terminate did not split");
    e.Terminate();
    e.Terminate();
}

void NullArguments(const Plugin& plugin, CaseReporter& report) {
    const auto& e = plugin.Exports();
    e.Version(kHostVersion);
    Expect(report, e.Init(nullptr) == 1, "Init with no flags word");
    e.Enumerate(0, nullptr);
    e.EnumerateUTF16(0, nullptr);
    Expect(report, e.GetMenuStatus() == 1, "menu status");
    standin::Host::Instance().Reset();
    const CommandRun run = plugin.Invoke(std::nullopt, {"yes"});
    Expect(report, run.result == 0, "the command without a region split something");
}

// What the process holds; the same after a thousand loads as after a hundred.
struct Holdings {
    size_t heap = 0;     // bytes allocated
    size_t handles = 0;  // open file descriptors or handles
    size_t modules = 0;  // loaded modules
};

#if defined(_WIN32)
Holdings Measure() {
    Holdings h;
    // The C runtime's heap, which the plug-in and this program share.
    _HEAPINFO block{};
    while (_heapwalk(&block) == _HEAPOK) {
        if (block._useflag == _USEDENTRY) h.heap += block._size;
    }
    // Handle values are multiples of 4; the process holds far fewer than these.
    for (uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++h.handles;
    }
    HMODULE modules[512];
    DWORD needed = 0;
    EnumProcessModules(GetCurrentProcess(), modules, sizeof(modules), &needed);
    h.modules = needed / sizeof(HMODULE);
    return h;
}
#else
Holdings Measure() {
    Holdings h;
    h.heap = __sanitizer_get_current_allocated_bytes != nullptr
                 ? __sanitizer_get_current_allocated_bytes()
                 : mallinfo2().uordblks;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (readdir(fds) != nullptr) ++h.handles;
        closedir(fds);
    }
    dl_iterate_phdr([](dl_phdr_info*, size_t, void* n) { return ++*static_cast<size_t*>(n), 0; },
                    &h.modules);
    return h;
}
#endif
constexpr size_t kHeapSlack = 64 << 10;

// Load, use and unload a thousand times: every load starts without the host's version and
// string table, and nothing stays behind.
void ThousandLoads(const SuiteOptions& options, CaseReporter& report) {
    standin::Host& host = standin::Host::Instance();
    Holdings warm;
    for (int cycle = 1; cycle <= 1000; ++cycle) {
        Plugin plugin;
        std::string error;
        if (!plugin.Load(options.plugin, &error)) {
            report.Fail("load " + std::to_string(cycle) + ": " + error);
            return;
        }
        host.Reset();
        const CommandRun blind = plugin.Invoke(std::nullopt, {"no"});
        const bool freshTable = blind.boxes.size() == 1 && blind.boxes[0].caption == kResourceError;
        int16_t result = 0;
        Enumeration(plugin, false, 0, &result);
        driver::Scenario s = QuartetCut();
        s.hostVersion = 0;  // a host that never tells its version
        LoadDocument(host, s);
        host.ClearCalls();
        const CommandRun oldHost = plugin.Invoke(s.selection, {});
        const bool freshVersion = !AskedForInstruments();
        plugin.StartUp(kHostVersion);
        host.SetVersion(kHostVersion);
        host.ClearCalls();
        plugin.Invoke(s.selection, {});
        const bool versionTaken = AskedForInstruments();
        plugin.Exports().Terminate();
        for (const std::string& change : plugin.TakeLanguageChanges()) {
            report.Fail("load " + std::to_string(cycle) + ": " + change);
            return;
        }
        plugin.Unload();
        host.Reset();
        if (!freshTable || !freshVersion || !versionTaken || oldHost.result != 1) {
            report.Fail("load " + std::to_string(cycle) + ": string table " +
                        (freshTable ? "fresh" : "kept") + ", host version " +
                        (freshVersion ? "fresh" : "kept") + ", then " +
                        (versionTaken ? "taken" : "not taken") + "; the old host's command " +
                        (oldHost.result == 1 ? "split" : "split nothing"));
            return;
        }
        if (cycle == 100) warm = Measure();
    }
    const Holdings end = Measure();
    if (end.heap > warm.heap + kHeapSlack) {
        report.Fail("memory grew by " + std::to_string(end.heap - warm.heap) +
                    " bytes over 900 loads");
    }
    Expect(
        report, end.handles <= warm.handles,
        "handles grew from " + std::to_string(warm.handles) + " to " + std::to_string(end.handles));
    Expect(report, end.modules <= warm.modules,
           "loaded modules grew from " + std::to_string(warm.modules) + " to " +
               std::to_string(end.modules));
}

const std::vector<std::pair<std::string, Check>>& Checks() {
    static const std::vector<std::pair<std::string, Check>> checks = {
        {"invoke-before-start-up", InvokeBeforeStartUp},
        {"invoke-after-version-only", InvokeAfterVersionOnly},
        {"invoke-after-init-only", InvokeAfterInitOnly},
        {"invoke-without-version", InvokeWithoutVersion},
        {"enumeration-repeated", EnumerationRepeated},
        {"every-enumeration-index", EveryIndex},
        {"exports-after-terminate", AfterTerminate},
        {"null-arguments", NullArguments},
    };
    return checks;
}

constexpr char kThousandLoads[] = "thousand-loads";

}  // namespace

std::vector<std::string> CallingOrderChecks() {
    std::vector<std::string> names;
    for (const auto& [name, check] : Checks()) names.push_back(name);
    names.push_back(kThousandLoads);
    return names;
}

void RunCallingOrderCheck(const SuiteOptions& options, const std::string& check,
                          CaseReporter& report) {
    if (!report.Begin(0, "order", "calling order: " + check)) return;
    if (check == kThousandLoads) {
        ThousandLoads(options, report);
    } else {
        const auto& checks = Checks();
        const auto it = std::find_if(checks.begin(), checks.end(),
                                     [&](const auto& c) { return c.first == check; });
        if (it == checks.end()) throw std::runtime_error("no calling-order check " + check);
        standin::Host::Instance().Reset();
        Plugin plugin;  // a fresh module for every check
        std::string error;
        if (!plugin.Load(options.plugin, &error)) throw std::runtime_error(error);
        it->second(plugin, report);
        for (const std::string& change : plugin.TakeLanguageChanges()) report.Fail(change);
    }
    report.End();
}

}  // namespace validate
