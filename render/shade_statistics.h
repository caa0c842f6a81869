// What a renderer's shading reads from the whole image rather than from its own band of rows:
// the densest pixel, the brightest channel, a light's densest texel. Strips of one image gather
// them apart and combine them, so the image does not depend on where it was cut; an animation
// imposes one set on every frame, so its exposure does not flicker.
#pragma once

#include <array>
#include <cstddef>

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

// The largest of value(i) for i in [begin, end) if any is above 0, else 0 (NaN never counts):
// a renderer's densest pixel or texel. Eight running maxima side by side, so a large image's
// pass is not held to one comparison's latency per pixel; the largest does not depend on the
// order the values are compared in.
template <class Value> float LargestAboveZero(std::size_t begin, std::size_t end, Value&& value) {
    constexpr std::size_t kLanes = 8;
    float lane[kLanes] = {};
    std::size_t i = begin;
    for (; i + kLanes <= end; i += kLanes) {
        for (std::size_t k = 0; k < kLanes; ++k) {
            const float v = value(i + k);
            lane[k] = v > lane[k] ? v : lane[k];
        }
    }
    for (; i < end; ++i) {
        const float v = value(i);
        lane[0] = v > lane[0] ? v : lane[0];
    }
    float m = 0.0f;
    for (const float v : lane) {
        m = v > m ? v : m;
    }
    return m;
}

} // namespace vorticel
