// Colours and renderer kinds.
#pragma once

#include <cstdint>

namespace vorticel {

struct ColourRGB {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

// Also the item order of every renderer list (string ids 2000 + kind).
enum RendererKind : std::uint8_t {
    kGas = 0,
    kLiquid = 1,
    kLight = 2,
    kPlasma = 3,
    kSolid = 4,
};
constexpr int kRendererCount = 5;

// A channel value 0..1 as an image byte: clamped, then truncated (never rounded).
inline std::uint8_t ChannelByte(double v) {
    v = v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
    return static_cast<std::uint8_t>(v * 255.0);
}

// A channel value 0..1 as a 16-bit sample: clamped, then rounded to the nearest of 0..65535.
inline std::uint16_t Channel16(double v) {
    v = v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
    return static_cast<std::uint16_t>(v * 65535.0 + 0.5);
}

} // namespace vorticel
