// Cost of one render iteration as the image grows, with the points splatted as they come or
// binned by tile: the accumulation alone, Lorenz, one thread (shading is FinishImage's bench).
#include "bench/subjects.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace vorticel::bench {
namespace {

// range(0): renderer kind; range(1): width (height 3/4 of it); range(2): TileBinning.
void RenderAtSize(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const auto width = static_cast<std::int32_t>(state.range(1));
    const auto binning = static_cast<TileBinning>(state.range(2));
    const std::unique_ptr<Attractor> attractor = MakeSubject(kLorenzSubject);
    const std::unique_ptr<Renderer> renderer =
        FramedRenderer(*attractor, kind, width, width / 4 * 3);
    renderer->SetTileBinning(binning);
    renderer->ClearImage();
    attractor->Reset();
    while (attractor->count < kWarmUp) {
        attractor->Step();
    }
    // About a point per pixel before it is measured, as in a long render.
    renderer->Accumulate(*attractor, attractor->count + renderer->PixelCount());
    for (auto _ : state) {
        renderer->Accumulate(*attractor, attractor->count + kChunk);
        if (attractor->count > 2000000000 || attractor->diverged) {
            attractor->Reset();
        }
    }
    static const char* const binnings[] = {"auto", "binned", "direct"};
    state.SetLabel(std::to_string(width) + "x" + std::to_string(width / 4 * 3) + "/" +
                   std::to_string(kind) + "/" + binnings[state.range(2)]);
    state.counters["ns_per_iter"] = PerItem(static_cast<double>(state.iterations()) * kChunk);
}

BENCHMARK(RenderAtSize)
    ->ArgsProduct({{kGas, kLiquid, kLight, kPlasma, kSolid},
                   {640, 1600, 3200, 6400},
                   {static_cast<int>(TileBinning::Always), static_cast<int>(TileBinning::Never)}});

} // namespace
} // namespace vorticel::bench
