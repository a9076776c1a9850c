#pragma once
// What a program's std::cout and std::cerr print through: stdio, keeping the reason of the first
// write that failed, which stdio forgets once it has dropped what it could not write. A program
// whose output is lost can then fail, saying why.
#include <cstdio>
#include <streambuf>
#include <string>

namespace driver {

class PrintBuffer : public std::streambuf {
  public:
    explicit PrintBuffer(FILE* file) : file_(file) {}

    // Why not everything printed reached the file, as GNU tools say it; or empty.
    std::string WriteError();

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

  private:
    void Keep();
    FILE* file_;
    int failure_ = 0;  // none; else the errno of the first failure, or -1 where it set none
};

}  // namespace driver
