// Documents as JSON: what a file sets up, what saving writes, and how bad files are refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <utility>

#include "standin/host.h"

namespace {

using standin::Host;
using Bytes = std::vector<uint8_t>;
namespace tag = standin::tag;

const std::string kExample = STANDIN_TEST_DATA "/example.json";

class DocumentJson : public ::testing::Test {
  protected:
    void SetUp() override {
        host.Reset();
        std::string error;
        ASSERT_TRUE(host.LoadDocumentFile(kExample, &error)) << error;
    }
    Host host;
};

TEST_F(DocumentJson, ExampleSetsUpTheScore) {
    EXPECT_EQ(host.DocumentNumber(), 7);
    EXPECT_EQ(host.MeasureCount(), 12);
    EXPECT_EQ(host.StaffSystem(0), (std::vector<int16_t>{1, 2, 5, 6, 3, 4}));
    EXPECT_EQ(host.StaffSystem(1), (std::vector<int16_t>{1, 3, 4}));

    auto groups = host.Groups();
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].fullName, u"Woodwinds");
    EXPECT_EQ(groups[0].abbrevName, u"Ww.");
    EXPECT_EQ(groups[1].fullName, u"Strings");
    EXPECT_FALSE(groups[1].hasAbbrevName);
    EXPECT_EQ(groups[1].abbrevNameId, 0);
    EXPECT_EQ(groups[1].bytes[6], 0x14);
    EXPECT_EQ(groups[1].bytes[21], 0x01);
    EXPECT_EQ(groups[2].owner, 3);
    EXPECT_EQ(groups[2].startMeasure, 4);
    EXPECT_FALSE(groups[2].hasFullName);

    EXPECT_EQ(host.GetRecord(tag::kMultiStaff, {1, 0}),
              (Bytes{5, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(host.GetRecord(tag::kFontPrefs, {39, 0}), (Bytes{0, 0, 10, 0, 2, 0}));
    EXPECT_EQ(host.GetRecord(tag::kCompanion, {1, 3, 0}), (Bytes{80, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(host.GetRecord(standin::TagOf("ot77"), {0xFFFE, 0}),
              (Bytes{1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0}));
}

TEST_F(DocumentJson, SavedDocumentReadsBackToTheSameRecords) {
    // Content the named sections cannot say on their own: stray bytes, a detail tag of the
    // test's own, a measure beyond the count, an orphan text block.
    host.PutRecord(tag::kMeasure, {3, 0}, Bytes(30, 9));
    host.PutRecord(tag::kMeasure, {20, 0}, Bytes(30, 0));
    host.PutRecord(standin::TagOf("XyZ1"), {1, 2, 3}, {0xAB});
    host.PutRecord(tag::kSystemStaff, {1, 5}, Bytes(24, 1));
    host.AddTextBlock(30, 2, 0x6162);
    // A tag whose characters read as a number, and that number as a tag.
    host.PutRecord(standin::TagOf("0x12"), {1, 2}, {0xCD});
    host.PutRecord(0x12, {1, 2}, {0xEF});
    host.SetVersion(0x0A000000);  // the host version is not part of the document
    const std::string first = host.SaveDocumentJson();

    Host again;
    std::string error;
    ASSERT_TRUE(again.LoadDocumentJson(first, &error)) << error;
    EXPECT_EQ(again.SaveDocumentJson(), first);
    for (uint32_t t :
         {tag::kGroup, tag::kMeasure, tag::kSystemStaff, tag::kTextBlock, tag::kRawText,
          standin::TagOf("XyZ1"), tag::kCompanion, standin::TagOf("0x12"), 0x12u}) {
        ASSERT_EQ(again.Keys(t), host.Keys(t)) << standin::TagName(t);
        for (const auto& key : host.Keys(t))
            EXPECT_EQ(again.GetRecord(t, key), host.GetRecord(t, key));
    }
    EXPECT_EQ(again.Groups()[0].fullName, u"Woodwinds");
}

TEST_F(DocumentJson, SavedGroupsCarryTheirNamesAsText) {
    const std::string saved = host.SaveDocumentJson();
    EXPECT_NE(saved.find("\"fullName\": \"Strings\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"abbrevName\": null"), std::string::npos);
    EXPECT_NE(saved.find("\"bytes6to21\": \"14000000000000000000000000000001\""),
              std::string::npos);
}

// A score of two staves and eight measures, with one text block, and `more` after it.
std::string Score(const std::string& more) {
    return R"({"measureCount": 8, "staves": [{"number": 1}, {"number": 2}],
               "rawTexts": [{"number": 1, "text": "Winds"}],
               "textBlocks": [{"number": 1, "rawText": 1}])" +
           (more.empty() ? "" : ", " + more) + "}";
}

// A score of two staves with `fields` as its one group's fields after the staves and measures.
std::string Group(const std::string& fields) {
    return Score(R"("groups": [{"startStaff": 1, "endStaff": 2, "startMeasure": 1,
                                "endMeasure": 8)" +
                 (fields.empty() ? "" : ", " + fields) + "}]");
}

// The score of Score() with one group over the given staves and measures.
std::string GroupOver(int top, int bottom, int first, int last) {
    return Score(R"("groups": [{"startStaff": )" + std::to_string(top) + R"(, "endStaff": )" +
                 std::to_string(bottom) + R"(, "startMeasure": )" + std::to_string(first) +
                 R"(, "endMeasure": )" + std::to_string(last) + "}]");
}

TEST_F(DocumentJson, BadDocumentsNameTheFieldAndLoadNothing) {
    struct Case {
        std::string json;
        const char* error;
    } cases[] = {
        // Form.
        {R"({"groups": [{}, {}, {"startStaff": 1, "endStaff": 2, "startMeasure": "x"}]})",
         "groups[0].startStaff: missing"},
        {Score(
             R"("groups": [{"startStaff": 1, "endStaff": 2, "startMeasure": 1.5, "endMeasure": 2}])"),
         "groups[0].startMeasure: expected an integer, found a number with a fraction"},
        {R"({"measureCount": 40000})", "measureCount: expected an integer from 0 to 32767"},
        {R"({"measureCount": null})", "measureCount: expected an integer, found null"},
        {R"({"groups": null})", "groups: expected an array, found null"},
        {Group(R"("owner": null)"), "groups[0].owner: expected an integer, found null"},
        // -1 in a key asks the host to assign a number: no stored group has it.
        {Group(R"("owner": -1)"), "groups[0].owner: -1 stands for a number still to be assigned"},
        {Group(R"("number": -1)"), "groups[0].number: expected an integer from 0 to 32767"},
        {R"({"staves": [{"number": 1}, {"number": 1}]})",
         "staves[1].number: staff 1 appears twice"},
        {R"({"staves": [{"number": 1, "nmae": "x"}]})", "staves[0].nmae: unknown field"},
        {R"({"staves": [{"number": 1, "name": null}]})",
         "staves[0].name: expected a string, found null"},
        {Group(R"("bytes6to21": "00")"), "groups[0].bytes6to21: expected 16 bytes, got 1"},
        {R"([1, 2])", "expected an object, found an array"},
        {R"({"groups": )", "not valid JSON at line 1, column 12: unexpected end of input"},
        {" \n ", "empty, not a JSON document"},
        // A key given twice, at any depth: the last one would silently win.
        {R"({"measureCount": 4, "measureCount": 5})", "measureCount: the key appears twice"},
        {Group(R"("endMeasure": 4)"), "groups[0].endMeasure: the key appears twice"},
        {R"({"records": [{"tag": "ot77", "key": [1, 2], "bytes": "", "key": [1, 3]}]})",
         "records[0].key: the key appears twice"},
        // Names.
        {Group(R"("fullName": "Winds", "fullNameId": 4)"),
         "groups[0].fullNameId: the document has no text block 4"},
        {Group(R"("abbrevNameId": 9)"), "groups[0].abbrevNameId: the document has no text block 9"},
        {Group(R"("fullName": "Brass", "fullNameId": 1)"),
         "groups[0].fullName: differs from the text of text block 1"},
        {Group(R"("fullName": "Str\u0000ings")"), "groups[0].fullName: holds U+0000"},
        {Score(R"("fonts": [{"number": 1, "name": "Ari\u0000al"}])"),
         "fonts[0].name: holds U+0000"},
        {R"({"rawTexts": [{"number": 5, "text": "a\u0000"}]})", "rawTexts[0].text: holds U+0000"},
        // Groups no score holds.
        {GroupOver(1, 3, 1, 8), "groups[0].endStaff: staff 3 is not in the score"},
        {GroupOver(7, 2, 1, 8), "groups[0].startStaff: staff 7 is not in the score"},
        {GroupOver(2, 1, 1, 8),
         "groups[0].endStaff: staff 1 stands above the top staff 2 in the score"},
        {GroupOver(1, 2, 6, 5), "groups[0].endMeasure: measure 5 comes before the start measure 6"},
        {GroupOver(1, 2, 0, 5), "groups[0].startMeasure: measures count from 1"},
        {R"({"groups": [{"number": 2, "startStaff": 1, "endStaff": 2, "startMeasure": 1, "endMeasure": 2},
                        {"number": 2, "startStaff": 1, "endStaff": 2, "startMeasure": 1, "endMeasure": 2}],
            "staves": [{"number": 1}, {"number": 2}]})",
         "groups[1].number: group 2 of owner 0 appears twice"},
        // Staff lists.
        {Score(R"("staffSystems": [{"system": 1, "staves": [1, 9]}])"),
         "staffSystems[0].staves[1]: staff 9 is not in the score"},
        {Score(R"("staffSystems": [{"system": 1, "staves": [1, 2, 1]}])"),
         "staffSystems[0].staves[2]: staff 1 appears twice"},
        {Score(R"("multiStaffInstruments": [{"number": 1, "staves": [2, 7]}])"),
         "multiStaffInstruments[0].staves[1]: staff 7 is not in the score"},
        {R"({"multiStaffInstruments": [{"number": 1, "staves": [1]}]})",
         "multiStaffInstruments[0].staves: expected two or three staff numbers"},
        // Numbers given twice in a section.
        {Score(R"("multiStaffInstruments": [{"number": 1, "staves": [1, 2]},
                                            {"number": 1, "staves": [1, 2]}])"),
         "multiStaffInstruments[1].number: instrument 1 appears twice"},
        {R"({"textBlocks": [{"number": 2, "rawText": 1}, {"number": 2, "rawText": 1}]})",
         "textBlocks[1].number: text block 2 appears twice"},
        // Raw records: any bytes, but in their form, each once.
        {R"({"records": [{"tag": "SDNG", "key": [1, 2], "bytes": ""}]})",
         "records[0].key: records of 'SDNG' take 3 key words"},
        {R"({"records": [{"tag": "ot7", "key": [1, 2], "bytes": ""}]})",
         "records[0].tag: expected four characters or 0x and one to eight hexadecimal digits"},
        {R"({"records": [{"tag": "0xZZ", "key": [1, 2], "bytes": ""}]})",
         "records[0].tag: expected four characters or 0x"},
        {R"({"records": [{"tag": "0x123456789", "key": [1, 2], "bytes": ""}]})",
         "records[0].tag: expected four characters or 0x"},
        {R"({"records": [{"tag": "\u00e9ab", "key": [1, 2], "bytes": ""}]})",
         "records[0].tag: expected four characters or 0x"},
        {R"({"records": [{"tag": 1, "key": [1, 2], "bytes": ""}]})",
         "records[0].tag: expected four characters or 0x"},
        {R"({"records": [{"tag": "0x6F743737", "key": [1, 70000], "bytes": ""}]})",
         "records[0].key[1]: expected an integer from -32768 to 65535"},
        {R"({"records": [{"tag": "txbl", "key": [1], "bytes": "4100"}]})",
         "records[0].bytes: a raw text is UTF-16 units ending with a 0 unit"},
        {R"({"records": [{"tag": "ot77", "key": [1, 2], "bytes": ""},
                         {"tag": "ot77", "key": [1, 2], "bytes": "00"}]})",
         "records[1].key: the record appears twice"},
    };
    const std::string before = host.SaveDocumentJson();
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(host.LoadDocumentJson(c.json, &error)) << c.json;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "got: " << error;
    }
    EXPECT_EQ(host.SaveDocumentJson(), before);
}

TEST_F(DocumentJson, DataStoredScoresHoldLoads) {
    std::string error;
    // Groups past the last measure, and a staff name holding any character: kept as given.
    ASSERT_TRUE(host.LoadDocumentJson(R"({
        "measureCount": 8, "staves": [{"number": 1, "name": "Fl\u0000\u001b[31m"}, {"number": 2}],
        "groups": [{"startStaff": 1, "endStaff": 2, "startMeasure": 4, "endMeasure": 999},
                   {"startStaff": 2, "endStaff": 2, "startMeasure": 20, "endMeasure": 30}],
        "staffSystems": [{"system": 1, "staves": [2]}],
        "multiStaffInstruments": [{"number": 1, "staves": [1, 2]}]})",
                                      &error))
        << error;
    EXPECT_EQ(host.Groups().at(0).endMeasure, 999);
    EXPECT_EQ(host.Groups().at(1).startMeasure, 20);
    EXPECT_EQ(host.StaffName(1), std::string("Fl\0\x1b[31m", 8));
    const std::string saved = host.SaveDocumentJson();
    Host again;
    ASSERT_TRUE(again.LoadDocumentJson(saved, &error)) << error;
    EXPECT_EQ(again.SaveDocumentJson(), saved);
}

TEST_F(DocumentJson, RecordsNoScoreHoldsAreSavedAsRecords) {
    // Odd data made on purpose (or by a command) stays expressible: saving puts what the named
    // sections would refuse into `records`, so the text loads back to the same records.
    Bytes group(36, 0);
    group[0] = 4;   // top staff 4
    group[2] = 99;  // bottom staff 99: not in the score
    group[32] = 9;  // measures 9 to 3
    group[34] = 3;
    host.PutRecord(tag::kGroup, {0, 20, 0}, group);
    group = Bytes(36, 0);
    group[0] = group[2] = 1;
    group[4] = 77;  // full name: text block 77, which does not exist
    group[32] = group[34] = 1;
    host.PutRecord(tag::kGroup, {0, 21, 0}, group);
    host.PutRecord(tag::kSystemStaff, {4, 0}, Bytes{42, 0});
    host.PutRecord(tag::kMultiStaff, {3, 0}, Bytes{1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    // A group a score could hold, but under the key words that ask the host for a number.
    group = Bytes(36, 0);
    group[0] = group[2] = 1;
    group[32] = group[34] = 1;
    host.PutRecord(tag::kGroup, {0xFFFF, 1, 0}, group);
    host.PutRecord(tag::kGroup, {0, 0xFFFF, 0}, group);
    const std::string saved = host.SaveDocumentJson();

    Host again;
    std::string error;
    ASSERT_TRUE(again.LoadDocumentJson(saved, &error)) << error << "\n" << saved;
    EXPECT_EQ(again.SaveDocumentJson(), saved);
    for (uint32_t t : {tag::kGroup, tag::kSystemStaff, tag::kMultiStaff}) {
        ASSERT_EQ(again.Keys(t), host.Keys(t)) << standin::TagName(t);
        for (const auto& key : host.Keys(t))
            EXPECT_EQ(again.GetRecord(t, key), host.GetRecord(t, key));
    }
}

TEST_F(DocumentJson, FileErrorsNameTheFile) {
    const std::string path = testing::TempDir() + "standin_bad_document.json";
    {
        std::ofstream out(path);
        out << R"({"fonts": [{"number": -1, "name": "x"}]})";
    }
    std::string error;
    EXPECT_FALSE(host.LoadDocumentFile(path, &error));
    EXPECT_EQ(error, path + ": fonts[0].number: expected an integer from 0 to 65535");
    std::remove(path.c_str());

    EXPECT_FALSE(host.LoadDocumentFile(path, &error));
    EXPECT_EQ(error, path + ": no such file");
    EXPECT_FALSE(host.LoadDocumentFile(testing::TempDir(), &error));
    EXPECT_EQ(error, testing::TempDir() + ": is a folder, not a file");
    EXPECT_EQ(host.DocumentNumber(), 7);
}

TEST_F(DocumentJson, DocumentsBuiltInCodeMatchTheirJson) {
    Host built;
    built.AddStaff(1, "Flute");
    built.AddStaff(2, "Oboe");
    built.SetMeasureCount(4);
    standin::GroupSpec spec;
    spec.startStaff = 1;
    spec.endStaff = 2;
    spec.startMeasure = 1;
    spec.endMeasure = 4;
    spec.fullName = u"Winds";
    EXPECT_EQ(built.AddGroup(spec), 1);
    EXPECT_EQ(built.AddGroup(spec), 2);
    // -1 would ask for a number to be assigned: a group is never stored under it.
    const std::string before = built.SaveDocumentJson();
    for (const auto& [owner, number] : {std::pair{-1, 0}, std::pair{-1, 4}, std::pair{0, -1}}) {
        standin::GroupSpec placeholder = spec;
        placeholder.owner = static_cast<int16_t>(owner);
        placeholder.number = static_cast<int16_t>(number);
        EXPECT_EQ(built.AddGroup(placeholder), 0) << owner << "/" << number;
    }
    EXPECT_EQ(built.SaveDocumentJson(), before);

    Host read;
    std::string error;
    ASSERT_TRUE(read.LoadDocumentJson(R"({
        "measureCount": 4, "staves": [{"number": 1, "name": "Flute"}, {"number": 2, "name": "Oboe"}],
        "groups": [{"startStaff": 1, "endStaff": 2, "startMeasure": 1, "endMeasure": 4, "fullName": "Winds"},
                   {"startStaff": 1, "endStaff": 2, "startMeasure": 1, "endMeasure": 4, "fullName": "Winds"}]})",
                                      &error))
        << error;
    EXPECT_EQ(read.SaveDocumentJson(), built.SaveDocumentJson());
}

}  // namespace
