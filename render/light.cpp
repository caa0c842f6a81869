// Speed-coloured additive points and their tone mapping.
#include "render/light.h"

#include "render/accumulate.h"
#include "render/merge.h"
#include "render/splat.h"

#include <algorithm>
#include <cmath>

namespace vorticel {
namespace {

double Distance(const Vecd& a, const Vecd& b) {
    const Vecd d = a - b;
    return std::sqrt(Dot(d, d));
}

} // namespace

TBitmap3D_Light::TBitmap3D_Light(PreviewSurface* surface) : TBitmap3D(surface) {
    SetDefaults();
}

TBitmap3D_Light::TBitmap3D_Light(const TBitmap3D& source) : TBitmap3D(source.Surface(), source) {
    if (const auto* light = dynamic_cast<const TBitmap3D_Light*>(&source)) {
        kind = kLight;
        minStep = light->minStep;
        maxStep = light->maxStep;
        stepRange = light->stepRange;
        brightness = light->brightness;
        gamma = light->gamma;
    } else {
        SetDefaults();
        MeasureStepsFromRing();
    }
}

void TBitmap3D_Light::MeasureStepsFromRing() {
    minStep = kNoMinStep;
    maxStep = kNoMaxStep;
    for (std::size_t i = 1; i < pointRing.size(); ++i) {
        const double d = Distance(pointRing[i], pointRing[i - 1]);
        if (!(d >= minStep)) {
            minStep = d;
        }
        if (d > maxStep) {
            maxStep = d;
        }
    }
    stepRange = maxStep - minStep;
}

void TBitmap3D_Light::SetDefaults() {
    kind = kLight;
    gamma = 2.0f;
    brightness = 4.0f;
    SetBackgroundColour({0.0f, 0.0f, 0.0f});
    SetPointColour({1.0f, 1.0f, 1.0f});
    ForgetPoints();
    minStep = kNoMinStep;
    maxStep = kNoMaxStep;
    stepRange = 0.0;
}

void TBitmap3D_Light::ForgetPoints() {
    earlierPoint = Vecd{};
    previousPoint = Vecd{};
}

void TBitmap3D_Light::ResizeBuffers() {
    TBitmap3D::ResizeBuffers();
    colourBuffer.assign(static_cast<std::size_t>(pixelCount), ColourRGB{});
}

ColourRGB TBitmap3D_Light::StartColour() const {
    return {255.0f * backgroundColour.r, 255.0f * backgroundColour.g, 255.0f * backgroundColour.b};
}

void TBitmap3D_Light::ClearImage() {
    TBitmap3D::ClearImage();
    ForgetPoints();
    // An orbit that was never framed (no automatic adjust) has no step range yet: without
    // one every point would keep the black start colour.
    if (!(stepRange > 0.0)) {
        MeasureStepsFromRing();
        if (!(maxStep > kNoMaxStep)) {
            stepRange = 0.0; // a ring that holds no step (nothing stored yet)
        }
    }
    maxChannel = 0.0f;
    std::fill(colourBuffer.begin(), colourBuffer.end(), StartColour());
}

void TBitmap3D_Light::ComputeMaxima() {
    float m = 0.0f;
    for (const ColourRGB& c : colourBuffer) {
        m = std::max({m, c.r, c.g, c.b});
    }
    maxChannel = m;
}

void TBitmap3D_Light::ResetView() {
    TBitmap3D::ResetView();
    ForgetPoints();
    minStep = kNoMinStep;
    maxStep = kNoMaxStep;
    stepRange = 0.0;
}

void TBitmap3D_Light::TrackPoint(const Vecd& p) {
    TBitmap3D::TrackPoint(p);
    if (!IsZero(previousPoint)) {
        const double d = Distance(p, previousPoint);
        if (!(d >= minStep)) {
            minStep = d;
        }
        if (d > maxStep) {
            maxStep = d;
        }
    }
    previousPoint = p;
}

void TBitmap3D_Light::FitView(bool recomputeZoom) {
    previousPoint = Vecd{}; // so the centre is projected at its own position
    TBitmap3D::FitView(recomputeZoom);
    stepRange = maxStep - minStep;
}

bool TBitmap3D_Light::BeginShade() {
    ComputeMaxima();
    return maxChannel > 0.0f;
}

void TBitmap3D_Light::ShadeRows(std::int32_t firstRow, std::int32_t endRow) {
    const double e = 1.0 / gamma;
    const auto m = static_cast<float>(brightness * 255.0);
    const auto toByte = [&](float value) -> std::uint8_t {
        if (!(value > 0.0f)) {
            return 0;
        }
        double v = static_cast<double>(value) / maxChannel;
        if (e > 0.0) {
            v = std::pow(v, e);
        }
        v *= m;
        return static_cast<std::uint8_t>(v < 0.0 ? 0.0 : (v > 255.0 ? 255.0 : v));
    };
    const auto w = static_cast<std::size_t>(imageWidth);
    const std::size_t first = static_cast<std::size_t>(firstRow) * w;
    for (std::size_t i = static_cast<std::size_t>(endRow) * w; i-- > first;) {
        const ColourRGB& c = colourBuffer[i];
        std::uint8_t* px = &imageBuffer[3 * i];
        px[0] = toByte(c.b);
        px[1] = toByte(c.g);
        px[2] = toByte(c.r);
    }
}

void TBitmap3D_Light::Accumulate(Attractor& attractor, std::int32_t endCount) {
    AccumulateWith(*this, attractor, endCount);
}

std::unique_ptr<TBitmap3D> TBitmap3D_Light::CopyForWorker() const {
    std::unique_ptr<TBitmap3D_Light> copy(new TBitmap3D_Light(*this));
    copy->DropImage();
    return copy;
}

void TBitmap3D_Light::MergeWorkers(const std::vector<TBitmap3D*>& workers, MergePart part) {
    const ColourRGB start = StartColour();
    MergeEach(colourBuffer, workers, Member(&TBitmap3D_Light::colourBuffer), part,
              [start](ColourRGB& o, const ColourRGB& v) {
                  o.r += v.r - start.r;
                  o.g += v.g - start.g;
                  o.b += v.b - start.b;
              });
}

std::int64_t TBitmap3D_Light::AccumulationBytes() const {
    return BufferBytes(colourBuffer);
}

TBitmap3D_Plasma::TBitmap3D_Plasma(PreviewSurface* surface) : TBitmap3D_Light(surface) {
    kind = kPlasma;
}

TBitmap3D_Plasma::TBitmap3D_Plasma(const TBitmap3D& source) : TBitmap3D_Light(source) {
    kind = kPlasma;
}

void TBitmap3D_Plasma::ResizeBuffers() {
    TBitmap3D_Light::ResizeBuffers();
    depthBuffer.assign(static_cast<std::size_t>(pixelCount), 1.0f);
}

void TBitmap3D_Plasma::ClearImage() {
    TBitmap3D_Light::ClearImage();
    std::fill(depthBuffer.begin(), depthBuffer.end(), 1.0f);
}

void TBitmap3D_Plasma::Accumulate(Attractor& attractor, std::int32_t endCount) {
    AccumulateWith(*this, attractor, endCount);
}

std::unique_ptr<TBitmap3D> TBitmap3D_Plasma::CopyForWorker() const {
    std::unique_ptr<TBitmap3D_Plasma> copy(new TBitmap3D_Plasma(*this));
    copy->DropImage();
    return copy;
}

void TBitmap3D_Plasma::MergeWorkers(const std::vector<TBitmap3D*>& workers, MergePart part) {
    TBitmap3D_Light::MergeWorkers(workers, part);
    MergeNearest(depthBuffer, workers, &TBitmap3D_Plasma::depthBuffer, part);
}

std::int64_t TBitmap3D_Plasma::AccumulationBytes() const {
    return TBitmap3D_Light::AccumulationBytes() + BufferBytes(depthBuffer);
}

} // namespace vorticel
