#include "cases.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace validate {

void LoadDocument(standin::Host& host, const driver::Scenario& scenario) {
    host.Reset();
    host.LogCalls(true);
    host.SetVersion(scenario.hostVersion);
    std::string error;
    if (!host.LoadDocumentJson(scenario.document, &error)) {
        throw std::runtime_error(scenario.name + ": document: " + error);
    }
}

CaseRun RunCase(const Plugin& plugin, standin::Host& host, const driver::Scenario& scenario,
                size_t nextCallLimit) {
    host.SetVersion(scenario.hostVersion);
    const DocumentState before = CaptureDocument(host);
    plugin.StartUp(scenario.hostVersion, scenario.enumerate);
    host.LogCalls(true);  // every call is judged
    host.ClearCalls();
    host.ClearFaults();
    driver::PlanFaults(host, scenario.faults);
    CaseRun run;
    run.command = plugin.Invoke(scenario.selection, scenario.answers);
    host.ClearFaults();
    RunFacts facts;
    facts.result = run.command.result;
    facts.hostVersion = scenario.hostVersion;
    if (scenario.selection) {
        facts.startMeasure = scenario.selection->startMeasure;
        facts.endMeasure = scenario.selection->endMeasure;
    }
    facts.nextCallLimit = nextCallLimit;
    facts.wholePieces = scenario.faults.size() <= 1;
    facts.hostFaulted = !scenario.faults.empty();
    for (const driver::ShownBox& box : run.command.boxes) facts.boxStyles.push_back(box.style);
    run.violations = CheckRun(before, host, facts);
    for (std::string& change : plugin.TakeLanguageChanges()) run.violations.push_back(change);
    return run;
}

std::string WriteFinding(const std::string& folder, const std::string& stem,
                         const driver::Scenario& scenario) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::string name;
    for (char c : stem) name.push_back(std::isalnum(static_cast<unsigned char>(c)) ? c : '-');
    const std::filesystem::path path = std::filesystem::path(folder) / (name + ".json");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << driver::WriteScenario(scenario);
    out.close();
    return out ? path.string() : std::string();
}

}  // namespace validate
