// Light: additive coloured light, hue from the orbit's speed; Plasma: with a soft depth test.
#pragma once

#include "render/large_pages.h"
#include "render/renderer.h"
#include "render/shading_settings.h"
#include "render/splat.h"

#include <cmath>
#include <utility>

namespace vorticel {

// The colour wheel ramp: 0..1..1..0 over 0..1..3..4..6, periodic in 6.
inline double HueRamp(double g) {
    double l = g;
    if (!(g >= 0.0 && g < 6.0)) { // the usual case is already on the wheel
        if (!std::isfinite(g)) {
            return 0.0;
        }
        // Wrap into 0..6 with integer division truncating toward zero; done in doubles so
        // a huge value cannot overflow an integer.
        const double whole = std::trunc(g);
        l = g >= 0.0 ? g - 6.0 * std::trunc(whole / 6.0)
                     : g + 6.0 * (std::trunc(whole / -6.0) + 1.0);
    }
    if (l < 1.0) {
        return l;
    }
    if (l < 3.0) {
        return 1.0;
    }
    if (l < 4.0) {
        return 4.0 - l;
    }
    return 0.0;
}

// A held-back point of the light renderers: where it falls, its colour and (Plasma) depth.
struct ColourPlace {
    SplatPlace at;
    float z;
    ColourRGB colour;
};

// The range of the orbit's step lengths the colours are measured against.
struct StepStatistics {
    double minStep = 0.0;
    double maxStep = 0.0;
    double stepRange = 0.0; // 0: no hue to place
};

class LightRenderer : public Renderer {
public:
    explicit LightRenderer(PreviewSurface* surface);
    // Keeps the step statistics and shading of a light or plasma source; otherwise measures
    // the steps of the source's preview ring.
    explicit LightRenderer(const Renderer& source);

    void SetDefaults() override;
    void PlotPoint(const Vecd& q) override;
    void ClearImage() override;
    bool BeginShade() override;
    void ShadeRowsTo(std::int32_t firstRow, std::int32_t endRow,
                     std::uint8_t* bgrOut) const override;
    void ShadeRows16(std::int32_t firstRow, std::int32_t endRow,
                     std::uint16_t* rgbOut) const override;
    // values[0]: the brightest channel.
    ShadeStatistics RowStatistics(std::int32_t firstRow, std::int32_t endRow) const override;
    void ResetView() override;
    void TrackPoint(const Vecd& p) override;
    void FitView(bool recomputeZoom) override;
    // Projects the previous point (one iteration behind) and colours it from the steps
    // into and out of it.
    Vecd ProjectPoint(const Vecd& p) override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;
    std::unique_ptr<Renderer> CopyForWorker() const override;
    // Colours add up; each worker's buffer started from the background, counted once.
    void MergeWorkers(const std::vector<Renderer*>& workers, MergePart part) override;
    std::int64_t AccumulationBytes() const override;
    // The step statistics from the preview ring (when no framing pass measured them).
    void MeasureStepsFromRing();

    // The render loop's tile bins (render/accumulate.h).
    static constexpr std::int64_t kPixelBytes = sizeof(ColourRGB);
    std::int64_t BinBytes() const override {
        return BinsTiles(kPixelBytes) ? decltype(bins_)::kHeldBytes : 0;
    }
    void PrepareBins() { bins_.Prepare(Width(), BandRows()); }
    void BinPoint(const Vecd& q);
    // Once per bin load, out of the flattened render loop.
    [[gnu::noinline]] void FlushBins();

    // Summed colours, r g b per pixel of the band.
    const LargeBuffer<ColourRGB>& Colours() const { return colourBuffer_; }
    float MaxChannel() const { return maxChannel_; }
    StepStatistics Steps() const { return {minStep_, maxStep_, stepRange_}; }
    void SetSteps(const StepStatistics& steps);
    // The colour ProjectPoint gave the point about to be plotted.
    const ColourRGB& PlotColour() const { return pointColourNow_; }
    void SetPlotColour(const ColourRGB& colour) { pointColourNow_ = colour; }
    float Brightness() const { return brightness_; }
    float Gamma() const { return gamma_; }
    void SetBrightness(float brightness) { brightness_ = brightness; }
    void SetGamma(float gamma) { gamma_ = gamma; }

protected:
    LightRenderer(const LightRenderer&) = default;
    void ResizeBuffers() override;
    void ComputeMaxima() override;

    static constexpr double kNoMinStep = 1.7976931348623157e308;
    static constexpr double kNoMaxStep = 2.2250738585072014e-308;

    void ForgetPoints();
    LargeBuffer<ColourRGB>& ColourBuffer() { return colourBuffer_; }
    // What ClearImage puts in every pixel of the colour buffer: 255 x the background.
    ColourRGB StartColour() const;
    void AddColour(std::size_t texel, float weight) { AddColour(texel, weight, pointColourNow_); }
    void AddColour(std::size_t texel, float weight, const ColourRGB& colour) {
        ColourRGB& c = colourBuffer_[texel];
        c.r += colour.r * weight;
        c.g += colour.g * weight;
        c.b += colour.b * weight;
    }
    // The point as BinPoint holds it back (false: it falls outside the band).
    bool PlaceColour(const Vecd& q, ColourPlace& point) const {
        point.z = static_cast<float>(q.z);
        point.colour = pointColourNow_;
        return PlaceOnBand(q, point.at);
    }

private:
    auto PieceHandlers() {
        return std::make_pair(
            [this](const ColourPlace& point, unsigned mask) {
                const Splat s = SplatOf(point.at, Width());
                for (int k = 0; k < 4; ++k) {
                    if (mask & (1u << k)) {
                        AddColour(s.texel[k], s.weight[k], point.colour);
                    }
                }
            },
            [this](const ColourPlace& point) {
                FetchSplatRows(point.at, Width(), colourBuffer_.data());
            });
    }
    friend std::vector<ShadingSetting> ShadingSettings(Renderer& renderer);

    LargeBuffer<ColourRGB> colourBuffer_;
    TileBins<ColourPlace> bins_;
    Vecd earlierPoint_;
    Vecd previousPoint_; // (0, 0, 0): none yet
    double minStep_ = kNoMinStep;
    double maxStep_ = kNoMaxStep;
    double stepRange_ = 0.0;
    float brightness_ = 4.0f; // "Luminosité", 1..10
    float gamma_ = 2.0f;      // "Gamma", 1..5
    float maxChannel_ = 0.0f;
    ColourRGB pointColourNow_;
};

class PlasmaRenderer : public LightRenderer {
public:
    explicit PlasmaRenderer(PreviewSurface* surface);
    explicit PlasmaRenderer(const Renderer& source);

    void PlotPoint(const Vecd& q) override;
    void ClearImage() override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;
    std::unique_ptr<Renderer> CopyForWorker() const override;
    // Colours as for the light; the depth is the nearest of the workers' soft depths, shared
    // again.
    void MergeWorkers(const std::vector<Renderer*>& workers, MergePart part) override;
    bool KeepsSoftDepths() const override { return true; }
    std::int64_t AccumulationBytes() const override;

    static constexpr std::int64_t kPixelBytes = sizeof(ColourRGB) + sizeof(float);
    std::int64_t BinBytes() const override {
        return BinsTiles(kPixelBytes) ? decltype(bins_)::kHeldBytes : 0;
    }
    void PrepareBins() { bins_.Prepare(Width(), BandRows()); }
    void BinPoint(const Vecd& q);
    [[gnu::noinline]] void FlushBins();

    // Soft nearest depth per pixel of the band, 0 near .. 1 far, as StoredDepth holds it.
    const LargeBuffer<float>& Depth() const { return depthBuffer_; }

protected:
    PlasmaRenderer(const PlasmaRenderer&) = default;
    void ResizeBuffers() override;

private:
    auto PieceHandlers() {
        return std::make_pair(
            [this](const ColourPlace& point, unsigned mask) {
                SplatTexels(SplatOf(point.at, Width()), point.z, point.colour, mask);
            },
            [this](const ColourPlace& point) {
                FetchSplatRows(point.at, Width(), Colours().data());
                FetchSplatRows(point.at, Width(), depthBuffer_.data());
            });
    }
    // The texels of `mask` (bit k for texel k) of the soft-depth splat `s`.
    void SplatTexels(const Splat& s, float z, const ColourRGB& colour, unsigned mask);

    LargeBuffer<float> depthBuffer_;
    TileBins<ColourPlace> bins_;
};

// The per-point operations are defined here so the render loop can inline them.

inline Vecd LightRenderer::ProjectPoint(const Vecd& p) {
    Vecd out;
    if (!IsZero(previousPoint_)) {
        out = ProjectBase(previousPoint_);
        // With no step range (a ring of one repeated point) there is no hue to place: keep
        // the colour.
        if (stepRange_ > 0.0) {
            const Vecd a = p - previousPoint_;
            const Vecd b = earlierPoint_ - previousPoint_;
            const double a2 = Dot(a, a);
            const double b2 = Dot(b, b);
            const auto t = static_cast<float>((std::sqrt(a2) - minStep_) / stepRange_);
            const double f = 6.0 * t;
            const ColourRGB hue{static_cast<float>(HueRamp(f - 4.0)),
                                static_cast<float>(HueRamp(f)),
                                static_cast<float>(HueRamp(f - 2.0))};
            // |a x b| of the normalised steps, with one square root: the cross product of the
            // raw steps scaled by 1 / (|a| |b|) (a zero step counts as unnormalised).
            const Vecd cross{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
            const double scale = (a2 > 0.0 ? a2 : 1.0) * (b2 > 0.0 ? b2 : 1.0);
            const double m = std::sqrt(Dot(cross, cross) / scale);
            double w = 1.0 - (0.5 * m + 0.5);
            w = w < 0.0 ? 0.0 : (w > 1.0 ? 1.0 : w);
            const auto keep = static_cast<float>(1.0 - w);
            const auto white = static_cast<float>(w);
            pointColourNow_ = {hue.r * keep + white, hue.g * keep + white, hue.b * keep + white};
        }
    } else {
        out = ProjectBase(p);
    }
    earlierPoint_ = previousPoint_;
    previousPoint_ = p;
    return out;
}

inline void LightRenderer::PlotPoint(const Vecd& q) {
    Splat s;
    if (!SplatOnBand(q, s)) {
        return;
    }
    for (int k = 0; k < 4; ++k) {
        AddColour(s.texel[k], s.weight[k]);
    }
}

inline void LightRenderer::BinPoint(const Vecd& q) {
    ColourPlace point;
    if (PlaceColour(q, point) && bins_.Add(point)) {
        FlushBins();
    }
}

inline void PlasmaRenderer::SplatTexels(const Splat& s, float z, const ColourRGB& colour,
                                        unsigned mask) {
    const double sharpness = SoftDepthSharpness();
    float* depth = depthBuffer_.data();
    for (int k = 0; k < 4; ++k) {
        if (mask & (1u << k)) {
            const float w = SoftDepthWeight(depth[s.texel[k]], z, s.weight[k], sharpness);
            if (w != 0.0f) {
                AddColour(s.texel[k], w, colour);
            }
        }
    }
}

inline void PlasmaRenderer::PlotPoint(const Vecd& q) {
    Splat s;
    if (!SplatOnBand(q, s)) {
        return;
    }
    SplatTexels(s, static_cast<float>(q.z), PlotColour(), 0xFu);
}

inline void PlasmaRenderer::BinPoint(const Vecd& q) {
    ColourPlace point;
    if (PlaceColour(q, point) && bins_.Add(point)) {
        FlushBins();
    }
}

} // namespace vorticel
