// Density and depth splats, shadow maps, and the lit surface.
#include "render/solid.h"

#include "render/accumulate.h"
#include "render/merge.h"
#include "render/splat.h"

#include <algorithm>
#include <cmath>

namespace vorticel {
namespace {

struct LightSetting {
    Vecd direction;
    ColourRGB colour;
};

// A warm key light from the upper left and a weak cool fill light from near the viewer.
constexpr LightSetting kDefaultLights[] = {
    {{-0.8, 0.8, 1.0}, {1.0f, 0.8f, 0.4f}},
    {{0.1, -0.1, 1.0}, {0.3f, 0.31f, 0.32f}},
};

Vecd NormalisedIfPositive(const Vecd& v) {
    const double length = std::sqrt(Dot(v, v));
    return length > 0.0 ? v / length : v;
}

double Clamp01(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

} // namespace

TBitmap3D_Solid::TBitmap3D_Solid(PreviewSurface* surface) : TBitmap3D(surface) {
    SetDefaults();
}

TBitmap3D_Solid::TBitmap3D_Solid(const TBitmap3D& source) : TBitmap3D(source.Surface(), source) {
    SetDefaults();
}

void TBitmap3D_Solid::SetDefaults() {
    kind = kSolid;
    gamma = 1.0f;
    opacity = 8.0f;
    lights.clear();
    for (const LightSetting& setting : kDefaultLights) {
        Light light;
        light.SetDirection(setting.direction);
        light.colour = setting.colour;
        light.opacity = opacity;
        light.rotationAxis = rotationAxis;
        light.rotationAngle = rotationAngle;
        lights.push_back(std::move(light));
    }
    SetBackgroundColour({0.49f, 0.495f, 0.5f});
    SetPointColour({0.0f, 0.0f, 0.0f});
    ambientColour = {0.08f, 0.08f, 0.08f};
    diffuseColour = {0.8f, 0.8f, 0.8f};
    specularColour = {0.5f, 0.5f, 0.5f};
    roughness = 0.008f;
    fogColour = {0.5f * backgroundColour.r + 0.5f * pointColour.r,
                 0.5f * backgroundColour.g + 0.5f * pointColour.g,
                 0.5f * backgroundColour.b + 0.5f * pointColour.b};
    NotifyStateChanged();
}

void TBitmap3D_Solid::UpdateModelView() {
    TBitmap3D::UpdateModelView();
    for (Light& light : lights) {
        light.rotationAxis = rotationAxis;
        light.rotationAngle = rotationAngle;
    }
}

void TBitmap3D_Solid::ComputeMaxima() {
    maxDensity = 0.0f;
    for (const float d : densityBuffer) {
        maxDensity = d > maxDensity ? d : maxDensity;
    }
    for (Light& light : lights) {
        light.ComputeLightMaximum();
    }
}

void TBitmap3D_Solid::ResizeBuffers() {
    TBitmap3D::ResizeBuffers();
    densityBuffer.assign(static_cast<std::size_t>(pixelCount), 0.0f);
    depthBuffer.assign(static_cast<std::size_t>(pixelCount), 1.0f);
}

void TBitmap3D_Solid::ClearImage() {
    TBitmap3D::ClearImage();
    maxDensity = 0.0f;
    std::fill(densityBuffer.begin(), densityBuffer.end(), 0.0f);
    std::fill(depthBuffer.begin(), depthBuffer.end(), 1.0f);
    for (Light& light : lights) {
        light.ClearLightMaps();
        light.ResetLightBounds();
        for (const Vecd& p : pointRing) {
            light.TrackLightPoint(p);
        }
        light.UpdateLightMatrix();
    }
}

void TBitmap3D_Solid::ResetView() {
    TBitmap3D::ResetView();
    for (Light& light : lights) {
        light.ResetLightBounds();
    }
}

void TBitmap3D_Solid::TrackPoint(const Vecd& p) {
    TBitmap3D::TrackPoint(p);
    for (Light& light : lights) {
        light.TrackLightPoint(p);
    }
}

void TBitmap3D_Solid::FitView(bool recomputeZoom) {
    TBitmap3D::FitView(recomputeZoom);
    for (Light& light : lights) {
        light.UpdateLightMatrix();
    }
}

double TBitmap3D_Solid::ShadowFactor(const Light& light, const Vecd& world) {
    const Vecd b = light.LightBox(world);
    const double lx = b.x * light.mapWidth;
    const double ly = b.y * light.mapHeight;
    if (!(lx >= 1.0 && lx < light.mapWidth - 1 && ly >= 1.0 && ly < light.mapHeight - 1)) {
        return 1.0; // outside the map: nothing known to stand in front
    }
    const auto jx = static_cast<std::int32_t>(lx);
    const auto jy = static_cast<std::int32_t>(ly);
    const double gx = lx - jx;
    const double gy = ly - jy;
    const auto w = static_cast<std::size_t>(light.mapWidth);
    const std::size_t t00 = static_cast<std::size_t>(jy) * w + static_cast<std::size_t>(jx);
    const std::size_t texel[4] = {t00, t00 + 1, t00 + w, t00 + w + 1}; // 00, 10, 01, 11
    const auto bilinear = [gx, gy](const double v[4]) {
        return v[0] + (v[1] - v[0]) * gx + (v[2] - v[0]) * gy +
               (v[0] - v[1] + v[3] - v[2]) * gx * gy;
    };
    double depth[4];
    for (int k = 0; k < 4; ++k) {
        depth[k] = light.lightMap[texel[k]].depth;
    }
    const double dI = bilinear(depth);
    const double z = b.z;
    if (z <= dI) {
        return 1.0;
    }
    double occlusion[4];
    for (int k = 0; k < 4; ++k) {
        occlusion[k] = 0.0;
        // A map that received no point holds no occluder (and must not divide by zero).
        if (z > depth[k] && light.lightMaxDensity > 0.0f) {
            occlusion[k] = std::pow(static_cast<double>(light.lightMap[texel[k]].density) /
                                        light.lightMaxDensity * light.opacity,
                                    static_cast<double>(light.inverseOpacity));
        }
    }
    const double o = Clamp01(bilinear(occlusion));
    const double behind = z - dI;
    return behind >= light.shadowBias ? 1.0 - o : 1.0 - (behind / light.shadowBias) * o;
}

bool TBitmap3D_Solid::BeginShade() {
    ComputeMaxima();
    return maxDensity > 0.0f;
}

void TBitmap3D_Solid::ShadeRows(std::int32_t firstRow, std::int32_t endRow) {
    const double eo = 1.0 / opacity;
    const double eg = 1.0 / gamma;
    const double es = 1.0 / roughness;
    const double s = 1.0 / imageWidth;
    const double h = projectionMatrix[10] * 0.5;
    const Unprojector unproject(modelViewMatrix, projectionMatrix, imageWidth, imageHeight);
    const double background[3] = {backgroundColour.r, backgroundColour.g, backgroundColour.b};
    const auto w = static_cast<std::size_t>(imageWidth);

    // The top row and the right column keep the background of ClearImage.
    for (std::int32_t y = std::min(endRow, imageHeight - 1) - 1; y >= firstRow; --y) {
        for (std::int32_t x = imageWidth - 2; x >= 0; --x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x);
            const double d = depthBuffer[i];
            const double n = densityBuffer[i];
            std::uint8_t* px = &imageBuffer[3 * i];
            if (n <= 0.0) {
                px[0] = ChannelByte(background[2]);
                px[1] = ChannelByte(background[1]);
                px[2] = ChannelByte(background[0]);
                continue;
            }
            const Vecd position{(x - imageWidth * 0.5) * s, (y - imageHeight * 0.5) * s, d / h};
            const Vecd world = unproject({double(x), double(y), d});
            const Vecd normal = NormalisedIfPositive(
                {-s * (depthBuffer[i + 1] - d) / h, -s * (depthBuffer[i + w] - d) / h, s * s});
            const Vecd toView = NormalisedIfPositive(position - eye);
            double colour[3] = {ambientColour.r, ambientColour.g, ambientColour.b};
            for (auto light = lights.rbegin(); light != lights.rend(); ++light) {
                const Light& l = *light;
                const double shadow = ShadowFactor(l, world);
                const double lit[3] = {l.colour.r * shadow, l.colour.g * shadow,
                                       l.colour.b * shadow};
                const double k = Clamp01(Dot(normal, l.direction));
                colour[0] += diffuseColour.r * lit[0] * k;
                colour[1] += diffuseColour.g * lit[1] * k;
                colour[2] += diffuseColour.b * lit[2] * k;
                const Vecd half = (l.direction + toView) * 0.5;
                const double halfLength = std::sqrt(Dot(half, half));
                if (halfLength > 0.0) {
                    const double g = Dot(half, normal) / halfLength;
                    if (g > 0.0) {
                        const double highlight = std::pow(g, es);
                        colour[0] += specularColour.r * lit[0] * highlight;
                        colour[1] += specularColour.g * lit[1] * highlight;
                        colour[2] += specularColour.b * lit[2] * highlight;
                    }
                }
            }
            const double alpha = std::pow(Clamp01(n / maxDensity * opacity), eo);
            std::uint8_t bytes[3];
            for (int c = 0; c < 3; ++c) {
                double v = Clamp01(colour[c]);
                if (eg > 0.0) {
                    v = v > 0.0 ? std::pow(v, eg) : 0.0;
                }
                bytes[c] = ChannelByte((1.0 - alpha) * background[c] + alpha * v);
            }
            px[0] = bytes[2];
            px[1] = bytes[1];
            px[2] = bytes[0];
        }
    }
}

void TBitmap3D_Solid::Accumulate(Attractor& attractor, std::int32_t endCount) {
    AccumulateWith(*this, attractor, endCount);
}

std::unique_ptr<TBitmap3D> TBitmap3D_Solid::CopyForWorker() const {
    std::unique_ptr<TBitmap3D_Solid> copy(new TBitmap3D_Solid(*this));
    copy->DropImage();
    return copy;
}

void TBitmap3D_Solid::MergeWorkers(const std::vector<TBitmap3D*>& workers, MergePart part) {
    MergeSum(densityBuffer, workers, &TBitmap3D_Solid::densityBuffer, part);
    MergeNearest(depthBuffer, workers, &TBitmap3D_Solid::depthBuffer, part);
    // Each light's map as the image: densities add up, the depth is the nearest, and goes
    // back to every worker.
    for (std::size_t l = 0; l < lights.size(); ++l) {
        const auto mapOf = [l](TBitmap3D& worker) -> std::vector<DensityDepth>& {
            return static_cast<TBitmap3D_Solid&>(worker).lights[l].lightMap;
        };
        std::vector<DensityDepth>& map = lights[l].lightMap;
        MergeEach(map, workers, mapOf, part, [](DensityDepth& o, const DensityDepth& v) {
            o.density += v.density;
            o.depth = v.depth < o.depth ? v.depth : o.depth;
        });
        HandBack(map, workers, mapOf, part,
                 [](DensityDepth& own, const DensityDepth& v) { own.depth = v.depth; });
    }
}

std::int64_t TBitmap3D_Solid::AccumulationBytes() const {
    std::int64_t bytes = BufferBytes(densityBuffer) + BufferBytes(depthBuffer);
    for (const Light& light : lights) {
        bytes += BufferBytes(light.lightMap);
    }
    return bytes;
}

} // namespace vorticel
