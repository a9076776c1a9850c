#include <gtest/gtest.h>

#include <string>

#include "framework/core/host_version.h"
#include "framework/text/fc_font_info.h"
#include "framework/text/fc_font_prefs.h"
#include "host_version.h"
#include "unit/held_record.h"

namespace {

std::u16string Text(const FCString& s) {
    return std::u16string(s.GetUTF16(), s.GetLength());
}

constexpr uint32_t kUnicodeNamesHost = 0x19000000;
constexpr uint32_t kEightBitNamesHost = 0x18FFFFFF;

TEST(FontCommand, PrintsNameSizeAndEffectsExactly) {
    struct Case {
        const char16_t* name;
        int16_t size;
        uint16_t effects;
        const char16_t* command;
    };
    const Case cases[] = {
        {u"Arial", 12, 128, u"^font(Arial)^size(12)^nfx(128)"},
        {u"Arial", -1, 0, u"^font(Arial)^size(-1)^nfx(0)"},
        {u"Arial", 12, 0xFFFF, u"^font(Arial)^size(12)^nfx(65535)"},
        {u"Arial", -32768, 0x8000, u"^font(Arial)^size(-32768)^nfx(32768)"},
        // The name is carried as given, markup characters and non-Latin-1 units included.
        {u"A (b)^c \u0100", 10, 1, u"^font(A (b)^c \u0100)^size(10)^nfx(1)"},
    };
    for (uint32_t version : {kUnicodeNamesHost, kEightBitNamesHost}) {
        HostVersion host(version);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(version) + " " + std::to_string(c.size));
            if (version == kEightBitNamesHost &&
                std::u16string(c.name).find(u'\u0100') != std::u16string::npos) {
                continue;  // the 8-bit name cannot hold it
            }
            FCFontInfo font;
            const FCString name(c.name);
            font.SetNameString(&name);
            font.SetSize(c.size);
            font.SetEffects(c.effects);
            FCString command(u"old contents");
            EXPECT_TRUE(font.GetFontCommand(&command));
            EXPECT_EQ(Text(command), c.command);
        }
    }
}

TEST(FontCommand, NewFontNamesTheDefaultFontOnEveryHost) {
    for (uint32_t version : {kUnicodeNamesHost, kEightBitNamesHost, 0u}) {
        SCOPED_TRACE(version);
        HostVersion host(version);
        FCFontInfo font;
        EXPECT_EQ(font.GetSize(), 12);
        EXPECT_EQ(font.GetEffects(), 0);
        FCString command;
        EXPECT_TRUE(font.GetFontCommand(&command));
        EXPECT_EQ(Text(command), u"^font(Times New Roman)^size(12)^nfx(0)");
    }
}

TEST(FontCommand, NullStringIsRefused) {
    FCFontInfo font;
    EXPECT_FALSE(font.GetFontCommand(nullptr));
    font.GetNameString(nullptr);  // no effect, no crash
}

TEST(FontName, EightBitNameWidensByteForByteOnOlderHosts) {
    HostVersion host(kEightBitNamesHost);
    FCFontInfo font;
    const FCString name(u"Caf\u00e9 \u0141x");  // U+0141 keeps only its low byte 0x41
    font.SetNameString(&name);
    FCString out(u"previous");
    font.GetNameString(&out);
    EXPECT_EQ(Text(out), u"Caf\u00e9 Ax");
}

TEST(FontName, LongNamesAreCutToTheirFields) {
    const std::u16string longName(600, u'n');
    const FCString name(longName.c_str());
    FCFontInfo font;
    font.SetNameString(&name);
    FCString out;
    {
        HostVersion host(kUnicodeNamesHost);
        font.GetNameString(&out);
        EXPECT_EQ(out.GetLength(), FCFontInfo::kNameUnits - 1);
    }
    {
        HostVersion host(kEightBitNamesHost);
        font.GetNameString(&out);
        EXPECT_EQ(out.GetLength(), FCFontInfo::kNameBytes - 1);
    }
}

TEST(FontIdentity, FontInfoAnswersAsTheRootClass) {
    const FCFontInfo font;
    const __FCBase root;
    EXPECT_TRUE(font.IsSameClass(&root));
    EXPECT_TRUE(root.IsSameClass(&font));
    EXPECT_FALSE(font.IsSameClass(nullptr));
    EXPECT_STREQ(font.GetClassName(), "__FCBase");
    EXPECT_EQ(font.GetClassID(), 0);
}

TEST(FontPrefs, NewPreferenceHoldsNothingAndRefusesWithoutAHostCall) {
    FCFontPrefs prefs;
    EXPECT_STREQ(prefs.GetClassName(), "FCFontPrefs");
    EXPECT_EQ(prefs.GetClassID(), 31);
    EXPECT_EQ(prefs.GetTag(), 0x70666466u);
    EXPECT_EQ(prefs.GetVersion(), 0x19000000u);
    EXPECT_EQ(prefs.GetDataSize(), 6);
    EXPECT_EQ(prefs.GetLoadedSize(), 0u);
    EXPECT_EQ(prefs.GetData(), nullptr);
    EXPECT_EQ(prefs.GetPrefsNumber(), 0);
    EXPECT_EQ(prefs.GetFontNumber(), 0);
    EXPECT_EQ(prefs.GetSize(), 0);
    EXPECT_EQ(prefs.GetEffects(), 0);
    EXPECT_FALSE(prefs.Reload());
    EXPECT_FALSE(prefs.Save());
}

TEST(FontPrefs, CopyTakesTheRecordIntoTheOwnBuffer) {
    FCFontPrefs source;
    FCFontPrefs target;
    target.CopyDataFrom(source);  // nothing held: nothing copied
    EXPECT_EQ(target.GetLoadedSize(), 0u);
    EXPECT_EQ(target.GetData(), nullptr);

    const HeldRecord record({0x05, 0x00, 0xF4, 0xFF, 0x80, 0x00});
    target.CopyDataFrom(record);
    EXPECT_EQ(target.GetLoadedSize(), 6u);
    EXPECT_NE(target.GetData(), record.GetData());
    EXPECT_FALSE(target.OwnsData());
    EXPECT_EQ(target.GetFontNumber(), 5);
    EXPECT_EQ(target.GetSize(), -12);
    EXPECT_EQ(target.GetEffects(), 0x80);

    std::unique_ptr<__FCBaseData> made(source.CreateObject());
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsSameClass(&source));
}

}  // namespace
