#include "session.h"

#include <cstring>

namespace driver {
namespace {

constexpr uint32_t kUnicodeEnumerationVersion = 0x19000000;

void Put16(std::vector<uint8_t>& out, size_t at, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    out[at] = static_cast<uint8_t>(u & 0xFF);
    out[at + 1] = static_cast<uint8_t>(u >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>((u >> (8 * i)) & 0xFF);
}

std::u16string Field8(const uint8_t* record, size_t offset) {
    std::u16string out;
    for (size_t i = 0; i < 64 && record[offset + i] != 0; ++i) out += record[offset + i];
    return out;
}

std::u16string Field16(const uint8_t* record, size_t offset) {
    std::u16string out;
    for (size_t i = 0; i < 128; ++i) {
        const auto unit =
            static_cast<char16_t>(record[offset + 2 * i] | (record[offset + 2 * i + 1] << 8));
        if (unit == 0) break;
        out += unit;
    }
    return out;
}

}  // namespace

std::vector<uint8_t> RegionRecord(const Selection& s) {
    std::vector<uint8_t> record(20, 0);
    Put16(record, 0, s.system);
    Put16(record, 2, s.startSlot);
    Put16(record, 4, s.startMeasure);
    Put32(record, 6, s.startPos);
    Put16(record, 10, s.endSystem.value_or(s.system));
    Put16(record, 12, s.endSlot);
    Put16(record, 14, s.endMeasure);
    Put32(record, 16, s.endPos);
    return record;
}

bool Session::Start(const std::string& pluginPath, uint32_t hostVersion, std::string* error,
                    bool enumerate) {
    if (!plugin_.Load(pluginPath, error)) return false;
    enumeration_ = Enumeration{};
    enumeration_.pluginVersion = plugin_.Version(hostVersion);
    plugin_.Init(&enumeration_.initFlags);
    enumeration_.utf16 = hostVersion >= kUnicodeEnumerationVersion;
    if (enumerate) Enumerate();
    enumeration_.menuStatus = plugin_.GetMenuStatus();
    return true;
}

void Session::Enumerate() {
    if (enumeration_.utf16) {
        uint8_t record[0x304] = {};
        if (plugin_.EnumerateUTF16(0, record) != 0) {
            enumeration_.title = Field16(record, 0x000);
            enumeration_.description = Field16(record, 0x100);
            enumeration_.shortName = Field16(record, 0x200);
        }
        plugin_.EnumerateUTF16(1, record);
    } else {
        uint8_t record[0xC4] = {};
        if (plugin_.Enumerate(0, record) != 0) {
            enumeration_.title = Field8(record, 0x00);
            enumeration_.description = Field8(record, 0x40);
            enumeration_.shortName = Field8(record, 0x80);
        }
        plugin_.Enumerate(1, record);
    }
}

CommandRun Session::Invoke(const std::optional<Selection>& selection, BoxAnswerer answerer) {
    CommandRun run;
    BoxWatcher watcher(std::move(answerer));
    std::vector<uint8_t> record;
    if (selection) record = RegionRecord(*selection);
    run.result = plugin_.Invoke(nullptr, selection ? record.data() : nullptr);
    run.boxes = watcher.Boxes();
    return run;
}

void Session::Stop() {
    if (plugin_.IsLoaded()) plugin_.Terminate();
    plugin_.Unload();
}

}  // namespace driver
