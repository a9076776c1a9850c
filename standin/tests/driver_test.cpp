// What the host program shows and writes: numbers read as typed, users' text made safe for a
// terminal and for XML, outputs written all or none, and the picture of the groups.
#include <gtest/gtest.h>

#include <array>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "language.h"
#include "numbers.h"
#include "picture/labels.h"
#include "picture/picture.h"
#include "report.h"
#include "scenario.h"
#include "standin/files.h"

namespace {

namespace fs = std::filesystem;

TEST(Numbers, AreDecimalWhateverTheirLeadingZeros) {
    const struct {
        const char* text;
        std::optional<long long> value;
    } cases[] = {{"10", 10},  {"010", 10},
                 {"08", 8},   {"-3", -3},
                 {"0", 0},    {"0x10", {}},
                 {"+1", {}},  {" 1", {}},
                 {"1 ", {}},  {"1e3", {}},
                 {"", {}},    {"-", {}},
                 {"12a", {}}, {"99999999999999999999", {}}};
    for (const auto& c : cases) EXPECT_EQ(driver::ParseDecimal(c.text), c.value) << c.text;
}

TEST(Numbers, HostVersionsAreDecimalOrHexadecimalAfter0x) {
    const struct {
        const char* text;
        std::optional<uint32_t> value;
    } cases[] = {{"0x19000000", 0x19000000u},
                 {"0X10ffffff", 0x10FFFFFFu},
                 {"285212672", 0x11000000u},
                 {"0285212672", 0x11000000u},
                 {"4294967295", 0xFFFFFFFFu},
                 {"4294967296", {}},
                 {"0x100000000", {}},
                 {"0x", {}},
                 {"0x-1", {}},
                 {"-1", {}},
                 {"0x1G", {}},
                 {"", {}}};
    for (const auto& c : cases) EXPECT_EQ(driver::ParseVersion(c.text), c.value) << c.text;
}

TEST(PrintableText, EscapesEveryControlCharacterAndKeepsTheRest) {
    const struct {
        std::string text, shown;
    } cases[] = {
        {"Violin I", "Violin I"},
        {"Clarinet in B\u266d", "Clarinet in B\u266d"},
        {"\x1b[31mred", "\\u001b[31mred"},
        {std::string("a\0b", 3), "a\\u0000b"},
        {"tab\there\nline", "tab\\u0009here\\u000aline"},
        {"\x7f", "\\u007f"},
        {"\xc2\x85", "\\u0085"},  // C1 next line
        {"\xe2\x80\xae"
         "abc",
         "\\u202eabc"},                       // right-to-left override
        {"\xef\xbf\xbf", "\\uffff"},          // not a character, and not XML
        {"\xff", "\\xff"},                    // not UTF-8
        {"\xc3", "\\xc3"},                    // cut sequence
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},  // surrogate
        {"\xc0\xaf", "\\xc0\\xaf"},           // overlong '/'
        {"\"\\", "\"\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(driver::Printable(c.text), c.shown) << c.shown;
    EXPECT_EQ(driver::Quoted("a\"b\\c\x01"), "\"a\\\"b\\\\c\\u0001\"");
    // A message of several lines keeps its line breaks, and nothing else raw.
    EXPECT_EQ(driver::PrintableLines("made:\n    'SDNG'\x1b\r\n\n"),
              "made:\n    'SDNG'\\u001b\\u000d\n\n");
    EXPECT_EQ(driver::PrintableLines("one\tline"), "one\\u0009line");
}

class OutputFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        // A folder of each test's own: CTest runs the tests of this program side by side.
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::path(testing::TempDir()) /
                 ("brisane_outputs_" + std::string(test->name()) + "_" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "sub");
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string Read(const fs::path& p) {
        std::ifstream in(p);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    size_t Entries() {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
    }
    fs::path folder;
};

TEST_F(OutputFiles, AreWrittenAllOrNone) {
    const std::string a = (folder / "a.json").string(), b = (folder / "b.svg").string();
    std::string error;
    // The second target is a folder: the first file must not appear either.
    EXPECT_FALSE(standin::files::WriteAll({{a, "A"}, {(folder / "sub").string(), "B"}}, &error));
    EXPECT_EQ(error, (folder / "sub").string() + ": is a folder, not a file; nothing was written");
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(
        standin::files::WriteAll({{a, "A"}, {(folder / "none" / "b").string(), "B"}}, &error));
    EXPECT_NE(error.find("does not exist; nothing was written"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(Entries(), 1u) << "a temporary file was left";

    ASSERT_TRUE(standin::files::WriteAll({{a, "A"}, {b, "B"}}, &error)) << error;
    EXPECT_EQ(Read(a), "A");
    EXPECT_EQ(Read(b), "B");
    // A new file gets the mode any new file gets, not its temporary's (its owner's alone).
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(b).permissions() & fs::perms::all), 0666 & ~mask);
    ASSERT_TRUE(standin::files::WriteAll({{a, "new"}}, &error)) << error;
    EXPECT_EQ(Read(a), "new");
    EXPECT_EQ(Entries(), 3u);
}

// Writing through a symbolic link changes its target and keeps the link, as an editor does:
// links relative to their own folder, links to links, and a link to a file not yet there.
TEST_F(OutputFiles, AreWrittenThroughSymbolicLinksToTheirTargets) {
    fs::create_directories(folder / "real");
    const fs::path target = folder / "real" / "score.json";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real/score.json", folder / "link.json");  // relative to its folder
    fs::create_symlink(folder / "link.json", folder / "sub" / "chain.json");  // a link to a link
    fs::create_symlink("new.svg", folder / "real" / "dangling.svg");  // its target is not there
    std::string error;

    ASSERT_TRUE(standin::files::WriteAll({{(folder / "link.json").string(), "new"},
                                          {(folder / "real" / "dangling.svg").string(), "svg"}},
                                         &error))
        << error;
    EXPECT_TRUE(fs::is_symlink(folder / "link.json"));
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(fs::is_symlink(folder / "real" / "dangling.svg"));
    EXPECT_EQ(Read(folder / "real" / "new.svg"), "svg");

    ASSERT_TRUE(
        standin::files::WriteAll({{(folder / "sub" / "chain.json").string(), "again"}}, &error))
        << error;
    EXPECT_TRUE(fs::is_symlink(folder / "sub" / "chain.json"));
    EXPECT_TRUE(fs::is_symlink(folder / "link.json"));
    EXPECT_EQ(Read(target), "again");
    // Nothing is left beside the links or the targets.
    EXPECT_EQ(Entries(), 3u);  // real, sub, link.json
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "real"), {}), 3);

    // Links in a circle are refused and left as they are.
    fs::create_symlink("b", folder / "a");
    fs::create_symlink("a", folder / "b");
    EXPECT_FALSE(standin::files::WriteAll({{(folder / "a").string(), "x"}}, &error));
    EXPECT_EQ(error, (folder / "a").string() +
                         ": its symbolic links go round in a circle; nothing was written");
    EXPECT_TRUE(fs::is_symlink(folder / "a"));
}

// Writing replaces the file under the name given: another hard link keeps the old content.
TEST_F(OutputFiles, LeaveTheOtherHardLinksOfAFileAsTheyWere) {
    const fs::path a = folder / "a.json", b = folder / "b.json";
    std::ofstream(a) << "old";
    fs::create_hard_link(a, b);
    std::string error;
    ASSERT_TRUE(standin::files::WriteAll({{a.string(), "new"}}, &error)) << error;
    EXPECT_EQ(Read(a), "new");
    EXPECT_EQ(Read(b), "old");
}

// What is written in place (here a named pipe) gets its content before the last check, which
// comes before any file is replaced; when it fails, no file is, and the error says what was
// written all the same.
TEST_F(OutputFiles, AreNotReplacedWhenTheLastCheckFails) {
    const fs::path a = folder / "a.json", pipe = folder / "pipe";
    std::ofstream(a) << "old";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // A reader that is there already: the writer's open does not wait.
    const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const auto piped = [&] {
        char buffer[64];
        const ssize_t n = read(reader, buffer, sizeof buffer);
        return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    };
    std::string error, seen;
    const bool written = standin::files::WriteAll(
        {{a.string(), "new"}, {pipe.string(), "piped"}}, &error, [&](std::string* why) {
            seen = Read(a) + " " + piped() + " " + std::to_string(Entries());
            *why = "write error: the report";
            return false;
        });
    close(reader);
    EXPECT_FALSE(written);
    EXPECT_EQ(seen, "old piped 4");  // sub, a.json, the pipe and a.json's temporary file
    EXPECT_EQ(error, "write error: the report; only " + pipe.string() + " was written");
    EXPECT_EQ(Read(a), "old");
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(Entries(), 3u) << "a temporary file was left";
}

// The temporary file beside a target is hidden and within the 255 bytes of a file name, its
// copy of a long name cut at a whole UTF-8 character.
TEST(TemporaryFile, IsNamedWithinTheLimitAndCutAtAWholeCharacter) {
    const auto repeated = [](const std::string& unit, size_t times) {
        std::string text;
        for (size_t i = 0; i < times; ++i) text += unit;
        return text;
    };
    const std::string e = "\xc3\xa9", flat = "\xe2\x99\xad", clef = "\xf0\x9d\x84\x9e";
    const struct {
        std::string name;
        uint32_t random;
        std::string temporary;
    } cases[] = {
        {"score.json", 7, ".score.json.7.tmp"},
        {repeated("a", 250), 4294967295u, "." + repeated("a", 239) + ".4294967295.tmp"},
        {repeated("a", 250), 7, "." + repeated("a", 248) + ".7.tmp"},
        // 239 bytes of room: the character across the cut is left out whole.
        {repeated(e, 125), 4294967295u, "." + repeated(e, 119) + ".4294967295.tmp"},
        {repeated(flat, 83), 4294967295u, "." + repeated(flat, 79) + ".4294967295.tmp"},
        {repeated(clef, 62), 4294967295u, "." + repeated(clef, 59) + ".4294967295.tmp"},
        {repeated(clef, 62), 12, "." + repeated(clef, 61) + ".12.tmp"},
    };
    for (const auto& c : cases) {
        const fs::path made = standin::files::TemporaryFor(fs::path("/scores") / c.name, c.random);
        EXPECT_EQ(made.parent_path(), fs::path("/scores"));
        EXPECT_EQ(made.filename().string(), c.temporary) << c.name;
        EXPECT_LE(made.filename().string().size(), 255u);
    }
}

standin::GroupView Group(int16_t number, int16_t top, int16_t bottom, int16_t first, int16_t last,
                         std::u16string name) {
    standin::GroupView g;
    g.number = number;
    g.startStaff = top;
    g.endStaff = bottom;
    g.startMeasure = first;
    g.endMeasure = last;
    g.hasFullName = true;
    g.fullName = std::move(name);
    return g;
}

// Every line's columns start where the header's do, with two spaces at least between them,
// whatever the width of the numbers.
TEST(GroupTable, KeepsColumnsApartForWideAndNegativeNumbers) {
    const struct {
        int16_t owner, number, top, bottom, first, last;
    } cases[] = {
        {0, 1, 1, 4, 1, 48},           {0, 32767, 1, 4, 1, 48},
        {-32768, -32768, 1, 4, 1, 48}, {0, 1, 10000, 32767, 1, 48},
        {0, 1, -32768, -1, 1, 48},     {0, 1, 1, 4, 10000, 32767},
        {0, 1, 1, 4, -32768, -32767},  {-1, -1, -32768, -32767, -32768, 32767},
    };
    for (const auto& c : cases) {
        standin::GroupView wide = Group(c.number, c.top, c.bottom, c.first, c.last, u"Wide");
        wide.owner = c.owner;
        const std::vector<standin::GroupView> groups = {Group(1, 1, 4, 1, 48, u"Narrow"), wide};
        std::istringstream table(driver::GroupTable(groups));
        std::vector<std::string> lines;
        for (std::string line; std::getline(table, line);) lines.push_back(line);
        ASSERT_EQ(lines.size(), 5u);
        const std::vector<std::string> header = {"group", "staves", "measures", "names"};
        std::vector<size_t> columns;
        for (const std::string& h : header) columns.push_back(lines[0].find(h));
        const std::vector<std::string> wanted = {
            std::to_string(c.owner) + "/" + std::to_string(c.number),
            std::to_string(c.top) + "-" + std::to_string(c.bottom),
            std::to_string(c.first) + "-" + std::to_string(c.last), "full \"Wide\""};
        for (size_t k = 0; k < wanted.size(); ++k) {
            EXPECT_EQ(lines[3].substr(columns[k], wanted[k].size()), wanted[k]) << lines[3];
            if (k > 0) {
                EXPECT_EQ(lines[3].substr(columns[k] - 2, 2), "  ") << lines[3];
            }
        }
        EXPECT_EQ(lines[2].find("abbr"), columns[3]) << lines[2];
        EXPECT_EQ(lines[4].find("abbr"), columns[3]) << lines[4];
    }
    // Numbers that fit keep the usual columns.
    EXPECT_EQ(driver::GroupTable({Group(1, 1, 4, 1, 48, u"Q")}),
              "  group   staves   measures  names\n"
              "  0/1     1-4      1-48      full \"Q\"\n"
              "                             abbr (none)\n");
}

TEST(Picture, DrawsNamesAsTheyReadAndMarksWhatChanged) {
    driver::Picture before;
    before.title = "Before";
    before.staves = {{3, "Violin"}, {4, "Viola\x1b"}, {5, "Cello"}};
    before.measureCount = 16;
    before.groups = {Group(1, 3, 5, 1, 16, u"Strings"), Group(2, 3, 9, 1, 16, u"Lost")};
    before.selection = driver::MarkedSelection{3, 5, 5, 8, {4}, "selected <here>"};
    driver::Picture after = before;
    after.title = "After";
    after.groups = {Group(1, 3, 5, 1, 4, u"Strings"), Group(2, 3, 9, 1, 16, u"Lost"),
                    Group(3, 3, 5, 5, 8, u"Strings^font(Garamond)^size(12)^nfx(128)(Brisane 3)")};
    const std::string svg = driver::GroupsSvg({before, after}, "en");

    auto has = [&](const std::string& part) {
        EXPECT_NE(svg.find(part), std::string::npos) << part;
    };
    has("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1400\"");
    // The font command sets the font of the suffix; the stored text is the tooltip.
    has("Strings<tspan font-family=\"Garamond\" font-size=\"14\">(Brisane 3)</tspan>");
    has("<title>Strings^font(Garamond)^size(12)^nfx(128)(Brisane 3)</title>");
    EXPECT_EQ(svg.find("^font"), svg.find("<title>Strings^font") + 14);
    // Staves and measures of the selection; a staff its system hides is set apart.
    has("stroke-dasharray");
    has("selected &lt;here&gt;");
    has("font-style=\"italic\" fill=\"#999\">Viola\\u001b");
    // Each piece's names are clipped to it.
    has("<g clip-path=\"url(#p1-g2)\"");
    has("<clipPath id=\"p1-g2\">");
    // The legend of the second picture tells what the command did.
    has(">1-4</tspan><tspan x=\"300\" fill=\"#d84315\">changed</tspan>");
    has(">5-8</tspan><tspan x=\"300\" fill=\"#d84315\">new</tspan>");
    has(">1-16</tspan><tspan x=\"300\" fill=\"#d84315\">not drawn</tspan>");
    // Before stands above After, at the same left edge.
    EXPECT_LT(svg.find(">Before</text>"), svg.find(">After</text>"));
    has("<text x=\"20\" y=\"30\" font-size=\"22\" font-weight=\"bold\">Before</text>");
}

// A score of `staves` staves and `groups` groups spread over them, its selection every staff
// over the second quarter of the measures, before and after group 1 (over every staff and
// measure) is cut there.
std::vector<driver::Picture> Pictures(int staves, int groups, int measures, int first, int last) {
    driver::Picture before;
    before.title = "Before";
    for (int s = 1; s <= staves; ++s)
        before.staves.emplace_back(static_cast<int16_t>(s), "Staff " + std::to_string(s));
    before.measureCount = measures;
    const auto n = [](int v) { return static_cast<int16_t>(v); };
    before.groups.push_back(Group(1, 1, n(staves), 1, n(measures), u"All"));
    for (int g = 2; g <= groups; ++g) {
        const int top = 1 + (g * 7919) % staves, bottom = top + (g * 104729) % (staves - top + 1);
        const int start = 1 + (g * 31) % measures, end = start + (g * 17) % (measures - start + 1);
        before.groups.push_back(Group(n(g), n(top), n(bottom), n(start), n(end), u"G"));
    }
    before.selection = driver::MarkedSelection{1, n(staves), n(first), n(last), {}, "selected"};
    driver::Picture after = before;
    after.title = "After";
    after.groups[0].endMeasure = n(first - 1);
    after.groups.push_back(Group(n(groups + 1), 1, n(staves), n(first), n(last), u"All (2)"));
    after.groups.push_back(
        Group(n(groups + 2), 1, n(staves), n(last + 1), n(measures), u"All (3)"));
    return {before, after};
}

int Height(const std::string& svg) {
    const size_t at = svg.find(" height=\"");
    return std::stoi(svg.substr(at + 9));
}

size_t Occurrences(const std::string& svg, const std::string& part) {
    size_t count = 0;
    for (size_t at = svg.find(part); at != std::string::npos; at = svg.find(part, at + 1)) ++count;
    return count;
}

// However large the score, the picture stays readable and its size bounded: 40 rows of staves
// at most, 20 groups drawn and listed, the rest folded and counted.
TEST(Picture, OfALargeScoreIsBoundedWhateverItsSize) {
    const std::string quartet = driver::GroupsSvg(Pictures(4, 3, 48, 9, 16), "en");
    const std::string large = driver::GroupsSvg(Pictures(250, 2000, 2000, 500, 1000), "en");
    const std::string huge = driver::GroupsSvg(Pictures(1000, 8000, 8000, 2000, 4000), "en");
    // Each picture: title 84, rows 40 × 28, legend header 24 and 20 groups and a line for the
    // rest × 21, 20 below; 20 between the two.
    constexpr int kBound = 2 * (84 + 40 * 28 + 24 + 21 * 21 + 20) + 20;
    EXPECT_LE(Height(large), kBound);
    EXPECT_LE(Height(huge), Height(large));
    EXPECT_LT(huge.size(), large.size() * 5 / 4) << "the picture grows with the score";
    EXPECT_LT(Height(quartet), Height(large));

    for (const std::string* svg : {&large, &huge}) {
        // Every row a staff's or a run's; the selection's ends are rows of their own.
        EXPECT_LE(Occurrences(*svg, "stroke=\"#bbb\" stroke-width=\"1.5\"/>") +
                      Occurrences(*svg, "fill=\"#ececec\"/>"),
                  80u);
        EXPECT_NE(svg->find(">Staff 1 <tspan"), std::string::npos);
        EXPECT_NE(svg->find(" staves <tspan fill=\"#888\">("), std::string::npos);
        // The command's pieces are drawn and marked in the legend, and the rest counted.
        EXPECT_NE(svg->find(">All (2)</text>"), std::string::npos);
        EXPECT_EQ(Occurrences(*svg, "fill=\"#d84315\">new</tspan>"), 2u);
        EXPECT_NE(svg->find("further groups not drawn: none of them changed, "), std::string::npos);
        EXPECT_LE(Occurrences(*svg, "<tspan x=\"42\">"), 2u * 20);
    }
    // 2,000 groups: the one the command cuts and 17 others drawn before, its 3 pieces and the
    // same 17 after.
    EXPECT_EQ(Occurrences(large, ">1,982 further groups not drawn: "), 2u);
}

// In a long score a narrow selection is drawn wide enough to read, the measures before and after
// it narrower, with a break mark where the scale changes.
TEST(Picture, OfALongScoreWidensANarrowSelection) {
    const std::string svg = driver::GroupsSvg(Pictures(4, 3, 2000, 700, 703), "en");
    const size_t frame = svg.find("stroke-dasharray=\"9 5\"");
    ASSERT_NE(frame, std::string::npos);
    const size_t rect = svg.rfind("<rect x=\"", frame);
    const int width = std::stoi(svg.substr(svg.find("width=\"", rect) + 7));
    EXPECT_GE(width, 160);
    EXPECT_LE(width, 480);
    EXPECT_EQ(Occurrences(svg, " l5,-9 M"), 2u * 2 * 2);  // two breaks, above and below, twice
    // The numbers on either side of the selection are those of its neighbours.
    EXPECT_NE(svg.find("fill=\"#666\">699</text>"), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#666\">704</text>"), std::string::npos);
    // No two measure numbers touch, across the breaks too.
    std::vector<int> numbers;
    const std::string label = "\" y=\"74\" text-anchor=\"middle\" font-size=\"12\"";
    for (size_t at = svg.find(label); at != std::string::npos; at = svg.find(label, at + 1))
        numbers.push_back(std::stoi(svg.substr(svg.rfind("x=\"", at) + 3)));
    std::sort(numbers.begin(), numbers.end());
    ASSERT_GE(numbers.size(), 10u);
    for (size_t i = 1; i < numbers.size(); ++i) EXPECT_GE(numbers[i] - numbers[i - 1], 36);
    // A short score keeps its measures in proportion.
    EXPECT_EQ(driver::GroupsSvg(Pictures(4, 3, 100, 50, 50), "en").find(" l5,-9 M"),
              std::string::npos);
}

namespace labels = driver::picture::labels;

// The pictures' sentences as a reader of each language reads them: its word order, its plurals
// (German and French singular and plural, French singular for 0 and 1 too, Japanese none), its
// way of writing a count, and French no-break spaces before a colon.
struct SentenceCase {
    const char* name;
    std::string (*sentence)(const labels::Labels& l);
    // The sentence in English, German, French and Japanese.
    std::array<const char*, 4> expected;
};

std::string ManyUntold(const labels::Labels& l) {
    return l.untoldGroups(1976, 0, 889, true, true);
}
std::string OneUntold(const labels::Labels& l) {
    return l.untoldGroups(1, 1, 1, false, true);
}
std::string UntoldWithoutSelection(const labels::Labels& l) {
    return l.untoldGroups(2, 3, 0, true, false);
}
std::string Staves(const labels::Labels& l) {
    return l.selection({{1, "Violin I"}, {4, "Violoncello"}, 0, {}, 9, 16});
}
std::string OneStaffOfASystem(const labels::Labels& l) {
    return l.selection(
        {{3, "Clarinet in A"}, {3, "Clarinet in A"}, 2, {{2, "Oboe"}, {6, ""}}, 9, 9});
}
std::string ManyHidden(const labels::Labels& l) {
    return l.selection(
        {{1, "Fl"}, {2, "Ob"}, 1, std::vector<labels::Staff>(1200, {7, "Hn"}), 3, 5});
}
std::string Folded(const labels::Labels& l) {
    return l.foldedStaves(1976) + l.foldedStaffRange(3, 1978) + "|" + l.foldedStaves(1);
}
std::string NewNotDrawn(const labels::Labels& l) {
    return l.groupChange(labels::Change::New, false) + "|" +
           l.groupChange(labels::Change::Changed, true) + "|" +
           l.groupChange(labels::Change::None, false);
}

class PictureSentences : public ::testing::TestWithParam<SentenceCase> {};

TEST_P(PictureSentences, ReadInEachLanguage) {
    const SentenceCase& c = GetParam();
    const char* const codes[] = {"en", "de", "fr", "ja"};
    for (size_t i = 0; i < c.expected.size(); ++i) {
        const labels::Labels& l = labels::In(codes[i]);
        ASSERT_EQ(l.code, codes[i]);
        EXPECT_EQ(c.sentence(l), c.expected[i]) << codes[i];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Languages, PictureSentences,
    ::testing::Values(
        SentenceCase{"ManyUntold",
                     ManyUntold,
                     {"1,976 further groups not drawn: none of them changed, 889 cross the "
                      "selection",
                      "1.976 weitere Gruppen nicht dargestellt: keine davon geändert, 889 "
                      "überlappen die Auswahl",
                      "1\u202F976 autres groupes non affichés\u00A0: aucun modifié, 889 "
                      "chevauchent la sélection",
                      "ほかの1,976個のグループは省略：いずれも変更なし、889個が選択範囲と重なる"}},
        SentenceCase{
            "OneUntold",
            OneUntold,
            {"1 further group not drawn: 1 changes, 1 crosses the selection",
             "1 weitere Gruppe nicht dargestellt: 1 wird geändert, 1 überlappt die Auswahl",
             "1 autre groupe non affiché\u00A0: 1 sera modifié, 1 chevauche la sélection",
             "ほかの1個のグループは省略：うち1個は変更対象、1個が選択範囲と重なる"}},
        SentenceCase{"UntoldWithoutSelection",
                     UntoldWithoutSelection,
                     {"2 further groups not drawn: 3 changed, no selection",
                      "2 weitere Gruppen nicht dargestellt: 3 geändert, keine Auswahl",
                      "2 autres groupes non affichés\u00A0: 3 modifiés, pas de sélection",
                      "ほかの2個のグループは省略：うち3個は変更あり、選択範囲なし"}},
        SentenceCase{"Staves",
                     Staves,
                     {"selected: staves 1 Violin I to 4 Violoncello, measures 9 to 16",
                      "Auswahl: Notensysteme 1 Violin I bis 4 Violoncello, Takte 9 bis 16",
                      "Sélection\u00A0: portées 1 Violin I à 4 Violoncello, mesures 9 à 16",
                      "選択範囲：五線1 Violin I～4 Violoncello、第9～16小節"}},
        SentenceCase{"OneStaffOfASystem",
                     OneStaffOfASystem,
                     {"selected: staff 3 Clarinet in A in staff system 2 (which hides 2 Oboe, 6), "
                      "measures 9 to 9",
                      "Auswahl: Notensystem 3 Clarinet in A in Akkolade 2 (ausgeblendet: "
                      "2 Oboe, 6), Takt 9",
                      "Sélection\u00A0: portée 3 Clarinet in A dans le système 2 (qui masque "
                      "2 Oboe, 6), mesure 9",
                      "選択範囲：五線3 Clarinet in A（組段2、非表示：2 Oboe、6）、第9小節"}},
        SentenceCase{"ManyHidden",
                     ManyHidden,
                     {"selected: staves 1 Fl to 2 Ob in staff system 1 (which hides 1,200 staves), "
                      "measures 3 to 5",
                      "Auswahl: Notensysteme 1 Fl bis 2 Ob in Akkolade 1 (ausgeblendet: 1.200 "
                      "Notensysteme), Takte 3 bis 5",
                      "Sélection\u00A0: portées 1 Fl à 2 Ob dans le système 1 (qui masque "
                      "1\u202F200 portées), mesures 3 à 5",
                      "選択範囲：五線1 Fl～2 Ob（組段1、非表示：1,200本の五線）、第3～5小節"}},
        SentenceCase{
            "Folded",
            Folded,
            {"1,976 staves (3 to 1978)|1 staff ", "1.976 Notensysteme (3–1978)|1 Notensystem ",
             "1\u202F976 portées (3–1978)|1 portée ", "1,976本の五線（3～1978）|1本の五線"}},
        SentenceCase{"NewNotDrawn",
                     NewNotDrawn,
                     {"new, not drawn|changed|not drawn",
                      "neu, nicht dargestellt|geändert|nicht dargestellt",
                      "nouveau, non affiché|modifié|non affiché", "新規、図示なし|変更|図示なし"}}),
    [](const ::testing::TestParamInfo<SentenceCase>& param) { return param.param.name; });

// The legend's heads, left to right, as drawn: where each starts and what it says.
std::vector<std::pair<int, std::string>> LegendHeads(const std::string& svg) {
    const std::string group = "<g font-size=\"13\" fill=\"#666\" font-weight=\"bold\">";
    const size_t from = svg.find(group), to = svg.find("</g>", from);
    std::vector<std::pair<int, std::string>> heads;
    for (size_t at = svg.find("<text x=\"", from); at < to; at = svg.find("<text x=\"", at + 1)) {
        const size_t open = svg.find('>', at) + 1;
        heads.emplace_back(std::stoi(svg.substr(at + 9)),
                           svg.substr(open, svg.find('<', open) - open));
    }
    return heads;
}

// Each language draws its own labels and the document's names as stored, in fonts that have
// its script, its legend's heads apart however long they are.
TEST(Picture, SpeaksEachLanguageAndKeepsTheNames) {
    const std::vector<driver::Picture> pictures = Pictures(4, 3, 48, 9, 16);
    for (const labels::Labels& l : labels::Languages()) {
        SCOPED_TRACE(std::string(l.code));
        EXPECT_TRUE(driver::LanguageOfCode(std::string(l.code), "")) << "no such language";
        const std::string svg = driver::GroupsSvg(pictures, l.code);
        EXPECT_NE(svg.find(" font-family=\"" + std::string(l.fontFamily) + "\""),
                  std::string::npos);
        EXPECT_NE(svg.find(">Staff 2 <tspan"), std::string::npos);
        EXPECT_NE(svg.find("<title>All (2)</title>All (2)</text>"), std::string::npos);
        const auto heads = LegendHeads(svg);
        ASSERT_EQ(heads.size(), 5u);
        EXPECT_EQ(heads[3].second, l.fullNameColumn);
        for (size_t i = 0; i + 1 < heads.size(); ++i) {
            EXPECT_LT(heads[i].first + labels::EstimatedWidth(heads[i].second, 13, true),
                      heads[i + 1].first)
                << heads[i].second << " runs into " << heads[i + 1].second;
        }
    }
    EXPECT_NE(labels::In("ja").fontFamily.find("Noto Sans CJK JP"), std::string_view::npos);
    // A language without labels of its own reads English, as the plug-in falls back.
    EXPECT_EQ(driver::GroupsSvg(pictures, "pt"), driver::GroupsSvg(pictures, "en"));
    // A CJK character takes about an em, a Latin one about two thirds of one at most.
    EXPECT_EQ(labels::EstimatedWidth("五線", 10, false), 20);
    EXPECT_EQ(labels::EstimatedWidth("ab", 10, true), 14);
}

// Scenarios as the validator writes its findings: every kind of planned fault, an end system of
// its own and the expectations read back as written.
TEST_F(OutputFiles, ScenariosReadBackAsWritten) {
    using Kind = standin::WrongAnswer::Kind;
    driver::Scenario written;
    written.name = "every fault";
    written.document = R"({"measureCount": 4, "staves": [{"number": 1}]})";
    written.hostVersion = 0x10FFFFFF;
    written.enumerate = false;
    written.selection = driver::Selection{2, 1, 3, 1, 4, 0, 0x7FFFFFFF, int16_t{5}};
    written.answers = {"yes"};
    auto fault = [](const char* function, int nth) {
        driver::Scenario::Fault f;
        f.function = function;
        f.nth = nth;
        return f;
    };
    written.faults = {fault("FX_SaveEData", 2), fault("FX_LoadEData", 3)};
    written.faults[0].tag = standin::TagOf("SDNG");
    written.faults[1].bytes = std::vector<uint8_t>{1, 0, 0xFF};
    for (Kind kind : {Kind::Size, Kind::Unterminated, Kind::Key, Kind::Cycle, Kind::FullName}) {
        driver::Scenario::Fault f = fault("FX_NextEData", 4);
        f.answer.emplace();
        f.answer->kind = kind;
        f.answer->size = -7;
        f.answer->key = {0, 1, 0};
        f.answer->fails = true;
        f.answer->limit = 9;
        f.answer->to = -2;
        written.faults.push_back(f);
    }
    written.expect.result = 0;
    written.expect.boxes =
        std::vector<driver::ExpectedBox>{{"No Group", "text", 64u}, {"X", {}, {}}};
    written.expect.groups = std::vector<driver::ExpectedGroup>{{}};
    written.expect.groups->front().staves = std::make_pair(int16_t{1}, int16_t{1});
    const std::string path = (folder / "s.json").string();
    std::ofstream(path) << driver::WriteScenario(written);

    driver::Scenario read;
    std::string error;
    ASSERT_TRUE(driver::LoadScenario(path, read, &error)) << error;
    EXPECT_EQ(driver::WriteScenario(read), driver::WriteScenario(written));
    ASSERT_EQ(read.faults.size(), 7u);
    EXPECT_EQ(driver::Describe(read.faults[0]), "FX_SaveEData call 2 for 'SDNG' fails");
    EXPECT_EQ(driver::Describe(read.faults[1]), "FX_LoadEData call 3 fails, writing 0100ff");
    EXPECT_EQ(driver::Describe(read.faults[2]), "FX_NextEData call 4 answers size -7");
    EXPECT_EQ(driver::Describe(read.faults[4]),
              "FX_NextEData call 4 answers key (0,1,0) after failing");
    EXPECT_EQ(driver::Describe(read.faults[5]), "FX_NextEData call 4 answers cycle 9 to -2");
    EXPECT_EQ(read.selection->endSystem, 5);
    EXPECT_FALSE(read.enumerate);
}

// Four characters name a tag; text that begins with 0x is a number, however long.
TEST_F(OutputFiles, ScenarioTagsAreFourCharactersOrANumber) {
    const struct {
        const char* tag;
        uint32_t value;
    } cases[] = {
        {"SOTX", standin::TagOf("SOTX")},
        {"0x534F5458", standin::TagOf("SOTX")},
        {"0X534f5458", standin::TagOf("SOTX")},
        {"0x12", 0x12},
        {"0x1", 1},
        {" tx ", 0x20747820},
    };
    const std::string path = (folder / "s.json").string();
    for (const auto& c : cases) {
        std::ofstream(path) << R"({"document": {}, "selection": null, "fail": [{"function": )"
                            << R"("FX_LoadEData", "nth": 1, "tag": ")" << c.tag << "\"}]}";
        driver::Scenario read;
        std::string error;
        ASSERT_TRUE(driver::LoadScenario(path, read, &error)) << error;
        EXPECT_EQ(read.faults.at(0).tag, c.value) << c.tag;
    }
}

TEST_F(OutputFiles, ScenarioFaultsNameTheirFieldWhenWrong) {
    const struct {
        const char* fault;
        const char* error;
    } cases[] = {
        {R"({"function": "FX_LoadEData", "nth": 1, "answer": "late"})", "fail[0].answer: expected"},
        {R"({"function": "FX_LoadEData", "nth": 1, "answer": "size"})", "fail[0].size"},
        {R"({"function": "FX_LoadEData", "nth": 1, "bytes": "0g"})", "fail[0].bytes: expected"},
        {R"({"function": "FX_LoadEData", "nth": 1, "tag": "SDNG", "answer": "unterminated"})",
         "fail[0].tag: only a plain failure"},
        {R"({"function": "FX_LoadEData", "nth": 1, "tag": "0x1G"})", "fail[0].tag: expected four"},
        {R"({"function": "FX_LoadEData", "nth": 1, "tag": "SOTXX"})", "fail[0].tag: expected four"},
        {R"({"function": "FX_LoadEData", "nth": 1, "tag": 1398691928})",
         "fail[0].tag: expected four"},
        {R"({"function": "FX_LoadEData", "nth": 1, "tag": "0x0"})", "fail[0].tag: 0 is no tag"},
    };
    const std::string path = (folder / "s.json").string();
    for (const auto& c : cases) {
        std::ofstream(path) << R"({"document": {}, "selection": null, "fail": [)" << c.fault
                            << "]}";
        driver::Scenario read;
        std::string error;
        EXPECT_FALSE(driver::LoadScenario(path, read, &error)) << c.fault;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

}  // namespace
