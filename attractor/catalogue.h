// The nine attractor families: their class names and lookup by name.
#pragma once

#include "attractor/attractor.h"

#include <memory>
#include <optional>
#include <string_view>

namespace vorticel {

constexpr int kFamilyCount = 9;

// Creates the attractor of family 0..8, not reset; null for any other index.
std::unique_ptr<Attractor> CreateAttractor(int typeIndex);

// "Icon", "IFS", "Lorenz_2L", ... by family index.
std::string_view FamilyClassName(int familyIndex);

// A family by index ("2"), class name ("Lorenz_2L") or display name ("Polynôme Sprott"),
// ignoring ASCII case.
std::optional<int> FamilyIndexByName(std::string_view name);

// The family a parameter file's header line ("[Lorenz]") names, if any.
std::optional<int> FamilyIndexFromHeader(std::string_view headerLine);

} // namespace vorticel
