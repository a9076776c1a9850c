#pragma once
// brisane's command line: the options as given, each at most once, checked against each other as
// they are read, and against the document once it is loaded.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "language.h"
#include "session.h"

namespace driver::brisane {

// Bad arguments: one line that names the option.
struct UsageError {
    std::string message;
};

struct Options {
    std::string document;
    std::map<std::string, std::string> values;  // option -> value ("" for flags)
    std::vector<std::string> scenarios;

    bool Has(const std::string& option) const { return values.count(option) != 0; }
    const std::string& Value(const std::string& option) const { return values.at(option); }
};

// What brisane --help prints.
std::string Usage();

// The options of the command line; with --help or --version, that option alone. Throws
// UsageError for an unknown option, one given twice, a value missing or not wanted, and options
// that mean nothing together.
Options ParseArguments(int argc, char** argv);

// The selection as given, in the program's record form (none with --no-selection); not yet
// checked against the score. Throws UsageError for a number that is none or out of range.
std::optional<Selection> SelectionOf(const Options& o);
// The notation program only ever passes a selection inside the score: whole staves of the chosen
// staff system, from top to bottom, and measures that exist. Throws UsageError for any other.
void CheckSelection(const Selection& s, const Options& o);
// Every output path is checked before the command runs, so that a run is not wasted on it.
void CheckOutputs(const Options& o);
// --host-version, else the stand-in's default.
uint32_t HostVersion(const Options& o);
// The language the pictures are drawn in: --language, else the plug-in's (`plugin`); English
// where that language has no labels of its own.
Language PicturesLanguage(const Options& o, const Language& plugin);
// Whether --output or --svg is standard output, which the report then leaves to them.
bool WritesStandardOutput(const Options& o);

}  // namespace driver::brisane
