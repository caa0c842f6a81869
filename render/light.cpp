// Speed-coloured additive points and their tone mapping.
#include "render/light.h"

#include "render/accumulate.h"
#include "render/merge.h"
#include "render/splat.h"
#include "render/tone_table.h"

#include <algorithm>
#include <cmath>

namespace vorticel {
namespace {

double Distance(const Vecd& a, const Vecd& b) {
    const Vecd d = a - b;
    return std::sqrt(Dot(d, d));
}

} // namespace

LightRenderer::LightRenderer(PreviewSurface* surface) : Renderer(surface) {
    SetDefaults();
}

LightRenderer::LightRenderer(const Renderer& source) : Renderer(source.Surface(), source) {
    if (const auto* light = dynamic_cast<const LightRenderer*>(&source)) {
        SetKind(kLight);
        minStep_ = light->minStep_;
        maxStep_ = light->maxStep_;
        stepRange_ = light->stepRange_;
        brightness_ = light->brightness_;
        gamma_ = light->gamma_;
    } else {
        SetDefaults();
        MeasureStepsFromRing();
    }
}

void LightRenderer::MeasureStepsFromRing() {
    minStep_ = kNoMinStep;
    maxStep_ = kNoMaxStep;
    for (std::size_t i = 1; i < Ring().Points().size(); ++i) {
        const double d = Distance(Ring().Points()[i], Ring().Points()[i - 1]);
        if (!(d >= minStep_)) {
            minStep_ = d;
        }
        if (d > maxStep_) {
            maxStep_ = d;
        }
    }
    stepRange_ = maxStep_ - minStep_;
}

void LightRenderer::SetSteps(const StepStatistics& steps) {
    minStep_ = steps.minStep;
    maxStep_ = steps.maxStep;
    stepRange_ = steps.stepRange;
}

void LightRenderer::SetDefaults() {
    SetKind(kLight);
    gamma_ = 2.0f;
    brightness_ = 4.0f;
    SetBackgroundColour({0.0f, 0.0f, 0.0f});
    SetPointColour({1.0f, 1.0f, 1.0f});
    ForgetPoints();
    minStep_ = kNoMinStep;
    maxStep_ = kNoMaxStep;
    stepRange_ = 0.0;
}

void LightRenderer::ForgetPoints() {
    earlierPoint_ = Vecd{};
    previousPoint_ = Vecd{};
}

void LightRenderer::ResizeBuffers() {
    Renderer::ResizeBuffers();
    colourBuffer_.assign(static_cast<std::size_t>(PixelCount()), ColourRGB{});
}

ColourRGB LightRenderer::StartColour() const {
    const ColourRGB& background = BackgroundColour();
    return {255.0f * background.r, 255.0f * background.g, 255.0f * background.b};
}

void LightRenderer::ClearImage() {
    Renderer::ClearImage();
    ForgetPoints();
    // An orbit that was never framed (no automatic adjust) has no step range yet: without
    // one every point would keep the black start colour.
    if (!(stepRange_ > 0.0)) {
        MeasureStepsFromRing();
        if (!(maxStep_ > kNoMaxStep)) {
            stepRange_ = 0.0; // a ring that holds no step (nothing stored yet)
        }
    }
    maxChannel_ = 0.0f;
    std::fill(colourBuffer_.begin(), colourBuffer_.end(), StartColour());
}

void LightRenderer::ComputeMaxima() {
    float m = 0.0f;
    for (const ColourRGB& c : colourBuffer_) {
        m = std::max({m, c.r, c.g, c.b});
    }
    maxChannel_ = m;
}

void LightRenderer::ResetView() {
    Renderer::ResetView();
    ForgetPoints();
    minStep_ = kNoMinStep;
    maxStep_ = kNoMaxStep;
    stepRange_ = 0.0;
}

void LightRenderer::TrackPoint(const Vecd& p) {
    Renderer::TrackPoint(p);
    if (!IsZero(previousPoint_)) {
        const double d = Distance(p, previousPoint_);
        if (!(d >= minStep_)) {
            minStep_ = d;
        }
        if (d > maxStep_) {
            maxStep_ = d;
        }
    }
    previousPoint_ = p;
}

void LightRenderer::FitView(bool recomputeZoom) {
    previousPoint_ = Vecd{}; // so the centre is projected at its own position
    Renderer::FitView(recomputeZoom);
    stepRange_ = maxStep_ - minStep_;
}

bool LightRenderer::BeginShade() {
    if (ImposedStatistics()) {
        maxChannel_ = static_cast<float>(ImposedStatistics()->values[0]);
    } else {
        ComputeMaxima();
    }
    return maxChannel_ > 0.0f;
}

ShadeStatistics LightRenderer::RowStatistics(std::int32_t firstRow, std::int32_t endRow) const {
    const auto w = static_cast<std::size_t>(Width());
    float m = 0.0f;
    for (std::size_t i = static_cast<std::size_t>(firstRow) * w;
         i < static_cast<std::size_t>(endRow) * w; ++i) {
        const ColourRGB& c = colourBuffer_[i];
        m = std::max({m, c.r, c.g, c.b});
    }
    ShadeStatistics s;
    s.values[0] = m;
    return s;
}

void LightRenderer::ShadeRows16(std::int32_t firstRow, std::int32_t endRow,
                                std::uint16_t* rgbOut) const {
    const double e = 1.0 / gamma_;
    const auto m = static_cast<float>(brightness_ * 255.0);
    const auto toSample = [&](float value) -> std::uint16_t {
        if (!(value > 0.0f)) {
            return 0;
        }
        double v = static_cast<double>(value) / maxChannel_;
        if (e > 0.0) {
            v = std::pow(v, e);
        }
        return Channel16(v * m / 255.0);
    };
    const auto w = static_cast<std::size_t>(Width());
    const std::size_t first = static_cast<std::size_t>(firstRow) * w;
    const std::size_t end = static_cast<std::size_t>(endRow) * w;
    for (std::size_t i = first; i < end; ++i) {
        const ColourRGB& c = colourBuffer_[i];
        std::uint16_t* px = rgbOut + 3 * (i - first);
        px[0] = toSample(c.r);
        px[1] = toSample(c.g);
        px[2] = toSample(c.b);
    }
}

void LightRenderer::ShadeRowsTo(std::int32_t firstRow, std::int32_t endRow,
                                std::uint8_t* bgrOut) const {
    const double e = 1.0 / gamma_;
    const auto m = static_cast<float>(brightness_ * 255.0);
    const float maxChannel = maxChannel_;
    // The curve of a positive channel value.
    const auto byteOf = [e, m, maxChannel](float value) {
        double v = static_cast<double>(value) / maxChannel;
        if (e > 0.0) {
            v = std::pow(v, e);
        }
        v *= m;
        return static_cast<std::uint8_t>(v < 0.0 ? 0.0 : (v > 255.0 ? 255.0 : v));
    };
    const auto w = static_cast<std::size_t>(Width());
    const std::size_t first = static_cast<std::size_t>(firstRow) * w;
    const std::size_t end = static_cast<std::size_t>(endRow) * w;
    const auto shade = [&](const auto& toByte) {
        for (std::size_t i = first; i < end; ++i) {
            const ColourRGB& c = colourBuffer_[i];
            std::uint8_t* px = bgrOut + 3 * (i - first);
            px[0] = toByte(c.b);
            px[1] = toByte(c.g);
            px[2] = toByte(c.r);
        }
    };
    if (static_cast<std::int64_t>(end - first) >= ToneTable::kFromPixels) {
        shade(ToneTable(byteOf)); // 0 at and below 0 itself
    } else {
        shade([&byteOf](float value) -> std::uint8_t { return value > 0.0f ? byteOf(value) : 0; });
    }
}

void LightRenderer::Accumulate(Attractor& attractor, std::int32_t endCount) {
    AccumulateInTiles(*this, attractor, endCount);
}

void LightRenderer::FlushBins() {
    auto [plot, touch] = PieceHandlers();
    bins_.Flush(plot, touch);
}

std::unique_ptr<Renderer> LightRenderer::CopyForWorker() const {
    std::unique_ptr<LightRenderer> copy(new LightRenderer(*this));
    copy->DropImage();
    return copy;
}

void LightRenderer::MergeWorkers(const std::vector<Renderer*>& workers, MergePart part) {
    const ColourRGB start = StartColour();
    MergeEach(colourBuffer_, workers, Member(&LightRenderer::colourBuffer_), part,
              [start](ColourRGB& o, const ColourRGB& v) {
                  o.r += v.r - start.r;
                  o.g += v.g - start.g;
                  o.b += v.b - start.b;
              });
}

std::int64_t LightRenderer::AccumulationBytes() const {
    return BufferBytes(colourBuffer_);
}

PlasmaRenderer::PlasmaRenderer(PreviewSurface* surface) : LightRenderer(surface) {
    SetKind(kPlasma);
}

PlasmaRenderer::PlasmaRenderer(const Renderer& source) : LightRenderer(source) {
    SetKind(kPlasma);
}

void PlasmaRenderer::ResizeBuffers() {
    LightRenderer::ResizeBuffers();
    depthBuffer_ = LargeBuffer<float>(static_cast<std::size_t>(PixelCount())); // the far plane
}

void PlasmaRenderer::ClearImage() {
    LightRenderer::ClearImage();
    ZeroBuffer(depthBuffer_); // the far plane
}

void PlasmaRenderer::Accumulate(Attractor& attractor, std::int32_t endCount) {
    AccumulateInTiles(*this, attractor, endCount);
}

void PlasmaRenderer::FlushBins() {
    auto [plot, touch] = PieceHandlers();
    bins_.Flush(plot, touch);
}

std::unique_ptr<Renderer> PlasmaRenderer::CopyForWorker() const {
    std::unique_ptr<PlasmaRenderer> copy(new PlasmaRenderer(*this));
    copy->DropImage();
    return copy;
}

void PlasmaRenderer::MergeWorkers(const std::vector<Renderer*>& workers, MergePart part) {
    LightRenderer::MergeWorkers(workers, part);
    MergeNearest(depthBuffer_, workers, &PlasmaRenderer::depthBuffer_, part);
}

std::int64_t PlasmaRenderer::AccumulationBytes() const {
    return LightRenderer::AccumulationBytes() + BufferBytes(depthBuffer_);
}

} // namespace vorticel
