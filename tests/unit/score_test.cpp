// Score objects against the stand-in host: the selection, measures, staff systems, groups and
// multi-staff instruments.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <optional>

#include "framework/core/le.h"
#include "framework/score/fc_group.h"
#include "framework/score/fc_measure.h"
#include "framework/score/fc_music_region.h"
#include "framework/score/fc_system_staff.h"
#include "host_fixture.h"
#include "outside_command.h"
#include "shell/command_scope.h"

namespace {

using standin::tag::kCompanion;
using standin::tag::kMeasure;

class RegionTest : public HostTest {};

TEST_F(RegionTest, ReadsThePackedRecordFieldByField) {
    host().SetDocumentNumber(7);
    const shell::CommandScope command;
    auto record = RegionRecord(2, 3, 4, 5, 6, 0x01020304, 0x7FFFFFFF);
    FCMusicRegion region;
    region.SetHostRegion(record.data());
    EXPECT_EQ(region.startSystem, 2);
    EXPECT_EQ(region.startSlot, 3);
    EXPECT_EQ(region.startMeasure, 5);
    EXPECT_EQ(region.startPos, 0x01020304);
    EXPECT_EQ(region.endSlot, 4);
    EXPECT_EQ(region.endMeasure, 6);
    EXPECT_EQ(region.endPos, 0x7FFFFFFF);
    EXPECT_EQ(region.document, 7);
}

TEST_F(RegionTest, NullRecordIsAnEmptyRegionThatLoadsNoMeasure) {
    host().SetMeasureCount(4);
    const shell::CommandScope command;
    FCMusicRegion region;
    region.SetHostRegion(nullptr);
    EXPECT_TRUE(region.IsEmpty());
    EXPECT_TRUE(region.IsFullMeasureSelection());
    EXPECT_EQ(region.GetStartMeasure(), 0);
    EXPECT_EQ(region.GetEndMeasure(), 0);
    EXPECT_FALSE(region.IsLastEndMeasure());
    EXPECT_TRUE(CallsOf("FX_LoadEData", kMeasure).empty());
}

TEST_F(RegionTest, FullMeasureSelectionNeedsBothExactPositions) {
    struct Case {
        int32_t startPos, endPos;
        bool full;
    } cases[] = {{0, 0x7FFFFFFF, true}, {0, 0x7FFFFFFE, false}, {1, 0x7FFFFFFF, false}};
    for (const Case& c : cases) {
        auto record = RegionRecord(0, 1, 1, 2, 3, c.startPos, c.endPos);
        FCMusicRegion region;
        region.SetHostRegion(record.data());
        EXPECT_EQ(region.IsFullMeasureSelection(), c.full) << c.startPos << " " << c.endPos;
    }
    auto record = RegionRecord(0, 1, 1, 0, 5);
    FCMusicRegion region;
    region.SetHostRegion(record.data());
    EXPECT_FALSE(region.IsEmpty());
    EXPECT_EQ(region.GetStartMeasure(), 0);
}

TEST_F(RegionTest, LastMeasureIsFoundByProbingTheNext) {
    host().SetMeasureCount(10);
    struct Case {
        int16_t end;
        bool last;
        size_t loads;
    } cases[] = {{10, true, 2}, {9, false, 2}, {11, false, 1}};
    for (const Case& c : cases) {
        host().ClearCalls();
        const shell::CommandScope command;
        auto record = RegionRecord(0, 1, 1, 1, c.end);
        FCMusicRegion region;
        region.SetHostRegion(record.data());
        EXPECT_EQ(region.IsLastEndMeasure(), c.last) << c.end;
        EXPECT_EQ(CallsOf("FX_LoadEData", kMeasure).size(), c.loads) << c.end;
    }
}

TEST_F(RegionTest, StavesComeFromTheHostForTheRegionsSystems) {
    AddStaves(4);
    host().SetStaffSystem(3, {2, 4});
    const shell::CommandScope command;
    auto record = RegionRecord(3, 1, 2, 1, 1);
    FCMusicRegion region;
    region.SetHostRegion(record.data());
    EXPECT_EQ(region.GetStartStaff(), 2);
    EXPECT_EQ(region.GetEndStaff(), 4);
    for (const auto& call : CallsOf("FX_SlotToInst")) EXPECT_EQ(call.version, 0x19000000u);
}

TEST_F(RegionTest, StavesAndLastMeasureAreAskedOncePerCommandAndNeverOutsideOne) {
    AddStaves(4);
    host().SetMeasureCount(10);
    auto record = RegionRecord(0, 2, 4, 1, 10);
    FCMusicRegion region;
    region.SetHostRegion(record.data());
    struct Case {
        bool inCommand;
        size_t slotQueries, measureLoads;
        int16_t top, bottom;
        bool last;
    } cases[] = {{false, 0, 0, 0, 0, false}, {true, 2, 2, 2, 4, true}, {true, 2, 2, 2, 4, true}};
    for (const Case& c : cases) {
        host().ClearCalls();
        std::optional<shell::CommandScope> command;
        std::optional<OutsideCommand> outside;  // the first case reads outside one on purpose
        if (c.inCommand) {
            command.emplace();
        } else {
            outside.emplace();
        }
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(region.GetStartStaff(), c.top);
            EXPECT_EQ(region.GetEndStaff(), c.bottom);
            EXPECT_EQ(region.IsLastEndMeasure(), c.last);
        }
        EXPECT_EQ(CallsOf("FX_SlotToInst").size(), c.slotQueries) << c.inCommand;
        EXPECT_EQ(CallsOf("FX_LoadEData", kMeasure).size(), c.measureLoads) << c.inCommand;
    }
    // A slot changed within the command is asked for again.
    const shell::CommandScope command;
    EXPECT_EQ(region.GetStartStaff(), 2);
    region.startSlot = 3;
    EXPECT_EQ(region.GetStartStaff(), 3);
}

TEST_F(RegionTest, EqualityComparesStavesNotSlots) {
    AddStaves(4);
    host().SetStaffSystem(1, {1, 2, 3, 4});
    host().SetStaffSystem(2, {3, 4});
    FCMusicRegion a, b, c;
    auto ra = RegionRecord(1, 3, 4, 2, 5);
    auto rb = RegionRecord(1, 3, 4, 2, 5);
    le::PutI16(rb.data(), 10, 2);  // end counted in system 2: slot 2 is staff 4 there too
    le::PutI16(rb.data(), 12, 2);
    auto rc = RegionRecord(2, 1, 2, 2, 5);
    a.SetHostRegion(ra.data());
    b.SetHostRegion(rb.data());
    c.SetHostRegion(rc.data());
    EXPECT_TRUE(a.IsEqual(b));
    EXPECT_FALSE(a.IsEqual(c));  // same staves, other start system
}

class MeasureTest : public HostTest {};

TEST_F(MeasureTest, RecordLayoutFollowsTheHostVersion) {
    host().SetMeasureCount(2);
    struct Case {
        uint32_t hostVersion, recordVersion;
        int32_t size;
    } cases[] = {{0x11FFFFFF, 0x0A000000, 26}, {0x12000000, 0x12000000, 30}};
    for (const Case& c : cases) {
        vb::hostVersion = c.hostVersion;
        host().ClearCalls();
        FCMeasure measure;
        ASSERT_TRUE(measure.Load(1));
        EXPECT_EQ(measure.GetLoadedSize(), static_cast<uint64_t>(c.size));
        const auto loads = CallsOf("FX_LoadEData", kMeasure);
        ASSERT_EQ(loads.size(), 1u);
        EXPECT_EQ(loads[0].version, c.recordVersion);
        EXPECT_EQ(loads[0].sizeIn, c.size);
    }
}

TEST_F(MeasureTest, MeasureZeroIsRefusedWithoutAHostCall) {
    host().SetMeasureCount(10);
    FCMeasure measure;
    EXPECT_FALSE(measure.Load(0));
    EXPECT_TRUE(host().Calls().empty());
    EXPECT_TRUE(measure.Load(10));
    EXPECT_FALSE(measure.Load(11));
    EXPECT_EQ(measure.GetLoadedSize(), 0u);
}

class SystemStavesTest : public HostTest {};

TEST_F(SystemStavesTest, ScoreOrderNeedsNoCompanionsOtherSystemsOneEach) {
    AddStaves(3);
    host().SetStaffSystem(1, {3, 1});
    host().SetCompanion(1, 3, 55);
    FCSystemStaves staves;
    ASSERT_EQ(staves.LoadAllForItem(0), 3);
    EXPECT_TRUE(CallsOf("FX_LoadEData", kCompanion).empty());
    ASSERT_EQ(staves.LoadAllForItem(1), 2);
    EXPECT_EQ(CallsOf("FX_LoadEData", kCompanion).size(), 2u);
    EXPECT_EQ(staves.GetItemAt(0)->GetStaff(), 3);
    EXPECT_EQ(staves.GetItemAt(0)->GetCompanionValue(), 55);
    EXPECT_EQ(staves.GetItemAt(1)->GetCompanionValue(), 100);
    EXPECT_EQ(staves.FindStaffIndex(1), 1);
    EXPECT_EQ(staves.FindStaffIndex(2), -1);
    EXPECT_EQ(staves.FindStaff(2), nullptr);
}

TEST_F(SystemStavesTest, AGapInThePositionsEndsTheList) {
    AddStaves(4);
    host().SetStaffSystem(5, {1, 2});
    std::vector<uint8_t> record(24, 0);
    le::PutI16(record.data(), 0, 4);
    host().PutRecord(standin::tag::kSystemStaff, {5, 3}, record);
    FCSystemStaves staves;
    EXPECT_EQ(staves.LoadAllForItem(5), 2);
}

TEST_F(SystemStavesTest, SavingTheDefaultCompanionDeletesItAndSucceeds) {
    AddStaves(2);
    host().SetStaffSystem(1, {1, 2});
    FCSystemStaff staff;
    ASSERT_TRUE(staff.Load(1, 0));
    host().ClearCalls();
    EXPECT_TRUE(staff.Save());
    const auto deletes = CallsOf("FX_DeleteEData", kCompanion);
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(deletes[0].keyIn, (std::vector<uint16_t>{1, 1, 0}));
}

TEST_F(SystemStavesTest, CopyFromScoreOrderTakesTheDefaultCompanion) {
    AddStaves(2);
    FCSystemStaff source;
    ASSERT_TRUE(source.Load(0, 1));
    source.SetCompanionValue(77);
    FCSystemStaff copy;
    copy.CopyDataFrom(source);
    EXPECT_EQ(copy.GetCompanionValue(), 100);
    EXPECT_EQ(copy.GetStaff(), 2);
}

class GroupTest : public HostTest {
  protected:
    int16_t AddGroup(int16_t owner, std::u16string full, std::u16string abbrev) {
        standin::GroupSpec spec;
        spec.owner = owner;
        spec.startStaff = 1;
        spec.endStaff = 2;
        spec.startMeasure = 1;
        spec.endMeasure = 8;
        spec.fullName = full;
        spec.abbrevName = abbrev;
        std::vector<uint8_t> record(36);
        for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(0xA0 + i);
        spec.record = record;
        return host().AddGroup(spec);
    }
};

TEST_F(GroupTest, NamesReadThroughTextBlockAndRawText) {
    AddStaves(2);
    host().SetMeasureCount(8);
    const int16_t number = AddGroup(0, u"Strings", u"Str.");
    FCGroups groups;
    ASSERT_EQ(groups.LoadAll(), 1);
    FCGroup& group = *groups.GetItemAt(0);
    EXPECT_EQ(group.GetGroupNumber(), number);
    auto full = group.CreateFullNameString();
    auto abbrev = group.CreateAbbreviatedNameString();
    EXPECT_EQ(std::u16string(full->GetUTF16()), u"Strings");
    EXPECT_EQ(std::u16string(abbrev->GetUTF16()), u"Str.");
    // Id 0 is no name: empty. A name that is set but does not read is no name to guess at.
    group.SetFullNameID(0);
    auto none = group.CreateFullNameString();
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->GetLength(), 0u);
    group.SetFullNameID(999);
    EXPECT_EQ(group.CreateFullNameString(), nullptr);
    const uint16_t orphan = host().AddTextBlock(0xFFFF, 77);  // raw text 77 does not exist
    group.SetAbbreviatedNameID(static_cast<int16_t>(orphan));
    EXPECT_EQ(group.CreateAbbreviatedNameString(), nullptr);
}

TEST_F(GroupTest, SaveNewCreatesUnderTheGroupsOwnerAndSaveThenWritesTheNewGroup) {
    AddStaves(2);
    host().SetMeasureCount(8);
    const int16_t original = AddGroup(3, u"Winds", u"Wi.");
    const auto before = host().Group(3, original)->bytes;
    FCGroups groups;
    ASSERT_EQ(groups.LoadAll(), 1);
    FCGroup& group = *groups.GetItemAt(0);
    host().ClearCalls();
    ASSERT_TRUE(group.SaveNew());
    const auto creates = CallsOf("FX_CreateEData");
    ASSERT_EQ(creates.size(), 1u);
    EXPECT_EQ(creates[0].keyIn, (std::vector<uint16_t>{3, 0xFFFF, 0}));
    EXPECT_EQ(creates[0].dataIn.size(), 36u);
    EXPECT_EQ(group.GetGroupOwner(), 3);
    EXPECT_EQ(group.GetGroupNumber(), creates[0].keyOut[1]);
    group.SetEndMeasure(4);
    ASSERT_TRUE(group.Save());
    EXPECT_EQ(host().Group(3, original)->bytes, before);
    const auto created = host().Group(3, group.GetGroupNumber());
    ASSERT_TRUE(created.has_value());
    EXPECT_EQ(created->endMeasure, 4);
    // Every byte the group does not interpret travelled unchanged.
    for (size_t i = 6; i < 22; ++i) EXPECT_EQ(created->bytes[i], before[i]) << i;
    for (size_t i = 24; i < 32; ++i) EXPECT_EQ(created->bytes[i], before[i]) << i;
}

TEST_F(GroupTest, OldHostsUseTheOldGroupVersion) {
    AddStaves(2);
    host().SetMeasureCount(8);
    AddGroup(0, u"A", u"B");
    vb::hostVersion = 0x0FFFFFFF;
    FCGroups groups;
    ASSERT_EQ(groups.LoadAll(), 1);
    for (const auto& call : CallsOf("FX_LoadEData", standin::tag::kGroup)) {
        EXPECT_EQ(call.version, 0x09000000u);
    }
}

TEST_F(GroupTest, StoringANameCreatesRawTextAndBlockEvenWhenEmpty) {
    FCGroup group;
    group.SetFullNameID(42);
    FCString empty;
    host().ClearCalls();
    ASSERT_TRUE(group.SaveNewFullNameBlock(&empty));
    const auto creates = CallsOf("FX_CreateEData");
    ASSERT_EQ(creates.size(), 2u);
    EXPECT_EQ(creates[0].tag, standin::tag::kRawText);
    EXPECT_EQ(creates[0].dataIn.size(), 2u);
    EXPECT_EQ(creates[1].tag, standin::tag::kTextBlock);
    ASSERT_EQ(creates[1].dataIn.size(), 26u);
    EXPECT_EQ(le::GetU16(creates[1].dataIn.data(), 0), creates[0].keyOut[0]);
    EXPECT_EQ(group.GetFullNameID(), static_cast<int16_t>(creates[1].keyOut[0]));
    EXPECT_FALSE(group.SaveNewAbbreviatedNameBlock(nullptr));
}

TEST_F(GroupTest, AFailedBlockCreationKeepsTheOldNameIdAndTellsWhatWasMade) {
    FCGroup group;
    group.SetAbbreviatedNameID(42);
    FCString name(u"Brass");
    host().FailCall("FX_CreateEData", 2);
    FCGroup::NameRecords made;
    EXPECT_FALSE(group.SaveNewAbbreviatedNameBlock(&name, &made));
    EXPECT_EQ(group.GetAbbreviatedNameID(), 42);
    ASSERT_TRUE(made.rawText.has_value());
    EXPECT_FALSE(made.block.has_value());
    EXPECT_TRUE(host().RawText(standin::tag::kRawText, *made.rawText).has_value());
    EXPECT_TRUE(FCGroup::DeleteNameRecords(made));
    EXPECT_TRUE(host().Keys(standin::tag::kRawText).empty());
}

TEST_F(GroupTest, StoredNameRecordsAreDeletedBlockFirst) {
    FCGroup group;
    FCString name(u"Brass");
    FCGroup::NameRecords made;
    ASSERT_TRUE(group.SaveNewFullNameBlock(&name, &made));
    ASSERT_TRUE(made.rawText && made.block);
    EXPECT_EQ(group.GetFullNameID(), static_cast<int16_t>(*made.block));
    // A block the host keeps keeps its raw text too.
    host().FailCall("FX_DeleteEData", 1);
    host().ClearCalls();
    EXPECT_FALSE(FCGroup::DeleteNameRecords(made));
    EXPECT_EQ(CallsOf("FX_DeleteEData").size(), 1u);
    EXPECT_EQ(host().TextBlockText(*made.block), u"Brass");
    ASSERT_TRUE(FCGroup::DeleteNameRecords(made));
    const auto deletes = CallsOf("FX_DeleteEData");
    ASSERT_EQ(deletes.size(), 3u);
    EXPECT_EQ(deletes[1].tag, standin::tag::kTextBlock);
    EXPECT_EQ(deletes[1].keyIn, (std::vector<uint16_t>{*made.block, 0}));
    EXPECT_EQ(deletes[2].tag, standin::tag::kRawText);
    EXPECT_EQ(deletes[2].keyIn, (std::vector<uint16_t>{*made.rawText}));
    EXPECT_TRUE(host().Keys(standin::tag::kTextBlock).empty());
    EXPECT_TRUE(host().Keys(standin::tag::kRawText).empty());
}

TEST_F(GroupTest, LoadAllForItemStopsAtTheFirstMissingNumber) {
    AddStaves(2);
    host().SetMeasureCount(8);
    AddGroup(0, u"A", u"a");  // 1
    AddGroup(0, u"B", u"b");  // 2
    FCGroups groups;
    EXPECT_EQ(groups.LoadAllForItem(0, 1), 2);
    EXPECT_EQ(groups.LoadAllForItem(0, 5), 0);
    EXPECT_EQ(groups.LoadAllForItem(0, 2), 1);
}

}  // namespace
