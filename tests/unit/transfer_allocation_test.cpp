// Record transfers allocate nothing on the heap: every operator new of this program is counted
// (by the benchmarks' heap counter) while a transfer runs, except inside the host functions (the
// stand-in host's own bookkeeping).
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "framework/core/host_version.h"
#include "framework/host/host_bridge.h"
#include "framework/host/prefs_maps.h"
#include "framework/host/record_transfer.h"
#include "framework/score/fc_group.h"
#include "standin/host.h"
#include "support/heap_count.h"

namespace {

// The allocations the plug-in's side of `transfer` makes, run a second time: the first run
// also finds the host functions it calls, once for the library's lifetime. `plan` runs before
// each run, uncounted (a host failure to plan).
template <typename F, typename Plan = void (*)()>
uint64_t AllocationsOf(
    F&& transfer, Plan plan = [] {}) {
    plan();
    transfer();
    plan();
    support::HostClock observer;
    standin::Host::Instance().SetCallObserver(&observer);
    support::BeginHeapCount(true);
    transfer();
    const uint64_t allocations = support::EndHeapCount().allocations;
    standin::Host::Instance().SetCallObserver(nullptr);
    return allocations;
}

constexpr uint32_t Tag(const char (&s)[5]) {
    return (uint32_t{static_cast<uint8_t>(s[0])} << 24) |
           (uint32_t{static_cast<uint8_t>(s[1])} << 16) |
           (uint32_t{static_cast<uint8_t>(s[2])} << 8) | uint32_t{static_cast<uint8_t>(s[3])};
}

class TransferAllocation : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::Host::Instance().Reset();
        saved_ = vb::hostVersion;
        vb::hostVersion = 0x19000000;
        // Small records for the maps and runs to read, so that saves find words to change.
        for (const char* suffix : {"92", "78", "65", "60", "61", "64", "45", "51", "53"}) {
            for (uint16_t inci = 0; inci < 9; ++inci) {
                const uint32_t tag = 0x6F740000u |
                                     (uint32_t{static_cast<uint8_t>(suffix[0])} << 8) |
                                     static_cast<uint8_t>(suffix[1]);
                standin::Host::Instance().PutRecord(tag, {0xFFFE, inci},
                                                    std::vector<uint8_t>(12, 0x11));
            }
        }
    }
    void TearDown() override {
        standin::Host::Instance().Reset();
        vb::hostVersion = saved_;
    }

  private:
    uint32_t saved_ = 0;
};

TEST_F(TransferAllocation, MapsRunsAndWholeRecordsTransferWithoutAllocating) {
    standin::Host::Instance().PutRecord(host::SPECIAL_TAG, {3, 0},
                                        std::vector<uint8_t>(host::SPECIAL_RECORD_SIZE, 0x22));
    struct Case {
        const char* what;
        uint32_t tag;
        uint16_t item;
        bool loadFailsWritingBytes = false;  // the host refuses the load after writing bytes
    } cases[] = {
        {"field map 'pfSS'", Tag("pfSS"), 0},
        {"field map 'pfPF' (item 0)", Tag("pfPF"), 0},
        {"run of nine 'ot78'", Tag("pfTX"), 1},
        {"run of four 'ot77'", Tag("pfPF"), 1},
        {"plain record", Tag("SDNG"), 1},
        {"special record", host::SPECIAL_TAG, 3},
        {"special record the host fills and refuses", host::SPECIAL_TAG, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::array<uint8_t, 128> record{};
        uint16_t key[4] = {c.item, 0, 0, 0};
        int32_t size = static_cast<int32_t>(record.size());
        auto plan = [&] {
            size = static_cast<int32_t>(record.size());
            if (c.loadFailsWritingBytes) {
                standin::Host::Instance().FailCallWritingBytes("FX_LoadEData", 1, {0, 0, 7});
            }
        };
        int32_t loaded = 0;
        EXPECT_EQ(AllocationsOf(
                      [&] {
                          loaded = host::LoadRecord(c.tag, key, record.data(), &size,
                                                    host::DATA_VERSION);
                      },
                      plan),
                  0u);
        // The special record loads both ways: filled by the host, refused or not.
        if (c.tag == host::SPECIAL_TAG) {
            EXPECT_EQ(loaded, 1);
        }
        record.fill(0x5A);  // every word differs from what the host holds: all are written
        EXPECT_EQ(AllocationsOf([&] {
                      host::SaveRecord(c.tag, key, record.data(), 108, host::DATA_VERSION);
                  }),
                  0u);
    }
    int count = 0;
    const host::FieldMapEntry* map = host::FindPrefsMap(Tag("pfPB"), 0, &count);
    ASSERT_NE(map, nullptr);
    std::array<uint8_t, 44> prefs{};
    int32_t size = 0;
    EXPECT_EQ(AllocationsOf([&] { host::LoadFromPrefsMap(prefs.data(), 44, &size, map, count); }),
              0u);
    prefs.fill(0x5A);
    EXPECT_EQ(AllocationsOf([&] { host::SaveToPrefsMap(prefs.data(), 44, map, count); }), 0u);
}

TEST_F(TransferAllocation, CountsWhatTheCallerAllocatesButNotTheHost) {
    // The counter itself must see an allocation outside the host, and none inside it.
    EXPECT_EQ(AllocationsOf([] { delete new FCGroup(); }), 1u);
    uint16_t key[4] = {0, 0, 0, 0};
    EXPECT_EQ(AllocationsOf([&] { host::NextEData(Tag("SDNG"), key, nullptr, nullptr, 0); }), 0u);
    EXPECT_GT(standin::Host::Instance().CallCount("FX_NextEData"), 0u);
}

}  // namespace
