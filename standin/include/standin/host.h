#pragma once
// The stand-in host: an in-memory notation document with a record store, the host functions
// the plug-in calls (exported as FX_... by FINALE.EXE / FINDEMO.EXE), a call log and fault
// injection. It reads every record layout from the document's side and shares no code with the
// plug-in.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/call_observer.h"

#if defined(_WIN32)
#if defined(STANDIN_BUILDING)
#define STANDIN_API __declspec(dllexport)
#else
#define STANDIN_API __declspec(dllimport)
#endif
#else
#define STANDIN_API __attribute__((visibility("default")))
#endif

namespace standin {

// A record tag from four characters, the first in the highest byte: TagOf("SDNG") == 0x53444E47.
constexpr uint32_t TagOf(const char (&c)[5]) {
    return (uint32_t{static_cast<uint8_t>(c[0])} << 24) |
           (uint32_t{static_cast<uint8_t>(c[1])} << 16) |
           (uint32_t{static_cast<uint8_t>(c[2])} << 8) | uint32_t{static_cast<uint8_t>(c[3])};
}

namespace tag {
constexpr uint32_t kGroup = TagOf("SDNG");            // key (owner, number, 0), 36 bytes
constexpr uint32_t kMeasure = TagOf("SOMS");          // key (measure, 0), 26 or 30 bytes
constexpr uint32_t kSystemStaff = TagOf("SOIu");      // key (system, position), 24 bytes
constexpr uint32_t kCompanion = TagOf("dtLP");        // key (system, staff, 0), 10 bytes
constexpr uint32_t kMultiStaff = TagOf("otMG");       // key (number, 0), 12 bytes
constexpr uint32_t kTextBlock = TagOf("SOTX");        // key (number, 0), 26 bytes
constexpr uint32_t kFontPrefs = TagOf("pfdf");        // key (prefs number, 0), 6 bytes
constexpr uint32_t kRawTextBase = 0x74780000;         // 'tx' + the text kind's two characters
constexpr uint32_t kRawText = kRawTextBase | 0x626C;  // 'txbl', key (number)
constexpr uint16_t kDefaultTextKind = 0x626C;         // 'bl'
}  // namespace tag

// Record call versions at and above which the host behaves differently.
constexpr uint32_t kUnicodeTextVersion = 0x11000000;  // host version: raw texts hold UTF-16
constexpr uint32_t kLongMeasureVersion = 0x12000000;  // call version: measure records are 30 bytes
constexpr uint32_t kDefaultVersion = 0x19000000;

// 'SDNG' for printable tags, else 0x........
STANDIN_API std::string TagName(uint32_t tag);

// One staff group as the document holds it, names resolved through text block and raw text.
struct GroupView {
    int16_t owner = 0, number = 0;
    int16_t startStaff = 0, endStaff = 0, startMeasure = 0, endMeasure = 0;
    int16_t fullNameId = 0, abbrevNameId = 0;
    bool hasFullName = false, hasAbbrevName = false;  // block and its raw text both exist
    std::u16string fullName, abbrevName;              // empty when missing
    std::array<uint8_t, 36> bytes{};
};

// A group to add to the document. The named fields override the matching bytes of `record`.
struct GroupSpec {
    int16_t owner = 0;
    int16_t number = 0;  // 0: the next free number of the owner
    int16_t startStaff = 0, endStaff = 0, startMeasure = 0, endMeasure = 0;
    std::optional<std::u16string> fullName, abbrevName;  // none: name id 0
    std::optional<std::vector<uint8_t>> record;          // 36 bytes, else zeros
};

// One host call as the plug-in made it.
struct Call {
    std::string function;  // "FX_LoadEData", ...
    uint32_t tag = 0;
    std::vector<uint16_t> keyIn, keyOut;  // the key words the host reads for the tag
    bool bufferNull = true;
    int32_t sizeIn = 0, sizeOut = 0;  // Load: *size before/after; Save/Create: the size given
    uint32_t version = 0;
    int16_t result = 0;
    std::vector<uint8_t> dataIn;   // bytes the plug-in handed over (Save, Create)
    std::vector<uint8_t> dataOut;  // bytes the host wrote into the buffer (Load)
    uint16_t slot = 0, system = 0, staff = 0, font = 0;
    int32_t capacity = 0;  // FX_FontNumToName_UTF16
    std::u16string name;   // font name written
    std::string wrong;     // the wrong-form answer given, if any ("size -1", ...)
};

// An answer of a form the host contract does not allow, planned on one call like a failure: how
// the plug-in copes with a host that answers anything.
struct WrongAnswer {
    enum class Kind {
        // FX_LoadEData succeeds whether or not the record exists, copies as much of the record
        // as the buffer holds, and reports `size` as the byte count (negative, zero or absurd).
        Size,
        // FX_LoadEData of a raw text: that text lacks its terminator in this answer and in every
        // later one. A load of another tag does not answer in this form.
        Unterminated,
        // A record function does its work (or, with `fails`, refuses it and changes nothing
        // else), then writes `key` over the caller's key words (as many as the host reads for
        // the tag).
        Key,
        // FX_NextEData answers one of the tag's records, `to`, and from then on the enumeration
        // of that tag leads back to that record instead of ending: `limit` times in all, after
        // which it ends as usual.
        Cycle,
        // FX_FontNumToName and FX_FontNumToName_UTF16 fill the whole name buffer (256 bytes, or
        // the capacity given) with name characters and no terminator, and succeed.
        FullName,
    };
    Kind kind = Kind::Size;
    int32_t size = 0;
    std::vector<uint16_t> key;
    bool fails = false;
    int limit = 100;
    // The record a cycle leads back to: the tag's nth in key order, counted from 1, or from the
    // last when negative (-1 is the last). Beyond the records, the nearest end. Never 0.
    int to = 1;
};

// "size -1", "unterminated", "key (65535,65535)", "key (0,1,0) after failing", "cycle 100",
// "cycle 100 to -1", "full name".
STANDIN_API std::string Describe(const WrongAnswer& answer);

// The host functions, in the order their call counts are listed.
inline constexpr std::array<std::string_view, 10> kHostFunctions = {
    "FX_LoadEData",           "FX_SaveEData",
    "FX_CreateEData",         "FX_DeleteEData",
    "FX_NextEData",           "FX_SlotToInst",
    "FX_InstToSlot",          "FX_FontNumToName",
    "FX_FontNumToName_UTF16", "FX_GetCurrentEnigmaDocument"};

// One readable line: FX_LoadEData 'SDNG' key (0,1,0) buffer 36 -> 36 v 0x19000000 = 1
STANDIN_API std::string Describe(const Call& call);

class Document;

class STANDIN_API Host {
  public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The host of this process; the FX_ exports act on it.
    static Host& Instance();

    // Empty document (number 1), host version 0x19000000, no calls counted or logged, logging
    // off, no faults.
    void Reset();

    // The host program's version; decides the raw text encoding.
    void SetVersion(uint32_t version) { version_ = version; }
    uint32_t Version() const { return version_; }

    // Replace the document. On failure `error` names the file and the field, and the document is
    // left as it was.
    bool LoadDocumentFile(const std::string& path, std::string* error);
    bool LoadDocumentJson(const std::string& json, std::string* error);
    std::string SaveDocumentJson() const;
    // Replaces the file only once the whole text is written (a temporary file, then a rename).
    bool SaveDocumentFile(const std::string& path, std::string* error) const;

    // Typed views.
    std::vector<GroupView> Groups() const;
    std::optional<GroupView> Group(int16_t owner, int16_t number) const;
    std::vector<int16_t> StaffSystem(int16_t system) const;  // positions 0.. up to the first gap
    int MeasureCount() const;                                // measures 1..n without a gap
    std::optional<std::u16string> RawText(uint32_t tag, uint16_t number) const;
    std::optional<std::u16string> TextBlockText(uint16_t block) const;
    int16_t DocumentNumber() const;
    // The staff's name in the document; empty when it has none.
    std::string StaffName(int16_t staff) const;

    // Building a document in code.
    void AddStaff(int16_t staff, std::string name);  // appended to the score order (system 0)
    void SetStaffSystem(int16_t system, std::vector<int16_t> staves);
    void SetMeasureCount(int count);
    // The group number; 0 (nothing added) when none is left or the owner or number is -1.
    int16_t AddGroup(const GroupSpec& spec);
    void AddMultiStaffInstrument(int16_t number, int16_t staff1, int16_t staff2,
                                 int16_t staff3 = 0);
    void AddFont(uint16_t number, std::u16string name);
    void SetFontPref(uint16_t number, uint16_t font, int16_t size, uint16_t effects);
    void SetCompanion(int16_t system, int16_t staff, int16_t value);
    // Raw text `number` of `tag`; returns the number (a new one for 0xFFFF).
    uint16_t AddRawText(uint32_t tag, uint16_t number, std::u16string text);
    // Text block with the default record pointing at raw text `rawText`; returns its number.
    uint16_t AddTextBlock(uint16_t number, uint16_t rawText, uint16_t kind = tag::kDefaultTextKind);
    void SetDocumentNumber(int16_t number);

    // Any record, stored as bytes. Raw texts are held as UTF-16 units with a 0 unit, whatever the
    // host version. A three-word key makes the tag a detail tag. False for a wrong key length.
    bool PutRecord(uint32_t tag, const std::vector<uint16_t>& key, std::vector<uint8_t> bytes);
    std::optional<std::vector<uint8_t>> GetRecord(uint32_t tag,
                                                  const std::vector<uint16_t>& key) const;
    bool EraseRecord(uint32_t tag, const std::vector<uint16_t>& key);
    // Keys of every record of the tag, in key order.
    std::vector<std::vector<uint16_t>> Keys(uint32_t tag) const;

    // Call log. Every call is counted; the calls themselves are kept only while logging is on,
    // so that a long run does not grow without bound. Tests and scenarios that read the calls
    // turn it on after Reset.
    void LogCalls(bool on) { logging_ = on; }
    bool LoggingCalls() const { return logging_; }
    const std::vector<Call>& Calls() const { return calls_; }
    // Empties the log and the counts.
    void ClearCalls();
    std::vector<Call> CallsOf(std::string_view function) const;
    // Calls of `function` since the last Reset or ClearCalls, logged or not.
    uint64_t CallCount(std::string_view function) const;
    // Calls of all host functions.
    uint64_t CallCount() const;

    // The observer of every host function call; none by default and after Reset.
    void SetCallObserver(support::CallObserver* observer) { observer_ = observer; }
    support::CallObserver* GetCallObserver() const { return observer_; }

    // Fault injection. The nth call (1-based, counted from now) of `function` fails and changes
    // nothing; with a `tag`, only record calls for that tag are counted. The WritingBytes form
    // also copies `bytes` into a load's buffer (at most its capacity) before failing. FailTag
    // makes every record call for the tag fail.
    void FailCall(const std::string& function, int nth, uint32_t tag = 0);
    void FailCallWritingBytes(const std::string& function, int nth, std::vector<uint8_t> bytes);
    void FailTag(uint32_t tag);
    // The nth call (1-based, counted from now) of `function` answers in the wrong form. A planned
    // failure of the same call wins.
    void AnswerWrongly(const std::string& function, int nth, WrongAnswer answer);
    // Failures and wrong answers planned, and the lasting effects of wrong answers given.
    void ClearFaults();
    // The planned failures and wrong answers, numbered from 1 in the order they were planned
    // since the last Reset or ClearFaults, that have not taken effect: their call has not come,
    // another planned failure of that call won, or the call does not answer in that form.
    std::vector<int> UnfiredFaults() const;

    // The host functions; the FX_ exports forward here.
    int16_t LoadEData(uint32_t tag, uint16_t* key, void* buffer, int32_t* size, uint32_t version);
    int16_t SaveEData(uint32_t tag, uint16_t* key, const void* buffer, int32_t size,
                      uint32_t version);
    int16_t CreateEData(uint32_t tag, uint16_t* key, const void* buffer, int32_t size,
                        uint32_t version);
    int16_t DeleteEData(uint32_t tag, uint16_t* key, uint32_t version);
    int16_t NextEData(uint32_t tag, uint16_t* key, void* buffer, int32_t* size, uint32_t version);
    int16_t SlotToInst(uint16_t slot, uint16_t system, uint32_t version);
    int16_t InstToSlot(uint16_t staff, uint16_t system, uint32_t version);
    int16_t FontNumToName(uint16_t font, char* name, uint32_t version);
    int16_t FontNumToNameUTF16(uint16_t font, char16_t* name, int32_t capacity, uint32_t version);
    int16_t GetCurrentEnigmaDocument(uint32_t version);

  private:
    struct Fault {
        std::string function;
        int remaining;
        std::optional<std::vector<uint8_t>> bytes;
        uint32_t tag = 0;  // 0: calls of every tag count
        int plan = 0;      // its number among the planned faults; 0 for a failing tag
    };
    // Counts the call against the planned faults; the fault that fires, if any.
    std::optional<Fault> TakeFault(const std::string& function, uint32_t tag, bool recordCall);
    Call& Log(std::string function);
    // Logs a save or create with the record the plug-in hands over.
    Call& LogWrite(std::string function, uint32_t tag, const uint16_t* key, const void* buffer,
                   int32_t size, uint32_t version);
    // Counts the call against the planned wrong answers; the one that fires, if the call was
    // not failed and answers in one of `kinds`. Logged in the call.
    std::optional<WrongAnswer> TakeWrongAnswer(Call& call, bool failed,
                                               std::initializer_list<WrongAnswer::Kind> kinds);
    // Numbers the next planned fault.
    int Plan();
    // Lasting effects of wrong answers given.
    bool IsUnterminated(uint32_t tag, uint16_t number) const;
    void ClearWrongAnswers();

    struct PlannedAnswer {
        std::string function;
        int remaining;
        WrongAnswer answer;
        int plan;
    };
    struct Cycle {
        uint32_t tag;
        int remaining;
        int to;
    };

    std::unique_ptr<Document> doc_;
    uint32_t version_ = kDefaultVersion;
    bool logging_ = false;
    support::CallObserver* observer_ = nullptr;
    std::vector<Call> calls_;
    Call unlogged_;  // the call being made while logging is off
    std::array<uint64_t, kHostFunctions.size()> counts_{};
    std::vector<Fault> faults_;
    std::vector<uint32_t> failingTags_;
    std::vector<PlannedAnswer> wrongAnswers_;
    int planned_ = 0;
    std::vector<int> unfired_;  // planned faults not taken effect, in planning order
    std::vector<std::pair<uint32_t, uint16_t>> unterminated_;  // raw texts (tag, number)
    std::optional<Cycle> cycle_;
};

}  // namespace standin
