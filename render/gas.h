// Gas: a grey density picture; Liquid: the same with a soft depth test.
#pragma once

#include "render/large_pages.h"
#include "render/renderer.h"
#include "render/shading_settings.h"
#include "render/splat.h"
#include "render/tile_bins.h"

#include <utility>

namespace vorticel {

class GasRenderer : public Renderer {
public:
    explicit GasRenderer(PreviewSurface* surface);
    // Keeps "Luminosité" and "Gamma" of a gas or liquid source.
    explicit GasRenderer(const Renderer& source);

    void SetDefaults() override;
    void PlotPoint(const Vecd& q) override;
    void ClearImage() override;
    bool BeginShade() override;
    void ShadeRowsTo(std::int32_t firstRow, std::int32_t endRow,
                     std::uint8_t* bgrOut) const override;
    void ShadeRows16(std::int32_t firstRow, std::int32_t endRow,
                     std::uint16_t* rgbOut) const override;
    // values[0]: the densest pixel.
    ShadeStatistics RowStatistics(std::int32_t firstRow, std::int32_t endRow) const override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;
    std::unique_ptr<Renderer> CopyForWorker() const override;
    // Densities add up.
    void MergeWorkers(const std::vector<Renderer*>& workers, MergePart part) override;
    std::int64_t AccumulationBytes() const override;

    // The render loop's tile bins (render/accumulate.h).
    static constexpr std::int64_t kPixelBytes = sizeof(float);
    std::int64_t BinBytes() const override {
        return BinsTiles(kPixelBytes) ? decltype(bins_)::kHeldBytes : 0;
    }
    void PrepareBins() { bins_.Prepare(Width(), BandRows()); }
    void BinPoint(const Vecd& q);
    // Once per bin load, out of the flattened render loop.
    [[gnu::noinline]] void FlushBins();

    // Accumulated point weights per pixel of the band.
    const LargeBuffer<float>& Density() const { return densityBuffer_; }
    float MaxDensity() const { return maxDensity_; }
    float Brightness() const { return brightness_; }
    float Gamma() const { return gamma_; }
    void SetBrightness(float brightness) { brightness_ = brightness; }
    void SetGamma(float gamma) { gamma_ = gamma; }

protected:
    GasRenderer(const GasRenderer&) = default;
    void ResizeBuffers() override;
    void ComputeMaxima() override;
    LargeBuffer<float>& DensityBuffer() { return densityBuffer_; }

private:
    friend std::vector<ShadingSetting> ShadingSettings(Renderer& renderer);

    void PlotPiece(const SplatPlace& at, unsigned mask) {
        const Splat s = SplatOf(at, Width());
        float* density = densityBuffer_.data();
        for (int k = 0; k < 4; ++k) {
            if (mask & (1u << k)) {
                density[s.texel[k]] += s.weight[k];
            }
        }
    }
    void TouchPiece(const SplatPlace& at) const {
        FetchSplatRows(at, Width(), densityBuffer_.data());
    }
    auto PieceHandlers() {
        return std::make_pair([this](const SplatPlace& at, unsigned mask) { PlotPiece(at, mask); },
                              [this](const SplatPlace& at) { TouchPiece(at); });
    }

    LargeBuffer<float> densityBuffer_;
    TileBins<SplatPlace> bins_;
    float maxDensity_ = 0.0f;
    float brightness_ = 2.0f; // "Luminosité", 1..10
    float gamma_ = 2.5f;      // "Gamma", 1..5
};

class LiquidRenderer : public GasRenderer {
public:
    explicit LiquidRenderer(PreviewSurface* surface);
    explicit LiquidRenderer(const Renderer& source);

    void PlotPoint(const Vecd& q) override;
    void ClearImage() override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;
    std::unique_ptr<Renderer> CopyForWorker() const override;
    // Densities add up; the depth is the nearest of the workers' soft depths, shared again.
    void MergeWorkers(const std::vector<Renderer*>& workers, MergePart part) override;
    bool KeepsSoftDepths() const override { return true; }
    std::int64_t AccumulationBytes() const override;

    static constexpr std::int64_t kPixelBytes = 2 * sizeof(float);
    std::int64_t BinBytes() const override {
        return BinsTiles(kPixelBytes) ? decltype(bins_)::kHeldBytes : 0;
    }
    void PrepareBins() { bins_.Prepare(Width(), BandRows()); }
    void BinPoint(const Vecd& q);
    [[gnu::noinline]] void FlushBins();

    // Soft nearest depth per pixel of the band, 0 near .. 1 far, as StoredDepth holds it.
    const LargeBuffer<float>& Depth() const { return depthBuffer_; }

protected:
    LiquidRenderer(const LiquidRenderer&) = default;
    void ResizeBuffers() override;

private:
    void SplatTexels(const Splat& s, float z, unsigned mask);
    auto PieceHandlers() {
        return std::make_pair(
            [this](const DepthPlace& point, unsigned mask) {
                SplatTexels(SplatOf(point.at, Width()), point.z, mask);
            },
            [this](const DepthPlace& point) {
                FetchSplatRows(point.at, Width(), Density().data());
                FetchSplatRows(point.at, Width(), depthBuffer_.data());
            });
    }

    LargeBuffer<float> depthBuffer_;
    TileBins<DepthPlace> bins_;
};

// The per-point operations are defined here so the render loop can inline them.

inline void GasRenderer::PlotPoint(const Vecd& q) {
    SplatPlace at;
    if (PlaceOnBand(q, at)) {
        PlotPiece(at, 0xFu);
    }
}

inline void GasRenderer::BinPoint(const Vecd& q) {
    SplatPlace at;
    if (PlaceOnBand(q, at) && bins_.Add(at)) {
        FlushBins();
    }
}

// The texels of `mask` (bit k for texel k) of the soft-depth splat `s`.
inline void LiquidRenderer::SplatTexels(const Splat& s, float z, unsigned mask) {
    const double sharpness = SoftDepthSharpness();
    float* density = DensityBuffer().data();
    float* depth = depthBuffer_.data();
    for (int k = 0; k < 4; ++k) {
        if (mask & (1u << k)) {
            density[s.texel[k]] += SoftDepthWeight(depth[s.texel[k]], z, s.weight[k], sharpness);
        }
    }
}

inline void LiquidRenderer::PlotPoint(const Vecd& q) {
    Splat s;
    if (!SplatOnBand(q, s)) {
        return;
    }
    SplatTexels(s, static_cast<float>(q.z), 0xFu);
}

inline void LiquidRenderer::BinPoint(const Vecd& q) {
    DepthPlace point;
    if (PlaceOnBand(q, point.at)) {
        point.z = static_cast<float>(q.z);
        if (bins_.Add(point)) {
            FlushBins();
        }
    }
}

} // namespace vorticel
