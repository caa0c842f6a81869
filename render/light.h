// Light: additive coloured light, hue from the orbit's speed; Plasma: with a soft depth test.
#pragma once

#include "render/bitmap3d.h"

namespace vorticel {

// The colour wheel ramp: 0..1..1..0 over 0..1..3..4..6, periodic in 6.
double HueRamp(double g);

class TBitmap3D_Light : public TBitmap3D {
public:
    explicit TBitmap3D_Light(PreviewSurface* surface);
    // Keeps the step statistics and shading of a light or plasma source; otherwise measures
    // the steps of the source's preview ring.
    explicit TBitmap3D_Light(const TBitmap3D& source);

    void SetDefaults() override;
    void ComputeMaxima() override;
    void ResizeBuffers() override;
    void PlotPoint(const Vecd& q) override;
    void ClearImage() override;
    void FinishImage() override;
    void ResetView() override;
    void TrackPoint(const Vecd& p) override;
    void FitView(bool recomputeZoom) override;
    // Projects the previous point (one iteration behind) and colours it from the steps
    // into and out of it.
    Vecd ProjectPoint(const Vecd& p) override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;

    std::vector<ColourRGB> colourBuffer; // summed colours, r g b per pixel
    Vecd earlierPoint;
    Vecd previousPoint; // (0, 0, 0): none yet
    double minStep = kNoMinStep;
    double maxStep = kNoMaxStep;
    double stepRange = 0.0;
    float brightness = 4.0f; // "Luminosité", 1..10
    float gamma = 2.0f;      // "Gamma", 1..5
    float maxChannel = 0.0f;
    ColourRGB pointColourNow;

protected:
    static constexpr double kNoMinStep = 1.7976931348623157e308;
    static constexpr double kNoMaxStep = 2.2250738585072014e-308;

    void ForgetPoints();
    void AddColour(std::size_t texel, float weight) {
        ColourRGB& c = colourBuffer[texel];
        c.r += pointColourNow.r * weight;
        c.g += pointColourNow.g * weight;
        c.b += pointColourNow.b * weight;
    }
};

class TBitmap3D_Plasma : public TBitmap3D_Light {
public:
    explicit TBitmap3D_Plasma(PreviewSurface* surface);
    explicit TBitmap3D_Plasma(const TBitmap3D& source);

    void ResizeBuffers() override;
    void PlotPoint(const Vecd& q) override;
    void ClearImage() override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;

    std::vector<float> depthBuffer; // soft nearest depth, 0 near .. 1 far
};

} // namespace vorticel
