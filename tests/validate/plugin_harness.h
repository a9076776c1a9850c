#pragma once
// The built plug-in as the host program drives it: loaded from its file and called only through
// its seven exports, with its message boxes recorded and answered here instead of shown.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "message_boxes.h"
#include "plugin_module.h"
#include "session.h"

namespace validate {

struct CommandRun {
    int16_t result = 0;
    std::vector<driver::ShownBox> boxes;
};

// The seven exports as the validator calls them, each call watched: the process's locale and UI
// language belong to the host and must be the same after every export as before. What changed
// is noted in `changes`, one line per call.
class WatchedExports {
  public:
    WatchedExports(const driver::PluginModule& module, std::vector<std::string>& changes)
        : module_(module), changes_(changes) {}

    uint32_t Version(uint32_t hostVersion) const;
    int32_t Init(uint32_t* flags) const;
    int16_t Enumerate(int16_t index, void* record) const;
    int16_t EnumerateUTF16(int16_t index, void* record) const;
    int32_t GetMenuStatus() const;
    int16_t Invoke(void* window, const void* region) const;
    void Terminate() const;

  private:
    template <typename Call>
    auto Watched(const char* name, Call&& call) const;

    const driver::PluginModule& module_;
    std::vector<std::string>& changes_;
};

class Plugin {
  public:
    // Loads the module; on Windows also binds its message boxes to this program.
    bool Load(const std::string& path, std::string* error);
    void Unload() { module_.Unload(); }
    const WatchedExports& Exports() const { return exports_; }
    // The changes of the process's language that exports made since the last call, one line each.
    std::vector<std::string> TakeLanguageChanges() const;

    // The program's start-up calls: version, init, enumeration of index 0 and 1 (UTF-16 from
    // driver::kUnicodeEnumerationVersion, else 8-bit; left out without `enumerate`), menu status.
    void StartUp(uint32_t hostVersion, bool enumerate = true) const;
    // Runs the command on the selection (none: no region record), answering its questions from
    // `answers` in order.
    CommandRun Invoke(const std::optional<driver::Selection>& selection,
                      const std::vector<std::string>& answers) const;

  private:
    driver::PluginModule module_;
    mutable std::vector<std::string> languageChanges_;
    WatchedExports exports_{module_, languageChanges_};
};

// While it lives, every message box of the plug-in is recorded and answered by `answerer`;
// nothing is shown.
class BoxRecorder {
  public:
    explicit BoxRecorder(driver::BoxAnswerer answerer);
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;
    ~BoxRecorder();

    const std::vector<driver::ShownBox>& Boxes() const { return boxes_; }
    int32_t OnBox(driver::ShownBox box);

  private:
    driver::BoxAnswerer answerer_;
    std::vector<driver::ShownBox> boxes_;
};

}  // namespace validate
