// The bilinear splat shared by every renderer and the shadow maps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vorticel {

// Where a point falls on a grid of width x height texels and how it spreads over the four
// texels (ix, iy), (ix+1, iy), (ix+1, iy+1), (ix, iy+1), visited in that order.
struct Splat {
    std::size_t texel[4];
    float weight[4];
};

// Where a point falls: its texel (ix, iy) and its offsets inside it. A projected point reduced
// to this splats to the same bits as the point itself, which is what lets a render hold points
// back and splat them later (render/tile_bins.h).
struct SplatPlace {
    std::int32_t ix;
    std::int32_t iy;
    float fx;
    float fy;
};

// False when the truncated position is on or outside the outermost rows and columns (and
// for NaN or infinite positions, which are never converted to integers).
inline bool PlaceSplat(double px, double py, std::int32_t width, std::int32_t height,
                       SplatPlace& at) {
    if (!(px >= 1.0 && px < width - 1 && py >= 1.0 && py < height - 1)) {
        return false;
    }
    at.ix = static_cast<std::int32_t>(px);
    at.iy = static_cast<std::int32_t>(py);
    at.fx = static_cast<float>(px - at.ix);
    at.fy = static_cast<float>(py - at.iy);
    return true;
}

// The texels and weights of a placed point on a grid `width` texels wide.
inline Splat SplatOf(const SplatPlace& at, std::int32_t width) {
    const float fx = at.fx;
    const float fy = at.fy;
    const float fxy = fx * fy;
    const std::size_t i00 = static_cast<std::size_t>(at.iy) * static_cast<std::size_t>(width) +
                            static_cast<std::size_t>(at.ix);
    const auto w = static_cast<std::size_t>(width);
    Splat s;
    s.texel[0] = i00;
    s.texel[1] = i00 + 1;
    s.texel[2] = i00 + w + 1;
    s.texel[3] = i00 + w;
    s.weight[0] = 1.0f + fxy - fx - fy;
    s.weight[1] = fx - fxy;
    s.weight[2] = fxy;
    s.weight[3] = fy - fxy;
    return s;
}

inline bool SplatAt(double px, double py, std::int32_t width, std::int32_t height, std::int32_t& ix,
                    std::int32_t& iy, Splat& s) {
    SplatPlace at;
    if (!PlaceSplat(px, py, width, height, at)) {
        return false;
    }
    ix = at.ix;
    iy = at.iy;
    s = SplatOf(at, width);
    return true;
}

// A depth buffer holds each depth with its bits exclusive-or'd with those of 1, the far plane:
// fresh zeroed memory is then a buffer all at the far plane, which no pass of writes has to fill
// nor any worker's copy to repeat. The flip is its own inverse and exact for every value.
inline float FlipFarBits(float v) {
    constexpr std::uint32_t kFarBits = 0x3F800000u; // 1.0f
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    bits ^= kFarBits;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}
// The depth a depth buffer's element holds.
inline float DepthOf(float stored) {
    return FlipFarBits(stored);
}
// What a depth buffer holds for `depth`.
inline float StoredDepth(float depth) {
    return FlipFarBits(depth);
}

// One texel of the Solid image or of a light's shadow map: accumulated point weights and the
// soft nearest depth (as StoredDepth) side by side, so a splat touches half as many cache lines
// as with two buffers. No initialisers: zeros (fresh memory) are an empty texel at the far plane.
struct DensityDepth {
    float density;
    float depth;
};

// Adds the weights to the densities and pulls each depth (soft nearest depth) toward a nearer
// point in proportion to its weight; a point behind the stored depth leaves it alone. Only the
// texels of `mask` (bit k for texel k).
inline void SplatDensityAndDepth(const Splat& s, float z, DensityDepth* texels,
                                 unsigned mask = 0xFu) {
    for (int k = 0; k < 4; ++k) {
        if (!(mask & (1u << k))) {
            continue;
        }
        const float w = s.weight[k];
        DensityDepth& p = texels[s.texel[k]];
        p.density += w;
        const float d = DepthOf(p.depth);
        if (z < d) {
            p.depth = StoredDepth(d * (1.0f - w) + w * z);
        }
    }
}

// The soft depth test of the liquid and plasma renderers: how much of weight `w` a point
// at depth `z` adds to a texel whose soft nearest depth is `depth`, pulling that depth
// toward the point when it lies in front. `sharpness` is depthRange x zoom x 10. `stored` is
// the texel's element of a depth buffer (StoredDepth).
inline float SoftDepthWeight(float& stored, float z, float w, double sharpness) {
    const float depth = DepthOf(stored);
    const double g = (depth - z) * sharpness;
    if (g <= -1.0) {
        return 0.0f; // too far behind the surface already seen here
    }
    if (g > 0.0) {
        stored = StoredDepth(depth * (1.0f - w) + z * w);
    }
    const double share = (g + 1.0) * 0.5;
    return static_cast<float>(w * (share < 1.0 ? share : 1.0));
}

} // namespace vorticel
