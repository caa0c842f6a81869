// Memory sizes typed on the command line: a whole number of bytes, or of K, M, G or T (powers
// of 1024, in either case), within a range, read by the one parser every size goes through.
#pragma once

#include "cli/whole_number.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorticel::cli {

constexpr std::int64_t kMinMemoryBytes = std::int64_t{64} << 20; // 64M
constexpr std::int64_t kMaxMemoryBytes = std::int64_t{1} << 50;  // 1048576G

// "512M" -> 536870912. `out` is set only when it is Ok.
inline WholeNumberCheck ReadMemorySize(std::string_view text, std::int64_t lo, std::int64_t hi,
                                       std::int64_t& out) {
    int shift = 0;
    if (!text.empty()) {
        switch (std::toupper(static_cast<unsigned char>(text.back()))) {
        case 'K':
            shift = 10;
            break;
        case 'M':
            shift = 20;
            break;
        case 'G':
            shift = 30;
            break;
        case 'T':
            shift = 40;
            break;
        default:
            break;
        }
    }
    if (shift > 0) {
        text.remove_suffix(1);
    }
    std::int64_t units = 0;
    // Whole units only, and none that overflow before the range is checked.
    const WholeNumberCheck check = ReadWholeNumber<std::int64_t>(text, 0, hi >> shift, units);
    if (check != WholeNumberCheck::Ok) {
        return check;
    }
    const std::int64_t bytes = units << shift;
    if (bytes < lo) {
        return WholeNumberCheck::OutOfRange;
    }
    out = bytes;
    return WholeNumberCheck::Ok;
}

// "--memory takes a size from 64M to 1048576G, such as 512M or 4G; 12X is not a size".
inline std::string MemorySizeMessage(std::string_view what, std::string_view text,
                                     WholeNumberCheck check) {
    return std::string(what) + " takes a size from " + std::to_string(kMinMemoryBytes >> 20) +
           "M to " + std::to_string(kMaxMemoryBytes >> 30) + "G, such as 512M or 4G; " +
           std::string(text) +
           (check == WholeNumberCheck::NotWhole ? " is not a size" : " is out of range");
}

} // namespace vorticel::cli
