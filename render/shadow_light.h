// A shadow-mapping light of the Solid renderer.
#pragma once

#include "attractor/vecd.h"
#include "render/colour.h"
#include "render/large_pages.h"
#include "render/matrix.h"
#include "render/splat.h"
#include "render/tile_bins.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorticel {

class Light {
public:
    static constexpr std::int32_t kMapSide = 512;

    Light();

    // The unit direction toward the light, in eye coordinates (x right, y up, z to the viewer).
    void SetDirection(const Vecd& v);
    // Fits the light's orthographic box (enlarged by shadowBias) around the tracked points.
    void UpdateLightMatrix();
    void ClearLightMaps();
    void ResetLightBounds();
    void TrackLightPoint(const Vecd& p);
    void ComputeLightMaximum();
    // The largest density of the map (0 if none is positive), what ComputeLightMaximum keeps.
    float LightMaximum() const;

    // Light-box coordinates: u, v across the map (0..1), w the depth (0 near, 1 far).
    Vecd LightBox(const Vecd& p) const { return (Transform(lightMatrix, p) + Vecd{1, 1, 1}) * 0.5; }
    // Splats a world point into the density and depth maps.
    void SplatWorldPoint(const Vecd& p);
    // As SplatWorldPoint, to the same bits once SplatHeldPoints has run, but each point splatted
    // kHeld points later, its texels fetched meanwhile: the render loop's points then reach the
    // maps in their own order without waiting on the cache for each one.
    void HoldWorldPoint(const Vecd& p);
    void SplatHeldPoints();
    // How much the map's texel `t` hides of what lies behind it; from the table once
    // TabulateOcclusion has run for the map and shading values as they stand.
    double Occlusion(std::size_t t) const {
        return occlusion.size() == lightMap.size() ? occlusion[t] : OcclusionOf(t);
    }
    // A shading pass looks up every covered pixel's four texels: their powers once each.
    void TabulateOcclusion();

    std::int32_t mapSize = kMapSide * kMapSide;
    LargeBuffer<DensityDepth> lightMap; // density and soft nearest depth (0 near, 1 far)
    float lightMaxDensity = 0.0f;
    float inverseOpacity = 1.0f;
    double shadowBias = 10.0 / kMapSide;
    Vecd lightBoundsMin{-0.5, -0.5, -0.5};
    Vecd lightBoundsMax{0.5, 0.5, 0.5};
    Vecd direction;
    Vecd side{1.0, 0.0, 0.0};
    Vecd up{0.0, 1.0, 0.0};
    Vecd referenceUp{0.0, 1.0, 0.0};
    Matrix4 lightMatrix{};
    std::int32_t mapWidth = kMapSide;
    std::int32_t mapHeight = kMapSide;
    float opacity = 8.0f;
    Vecd rotationAxis;
    double rotationAngle = 0.0;
    ColourRGB colour{1.0f, 1.0f, 1.0f};
    LargeBuffer<double> occlusion; // per texel of lightMap, or empty

private:
    static constexpr std::uint32_t kHeld = 16; // a power of 2

    // Where `p` falls on the maps, false when outside them.
    bool PlaceWorldPoint(const Vecd& p, DepthPlace& point) const;
    void SplatPlaced(const DepthPlace& point) {
        SplatDensityAndDepth(SplatOf(point.at, mapWidth), point.z, lightMap.data());
    }
    double OcclusionOf(std::size_t t) const {
        return std::pow(static_cast<double>(lightMap[t].density) / lightMaxDensity * opacity,
                        static_cast<double>(inverseOpacity));
    }

    std::array<DepthPlace, kHeld> held_{}; // a ring, oldest at heldFirst_
    std::uint32_t heldFirst_ = 0;
    std::uint32_t heldCount_ = 0;
};

// Inline: every rendered point reaches every light.
inline bool Light::PlaceWorldPoint(const Vecd& p, DepthPlace& point) const {
    const Vecd b = LightBox(p);
    point.z = static_cast<float>(b.z);
    return PlaceSplat(b.x * mapWidth, b.y * mapHeight, mapWidth, mapHeight, point.at);
}

inline void Light::SplatWorldPoint(const Vecd& p) {
    DepthPlace point;
    if (PlaceWorldPoint(p, point)) {
        SplatPlaced(point);
    }
}

inline void Light::HoldWorldPoint(const Vecd& p) {
    DepthPlace point;
    if (!PlaceWorldPoint(p, point)) {
        return;
    }
    FetchSplatRows(point.at, mapWidth, lightMap.data());
    if (heldCount_ == kHeld) {
        SplatPlaced(held_[heldFirst_]);
        held_[heldFirst_] = point;
        heldFirst_ = (heldFirst_ + 1) & (kHeld - 1);
    } else {
        held_[(heldFirst_ + heldCount_++) & (kHeld - 1)] = point;
    }
}

// Held by value: a render worker copies the lights with their maps.
using LightArray = std::vector<Light>;

} // namespace vorticel
