#pragma once
// Every text the picture draws of its own, in each language it is drawn in, and how its numbers
// read: the titles, the line that describes the selection, the legend's headings and marks, the
// folded rows. Names and staff names are the document's: data, drawn as stored in every language.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace driver::picture::labels {

// What the legend of a later picture says of a group against the first picture.
enum class Change { None, New, Changed };

// A staff as the selection's line names it: its number, then its name.
struct Staff {
    int16_t number = 0;
    std::string name;  // as stored; may be empty
};

// The selection as its line describes it.
struct Selected {
    Staff top, bottom;
    int16_t system = 0;         // the staff system its slots are counted in; 0 is the whole score
    std::vector<Staff> hidden;  // the score's staves that system hides
    int16_t firstMeasure = 0, lastMeasure = 0;
};

// The texts of the pictures in one language. A sentence is a function of its numbers, so that
// each language keeps its own word order, plurals and way of writing a count (1,976, 1.976,
// 1 976 with a narrow no-break space).
struct Labels {
    std::string_view code;        // the language's code in resources/languages.txt ("de")
    std::string_view fontFamily;  // the SVG's font-family list: fonts that have the script
    // The titles of the pictures before and after the command.
    std::string_view before, after;
    // A group without the name, in its band and in the legend; a picture of a score without
    // staves, or without groups (in the legend).
    std::string_view noName, noStaves, noGroups;
    // The legend's column heads.
    std::string_view groupColumn, stavesColumn, measuresColumn, fullNameColumn,
        abbreviatedNameColumn;

    // The line beside each title: "selected: staves 1 Violin I to 4 Violoncello, measures 9 to
    // 16", the staff system and the staves it hides named where it is not the whole score's.
    std::string (*selection)(const Selected& s);
    // A row of folded staves: "228 staves ", then, set apart, "(3 to 230)", the first and last
    // staff's numbers.
    std::string (*foldedStaves)(size_t count);
    std::string (*foldedStaffRange)(int16_t first, int16_t last);
    // "new", "changed", or nothing; with "not drawn" when the group's band could not be drawn.
    std::string (*groupChange)(Change change, bool drawn);
    // The legend's line for the groups a large picture leaves out: how many, how many of them
    // changed (`later`: in a picture after the first) and how many cross the selection.
    std::string (*untoldGroups)(size_t untold, size_t changed, size_t near, bool later,
                                bool hasSelection);
};

// Every language the pictures are drawn in, English first.
std::span<const Labels> Languages();

// The labels of the language `code` names ("de"); English for a language without its own, as
// the plug-in falls back to English for a language without a string table.
const Labels& In(std::string_view code);

// About how many pixels `text` (UTF-8) takes at `size` pixels: a CJK character about one em, any
// other character at most about two thirds of one, so that a label placed by it is not crowded.
int EstimatedWidth(std::string_view text, int size, bool bold);

}  // namespace driver::picture::labels
