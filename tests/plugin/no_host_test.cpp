// A process without the host program's module: every host function is missing, and the command
// still runs to its "no group" message without touching anything.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "user32_standin.h"

TEST(NoHost, TheCommandFindsNothingAndSaysSo) {
    void* plugin = dlopen(VB_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(plugin, nullptr) << dlerror();
    auto version =
        reinterpret_cast<uint32_t (*)(uint32_t)>(dlsym(plugin, "FinaleExtensionVersion"));
    auto enumerate = reinterpret_cast<int16_t (*)(void*, int16_t, void*)>(
        dlsym(plugin, "FinaleExtensionEnumerate"));
    auto invoke = reinterpret_cast<int16_t (*)(void*, void*, const void*)>(
        dlsym(plugin, "FinaleExtensionInvoke"));
    ASSERT_TRUE(version && enumerate && invoke);
    version(0x19000000);
    std::array<uint8_t, 0xC4> record{};
    EXPECT_EQ(enumerate(nullptr, 0, record.data()), 1);
    // Whole measures 5 to 8 of slots 1 to 4.
    std::array<uint8_t, 20> region{};
    region[2] = 1;
    region[4] = 5;
    region[12] = 4;
    region[14] = 8;
    region[16] = 0xFF, region[17] = 0xFF, region[18] = 0xFF, region[19] = 0x7F;
    User32Standin_Reset();
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(invoke(nullptr, nullptr, region.data()), 0);
        EXPECT_EQ(std::u16string(User32Standin_LastCaption()), u"No Group");
    }
    EXPECT_EQ(User32Standin_CallCount(), 2);
    dlclose(plugin);
}
