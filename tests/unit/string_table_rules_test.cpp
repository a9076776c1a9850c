// The string tables as compiled into the plug-in keep the rules of a table in every language, and
// a broken rule is reported with the language, the entry and the rule. Each rule is also shown a
// copy of the tables broken in one way, so that it is seen to catch what it is there for. The
// setup program's texts and the install texts, which a user reads first, keep the rules of their
// language too, reported with the file, the language, the entry or line and the rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <ostream>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "resources/string_ids.h"
#include "resources/string_tables.h"
#include "shell/entry_points.h"
#include "support/utf8.h"

namespace {

using vb_strings::Entry;
using vb_strings::Table;

// Never translated: the product name and the menu entry stay as they are, and the split markers
// are data written into scores, read in English whatever the user's language.
constexpr uint32_t kUntranslated[] = {res::IDS_TITLE, res::IDS_SHORT_NAME, res::IDS_PREFIX_FULL,
                                      res::IDS_PREFIX_ABBREVIATED};

// The rules, as a failure names them.
constexpr char kIdFits16Bits[] = "an id fits the 16 bits of a string table's ids";
constexpr char kGivenOnce[] = "each id and each name is given once in a table";
constexpr char kNotEmpty[] = "every text holds something";
constexpr char kEnglishIdsAndNames[] =
    "a translation holds only the English table's ids, under the same names";
constexpr char kNeverTranslated[] =
    "never translated: the product name, the menu entry and the split markers read in English";
constexpr char kHoldsEveryTranslated[] =
    "a translation holds every entry of the English table but the never-translated ones";
constexpr char kLineBreaks[] = "lines break where the English text's lines break";
constexpr char kFrenchSpaces[] = "French: a no-break space (U+00A0) before ? ! : ; and inside « »";
constexpr char kJapanesePunctuation[] = "Japanese: full-width punctuation and no spaces";
constexpr char kJapanesePunctuationBesideLatin[] =
    "Japanese: full-width punctuation and no spaces beside Japanese text (Latin names, paths and "
    "commands keep theirs)";
constexpr char kFitsEightBitRecord[] =
    "the 8-bit enumeration record's 64-byte field holds the text and its terminator";
constexpr char kFitsUtf16Record[] =
    "the UTF-16 enumeration record holds the text and its terminator in 64 units";

constexpr char16_t kNoBreakSpace = u'\u00A0';

struct Finding {
    std::string language;  // "French (fr)"
    uint32_t id;
    std::string name;
    std::string rule;
};

std::ostream& operator<<(std::ostream& out, const Finding& f) {
    return out << f.language << ", " << f.id << " " << f.name << ": " << f.rule;
}

bool IsUntranslated(uint32_t id) {
    for (uint32_t untranslated : kUntranslated) {
        if (id == untranslated) return true;
    }
    return false;
}

// One character a line, "x" for a line with text and "_" for an empty one.
std::string LineLayout(std::u16string_view text) {
    std::string layout;
    for (size_t start = 0;;) {
        const size_t end = text.find(u'\n', start);
        layout += text.substr(start, end - start).empty() ? '_' : 'x';
        if (end == std::u16string_view::npos) return layout;
        start = end + 1;
    }
}

// `paths`: a colon before \ or / belongs to a path (C:\Program Files), the ? of \\?\ too, and the
// ? of _?= to the uninstaller's option, not to the sentence.
bool KeepsFrenchSpaces(std::u16string_view text, bool paths = false) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (paths && c == u':' && i + 1 < text.size() &&
            (text[i + 1] == u'\\' || text[i + 1] == u'/'))
            continue;
        const char16_t before = i > 0 ? text[i - 1] : u' ',
                       after = i + 1 < text.size() ? text[i + 1] : u' ';
        if (paths && c == u'?' &&
            ((before == u'_' && after == u'=') || (before == u'\\' && after == u'\\')))
            continue;
        const bool spaceBefore = c == u'?' || c == u'!' || c == u':' || c == u';' || c == u'»';
        if (spaceBefore && (i == 0 || text[i - 1] != kNoBreakSpace)) return false;
        if (c == u'«' && (i + 1 == text.size() || text[i + 1] != kNoBreakSpace)) return false;
    }
    return true;
}

bool KeepsJapanesePunctuation(std::u16string_view text) {
    return text.find_first_of(u" ?!:;,.()") == std::u16string_view::npos;
}

// Japanese text that quotes Latin names, paths and commands (Finale 25, C:\Program Files,
// Finale.exe, 「(Brisane 12)」, C:\...や): a half-width space or punctuation mark is wrong where it
// touches Japanese text, a bracket quoting it aside. `columns`: a line of a plain-text file, whose
// indent, list number ("3. ") and runs of two or more spaces lay out a list.
bool KeepsJapanesePunctuationBesideLatin(std::u16string_view text, bool columns) {
    const auto japanese = [](char16_t c) { return c >= 0x3000; };
    const auto opening = [](char16_t c) {
        return std::u16string_view(u"「『（【〔").find(c) != std::u16string_view::npos;
    };
    const auto closing = [](char16_t c) {
        return std::u16string_view(u"」』）】〕").find(c) != std::u16string_view::npos;
    };
    size_t i = 0;
    if (columns) {
        i = std::min(text.find_first_not_of(u' '), text.size());
        const size_t number = std::min(text.find_first_not_of(u"0123456789", i), text.size());
        if (number > i && text.substr(number, 2) == u". ") i = number + 2;
    }
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (std::u16string_view(u" ?!:;,.()").find(c) == std::u16string_view::npos) continue;
        const char16_t before = i > 0 ? text[i - 1] : u' ',
                       after = i + 1 < text.size() ? text[i + 1] : u' ';
        const bool ellipsis = i >= 2 && text.substr(i - 2, 3) == u"...";
        if (c == u' ') {
            if (columns && (before == u' ' || after == u' ')) continue;
            if (japanese(before) || japanese(after)) return false;
        } else if ((japanese(before) && !opening(before)) ||
                   (japanese(after) && !closing(after) && !ellipsis)) {
            return false;
        }
    }
    return true;
}

// What the enumeration record's 8-bit field gets of a text: its units as bytes where each one
// fits 8 bits, else the English text (a Japanese description reads English there).
size_t EightBitLength(std::u16string_view text, std::u16string_view english) {
    for (char16_t unit : text) {
        if (unit > 0xFF) return english.size();
    }
    return text.size();
}

// Every rule on every table; tables[0] is the English reference.
std::vector<Finding> CheckTables(std::span<const Table> tables) {
    std::vector<Finding> findings;
    const Table& english = tables.front();
    const auto report = [&](const Table& table, uint32_t id, const char* name, const char* rule) {
        findings.push_back({std::string(table.name) + " (" + table.code + ")", id,
                            name != nullptr ? name : "", rule});
    };
    // What a user of a language reads of an entry, English where the language's table lacks it.
    const auto read = [&](const Table& table, uint32_t id) {
        return res::ReadInLanguageOrEnglish(table.language, [&](uint16_t language) {
            for (const Table& t : tables) {
                if (t.language == language) return vb_strings::EntryOf(t, id);
            }
            return static_cast<const Entry*>(nullptr);
        });
    };

    for (const Table& table : tables) {
        const bool translation = &table != &english;
        const std::string_view code = table.code;
        for (size_t i = 0; i < table.count; ++i) {
            const Entry& entry = table.entries[i];
            const auto fail = [&](const char* rule) { report(table, entry.id, entry.name, rule); };
            const std::u16string_view text = entry.text;
            if (entry.id > 0xFFFF) fail(kIdFits16Bits);
            for (size_t j = 0; j < i; ++j) {
                if (table.entries[j].id == entry.id ||
                    std::string_view(table.entries[j].name) == entry.name) {
                    fail(kGivenOnce);
                }
            }
            if (text.empty()) fail(kNotEmpty);
            if (translation) {
                const Entry* reference = vb_strings::EntryOf(english, entry.id);
                if (reference == nullptr || std::string_view(reference->name) != entry.name) {
                    fail(kEnglishIdsAndNames);
                } else if (IsUntranslated(entry.id)) {
                    fail(kNeverTranslated);
                } else if (LineLayout(text) != LineLayout(reference->text)) {
                    fail(kLineBreaks);
                }
            }
            if (code == "fr" && !KeepsFrenchSpaces(text)) fail(kFrenchSpaces);
            if (code == "ja" && !KeepsJapanesePunctuation(text)) fail(kJapanesePunctuation);
        }
        if (translation) {
            for (size_t i = 0; i < english.count; ++i) {
                const Entry& reference = english.entries[i];
                if (!IsUntranslated(reference.id) && !vb_strings::EntryOf(table, reference.id)) {
                    report(table, reference.id, reference.name, kHoldsEveryTranslated);
                }
            }
        }
        for (uint32_t id : shell::kEnumerationTexts) {
            const Entry* shown = read(table, id);
            const Entry* reference = vb_strings::EntryOf(english, id);
            if (shown == nullptr || reference == nullptr)
                continue;  // a missing entry is found above
            const std::u16string_view text = shown->text;
            if (EightBitLength(text, reference->text) + 1 > shell::kTextField8) {
                report(table, id, shown->name, kFitsEightBitRecord);
            }
            if (text.size() + 1 > shell::kUnitsWritten16) {
                report(table, id, shown->name, kFitsUtf16Record);
            }
        }
    }
    return findings;
}

TEST(StringTableRules, EveryLanguageKeepsEveryRule) {
    ASSERT_EQ(std::string_view(vb_strings::kTables[0].code), "en");
    for (const Finding& finding : CheckTables(vb_strings::kTables)) ADD_FAILURE() << finding;
}

// The compiled tables, copied so that a test can break one entry of one language.
class TableCopy {
  public:
    TableCopy() {
        for (const Table& table : vb_strings::kTables) {
            entries_.emplace_back(table.entries, table.entries + table.count);
        }
    }

    std::vector<Entry>& EntriesOf(std::string_view code) {
        for (size_t i = 0; i < std::size(vb_strings::kTables); ++i) {
            if (code == vb_strings::kTables[i].code) return entries_[i];
        }
        throw std::logic_error("no table " + std::string(code));
    }

    std::vector<Table> Tables() const {
        std::vector<Table> tables;
        for (size_t i = 0; i < std::size(vb_strings::kTables); ++i) {
            Table table = vb_strings::kTables[i];
            table.entries = entries_[i].data();
            table.count = entries_[i].size();
            tables.push_back(table);
        }
        return tables;
    }

  private:
    std::vector<std::vector<Entry>> entries_;
};

enum class Change { kText, kName, kRemove, kAdd };

struct Fault {
    const char* name;
    const char* code;  // the language broken
    Change change;
    uint32_t id;
    const char16_t* text;   // kText, kAdd
    const char* entryName;  // kName, kAdd
    // The rules broken, in the order they are found; none for a table that keeps them.
    const char* found = nullptr;
    const char* alsoFound = nullptr;
};

void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.name;
}

class BrokenTable : public ::testing::TestWithParam<Fault> {};

TEST_P(BrokenTable, ReportsLanguageIdAndRule) {
    const Fault& fault = GetParam();
    TableCopy copy;
    std::vector<Entry>& entries = copy.EntriesOf(fault.code);
    Entry* entry = nullptr;
    for (Entry& e : entries) {
        if (e.id == fault.id) entry = &e;
    }
    switch (fault.change) {
        case Change::kText:
            ASSERT_NE(entry, nullptr);
            entry->text = fault.text;
            break;
        case Change::kName:
            ASSERT_NE(entry, nullptr);
            entry->name = fault.entryName;
            break;
        case Change::kRemove:
            ASSERT_NE(entry, nullptr);
            entries.erase(entries.begin() + (entry - entries.data()));
            break;
        case Change::kAdd:
            entries.push_back({fault.id, fault.text, fault.entryName});
            break;
    }
    const std::vector<Table> tables = copy.Tables();
    const std::vector<Finding> findings = CheckTables(tables);
    std::vector<std::string> rules;
    for (const Finding& finding : findings) {
        EXPECT_EQ(finding.id, fault.id) << finding;
        EXPECT_NE(finding.language.find(std::string("(") + fault.code + ")"), std::string::npos)
            << finding;
        rules.push_back(finding.rule);
    }
    std::vector<std::string> expected;
    for (const char* rule : {fault.found, fault.alsoFound}) {
        if (rule != nullptr) expected.push_back(rule);
    }
    EXPECT_EQ(rules, expected);
}

INSTANTIATE_TEST_SUITE_P(
    One, BrokenTable,
    ::testing::Values(
        Fault{"DescriptionOf63UnitsFits", "de", Change::kText, res::IDS_DESCRIPTION,
              u"Teilt die Gruppen im Bereich der Auswahl in kurze Untergruppen.", nullptr},
        Fault{"DescriptionOf64UnitsIsTooLong", "fr", Change::kText, res::IDS_DESCRIPTION,
              u"Scinde les groupes en sous-groupes sur la plage sélectionnée ici", nullptr,
              kFitsEightBitRecord, kFitsUtf16Record},
        Fault{"JapaneseDescriptionOf63UnitsFits", "ja", Change::kText, res::IDS_DESCRIPTION,
              u"選択範囲に合わせて、グループをサブグループに分割します。"
              u"選択範囲に合わせて、グループをサブグループに分割します。選択範囲に合わ",
              nullptr},
        Fault{"JapaneseDescriptionTooLongForUtf16", "ja", Change::kText, res::IDS_DESCRIPTION,
              u"選択範囲に合わせて、グループをサブグループに分割します。"
              u"選択範囲に合わせて、グループをサブグループに分割します。選択範囲に合わせ",
              nullptr, kFitsUtf16Record},
        Fault{"FrenchQuestionMarkAfterASpace", "fr", Change::kText, res::IDS_CAPTION_SMALL_RANGE,
              u"Plage trop petite ?", nullptr, kFrenchSpaces},
        Fault{"FrenchColonWithoutSpace", "fr", Change::kText, res::IDS_CAPTION_PARTIAL_MEASURE,
              u"Sélection partielle: mesures", nullptr, kFrenchSpaces},
        Fault{"FrenchGuillemetsWithSpaces", "fr", Change::kText, res::IDS_CAPTION_NO_GROUP,
              u"« Aucun groupe »", nullptr, kFrenchSpaces},
        Fault{"FrenchGuillemetsWithNoBreakSpaces", "fr", Change::kText, res::IDS_CAPTION_NO_GROUP,
              u"«\u00A0Aucun groupe\u00A0»", nullptr},
        Fault{"JapaneseAsciiQuestionMark", "ja", Change::kText, res::IDS_CAPTION_SMALL_RANGE,
              u"範囲が狭すぎませんか?", nullptr, kJapanesePunctuation},
        Fault{"JapaneseSpaceBetweenWords", "ja", Change::kText, res::IDS_CAPTION_NO_GROUP,
              u"グループが ありません", nullptr, kJapanesePunctuation},
        Fault{"LinesBreakElsewhere", "de", Change::kText, res::IDS_PARTIAL_MEASURE,
              u"Bitte wählen Sie ganze Takte aus.", nullptr, kLineBreaks},
        Fault{"EmptyText", "de", Change::kText, res::IDS_CAPTION_NO_GROUP, u"", nullptr, kNotEmpty,
              kLineBreaks},
        Fault{"TranslationLacksACaption", "fr", Change::kRemove, res::IDS_CAPTION_MULTISTAFF_RANGE,
              nullptr, nullptr, kHoldsEveryTranslated},
        Fault{"TranslationHoldsTheMenuEntry", "de", Change::kAdd, res::IDS_SHORT_NAME, u"Brisane",
              "IDS_SHORT_NAME", kNeverTranslated},
        Fault{"TranslationHoldsASplitMarker", "fr", Change::kAdd, res::IDS_PREFIX_FULL, u"Brisane ",
              "IDS_PREFIX_FULL", kNeverTranslated},
        Fault{"NameOtherThanEnglish", "ja", Change::kName, res::IDS_CAPTION_NO_GROUP, nullptr,
              "IDS_NO_GROUP_CAPTION", kEnglishIdsAndNames},
        Fault{"IdEnglishLacks", "de", Change::kAdd, 999, u"Mehr", "IDS_MORE", kEnglishIdsAndNames},
        Fault{"IdGivenTwice", "de", Change::kAdd, res::IDS_CAPTION_NO_GROUP, u"Keine Gruppe",
              "IDS_CAPTION_NO_GROUP", kGivenOnce},
        Fault{"IdBeyondSixteenBits", "ja", Change::kAdd, 70000, u"グループ", "IDS_BEYOND",
              kIdFits16Bits, kEnglishIdsAndNames}),
    [](const ::testing::TestParamInfo<Fault>& test) { return test.param.name; });

// --- The setup program's texts and the install texts ------------------------------------------

enum class Form {
    kSetupTexts,  // release/installer-texts.nsh: LangString NAME ${LANG_...} "TEXT", one a line
    kLines,       // resources/INSTALL.CODE.txt: each line a text
};

// One text of a file as its user reads it, and where it stands: the setup text's name, or
// "line 12".
struct Text {
    std::string where;
    std::u16string text;
};

struct TextFinding {
    std::string file, language, where, rule;
};

std::ostream& operator<<(std::ostream& out, const TextFinding& f) {
    return out << f.file << ", " << f.language << ", " << f.where << ": " << f.rule;
}

// A setup text as the setup program shows it: NSIS's escapes $\r $\n $\t $\" and $$ decoded;
// its variables ($1, $R2, $TEMP, ${NAME}, $(NAME)) stay as written, words of no language.
std::string DecodeNsis(std::string_view text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '$' && i + 1 < text.size() && text[i + 1] == '$') {
            decoded += '$';
            ++i;
        } else if (text[i] == '$' && i + 2 < text.size() && text[i + 1] == '\\') {
            const char c = text[i + 2];
            decoded += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// The texts of one language in a file's contents; NSIS names the language LANG_FRENCH.
std::vector<Text> TextsOf(std::string_view contents, Form form, std::string_view nsisLanguage) {
    std::vector<Text> texts;
    std::istringstream lines{std::string(contents)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (form == Form::kLines) {
            texts.push_back({"line " + std::to_string(number), support::Utf16(line)});
            continue;
        }
        std::istringstream words(line);
        std::string keyword, name, language;
        words >> keyword >> name >> language;
        if (keyword != "LangString" || language != "${" + std::string(nsisLanguage) + "}") continue;
        const size_t open = line.find('"'), close = line.rfind('"');
        if (open == std::string::npos || close == open) continue;  // makensis refuses it
        texts.push_back(
            {name, support::Utf16(DecodeNsis(line.substr(open + 1, close - open - 1)))});
    }
    return texts;
}

// The languages whose rules a file's texts keep: as a finding names them, and as NSIS does.
struct RuledLanguage {
    const char* code;
    const char* name;
    const char* nsis;
};
constexpr RuledLanguage kRuledLanguages[] = {{"fr", "French", "LANG_FRENCH"},
                                             {"ja", "Japanese", "LANG_JAPANESE"}};

const RuledLanguage& RuledLanguageOf(std::string_view code) {
    for (const RuledLanguage& language : kRuledLanguages) {
        if (code == language.code) return language;
    }
    throw std::logic_error("no rules for the language " + std::string(code));
}

// Every rule of the file's language on each of its texts.
std::vector<TextFinding> CheckTexts(std::string_view file, std::string_view contents, Form form,
                                    std::string_view code) {
    const RuledLanguage& language = RuledLanguageOf(code);
    std::vector<TextFinding> findings;
    for (const Text& t : TextsOf(contents, form, language.nsis)) {
        const auto fail = [&](const char* rule) {
            findings.push_back({std::string(file),
                                std::string(language.name) + " (" + language.code + ")", t.where,
                                rule});
        };
        if (code == "fr" && !KeepsFrenchSpaces(t.text, true)) fail(kFrenchSpaces);
        if (code == "ja" && !KeepsJapanesePunctuationBesideLatin(t.text, form == Form::kLines)) {
            fail(kJapanesePunctuationBesideLatin);
        }
    }
    return findings;
}

std::string SourceFile(const std::string& path) {
    std::ifstream in(std::string(VB_SOURCE_DIR) + "/" + path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

struct TextFile {
    const char* name;
    const char* file;  // from the top of the sources
    Form form;
    const char* code;
    size_t least;  // the texts it holds at least: a file read wrong holds none
};

void PrintTo(const TextFile& file, std::ostream* out) {
    *out << file.name;
}

class TextFileRules : public ::testing::TestWithParam<TextFile> {};

TEST_P(TextFileRules, KeepTheRulesOfTheirLanguage) {
    const TextFile& f = GetParam();
    const std::string contents = SourceFile(f.file);
    EXPECT_GE(TextsOf(contents, f.form, RuledLanguageOf(f.code).nsis).size(), f.least) << f.file;
    for (const TextFinding& finding : CheckTexts(f.file, contents, f.form, f.code)) {
        ADD_FAILURE() << finding;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, TextFileRules,
    ::testing::Values(
        TextFile{"SetupFrench", "release/installer-texts.nsh", Form::kSetupTexts, "fr", 15},
        TextFile{"SetupJapanese", "release/installer-texts.nsh", Form::kSetupTexts, "ja", 15},
        TextFile{"InstallFrench", "resources/INSTALL.fr.txt", Form::kLines, "fr", 150},
        TextFile{"InstallJapanese", "resources/INSTALL.ja.txt", Form::kLines, "ja", 150}),
    [](const ::testing::TestParamInfo<TextFile>& test) { return test.param.name; });

// A file's texts with one text changed: the first `from` of the file becomes `to`.
struct Plant {
    const char* name;
    const char* file;
    Form form;
    const char* code;
    const char* from;
    const char* to;
    const char* found;  // the rule broken, nullptr for a text that keeps the rules
    const char* where;  // the setup text it is found in; nullptr for the planted line
};

void PrintTo(const Plant& plant, std::ostream* out) {
    *out << plant.name;
}

class BrokenText : public ::testing::TestWithParam<Plant> {};

TEST_P(BrokenText, ReportsFileLineAndRule) {
    const Plant& p = GetParam();
    std::string contents = SourceFile(p.file);
    const size_t at = contents.find(p.from);
    ASSERT_NE(at, std::string::npos) << p.file << " lacks " << p.from;
    contents.replace(at, std::string_view(p.from).size(), p.to);
    const std::string line =
        "line " +
        std::to_string(
            std::count(contents.begin(), contents.begin() + static_cast<std::ptrdiff_t>(at), '\n') +
            1);
    std::vector<std::string> found;
    for (const TextFinding& finding : CheckTexts(p.file, contents, p.form, p.code)) {
        EXPECT_EQ(finding.file, p.file) << finding;
        EXPECT_NE(finding.language.find(std::string("(") + p.code + ")"), std::string::npos)
            << finding;
        EXPECT_EQ(finding.where, p.where != nullptr ? p.where : line) << finding;
        found.push_back(finding.rule);
    }
    std::vector<std::string> expected;
    if (p.found != nullptr) expected.push_back(p.found);
    EXPECT_EQ(found, expected);
}

constexpr char kNsh[] = "release/installer-texts.nsh";
constexpr char kInstallFr[] = "resources/INSTALL.fr.txt";
constexpr char kInstallJa[] = "resources/INSTALL.ja.txt";

INSTANTIATE_TEST_SUITE_P(
    One, BrokenText,
    ::testing::Values(
        Plant{"SetupFrenchPlainSpaceBeforeColon", kNsh, Form::kSetupTexts, "fr",
              "annulées\u00A0: rien", "annulées : rien", kFrenchSpaces, "NotWritten"},
        Plant{"SetupFrenchGuillemetsWithPlainSpaces", kNsh, Form::kSetupTexts, "fr",
              "«\u00A0Réessayer\u00A0»", "« Réessayer »", kFrenchSpaces, "InUse"},
        Plant{"SetupFrenchColonAfterAWord", kNsh, Form::kSetupTexts, "fr", "Supprimé\u00A0: $1",
              "Supprimé:$1", kFrenchSpaces, "Removed"},
        Plant{"SetupFrenchPathKeepsItsColon", kNsh, Form::kSetupTexts, "fr",
              "par exemple C:\\Program Files", "par exemple D:\\Program Files", nullptr, nullptr},
        Plant{"SetupJapaneseHalfWidthFullStop", kNsh, Form::kSetupTexts, "ja",
              "可能性があります。変更した", "可能性があります.変更した",
              kJapanesePunctuationBesideLatin, "NotWritten"},
        Plant{"SetupJapaneseSpaceAfterAName", kNsh, Form::kSetupTexts, "ja",
              "Vorlan Brisaneのガイド", "Vorlan Brisane のガイド", kJapanesePunctuationBesideLatin,
              "ShowGuide"},
        Plant{"InstallFrenchPlainSpaceBeforeSemicolon", kInstallFr, Form::kLines, "fr",
              "«\u00A0Réessayer\u00A0»\u00A0;", "«\u00A0Réessayer\u00A0» ;", kFrenchSpaces,
              nullptr},
        Plant{"InstallFrenchCommandLineKept", kInstallFr, Form::kLines, "fr",
              "  vorlanbrisane-@VERSION@-win64-setup.exe /S\n",
              "  vorlanbrisane-@VERSION@-win64-setup.exe /S /FINALEDIR=\"D:\\Finale\"\n", nullptr,
              nullptr},
        Plant{"InstallJapaneseHalfWidthParenthesis", kInstallJa, Form::kLines, "ja", "（英語版では",
              "(英語版では", kJapanesePunctuationBesideLatin, nullptr},
        Plant{"InstallJapaneseHalfWidthComma", kInstallJa, Form::kLines, "ja",
              "何も尋ねずに、見つかった", "何も尋ねずに,見つかった",
              kJapanesePunctuationBesideLatin, nullptr},
        Plant{"InstallJapaneseSpaceBetweenWords", kInstallJa, Form::kLines, "ja",
              "Finaleを終了します。", "Finaleを 終了します。", kJapanesePunctuationBesideLatin,
              nullptr},
        Plant{"InstallJapaneseListColumnsKept", kInstallJa, Form::kLines, "ja",
              "  LICENSE               ライセンス", "  LICENSE       ライセンス", nullptr,
              nullptr}),
    [](const ::testing::TestParamInfo<Plant>& test) { return test.param.name; });

}  // namespace
