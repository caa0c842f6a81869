// Small helpers for the command-line tool's key=value output.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace vorticel::cli {

// A number with `digits` significant digits, always with a decimal point.
std::string FormatNumber(double v, int digits = 6);

void PrintKey(std::ostream& out, std::string_view key, std::string_view value);
void PrintKey(std::ostream& out, std::string_view key, double value);
void PrintKey(std::ostream& out, std::string_view key, std::int64_t value);

// An error the user made (bad argument, unreadable file): reported on stderr, exit code 2.
struct UsageError {
    std::string message;
};

} // namespace vorticel::cli
