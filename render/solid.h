// Solid: an opaque surface rebuilt from density and soft depth, lit by two shadowed lights.
#pragma once

#include "render/large_pages.h"
#include "render/renderer.h"
#include "render/shading_settings.h"
#include "render/shadow_light.h"

#include <utility>

namespace vorticel {

class SolidRenderer : public Renderer {
public:
    explicit SolidRenderer(PreviewSurface* surface);
    // Always starts from the Solid defaults; only the camera, ring and size come across.
    explicit SolidRenderer(const Renderer& source);

    void SetDefaults() override;
    void PlotPoint(const Vecd& q) override;
    void ClearImage() override;
    bool BeginShade() override;
    void ShadeRowsTo(std::int32_t firstRow, std::int32_t endRow,
                     std::uint8_t* bgrOut) const override;
    void ShadeRows16(std::int32_t firstRow, std::int32_t endRow,
                     std::uint16_t* rgbOut) const override;
    // values[0]: the densest pixel; values[1 + l]: the densest texel of light l's map (the
    // maps see every point, whatever the band).
    ShadeStatistics RowStatistics(std::int32_t firstRow, std::int32_t endRow) const override;
    void ResetView() override;
    void TrackPoint(const Vecd& p) override;
    void FitView(bool recomputeZoom) override;
    // The base projection, and the world point splatted into every light's maps.
    Vecd ProjectPoint(const Vecd& p) override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;
    std::unique_ptr<Renderer> CopyForWorker() const override;
    // Densities add up and the depth is the nearest of the workers' (shared again), in the
    // image and in each light's map alike.
    void MergeWorkers(const std::vector<Renderer*>& workers, MergePart part) override;
    bool KeepsSoftDepths() const override { return true; }
    std::int64_t AccumulationBytes() const override;

    // The render loop's tile bins (render/accumulate.h); the lights' maps are splatted as the
    // points come.
    static constexpr std::int64_t kPixelBytes = sizeof(DensityDepth);
    std::int64_t BinBytes() const override {
        return BinsTiles(kPixelBytes) ? decltype(bins_)::kHeldBytes : 0;
    }
    void PrepareBins() { bins_.Prepare(Width(), BandRows()); }
    void BinPoint(const Vecd& q);
    // Once per bin load, out of the flattened render loop.
    [[gnu::noinline]] void FlushBins();

    // Per pixel of the band: accumulated point weights, and the soft nearest depth (0 near
    // .. 1 far, as StoredDepth holds it).
    const LargeBuffer<DensityDepth>& Pixels() const { return pixels_; }
    float MaxDensity() const { return maxDensity_; }
    const LightArray& Lights() const { return lights_; }
    float Opacity() const { return opacity_; }
    float Gamma() const { return gamma_; }
    float Roughness() const { return roughness_; }
    void SetOpacity(float opacity) { opacity_ = opacity; }
    void SetGamma(float gamma) { gamma_ = gamma; }
    void SetRoughness(float roughness) { roughness_ = roughness; }

protected:
    SolidRenderer(const SolidRenderer&) = default;
    void ResizeBuffers() override;
    void ComputeMaxima() override;

private:
    auto PieceHandlers() {
        return std::make_pair(
            [this](const DepthPlace& point, unsigned mask) {
                SplatDensityAndDepth(SplatOf(point.at, Width()), point.z, pixels_.data(), mask);
            },
            [this](const DepthPlace& point) { FetchSplatRows(point.at, Width(), pixels_.data()); });
    }
    friend std::vector<ShadingSetting> ShadingSettings(Renderer& renderer);

    // How much of `light` reaches the world point `w` (1 = unshadowed).
    static double ShadowFactor(const Light& light, const Vecd& world);
    // The ambient light and each light's diffuse and specular share at a surface point, each
    // channel not yet clamped: what both shadings of a covered pixel start from.
    void LitColour(const Vecd& world, const Vecd& normal, const Vecd& toView,
                   double specularExponent, double colour[3]) const;
    // The lights' boxes turn with the camera's rotation.
    void LightsFollowCamera();

    LargeBuffer<DensityDepth> pixels_;
    TileBins<DepthPlace> bins_;
    float maxDensity_ = 0.0f;
    float opacity_ = 8.0f;     // "Opacité", 1..10
    float gamma_ = 1.0f;       // "Gamma", 1..5
    float roughness_ = 0.008f; // "Rugosité", 0.001..0.3; specular exponent 1 / roughness
    ColourRGB ambientColour_{0.08f, 0.08f, 0.08f};
    ColourRGB diffuseColour_{0.8f, 0.8f, 0.8f};
    ColourRGB specularColour_{0.5f, 0.5f, 0.5f};
    LightArray lights_;
    bool holdLightSplats_ = false; // only inside Accumulate, which splats what they hold
};

// The per-point operations are defined here so the render loop can inline them.

inline Vecd SolidRenderer::ProjectPoint(const Vecd& p) {
    for (Light& light : lights_) {
        if (holdLightSplats_) {
            light.HoldWorldPoint(p);
        } else {
            light.SplatWorldPoint(p);
        }
    }
    return ProjectBase(p);
}

inline void SolidRenderer::PlotPoint(const Vecd& q) {
    Splat s;
    if (!SplatOnBand(q, s)) {
        return;
    }
    SplatDensityAndDepth(s, static_cast<float>(q.z), pixels_.data());
}

inline void SolidRenderer::BinPoint(const Vecd& q) {
    DepthPlace point;
    if (PlaceOnBand(q, point.at)) {
        point.z = static_cast<float>(q.z);
        if (bins_.Add(point)) {
            FlushBins();
        }
    }
}

} // namespace vorticel
