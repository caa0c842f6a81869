// Small helpers for the command-line tool's key=value output.
#pragma once

#include "io/fd_streambuf.h"

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

// While it lives, std::cout writes through a buffer that remembers why a write failed, so
// that no failure to write standard output (a full disk, say) passes for success.
class CheckedStandardOutput {
public:
    CheckedStandardOutput();
    ~CheckedStandardOutput();
    CheckedStandardOutput(const CheckedStandardOutput&) = delete;
    CheckedStandardOutput& operator=(const CheckedStandardOutput&) = delete;

    // Flushes; throws std::runtime_error with the system's reason when any write failed.
    void Check();

private:
    vorticel::FdStreamBuf buffer_;
    std::streambuf* previous_;
};

// An error the user made (bad argument, unreadable file): reported on stderr, exit code 2.
struct UsageError {
    std::string message;
};

// Work whose memory could not be had: reported on stderr, exit code 5.
struct NotEnoughMemory {
    std::string message;
};

} // namespace vorticel::cli
