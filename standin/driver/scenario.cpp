#include "scenario.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <tuple>

#include "language.h"
#include "numbers.h"
#include "report.h"
#include "standin/files.h"
#include "standin/host.h"
#include "standin/json_reader.h"
#include "support/utf8.h"

namespace driver {
namespace {

using standin::json::Fail;
using standin::json::Json;
using standin::json::Object;
namespace json = standin::json;

// The host functions a scenario may make fail; any other name would never fire.
constexpr const char* kHostFunctions[] = {"FX_LoadEData",           "FX_SaveEData",
                                          "FX_CreateEData",         "FX_DeleteEData",
                                          "FX_NextEData",           "FX_SlotToInst",
                                          "FX_InstToSlot",          "FX_FontNumToName",
                                          "FX_FontNumToName_UTF16", "FX_GetCurrentEnigmaDocument"};

uint32_t HostVersion(const Json& value, const std::string& path) {
    if (value.is_string()) {
        if (auto v = ParseVersion(value.get<std::string>())) return *v;
        Fail(path, "expected a decimal number or 0x and hexadecimal digits, up to 0xFFFFFFFF");
    }
    return static_cast<uint32_t>(json::Integer(value, path, 0, UINT32_MAX));
}

// Two integers in a given range: [first, last].
template <typename T>
std::pair<T, T> Pair(const Json& value, const std::string& path) {
    if (!value.is_array() || value.size() != 2) Fail(path, "expected two integers");
    auto at = [&](size_t i) {
        return static_cast<T>(json::Integer(value[i], json::At(path, i),
                                            std::numeric_limits<T>::min(),
                                            std::numeric_limits<T>::max()));
    };
    return {at(0), at(1)};
}

// Any record the program could pass, on purpose: ranges are not checked here.
Selection ReadSelection(const Json& j, const std::string& path) {
    Object s(j, path, {"system", "endSystem", "slots", "measures", "positions"});
    Selection out;
    out.system = static_cast<int16_t>(s.Int("system", INT16_MIN, INT16_MAX, 0));
    if (s.Has("endSystem"))
        out.endSystem = static_cast<int16_t>(s.Int("endSystem", INT16_MIN, INT16_MAX));
    std::tie(out.startSlot, out.endSlot) = Pair<int16_t>(s.Required("slots"), s.Path("slots"));
    std::tie(out.startMeasure, out.endMeasure) =
        Pair<int16_t>(s.Required("measures"), s.Path("measures"));
    if (s.Has("positions"))
        std::tie(out.startPos, out.endPos) = Pair<int32_t>(s.Raw("positions"), s.Path("positions"));
    return out;
}

ExpectedGroup ReadExpectedGroup(const Json& j, const std::string& path) {
    Object g(j, path, {"owner", "number", "staves", "measures", "fullName", "abbrevName"});
    ExpectedGroup out;
    if (g.Has("owner")) out.owner = static_cast<int16_t>(g.Int("owner", INT16_MIN, INT16_MAX));
    if (g.Has("number")) out.number = static_cast<int16_t>(g.Int("number", INT16_MIN, INT16_MAX));
    if (g.Has("staves")) out.staves = Pair<int16_t>(g.Raw("staves"), g.Path("staves"));
    if (g.Has("measures")) out.measures = Pair<int16_t>(g.Raw("measures"), g.Path("measures"));
    out.fullName = g.String("fullName");
    out.abbrevName = g.String("abbrevName");
    return out;
}

ExpectedBox ReadExpectedBox(const Json& j, const std::string& path) {
    if (j.is_string()) return {j.get<std::string>(), {}, {}};
    Object b(j, path, {"caption", "text", "style"});
    ExpectedBox out;
    out.caption = json::String(b.Required("caption"), b.Path("caption"));
    out.text = b.String("text");
    if (b.Has("style")) out.style = static_cast<uint32_t>(b.Int("style", 0, UINT32_MAX));
    return out;
}

template <typename T, typename F>
std::vector<T> ReadList(const Object& parent, const char* field, F&& read) {
    std::vector<T> out;
    json::ForEach(parent, field,
                  [&](const Json& j, const std::string& path) { out.push_back(read(j, path)); });
    return out;
}

using Kind = standin::WrongAnswer::Kind;
constexpr std::pair<Kind, const char*> kAnswers[] = {{Kind::Size, "size"},
                                                     {Kind::Unterminated, "unterminated"},
                                                     {Kind::Key, "key"},
                                                     {Kind::Cycle, "cycle"},
                                                     {Kind::FullName, "full name"}};

std::vector<uint8_t> Bytes(const Json& value, const std::string& path) {
    const std::string text = json::String(value, path);
    std::vector<uint8_t> out;
    int high = -1;
    for (char c : text) {
        if (c == ' ') continue;
        const int digit =
            std::isxdigit(static_cast<unsigned char>(c))
                ? (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (c | 0x20) - 'a' + 10)
                : -1;
        if (digit < 0) Fail(path, "expected pairs of hexadecimal digits");
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0) Fail(path, "expected pairs of hexadecimal digits");
    return out;
}

// A planned failure, or a wrong-form answer: "answer" names the form, and the fields of that
// form follow ("size", "key" and "fails", "limit" and "to").
Scenario::Fault ReadFault(const Json& j, const std::string& path) {
    Object f(j, path,
             {"function", "nth", "tag", "bytes", "answer", "size", "key", "fails", "limit", "to"});
    Scenario::Fault fault;
    fault.function = json::String(f.Required("function"), f.Path("function"));
    if (std::find(std::begin(kHostFunctions), std::end(kHostFunctions), fault.function) ==
        std::end(kHostFunctions)) {
        Fail(f.Path("function"), "not a host function: " + fault.function);
    }
    fault.nth = static_cast<int>(f.Int("nth", 1, INT32_MAX));
    if (f.Has("tag")) {
        fault.tag = json::Tag(f.Raw("tag"), f.Path("tag"));
        if (fault.tag == 0)
            Fail(f.Path("tag"), "0 is no tag; leave the field out to count every tag");
    }
    if (f.Has("bytes")) fault.bytes = Bytes(f.Raw("bytes"), f.Path("bytes"));
    if (f.Has("tag") && (f.Has("bytes") || f.Has("answer"))) {
        Fail(f.Path("tag"), "only a plain failure counts the calls of one tag");
    }
    if (!f.Has("answer")) return fault;
    const std::string name = json::String(f.Raw("answer"), f.Path("answer"));
    const auto* known = std::find_if(std::begin(kAnswers), std::end(kAnswers),
                                     [&](const auto& a) { return name == a.second; });
    if (known == std::end(kAnswers)) {
        Fail(f.Path("answer"),
             "expected \"size\", \"unterminated\", \"key\", \"cycle\" or \"full name\"");
    }
    standin::WrongAnswer answer;
    answer.kind = known->first;
    if (answer.kind == Kind::Size) {
        answer.size = static_cast<int32_t>(f.Int("size", INT32_MIN, INT32_MAX));
    } else if (answer.kind == Kind::Key) {
        answer.key = ReadList<uint16_t>(f, "key", [](const Json& w, const std::string& at) {
            return static_cast<uint16_t>(json::Integer(w, at, 0, UINT16_MAX));
        });
        answer.fails = f.Bool("fails", false);
    } else if (answer.kind == Kind::Cycle) {
        answer.limit = static_cast<int>(f.Int("limit", 0, INT32_MAX, answer.limit));
        answer.to = static_cast<int>(f.Int("to", INT32_MIN + 1, INT32_MAX, answer.to));
        if (answer.to == 0) {
            Fail(f.Path("to"), "records are counted from 1, or from the last as -1");
        }
    }
    fault.answer = answer;
    return fault;
}

Scenario::Expect ReadExpect(const Json& j, const std::string& path) {
    Object e(j, path, {"result", "boxes", "groups", "unchanged", "writes"});
    Scenario::Expect out;
    if (e.Has("result")) out.result = static_cast<int>(e.Int("result", INT16_MIN, INT16_MAX));
    if (e.Has("boxes")) out.boxes = ReadList<ExpectedBox>(e, "boxes", ReadExpectedBox);
    if (e.Has("groups")) out.groups = ReadList<ExpectedGroup>(e, "groups", ReadExpectedGroup);
    out.unchanged = e.Bool("unchanged", false);
    if (e.Has("writes")) out.writes = ReadList<std::string>(e, "writes", json::String);
    return out;
}

// The document, from a file beside the scenario or in place, checked by loading it.
std::string ReadDocument(const Object& top, const std::filesystem::path& scenarioFile) {
    const Json& document = top.Required("document");
    std::string text, error;
    if (document.is_string()) {
        const std::string file =
            (scenarioFile.parent_path() / document.get<std::string>()).string();
        if (!standin::files::Read(file, text, &error)) Fail("document", error);
        if (!standin::Host::Instance().LoadDocumentJson(text, &error))
            Fail("document", file + ": " + error);
    } else if (document.is_object()) {
        text = document.dump();
        if (!standin::Host::Instance().LoadDocumentJson(text, &error)) Fail("document", error);
    } else {
        Fail("document", std::string("expected a file name or a document object, found ") +
                             json::KindOf(document));
    }
    return text;
}

void ReadScenario(const Json& root, Scenario& out) {
    Object top(root, "",
               {"name", "document", "hostVersion", "language", "enumerate", "selection", "answers",
                "fail", "expect"});
    out.name = top.String("name").value_or(std::filesystem::path(out.file).filename().string());
    if (top.Has("hostVersion"))
        out.hostVersion = HostVersion(top.Raw("hostVersion"), "hostVersion");
    if (top.Has("language")) {
        out.language = json::String(top.Raw("language"), "language");
        if (!IsLocaleName(out.language))
            Fail("language", "expected a locale such as \"de_DE.UTF-8\" or \"C\", or \"\"");
    }
    out.enumerate = top.Bool("enumerate", true);
    const Json& selection = top.Required("selection");
    if (!selection.is_null()) out.selection = ReadSelection(selection, "selection");
    out.answers = ReadList<std::string>(top, "answers", [](const Json& j, const std::string& path) {
        std::string answer = json::String(j, path);
        if (answer != "yes" && answer != "no") Fail(path, "expected \"yes\" or \"no\"");
        return answer;
    });
    out.faults = ReadList<Scenario::Fault>(top, "fail", ReadFault);
    if (top.Has("expect")) out.expect = ReadExpect(top.Raw("expect"), "expect");
    standin::Host::Instance().Reset();
    out.document = ReadDocument(top, out.file);
}

// The groups as the scenario states them, compared field by field where a field is given.
void CompareGroups(const std::vector<ExpectedGroup>& expected,
                   const std::vector<standin::GroupView>& actual,
                   std::vector<std::string>& failures) {
    if (expected.size() != actual.size()) {
        failures.push_back("expected " + std::to_string(expected.size()) + " groups, found " +
                           std::to_string(actual.size()));
        return;
    }
    for (size_t i = 0; i < actual.size(); ++i) {
        const ExpectedGroup& e = expected[i];
        const auto& g = actual[i];
        const std::string where = "group " + std::to_string(i + 1) + " (" +
                                  std::to_string(g.owner) + "/" + std::to_string(g.number) + "): ";
        auto check = [&](const char* field, const std::optional<int16_t>& want, int16_t have) {
            if (want && *want != have) {
                failures.push_back(where + field + " expected " + std::to_string(*want) +
                                   ", found " + std::to_string(have));
            }
        };
        auto first = [](const auto& range) {
            return range ? std::optional<int16_t>(range->first) : std::nullopt;
        };
        auto second = [](const auto& range) {
            return range ? std::optional<int16_t>(range->second) : std::nullopt;
        };
        check("owner", e.owner, g.owner);
        check("number", e.number, g.number);
        check("top staff", first(e.staves), g.startStaff);
        check("bottom staff", second(e.staves), g.endStaff);
        check("start measure", first(e.measures), g.startMeasure);
        check("end measure", second(e.measures), g.endMeasure);
        for (const auto& [field, want, have] :
             {std::tuple{"fullName", e.fullName, support::Utf8(g.fullName)},
              std::tuple{"abbrevName", e.abbrevName, support::Utf8(g.abbrevName)}}) {
            if (want && *want != have) {
                failures.push_back(where + field + " expected " + Quoted(*want) + ", found " +
                                   Quoted(have));
            }
        }
    }
}

void CompareBoxes(const std::vector<ExpectedBox>& expected, const std::vector<ShownBox>& actual,
                  std::vector<std::string>& failures) {
    if (expected.size() != actual.size()) {
        failures.push_back("expected " + std::to_string(expected.size()) + " message boxes, " +
                           std::to_string(actual.size()) + " were shown");
    }
    for (size_t i = 0; i < std::min(expected.size(), actual.size()); ++i) {
        const ExpectedBox& e = expected[i];
        const ShownBox& box = actual[i];
        const std::string where = "box " + std::to_string(i + 1) + ": ";
        const std::string caption = support::Utf8(box.caption), text = support::Utf8(box.text);
        if (caption != e.caption) {
            failures.push_back(where + "caption expected " + Quoted(e.caption) + ", shown " +
                               Quoted(caption));
        }
        if (e.text && text != *e.text) {
            failures.push_back(where + "text expected " + Quoted(*e.text) + ", shown " +
                               Quoted(text));
        }
        if (e.style && box.style != *e.style) {
            failures.push_back(where + "style expected " + std::to_string(*e.style) + ", shown " +
                               std::to_string(box.style));
        }
    }
}

bool IsWrite(const standin::Call& c) {
    return c.function == "FX_SaveEData" || c.function == "FX_CreateEData" ||
           c.function == "FX_DeleteEData";
}

// Host writes as "FX_SaveEData 'SDNG' (0,1,0)": function, tag and the key the plug-in passed.
std::vector<std::string> Writes() {
    std::vector<std::string> out;
    for (const standin::Call& c : standin::Host::Instance().Calls()) {
        if (!IsWrite(c)) continue;
        std::string key;
        for (uint16_t w : c.keyIn) {
            if (!key.empty()) key += ',';
            key += std::to_string(w);
        }
        out.push_back(c.function + " " + standin::TagName(c.tag) + " (" + key + ")");
    }
    return out;
}

// Every record write of the run in full, one Describe() line each: key, size, data, version and
// result.
std::string WriteTranscript() {
    std::string out;
    for (const standin::Call& c : standin::Host::Instance().Calls()) {
        if (IsWrite(c)) out += standin::Describe(c) + "\n";
    }
    return out;
}

// With VB_RECORD_WRITES=1 the run's writes become the scenario's recorded transcript, which lies
// beside it (NAME.json, NAME.writes); otherwise they must equal it byte for byte where one is
// recorded.
void CompareTranscript(const std::string& scenarioFile, std::vector<std::string>& failures) {
    const std::string file =
        std::filesystem::path(scenarioFile).replace_extension(".writes").string();
    const std::string made = WriteTranscript();
    const char* record = std::getenv("VB_RECORD_WRITES");
    if (record != nullptr && std::string(record) == "1") {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << made;
        if (!out) failures.push_back(file + ": cannot write the transcript");
        return;
    }
    std::string recorded, error;
    if (!std::filesystem::exists(file)) return;
    if (!standin::files::Read(file, recorded, &error)) {
        failures.push_back(error);
        return;
    }
    if (recorded == made) return;
    std::istringstream want(recorded), have(made);
    std::string a, b;
    for (int line = 1;; ++line) {
        const bool moreWant = static_cast<bool>(std::getline(want, a));
        const bool moreHave = static_cast<bool>(std::getline(have, b));
        if (!moreWant && !moreHave) break;
        if (moreWant && moreHave && a == b) continue;
        failures.push_back(std::filesystem::path(file).filename().string() + " line " +
                           std::to_string(line) + ": recorded \"" + (moreWant ? a : "(nothing)") +
                           "\", made \"" + (moreHave ? b : "(nothing)") + "\"");
        break;
    }
}

// With VB_CALL_TRACE=FOLDER every host call of the run, one Describe() line each in the order
// made, goes to FOLDER/NAME.calls (NAME.json the scenario): what a refactoring compares before
// and after, call for call. Nothing is compared here.
void WriteCallTrace(const std::string& scenarioFile, std::vector<std::string>& failures) {
    const char* folder = std::getenv("VB_CALL_TRACE");
    if (folder == nullptr || *folder == '\0') return;
    const std::string file =
        (std::filesystem::path(folder) / std::filesystem::path(scenarioFile).filename())
            .replace_extension(".calls")
            .string();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const standin::Call& c : standin::Host::Instance().Calls()) {
        out << standin::Describe(c) << "\n";
    }
    if (!out) failures.push_back(file + ": cannot write the call trace");
}

std::string Hex(uint32_t value) {
    char text[11];
    std::snprintf(text, sizeof(text), "0x%08X", value);
    return text;
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0xF]);
    }
    return out;
}

Json SelectionJson(const Selection& s) {
    Json out = {{"system", s.system}};
    if (s.endSystem) out["endSystem"] = *s.endSystem;
    out["slots"] = {s.startSlot, s.endSlot};
    out["measures"] = {s.startMeasure, s.endMeasure};
    if (s.startPos != 0 || s.endPos != Selection{}.endPos)
        out["positions"] = {s.startPos, s.endPos};
    return out;
}

Json FaultJson(const Scenario::Fault& f) {
    Json out = {{"function", f.function}, {"nth", f.nth}};
    if (f.tag != 0) out["tag"] = Hex(f.tag);
    if (f.bytes) out["bytes"] = HexBytes(*f.bytes);
    if (!f.answer) return out;
    for (const auto& [kind, name] : kAnswers) {
        if (kind == f.answer->kind) out["answer"] = name;
    }
    if (f.answer->kind == Kind::Size) out["size"] = f.answer->size;
    if (f.answer->kind == Kind::Key) {
        out["key"] = f.answer->key;
        if (f.answer->fails) out["fails"] = true;
    }
    if (f.answer->kind == Kind::Cycle) {
        out["limit"] = f.answer->limit;
        if (f.answer->to != 1) out["to"] = f.answer->to;
    }
    return out;
}

Json ExpectJson(const Scenario::Expect& e) {
    Json out = Json::object();
    if (e.result) out["result"] = *e.result;
    if (e.boxes) {
        out["boxes"] = Json::array();
        for (const ExpectedBox& b : *e.boxes) {
            if (!b.text && !b.style) {
                out["boxes"].push_back(b.caption);
                continue;
            }
            Json box = {{"caption", b.caption}};
            if (b.text) box["text"] = *b.text;
            if (b.style) box["style"] = *b.style;
            out["boxes"].push_back(box);
        }
    }
    if (e.groups) {
        out["groups"] = Json::array();
        for (const ExpectedGroup& g : *e.groups) {
            Json group = Json::object();
            if (g.owner) group["owner"] = *g.owner;
            if (g.number) group["number"] = *g.number;
            if (g.staves) group["staves"] = {g.staves->first, g.staves->second};
            if (g.measures) group["measures"] = {g.measures->first, g.measures->second};
            if (g.fullName) group["fullName"] = *g.fullName;
            if (g.abbrevName) group["abbrevName"] = *g.abbrevName;
            out["groups"].push_back(group);
        }
    }
    if (e.unchanged) out["unchanged"] = true;
    if (e.writes) out["writes"] = *e.writes;
    return out;
}

}  // namespace

std::string WriteScenario(const Scenario& scenario) {
    Json out = {{"name", scenario.name},
                {"document", json::Parse(scenario.document)},
                {"hostVersion", Hex(scenario.hostVersion)}};
    if (scenario.language != Scenario{}.language) out["language"] = scenario.language;
    if (!scenario.enumerate) out["enumerate"] = false;
    out["selection"] = scenario.selection ? SelectionJson(*scenario.selection) : Json();
    if (!scenario.answers.empty()) out["answers"] = scenario.answers;
    if (!scenario.faults.empty()) {
        out["fail"] = Json::array();
        for (const Scenario::Fault& f : scenario.faults) out["fail"].push_back(FaultJson(f));
    }
    out["expect"] = ExpectJson(scenario.expect);
    return out.dump(2) + "\n";
}

void PlanFaults(standin::Host& host, const std::vector<Scenario::Fault>& faults) {
    for (const Scenario::Fault& f : faults) {
        if (f.answer) {
            host.AnswerWrongly(f.function, f.nth, *f.answer);
        } else if (f.bytes) {
            host.FailCallWritingBytes(f.function, f.nth, *f.bytes);
        } else {
            host.FailCall(f.function, f.nth, f.tag);
        }
    }
}

std::string Describe(const Scenario::Fault& f) {
    std::string text = f.function + " call " + std::to_string(f.nth);
    if (f.tag != 0) text += " for " + standin::TagName(f.tag);
    if (f.answer) return text + " answers " + standin::Describe(*f.answer);
    if (f.bytes) return text + " fails, writing " + HexBytes(*f.bytes);
    return text + " fails";
}

bool LoadScenario(const std::string& path, Scenario& out, std::string* error) {
    out = Scenario{};
    out.file = path;
    std::string text;
    if (!standin::files::Read(path, text, error)) return false;
    try {
        ReadScenario(json::Parse(text), out);
        return true;
    } catch (const json::Error& e) {
        if (error) *error = path + ": " + e.message;
    }
    return false;
}

ScenarioOutcome RunScenario(const Scenario& scenario, const std::string& pluginPath) {
    ScenarioOutcome outcome;
    outcome.name = scenario.name;
    standin::Host& host = standin::Host::Instance();
    host.Reset();
    host.LogCalls(true);  // the writes are compared
    host.SetVersion(scenario.hostVersion);
    std::string error;
    if (!host.LoadDocumentJson(scenario.document, &error)) {
        outcome.error = scenario.file + ": document: " + error;
        return outcome;
    }
    PlanFaults(host, scenario.faults);
    const std::string before = host.SaveDocumentJson();

    const LanguageScope language(scenario.language);
    if (!language.Error().empty()) {
        outcome.error = scenario.file + ": " + language.Error();
        return outcome;
    }
    Session session;
    if (!session.Start(pluginPath, scenario.hostVersion, &error, scenario.enumerate)) {
        outcome.error = error;
        return outcome;
    }
    host.ClearCalls();
    const CommandRun run = session.Invoke(scenario.selection, ScriptedAnswers(scenario.answers));
    session.Stop();
    // A fault that never takes effect leaves the scenario showing nothing of what it plans.
    for (const int plan : host.UnfiredFaults()) {
        const auto i = static_cast<size_t>(plan - 1);
        if (i >= scenario.faults.size()) continue;
        outcome.failures.push_back(json::At("fail", i) +
                                   " never took effect: " + Describe(scenario.faults[i]));
    }

    std::ostringstream transcript;
    for (const ShownBox& box : run.boxes) transcript << Render(box);
    transcript << "result " << run.result << "\ngroups after:\n" << GroupTable(host.Groups());
    for (const std::string& w : Writes()) transcript << "  " << w << "\n";
    outcome.transcript = transcript.str();

    const Scenario::Expect& expect = scenario.expect;
    if (expect.result && *expect.result != run.result) {
        outcome.failures.push_back("result expected " + std::to_string(*expect.result) +
                                   ", returned " + std::to_string(run.result));
    }
    if (expect.boxes) CompareBoxes(*expect.boxes, run.boxes, outcome.failures);
    if (expect.groups) CompareGroups(*expect.groups, host.Groups(), outcome.failures);
    if (expect.unchanged && host.SaveDocumentJson() != before) {
        outcome.failures.push_back("the document changed");
    }
    if (expect.writes) {
        const auto writes = Writes();
        if (writes != *expect.writes) {
            std::string text =
                writes.empty() ? "host writes differ; made none" : "host writes differ; made:";
            for (const auto& w : writes) text += "\n    " + w;
            outcome.failures.push_back(text);
        }
    }
    CompareTranscript(scenario.file, outcome.failures);
    WriteCallTrace(scenario.file, outcome.failures);
    outcome.passed = outcome.failures.empty();
    return outcome;
}

ScenarioOutcome RunScenarioFile(const std::string& path, const std::string& pluginPath) {
    Scenario scenario;
    std::string error;
    if (!LoadScenario(path, scenario, &error)) {
        ScenarioOutcome outcome;
        outcome.name = std::filesystem::path(path).filename().string();
        outcome.error = error;
        outcome.failures.push_back(error);
        return outcome;
    }
    ScenarioOutcome outcome = RunScenario(scenario, pluginPath);
    if (!outcome.error.empty()) outcome.failures.push_back(outcome.error);
    return outcome;
}

std::vector<std::string> ScenarioFiles(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".json") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace driver
