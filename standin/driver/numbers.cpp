#include "numbers.h"

#include <charconv>

namespace driver {
namespace {

template <typename T>
std::optional<T> Whole(std::string_view text, int base) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace

std::optional<long long> ParseDecimal(std::string_view text) {
    // from_chars takes no '+', no spaces and no base prefix: exactly what is wanted here.
    return Whole<long long>(text, 10);
}

std::optional<uint32_t> ParseVersion(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view digits = text.substr(2);
        // from_chars would take a sign here; a version has none.
        if (digits.front() == '-') return std::nullopt;
        return Whole<uint32_t>(digits, 16);
    }
    if (!text.empty() && text.front() == '-') return std::nullopt;
    return Whole<uint32_t>(text, 10);
}

}  // namespace driver
