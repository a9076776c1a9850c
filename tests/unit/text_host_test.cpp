// Text and font classes against the stand-in host.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/core/host_version.h"
#include "framework/text/fc_font_info.h"
#include "framework/text/fc_font_prefs.h"
#include "framework/text/fc_raw_text.h"
#include "framework/text/fc_text_block.h"
#include "standin/host.h"

namespace {

std::u16string Text(const FCString& s) {
    return std::u16string(s.GetUTF16(), s.GetLength());
}

// A fresh stand-in document on a host of the given version, restored afterwards.
class HostTexts : public ::testing::TestWithParam<uint32_t> {
  protected:
    void SetUp() override {
        saved_ = vb::hostVersion;
        standin::Host::Instance().Reset();
        standin::Host::Instance().LogCalls(true);
        SetVersion(GetParam());
    }
    void TearDown() override {
        standin::Host::Instance().Reset();
        vb::hostVersion = saved_;
    }
    static void SetVersion(uint32_t version) {
        vb::hostVersion = version;
        standin::Host::Instance().SetVersion(version);
    }
    static standin::Host& host() { return standin::Host::Instance(); }

  private:
    uint32_t saved_ = 0;
};

INSTANTIATE_TEST_SUITE_P(BothTextForms, HostTexts,
                         ::testing::Values(0x19000000u, 0x11000000u, 0x10000000u),
                         [](const ::testing::TestParamInfo<uint32_t>& test) {
                             char name[12];
                             std::snprintf(name, sizeof name, "v%08X", test.param);
                             return std::string(name);
                         });

TEST_P(HostTexts, RawTextLoadsByNumber) {
    host().AddRawText(standin::tag::kRawText, 5, u"Violins");
    FCRawText raw;
    raw.SetTextNumber(5);
    ASSERT_TRUE(raw.LoadCurrentKey());
    FCString out;
    raw.GetText(&out);
    EXPECT_EQ(Text(out), u"Violins");
    EXPECT_EQ(raw.GetTextNumber(), 5);
    for (const standin::Call& call : host().CallsOf("FX_LoadEData")) {
        EXPECT_EQ(call.tag, 0x7478626Cu);
        EXPECT_EQ(call.version, GetParam());
    }
}

TEST_P(HostTexts, MissingRawTextLoadsNothing) {
    FCRawText raw;
    raw.SetTextNumber(77);
    EXPECT_FALSE(raw.LoadCurrentKey());
    EXPECT_EQ(raw.GetLoadedSize(), 0u);
    FCString out(u"kept");
    raw.GetText(&out);
    EXPECT_EQ(Text(out), u"kept");
}

TEST_P(HostTexts, BlockReadsItsRawTextAsACallerOwnedString) {
    host().AddRawText(standin::tag::kRawText, 3, u"Horns");
    const uint16_t number = host().AddTextBlock(0xFFFF, 3);
    FCTextBlock block;
    ASSERT_TRUE(block.Load(number));
    EXPECT_EQ(block.GetRawTextNumber(), 3);
    std::unique_ptr<FCString> name = block.CreateRawTextString();
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(Text(*name), u"Horns");

    FCTextBlock orphan;
    orphan.SetRawTextNumber(99);
    std::unique_ptr<FCString> none = orphan.CreateRawTextString();
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(Text(*none), u"");
}

TEST_P(HostTexts, NewTextCreatesRawTextThenDefaultBlock) {
    const FCString name(u"Strings");
    FCRawText raw;
    raw.SetText(&name);
    ASSERT_TRUE(raw.SaveNew());
    FCTextBlock block;
    block.SetRawTextNumber(raw.GetTextNumber());
    ASSERT_TRUE(block.SaveNew());

    const std::vector<standin::Call> creates = host().CallsOf("FX_CreateEData");
    ASSERT_EQ(creates.size(), 2u);
    EXPECT_EQ(creates[0].tag, 0x7478626Cu);
    EXPECT_EQ(creates[0].version, GetParam());
    const standin::Call& made = creates[1];
    EXPECT_EQ(made.tag, 0x534F5458u);
    EXPECT_EQ(made.version, 0x19000000u);
    ASSERT_EQ(made.dataIn.size(), 26u);
    std::vector<uint8_t> expected(26, 0);
    expected[0] = static_cast<uint8_t>(raw.GetTextNumber());
    expected[1] = static_cast<uint8_t>(raw.GetTextNumber() >> 8);
    expected[8] = 100;
    expected[14] = 0x08;
    expected[15] = 0x1A;
    expected[24] = 0x6C;
    expected[25] = 0x62;
    EXPECT_EQ(made.dataIn, expected);
    EXPECT_EQ(host().TextBlockText(block.GetItemNo()), std::u16string(u"Strings"));
}

TEST_P(HostTexts, OversizedRawTextIsRefusedWithoutAllocatingIt) {
    // Larger than any raw text the plug-in accepts, in either text form.
    host().AddRawText(standin::tag::kRawText, 9, std::u16string(FCRawText::kMaxRecordBytes, u'x'));
    FCRawText raw;
    raw.SetTextNumber(9);
    EXPECT_FALSE(raw.LoadCurrentKey());
    EXPECT_EQ(raw.GetLoadedSize(), 0u);
    EXPECT_EQ(raw.GetData(), nullptr);
    for (const standin::Call& call : host().CallsOf("FX_LoadEData")) {
        EXPECT_TRUE(call.bufferNull) << standin::Describe(call);
    }
}

TEST_P(HostTexts, FailedSizeQueryFailsTheLoad) {
    host().AddRawText(standin::tag::kRawText, 4, u"Oboe");
    host().FailTag(standin::tag::kRawText);
    FCRawText raw;
    raw.SetTextNumber(4);
    EXPECT_FALSE(raw.LoadCurrentKey());
    EXPECT_EQ(raw.GetLoadedSize(), 0u);
}

TEST(HostFonts, FontPreferenceLoadsAsOneRecord) {
    standin::Host& host = standin::Host::Instance();
    host.Reset();
    host.LogCalls(true);
    host.SetFontPref(33, 7, 14, 0x0102);
    FCFontPrefs prefs;
    ASSERT_TRUE(prefs.Load(33));
    EXPECT_EQ(prefs.GetFontNumber(), 7);
    EXPECT_EQ(prefs.GetSize(), 14);
    EXPECT_EQ(prefs.GetEffects(), 0x0102);
    EXPECT_EQ(prefs.GetLoadedSize(), 6u);
    const std::vector<standin::Call> loads = host.CallsOf("FX_LoadEData");
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].tag, 0x70666466u);
    ASSERT_FALSE(loads[0].keyIn.empty());
    EXPECT_EQ(loads[0].keyIn[0], 33);
    EXPECT_EQ(loads[0].version, 0x19000000u);
    EXPECT_TRUE(prefs.Reload());

    FCFontPrefs missing;
    EXPECT_FALSE(missing.Load(200));
    EXPECT_EQ(missing.GetLoadedSize(), 0u);
    host.Reset();
}

TEST(HostFonts, FontNamesComeFromTheHostOrFallBackToTheDefault) {
    struct Case {
        uint32_t version;
        uint16_t font;
        std::u16string name;
    };
    const Case cases[] = {
        {0x19000000, 3, u"Arial"},
        {0x19000000, 99, u"Times New Roman"},
        {0x18000000, 3, u"Arial"},
        {0x18000000, 99, u"Times New Roman"},
    };
    standin::Host& host = standin::Host::Instance();
    const uint32_t saved = vb::hostVersion;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " font " + std::to_string(c.font));
        host.Reset();
        host.AddFont(3, u"Arial");
        host.SetVersion(c.version);
        vb::hostVersion = c.version;
        FCFontInfo font;
        font.SetNameFromFontNumber(3);  // a failed lookup must not keep an earlier name
        font.SetNameFromFontNumber(c.font);
        FCString command;
        font.GetFontCommand(&command);
        EXPECT_EQ(Text(command), u"^font(" + c.name + u")^size(12)^nfx(0)");
    }
    vb::hostVersion = saved;
    host.Reset();
}

}  // namespace
