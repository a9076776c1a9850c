#include "scenario.h"

#include <algorithm>
#include <cstdlib>
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

Selection ParseSelection(const json& s) {
    Selection out;
    out.system = s.value("system", int16_t{0});
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

// The recorded transcript of a scenario lies beside it: NAME.json, NAME.writes.
std::filesystem::path TranscriptPath(const std::filesystem::path& scenario) {
    return std::filesystem::path(scenario).replace_extension(".writes");
}

// With VB_RECORD_WRITES=1 the run's writes become the scenario's recorded transcript; otherwise
// they must equal it byte for byte where one is recorded.
void CompareTranscript(const std::filesystem::path& scenario, std::vector<std::string>& failures) {
    const std::filesystem::path file = TranscriptPath(scenario);
    const std::string made = WriteTranscript();
    const char* record = std::getenv("VB_RECORD_WRITES");
    if (record != nullptr && std::string(record) == "1") {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << made;
        if (!out) failures.push_back(file.string() + ": cannot write the transcript");
        return;
    }
    if (!std::filesystem::exists(file)) return;
    const std::string recorded = ReadFile(file);
    if (recorded == made) return;
    std::istringstream want(recorded), have(made);
    std::string a, b;
    for (int line = 1;; ++line) {
        const bool moreWant = static_cast<bool>(std::getline(want, a));
        const bool moreHave = static_cast<bool>(std::getline(have, b));
        if (!moreWant && !moreHave) break;
        if (moreWant && moreHave && a == b) continue;
        failures.push_back(file.filename().string() + " line " + std::to_string(line) +
                           ": recorded \"" + (moreWant ? a : "(nothing)") + "\", made \"" +
                           (moreHave ? b : "(nothing)") + "\"");
        break;
    }
}

void Run(const std::filesystem::path& path, const std::string& pluginPath,
         ScenarioOutcome& outcome) {
    const json scenario = json::parse(ReadFile(path));
    outcome.name = scenario.value("name", path.filename().string());
    standin::Host& host = standin::Host::Instance();
    host.Reset();
    host.LogCalls(true);  // the writes are compared
    const uint32_t hostVersion =
        scenario.contains("hostVersion") ? Number(scenario["hostVersion"]) : 0x19000000;
    host.SetVersion(hostVersion);

    std::string error;
    const json& document = scenario.at("document");
    const bool loaded =
        document.is_string()
            ? host.LoadDocumentFile((path.parent_path() / document.get<std::string>()).string(),
                                    &error)
            : host.LoadDocumentJson(document.dump(), &error);
    if (!loaded) throw std::runtime_error(error);
    for (const json& fault : scenario.value("fail", json::array())) {
        host.FailCall(fault.at("function").get<std::string>(), fault.at("nth").get<int>());
    }
    const std::string before = host.SaveDocumentJson();

    Session session;
    if (!session.Start(pluginPath, hostVersion, &error)) throw std::runtime_error(error);
    std::optional<Selection> selection;
    if (!scenario.at("selection").is_null()) selection = ParseSelection(scenario["selection"]);
    host.ClearCalls();
    std::vector<std::string> answers = scenario.value("answers", std::vector<std::string>{});
    const CommandRun run = session.Invoke(selection, ScriptedAnswers(answers));
    session.Stop();

    std::ostringstream transcript;
    for (const ShownBox& box : run.boxes) transcript << Render(box);
    transcript << "result " << run.result << "\ngroups after:\n" << GroupTable(host.Groups());
    for (const std::string& w : Writes()) transcript << "  " << w << "\n";
    outcome.transcript = transcript.str();

    const json& expect = scenario.at("expect");
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
    CompareTranscript(path, outcome.failures);
}

}  // namespace

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
