// Seeding and loading for the subcommands.
#include "cli/common.h"

#include "attractor/catalogue.h"
#include "attractor/parameter_file.h"
#include "attractor/rng.h"
#include "cli/output.h"

#include <ctime>
#include <iostream>

namespace vorticel::cli {

std::uint64_t SeedGenerator(const std::optional<std::uint64_t>& seed) {
    const std::uint64_t value = seed ? *seed : static_cast<std::uint64_t>(std::time(nullptr));
    RandomSeed(value);
    PrintKey(std::cerr, "seed", std::to_string(value)); // unsigned, as the recipe keeps it
    return value;
}

std::unique_ptr<Attractor> LoadFromFile(const std::string& file) {
    const std::optional<int> family = ReadFamilyIndex(file);
    if (!family) {
        throw UsageError{"the header of " + file + " names no attractor family"};
    }
    std::unique_ptr<Attractor> attractor = CreateAttractor(*family);
    attractor->LoadParameters(file);
    return attractor;
}

} // namespace vorticel::cli
