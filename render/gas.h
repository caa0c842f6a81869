// Gas: a grey density picture; Liquid: the same with a soft depth test.
#pragma once

#include "render/bitmap3d.h"
#include "render/splat.h"

namespace vorticel {

class TBitmap3D_Gas : public TBitmap3D {
public:
    explicit TBitmap3D_Gas(PreviewSurface* surface);
    // Keeps "Luminosité" and "Gamma" of a gas or liquid source.
    explicit TBitmap3D_Gas(const TBitmap3D& source);

    void SetDefaults() override;
    void ComputeMaxima() override;
    void ResizeBuffers() override;
    void PlotPoint(const Vecd& q) override;
    void ClearImage() override;
    bool BeginShade() override;
    void ShadeRows(std::int32_t firstRow, std::int32_t endRow) override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;
    std::unique_ptr<TBitmap3D> CopyForWorker() const override;
    // Densities add up.
    void MergeWorkers(const std::vector<TBitmap3D*>& workers, MergePart part) override;
    std::int64_t AccumulationBytes() const override;

    std::vector<float> densityBuffer;
    float maxDensity = 0.0f;
    float brightness = 2.0f; // "Luminosité", 1..10
    float gamma = 2.5f;      // "Gamma", 1..5

protected:
    TBitmap3D_Gas(const TBitmap3D_Gas&) = default;
};

class TBitmap3D_Liquid : public TBitmap3D_Gas {
public:
    explicit TBitmap3D_Liquid(PreviewSurface* surface);
    explicit TBitmap3D_Liquid(const TBitmap3D& source);

    void ResizeBuffers() override;
    void PlotPoint(const Vecd& q) override;
    void ClearImage() override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;
    std::unique_ptr<TBitmap3D> CopyForWorker() const override;
    // Densities add up; the depth is the nearest of the workers' soft depths, shared again.
    void MergeWorkers(const std::vector<TBitmap3D*>& workers, MergePart part) override;
    bool KeepsSoftDepths() const override { return true; }
    std::int64_t AccumulationBytes() const override;

    std::vector<float> depthBuffer; // soft nearest depth, 0 near .. 1 far

protected:
    TBitmap3D_Liquid(const TBitmap3D_Liquid&) = default;
};

// The per-point operations are defined here so the render loop can inline them.

inline void TBitmap3D_Gas::PlotPoint(const Vecd& q) {
    Splat s;
    if (!SplatAt(q.x, q.y, imageWidth, imageHeight, plotX, plotY, s)) {
        return;
    }
    float* density = densityBuffer.data();
    for (int k = 0; k < 4; ++k) {
        density[s.texel[k]] += s.weight[k];
    }
}

inline void TBitmap3D_Liquid::PlotPoint(const Vecd& q) {
    Splat s;
    if (!SplatAt(q.x, q.y, imageWidth, imageHeight, plotX, plotY, s)) {
        return;
    }
    const auto z = static_cast<float>(q.z);
    const double sharpness = depthRange * zoom * 10.0;
    float* density = densityBuffer.data();
    float* depth = depthBuffer.data();
    for (int k = 0; k < 4; ++k) {
        density[s.texel[k]] += SoftDepthWeight(depth[s.texel[k]], z, s.weight[k], sharpness);
    }
}

} // namespace vorticel
