// What a renderer's shading reads from the whole image rather than from its own band.
#pragma once

#include <array>

namespace vorticel {

struct ShadeStatistics {
    // Per renderer kind; their meaning is the renderer's (e.g. Gas: values[0] = densest pixel).
    std::array<double, 4> values{};
    bool operator==(const ShadeStatistics& other) const { return values == other.values; }
};

} // namespace vorticel
