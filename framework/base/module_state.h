#pragma once
// State that survives between host calls. Plain, unsynchronised: the host calls one export at a
// time on its own thread.
#include <cstdint>
#include <typeinfo>

namespace vb {

// The module whose string tables resource loads read: the library's own once enumeration has
// named it (the host's first calls), null before, when every text reads as the fallback text.
extern void* resourceInstance;

// Told of each read of a command's part (CommandPart, below) made outside a command, with the
// part's type name as typeid gives it. The plug-in sets none, and such a read answers as a host
// that names nothing would. The unit tests set one that fails the test: a test that forgot its
// scope would otherwise run on empty answers.
extern void (*outsideCommand)(const char* part);

// One command, from the host's call into the plug-in to its return. The host runs nothing else
// meanwhile, so what the command does not write cannot change while it runs: such answers are
// asked of the host once per command. Each layer keeps what it reads in a part of its own (the
// document here; the selection's staves in the score objects; the staff lists and name fonts in
// the split), and the command's scope (`shell::CommandScope`) holds one of each, made when the
// command starts and gone when it ends.
//
// These questions have one path, through the running command's part. The host reaches the
// plug-in's records and the selection only through the command (FinaleExtensionInvoke, which
// opens the scope): outside a scope nothing of the kind is asked, and each read answers as a host
// that names nothing would (document 0, staff 0, no split). Tests open a scope as Invoke does.
template <typename Part>
class CommandPart {
  public:
    // The part of the running command, to read through; null outside a command (told to
    // `outsideCommand`).
    static Part* Running() {
        if (running_ == nullptr && outsideCommand != nullptr) outsideCommand(typeid(Part).name());
        return static_cast<Part*>(running_);
    }
    // Whether a command runs, asked without reading.
    static bool InCommand() { return running_ != nullptr; }

  protected:
    // A part made while one of its kind lives belongs to that one: it keeps nothing. Nothing in
    // the plug-in opens a scope within another.
    CommandPart() : owner_(running_ == nullptr) {
        if (owner_) running_ = this;
    }
    ~CommandPart() {
        if (owner_) running_ = nullptr;
    }
    CommandPart(const CommandPart&) = delete;
    CommandPart& operator=(const CommandPart&) = delete;

  private:
    inline static CommandPart* running_ = nullptr;
    bool owner_;
};

// The base layer's part of a command: the document current in the host.
class DocumentReads : public CommandPart<DocumentReads> {
  public:
    int16_t Document();

  private:
    bool known_ = false;
    int16_t document_ = 0;
};

// The number of the document current in the host, asked once per command; 0 outside one, the
// stamp of a record loaded outside a command (as only tests load one), which is no mistake.
int16_t CurrentDocument();

}  // namespace vb
