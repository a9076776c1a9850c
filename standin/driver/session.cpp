#include "session.h"

#include "support/little_endian.h"

namespace driver {
namespace {

std::u16string Field8(const uint8_t* record, size_t offset) {
    std::u16string out;
    for (size_t i = 0; i < 64 && record[offset + i] != 0; ++i) out += record[offset + i];
    return out;
}

}  // namespace

std::vector<uint8_t> RegionRecord(const Selection& s) {
    std::vector<uint8_t> record(20, 0);
    support::PutS16(record, 0, s.system);
    support::PutS16(record, 2, s.startSlot);
    support::PutS16(record, 4, s.startMeasure);
    support::PutS32(record, 6, s.startPos);
    support::PutS16(record, 10, s.endSystem.value_or(s.system));
    support::PutS16(record, 12, s.endSlot);
    support::PutS16(record, 14, s.endMeasure);
    support::PutS32(record, 16, s.endPos);
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
        std::vector<uint8_t> record(0x304, 0);
        if (plugin_.EnumerateUTF16(0, record.data()) != 0) {
            enumeration_.title = support::GetUtf16(record, 0x000, 128);
            enumeration_.description = support::GetUtf16(record, 0x100, 128);
            enumeration_.shortName = support::GetUtf16(record, 0x200, 128);
        }
        plugin_.EnumerateUTF16(1, record.data());
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
