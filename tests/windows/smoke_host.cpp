// Loads the built plug-in into a real Windows process (under Wine on Linux) and checks what the
// host sees: exports by name and ordinal, the entry points' answers and enumeration records byte
// for byte in the display language of the process, every language's string table against its
// source, the version record, the manifest, and answering message boxes through the hook.
//
// Usage: vb_smoke PLUGIN   (a Windows path, or a Unix path, which Wine reaches through Z:)
// Under Wine, LC_ALL sets the display language the enumeration records are expected in.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "box_hook.h"
#include "support/little_endian.h"
#include "support/wine_path.h"
#include "vb_string_tables.h"

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
    if (!ok) ++failures;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c == L'\n') {
            out += "\\n";
        } else {
            out.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
        }
    }
    return out;
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", value);
    return text;
}

std::string Narrow(const std::u16string& text) {
    return Narrow(std::wstring(text.begin(), text.end()));
}

// The table of a primary language in the sources; null when it has none.
const vb_strings::Table* TableOf(WORD language) {
    for (const vb_strings::Table& table : vb_strings::kTables) {
        if (table.language == language) return &table;
    }
    return nullptr;
}

// Entry `id` of a table in the sources; null when the table lacks it.
const char16_t* SourceText(const vb_strings::Table& table, UINT id) {
    for (size_t i = 0; i < table.count; ++i) {
        if (table.entries[i].id == id) return table.entries[i].text;
    }
    return nullptr;
}

constexpr const char* kExportNames[] = {
    "FinaleExtensionEnumerate", "FinaleExtensionEnumerate_UTF16", "FinaleExtensionGetMenuStatus",
    "FinaleExtensionInit",      "FinaleExtensionInvoke",          "FinaleExtensionTerminate",
    "FinaleExtensionVersion",
};

using VersionFn = uint32_t (*)(uint32_t);
using InitFn = int32_t (*)(void*, uint32_t*);
using EnumerateFn = int16_t (*)(void*, int16_t, void*);
using MenuStatusFn = int32_t (*)(void*, void*, void*);
using TerminateFn = void (*)();

template <typename Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::string FirstDifference(const std::vector<uint8_t>& actual,
                            const std::vector<uint8_t>& expected) {
    for (size_t i = 0; i < expected.size(); ++i) {
        if (actual[i] != expected[i]) {
            return " (first difference at byte " + Hex(static_cast<uint32_t>(i)) + ")";
        }
    }
    return "";
}

void CheckExports(HMODULE module) {
    for (WORD ordinal = 1; ordinal <= 7; ++ordinal) {
        const char* name = kExportNames[ordinal - 1];
        FARPROC byName = GetProcAddress(module, name);
        FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
        Check(byName != nullptr && byName == byOrdinal,
              std::string("export ") + name + " is ordinal " + std::to_string(ordinal));
    }
    Check(GetProcAddress(module, MAKEINTRESOURCEA(8)) == nullptr, "no export with ordinal 8");
}

void CheckEntryPoints(HMODULE module) {
    auto version = Export<VersionFn>(module, "FinaleExtensionVersion");
    auto init = Export<InitFn>(module, "FinaleExtensionInit");
    auto menuStatus = Export<MenuStatusFn>(module, "FinaleExtensionGetMenuStatus");
    auto terminate = Export<TerminateFn>(module, "FinaleExtensionTerminate");
    if (!version || !init || !menuStatus || !terminate) {
        Check(false, "entry points found");
        return;
    }
    Check(version(0x19000000) == 0x11000000, "Version answers 0x11000000");
    uint32_t flags = 0x6;
    int32_t result = init(nullptr, &flags);
    Check(result == 1 && flags == 0x7, "Init sets bit 0 of the flags and answers 1 (flags " +
                                           Hex(flags) + ", result " + std::to_string(result) + ")");
    Check(menuStatus(nullptr, nullptr, nullptr) == 1, "GetMenuStatus answers 1 with no selection");
    terminate();
}

// The record each enumeration must produce, built from the texts the host expects to see.
struct EnumerationCase {
    const char* name;
    const char* exportName;
    size_t size;
    size_t fieldBytes;
    size_t unitBytes;
    uint8_t fill;  // what the host's record holds before the call
};

// The text the plug-in owes the host: that of the display language's table, English where there
// is none or it lacks the entry; in an 8-bit record, English for a text 8 bits cannot hold.
std::u16string ExpectedText(UINT id, bool eightBit) {
    const vb_strings::Table* english = TableOf(LANG_ENGLISH);
    const vb_strings::Table* own = TableOf(PRIMARYLANGID(GetUserDefaultUILanguage()));
    const char16_t* text = own != nullptr ? SourceText(*own, id) : nullptr;
    std::u16string chosen = text != nullptr ? text : SourceText(*english, id);
    if (eightBit &&
        std::any_of(chosen.begin(), chosen.end(), [](char16_t u) { return u > 0xFF; })) {
        chosen = SourceText(*english, id);
    }
    return chosen;
}

std::vector<uint8_t> ExpectedRecord(const EnumerationCase& c) {
    const UINT ids[3] = {101, 102, 103};
    std::vector<uint8_t> record(c.size, c.fill);
    for (size_t field = 0; field < 3; ++field) {
        const std::u16string text = ExpectedText(ids[field], c.unitBytes == 1);
        size_t at = field * c.fieldBytes;
        size_t length = text.size();
        if (c.unitBytes == 1) {
            // 8-bit fields are zero-filled after the text.
            std::memset(&record[at], 0, c.fieldBytes);
            for (size_t i = 0; i < length; ++i) record[at + i] = static_cast<uint8_t>(text[i]);
        } else {
            // UTF-16 fields end with one zero unit; the host's bytes after it stay.
            support::PutUtf16(record, at, text);
        }
    }
    support::Put32(record, 3 * c.fieldBytes, 1);
    return record;
}

void CheckEnumeration(HMODULE module) {
    const EnumerationCase cases[] = {
        {"8-bit", "FinaleExtensionEnumerate", 0xC4, 0x40, 1, 0xAB},
        {"UTF-16", "FinaleExtensionEnumerate_UTF16", 0x304, 0x100, 2, 0xCD},
    };
    constexpr size_t kGuard = 16;  // bytes past the record that must stay untouched
    for (const EnumerationCase& c : cases) {
        auto enumerate = Export<EnumerateFn>(module, c.exportName);
        if (!enumerate) {
            Check(false, std::string(c.exportName) + " found");
            continue;
        }
        for (int16_t index : {int16_t{1}, int16_t{2}, int16_t{32767}}) {
            std::vector<uint8_t> record(c.size + kGuard, c.fill);
            int16_t result = enumerate(nullptr, index, record.data());
            Check(result == 0 && record == std::vector<uint8_t>(c.size + kGuard, c.fill),
                  std::string(c.name) + " enumeration of index " + std::to_string(index) +
                      " answers 0 and leaves the record alone");
        }
        for (int16_t index : {int16_t{0}, int16_t{-1}}) {
            std::vector<uint8_t> record(c.size + kGuard, c.fill);
            int16_t result = enumerate(nullptr, index, record.data());
            std::vector<uint8_t> expected = ExpectedRecord(c);
            expected.resize(c.size + kGuard, c.fill);
            Check(result == 1 && record == expected,
                  std::string(c.name) + " enumeration of index " + std::to_string(index) +
                      " fills the record byte for byte" + FirstDifference(record, expected));
        }
    }
}

// RT_STRING, whose <windows.h> form follows the UNICODE setting.
const LPCWSTR kStringTable = MAKEINTRESOURCEW(6);

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list) {
    reinterpret_cast<std::vector<LANGID>*>(list)->push_back(language);
    return TRUE;
}

// The languages the module holds string-table block `block` in.
std::vector<LANGID> BlockLanguages(HMODULE module, UINT block) {
    std::vector<LANGID> languages;
    EnumResourceLanguagesW(module, kStringTable, MAKEINTRESOURCEW(block), AddLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

// Entry `id` of the module's string table in exactly `language`, read from its block; empty when
// that language lacks the block or the entry.
std::u16string TableText(HMODULE module, UINT id, LANGID language) {
    const std::vector<LANGID> languages = BlockLanguages(module, id / 16 + 1);
    if (std::find(languages.begin(), languages.end(), language) == languages.end()) return {};
    HRSRC found = FindResourceExW(module, kStringTable, MAKEINTRESOURCEW(id / 16 + 1), language);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const auto* units =
        static_cast<const WCHAR*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (units == nullptr) return {};
    const DWORD size = SizeofResource(module, found) / sizeof(WCHAR);
    DWORD at = 0;
    for (UINT entry = 0; entry < id % 16 && at < size; ++entry) at += 1 + units[at];
    if (at >= size || units[at] > size - at - 1) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(units + at + 1), units[at]);
}

// Every language's table holds exactly its source's entries, the English one every entry: the
// split markers are in English only.
void CheckStringTables(HMODULE module) {
    const vb_strings::Table& english = vb_strings::kTables[0];
    for (const vb_strings::Table& table : vb_strings::kTables) {
        const LANGID language = MAKELANGID(table.language, SUBLANG_DEFAULT);
        size_t wrong = 0;
        std::string first;
        for (size_t i = 0; i < english.count; ++i) {
            const UINT id = english.entries[i].id;
            const char16_t* source = SourceText(table, id);
            const std::u16string expected = source != nullptr ? source : u"";
            const std::u16string actual = TableText(module, id, language);
            if (actual != expected && wrong++ == 0) {
                first = ": " + std::to_string(id) + " reads \"" + Narrow(actual) +
                        "\", expected \"" + Narrow(expected) + "\"";
            }
        }
        Check(wrong == 0, std::string(table.name) + " string table (" + Hex(language) +
                              ") holds exactly the entries of its source" + first);
    }
    // No table in a language without a source.
    std::vector<LANGID> known;
    for (const vb_strings::Table& table : vb_strings::kTables) {
        known.push_back(MAKELANGID(table.language, SUBLANG_DEFAULT));
    }
    std::string stray;
    for (size_t i = 0; i < english.count; ++i) {
        for (LANGID language : BlockLanguages(module, english.entries[i].id / 16 + 1)) {
            if (std::find(known.begin(), known.end(), language) == known.end()) {
                stray.append(" ").append(Hex(language));
            }
        }
    }
    Check(stray.empty(), "string tables only in the languages of the sources" + stray);
}

std::wstring VersionValue(const std::vector<BYTE>& info, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || value == nullptr) return {};
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

void CheckVersionRecord(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    std::vector<BYTE> info(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, info.data())) {
        Check(false, "version record present");
        return;
    }
    const std::wstring number =
        std::to_wstring(VB_VERSION_MAJOR) + L"," + std::to_wstring(VB_VERSION_MINOR) + L"," +
        std::to_wstring(VB_VERSION_PATCH) + L"," + std::to_wstring(VB_VERSION_TWEAK);
    const struct {
        const wchar_t* name;
        std::wstring value;
    } values[] = {
        {L"FileDescription", L"Vorlan Brisane plug-in for Finale(R)"},
        {L"ProductName", L"Vorlan Brisane"},
        {L"FileVersion", number},
        {L"ProductVersion", number},
    };
    for (const auto& v : values) {
        std::wstring actual = VersionValue(info, v.name);
        Check(actual == v.value, "version record " + Narrow(v.name) + " is \"" + Narrow(v.value) +
                                     "\"" +
                                     (actual == v.value ? "" : ", got \"" + Narrow(actual) + "\""));
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    const DWORD high = (DWORD{VB_VERSION_MAJOR} << 16) | DWORD{VB_VERSION_MINOR};
    const DWORD low = (DWORD{VB_VERSION_PATCH} << 16) | DWORD{VB_VERSION_TWEAK};
    bool found = VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) &&
                 fixed != nullptr && length >= sizeof(VS_FIXEDFILEINFO);
    Check(found && fixed->dwFileVersionMS == high && fixed->dwFileVersionLS == low &&
              fixed->dwProductVersionMS == high && fixed->dwProductVersionLS == low &&
              fixed->dwFileType == VFT_DLL,
          "numeric file and product version " + Narrow(number) + " of a DLL");
}

void CheckManifest(HMODULE module) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const char* data = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    std::string manifest = data != nullptr ? std::string(data, SizeofResource(module, found)) : "";
    Check(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>") !=
              std::string::npos,
          "manifest resource 2 asks for the invoker's execution level");
}

// The hook must read what a box shows and press exactly the scripted button.
void CheckBoxHook() {
    const struct {
        const char* name;
        const wchar_t* caption;
        const wchar_t* text;
        UINT style;
        int answer;
        std::vector<int> buttons;
    } cases[] = {
        {"question answered no",
         L"Too small region?",
         L"Small range.\n\nContinue anyway?",
         MB_YESNO,
         IDNO,
         {IDYES, IDNO}},
        {"question answered yes",
         L"Question",
         L"Continue?",
         MB_YESNO | MB_ICONQUESTION,
         IDYES,
         {IDYES, IDNO}},
        {"information confirmed",
         L"No Group",
         L"No group(s) to split were found.",
         MB_OK | MB_ICONINFORMATION,
         IDOK,
         {IDOK}},
        {"error confirmed", L"Error", L"Cannot split.", MB_OK | MB_ICONERROR, IDOK, {IDOK}},
        {"warning confirmed",
         L"Careful",
         L"Go on?",
         MB_OKCANCEL | MB_ICONWARNING,
         IDOK,
         {IDOK, IDCANCEL}},
        {"question left unanswered", L"Question", L"Continue?", MB_YESNO, 0, {IDYES, IDNO}},
    };
    for (const auto& c : cases) {
        boxhook::BoxAnswerer answerer([&](const boxhook::Box&) { return c.answer; });
        if (!answerer.Installed()) {
            Check(false, std::string("box hook installed for ") + c.name);
            continue;
        }
        int result = MessageBoxW(nullptr, c.text, c.caption, c.style);
        const auto& boxes = answerer.Boxes();
        bool seen = boxes.size() == 1 && boxes[0].caption == c.caption && boxes[0].text == c.text &&
                    boxes[0].buttons == c.buttons && boxes[0].style == c.style &&
                    boxes[0].pressed == c.answer;
        std::string detail;
        if (!boxes.empty()) {
            detail = " (saw \"" + Narrow(boxes[0].caption) + "\" / \"" + Narrow(boxes[0].text) +
                     "\", " + std::to_string(boxes[0].buttons.size()) + " buttons, style " +
                     Hex(boxes[0].style) + ", pressed " + std::to_string(boxes[0].pressed) + ")";
        }
        Check(result == c.answer && seen, std::string("message box ") + c.name + ": returns " +
                                              std::to_string(result) + detail);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PLUGIN\n", argv[0]);
        return 2;
    }
    std::wstring path = support::WindowsPath(argv[1]);
    HMODULE module = LoadLibraryW(path.c_str());
    Check(module != nullptr, std::string("plug-in loads: ") + argv[1]);
    if (module == nullptr) return 1;

    CheckExports(module);
    CheckEntryPoints(module);
    CheckEnumeration(module);
    CheckStringTables(module);
    CheckVersionRecord(module);
    CheckManifest(module);
    CheckBoxHook();

    Check(FreeLibrary(module) != 0, "plug-in unloads");
    std::printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
