// The call log, its readable form, and planned failures.
#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "bytes.h"
#include "standin/host.h"
#include "support/utf8.h"

namespace standin {
namespace {

std::string KeyText(const std::vector<uint16_t>& key) {
    std::string out = "(";
    for (size_t i = 0; i < key.size(); ++i) {
        if (i) out += ",";
        out += std::to_string(key[i]);
    }
    out += ")";
    return out;
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

// Built by appending: GCC 12 at -O2 and above reports `"literal" + std::string` temporaries
// here as overlapping copies (-Wrestrict), a false positive of that compiler.
std::string Describe(const Call& c) {
    std::string out = c.function;
    auto put = [&out](std::initializer_list<std::string_view> parts) {
        for (std::string_view p : parts) out.append(p);
    };
    if (IsRecordFunction(c.function)) {
        put({" ", TagName(c.tag), " key ", KeyText(c.keyIn)});
        if (c.keyOut != c.keyIn) put({" -> ", KeyText(c.keyOut)});
        if (c.function == "FX_LoadEData") {
            put({c.bufferNull ? " null buffer" : " buffer", " size ", std::to_string(c.sizeIn),
                 " -> ", std::to_string(c.sizeOut)});
        } else if (c.function == "FX_SaveEData" || c.function == "FX_CreateEData") {
            put({" size ", std::to_string(c.sizeIn), " data ", ToHex(c.dataIn)});
        } else if (c.function == "FX_NextEData" && !c.bufferNull) {
            put({" buffer"});
        }
    } else if (c.function == "FX_SlotToInst") {
        put({" slot ", std::to_string(c.slot), " system ", std::to_string(c.system)});
    } else if (c.function == "FX_InstToSlot") {
        put({" staff ", std::to_string(c.staff), " system ", std::to_string(c.system)});
    } else if (c.function == "FX_FontNumToName") {
        put({" font ", std::to_string(c.font)});
    } else if (c.function == "FX_FontNumToName_UTF16") {
        put({" font ", std::to_string(c.font), " capacity ", std::to_string(c.capacity)});
    }
    put({" v ", Hex32(c.version), " = ", std::to_string(c.result)});
    if (!c.name.empty()) put({" \"", support::Utf8(c.name), "\""});
    if (!c.wrong.empty()) put({" [wrong answer: ", c.wrong, "]"});
    return out;
}

Call& Host::Log(std::string function) {
    const auto known = std::find(kHostFunctions.begin(), kHostFunctions.end(), function);
    if (known != kHostFunctions.end())
        ++counts_[static_cast<size_t>(known - kHostFunctions.begin())];
    Call& call = logging_ ? calls_.emplace_back() : (unlogged_ = Call{});
    call.function = std::move(function);
    return call;
}

void Host::ClearCalls() {
    calls_.clear();
    counts_.fill(0);
}

uint64_t Host::CallCount(std::string_view function) const {
    const auto known = std::find(kHostFunctions.begin(), kHostFunctions.end(), function);
    return known == kHostFunctions.end()
               ? 0
               : counts_[static_cast<size_t>(known - kHostFunctions.begin())];
}

uint64_t Host::CallCount() const {
    uint64_t total = 0;
    for (uint64_t n : counts_) total += n;
    return total;
}

std::vector<Call> Host::CallsOf(std::string_view function) const {
    std::vector<Call> out;
    std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(out),
                 [&](const Call& c) { return c.function == function; });
    return out;
}

int Host::Plan() {
    unfired_.push_back(++planned_);
    return planned_;
}

std::vector<int> Host::UnfiredFaults() const {
    return unfired_;
}

void Host::FailCall(const std::string& function, int nth, uint32_t tag) {
    faults_.push_back(Fault{function, nth, std::nullopt, tag, Plan()});
}

void Host::FailCallWritingBytes(const std::string& function, int nth, std::vector<uint8_t> bytes) {
    faults_.push_back(Fault{function, nth, std::move(bytes), 0, Plan()});
}

void Host::FailTag(uint32_t tag) {
    failingTags_.push_back(tag);
}

void Host::ClearFaults() {
    faults_.clear();
    failingTags_.clear();
    ClearWrongAnswers();
    planned_ = 0;
    unfired_.clear();
}

std::optional<Host::Fault> Host::TakeFault(const std::string& function, uint32_t tag,
                                           bool recordCall) {
    std::optional<Fault> fired;
    for (auto it = faults_.begin(); it != faults_.end();) {
        const bool counts = it->function == function && (it->tag == 0 || it->tag == tag);
        if (counts && --it->remaining <= 0) {
            if (!fired) {
                fired = *it;
                std::erase(unfired_, it->plan);
            }
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
