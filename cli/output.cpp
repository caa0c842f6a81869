// Locale-independent number output for the command-line tool.
#include "cli/output.h"

#include <charconv>
#include <iostream>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

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

CheckedStandardOutput::CheckedStandardOutput()
    : buffer_(STDOUT_FILENO), previous_(std::cout.rdbuf(&buffer_)) {}

CheckedStandardOutput::~CheckedStandardOutput() {
    std::cout.flush();
    std::cout.rdbuf(previous_);
}

void CheckedStandardOutput::Check() {
    std::cout.flush();
    if (buffer_.error() != 0) {
        throw std::runtime_error("cannot write to standard output: " +
                                 std::generic_category().message(buffer_.error()));
    }
}

} // namespace vorticel::cli
