// Light frames, light boxes and the shadow maps.
#include "render/shadow_light.h"

#include "render/shade_statistics.h"
#include "render/splat.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace vorticel {
namespace {

constexpr double kLargest = std::numeric_limits<double>::max();

Vecd Cross(const Vecd& a, const Vecd& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vecd NormalisedIfPositive(const Vecd& v) {
    const double length = std::sqrt(Dot(v, v));
    return length > 0.0 ? v / length : v;
}

void Grow(double& lo, double& hi, double v) {
    if (!(v >= lo)) {
        lo = v;
    }
    if (v > hi) {
        hi = v;
    }
}

} // namespace

Light::Light() : lightMap(static_cast<std::size_t>(mapSize)) {
    SetDirection({-0.5, 0.5, 0.5});
}

void Light::SetDirection(const Vecd& v) {
    direction = NormalisedIfPositive(v);
    side = NormalisedIfPositive(Cross(referenceUp, direction));
    up = Cross(direction, side);
}

void Light::UpdateLightMatrix() {
    const double s = 1.0 + shadowBias;
    const Matrix4 box =
        OrthoMatrix(s * lightBoundsMin.x, s * lightBoundsMax.x, s * lightBoundsMin.y,
                    s * lightBoundsMax.y, s * lightBoundsMin.z, s * lightBoundsMax.z);
    // The camera looks along +z from (0, 0, -5): mirroring x and z places the light where
    // `direction` points as the viewer sees it.
    const Matrix4 look =
        LookAtMatrix({-direction.x, direction.y, -direction.z}, {0.0, 0.0, 0.0}, up);
    lightMatrix = Rotated(Multiply(box, look), rotationAngle, rotationAxis);
}

void Light::ClearLightMaps() {
    lightMaxDensity = 0.0f;
    inverseOpacity = 1.0f / opacity;
    ZeroBuffer(lightMap); // the far plane
    occlusion = LargeBuffer<double>();
}

void Light::TabulateOcclusion() {
    // OcclusionOf reads the maps, not a table left from the last pass.
    occlusion = LargeBuffer<double>();
    if (!(lightMaxDensity > 0.0f)) {
        return; // no occluder anywhere: the table is never read
    }
    LargeBuffer<double> table(lightMap.size()); // fresh memory, every element written below
    for (std::size_t t = 0; t < table.size(); ++t) {
        table[t] = OcclusionOf(t);
    }
    occlusion = std::move(table);
}

void Light::ResetLightBounds() {
    lightBoundsMin = {0.0, 0.0, 0.0};
    lightBoundsMax = {1.0, 1.0, 1.0};
    const double bias = shadowBias;
    shadowBias = 0.0;
    UpdateLightMatrix();
    shadowBias = static_cast<float>(bias);
    lightBoundsMin = {kLargest, kLargest, kLargest};
    lightBoundsMax = {-kLargest, -kLargest, -kLargest};
}

void Light::TrackLightPoint(const Vecd& p) {
    const Vecd b = LightBox(p);
    Grow(lightBoundsMin.x, lightBoundsMax.x, b.x);
    Grow(lightBoundsMin.y, lightBoundsMax.y, b.y);
    Grow(lightBoundsMin.z, lightBoundsMax.z, b.z);
}

void Light::ComputeLightMaximum() {
    lightMaxDensity = LightMaximum();
}

void Light::SplatHeldPoints() {
    for (; heldCount_ > 0; --heldCount_) {
        SplatPlaced(held_[heldFirst_]);
        heldFirst_ = (heldFirst_ + 1) & (kHeld - 1);
    }
}

float Light::LightMaximum() const {
    return LargestAboveZero(0, lightMap.size(),
                            [this](std::size_t i) { return lightMap[i].density; });
}

} // namespace vorticel
