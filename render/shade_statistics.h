// What a renderer's shading reads from the whole image rather than from its own band of rows:
// the densest pixel, the brightest channel, a light's densest texel. Strips of one image gather
// them apart and combine them, so the image does not depend on where it was cut; an animation
// imposes one set on every frame, so its exposure does not flicker.
#pragma once

#include <array>

namespace vorticel {

struct ShadeStatistics {
    // Per renderer kind; their meaning is the renderer's (Gas and Liquid: values[0] the densest
    // pixel; Light and Plasma: values[0] the brightest channel; Solid: values[0] the densest
    // pixel, values[1 + l] the densest texel of light l's map).
    std::array<double, 4> values{};
    bool operator==(const ShadeStatistics& other) const { return values == other.values; }
    bool operator!=(const ShadeStatistics& other) const { return !(*this == other); }
};

// Each value the larger of the two: how maxima of two bands make the maximum of both.
inline ShadeStatistics LargerOfEach(const ShadeStatistics& a, const ShadeStatistics& b) {
    ShadeStatistics out;
    for (std::size_t i = 0; i < out.values.size(); ++i) {
        out.values[i] = a.values[i] > b.values[i] ? a.values[i] : b.values[i];
    }
    return out;
}

} // namespace vorticel
