#include "plugin_harness.h"

#include "process_language.h"

#if defined(_WIN32)
#include <windows.h>

#include <cstring>
#else
#include "user32_standin.h"
#endif

namespace validate {
namespace {

BoxRecorder* recorder = nullptr;

#if defined(_WIN32)
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");

int WINAPI RecordedMessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT style) {
    if (recorder == nullptr) return 0;
    driver::ShownBox box;
    box.caption = caption ? reinterpret_cast<const char16_t*>(caption) : u"";
    box.text = text ? reinterpret_cast<const char16_t*>(text) : u"";
    box.style = style;
    return recorder->OnBox(box);
}

// Points the module's import of USER32's MessageBoxW at RecordedMessageBoxW: the boxes of
// thousands of runs are answered in the process instead of being shown. (The Windows scenario
// suite shows real ones.)
bool BindMessageBoxes(HMODULE module) {
    auto* base = reinterpret_cast<uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return false;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name != 0; ++dll) {
        if (_stricmp(reinterpret_cast<const char*>(base + dll->Name), "USER32.dll") != 0) continue;
        const DWORD namesAt = dll->OriginalFirstThunk ? dll->OriginalFirstThunk : dll->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesAt);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "MessageBoxW") != 0) {
                continue;
            }
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(&RecordedMessageBoxW);
            VirtualProtect(&slots->u1.Function, sizeof(void*), protection, &protection);
            return true;
        }
    }
    return false;
}
#else
int32_t OnStandinBox(void*, void*, const char16_t* text, const char16_t* caption, uint32_t style) {
    if (recorder == nullptr) return 0;
    driver::ShownBox box;
    box.caption = caption ? caption : u"";
    box.text = text ? text : u"";
    box.style = style;
    return recorder->OnBox(box);
}
#endif

}  // namespace

bool Plugin::Load(const std::string& path, std::string* error) {
    if (!module_.Load(path, error)) return false;
#if defined(_WIN32)
    if (!BindMessageBoxes(static_cast<HMODULE>(module_.Handle()))) {
        *error = path + ": no import of USER32's MessageBoxW to answer the boxes through";
        module_.Unload();
        return false;
    }
#endif
    return true;
}

template <typename Call>
auto WatchedExports::Watched(const char* name, Call&& call) const {
    const std::string before = ProcessLanguage();
    auto result = call();
    const std::string after = ProcessLanguage();
    if (after != before) {
        changes_.push_back(std::string(name) + " changed the process's language from " + before +
                           " to " + after);
    }
    return result;
}

uint32_t WatchedExports::Version(uint32_t hostVersion) const {
    return Watched("FinaleExtensionVersion", [&] { return module_.Version(hostVersion); });
}
int32_t WatchedExports::Init(uint32_t* flags) const {
    return Watched("FinaleExtensionInit", [&] { return module_.Init(flags); });
}
int16_t WatchedExports::Enumerate(int16_t index, void* record) const {
    return Watched("FinaleExtensionEnumerate", [&] { return module_.Enumerate(index, record); });
}
int16_t WatchedExports::EnumerateUTF16(int16_t index, void* record) const {
    return Watched("FinaleExtensionEnumerate_UTF16",
                   [&] { return module_.EnumerateUTF16(index, record); });
}
int32_t WatchedExports::GetMenuStatus() const {
    return Watched("FinaleExtensionGetMenuStatus", [&] { return module_.GetMenuStatus(); });
}
int16_t WatchedExports::Invoke(void* window, const void* region) const {
    return Watched("FinaleExtensionInvoke", [&] { return module_.Invoke(window, region); });
}
void WatchedExports::Terminate() const {
    Watched("FinaleExtensionTerminate", [&] {
        module_.Terminate();
        return 0;
    });
}

std::vector<std::string> Plugin::TakeLanguageChanges() const {
    std::vector<std::string> changes;
    changes.swap(languageChanges_);
    return changes;
}

void Plugin::StartUp(uint32_t hostVersion, bool enumerate) const {
    exports_.Version(hostVersion);
    uint32_t flags = 0;
    exports_.Init(&flags);
    if (enumerate) {
        uint8_t record[0x304] = {};  // either form fits
        const bool utf16 = hostVersion >= driver::kUnicodeEnumerationVersion;
        for (int16_t index : {int16_t{0}, int16_t{1}}) {
            if (utf16) {
                exports_.EnumerateUTF16(index, record);
            } else {
                exports_.Enumerate(index, record);
            }
        }
    }
    exports_.GetMenuStatus();
}

CommandRun Plugin::Invoke(const std::optional<driver::Selection>& selection,
                          const std::vector<std::string>& answers) const {
    BoxRecorder boxes(driver::ScriptedAnswers(answers));
    std::vector<uint8_t> record;
    if (selection) record = driver::RegionRecord(*selection);
    CommandRun run;
    run.result = exports_.Invoke(nullptr, selection ? record.data() : nullptr);
    run.boxes = boxes.Boxes();
    return run;
}

BoxRecorder::BoxRecorder(driver::BoxAnswerer answerer) : answerer_(std::move(answerer)) {
    recorder = this;
#if !defined(_WIN32)
    User32Standin_SetHandler(&OnStandinBox, nullptr);
#endif
}

BoxRecorder::~BoxRecorder() {
#if !defined(_WIN32)
    User32Standin_SetHandler(nullptr, nullptr);
#endif
    recorder = nullptr;
}

int32_t BoxRecorder::OnBox(driver::ShownBox box) {
    box.answer = answerer_ ? answerer_(box) : 0;
    boxes_.push_back(box);
    return box.answer;
}

}  // namespace validate
