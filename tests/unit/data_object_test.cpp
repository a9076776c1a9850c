// Data objects and collections against the stand-in host: keys, loads, saves, creation and the
// enumeration that fills collections.
#include <gtest/gtest.h>

#include <optional>

#include "framework/score/fc_group.h"
#include "framework/score/fc_measure.h"
#include "framework/score/fc_multi_staff_instrument.h"
#include "framework/score/fc_system_staff.h"
#include "framework/text/fc_font_info.h"
#include "framework/text/fc_font_prefs.h"
#include "framework/text/fc_text_block.h"
#include "host_fixture.h"
#include "shell/command_scope.h"

namespace {

using standin::tag::kGroup;
using standin::tag::kMeasure;

// A group over staves 1 and 2, measures `start` to 8 (number 0: the next free one).
void AddGroup(int16_t number, int16_t start) {
    standin::GroupSpec spec;
    spec.number = number;
    spec.startStaff = 1;
    spec.endStaff = 2;
    spec.startMeasure = start;
    spec.endMeasure = 8;
    standin::Host::Instance().AddGroup(spec);
}

class DataObjectTest : public HostTest {};

TEST_F(DataObjectTest, ObjectsWithoutARecordRefuseWritesWithoutAskingTheHost) {
    FCMeasure measure;
    FCMultiStaffInstrument instrument;
    FCFontPrefs prefs;
    EXPECT_FALSE(measure.Save());
    EXPECT_FALSE(measure.Reload());
    EXPECT_FALSE(measure.SaveNew());
    EXPECT_FALSE(instrument.Save());
    EXPECT_FALSE(instrument.SaveNew());
    EXPECT_FALSE(prefs.Save());
    EXPECT_FALSE(prefs.Reload());
    FCSystemStaves none;
    EXPECT_TRUE(none.SaveAll());
    EXPECT_TRUE(host().Calls().empty());
}

TEST_F(DataObjectTest, LoadsAskForTheDocumentOncePerCommandAndNeverOutsideOne) {
    host().SetMeasureCount(3);
    host().SetDocumentNumber(7);
    struct Case {
        bool inCommand;
        uint64_t queries;
        int16_t document;
    } cases[] = {{false, 0, 0}, {true, 1, 7}};
    for (const Case& c : cases) {
        host().ClearCalls();
        std::optional<shell::CommandScope> command;
        if (c.inCommand) command.emplace();
        FCMeasure measure;
        for (uint16_t m = 1; m <= 3; ++m) ASSERT_TRUE(measure.Load(m));
        EXPECT_EQ(measure.GetLoadedDocument(), c.document) << c.inCommand;
        EXPECT_EQ(host().CallCount("FX_GetCurrentEnigmaDocument"), c.queries) << c.inCommand;
    }
    // The next command asks again.
    host().SetDocumentNumber(8);
    const shell::CommandScope next;
    FCMeasure measure;
    ASSERT_TRUE(measure.Load(1));
    EXPECT_EQ(measure.GetLoadedDocument(), 8);
}

TEST_F(DataObjectTest, LoadOfAnItemSetsTheIncidenceToZero) {
    host().SetMeasureCount(3);
    FCMeasure measure;
    measure.SetKeyWord(1, 7);
    ASSERT_TRUE(measure.Load(2));
    EXPECT_EQ(measure.GetKeyWord(1), 0);
    const auto loads = CallsOf("FX_LoadEData", kMeasure);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].keyIn, (std::vector<uint16_t>{2, 0}));
}

TEST_F(DataObjectTest, DetailRecordsEnumerateInHostOrderFromKeyZero) {
    AddStaves(2);
    host().SetMeasureCount(10);
    for (int16_t number : std::initializer_list<int16_t>{3, 1, 2}) AddGroup(number, number);
    FCGroup group;
    ASSERT_TRUE(group.LoadFirst());
    EXPECT_EQ(group.GetGroupNumber(), 1);
    ASSERT_TRUE(group.LoadNext());
    EXPECT_EQ(group.GetGroupNumber(), 2);
    ASSERT_TRUE(group.LoadNext());
    EXPECT_EQ(group.GetStartMeasure(), 3);
    EXPECT_FALSE(group.LoadNext());
    const auto nexts = CallsOf("FX_NextEData", kGroup);
    ASSERT_FALSE(nexts.empty());
    EXPECT_EQ(nexts[0].keyIn, (std::vector<uint16_t>{0, 0, 0}));
    for (const auto& call : nexts) EXPECT_TRUE(call.bufferNull);
}

TEST_F(DataObjectTest, IncidenceRecordsDoNotEnumerate) {
    AddStaves(3);
    FCSystemStaff staff;
    EXPECT_FALSE(staff.LoadFirst());
    FCSystemStaves staves;
    EXPECT_EQ(staves.LoadAll(), 0);
}

TEST_F(DataObjectTest, CopyFromAnEmptyObjectChangesNothing) {
    FCGroup target;
    target.SetStartMeasure(5);
    FCMeasure empty;
    target.CopyDataFrom(empty);
    EXPECT_EQ(target.GetStartMeasure(), 5);
    EXPECT_EQ(target.GetLoadedSize(), 36u);
}

TEST_F(DataObjectTest, SaveNewHandsBackTheHostAssignedNumber) {
    FCTextBlock first, second;
    ASSERT_TRUE(first.SaveNew());
    ASSERT_TRUE(second.SaveNew());
    EXPECT_NE(first.GetItemNo(), second.GetItemNo());
    EXPECT_TRUE(host().GetRecord(standin::tag::kTextBlock, {second.GetItemNo(), 0}).has_value());
    const auto creates = CallsOf("FX_CreateEData");
    ASSERT_EQ(creates.size(), 2u);
    EXPECT_EQ(creates[0].keyIn, (std::vector<uint16_t>{0xFFFF, 0xFFFF}));
}

TEST_F(DataObjectTest, ClassIdentityComparesTheNameConstant) {
    FCGroup a, b;
    FCGroups groups;
    FCFontInfo font;
    __FCBase root;
    EXPECT_FALSE(a.IsSameClass(nullptr));
    EXPECT_TRUE(a.IsSameClass(&b));
    EXPECT_FALSE(a.IsSameClass(&groups));
    EXPECT_TRUE(font.IsSameClass(&root));
    struct Expected {
        const __FCBase& object;
        int id;
        std::string name;
    } cases[] = {{a, 40, "FCGroup"},
                 {groups, 0, "FCGroups"},
                 {FCMeasure(), 49, "FCMeasure"},
                 {FCMultiStaffInstrument(), 58, "FCMultiStaffInstrument"},
                 {FCMultiStaffInstruments(), 59, "FCMultiStaffInstruments"},
                 {FCSystemStaff(), 101, "FCSystemStaff"},
                 {FCSystemStaves(), 0, "FCSystemStaves"},
                 {FCTextBlock(), 104, "FCTextBlock"},
                 {FCFontPrefs(), 31, "FCFontPrefs"},
                 {FCString(), 0, "FCString"},
                 {font, 0, "__FCBase"}};
    for (const Expected& c : cases) {
        EXPECT_EQ(c.object.GetClassID(), c.id) << c.name;
        EXPECT_EQ(std::string(c.object.GetClassName()), c.name);
    }
}

class CollectionTest : public HostTest {};

TEST_F(CollectionTest, GrowthSteps) {
    struct Case {
        int count;
        int capacity;
    } cases[] = {{0, 10},      {10, 20},     {100, 110},    {101, 150},
                 {1000, 1050}, {1001, 1100}, {10001, 11000}};
    for (const Case& c : cases) {
        FCGroups groups;
        for (int i = 0; i < c.count; ++i) groups.Add(new FCGroup());
        // Ask for just one more than the spare room, so that the collection must grow.
        groups.GrowBy(groups.GetCapacity() - c.count + 1);
        EXPECT_EQ(groups.GetCapacity(), c.capacity) << "count " << c.count;
        EXPECT_EQ(groups.GetCount(), c.count);
    }
}

TEST_F(CollectionTest, ItemAccessOutsideTheElementsGivesNone) {
    FCGroups groups;
    EXPECT_EQ(groups.GetItemAt(0), nullptr);
    groups.Add(new FCGroup());
    EXPECT_NE(groups.GetItemAt(0), nullptr);
    EXPECT_EQ(groups.GetItemAt(-1), nullptr);
    EXPECT_EQ(groups.GetItemAt(1), nullptr);
}

TEST_F(CollectionTest, LoadAllReplacesTheContentsAndCopiesEachRecord) {
    AddStaves(2);
    host().SetMeasureCount(8);
    for (int16_t start = 1; start <= 3; ++start) AddGroup(0, start);
    const shell::CommandScope command;  // each load stamps the command's document
    FCGroups groups;
    groups.Add(new FCGroup());
    EXPECT_EQ(groups.LoadAll(), 3);
    EXPECT_EQ(groups.LoadAll(), 3);
    ASSERT_EQ(groups.GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(groups.GetItemAt(i)->GetStartMeasure(), i + 1);
        EXPECT_EQ(groups.GetItemAt(i)->GetGroupNumber(), i + 1);
        EXPECT_EQ(groups.GetItemAt(i)->GetLoadedDocument(), host().DocumentNumber());
    }
}

TEST_F(CollectionTest, EmptyDocumentsGiveEmptyCollections) {
    FCGroups groups;
    EXPECT_EQ(groups.LoadAll(), 0);
    EXPECT_EQ(groups.GetItemAt(0), nullptr);
}

// Numbered from 1, or from the first number the host names where there is no instrument 1.
TEST_F(CollectionTest, InstrumentsEnumerateFromTheFirstTheHostNames) {
    AddStaves(6);
    host().AddMultiStaffInstrument(2, 5, 6);
    FCMultiStaffInstruments instruments;
    ASSERT_EQ(instruments.LoadAll(), 1);
    EXPECT_EQ(instruments.GetItemAt(0)->GetStaff1(), 5);
    EXPECT_TRUE(instruments.LoadedWhole());
    host().AddMultiStaffInstrument(1, 1, 2, 3);
    ASSERT_EQ(instruments.LoadAll(), 2);
    EXPECT_EQ(instruments.GetItemAt(0)->GetStaff3(), 3);
    EXPECT_EQ(instruments.GetItemAt(1)->GetStaff1(), 5);
    EXPECT_EQ(instruments.GetItemAt(1)->GetStaff3(), 0);
}

TEST_F(CollectionTest, SaveAllStopsAtTheFirstFailure) {
    AddStaves(2);
    host().SetMeasureCount(8);
    for (int i = 0; i < 3; ++i) AddGroup(0, 1);
    FCGroups groups;
    ASSERT_EQ(groups.LoadAll(), 3);
    host().ClearCalls();
    host().FailCall("FX_SaveEData", 2);
    EXPECT_FALSE(groups.SaveAll());
    EXPECT_EQ(CallsOf("FX_SaveEData").size(), 2u);
}

// A host whose enumeration leads back to a record already loaded: each record once, then the
// enumeration ends, wherever the host jumps back and however often it would.
TEST_F(CollectionTest, AnEnumerationThatLeadsBackEndsAtTheRepeatedRecord) {
    AddStaves(2);
    host().SetMeasureCount(8);
    for (int i = 0; i < 3; ++i) AddGroup(0, 1);
    // The host answers record `to` (1 to 3) at the jump-th call and whenever it would end, so
    // the groups read 1, 2, 3, 2, 3, ... for a jump at the 4th call back to the 2nd.
    for (int to : {1, 2, 3}) {
        for (int jump = 1; jump <= 4; ++jump) {
            SCOPED_TRACE("call " + std::to_string(jump) + " back to " + std::to_string(to));
            standin::WrongAnswer cycle;
            cycle.kind = standin::WrongAnswer::Kind::Cycle;
            cycle.limit = 1000;
            cycle.to = to == 3 ? -1 : to;
            host().ClearCalls();
            host().AnswerWrongly("FX_NextEData", jump, cycle);
            FCGroups groups;
            // Records before the jump, then those from `to` on when they are new.
            const int loaded = (jump - 1) + (to >= jump ? 3 - to + 1 : 0);
            EXPECT_EQ(groups.LoadAll(), std::min(loaded, 3));
            EXPECT_LE(CallsOf("FX_NextEData").size(), 5u);
            host().ClearFaults();
        }
    }
}

// Only an enumeration moves a record's key: a load, save or deletion whose host rewrites the key
// leaves the object naming the record it asked for.
TEST_F(DataObjectTest, OnlyTheEnumerationMovesTheKey) {
    AddStaves(2);
    host().SetMeasureCount(8);
    AddGroup(0, 1);
    AddGroup(0, 2);
    standin::WrongAnswer elsewhere;
    elsewhere.kind = standin::WrongAnswer::Kind::Key;
    elsewhere.key = {0, 2, 0};
    for (const char* function : {"FX_LoadEData", "FX_SaveEData", "FX_DeleteEData"}) {
        SCOPED_TRACE(function);
        FCGroup group;
        group.SetGroupNumber(1);
        ASSERT_TRUE(group.LoadCurrentKey());
        host().AnswerWrongly(function, 1, elsewhere);
        if (std::string(function) == "FX_LoadEData") group.Reload();
        if (std::string(function) == "FX_SaveEData") group.Save();
        if (std::string(function) == "FX_DeleteEData") group.DeleteRecord();
        EXPECT_EQ(group.GetGroupNumber(), 1);
        host().ClearFaults();
    }
    host().AnswerWrongly("FX_NextEData", 1, elsewhere);
    FCGroup group;
    ASSERT_TRUE(group.LoadFirst());
    EXPECT_EQ(group.GetGroupNumber(), 2);
}

}  // namespace
