// The render loop against a hand-tight loop of the same work, whole render runs on one and on
// several threads, and what a run's buffers cost.
#include "attractor/families/lorenz.h"
#include "bench/subjects.h"
#include "render/gas.h"
#include "render/light.h"
#include "render/solid.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace vorticel::bench {
namespace {

// The yardstick of the render loop on Lorenz: the Euler step written out on a point in
// registers, the renderer's own inline projection and plotting, the divergence test and
// nothing else (no history, box or count).
template <class R> void TightLorenz(benchmark::State& state) {
    const std::unique_ptr<Attractor> attractor = MakeSubject(kLorenzSubject);
    const std::unique_ptr<Renderer> framed =
        FramedRenderer(*attractor, static_cast<int>(state.range(0)), 640, 480);
    auto& renderer = static_cast<R&>(*framed);
    auto& lorenz = static_cast<Lorenz_2L&>(*attractor);
    framed->ClearImage();
    lorenz.Reset();
    const double aDt = lorenz.aDt;
    const double bDt = lorenz.bDt;
    const double cDt = lorenz.cDt;
    const double dt = lorenz.dt;
    Vecd p = lorenz.point;
    for (auto _ : state) {
        for (int i = 0; i < kChunk; ++i) {
            renderer.R::PlotPoint(renderer.R::ProjectPoint(p));
            const double x = p.x;
            const double y = p.y;
            const double z = p.z;
            p = {x + (-aDt * x + aDt * y), y + (bDt * x - y * dt - z * (x * dt)),
                 z + (-cDt * z + x * (y * dt))};
            if (!WithinBounds(p)) {
                state.SkipWithError("diverged");
                break;
            }
        }
    }
    state.SetLabel(std::string("Lorenz/") + kKindNames[state.range(0)]);
    state.counters["ns_per_iter"] = PerItem(static_cast<double>(state.iterations()) * kChunk);
}

// A whole render run at 640x480, as the command line does it, on range(2) threads.
void Run(benchmark::State& state) {
    constexpr std::int32_t kIterations = 4000000;
    const int subject = static_cast<int>(state.range(0));
    const int kind = static_cast<int>(state.range(1));
    const auto threads = static_cast<std::int32_t>(state.range(2));
    const std::unique_ptr<Attractor> attractor = MakeSubject(subject);
    const std::unique_ptr<Renderer> renderer = FramedRenderer(*attractor, kind, 640, 480);
    std::int32_t used = 0;
    for (auto _ : state) {
        used = RenderRun(*attractor, *renderer, kIterations, kDefaultUpdates, {}, threads).threads;
    }
    state.SetLabel(std::string(kSubjectNames[subject]) + "/" + kKindNames[kind] + "/" +
                   std::to_string(used) + " threads");
    state.counters["ns_per_iter"] = PerItem(static_cast<double>(state.iterations()) * kIterations);
}

// No time measured: the bytes of a 1600x1200 Solid run on range(0) threads.
void RunMemory(benchmark::State& state) {
    const std::unique_ptr<Renderer> renderer = CreateRenderer(nullptr, kSolid);
    renderer->SetWidth(1600);
    renderer->SetHeight(1200);
    const auto threads = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(RunMemoryBytes(*renderer, threads));
    }
    state.SetLabel("Solid/1600x1200");
    state.counters["MiB"] = static_cast<double>(RunMemoryBytes(*renderer, threads)) / (1 << 20);
    state.counters["MiB_per_worker"] =
        static_cast<double>(renderer->AccumulationBytes()) / (1 << 20);
}

BENCHMARK_TEMPLATE(TightLorenz, GasRenderer)->Arg(kGas);
BENCHMARK_TEMPLATE(TightLorenz, LiquidRenderer)->Arg(kLiquid);
BENCHMARK_TEMPLATE(TightLorenz, LightRenderer)->Arg(kLight);
BENCHMARK_TEMPLATE(TightLorenz, PlasmaRenderer)->Arg(kPlasma);
BENCHMARK_TEMPLATE(TightLorenz, SolidRenderer)->Arg(kSolid);
BENCHMARK(Run)
    ->ArgsProduct({benchmark::CreateDenseRange(kLorenzSubject, kSprottSubject, 1),
                   benchmark::CreateDenseRange(kGas, kSolid, 1),
                   {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(RunMemory)->Arg(1)->Arg(2)->Arg(16)->Iterations(1);

} // namespace
} // namespace vorticel::bench
