#pragma once
// One run of the plug-in's command as the notation program makes it: load the module, the
// start-up calls in the program's order, the command on a selection, and shut-down.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "message_boxes.h"
#include "plugin_module.h"

namespace driver {

// Hosts from this version enumerate the plug-in's commands in UTF-16 records, older ones in
// 8-bit records.
inline constexpr uint32_t kUnicodeEnumerationVersion = 0x19000000;

// The user's selection as the program passes it to the command.
struct Selection {
    int16_t system = 0;
    int16_t startSlot = 0, endSlot = 0;
    int16_t startMeasure = 0, endMeasure = 0;
    int32_t startPos = 0;
    int32_t endPos = 0x7FFFFFFF;  // through the end of the measure
    std::optional<int16_t> endSystem =
        std::nullopt;  // the bottom slot's staff system, when not `system`
};

// The program's 20-byte region record: packed, little-endian.
std::vector<uint8_t> RegionRecord(const Selection& selection);

// What the plug-in told the program about itself at start-up.
struct Enumeration {
    std::u16string title, description, shortName;
    bool utf16 = false;
    uint32_t pluginVersion = 0;
    uint32_t initFlags = 0;
    int32_t menuStatus = 0;
};

struct CommandRun {
    int16_t result = 0;
    std::vector<ShownBox> boxes;
};

class Session {
  public:
    // Loads the plug-in and makes the start-up calls: version, init, enumeration (UTF-16 from
    // kUnicodeEnumerationVersion, 8-bit before; left out without `enumerate`, as by a host that
    // invokes the command first), and the menu status.
    bool Start(const std::string& pluginPath, uint32_t hostVersion, std::string* error,
               bool enumerate = true);
    const Enumeration& GetEnumeration() const { return enumeration_; }
    // Runs the command on the selection (none: the program passes no region record).
    CommandRun Invoke(const std::optional<Selection>& selection, BoxAnswerer answerer);
    // Terminate, then unload the module.
    void Stop();

  private:
    // The enumeration with index 0, then 1, in the form the host version calls for.
    void Enumerate();

    PluginModule plugin_;
    Enumeration enumeration_;
};

}  // namespace driver
