// What the subcommands share: seeding, loading a parameter file, the clock.
#pragma once

#include "attractor/attractor.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vorticel::cli {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Seeds the shared generator (from the clock unless given), reports the seed on stderr and
// returns it.
std::uint64_t SeedGenerator(const std::optional<std::uint64_t>& seed);

// The attractor of the family a file's header names, with the file applied; a header that
// names no family is a UsageError, an unreadable file a FileError.
std::unique_ptr<Attractor> LoadFromFile(const std::string& file);

} // namespace vorticel::cli
