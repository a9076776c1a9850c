#include "picture/labels.h"

#include <cmath>

#include "support/utf8.h"

namespace driver::picture::labels {
namespace {

// A count as the language writes it: digits in threes, apart by `separator` (1,976; 1.976).
std::string Grouped(size_t n, std::string_view separator) {
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, separator);
    return digits;
}

// "3 Flute": a staff's number, and its name where it has one.
std::string StaffOf(const Staff& staff) {
    return std::to_string(staff.number) + (staff.name.empty() ? "" : " " + staff.name);
}

// The staves a staff system hides: each named, apart by `separator`, while they are few; else
// counted ("35 staves").
std::string Hidden(const std::vector<Staff>& hidden, std::string_view separator,
                   std::string (*counted)(size_t)) {
    if (hidden.size() > 3) return counted(hidden.size());
    std::string text;
    for (const Staff& staff : hidden)
        text += (text.empty() ? "" : std::string(separator)) + StaffOf(staff);
    return text;
}

// The words of the selection's line in a language that orders it as English does: "selected:
// staves 1 Violin I to 4 Violoncello in staff system 2 (which hides 3 Flute), measures 9 to 16".
struct SelectionWords {
    std::string_view head, staff, staves, to, inSystem, hides;
    std::string_view measure;  // "" where one measure reads as a range too ("measures 9 to 9")
    std::string_view measures;
    std::string (*counted)(size_t);  // "35 staves"
};

std::string SelectionLine(const Selected& s, const SelectionWords& w) {
    std::string text(w.head);
    text += s.top.number == s.bottom.number
                ? std::string(w.staff) + StaffOf(s.top)
                : std::string(w.staves) + StaffOf(s.top) + std::string(w.to) + StaffOf(s.bottom);
    if (s.system != 0) text += std::string(w.inSystem) + std::to_string(s.system);
    if (!s.hidden.empty()) text += std::string(w.hides) + Hidden(s.hidden, ", ", w.counted) + ")";
    if (s.firstMeasure == s.lastMeasure && !w.measure.empty())
        return text + ", " + std::string(w.measure) + std::to_string(s.firstMeasure);
    return text + ", " + std::string(w.measures) + std::to_string(s.firstMeasure) +
           std::string(w.to) + std::to_string(s.lastMeasure);
}

// A group's mark in the legend: `made` for a new group, `changed` for a changed one, and
// `notDrawn` after `separator` where its band could not be drawn.
std::string Mark(Change change, bool drawn, std::string_view made, std::string_view changed,
                 std::string_view notDrawn, std::string_view separator) {
    std::string text(change == Change::New ? made : change == Change::Changed ? changed : "");
    if (!drawn) text += (text.empty() ? "" : std::string(separator)) + std::string(notDrawn);
    return text;
}

// "(3–230)": staves 3 to 230, short enough to stand beside a long word for staves.
std::string DashedRange(int16_t first, int16_t last) {
    return "(" + std::to_string(first) + "\u2013" + std::to_string(last) + ")";
}

// --- English ---------------------------------------------------------------------------------

std::string CountEn(size_t n) {
    return Grouped(n, ",");
}

std::string StavesEn(size_t n) {
    return CountEn(n) + (n == 1 ? " staff" : " staves");
}

constexpr Labels kEnglish = {
    .code = "en",
    .fontFamily = "DejaVu Sans, Arial, sans-serif",
    .before = "Before",
    .after = "After",
    .noName = "(none)",
    .noStaves = "(no staves)",
    .noGroups = "(no groups)",
    .groupColumn = "group",
    .stavesColumn = "staves",
    .measuresColumn = "measures",
    .fullNameColumn = "full name",
    .abbreviatedNameColumn = "abbreviated name",
    .selection =
        [](const Selected& s) {
            return SelectionLine(s, {"selected: ", "staff ", "staves ", " to ", " in staff system ",
                                     " (which hides ", "", "measures ", StavesEn});
        },
    .foldedStaves = [](size_t count) { return StavesEn(count) + " "; },
    .foldedStaffRange =
        [](int16_t first, int16_t last) {
            return "(" + std::to_string(first) + " to " + std::to_string(last) + ")";
        },
    .groupChange =
        [](Change change, bool drawn) {
            return Mark(change, drawn, "new", "changed", "not drawn", ", ");
        },
    .untoldGroups =
        [](size_t untold, size_t changed, size_t near, bool later, bool hasSelection) {
            std::string text = CountEn(untold) +
                               (untold == 1 ? " further group" : " further groups") +
                               " not drawn: ";
            if (later) {
                text += changed == 0 ? "none of them changed, " : CountEn(changed) + " changed, ";
            } else if (changed != 0) {
                text += CountEn(changed) + (changed == 1 ? " changes, " : " change, ");
            }
            if (!hasSelection) return text + "no selection";
            text += near == 0 ? "none" : CountEn(near);
            return text + (near == 1 ? " crosses the selection" : " cross the selection");
        },
};

// --- German ----------------------------------------------------------------------------------

std::string CountDe(size_t n) {
    return Grouped(n, ".");
}

std::string StavesDe(size_t n) {
    return CountDe(n) + (n == 1 ? " Notensystem" : " Notensysteme");
}

constexpr Labels kGerman = {
    .code = "de",
    .fontFamily = "DejaVu Sans, Arial, sans-serif",
    .before = "Vorher",
    .after = "Nachher",
    .noName = "(kein Name)",
    .noStaves = "(keine Notensysteme)",
    .noGroups = "(keine Gruppen)",
    .groupColumn = "Gruppe",
    .stavesColumn = "Notensysteme",
    .measuresColumn = "Takte",
    .fullNameColumn = "Vollständiger Name",
    .abbreviatedNameColumn = "Abgekürzter Name",
    .selection =
        [](const Selected& s) {
            return SelectionLine(
                s, {"Auswahl: ", "Notensystem ", "Notensysteme ", " bis ", " in Akkolade ",
                    " (ausgeblendet: ", "Takt ", "Takte ", StavesDe});
        },
    .foldedStaves = [](size_t count) { return StavesDe(count) + " "; },
    .foldedStaffRange = DashedRange,
    .groupChange =
        [](Change change, bool drawn) {
            return Mark(change, drawn, "neu", "geändert", "nicht dargestellt", ", ");
        },
    .untoldGroups =
        [](size_t untold, size_t changed, size_t near, bool later, bool hasSelection) {
            std::string text = CountDe(untold) +
                               (untold == 1 ? " weitere Gruppe" : " weitere Gruppen") +
                               " nicht dargestellt: ";
            if (later) {
                text += changed == 0 ? "keine davon geändert, " : CountDe(changed) + " geändert, ";
            } else if (changed != 0) {
                text +=
                    CountDe(changed) + (changed == 1 ? " wird geändert, " : " werden geändert, ");
            }
            if (!hasSelection) return text + "keine Auswahl";
            text += near == 0 ? "keine" : CountDe(near);
            return text + (near <= 1 ? " überlappt die Auswahl" : " überlappen die Auswahl");
        },
};

// --- French: a no-break space (U+00A0) before : ; ! ?, counts in threes apart by a narrow
// no-break space (U+202F), and the singular for 0 and 1 -----------------------------------------

std::string CountFr(size_t n) {
    return Grouped(n, "\u202F");
}

// The singular or plural of a French noun or participle after `n`.
std::string_view NumberFr(size_t n, std::string_view singular, std::string_view plural) {
    return n <= 1 ? singular : plural;
}

std::string StavesFr(size_t n) {
    return CountFr(n) + std::string(NumberFr(n, " portée", " portées"));
}

constexpr Labels kFrench = {
    .code = "fr",
    .fontFamily = "DejaVu Sans, Arial, sans-serif",
    .before = "Avant",
    .after = "Après",
    .noName = "(sans nom)",
    .noStaves = "(aucune portée)",
    .noGroups = "(aucun groupe)",
    .groupColumn = "groupe",
    .stavesColumn = "portées",
    .measuresColumn = "mesures",
    .fullNameColumn = "nom complet",
    .abbreviatedNameColumn = "nom abrégé",
    .selection =
        [](const Selected& s) {
            return SelectionLine(
                s, {"Sélection\u00A0: ", "portée ", "portées ", " à ", " dans le système ",
                    " (qui masque ", "mesure ", "mesures ", StavesFr});
        },
    .foldedStaves = [](size_t count) { return StavesFr(count) + " "; },
    .foldedStaffRange = DashedRange,
    .groupChange =
        [](Change change, bool drawn) {
            return Mark(change, drawn, "nouveau", "modifié", "non affiché", ", ");
        },
    .untoldGroups =
        [](size_t untold, size_t changed, size_t near, bool later, bool hasSelection) {
            std::string text = CountFr(untold) +
                               std::string(NumberFr(untold, " autre groupe non affiché",
                                                    " autres groupes non affichés")) +
                               "\u00A0: ";
            if (later) {
                text += changed == 0
                            ? "aucun modifié, "
                            : CountFr(changed) +
                                  std::string(NumberFr(changed, " modifié, ", " modifiés, "));
            } else if (changed != 0) {
                text += CountFr(changed) +
                        std::string(NumberFr(changed, " sera modifié, ", " seront modifiés, "));
            }
            if (!hasSelection) return text + "pas de sélection";
            if (near == 0) return text + "aucun ne chevauche la sélection";
            return text + CountFr(near) +
                   std::string(
                       NumberFr(near, " chevauche la sélection", " chevauchent la sélection"));
        },
};

// --- Japanese: full-width punctuation, no plurals, counts in threes apart by a comma ----------

std::string CountJa(size_t n) {
    return Grouped(n, ",");
}

std::string StavesJa(size_t n) {
    return CountJa(n) + "本の五線";
}

constexpr Labels kJapanese = {
    .code = "ja",
    .fontFamily =
        "'Yu Gothic UI', 'Yu Gothic', Meiryo, 'Hiragino Sans', "
        "'Hiragino Kaku Gothic ProN', 'Noto Sans CJK JP', IPAPGothic, IPAGothic, "
        "sans-serif",
    .before = "実行前",
    .after = "実行後",
    .noName = "（名前なし）",
    .noStaves = "（五線なし）",
    .noGroups = "（グループなし）",
    .groupColumn = "グループ",
    .stavesColumn = "五線",
    .measuresColumn = "小節",
    .fullNameColumn = "正式グループ名",
    .abbreviatedNameColumn = "省略グループ名",
    .selection =
        [](const Selected& s) {
            std::string text = "選択範囲：五線";
            text += s.top.number == s.bottom.number ? StaffOf(s.top)
                                                    : StaffOf(s.top) + "～" + StaffOf(s.bottom);
            std::string aside;
            if (s.system != 0) aside = "組段" + std::to_string(s.system);
            if (!s.hidden.empty()) {
                aside += (aside.empty() ? "" : "、") + std::string("非表示：") +
                         Hidden(s.hidden, "、", StavesJa);
            }
            if (!aside.empty()) text += "（" + aside + "）";
            text += "、第" + std::to_string(s.firstMeasure);
            if (s.lastMeasure != s.firstMeasure) text += "～" + std::to_string(s.lastMeasure);
            return text + "小節";
        },
    .foldedStaves = [](size_t count) { return StavesJa(count); },
    .foldedStaffRange =
        [](int16_t first, int16_t last) {
            return "（" + std::to_string(first) + "～" + std::to_string(last) + "）";
        },
    .groupChange = [](Change change,
                      bool drawn) { return Mark(change, drawn, "新規", "変更", "図示なし", "、"); },
    .untoldGroups =
        [](size_t untold, size_t changed, size_t near, bool later, bool hasSelection) {
            std::string text = "ほかの" + CountJa(untold) + "個のグループは省略：";
            if (later) {
                text += changed == 0 ? "いずれも変更なし、"
                                     : "うち" + CountJa(changed) + "個は変更あり、";
            } else if (changed != 0) {
                text += "うち" + CountJa(changed) + "個は変更対象、";
            }
            if (!hasSelection) return text + "選択範囲なし";
            if (near == 0) return text + "選択範囲と重なるものはなし";
            return text + CountJa(near) + "個が選択範囲と重なる";
        },
};

constexpr Labels kLanguages[] = {kEnglish, kGerman, kFrench, kJapanese};

// Characters a CJK font draws a full em wide: Hangul Jamo, the CJK radicals, punctuation, kana,
// ideographs and syllables, compatibility forms and full-width forms; and, through their
// surrogates, the ideographs beyond the first plane.
bool FullWidth(char16_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xD800 && c <= 0xDBFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
}

}  // namespace

std::span<const Labels> Languages() {
    return kLanguages;
}

const Labels& In(std::string_view code) {
    for (const Labels& labels : kLanguages) {
        if (labels.code == code) return labels;
    }
    return kLanguages[0];
}

int EstimatedWidth(std::string_view text, int size, bool bold) {
    // DejaVu Sans, the widest of the Latin fonts named, averages under 0.62 em a character, and
    // under 0.7 em in bold.
    const double narrow = bold ? 0.7 : 0.62;
    double ems = 0;
    for (char16_t c : support::Utf16(text)) {
        if (c >= 0xDC00 && c <= 0xDFFF) continue;  // the second half of a character counted
        ems += FullWidth(c) ? 1.0 : narrow;
    }
    return static_cast<int>(std::ceil(ems * size));
}

}  // namespace driver::picture::labels
