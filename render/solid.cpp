// Density and depth splats, shadow maps, and the lit surface.
#include "render/solid.h"

#include "render/accumulate.h"
#include "render/merge.h"
#include "render/shade_statistics.h"
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

SolidRenderer::SolidRenderer(PreviewSurface* surface) : Renderer(surface) {
    SetDefaults();
}

SolidRenderer::SolidRenderer(const Renderer& source) : Renderer(source.Surface(), source) {
    SetDefaults();
}

void SolidRenderer::SetDefaults() {
    SetKind(kSolid);
    gamma_ = 1.0f;
    opacity_ = 8.0f;
    lights_.clear();
    for (const LightSetting& setting : kDefaultLights) {
        Light light;
        light.SetDirection(setting.direction);
        light.colour = setting.colour;
        light.opacity = opacity_;
        lights_.push_back(std::move(light));
    }
    LightsFollowCamera();
    SetBackgroundColour({0.49f, 0.495f, 0.5f});
    SetPointColour({0.0f, 0.0f, 0.0f});
    ambientColour_ = {0.08f, 0.08f, 0.08f};
    diffuseColour_ = {0.8f, 0.8f, 0.8f};
    specularColour_ = {0.5f, 0.5f, 0.5f};
    roughness_ = 0.008f;
    const ColourRGB& b = BackgroundColour();
    const ColourRGB& p = PointColour();
    SetFogColour({0.5f * b.r + 0.5f * p.r, 0.5f * b.g + 0.5f * p.g, 0.5f * b.b + 0.5f * p.b});
}

void SolidRenderer::LightsFollowCamera() {
    for (Light& light : lights_) {
        light.rotationAxis = GetCamera().RotationAxis();
        light.rotationAngle = GetCamera().RotationAngle();
    }
}

void SolidRenderer::ComputeMaxima() {
    maxDensity_ =
        LargestAboveZero(0, pixels_.size(), [this](std::size_t i) { return pixels_[i].density; });
    for (Light& light : lights_) {
        light.ComputeLightMaximum();
    }
}

void SolidRenderer::ResizeBuffers() {
    Renderer::ResizeBuffers();
    pixels_ = LargeBuffer<DensityDepth>(static_cast<std::size_t>(PixelCount())); // the far plane
}

void SolidRenderer::ClearImage() {
    Renderer::ClearImage();
    maxDensity_ = 0.0f;
    ZeroBuffer(pixels_); // the far plane
    LightsFollowCamera();
    for (Light& light : lights_) {
        light.ClearLightMaps();
        light.ResetLightBounds();
        for (const Vecd& p : Ring().Points()) {
            light.TrackLightPoint(p);
        }
        light.UpdateLightMatrix();
    }
}

void SolidRenderer::ResetView() {
    Renderer::ResetView();
    LightsFollowCamera();
    for (Light& light : lights_) {
        light.ResetLightBounds();
    }
}

void SolidRenderer::TrackPoint(const Vecd& p) {
    Renderer::TrackPoint(p);
    for (Light& light : lights_) {
        light.TrackLightPoint(p);
    }
}

void SolidRenderer::FitView(bool recomputeZoom) {
    Renderer::FitView(recomputeZoom);
    LightsFollowCamera();
    for (Light& light : lights_) {
        light.UpdateLightMatrix();
    }
}

double SolidRenderer::ShadowFactor(const Light& light, const Vecd& world) {
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
        depth[k] = DepthOf(light.lightMap[texel[k]].depth);
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
            occlusion[k] = light.Occlusion(texel[k]);
        }
    }
    const double o = Clamp01(bilinear(occlusion));
    const double behind = z - dI;
    return behind >= light.shadowBias ? 1.0 - o : 1.0 - (behind / light.shadowBias) * o;
}

bool SolidRenderer::BeginShade() {
    if (const std::optional<ShadeStatistics>& imposed = ImposedStatistics()) {
        maxDensity_ = static_cast<float>(imposed->values[0]);
        for (std::size_t l = 0; l < lights_.size() && l + 1 < imposed->values.size(); ++l) {
            lights_[l].lightMaxDensity = static_cast<float>(imposed->values[l + 1]);
        }
    } else {
        ComputeMaxima();
    }
    for (Light& light : lights_) {
        light.TabulateOcclusion();
    }
    return maxDensity_ > 0.0f;
}

ShadeStatistics SolidRenderer::RowStatistics(std::int32_t firstRow, std::int32_t endRow) const {
    const auto w = static_cast<std::size_t>(Width());
    ShadeStatistics s;
    s.values[0] = LargestAboveZero(static_cast<std::size_t>(firstRow) * w,
                                   static_cast<std::size_t>(endRow) * w,
                                   [this](std::size_t i) { return pixels_[i].density; });
    for (std::size_t l = 0; l < lights_.size() && l + 1 < s.values.size(); ++l) {
        s.values[l + 1] = lights_[l].LightMaximum();
    }
    return s;
}

void SolidRenderer::LitColour(const Vecd& world, const Vecd& normal, const Vecd& toView,
                              double specularExponent, double colour[3]) const {
    colour[0] = ambientColour_.r;
    colour[1] = ambientColour_.g;
    colour[2] = ambientColour_.b;
    for (auto light = lights_.rbegin(); light != lights_.rend(); ++light) {
        const Light& l = *light;
        const double shadow = ShadowFactor(l, world);
        const double lit[3] = {l.colour.r * shadow, l.colour.g * shadow, l.colour.b * shadow};
        const double k = Clamp01(Dot(normal, l.direction));
        colour[0] += diffuseColour_.r * lit[0] * k;
        colour[1] += diffuseColour_.g * lit[1] * k;
        colour[2] += diffuseColour_.b * lit[2] * k;
        const Vecd half = (l.direction + toView) * 0.5;
        const double halfLength = std::sqrt(Dot(half, half));
        if (halfLength > 0.0) {
            const double g = Dot(half, normal) / halfLength;
            if (g > 0.0) {
                const double highlight = std::pow(g, specularExponent);
                colour[0] += specularColour_.r * lit[0] * highlight;
                colour[1] += specularColour_.g * lit[1] * highlight;
                colour[2] += specularColour_.b * lit[2] * highlight;
            }
        }
    }
}

void SolidRenderer::ShadeRows16(std::int32_t firstRow, std::int32_t endRow,
                                std::uint16_t* rgbOut) const {
    const double eo = 1.0 / opacity_;
    const double eg = 1.0 / gamma_;
    const double es = 1.0 / roughness_;
    const Camera& camera = GetCamera();
    const std::int32_t width = Width();
    const std::int32_t height = Height();
    const double s = 1.0 / width;
    const double h = camera.Projection()[10] * 0.5;
    const Unprojector unproject(camera.ModelView(), camera.Projection(), width, height);
    const ColourRGB& backgroundColour = BackgroundColour();
    const double background[3] = {backgroundColour.r, backgroundColour.g, backgroundColour.b};
    const auto w = static_cast<std::size_t>(width);
    const std::int32_t first = FirstRow();
    // The lit colour of a covered pixel over the background, each channel 0..1.
    const auto surface = [&](std::int32_t row, std::int32_t x, double out[3]) {
        const std::size_t i = static_cast<std::size_t>(row) * w + static_cast<std::size_t>(x);
        const double d = DepthOf(pixels_[i].depth);
        const double n = pixels_[i].density;
        const std::int32_t y = first + row;
        const Vecd position{(x - width * 0.5) * s, (y - height * 0.5) * s, d / h};
        const Vecd world = unproject({double(x), double(y), d});
        const Vecd normal =
            NormalisedIfPositive({-s * (DepthOf(pixels_[i + 1].depth) - d) / h,
                                  -s * (DepthOf(pixels_[i + w].depth) - d) / h, s * s});
        const Vecd toView = NormalisedIfPositive(position - camera.Eye());
        double colour[3];
        LitColour(world, normal, toView, es, colour);
        const double alpha = std::pow(Clamp01(n / maxDensity_ * opacity_), eo);
        for (int c = 0; c < 3; ++c) {
            double v = Clamp01(colour[c]);
            if (eg > 0.0) {
                v = v > 0.0 ? std::pow(v, eg) : 0.0;
            }
            out[c] = (1.0 - alpha) * background[c] + alpha * v;
        }
    };
    // As ShadeRows: the band's top row and right column are the background.
    for (std::int32_t row = firstRow; row < endRow; ++row) {
        std::uint16_t* out = rgbOut + static_cast<std::size_t>(row - firstRow) * w * 3;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(row) * w + static_cast<std::size_t>(x);
            double channels[3] = {background[0], background[1], background[2]};
            if (row < BandRows() - 1 && x < width - 1 && pixels_[i].density > 0.0f) {
                surface(row, x, channels);
            }
            for (int c = 0; c < 3; ++c) {
                out[3 * static_cast<std::size_t>(x) + static_cast<std::size_t>(c)] =
                    Channel16(channels[c]);
            }
        }
    }
}

void SolidRenderer::ShadeRowsTo(std::int32_t firstRow, std::int32_t endRow,
                                std::uint8_t* bgrOut) const {
    const double eo = 1.0 / opacity_;
    const double eg = 1.0 / gamma_;
    const double es = 1.0 / roughness_;
    const Camera& camera = GetCamera();
    const std::int32_t width = Width();
    const std::int32_t height = Height();
    const double s = 1.0 / width;
    const double h = camera.Projection()[10] * 0.5;
    const Unprojector unproject(camera.ModelView(), camera.Projection(), width, height);
    const ColourRGB& backgroundColour = BackgroundColour();
    const double background[3] = {backgroundColour.r, backgroundColour.g, backgroundColour.b};
    const auto w = static_cast<std::size_t>(width);
    const std::uint8_t backgroundBytes[3] = {ChannelByte(background[2]), ChannelByte(background[1]),
                                             ChannelByte(background[0])};
    const auto pixel = [bgrOut, w, firstRow](std::size_t i) {
        return bgrOut + 3 * (i - static_cast<std::size_t>(firstRow) * w);
    };
    // The top row and the right column of the band are the background, as ClearImage draws
    // it: no pixel beside or above them to take a slope from.
    for (std::int32_t row = firstRow; row < endRow; ++row) {
        const std::size_t rowStart = static_cast<std::size_t>(row) * w;
        const std::size_t from = row == BandRows() - 1 ? rowStart : rowStart + w - 1;
        for (std::size_t i = from; i < rowStart + w; ++i) {
            std::copy(backgroundBytes, backgroundBytes + 3, pixel(i));
        }
    }
    // Rows count from the band's first, `y` below from the image's bottom row.
    const std::int32_t first = FirstRow();
    for (std::int32_t row = std::min(endRow, BandRows() - 1) - 1; row >= firstRow; --row) {
        const std::int32_t y = first + row;
        for (std::int32_t x = width - 2; x >= 0; --x) {
            const std::size_t i = static_cast<std::size_t>(row) * w + static_cast<std::size_t>(x);
            const double d = DepthOf(pixels_[i].depth);
            const double n = pixels_[i].density;
            std::uint8_t* px = pixel(i);
            if (n <= 0.0) {
                std::copy(backgroundBytes, backgroundBytes + 3, px);
                continue;
            }
            const Vecd position{(x - width * 0.5) * s, (y - height * 0.5) * s, d / h};
            const Vecd world = unproject({double(x), double(y), d});
            const Vecd normal =
                NormalisedIfPositive({-s * (DepthOf(pixels_[i + 1].depth) - d) / h,
                                      -s * (DepthOf(pixels_[i + w].depth) - d) / h, s * s});
            const Vecd toView = NormalisedIfPositive(position - camera.Eye());
            double colour[3];
            LitColour(world, normal, toView, es, colour);
            // pow(1, y) is 1 and pow(x, 1) is x exactly: the powers that change nothing (a
            // covered pixel is mostly opaque, and "Gamma" mostly 1) are skipped.
            const double coverage = Clamp01(n / maxDensity_ * opacity_);
            const double alpha = coverage == 1.0 ? 1.0 : std::pow(coverage, eo);
            std::uint8_t bytes[3];
            for (int c = 0; c < 3; ++c) {
                double v = Clamp01(colour[c]);
                if (eg > 0.0) {
                    v = v > 0.0 ? (eg == 1.0 ? v : std::pow(v, eg)) : 0.0;
                }
                bytes[c] = ChannelByte((1.0 - alpha) * background[c] + alpha * v);
            }
            px[0] = bytes[2];
            px[1] = bytes[1];
            px[2] = bytes[0];
        }
    }
}

void SolidRenderer::Accumulate(Attractor& attractor, std::int32_t endCount) {
    // Whatever ends the loop, the maps get every point before anything can read them.
    struct Holding {
        SolidRenderer& renderer;
        explicit Holding(SolidRenderer& r) : renderer(r) { renderer.holdLightSplats_ = true; }
        ~Holding() {
            renderer.holdLightSplats_ = false;
            for (Light& light : renderer.lights_) {
                light.SplatHeldPoints();
            }
        }
        Holding(const Holding&) = delete;
        Holding& operator=(const Holding&) = delete;
    } holding(*this);
    AccumulateInTiles(*this, attractor, endCount);
}

void SolidRenderer::FlushBins() {
    auto [plot, touch] = PieceHandlers();
    bins_.Flush(plot, touch);
}

std::unique_ptr<Renderer> SolidRenderer::CopyForWorker() const {
    std::unique_ptr<SolidRenderer> copy(new SolidRenderer(*this));
    copy->DropImage();
    return copy;
}

void SolidRenderer::MergeWorkers(const std::vector<Renderer*>& workers, MergePart part) {
    MergeDensityDepth(pixels_, workers, Member(&SolidRenderer::pixels_), part);
    for (std::size_t l = 0; l < lights_.size(); ++l) {
        MergeDensityDepth(
            lights_[l].lightMap, workers,
            [l](Renderer& worker) -> LargeBuffer<DensityDepth>& {
                return static_cast<SolidRenderer&>(worker).lights_[l].lightMap;
            },
            part);
    }
}

std::int64_t SolidRenderer::AccumulationBytes() const {
    std::int64_t bytes = BufferBytes(pixels_);
    for (const Light& light : lights_) {
        bytes += BufferBytes(light.lightMap);
    }
    return bytes;
}

} // namespace vorticel
