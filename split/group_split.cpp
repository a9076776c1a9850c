#include "split/group_split.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "framework/text/fc_raw_text.h"
#include "resources/string_ids.h"
#include "split/split_reads.h"

namespace split {
namespace {

// Units after the marker at `at` that the new number and its ")" replace: the old number with
// its sign and its ")" ("12)", "-4)", and "7" when it lost its ")"), or what is left of a
// suffix whose number is missing (")", "-)", "-"). None when the marker ends the name.
uint64_t SuffixNumberLength(const FCString& name, uint64_t at) {
    const char16_t* units = name.GetUTF16();
    const uint64_t length = name.GetLength();
    uint64_t i = at;
    if (i < length && units[i] == u'-') ++i;
    while (i < length && units[i] >= u'0' && units[i] <= u'9') ++i;
    if (i < length && units[i] == u')') ++i;
    return i - at;
}

// What one matching group is cut with: its names as read before any change, and the fonts.
struct PieceNames {
    std::unique_ptr<FCString> fullName;
    std::unique_ptr<FCString> abbreviatedName;
    FCString fullCommand;
    FCString abbreviatedCommand;
};

// How a piece ended. Undone: the host refused one of its writes, and the piece was undone.
// TooLong: a suffixed name was longer than the plug-in writes into a text, and the piece was
// not made, or undone; the host refused nothing. Refused: the host refused to undo a failed piece
// as well; the command writes nothing more.
enum class PieceEnd { Completed, Undone, TooLong, Refused };

// What a piece has written to the host so far, and how to take it back.
class PieceJournal {
  public:
    // Remembers the group as it stands before the piece: its key and its whole record.
    explicit PieceJournal(const FCGroup& group) {
        before_.CopyKeyFrom(group);
        before_.CopyDataFrom(group);
    }
    void Shortened() { shortened_ = true; }
    void Created(const FCGroup& group) {
        created_.CopyKeyFrom(group);
        made_ = true;
    }
    FCGroup::NameRecords* FullName() { return &fullName_; }
    FCGroup::NameRecords* AbbreviatedName() { return &abbreviatedName_; }

    // Puts the object back as the group before the piece, then the host's records: first the
    // group gets its measures back, so that no measure goes without its bracket once the new
    // group is gone, then what the piece created goes. Stops at the first step the host refuses
    // (Refused); else the piece ends as `why` says it was undone.
    PieceEnd Undo(FCGroup& group, PieceEnd why = PieceEnd::Undone) {
        group.CopyKeyFrom(before_);
        group.CopyDataFrom(before_);
        if (shortened_ && !group.Save()) return PieceEnd::Refused;
        if (made_ && !created_.DeleteRecord()) return PieceEnd::Refused;
        if (!FCGroup::DeleteNameRecords(abbreviatedName_)) return PieceEnd::Refused;
        if (!FCGroup::DeleteNameRecords(fullName_)) return PieceEnd::Refused;
        return why;
    }

  private:
    FCGroup before_;
    bool shortened_ = false;
    FCGroup created_;  // only its key: the new group's
    bool made_ = false;
    FCGroup::NameRecords fullName_, abbreviatedName_;
};

// The host records the command knows to be in use: the groups it loaded and the pieces it
// completed, their name blocks, and the raw texts of the names it read and made. A creation the
// host reports under one of them names no new record.
class KnownRecords {
  public:
    explicit KnownRecords(const FCGroups& groups) {
        // Room for the pieces too: at most two a group, and rarely more than a few in all.
        groups_.reserve(static_cast<size_t>(groups.GetCount()) + 16);
        for (int i = 0; i < groups.GetCount(); ++i) {
            const FCGroup& group = *groups.GetItemAt(i);
            groups_.push_back(KeyOf(group));
            // A name id is a block number, known without reading the block.
            for (int16_t id : {group.GetFullNameID(), group.GetAbbreviatedNameID()}) {
                if (id != 0) texts_.blocks.Insert(static_cast<uint16_t>(id));
            }
        }
        std::sort(groups_.begin(), groups_.end());
    }
    void AddGroup(const FCGroup& group) {
        const uint64_t key = KeyOf(group);
        groups_.insert(std::lower_bound(groups_.begin(), groups_.end(), key), key);
    }
    bool KnowsGroup(const FCGroup& group) const {
        return std::binary_search(groups_.begin(), groups_.end(), KeyOf(group));
    }
    void AddTexts(const FCGroup::NameRecords& records) {
        if (records.rawText) texts_.rawTexts.Insert(*records.rawText);
        if (records.block) texts_.blocks.Insert(*records.block);
    }
    // Records the command deleted: the host may give their numbers out again.
    void ForgetTexts(const FCGroup::NameRecords& records) {
        if (records.rawText) texts_.rawTexts.Erase(*records.rawText);
        if (records.block) texts_.blocks.Erase(*records.block);
    }
    const FCGroup::KnownTexts& Texts() const { return texts_; }

  private:
    static uint64_t KeyOf(const FCGroup& group) {
        return uint64_t{group.GetKeyWord(0)} << 32 | uint64_t{group.GetKeyWord(1)} << 16 |
               group.GetKeyWord(2);
    }
    // Sorted. Reserved for the groups loaded and 16 pieces: a command allocates again only after
    // its 16th piece.
    std::vector<uint64_t> groups_;
    FCGroup::KnownTexts texts_;
};

// The full or the abbreviated name read before the cut, with the split suffix of `number`.
FCString SuffixedName(const PieceNames& names, int16_t number, bool abbreviated) {
    FCString name;
    name.SetString(abbreviated ? names.abbreviatedName.get() : names.fullName.get());
    AddSplitSuffix(name, abbreviated ? names.abbreviatedCommand : names.fullCommand, number,
                   abbreviated);
    return name;
}

// Whether both names can take a suffix: false when one is longer than the plug-in writes into a
// text (FCRawText::CanHold) even with the shortest number, 0, whatever number a piece gets.
bool NamesTakeSuffixes(const PieceNames& names) {
    return FCRawText().CanHold(SuffixedName(names, 0, false)) &&
           FCRawText().CanHold(SuffixedName(names, 0, true));
}

// Stores the full or the abbreviated name of the piece numbered `number`. Nothing when it is
// stored, else how the piece is undone.
std::optional<PieceEnd> StoreName(FCGroup& group, int16_t number, bool abbreviated,
                                  const PieceNames& names, KnownRecords& known,
                                  PieceJournal& journal) {
    const FCString name = SuffixedName(names, number, abbreviated);
    // The plug-in's own limit (a name within a few units of it, which the piece's number took
    // past it), met before any host call for the name: not the host's refusal.
    if (!FCRawText().CanHold(name)) return PieceEnd::TooLong;
    // A text reported under the placeholder or a text the command knows, its own earlier ones
    // included, or one that does not read back as written, would point the piece at another's
    // name, and an undo would delete that name.
    FCGroup::NameRecords* made = abbreviated ? journal.AbbreviatedName() : journal.FullName();
    const bool stored = abbreviated ? group.SaveNewAbbreviatedNameBlock(&name, made, &known.Texts())
                                    : group.SaveNewFullNameBlock(&name, made, &known.Texts());
    known.AddTexts(*made);
    if (!stored) return PieceEnd::Undone;
    return std::nullopt;
}

// MakePiece's steps; each write the host refuses, and a name that the piece's number makes too
// long, ends in the journal's undo.
PieceEnd CutPiece(FCGroup& group, int16_t cut, int16_t end, const PieceNames& names,
                  KnownRecords& known, PieceJournal& journal) {
    // A name too long for any suffix is known before the first write: nothing to undo.
    if (!NamesTakeSuffixes(names)) return PieceEnd::TooLong;
    group.SetEndMeasure(static_cast<int16_t>(cut - 1));
    if (!group.Save()) return journal.Undo(group);
    journal.Shortened();
    group.SetStartMeasure(cut);
    group.SetEndMeasure(end);
    group.SetField6(static_cast<int16_t>(group.GetField6() - FIELD6_CREATE_ADJUST));
    if (!group.SaveNew()) return journal.Undo(group);
    // A creation reported under the placeholder or under a group the command already knows
    // names no new group: the piece's writes would overwrite that group. It counts as refused,
    // and nothing is written or deleted under that key.
    if (group.GetGroupNumber() == -1 || known.KnowsGroup(group)) return journal.Undo(group);
    journal.Created(group);
    for (const bool abbreviated : {false, true}) {
        const std::optional<PieceEnd> undone =
            StoreName(group, group.GetGroupNumber(), abbreviated, names, known, journal);
        if (undone) return journal.Undo(group, *undone);
    }
    group.SetField6(static_cast<int16_t>(group.GetField6() + FIELD6_CREATE_ADJUST));
    if (!group.Save()) return journal.Undo(group);
    return PieceEnd::Completed;
}

// Cuts the group at `cut`: the object's group is shortened to end at cut - 1, and a new group
// over cut..end with suffixed names is created; the object then stands for the new group. A
// piece either completes or is undone, and then the object stands for the group as before.
PieceEnd MakePiece(FCGroup& group, int16_t cut, int16_t end, const PieceNames& names,
                   KnownRecords& known) {
    PieceJournal journal(group);
    PieceEnd piece = PieceEnd::Undone;
    try {
        piece = CutPiece(group, cut, end, names, known, journal);
    } catch (...) {
        // An exception midway (memory running out) is undone as a refused write is; it then
        // ends the command. The undo itself allocates nothing.
        journal.Undo(group);
        throw;
    }
    // An undone piece's records are deleted, and the host may give their numbers out again.
    if (piece == PieceEnd::Completed) known.AddGroup(group);
    if (piece == PieceEnd::Undone || piece == PieceEnd::TooLong) {
        known.ForgetTexts(*journal.FullName());
        known.ForgetTexts(*journal.AbbreviatedName());
    }
    return piece;
}

// Whether the group's measures contain the selected ones. A reversed selection, or one before
// measure 1, has no measures to cut at.
bool HoldsSelectedMeasures(const FCGroup& group, int16_t start, int16_t end) {
    return start >= 1 && start <= end && start >= group.GetStartMeasure() &&
           end <= group.GetEndMeasure();
}

// Whether a group that holds the selected measures has some to cut off: one the selection covers
// exactly has none. (A group running past the last measure counts: telling that would take a
// host call.)
bool HasMeasuresToCut(const FCGroup& group, int16_t start, int16_t end) {
    return group.GetStartMeasure() < start || group.GetEndMeasure() > end;
}

// What the split has done so far, over all groups.
struct SplitRun {
    bool split = false;          // a piece completed
    SplitShortfalls shortfalls;  // what kept a group from being split, or wholly
    bool stop = false;           // the host refused an undo: the command ends here
    AskedStaves asked;           // the selection's staves, as asked
    // Groups with measures to cut that did not match: a read in doubt may have kept them from it.
    std::vector<const FCGroup*> unmatched;
};

// Notes how a piece ended; true when it completed.
bool Note(PieceEnd piece, SplitRun& run) {
    switch (piece) {
        case PieceEnd::Completed:
            run.split = true;
            break;
        case PieceEnd::Undone:
            run.shortfalls.refusedWrite = true;
            break;
        case PieceEnd::TooLong:
            run.shortfalls.nameTooLong = true;
            break;
        case PieceEnd::Refused:
            run.shortfalls.refusedWrite = true;
            run.stop = true;
            break;
    }
    return piece == PieceEnd::Completed;
}

void SplitGroup(FCGroup& group, const FCMusicRegion& region, SplitReads& reads, KnownRecords& known,
                SplitRun& run) {
    const int16_t start = region.GetStartMeasure();
    const int16_t end = region.GetEndMeasure();
    const int16_t groupStart = group.GetStartMeasure();
    const int16_t groupEnd = group.GetEndMeasure();

    // A name that is there but cannot be read is not replaced by the suffix alone, and the
    // group stays whole: a refused read where the selection leaves measures to cut off, or the
    // plug-in's own limit where the name is longer than it reads (and so than any suffixed name
    // it could write).
    PieceNames names;
    FCGroup::NameRecords fullRead, abbreviatedRead;
    names.fullName = group.CreateFullNameString(&fullRead);
    known.AddTexts(fullRead);
    if (names.fullName != nullptr) {
        names.abbreviatedName = group.CreateAbbreviatedNameString(&abbreviatedRead);
        known.AddTexts(abbreviatedRead);
    }
    if (names.abbreviatedName == nullptr) {
        const bool tooLong = fullRead.beyondReadLimit || abbreviatedRead.beyondReadLimit;
        (tooLong ? run.shortfalls.nameTooLong : run.shortfalls.readRefused) |=
            HasMeasuresToCut(group, start, end);
        return;
    }
    names.fullCommand = reads.FullCommand();
    names.abbreviatedCommand = reads.AbbreviatedCommand();

    // Without the piece before the cut, the one after it is not what was asked for.
    if (groupStart < start && !Note(MakePiece(group, start, groupEnd, names, known), run)) return;
    if (groupEnd > end && !region.IsLastEndMeasure()) {
        Note(MakePiece(group, static_cast<int16_t>(end + 1), groupEnd, names, known), run);
    }
}

// True when the selection's top and bottom staff are `top` and `bottom`, told to `asked` as
// they are asked for. Staff 0 is no staff: a selection whose staves cannot be resolved matches
// nothing.
bool SelectsStaves(const FCMusicRegion& region, int16_t top, int16_t bottom, AskedStaves& asked) {
    const int16_t selectedTop = region.GetStartStaff();
    asked.top = selectedTop;
    if (selectedTop == 0 || selectedTop != top) return false;
    const int16_t selectedBottom = region.GetEndStaff();
    asked.bottom = selectedBottom;
    return selectedBottom != 0 && selectedBottom == bottom;
}

// Whether a group that may match the selection went unsplit for a read the host did not give
// whole: its list of groups, or the staff lists that its staves are compared with.
bool MissedForARead(const FCGroups& groups, SplitReads& reads, const FCMusicRegion& region,
                    SplitRun& run) {
    // Groups after a list cut short are not known at all: any of them may match.
    if (!groups.LoadedWhole()) return true;
    if (run.unmatched.empty()) return false;
    // A group whose end the score's order lacks may lie on staves an order cut short left out:
    // the selection's bottom staff, where no group's top matched it is not yet asked, tells.
    const auto offTheOrder = [&](const FCGroup* group) { return reads.OffTheOrder(*group); };
    if (!run.asked.bottom && std::any_of(run.unmatched.begin(), run.unmatched.end(), offTheOrder)) {
        run.asked.bottom = region.GetEndStaff();
    }
    const SelectionDoubt doubt = reads.Doubt(region, run.asked);
    const int16_t top = run.asked.top.value_or(0);
    return std::any_of(run.unmatched.begin(), run.unmatched.end(),
                       [&](const FCGroup* group) { return reads.MayMatch(*group, top, doubt); });
}

// Both name prefixes load from the string table; without them the suffix would carry the
// fallback text, which a later split would not recognise as its marker.
// Data written into scores, not messages: read in English whatever the user's language.
bool PrefixesLoad() {
    FCString prefix;
    return prefix.LoadResourceString(res::IDS_PREFIX_FULL, nullptr, res::LANGUAGE_ENGLISH) &&
           prefix.LoadResourceString(res::IDS_PREFIX_ABBREVIATED, nullptr, res::LANGUAGE_ENGLISH);
}

}  // namespace

bool SplitMatchingGroups(const FCMusicRegion& region, SplitShortfalls* shortfalls) {
    const int16_t start = region.GetStartMeasure();
    const int16_t end = region.GetEndMeasure();
    // The whole score selected: there is no measure before the selection to keep and none
    // after it to make a piece of, so nothing is cut and not even the groups are loaded. (A
    // group stored as starting before measure 1 is left alone as well.)
    if (!region.IsEmpty() && region.IsFullMeasureSelection() && start == 1 &&
        region.IsLastEndMeasure()) {
        return false;
    }
    if (!PrefixesLoad()) return false;
    // Outside a command there are no reads to split with (see vb::CommandPart).
    SplitReads* const reads = SplitReads::Running();
    if (reads == nullptr) return false;
    FCGroups groups;
    groups.LoadAll();
    KnownRecords known(groups);
    SplitRun run;
    for (int i = 0; i < groups.GetCount() && !run.stop; ++i) {
        FCGroup& group = *groups.GetItemAt(i);
        const StaffSpan span = reads->SpanOf(group, region);
        const bool selected = SelectsStaves(region, span.top, span.bottom, run.asked);
        if (!HoldsSelectedMeasures(group, start, end)) continue;
        if (selected) {
            SplitGroup(group, region, *reads, known, run);
        } else if (HasMeasuresToCut(group, start, end)) {
            run.unmatched.push_back(&group);
        }
    }
    run.shortfalls.readRefused |= MissedForARead(groups, *reads, region, run);
    if (shortfalls != nullptr) *shortfalls = run.shortfalls;
    return run.split;
}

std::pair<int16_t, int16_t> GetGroupStaffSpan(const FCGroup& group, const FCMusicRegion& region) {
    SplitReads* reads = SplitReads::Running();
    if (reads == nullptr) return {0, 0};
    const StaffSpan span = reads->SpanOf(group, region);
    return {span.top, span.bottom};
}

void AddSplitSuffix(FCString& name, const FCString& fontCommand, int16_t number, bool abbreviated) {
    FCString prefix;
    prefix.LoadResourceString(abbreviated ? res::IDS_PREFIX_ABBREVIATED : res::IDS_PREFIX_FULL,
                              nullptr, res::LANGUAGE_ENGLISH);
    FCString marker;
    marker.SetString(&fontCommand);
    marker.AppendCharacter(u'(');
    marker.AppendString(prefix);
    // Only the number and its ")" after the marker are replaced; what follows them stays.
    uint64_t numberAt = name.GetLength() + marker.GetLength();
    const int32_t position = name.FindString(&marker);
    if (position < 0) {
        name.AppendString(marker);
    } else {
        numberAt = static_cast<uint64_t>(position) + marker.GetLength();
    }
    const uint64_t rest = numberAt + SuffixNumberLength(name, numberAt);
    FCString tail;
    tail.SetUTF16(name.GetUTF16() + rest, name.GetLength() - rest);
    name.TruncateAt(numberAt);
    name.AppendInteger(number);
    name.AppendCharacter(u')');
    name.AppendString(tail);
}

}  // namespace split
