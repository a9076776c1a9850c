// The guide quotes the plug-in's message boxes as a user of the guide's language meets them.
#include "release/guide/guide_texts.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include <vector>

#include "resources/boxes.h"
#include "vb_string_tables.h"

namespace {

// The texts of the message boxes, as the box table lists them.
const std::vector<uint32_t> kMessagesAndCaptions = [] {
    std::vector<uint32_t> ids;
    for (const res::Box& box : res::kBoxes) ids.insert(ids.end(), {box.message, box.caption});
    return ids;
}();

TEST(GuideTexts, EveryTranslatedLanguageQuotesItsOwnMessages) {
    int translations = 0;
    for (const vb_strings::Table& table : vb_strings::kTables) {
        const std::string code = table.code;
        if (code == "en") continue;
        ++translations;
        EXPECT_TRUE(guide::HasTable(code)) << code;
        for (uint32_t id : kMessagesAndCaptions) {
            EXPECT_NE(guide::Text(code, id), guide::Text("en", id)) << code << " " << id;
        }
    }
    EXPECT_GE(translations, 1);
}

TEST(GuideTexts, UntranslatedTextsReadInEnglish) {
    for (const vb_strings::Table& table : vb_strings::kTables) {
        EXPECT_EQ(guide::Text(table.code, 101), "Vorlan Brisane") << table.code;
        EXPECT_EQ(guide::Text(table.code, 103), "Brisane") << table.code;
        EXPECT_EQ(guide::Text(table.code, 501), "Brisane ") << table.code;
    }
}

TEST(GuideTexts, LanguageWithoutTableReadsInEnglish) {
    EXPECT_FALSE(guide::HasTable("it"));
    for (uint32_t id : kMessagesAndCaptions) {
        EXPECT_EQ(guide::Text("it", id), guide::Text("en", id)) << id;
    }
}

TEST(GuideTexts, TextsKeepTheirLineBreaksAndCharacters) {
    EXPECT_EQ(guide::Text("en", 204),
              "No group(s) to split were found.\n\nMake sure the top and bottom staff of the "
              "selection match the group.");
    if (guide::HasTable("ja")) {
        EXPECT_NE(guide::Text("ja", 303).find("\xef\xbc\x9f"), std::string::npos)  // U+FF1F
            << guide::Text("ja", 303);
    }
}

TEST(GuideTexts, IdNoTableHoldsIsRefused) {
    EXPECT_THROW(guide::Text("de", 999), std::out_of_range);
}

}  // namespace
