// Density accumulation and grey tone mapping.
#include "render/gas.h"

#include "render/accumulate.h"
#include "render/merge.h"
#include "render/shade_statistics.h"
#include "render/splat.h"
#include "render/tone_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vorticel {

GasRenderer::GasRenderer(PreviewSurface* surface) : Renderer(surface) {
    SetDefaults();
}

GasRenderer::GasRenderer(const Renderer& source) : Renderer(source.Surface(), source) {
    if (const auto* gas = dynamic_cast<const GasRenderer*>(&source)) {
        SetKind(kGas);
        gamma_ = gas->gamma_;
        brightness_ = gas->brightness_;
    } else {
        SetDefaults();
    }
}

void GasRenderer::SetDefaults() {
    SetKind(kGas);
    gamma_ = 2.5f;
    brightness_ = 2.0f;
    SetBackgroundColour({0.0f, 0.0f, 0.0f});
    SetPointColour({1.0f, 1.0f, 1.0f});
}

void GasRenderer::ResizeBuffers() {
    Renderer::ResizeBuffers();
    densityBuffer_ = LargeBuffer<float>(static_cast<std::size_t>(PixelCount()));
}

void GasRenderer::ClearImage() {
    Renderer::ClearImage();
    maxDensity_ = 0.0f;
    ZeroBuffer(densityBuffer_);
}

void GasRenderer::ComputeMaxima() {
    maxDensity_ = LargestAboveZero(0, densityBuffer_.size(),
                                   [this](std::size_t i) { return densityBuffer_[i]; });
}

bool GasRenderer::BeginShade() {
    if (ImposedStatistics()) {
        maxDensity_ = static_cast<float>(ImposedStatistics()->values[0]);
    } else {
        ComputeMaxima();
    }
    return maxDensity_ > 0.0f;
}

ShadeStatistics GasRenderer::RowStatistics(std::int32_t firstRow, std::int32_t endRow) const {
    const auto w = static_cast<std::size_t>(Width());
    ShadeStatistics s;
    s.values[0] = LargestAboveZero(static_cast<std::size_t>(firstRow) * w,
                                   static_cast<std::size_t>(endRow) * w,
                                   [this](std::size_t i) { return densityBuffer_[i]; });
    return s;
}

void GasRenderer::ShadeRows16(std::int32_t firstRow, std::int32_t endRow,
                              std::uint16_t* rgbOut) const {
    const auto scale = static_cast<float>(brightness_ * 255.0);
    const double exponent = 1.0 / gamma_;
    const auto w = static_cast<std::size_t>(Width());
    const std::size_t first = static_cast<std::size_t>(firstRow) * w;
    const std::size_t end = static_cast<std::size_t>(endRow) * w;
    for (std::size_t i = first; i < end; ++i) {
        const float d = densityBuffer_[i];
        double level = 0.0;
        if (d > 0.0f) {
            level = scale * std::pow(static_cast<double>(d) / maxDensity_, exponent);
        }
        std::uint16_t* px = rgbOut + 3 * (i - first);
        px[0] = px[1] = px[2] = Channel16(level / 255.0);
    }
}

void GasRenderer::ShadeRowsTo(std::int32_t firstRow, std::int32_t endRow,
                              std::uint8_t* bgrOut) const {
    const auto scale = static_cast<float>(brightness_ * 255.0);
    const double exponent = 1.0 / gamma_;
    const float maxDensity = maxDensity_;
    const auto byteOf = [scale, exponent, maxDensity](float d) {
        const double level = scale * std::pow(static_cast<double>(d) / maxDensity, exponent);
        return static_cast<std::uint8_t>(level < 255.0 ? level : 255.0);
    };
    const auto w = static_cast<std::size_t>(Width());
    const std::size_t first = static_cast<std::size_t>(firstRow) * w;
    const std::size_t end = static_cast<std::size_t>(endRow) * w;
    const auto shade = [&](const auto& grey) {
        const auto one = [&](std::size_t i) {
            const std::uint8_t level = grey(densityBuffer_[i]);
            std::uint8_t* px = bgrOut + 3 * (i - first);
            px[0] = px[1] = px[2] = level;
        };
        // Most of a large image is unreached: a block of zero densities is a block of black
        // (either curve gives 0 its 0), written at once.
        constexpr std::size_t kBlock = 8;
        std::size_t i = first;
        for (; i + kBlock <= end; i += kBlock) {
            std::uint64_t words[kBlock / 2];
            std::memcpy(words, &densityBuffer_[i], sizeof words);
            if ((words[0] | words[1] | words[2] | words[3]) == 0) {
                std::memset(bgrOut + 3 * (i - first), 0, 3 * kBlock);
                continue;
            }
            for (std::size_t k = i; k < i + kBlock; ++k) {
                one(k);
            }
        }
        for (; i < end; ++i) {
            one(i);
        }
    };
    if (static_cast<std::int64_t>(end - first) >= ToneTable::kFromPixels) {
        // The table gives unreached pixels their 0 itself, with no branch to mispredict
        // where reached and unreached pixels mix.
        shade(ToneTable(byteOf));
    } else {
        // Unreached pixels skip the curve: most of an image is empty.
        shade([&byteOf](float d) -> std::uint8_t { return d > 0.0f ? byteOf(d) : 0; });
    }
}

void GasRenderer::Accumulate(Attractor& attractor, std::int32_t endCount) {
    AccumulateInTiles(*this, attractor, endCount);
}

void GasRenderer::FlushBins() {
    auto [plot, touch] = PieceHandlers();
    bins_.Flush(plot, touch);
}

std::unique_ptr<Renderer> GasRenderer::CopyForWorker() const {
    std::unique_ptr<GasRenderer> copy(new GasRenderer(*this));
    copy->DropImage();
    return copy;
}

void GasRenderer::MergeWorkers(const std::vector<Renderer*>& workers, MergePart part) {
    MergeSum(densityBuffer_, workers, &GasRenderer::densityBuffer_, part);
}

std::int64_t GasRenderer::AccumulationBytes() const {
    return BufferBytes(densityBuffer_);
}

LiquidRenderer::LiquidRenderer(PreviewSurface* surface) : GasRenderer(surface) {
    SetKind(kLiquid);
}

LiquidRenderer::LiquidRenderer(const Renderer& source) : GasRenderer(source) {
    SetKind(kLiquid);
}

void LiquidRenderer::ResizeBuffers() {
    GasRenderer::ResizeBuffers();
    depthBuffer_ = LargeBuffer<float>(static_cast<std::size_t>(PixelCount())); // the far plane
}

void LiquidRenderer::ClearImage() {
    GasRenderer::ClearImage();
    ZeroBuffer(depthBuffer_); // the far plane
}

void LiquidRenderer::Accumulate(Attractor& attractor, std::int32_t endCount) {
    AccumulateInTiles(*this, attractor, endCount);
}

void LiquidRenderer::FlushBins() {
    auto [plot, touch] = PieceHandlers();
    bins_.Flush(plot, touch);
}

std::unique_ptr<Renderer> LiquidRenderer::CopyForWorker() const {
    std::unique_ptr<LiquidRenderer> copy(new LiquidRenderer(*this));
    copy->DropImage();
    return copy;
}

void LiquidRenderer::MergeWorkers(const std::vector<Renderer*>& workers, MergePart part) {
    GasRenderer::MergeWorkers(workers, part);
    MergeNearest(depthBuffer_, workers, &LiquidRenderer::depthBuffer_, part);
}

std::int64_t LiquidRenderer::AccumulationBytes() const {
    return GasRenderer::AccumulationBytes() + BufferBytes(depthBuffer_);
}

} // namespace vorticel
