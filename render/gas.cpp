// Density accumulation and grey tone mapping.
#include "render/gas.h"

#include "render/accumulate.h"
#include "render/merge.h"
#include "render/splat.h"

#include <algorithm>
#include <cmath>

namespace vorticel {

TBitmap3D_Gas::TBitmap3D_Gas(PreviewSurface* surface) : TBitmap3D(surface) {
    SetDefaults();
}

TBitmap3D_Gas::TBitmap3D_Gas(const TBitmap3D& source) : TBitmap3D(source.Surface(), source) {
    if (const auto* gas = dynamic_cast<const TBitmap3D_Gas*>(&source)) {
        kind = kGas;
        gamma = gas->gamma;
        brightness = gas->brightness;
    } else {
        SetDefaults();
    }
}

void TBitmap3D_Gas::SetDefaults() {
    kind = kGas;
    gamma = 2.5f;
    brightness = 2.0f;
    SetBackgroundColour({0.0f, 0.0f, 0.0f});
    SetPointColour({1.0f, 1.0f, 1.0f});
}

void TBitmap3D_Gas::ResizeBuffers() {
    TBitmap3D::ResizeBuffers();
    densityBuffer.assign(static_cast<std::size_t>(pixelCount), 0.0f);
}

void TBitmap3D_Gas::ClearImage() {
    TBitmap3D::ClearImage();
    maxDensity = 0.0f;
    std::fill(densityBuffer.begin(), densityBuffer.end(), 0.0f);
}

void TBitmap3D_Gas::ComputeMaxima() {
    maxDensity = 0.0f;
    for (const float d : densityBuffer) {
        maxDensity = d > maxDensity ? d : maxDensity;
    }
}

bool TBitmap3D_Gas::BeginShade() {
    ComputeMaxima();
    return maxDensity > 0.0f;
}

void TBitmap3D_Gas::ShadeRows(std::int32_t firstRow, std::int32_t endRow) {
    const auto scale = static_cast<float>(brightness * 255.0);
    const double exponent = 1.0 / gamma;
    const auto w = static_cast<std::size_t>(imageWidth);
    const std::size_t first = static_cast<std::size_t>(firstRow) * w;
    for (std::size_t i = static_cast<std::size_t>(endRow) * w; i-- > first;) {
        const float d = densityBuffer[i];
        std::uint8_t grey = 0;
        if (d > 0.0f) {
            // Unreached pixels skip the power: most of an image is empty.
            const double level = scale * std::pow(static_cast<double>(d) / maxDensity, exponent);
            grey = static_cast<std::uint8_t>(level < 255.0 ? level : 255.0);
        }
        imageBuffer[3 * i] = imageBuffer[3 * i + 1] = imageBuffer[3 * i + 2] = grey;
    }
}

void TBitmap3D_Gas::Accumulate(Attractor& attractor, std::int32_t endCount) {
    AccumulateWith(*this, attractor, endCount);
}

std::unique_ptr<TBitmap3D> TBitmap3D_Gas::CopyForWorker() const {
    std::unique_ptr<TBitmap3D_Gas> copy(new TBitmap3D_Gas(*this));
    copy->DropImage();
    return copy;
}

void TBitmap3D_Gas::MergeWorkers(const std::vector<TBitmap3D*>& workers, MergePart part) {
    MergeSum(densityBuffer, workers, &TBitmap3D_Gas::densityBuffer, part);
}

std::int64_t TBitmap3D_Gas::AccumulationBytes() const {
    return BufferBytes(densityBuffer);
}

TBitmap3D_Liquid::TBitmap3D_Liquid(PreviewSurface* surface) : TBitmap3D_Gas(surface) {
    kind = kLiquid;
}

TBitmap3D_Liquid::TBitmap3D_Liquid(const TBitmap3D& source) : TBitmap3D_Gas(source) {
    kind = kLiquid;
}

void TBitmap3D_Liquid::ResizeBuffers() {
    TBitmap3D_Gas::ResizeBuffers();
    depthBuffer.assign(static_cast<std::size_t>(pixelCount), 1.0f);
}

void TBitmap3D_Liquid::ClearImage() {
    TBitmap3D_Gas::ClearImage();
    std::fill(depthBuffer.begin(), depthBuffer.end(), 1.0f);
}

void TBitmap3D_Liquid::Accumulate(Attractor& attractor, std::int32_t endCount) {
    AccumulateWith(*this, attractor, endCount);
}

std::unique_ptr<TBitmap3D> TBitmap3D_Liquid::CopyForWorker() const {
    std::unique_ptr<TBitmap3D_Liquid> copy(new TBitmap3D_Liquid(*this));
    copy->DropImage();
    return copy;
}

void TBitmap3D_Liquid::MergeWorkers(const std::vector<TBitmap3D*>& workers, MergePart part) {
    TBitmap3D_Gas::MergeWorkers(workers, part);
    MergeNearest(depthBuffer, workers, &TBitmap3D_Liquid::depthBuffer, part);
}

std::int64_t TBitmap3D_Liquid::AccumulationBytes() const {
    return TBitmap3D_Gas::AccumulationBytes() + BufferBytes(depthBuffer);
}

} // namespace vorticel
