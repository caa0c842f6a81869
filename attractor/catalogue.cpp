// The factory and the family names.
#include "attractor/catalogue.h"

#include "attractor/attractor.h"
#include "attractor/families/icon.h"
#include "attractor/families/ifs.h"
#include "attractor/families/lorenz.h"
#include "attractor/families/pickover.h"
#include "attractor/families/polynomial.h"
#include "attractor/families/unravel.h"
#include "resources/strings.h"

#include <algorithm>
#include <charconv>

namespace vorticel {
namespace {

constexpr std::string_view kClassNames[kFamilyCount] = {
    "Icon",         "IFS",          "Lorenz_2L",         "Pickover", "Polynomial_A",
    "Polynomial_B", "Polynomial_C", "Polynomial_Sprott", "Unravel"};

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

std::string_view Trim(std::string_view s) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

std::unique_ptr<Attractor> CreateAttractor(int typeIndex) {
    switch (typeIndex) {
    case 0:
        return std::make_unique<Icon>();
    case 1:
        return std::make_unique<IFS>(2);
    case 2:
        return std::make_unique<Lorenz_2L>();
    case 3:
        return std::make_unique<Pickover>();
    case 4:
        return std::make_unique<Polynomial_A>();
    case 5:
        return std::make_unique<Polynomial_B>();
    case 6:
        return std::make_unique<Polynomial_C>();
    case 7:
        return std::make_unique<Polynomial_Sprott>();
    case 8:
        return std::make_unique<Unravel>();
    default:
        return nullptr;
    }
}

// The catalogue knows which class each family index stands for.
std::unique_ptr<Attractor> Attractor::NewOfSameKind() const {
    return CreateAttractor(typeIndex);
}

std::string_view FamilyClassName(int familyIndex) {
    return (familyIndex >= 0 && familyIndex < kFamilyCount) ? kClassNames[familyIndex]
                                                            : std::string_view{};
}

std::optional<int> FamilyIndexByName(std::string_view name) {
    name = Trim(name);
    int index = -1;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), index);
    if (error == std::errc{} && end == name.data() + name.size()) {
        if (index >= 0 && index < kFamilyCount) {
            return index;
        }
        return std::nullopt;
    }
    for (int i = 0; i < kFamilyCount; ++i) {
        if (EqualsIgnoringCase(name, kClassNames[i]) || EqualsIgnoringCase(name, FamilyName(i))) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<int> FamilyIndexFromHeader(std::string_view headerLine) {
    headerLine = Trim(headerLine);
    if (headerLine.size() < 2 || headerLine.front() != '[' || headerLine.back() != ']') {
        return std::nullopt;
    }
    const std::string_view name = headerLine.substr(1, headerLine.size() - 2);
    for (int i = 0; i < kFamilyCount; ++i) {
        if (name == FamilyName(i)) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace vorticel
