// Whole numbers typed on the command line: the one reader every numeric option goes through,
// so that each refuses what it cannot take and says which range it takes.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace vorticel::cli {

enum class WholeNumberCheck { Ok, NotWhole, OutOfRange };

// Reads `text` as decimal digits, a minus sign before them for a negative number, nothing
// else (no blank, no plus sign, no point, no exponent). `out` is set only when it is Ok.
template <class T> WholeNumberCheck ReadWholeNumber(std::string_view text, T lo, T hi, T& out) {
    const std::size_t digits = !text.empty() && text.front() == '-' ? 1 : 0;
    if (text.size() == digits ||
        text.find_first_not_of("0123456789", digits) != std::string_view::npos) {
        return WholeNumberCheck::NotWhole;
    }
    T v{};
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, v);
    // A minus sign before an unsigned type fails to parse: the number is below its range.
    if (error != std::errc{} || ptr != end || v < lo || v > hi) {
        return WholeNumberCheck::OutOfRange;
    }
    out = v;
    return WholeNumberCheck::Ok;
}

// "--seed takes a whole number from 0 to 18446744073709551615; -1 is out of range".
template <class T>
std::string WholeNumberMessage(std::string_view what, std::string_view text, WholeNumberCheck check,
                               T lo, T hi) {
    return std::string(what) + " takes a whole number from " + std::to_string(lo) + " to " +
           std::to_string(hi) + "; " + std::string(text) +
           (check == WholeNumberCheck::NotWhole ? " is not a whole number" : " is out of range");
}

} // namespace vorticel::cli
