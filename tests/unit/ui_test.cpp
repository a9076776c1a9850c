#include <gtest/gtest.h>

#include <string>

#include "framework/text/fc_ui.h"
#include "user32/user32_standin.h"

namespace {

class MessageBoxes : public ::testing::Test {
  protected:
    void SetUp() override { User32Standin_Reset(); }
    void TearDown() override { User32Standin_Reset(); }
};

void* const kWindow = reinterpret_cast<void*>(0x1234);

TEST_F(MessageBoxes, EachKindShowsItsDefaultCaptionAndStyle) {
    struct Case {
        const char* kind;
        void (*show)(const FCUI&, const FCString*, const FCString*);
        std::u16string caption;
        uint32_t style;
    };
    const Case cases[] = {
        {"error", [](const FCUI& ui, const FCString* m, const FCString* c) { ui.AlertError(m, c); },
         u"Error", 0x10},
        {"yes/no",
         [](const FCUI& ui, const FCString* m, const FCString* c) { ui.AlertYesNo(m, c); },
         u"Yes/No?", 0x4},
        {"info", [](const FCUI& ui, const FCString* m, const FCString* c) { ui.AlertInfo(m, c); },
         u"Information", 0x40},
    };
    const FCUI ui(kWindow);
    const FCString message(u"Line one\nline two");
    const FCString empty;
    for (const Case& c : cases) {
        for (const FCString* caption : {static_cast<const FCString*>(nullptr), &empty}) {
            SCOPED_TRACE(std::string(c.kind) + (caption ? " empty caption" : " null caption"));
            c.show(ui, &message, caption);
            EXPECT_EQ(User32Standin_LastCaption(), c.caption);
            EXPECT_EQ(User32Standin_LastStyle(), c.style);
            EXPECT_EQ(User32Standin_LastText(), std::u16string(u"Line one\nline two"));
            EXPECT_EQ(User32Standin_LastOwner(), kWindow);
        }
    }
    EXPECT_EQ(User32Standin_CallCount(), 6);
}

TEST_F(MessageBoxes, GivenCaptionReplacesTheDefaultEvenWhenOneCharacter) {
    const FCUI ui(kWindow);
    const FCString message(u"m");
    const FCString x(u"X");
    ui.AlertError(&message, &x);
    EXPECT_EQ(User32Standin_LastCaption(), std::u16string(u"X"));
    const FCString caption(u"Too small region?");
    ui.AlertYesNo(&message, &caption);
    EXPECT_EQ(User32Standin_LastCaption(), std::u16string(u"Too small region?"));
    ui.AlertInfo(&message, &caption);
    EXPECT_EQ(User32Standin_LastCaption(), std::u16string(u"Too small region?"));
}

TEST_F(MessageBoxes, YesNoMapsTheButtonToAnswerCodes) {
    struct Case {
        int32_t button;
        int answer;
    };
    const Case cases[] = {{6, FCUI::ANSWER_YES},
                          {7, FCUI::ANSWER_NO},
                          {0, FCUI::ANSWER_NONE},
                          {1, FCUI::ANSWER_NONE},
                          {2, FCUI::ANSWER_NONE}};
    EXPECT_EQ(FCUI::ANSWER_YES, 2);
    EXPECT_EQ(FCUI::ANSWER_NO, 3);
    EXPECT_EQ(FCUI::ANSWER_NONE, 4);
    const FCUI ui(kWindow);
    const FCString question(u"Go on?");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        User32Standin_SetAnswer(c.button);
        EXPECT_EQ(ui.AlertYesNo(&question), c.answer);
    }
}

TEST_F(MessageBoxes, NullParentGivesAnOwnerlessBox) {
    const FCUI ui(nullptr);
    User32Standin_SetAnswer(6);
    const FCString question(u"q");
    EXPECT_EQ(ui.AlertYesNo(&question), FCUI::ANSWER_YES);
    EXPECT_EQ(User32Standin_LastOwner(), nullptr);
    EXPECT_EQ(User32Standin_CallCount(), 1);
}

TEST_F(MessageBoxes, NullMessageShowsAnEmptyText) {
    const FCUI ui(kWindow);
    ui.AlertInfo(nullptr);
    EXPECT_EQ(User32Standin_CallCount(), 1);
    EXPECT_EQ(User32Standin_LastText(), std::u16string());
    EXPECT_EQ(User32Standin_LastCaption(), std::u16string(u"Information"));
}

TEST_F(MessageBoxes, UiKeepsItsOwnClassName) {
    const FCUI ui(nullptr);
    EXPECT_STREQ(ui.GetClassName(), "FCUI");
    EXPECT_EQ(ui.GetClassID(), 0);
    EXPECT_EQ(ui.GetParentWindow(), nullptr);
}

}  // namespace
