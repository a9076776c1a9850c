#pragma once
// In the unit tests a read of a command's part outside a command (vb::outsideCommand) fails the
// test that makes it. A test that reads outside one on purpose says so with an OutsideCommand.
class OutsideCommand {
  public:
    OutsideCommand();
    ~OutsideCommand();
    OutsideCommand(const OutsideCommand&) = delete;
    OutsideCommand& operator=(const OutsideCommand&) = delete;
};
