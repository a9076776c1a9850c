#pragma once
// A fresh stand-in host document for each test, and small helpers to read its call log.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "framework/core/host_version.h"
#include "framework/core/le.h"
#include "standin/host.h"

// A host region record as the host lays it out: packed, little-endian.
inline std::array<uint8_t, 20> RegionRecord(int16_t system, int16_t startSlot, int16_t endSlot,
                                            int16_t startMeasure, int16_t endMeasure,
                                            int32_t startPos = 0, int32_t endPos = 0x7FFFFFFF) {
    std::array<uint8_t, 20> r{};
    le::PutI16(r.data(), 0, system);
    le::PutI16(r.data(), 2, startSlot);
    le::PutI16(r.data(), 4, startMeasure);
    le::PutI32(r.data(), 6, startPos);
    le::PutI16(r.data(), 10, system);
    le::PutI16(r.data(), 12, endSlot);
    le::PutI16(r.data(), 14, endMeasure);
    le::PutI32(r.data(), 16, endPos);
    return r;
}

class HostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host().Reset();
        host().LogCalls(true);
        savedVersion_ = vb::hostVersion;
        vb::hostVersion = 0x19000000;
    }
    void TearDown() override { vb::hostVersion = savedVersion_; }

    static standin::Host& host() { return standin::Host::Instance(); }

    // Staves 1..n in score order.
    static void AddStaves(int n) {
        for (int s = 1; s <= n; ++s)
            host().AddStaff(static_cast<int16_t>(s), "Staff " + std::to_string(s));
    }

    // The calls of one host function, optionally only for one tag.
    static std::vector<standin::Call> CallsOf(const std::string& function, uint32_t tag = 0) {
        std::vector<standin::Call> out;
        for (const standin::Call& c : host().Calls()) {
            if (c.function == function && (tag == 0 || c.tag == tag)) out.push_back(c);
        }
        return out;
    }

    // Every record write (save, create, delete) in order, one readable line each.
    static std::vector<std::string> Writes() {
        std::vector<std::string> out;
        for (const standin::Call& c : host().Calls()) {
            if (c.function == "FX_SaveEData" || c.function == "FX_CreateEData" ||
                c.function == "FX_DeleteEData") {
                out.push_back(standin::Describe(c));
            }
        }
        return out;
    }

  private:
    uint32_t savedVersion_ = 0;
};
