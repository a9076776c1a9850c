// Writes docs/performance.md and its plot, end to end: reads the results of vb_benchmarks (JSON),
// runs the host program `brisane` on generated scores (each run a process of its own, its wall
// time and peak memory measured), counts the host calls of the command once more at doubled
// sizes, and reads the Windows module measurements when there are some.
//
// Usage: vb_performance --benchmarks FILE --brisane PATH --plugin PATH --work DIR
//                       --markdown FILE --svg FILE [--windows FILE]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "benchmark_list.h"
#include "score_generator.h"
#include "standin/host.h"

namespace {

using bench::CommandName;
using bench::DocumentName;
using bench::kGroups;
using bench::kMeasures;
using bench::kStaves;
using driver::ScoreShape;
using driver::ScoreSize;
using Json = nlohmann::json;

constexpr ScoreSize kLargest{250, 2000, 2000};
constexpr double kLargestMemoryLimitMB = 64, kLargestTimeLimit = 1;
// The picture (--svg) may at most double brisane's processor time on the largest score; a
// score four times larger in every way must not make it taller.
constexpr double kPictureCostLimit = 2;
constexpr ScoreSize kHuge{1000, 8000, 8000};
constexpr int kPictureRounds = 5;
// Host calls of one command before it read the staff lists, staves, fonts, end measure and
// document number once per command (orchestral shape; measured at commit e90d45b).
constexpr uint64_t kCallsBefore[] = {267663, 1072215};

struct Options {
    std::string benchmarks, brisane, plugin, work, markdown, svg, windows;
};

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i], value = argv[i + 1];
        if (arg == "--benchmarks")
            o.benchmarks = value;
        else if (arg == "--brisane")
            o.brisane = value;
        else if (arg == "--plugin")
            o.plugin = value;
        else if (arg == "--work")
            o.work = value;
        else if (arg == "--markdown")
            o.markdown = value;
        else if (arg == "--svg")
            o.svg = value;
        else if (arg == "--windows")
            o.windows = value;
        else
            throw std::runtime_error("unknown option " + arg);
    }
    if (o.benchmarks.empty() || o.brisane.empty() || o.plugin.empty() || o.work.empty() ||
        o.markdown.empty() || o.svg.empty()) {
        throw std::runtime_error(
            "usage: vb_performance --benchmarks FILE --brisane PATH --plugin PATH --work DIR "
            "--markdown FILE --svg FILE [--windows FILE]");
    }
    return o;
}

// --- Results of vb_benchmarks ----------------------------------------------------------------

struct Result {
    double seconds = 0;     // real time per iteration
    double cpuSeconds = 0;  // processor time per iteration: steadier on a busy machine
    std::map<std::string, double> counters;
    double operator[](const std::string& counter) const {
        const auto it = counters.find(counter);
        return it == counters.end() ? 0 : it->second;
    }
};

std::map<std::string, Result> ReadBenchmarks(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error(path + ": cannot read the benchmark results");
    const Json root = Json::parse(in);
    std::map<std::string, Result> results;
    static const std::map<std::string, double> units = {
        {"ns", 1e-9}, {"us", 1e-6}, {"ms", 1e-3}, {"s", 1}};
    for (const Json& b : root.at("benchmarks")) {
        if (b.contains("error_occurred") && b["error_occurred"].get<bool>()) {
            throw std::runtime_error(b.at("name").get<std::string>() + ": " +
                                     b.value("error_message", std::string("failed")));
        }
        Result r;
        const double unit = units.at(b.at("time_unit").get<std::string>());
        r.seconds = b.at("real_time").get<double>() * unit;
        r.cpuSeconds = b.at("cpu_time").get<double>() * unit;
        for (const auto& [key, value] : b.items()) {
            if (value.is_number()) r.counters[key] = value.get<double>();
        }
        // Names without what Google Benchmark appends: "/iterations:200", "/manual_time".
        std::string name = b.at("name").get<std::string>();
        for (const char* suffix : {"/manual_time", "/iterations:"}) {
            const size_t at = name.find(suffix);
            if (at != std::string::npos) name.erase(at);
        }
        results[name] = r;
    }
    return results;
}

const Result& Get(const std::map<std::string, Result>& results, const std::string& name) {
    const auto it = results.find(name);
    if (it == results.end()) throw std::runtime_error("no benchmark result for " + name);
    return it->second;
}

// Every benchmark the document reads by name must be there before anything else is measured.
void CheckBenchmarks(const std::map<std::string, Result>& results, const std::string& path) {
    std::vector<std::string> missing;
    for (const std::string& name : bench::NamedBenchmarks()) {
        if (!results.count(name)) missing.push_back(name);
    }
    if (missing.empty()) return;
    throw std::runtime_error(path + " lacks " + std::to_string(missing.size()) +
                             " of the benchmarks the document reads, the first " + missing[0] +
                             " (was vb_benchmarks run with a filter?)");
}

// --- brisane, end to end -----------------------------------------------------------------------

struct ProgramRun {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time of the program
    double peakMB = 0;
};

// Starts programs from a helper process forked while this program was still small: a forked
// child's peak memory counts the pages it inherited, so a program started from this process
// once it has grown would be charged with its size.
class Launcher {
  public:
    Launcher() {
        int request[2], reply[2];
        if (pipe(request) != 0 || pipe(reply) != 0) throw std::runtime_error("cannot make pipes");
        helper_ = fork();
        if (helper_ < 0) throw std::runtime_error("cannot start the launcher");
        if (helper_ == 0) {
            close(request[1]);
            close(reply[0]);
            Serve(request[0], reply[1]);
            _exit(0);
        }
        close(request[0]);
        close(reply[1]);
        requests_ = request[1];
        replies_ = reply[0];
    }
    ~Launcher() {
        close(requests_);  // the helper sees the end and leaves
        close(replies_);
        waitpid(helper_, nullptr, 0);
    }
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Runs a program with its output discarded: its wall time and peak resident memory.
    ProgramRun Run(const std::vector<std::string>& args) {
        std::string message;
        for (const std::string& a : args) message.append(a).push_back('\0');
        const auto length = static_cast<uint32_t>(message.size());
        if (!WriteAll(requests_, &length, sizeof(length)) ||
            !WriteAll(requests_, message.data(), message.size())) {
            throw std::runtime_error("the launcher is gone");
        }
        Reply reply{};
        if (!ReadAll(replies_, &reply, sizeof(reply)))
            throw std::runtime_error("the launcher is gone");
        if (reply.status != 0) throw std::runtime_error(args[0] + " failed on " + args[1]);
        return {reply.seconds, reply.cpuSeconds, static_cast<double>(reply.peakKB) / 1024.0};
    }

  private:
    struct Reply {
        double seconds;
        double cpuSeconds;
        long peakKB;
        int status;  // 0: exited with 0
    };

    static bool WriteAll(int fd, const void* data, size_t size) {
        const auto* p = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t n = write(fd, p, size);
            if (n <= 0) return false;
            p += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }
    static bool ReadAll(int fd, void* data, size_t size) {
        auto* p = static_cast<char*>(data);
        while (size > 0) {
            const ssize_t n = read(fd, p, size);
            if (n <= 0) return false;
            p += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }

    static void Serve(int requests, int replies) {
        uint32_t length = 0;
        while (ReadAll(requests, &length, sizeof(length))) {
            std::string message(length, '\0');
            if (!ReadAll(requests, message.data(), length)) return;
            std::vector<char*> argv;
            for (size_t at = 0; at < message.size(); at = message.find('\0', at) + 1) {
                argv.push_back(&message[at]);
            }
            argv.push_back(nullptr);
            const auto start = std::chrono::steady_clock::now();
            const pid_t pid = fork();
            if (pid == 0) {
                const int devNull = open("/dev/null", O_WRONLY);
                if (devNull >= 0) dup2(devNull, 1);
                execv(argv[0], argv.data());
                _exit(127);
            }
            int status = 0;
            rusage usage{};
            Reply reply{0, 0, 0, 1};
            if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
                reply.seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                reply.cpuSeconds =
                    static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
                reply.peakKB = usage.ru_maxrss;  // kilobytes on Linux
                reply.status = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
            }
            if (!WriteAll(replies, &reply, sizeof(reply))) return;
        }
    }

    pid_t helper_ = -1;
    int requests_ = -1, replies_ = -1;
};

// Writes the generated score to the work folder; brisane's arguments for its selection.
std::vector<std::string> WriteScore(const Options& o, ScoreShape shape, const ScoreSize& size) {
    standin::Host host;
    const driver::Selection s = driver::GenerateScore(host, shape, size);
    const std::string document = (std::filesystem::path(o.work) / "score.json").string();
    std::string error;
    if (!host.SaveDocumentFile(document, &error)) throw std::runtime_error(error);
    return {o.brisane,    document,
            "--system",   std::to_string(s.system),
            "--staves",   std::to_string(s.startSlot) + "-" + std::to_string(s.endSlot),
            "--measures", std::to_string(s.startMeasure) + "-" + std::to_string(s.endMeasure),
            "--yes",      "--plugin",
            o.plugin};
}

ProgramRun RunBrisane(Launcher& launcher, const Options& o, ScoreShape shape,
                      const ScoreSize& size) {
    return launcher.Run(WriteScore(o, shape, size));
}

// brisane on one score, with and without the picture, in alternation; the medians.
struct PictureCost {
    double plainCpu = 0, pictureCpu = 0;
    int height = 0;  // of the picture, in pixels
};

int PictureHeight(const std::string& path) {
    std::ifstream in(path);
    std::string head(512, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    const size_t at = head.find(" height=\"");
    if (at == std::string::npos) throw std::runtime_error(path + ": no height in the picture");
    return std::stoi(head.substr(at + 9));
}

PictureCost MeasurePicture(Launcher& launcher, const Options& o, const ScoreSize& size,
                           int rounds) {
    std::vector<std::string> plain = WriteScore(o, ScoreShape::Orchestral, size);
    plain.push_back("--quiet");
    const std::string svg = (std::filesystem::path(o.work) / "picture.svg").string();
    std::vector<std::string> picture = plain;
    picture.insert(picture.end(), {"--svg", svg});
    std::vector<double> plainCpu, pictureCpu;
    for (int i = 0; i < rounds; ++i) {
        plainCpu.push_back(launcher.Run(plain).cpuSeconds);
        pictureCpu.push_back(launcher.Run(picture).cpuSeconds);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    return {median(plainCpu), median(pictureCpu), PictureHeight(svg)};
}

// Host calls of one command through the module's exports, as the test suite counts them.
uint64_t CommandCalls(const Options& o, ScoreShape shape, const ScoreSize& size) {
    std::string error;
    const auto traffic = driver::CountCommand(o.plugin, shape, size, &error);
    if (!traffic) throw std::runtime_error(error);
    return traffic->hostCalls;
}

// --- Everything measured -------------------------------------------------------------------------

// The module's load, start-up and unload in a Windows process, when measured: none without the
// file.
std::optional<Json> ReadWindowsMeasurements(const std::string& path) {
    if (path.empty()) return std::nullopt;
    std::ifstream in(path);
    if (!in) return std::nullopt;
    try {
        return Json::parse(in);
    } catch (const Json::exception& e) {
        throw std::runtime_error(path + ": not the module measurements: " + e.what());
    }
}

// brisane on each generated score, by shape, staves and groups.
using BrisaneRuns = std::map<std::tuple<std::string, int, int>, ProgramRun>;

// Everything the document shows.
struct Measurements {
    std::map<std::string, Result> benchmarks;
    BrisaneRuns brisane;
    ProgramRun largest;
    PictureCost picture, hugePicture;
    uint64_t doubledCalls[2] = {};  // one command on the orchestral driver::kDoubledScores
    std::optional<Json> windows;
};

BrisaneRuns BrisaneOnEveryScore(Launcher& launcher, const Options& o) {
    std::cerr << "vb_performance: brisane on every generated score" << std::endl;
    BrisaneRuns runs;
    for (ScoreShape shape : driver::kScoreShapes) {
        for (int staves : kStaves) {
            for (int groups : kGroups) {
                runs[{std::string(driver::ShapeName(shape)), staves, groups}] =
                    RunBrisane(launcher, o, shape, ScoreSize{staves, groups, kMeasures});
            }
        }
    }
    return runs;
}

Measurements Measure(Launcher& launcher, const Options& o) {
    Measurements m;
    m.benchmarks = ReadBenchmarks(o.benchmarks);
    CheckBenchmarks(m.benchmarks, o.benchmarks);
    m.windows = ReadWindowsMeasurements(o.windows);
    m.brisane = BrisaneOnEveryScore(launcher, o);
    m.largest = RunBrisane(launcher, o, ScoreShape::Orchestral, kLargest);
    std::cerr << "vb_performance: the picture of the largest scores" << std::endl;
    m.picture = MeasurePicture(launcher, o, kLargest, kPictureRounds);
    m.hugePicture = MeasurePicture(launcher, o, kHuge, 1);
    for (size_t i = 0; i < 2; ++i) {
        m.doubledCalls[i] = CommandCalls(o, ScoreShape::Orchestral, driver::kDoubledScores[i]);
    }
    return m;
}

// --- Text ----------------------------------------------------------------------------------------

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

// Thousands separated by commas: 1,072,215.
std::string Count(double value) {
    const std::string digits = Fixed(std::round(value), 0);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        const size_t left = digits.size() - i;
        if (i > 0 && left % 3 == 0 && digits[i - 1] != '-') out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

// Two significant digits at least: 0.052, 1.3, 27.
std::string Ratio(double value) {
    if (value >= 10) return Fixed(value, 0);
    if (value >= 1) return Fixed(value, 1);
    if (value >= 0.1) return Fixed(value, 2);
    return Fixed(value, 3);
}

std::string Machine() {
    std::ifstream cpu("/proc/cpuinfo");
    std::string line, model = "an unknown processor";
    while (std::getline(cpu, line)) {
        if (line.rfind("model name", 0) == 0) {
            model = line.substr(line.find(':') + 2);
            break;
        }
    }
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    return model + ", " + std::to_string(cores) + " cores, GCC " + __VERSION__;
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof(text), "%Y-%m-%d", std::gmtime(&now));
    return text;
}

// --- The plot ------------------------------------------------------------------------------------

struct Series {
    std::string name, color;
    std::vector<std::pair<double, double>> points;
    bool dashed = false;
};

constexpr const char* kColors[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e"};

// One log-log panel: axes with decades, a line and dots per series, a legend.
std::string Panel(double left, double top, double width, double height, const std::string& title,
                  const std::string& xLabel, const std::string& yLabel,
                  const std::vector<Series>& series) {
    double xMin = 1e300, xMax = 0, yMin = 1e300, yMax = 0;
    for (const Series& s : series) {
        for (const auto& [x, y] : s.points) {
            xMin = std::min(xMin, x);
            xMax = std::max(xMax, x);
            yMin = std::min(yMin, y);
            yMax = std::max(yMax, y);
        }
    }
    const double x0 = std::floor(std::log10(xMin)), x1 = std::ceil(std::log10(xMax));
    const double y0 = std::floor(std::log10(yMin)), y1 = std::ceil(std::log10(yMax));
    auto px = [&](double x) { return left + (std::log10(x) - x0) / (x1 - x0) * width; };
    auto py = [&](double y) { return top + height - (std::log10(y) - y0) / (y1 - y0) * height; };
    std::ostringstream svg;
    svg << "<text x=\"" << left << "\" y=\"" << top - 14 << "\" font-size=\"14\" "
        << "font-weight=\"bold\">" << title << "</text>\n";
    svg << "<rect x=\"" << left << "\" y=\"" << top << "\" width=\"" << width << "\" height=\""
        << height << "\" fill=\"none\" stroke=\"#444\"/>\n";
    for (double d = x0; d <= x1; ++d) {
        const double x = left + (d - x0) / (x1 - x0) * width;
        svg << "<line x1=\"" << x << "\" y1=\"" << top << "\" x2=\"" << x << "\" y2=\""
            << top + height << "\" stroke=\"#ddd\"/>\n"
            << "<text x=\"" << x << "\" y=\"" << top + height + 16 << "\" text-anchor=\"middle\">"
            << Count(std::pow(10, d)) << "</text>\n";
    }
    for (double d = y0; d <= y1; ++d) {
        const double y = top + height - (d - y0) / (y1 - y0) * height;
        svg << "<line x1=\"" << left << "\" y1=\"" << y << "\" x2=\"" << left + width << "\" y2=\""
            << y << "\" stroke=\"#ddd\"/>\n"
            << "<text x=\"" << left - 6 << "\" y=\"" << y + 4 << "\" text-anchor=\"end\">"
            << Count(std::pow(10, d)) << "</text>\n";
    }
    svg << "<text x=\"" << left + width / 2 << "\" y=\"" << top + height + 36
        << "\" text-anchor=\"middle\">" << xLabel << "</text>\n"
        << "<text transform=\"translate(" << left - 62 << "," << top + height / 2
        << ") rotate(-90)\" text-anchor=\"middle\">" << yLabel << "</text>\n";
    for (size_t i = 0; i < series.size(); ++i) {
        const Series& s = series[i];
        std::vector<std::pair<double, double>> points = s.points;
        std::sort(points.begin(), points.end());
        svg << "<polyline fill=\"none\" stroke=\"" << s.color << "\" stroke-width=\"1.5\""
            << (s.dashed ? " stroke-dasharray=\"5,4\"" : "") << " points=\"";
        for (const auto& [x, y] : points) svg << px(x) << "," << py(y) << " ";
        svg << "\"/>\n";
        if (!s.dashed) {
            for (const auto& [x, y] : points) {
                svg << "<circle cx=\"" << px(x) << "\" cy=\"" << py(y) << "\" r=\"2.5\" fill=\""
                    << s.color << "\"/>\n";
            }
        }
        // The legend in the lower right corner, where the rising lines leave room.
        const double lx = left + width - 250;
        const double ly = top + height - 12 - static_cast<double>(series.size() - 1 - i) * 16;
        svg << "<line x1=\"" << lx << "\" y1=\"" << ly - 4 << "\" x2=\"" << lx + 20 << "\" y2=\""
            << ly - 4 << "\" stroke=\"" << s.color << "\" stroke-width=\"2\""
            << (s.dashed ? " stroke-dasharray=\"5,4\"" : "") << "/>\n"
            << "<text x=\"" << lx + 26 << "\" y=\"" << ly << "\">" << s.name << "</text>\n";
    }
    return svg.str();
}

std::string BoundText() {
    const driver::HostCallBound& b = driver::kHostCallBound;
    return std::to_string(b.perGroup) + " × groups + " + std::to_string(b.perStaff) +
           " × staves + " + std::to_string(b.fixed);
}

// The plot beside the document: host calls and time of one command against groups + staves,
// a line per shape, and the bound.
std::string Plot(const std::map<std::string, Result>& results) {
    std::vector<Series> callSeries, timeSeries;
    Series bound{"bound " + BoundText(), "#888", {}, true};
    for (size_t k = 0; k < std::size(driver::kScoreShapes); ++k) {
        const ScoreShape shape = driver::kScoreShapes[k];
        const std::string name(driver::ShapeName(shape));
        Series calls{name, kColors[k], {}, false}, times{name, kColors[k], {}, false};
        for (int staves : kStaves) {
            for (int groups : kGroups) {
                const ScoreSize size{staves, groups, kMeasures};
                const Result& r = Get(results, CommandName(shape, size));
                calls.points.emplace_back(groups + staves, r["host_calls"]);
                times.points.emplace_back(groups + staves, r["command_seconds"] * 1e6);
                if (k == 0) {
                    bound.points.emplace_back(groups + staves,
                                              double(driver::kHostCallBound.Of(size)));
                }
            }
        }
        callSeries.push_back(calls);
        timeSeries.push_back(times);
    }
    callSeries.push_back(bound);
    std::ostringstream svg;
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1100\" height=\"470\" "
           "font-family=\"sans-serif\" font-size=\"12\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << Panel(90, 40, 430, 360, "Host calls of one command", "groups + staves", "host calls",
                 callSeries)
        << Panel(640, 40, 430, 360, "Time of one command", "groups + staves",
                 "microseconds (this machine)", timeSeries)
        << "</svg>\n";
    return svg.str();
}

// --- The document --------------------------------------------------------------------------------

// Each section of the document ends with its last line; the document puts a blank line between
// them.

std::string Heading() {
    return "# Performance\n\nWritten by `tools/bench` on " + Today() + " (" + Machine() +
           ", Release build). The figures to read are the counts and ratios; the times are there "
           "to place them on this machine and change with it.\n";
}

std::string SizeText(const ScoreSize& size) {
    return std::to_string(size.staves) + " × " + std::to_string(size.groups);
}

// The shapes, what is counted, and the host calls of the doubled orchestral score.
std::string CommandIntroduction(const Measurements& m) {
    const driver::HostCallBound& bound = driver::kHostCallBound;
    const auto& [small, doubled] = driver::kDoubledScores;
    const double before = double(m.doubledCalls[0]), after = double(m.doubledCalls[1]);
    std::ostringstream md;
    md << "## One command on generated scores\n\n"
       << "Each score has " << kMeasures
       << " measures, a piano (a multi-staff instrument) every 25 staves, and its selection is "
          "the whole staff list of one staff system over measures 100 to 200. Shapes:\n\n"
       << "- orchestral: staff system 1 lacks every seventh staff; one group brackets every staff "
          "over every measure, the others are random; the selection is in system 1;\n"
       << "- deep-nesting: groups over ranges halved again and again, repeated with nested "
          "measure ranges;\n"
       << "- earlier-splits: every group is cut into about eight pieces with split suffixes, as "
          "earlier splits leave them;\n"
       << "- one-system: the orchestral score without staff systems (the selection in the "
          "score's own order);\n"
       << "- several-systems: the orchestral score with four staff systems, each lacking other "
          "staves (the selection in system 2).\n\n"
       << "Host calls are counted by the stand-in host; the test suite holds one command to at "
       << "most " << bound.perGroup << " calls per group and " << bound.perStaff
       << " per staff plus " << bound.fixed
       << " (the bound below), and doubling staves and groups to at most double the calls. The "
          "command's time is split into the time inside the host functions and the plug-in's "
          "own; allocations are the plug-in's own (those inside the host functions are left "
          "out). brisane runs each score end to end (load, command, report) as a process of its "
          "own.\n\n";
    md << "Doubling the orchestral score: " << SizeText(small) << " takes " << Count(before)
       << " host calls, " << SizeText(doubled) << " takes " << Count(after) << " (× "
       << Ratio(after / before)
       << "). Before the command read the staff lists, the selection's staves, the name fonts, "
          "the end measure and the document number once per command, the same scores took "
       << Count(double(kCallsBefore[0])) << " and " << Count(double(kCallsBefore[1]))
       << " calls (× " << Ratio(double(kCallsBefore[1]) / double(kCallsBefore[0])) << ").\n\n"
       << "![Host calls and time of one command against the size of the score](performance.svg)"
          "\n";
    return md.str();
}

// One shape's table, its scores above the bound added to `overBound`.
std::string ShapeTable(const Measurements& m, ScoreShape shape,
                       std::vector<std::string>& overBound) {
    const std::string name(driver::ShapeName(shape));
    std::ostringstream md;
    md << "### " << name << "\n\n"
       << "| staves × groups | host calls | of which writes | bound | calls ÷ (groups + "
          "staves) | plug-in time ÷ host time | allocations per command | command time (µs) "
          "| brisane peak (MB) | brisane time (ms) |\n"
       << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (int staves : kStaves) {
        for (int groups : kGroups) {
            const ScoreSize size{staves, groups, kMeasures};
            const Result& r = Get(m.benchmarks, CommandName(shape, size));
            const double hostCalls = r["host_calls"];
            const double limit = double(driver::kHostCallBound.Of(size));
            const double writes = r["FX_SaveEData"] + r["FX_CreateEData"] + r["FX_DeleteEData"];
            const ProgramRun& run = m.brisane.at({name, staves, groups});
            md << "| " << staves << " × " << groups << " | " << Count(hostCalls) << " | "
               << Count(writes) << " | " << Count(limit) << " | "
               << Ratio(hostCalls / (groups + staves)) << " | "
               << Ratio(r["own_seconds"] / r["host_seconds"]) << " | " << Count(r["allocations"])
               << " | " << Fixed(r["command_seconds"] * 1e6, 0) << " | " << Fixed(run.peakMB, 1)
               << " | " << Fixed(run.seconds * 1e3, 0) << " |\n";
            if (hostCalls > limit) {
                overBound.push_back(name + " " + std::to_string(staves) + " × " +
                                    std::to_string(groups) + ": " + Count(hostCalls) + " calls, " +
                                    Count(writes) + " of them writes");
            }
        }
    }
    return md.str();
}

std::string AboveTheBound(const std::vector<std::string>& overBound) {
    std::ostringstream md;
    md << "Above the bound: ";
    for (size_t i = 0; i < overBound.size(); ++i) md << (i ? "; " : "") << overBound[i];
    md << ". There many groups match the selection, and every group that is cut costs its "
          "writes (seven for each new piece) and the reads of its names, whatever is read "
          "once per command; the bound is made for scores where few groups match, as in "
          "the test's orchestral shape.\n";
    return md.str();
}

std::string CallsByFunction(const std::map<std::string, Result>& results) {
    std::ostringstream md;
    md << "### Host calls by function (orchestral)\n\n| staves × groups |";
    std::vector<std::string> functions;
    for (std::string_view f : standin::kHostFunctions) functions.emplace_back(f);
    for (const std::string& f : functions) md << " `" << f << "` |";
    md << "\n|---|";
    for (size_t i = 0; i < functions.size(); ++i) md << "---:|";
    md << "\n";
    for (int staves : kStaves) {
        for (int groups : kGroups) {
            const Result& r =
                Get(results, CommandName(ScoreShape::Orchestral, {staves, groups, kMeasures}));
            md << "| " << staves << " × " << groups << " |";
            for (const std::string& f : functions) md << " " << Count(r[f]) << " |";
            md << "\n";
        }
    }
    return md.str();
}

std::string CommandSection(const Measurements& m) {
    std::string md = CommandIntroduction(m);
    std::vector<std::string> overBound;
    for (ScoreShape shape : driver::kScoreShapes) md += "\n" + ShapeTable(m, shape, overBound);
    if (!overBound.empty()) md += "\n" + AboveTheBound(overBound);
    return md + "\n" + CallsByFunction(m.benchmarks);
}

std::string LargestScoreSection(const Measurements& m) {
    const PictureCost& picture = m.picture;
    std::ostringstream md;
    md << "## The largest score in brisane\n\n"
       << "The orchestral score of " << kLargest.staves << " staves, " << kLargest.groups
       << " groups and " << kLargest.measures
       << " measures, split by brisane end to end: peak memory " << Fixed(m.largest.peakMB, 1)
       << " MB (at most " << Fixed(kLargestMemoryLimitMB, 0) << " MB wanted), wall time "
       << Fixed(m.largest.seconds, 2) << " s (under " << Fixed(kLargestTimeLimit, 0)
       << " s wanted).\n\n"
       << "With its picture (`--svg`, and `--quiet` both times), brisane takes "
       << Ratio(picture.pictureCpu / picture.plainCpu)
       << " times the processor time it takes without (at most " << Fixed(kPictureCostLimit, 0)
       << " wanted; medians of " << kPictureRounds
       << " runs each, in alternation: " << Fixed(picture.pictureCpu * 1e3, 0) << " ms against "
       << Fixed(picture.plainCpu * 1e3, 0) << " ms). The picture is 1,400 × "
       << Count(picture.height) << " pixels; that of a score of " << Count(kHuge.staves)
       << " staves, " << Count(kHuge.groups) << " groups and " << Count(kHuge.measures)
       << " measures is 1,400 × " << Count(m.hugePicture.height)
       << " pixels (no taller wanted), drawn in " << Fixed(m.hugePicture.pictureCpu * 1e3, 0)
       << " ms against " << Fixed(m.hugePicture.plainCpu * 1e3, 0) << " ms without.\n";
    return md.str();
}

std::string TransferSection(const std::map<std::string, Result>& results) {
    const std::string prefix = bench::kTransferPrefix;
    std::ostringstream md;
    md << "## Record transfers\n\n"
       << "Loads and saves through the record transfer, with the host functions of the stand-in "
          "host; allocations are the transfer's own, per transfer.\n\n"
       << "| transfer | allocations per transfer | time (ns) |\n|---|---:|---:|\n";
    for (const auto& [name, r] : results) {
        if (name.rfind(prefix, 0) != 0) continue;
        md << "| " << name.substr(prefix.size()) << " | " << Count(r["allocations"]) << " | "
           << Fixed(r.cpuSeconds * 1e9, 0) << " |\n";
    }
    return md.str();
}

std::string ModuleSection(const std::map<std::string, Result>& results,
                          const std::optional<Json>& windows) {
    // Loads are timed by the benchmark itself (manual time): wall time.
    const double emptyLoad = Get(results, bench::kEmptyModuleLoad).seconds;
    auto windowsRatio = [&](const char* field) -> std::string {
        if (!windows) return "not measured";
        return Ratio(windows->at(field).get<double>() / windows->at("empty_load_us").get<double>());
    };
    std::ostringstream md;
    md << "## Loading the module\n\n"
       << "What the notation program does with the module before and after the command, as a "
          "ratio to loading a library with nothing in it (on Linux "
       << Fixed(emptyLoad * 1e6, 1) << " µs here).\n\n"
       << "| step | Linux | Windows DLL under Wine |\n|---|---:|---:|\n"
       << "| load, with the seven exports found | "
       << Ratio(Get(results, bench::kPluginLoad).seconds / emptyLoad) << " | "
       << windowsRatio("load_us") << " |\n"
       << "| version, init, enumeration, menu status | "
       << Ratio(Get(results, bench::kPluginStartup).cpuSeconds / emptyLoad) << " | "
       << windowsRatio("startup_us") << " |\n"
       << "| terminate and unload | "
       << Ratio(Get(results, bench::kPluginUnload).seconds / emptyLoad) << " | "
       << windowsRatio("unload_us") << " |\n";
    if (windows) {
        md << "\nUnder Wine an empty DLL loads in "
           << Fixed(windows->at("empty_load_us").get<double>(), 1) << " µs here ("
           << windows->at("rounds").get<int>() << " rounds).\n";
    }
    return md.str();
}

std::string DocumentSection(const std::map<std::string, Result>& results) {
    const int first = bench::kDocumentGroups[0];
    const Result& firstLoad = Get(results, DocumentName(false, first));
    const Result& firstSave = Get(results, DocumentName(true, first));
    std::ostringstream md;
    md << "## Documents in the stand-in host\n\n"
       << "Orchestral scores of " << bench::kDocumentStaves << " staves and " << kMeasures
       << " measures as JSON documents, loaded into and saved from the stand-in host (as "
          "`brisane` and every test do). Processor times as ratios to those of the "
       << Count(first)
       << "-group document; linear growth shows as a ratio equal to the size ratio. The peak "
          "heap is the most memory one load holds at once.\n\n"
       << "| groups | document (bytes) | load ÷ load of " << Count(first) << " | save ÷ save of "
       << Count(first) << " | peak heap of a load per group (bytes) | load (ms) | save (ms) |\n"
       << "|---:|---:|---:|---:|---:|---:|---:|\n";
    for (int groups : bench::kDocumentGroups) {
        const Result& load = Get(results, DocumentName(false, groups));
        const Result& save = Get(results, DocumentName(true, groups));
        md << "| " << Count(groups) << " | " << Count(load["document_bytes"]) << " | "
           << Ratio(load.cpuSeconds / firstLoad.cpuSeconds) << " | "
           << Ratio(save.cpuSeconds / firstSave.cpuSeconds) << " | "
           << Count(load["peak_heap_bytes"] / groups) << " | " << Fixed(load.cpuSeconds * 1e3, 1)
           << " | " << Fixed(save.cpuSeconds * 1e3, 1) << " |\n";
    }
    return md.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error(path + ": cannot write the file");
}

int Run(Launcher& launcher, const Options& o) {
    std::filesystem::create_directories(o.work);
    const Measurements m = Measure(launcher, o);
    const std::string sections[] = {Heading(),
                                    CommandSection(m),
                                    LargestScoreSection(m),
                                    TransferSection(m.benchmarks),
                                    ModuleSection(m.benchmarks, m.windows),
                                    DocumentSection(m.benchmarks)};
    std::string md;
    for (const std::string& section : sections) md += (md.empty() ? "" : "\n") + section;
    WriteFile(o.markdown, md);
    WriteFile(o.svg, Plot(m.benchmarks));
    std::cerr << "vb_performance: wrote " << o.markdown << " and " << o.svg << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Launcher launcher;  // first, while this program is small
        return Run(launcher, ParseOptions(argc, argv));
    } catch (const std::exception& e) {
        std::cerr << "vb_performance: " << e.what() << "\n";
        return 1;
    }
}
