// Solid: an opaque surface rebuilt from density and soft depth, lit by two shadowed lights.
#pragma once

#include "render/bitmap3d.h"
#include "render/shadow_light.h"

namespace vorticel {

class TBitmap3D_Solid : public TBitmap3D {
public:
    explicit TBitmap3D_Solid(PreviewSurface* surface);
    // Always starts from the Solid defaults; only the camera, ring and size come across.
    explicit TBitmap3D_Solid(const TBitmap3D& source);

    void SetDefaults() override;
    void UpdateModelView() override;
    void ComputeMaxima() override;
    void ResizeBuffers() override;
    void PlotPoint(const Vecd& q) override;
    void ClearImage() override;
    bool BeginShade() override;
    void ShadeRows(std::int32_t firstRow, std::int32_t endRow) override;
    void ResetView() override;
    void TrackPoint(const Vecd& p) override;
    void FitView(bool recomputeZoom) override;
    // The base projection, and the world point splatted into every light's maps.
    Vecd ProjectPoint(const Vecd& p) override;
    void Accumulate(Attractor& attractor, std::int32_t endCount) override;
    std::unique_ptr<TBitmap3D> CopyForWorker() const override;
    // Densities add up and the depth is the nearest of the workers' (shared again), in the
    // image and in each light's map alike.
    void MergeWorkers(const std::vector<TBitmap3D*>& workers, MergePart part) override;
    bool KeepsSoftDepths() const override { return true; }
    std::int64_t AccumulationBytes() const override;

    std::vector<float> densityBuffer;
    std::vector<float> depthBuffer; // soft nearest depth, 0 near .. 1 far
    float maxDensity = 0.0f;
    float opacity = 8.0f;     // "Opacité", 1..10
    float gamma = 1.0f;       // "Gamma", 1..5
    float roughness = 0.008f; // "Rugosité", 0.001..0.3; specular exponent 1 / roughness
    ColourRGB ambientColour{0.08f, 0.08f, 0.08f};
    ColourRGB diffuseColour{0.8f, 0.8f, 0.8f};
    ColourRGB specularColour{0.5f, 0.5f, 0.5f};
    LightArray lights;

protected:
    TBitmap3D_Solid(const TBitmap3D_Solid&) = default;

private:
    // How much of `light` reaches the world point `w` (1 = unshadowed).
    static double ShadowFactor(const Light& light, const Vecd& world);
};

// The per-point operations are defined here so the render loop can inline them.

inline Vecd TBitmap3D_Solid::ProjectPoint(const Vecd& p) {
    for (Light& light : lights) {
        light.SplatWorldPoint(p);
    }
    return ProjectBase(p);
}

inline void TBitmap3D_Solid::PlotPoint(const Vecd& q) {
    Splat s;
    if (!SplatAt(q.x, q.y, imageWidth, imageHeight, plotX, plotY, s)) {
        return;
    }
    SplatDensityAndDepth(s, static_cast<float>(q.z), densityBuffer.data(), depthBuffer.data());
}

} // namespace vorticel
