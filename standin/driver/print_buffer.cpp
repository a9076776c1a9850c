#include "print_buffer.h"

#include <cerrno>
#include <cstring>

namespace driver {

std::string PrintBuffer::WriteError() {
    sync();
    if (failure_ == 0 && std::ferror(file_) != 0) failure_ = -1;
    if (failure_ == 0) return {};
    return failure_ < 0 ? "write error" : std::string("write error: ") + std::strerror(failure_);
}

PrintBuffer::int_type PrintBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char one = traits_type::to_char_type(c);
    return xsputn(&one, 1) == 1 ? c : traits_type::eof();
}

std::streamsize PrintBuffer::xsputn(const char* text, std::streamsize count) {
    errno = 0;
    const size_t put = std::fwrite(text, 1, static_cast<size_t>(count), file_);
    if (put != static_cast<size_t>(count)) Keep();
    return static_cast<std::streamsize>(put);
}

int PrintBuffer::sync() {
    errno = 0;
    if (std::fflush(file_) == 0) return 0;
    Keep();
    return -1;
}

void PrintBuffer::Keep() {
    if (failure_ == 0) failure_ = errno != 0 ? errno : -1;
}

}  // namespace driver
