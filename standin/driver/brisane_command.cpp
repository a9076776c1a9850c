#include "brisane_command.h"

#include <iostream>
#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#define IS_TERMINAL() (_isatty(0) != 0)
#else
#include <unistd.h>
#define IS_TERMINAL() (isatty(0) != 0)
#endif

#include "message_boxes.h"
#include "picture/labels.h"
#include "picture/picture.h"
#include "report.h"
#include "session.h"
#include "standin/files.h"
#include "standin/host.h"
#include "support/utf8.h"

namespace driver::brisane {
namespace {

namespace labels = picture::labels;

// The document loaded, in the languages of the report and of the pictures, and the selection
// checked against it, with its top and bottom staff.
struct Prepared {
    std::optional<Selection> selection;
    uint32_t hostVersion = 0;
    Language language, drawnIn;
    const labels::Labels* words = nullptr;
    int16_t top = 0, bottom = 0;
    std::optional<MarkedSelection> marked;
};

// "18 "Violin I"": a staff as the reader knows it.
std::string StaffText(int16_t staff) {
    const std::string name = standin::Host::Instance().StaffName(staff);
    return std::to_string(staff) + (name.empty() ? "" : " " + Quoted(name));
}

std::string Describe(const std::optional<Selection>& s, int16_t top, int16_t bottom) {
    if (!s) return "none";
    const bool one = s->startSlot == s->endSlot;
    std::string text =
        one ? "staff " + StaffText(top) : "staves " + StaffText(top) + " to " + StaffText(bottom);
    text += " (slot" + std::string(one ? " " : "s ") + std::to_string(s->startSlot) +
            (one ? "" : " to " + std::to_string(s->endSlot)) + " of staff system " +
            std::to_string(s->system) + "), measure" +
            (s->startMeasure == s->endMeasure
                 ? " " + std::to_string(s->startMeasure)
                 : "s " + std::to_string(s->startMeasure) + " to " + std::to_string(s->endMeasure));
    if (s->startPos != 0 || s->endPos != 0x7FFFFFFF) {
        text += " (from position " + std::to_string(s->startPos) + " to " +
                std::to_string(s->endPos) + ")";
    }
    return text;
}

Picture PictureOf(const std::string& title, const std::optional<MarkedSelection>& selection) {
    const standin::Host& host = standin::Host::Instance();
    Picture p;
    p.title = title;
    for (int16_t staff : host.StaffSystem(0)) p.staves.emplace_back(staff, host.StaffName(staff));
    p.measureCount = host.MeasureCount();
    p.groups = host.Groups();
    p.selection = selection;
    return p;
}

// The selection as the picture marks it, with the staves its staff system hides, described in
// the pictures' words.
MarkedSelection Marked(const Selection& s, int16_t top, int16_t bottom,
                       const labels::Labels& words) {
    const standin::Host& host = standin::Host::Instance();
    const auto staff = [&](int16_t number) {
        return labels::Staff{number, host.StaffName(number)};
    };
    MarkedSelection marked{top, bottom, s.startMeasure, s.endMeasure, {}, {}};
    labels::Selected described{staff(top), staff(bottom),  s.system,
                               {},         s.startMeasure, s.endMeasure};
    const std::vector<int16_t> list = host.StaffSystem(s.system);
    const std::unordered_set<int16_t> shown(list.begin(), list.end());
    for (int16_t number : host.StaffSystem(0)) {
        if (shown.count(number) != 0) continue;
        marked.hidden.push_back(number);
        described.hidden.push_back(staff(number));
    }
    marked.description = words.selection(described);
    return marked;
}

// Loads the document into the host at the options' version and checks the selection and the
// outputs against it; false with `error` for a document that cannot be read.
bool Prepare(const Options& o, Prepared& run, std::string* error) {
    run.selection = SelectionOf(o);
    run.hostVersion = HostVersion(o);
    standin::Host& host = standin::Host::Instance();
    host.Reset();
    host.SetVersion(run.hostVersion);
    if (!host.LoadDocumentFile(o.document, error)) return false;
    run.language = ChosenLanguage();
    run.drawnIn = PicturesLanguage(o, run.language);
    run.words = &labels::In(run.drawnIn.code);
    if (run.selection) {
        CheckSelection(*run.selection, o);
        const std::vector<int16_t> system = host.StaffSystem(run.selection->system);
        run.top = system[static_cast<size_t>(run.selection->startSlot - 1)];
        run.bottom = system[static_cast<size_t>(run.selection->endSlot - 1)];
        run.marked = Marked(*run.selection, run.top, run.bottom, *run.words);
    }
    CheckOutputs(o);
    return true;
}

// The plug-in as it names itself, the host version, the languages, and the document.
void PrintHeader(std::ostream& out, const Options& o, const Enumeration& e, const Prepared& run) {
    const standin::Host& host = standin::Host::Instance();
    out << "Plug-in: " << Printable(support::Utf8(e.title)) << " - "
        << Printable(support::Utf8(e.description)) << "\n  menu entry "
        << Quoted(support::Utf8(e.shortName)) << ", host version 0x" << std::hex << run.hostVersion
        << std::dec << ", language " << run.language.name << " (" << Printable(run.language.source)
        << ")";
    // The pictures' language, where there are pictures or it is not the plug-in's.
    if (o.Has("--svg") || run.drawnIn.code != run.language.code) {
        out << ", pictures in " << run.drawnIn.name
            << (o.Has("--language") ? " (" + Printable(run.drawnIn.source) + ")" : "");
    }
    out << "\n";
    out << "Document: " << Printable(o.document) << " (" << host.StaffSystem(0).size()
        << " staves, " << host.MeasureCount() << " measures)\n";
}

// Plays the user: the answer --yes or --no gives, else a line of the input, from a terminal or a
// pipe alike, asked on `out`.
BoxAnswerer Answerer(const Options& o, std::ostream& out) {
    if (o.Has("--yes") || o.Has("--no")) return ScriptedAnswers({o.Has("--yes") ? "yes" : "no"});
    return AnswersFromInput(std::cin, out, !IS_TERMINAL());
}

// The boxes the command showed, what it returned, and the groups it left.
void PrintOutcome(std::ostream& out, const Options& o, const CommandRun& run) {
    const bool quiet = o.Has("--quiet");
    const bool asked = !o.Has("--yes") && !o.Has("--no");
    if (!quiet || !run.boxes.empty()) out << "\n";
    for (const ShownBox& box : run.boxes) {
        // A question asked above is not shown twice: only the button it was answered with.
        if (asked && (box.style & 0xF) == kStyleYesNo) {
            out << "+-- " << Printable(support::Utf8(box.caption))
                << " --  pressed: " << Pressed(box) << "\n\n";
        } else {
            out << Render(box) << "\n";
        }
    }
    out << "The command returned " << run.result
        << (run.result == 1 ? " (groups were split)" : " (nothing was split)") << ".\n";
    if (!quiet) out << "\nGroups after:\n" << GroupTable(standin::Host::Instance().Groups());
}

// Writes --output and --svg, all or none, each made whole before any is written; the report's
// last lines, naming them, are printed, and must arrive, before the files replace their
// targets. A report that cannot be printed fails the run before any output is written.
int WriteOutputs(const Options& o, const Prepared& run, const Picture& before, int status,
                 const Report& report) {
    std::vector<std::pair<std::string, std::string>> outputs;
    std::vector<std::string> done;
    if (o.Has("--output")) {
        outputs.emplace_back(o.Value("--output"), standin::Host::Instance().SaveDocumentJson());
        done.push_back("Written: " + Printable(o.Value("--output")));
    }
    if (o.Has("--svg")) {
        const Picture after = PictureOf(std::string(run.words->after), run.marked);
        outputs.emplace_back(o.Value("--svg"), GroupsSvg({before, after}, run.words->code));
        done.push_back("Drawn: " + Printable(o.Value("--svg")));
    }
    if (outputs.empty()) return status;
    if (std::string why = report.printed.WriteError(); !why.empty())
        return Refuse(why + "; nothing was written");
    const auto reportEnds = [&](std::string* why) {
        if (!o.Has("--quiet")) {
            report.out << "\n";
            for (const std::string& line : done) report.out << line << "\n";
        }
        *why = report.printed.WriteError();
        return why->empty();
    };
    if (std::string error; !standin::files::WriteAll(outputs, &error, reportEnds))
        return Refuse(error);
    return status;
}

}  // namespace

int Refuse(const std::string& message) {
    std::cerr << "brisane: " << Printable(message) << "\n";
    return kExitUsage;
}

int RunCommand(const Options& o, const std::string& plugin, const Report& report) {
    Prepared run;
    std::string error;
    if (!Prepare(o, run, &error)) return Refuse(error);
    Session session;
    if (!session.Start(plugin, run.hostVersion, &error)) return Refuse(error);
    std::ostream& out = report.out;
    const bool quiet = o.Has("--quiet");
    if (!quiet) PrintHeader(out, o, session.GetEnumeration(), run);
    out << "Selection: " << Describe(run.selection, run.top, run.bottom) << "\n";
    if (!quiet) out << "\nGroups before:\n" << GroupTable(standin::Host::Instance().Groups());
    const Picture before = PictureOf(std::string(run.words->before), run.marked);

    const CommandRun command = session.Invoke(run.selection, Answerer(o, out));
    session.Stop();
    PrintOutcome(out, o, command);
    const int status = command.result == 1 ? kExitSplit : kExitUnchanged;
    return WriteOutputs(o, run, before, status, report);
}

}  // namespace driver::brisane
