// Gas: a grey density picture; Liquid: the same with a soft depth test.
#pragma once

#include "render/bitmap3d.h"

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
    void FinishImage() override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;

    std::vector<float> densityBuffer;
    float maxDensity = 0.0f;
    float brightness = 2.0f; // "Luminosité", 1..10
    float gamma = 2.5f;      // "Gamma", 1..5
};

class TBitmap3D_Liquid : public TBitmap3D_Gas {
public:
    explicit TBitmap3D_Liquid(PreviewSurface* surface);
    explicit TBitmap3D_Liquid(const TBitmap3D& source);

    void ResizeBuffers() override;
    void PlotPoint(const Vecd& q) override;
    void ClearImage() override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;

    std::vector<float> depthBuffer; // soft nearest depth, 0 near .. 1 far
};

} // namespace vorticel
