#include "scenario.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "report.h"
#include "session.h"
#include "standin/host.h"

namespace driver {
namespace {

using nlohmann::json;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path.string() + ": cannot read the file");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

uint32_t Number(const json& value) {
    if (value.is_string())
        return static_cast<uint32_t>(std::stoul(value.get<std::string>(), nullptr, 0));
    return value.get<uint32_t>();
}

std::string Hex32(uint32_t value) {
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

std::vector<uint8_t> BytesFromHex(const std::string& text) {
    std::vector<uint8_t> out;
    std::string digits;
    for (char c : text) {
        if (c != ' ') digits.push_back(c);
    }
    if (digits.size() % 2 != 0) throw std::runtime_error("bytes: odd number of hex digits");
    for (size_t i = 0; i < digits.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return out;
}

Selection ParseSelection(const json& s) {
    Selection out;
    out.system = s.value("system", int16_t{0});
    if (s.contains("endSystem")) out.endSystem = s["endSystem"].get<int16_t>();
    out.startSlot = s.at("slots").at(0).get<int16_t>();
    out.endSlot = s.at("slots").at(1).get<int16_t>();
    out.startMeasure = s.at("measures").at(0).get<int16_t>();
    out.endMeasure = s.at("measures").at(1).get<int16_t>();
    if (s.contains("positions")) {
        out.startPos = s.at("positions").at(0).get<int32_t>();
        out.endPos = s.at("positions").at(1).get<int32_t>();
    }
    return out;
}

json SelectionJson(const Selection& s) {
    json out = {{"system", s.system},
                {"slots", {s.startSlot, s.endSlot}},
                {"measures", {s.startMeasure, s.endMeasure}}};
    if (s.endSystem) out["endSystem"] = *s.endSystem;
    if (s.startPos != 0 || s.endPos != Selection{}.endPos) {
        out["positions"] = {s.startPos, s.endPos};
    }
    return out;
}

using Kind = standin::WrongAnswer::Kind;
constexpr std::pair<Kind, const char*> kAnswerNames[] = {{Kind::Size, "size"},
                                                         {Kind::Unterminated, "unterminated"},
                                                         {Kind::Key, "key"},
                                                         {Kind::Cycle, "cycle"},
                                                         {Kind::FullName, "full name"}};

PlannedFault ParseFault(const json& f) {
    PlannedFault fault;
    fault.function = f.at("function").get<std::string>();
    fault.nth = f.at("nth").get<int>();
    if (f.contains("bytes")) fault.bytes = BytesFromHex(f["bytes"].get<std::string>());
    if (!f.contains("answer")) return fault;
    const std::string name = f["answer"].get<std::string>();
    standin::WrongAnswer answer;
    const auto* known = std::find_if(std::begin(kAnswerNames), std::end(kAnswerNames),
                                     [&](const auto& entry) { return name == entry.second; });
    if (known == std::end(kAnswerNames))
        throw std::runtime_error("unknown answer \"" + name + "\"");
    answer.kind = known->first;
    if (answer.kind == Kind::Size) answer.size = f.at("size").get<int32_t>();
    if (answer.kind == Kind::Key) {
        answer.key = f.at("key").get<std::vector<uint16_t>>();
        answer.fails = f.value("fails", false);
    }
    if (answer.kind == Kind::Cycle) answer.limit = f.value("limit", answer.limit);
    fault.answer = answer;
    return fault;
}

json FaultJson(const PlannedFault& fault) {
    json out = {{"function", fault.function}, {"nth", fault.nth}};
    if (fault.bytes) out["bytes"] = HexBytes(*fault.bytes);
    if (!fault.answer) return out;
    const standin::WrongAnswer& answer = *fault.answer;
    for (const auto& [kind, name] : kAnswerNames) {
        if (kind == answer.kind) out["answer"] = name;
    }
    if (answer.kind == Kind::Size) out["size"] = answer.size;
    if (answer.kind == Kind::Key) out["key"] = answer.key;
    if (answer.fails) out["fails"] = true;
    if (answer.kind == Kind::Cycle) out["limit"] = answer.limit;
    return out;
}

// The groups as the scenario states them, compared field by field where a field is given.
void CompareGroups(const json& expected, const std::vector<standin::GroupView>& actual,
                   std::vector<std::string>& failures) {
    if (expected.size() != actual.size()) {
        failures.push_back("expected " + std::to_string(expected.size()) + " groups, found " +
                           std::to_string(actual.size()));
        return;
    }
    for (size_t i = 0; i < actual.size(); ++i) {
        const json& e = expected[i];
        const auto& g = actual[i];
        const std::string where = "group " + std::to_string(i + 1) + " (" +
                                  std::to_string(g.owner) + "/" + std::to_string(g.number) + "): ";
        auto check = [&](const char* field, long want, long have) {
            if (want != have) {
                failures.push_back(where + field + " expected " + std::to_string(want) +
                                   ", found " + std::to_string(have));
            }
        };
        if (e.contains("owner")) check("owner", e["owner"].get<long>(), g.owner);
        if (e.contains("number")) check("number", e["number"].get<long>(), g.number);
        if (e.contains("staves")) {
            check("top staff", e["staves"][0].get<long>(), g.startStaff);
            check("bottom staff", e["staves"][1].get<long>(), g.endStaff);
        }
        if (e.contains("measures")) {
            check("start measure", e["measures"][0].get<long>(), g.startMeasure);
            check("end measure", e["measures"][1].get<long>(), g.endMeasure);
        }
        for (const char* field : {"fullName", "abbrevName"}) {
            if (!e.contains(field)) continue;
            const bool full = std::string(field) == "fullName";
            const std::string have = standin::Utf8(full ? g.fullName : g.abbrevName);
            const std::string want = e[field].get<std::string>();
            if (have != want) {
                failures.push_back(where + field + " expected \"" + want + "\", found \"" + have +
                                   "\"");
            }
        }
    }
}

void CompareBoxes(const json& expected, const std::vector<ShownBox>& actual,
                  std::vector<std::string>& failures) {
    if (expected.size() != actual.size()) {
        failures.push_back("expected " + std::to_string(expected.size()) + " message boxes, " +
                           std::to_string(actual.size()) + " were shown");
    }
    for (size_t i = 0; i < std::min(expected.size(), actual.size()); ++i) {
        const json& e = expected[i];
        const ShownBox& box = actual[i];
        const std::string where = "box " + std::to_string(i + 1) + ": ";
        const std::string caption =
            e.is_string() ? e.get<std::string>() : e.at("caption").get<std::string>();
        if (standin::Utf8(box.caption) != caption) {
            failures.push_back(where + "caption expected \"" + caption + "\", shown \"" +
                               standin::Utf8(box.caption) + "\"");
        }
        if (e.is_object() && e.contains("text") &&
            standin::Utf8(box.text) != e["text"].get<std::string>()) {
            failures.push_back(where + "text expected \"" + e["text"].get<std::string>() +
                               "\", shown \"" + standin::Utf8(box.text) + "\"");
        }
        if (e.is_object() && e.contains("style") && box.style != e["style"].get<uint32_t>()) {
            failures.push_back(where + "style expected " +
                               std::to_string(e["style"].get<uint32_t>()) + ", shown " +
                               std::to_string(box.style));
        }
    }
}

// Host writes as "FX_SaveEData 'SDNG' (0,1,0)": function, tag and the key the plug-in passed.
std::vector<std::string> Writes() {
    std::vector<std::string> out;
    for (const standin::Call& c : standin::Host::Instance().Calls()) {
        if (c.function != "FX_SaveEData" && c.function != "FX_CreateEData" &&
            c.function != "FX_DeleteEData") {
            continue;
        }
        std::string key;
        for (uint16_t w : c.keyIn) key += (key.empty() ? "" : ",") + std::to_string(w);
        out.push_back(c.function + " " + standin::TagName(c.tag) + " (" + key + ")");
    }
    return out;
}

void Run(const std::filesystem::path& path, const std::string& pluginPath,
         ScenarioOutcome& outcome) {
    const Scenario scenario = ReadScenario(path.string());
    outcome.name = scenario.name;
    standin::Host& host = standin::Host::Instance();
    host.Reset();
    const uint32_t hostVersion = scenario.hostVersion;
    host.SetVersion(hostVersion);

    std::string error;
    if (!host.LoadDocumentJson(scenario.document, &error)) {
        throw std::runtime_error(path.string() + ": document: " + error);
    }
    PlanFaults(host, scenario.faults);
    const std::string before = host.SaveDocumentJson();

    Session session;
    if (!session.Start(pluginPath, hostVersion, &error)) throw std::runtime_error(error);
    host.ClearCalls();
    const CommandRun run = session.Invoke(scenario.selection, ScriptedAnswers(scenario.answers));
    session.Stop();

    std::ostringstream transcript;
    for (const ShownBox& box : run.boxes) transcript << Render(box);
    transcript << "result " << run.result << "\ngroups after:\n" << GroupTable(host.Groups());
    for (const std::string& w : Writes()) transcript << "  " << w << "\n";
    outcome.transcript = transcript.str();

    const json& expect = scenario.expect;
    if (expect.contains("result") && expect["result"].get<int>() != run.result) {
        outcome.failures.push_back("result expected " +
                                   std::to_string(expect["result"].get<int>()) + ", returned " +
                                   std::to_string(run.result));
    }
    if (expect.contains("boxes")) CompareBoxes(expect["boxes"], run.boxes, outcome.failures);
    if (expect.contains("groups")) CompareGroups(expect["groups"], host.Groups(), outcome.failures);
    if (expect.value("unchanged", false) && host.SaveDocumentJson() != before) {
        outcome.failures.push_back("the document changed");
    }
    if (expect.contains("writes")) {
        const auto writes = Writes();
        const auto want = expect["writes"].get<std::vector<std::string>>();
        if (writes != want) {
            std::string text = "host writes differ; made:";
            for (const auto& w : writes) text += "\n    " + w;
            outcome.failures.push_back(text);
        }
    }
}

}  // namespace

Scenario ReadScenario(const std::string& path) {
    const std::filesystem::path file(path);
    try {
        const json in = json::parse(ReadFile(file));
        Scenario scenario;
        scenario.name = in.value("name", file.filename().string());
        const json& document = in.at("document");
        scenario.document = document.is_string()
                                ? ReadFile(file.parent_path() / document.get<std::string>())
                                : document.dump();
        if (in.contains("hostVersion")) scenario.hostVersion = Number(in["hostVersion"]);
        if (!in.at("selection").is_null()) scenario.selection = ParseSelection(in["selection"]);
        scenario.answers = in.value("answers", std::vector<std::string>{});
        for (const json& fault : in.value("fail", json::array())) {
            scenario.faults.push_back(ParseFault(fault));
        }
        scenario.expect = in.at("expect");
        return scenario;
    } catch (const json::exception& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

std::string WriteScenario(const Scenario& scenario) {
    json out = {{"name", scenario.name},
                {"document", json::parse(scenario.document)},
                {"hostVersion", Hex32(scenario.hostVersion)},
                {"selection", scenario.selection ? SelectionJson(*scenario.selection) : json()}};
    if (!scenario.answers.empty()) out["answers"] = scenario.answers;
    if (!scenario.faults.empty()) {
        out["fail"] = json::array();
        for (const PlannedFault& fault : scenario.faults) out["fail"].push_back(FaultJson(fault));
    }
    out["expect"] = scenario.expect;
    return out.dump(2) + "\n";
}

void PlanFaults(standin::Host& host, const std::vector<PlannedFault>& faults) {
    for (const PlannedFault& fault : faults) {
        if (fault.answer) {
            host.AnswerWrongly(fault.function, fault.nth, *fault.answer);
        } else if (fault.bytes) {
            host.FailCallWritingBytes(fault.function, fault.nth, *fault.bytes);
        } else {
            host.FailCall(fault.function, fault.nth);
        }
    }
}

std::string Describe(const PlannedFault& fault) {
    std::string text = fault.function + " call " + std::to_string(fault.nth);
    if (fault.answer) return text + " answers " + standin::Describe(*fault.answer);
    if (fault.bytes) return text + " fails writing " + HexBytes(*fault.bytes);
    return text + " fails";
}

ScenarioOutcome RunScenarioFile(const std::string& path, const std::string& pluginPath) {
    ScenarioOutcome outcome;
    outcome.name = std::filesystem::path(path).filename().string();
    try {
        Run(path, pluginPath, outcome);
    } catch (const std::exception& e) {
        outcome.failures.push_back(std::string(path) + ": " + e.what());
    }
    outcome.passed = outcome.failures.empty();
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
