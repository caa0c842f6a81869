// Locale-independent number output for the command-line tool.
#include "cli/output.h"

#include <charconv>

namespace vorticel::cli {

std::string FormatNumber(double v, int digits) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, digits);
    return std::string(buffer, result.ptr);
}

void PrintKey(std::ostream& out, std::string_view key, std::string_view value) {
    out << key << '=' << value << '\n';
}

void PrintKey(std::ostream& out, std::string_view key, double value) {
    PrintKey(out, key, FormatNumber(value));
}

void PrintKey(std::ostream& out, std::string_view key, std::int64_t value) {
    PrintKey(out, key, std::to_string(value));
}

} // namespace vorticel::cli
