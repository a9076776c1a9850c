// The call log, its readable form, and planned failures.
#include <algorithm>
#include <cstdio>

#include "bytes.h"
#include "standin/host.h"

namespace standin {
namespace {

std::string KeyText(const std::vector<uint16_t>& key) {
    std::string out = "(";
    for (size_t i = 0; i < key.size(); ++i) {
        if (i) out += ",";
        out += std::to_string(key[i]);
    }
    return out + ")";
}

std::string Hex32(uint32_t value) {
    char text[11];
    std::snprintf(text, sizeof(text), "0x%08X", value);
    return text;
}

bool IsRecordFunction(const std::string& f) {
    return f == "FX_LoadEData" || f == "FX_SaveEData" || f == "FX_CreateEData" ||
           f == "FX_DeleteEData" || f == "FX_NextEData";
}

}  // namespace

std::string Describe(const Call& c) {
    std::string out = c.function;
    if (IsRecordFunction(c.function)) {
        out += " " + TagName(c.tag) + " key " + KeyText(c.keyIn);
        if (c.keyOut != c.keyIn) out += " -> " + KeyText(c.keyOut);
        if (c.function == "FX_LoadEData") {
            out += c.bufferNull ? " null buffer" : " buffer";
            out += " size " + std::to_string(c.sizeIn) + " -> " + std::to_string(c.sizeOut);
        } else if (c.function == "FX_SaveEData" || c.function == "FX_CreateEData") {
            out += " size " + std::to_string(c.sizeIn) + " data " + ToHex(c.dataIn);
        } else if (c.function == "FX_NextEData" && !c.bufferNull) {
            out += " buffer";
        }
    } else if (c.function == "FX_SlotToInst") {
        out += " slot " + std::to_string(c.slot) + " system " + std::to_string(c.system);
    } else if (c.function == "FX_InstToSlot") {
        out += " staff " + std::to_string(c.staff) + " system " + std::to_string(c.system);
    } else if (c.function == "FX_FontNumToName") {
        out += " font " + std::to_string(c.font);
    } else if (c.function == "FX_FontNumToName_UTF16") {
        out += " font " + std::to_string(c.font) + " capacity " + std::to_string(c.capacity);
    }
    out += " v " + Hex32(c.version) + " = " + std::to_string(c.result);
    if (!c.name.empty()) out += " \"" + Utf8(c.name) + "\"";
    if (!c.wrong.empty()) out += " [wrong answer: " + c.wrong + "]";
    return out;
}

Call& Host::Log(std::string function) {
    calls_.push_back(Call{});
    calls_.back().function = std::move(function);
    return calls_.back();
}

std::vector<Call> Host::CallsOf(std::string_view function) const {
    std::vector<Call> out;
    std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(out),
                 [&](const Call& c) { return c.function == function; });
    return out;
}

void Host::FailCall(const std::string& function, int nth, uint32_t tag) {
    faults_.push_back(Fault{function, nth, std::nullopt, tag});
}

void Host::FailCallWritingBytes(const std::string& function, int nth, std::vector<uint8_t> bytes) {
    faults_.push_back(Fault{function, nth, std::move(bytes)});
}

void Host::FailTag(uint32_t tag) {
    failingTags_.push_back(tag);
}

void Host::ClearFaults() {
    faults_.clear();
    failingTags_.clear();
    ClearWrongAnswers();
}

std::optional<Host::Fault> Host::TakeFault(const std::string& function, uint32_t tag,
                                           bool recordCall) {
    std::optional<Fault> fired;
    for (auto it = faults_.begin(); it != faults_.end();) {
        const bool counts = it->function == function && (it->tag == 0 || it->tag == tag);
        if (counts && --it->remaining <= 0) {
            if (!fired) fired = *it;
            it = faults_.erase(it);
        } else {
            ++it;
        }
    }
    if (!fired && recordCall &&
        std::find(failingTags_.begin(), failingTags_.end(), tag) != failingTags_.end()) {
        fired = Fault{function, 0, std::nullopt};
    }
    return fired;
}

}  // namespace standin
