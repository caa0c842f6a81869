// Cost of the bare map, of the attractor step, of one render iteration per renderer, and of
// FinishImage.
//
// Per-iteration figures are reported as ns_per_iter; compare each render iteration with
// the bare map and Step of the same attractor measured in the same run.
#include "attractor/family_dispatch.h"
#include "bench/subjects.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <type_traits>

namespace vorticel::bench {
namespace {

// The family's map alone on a point held in registers: what no render iteration can beat.
void BareMap(benchmark::State& state) {
    const std::unique_ptr<Attractor> attractor = MakeSubject(static_cast<int>(state.range(0)));
    attractor->Reset();
    WithFamily(*attractor, [&state](auto& family) {
        using Family = std::remove_reference_t<decltype(family)>;
        if constexpr (!std::is_same_v<Family, Attractor>) {
            Vecd p = family.point;
            for (auto _ : state) {
                for (int i = 0; i < kChunk; ++i) {
                    family.Family::Iterate(p);
                }
                benchmark::DoNotOptimize(p);
            }
        }
    });
    state.SetLabel(kSubjectNames[state.range(0)]);
    state.counters["ns_per_iter"] = PerItem(static_cast<double>(state.iterations()) * kChunk);
}

void BareStep(benchmark::State& state) {
    const std::unique_ptr<Attractor> attractor = MakeSubject(static_cast<int>(state.range(0)));
    attractor->Reset();
    for (auto _ : state) {
        for (int i = 0; i < kChunk; ++i) {
            attractor->Step();
        }
        if (attractor->count > 2000000000 || attractor->diverged) {
            attractor->Reset();
        }
        benchmark::DoNotOptimize(attractor->point);
    }
    state.SetLabel(kSubjectNames[state.range(0)]);
    state.counters["ns_per_iter"] = PerItem(static_cast<double>(state.iterations()) * kChunk);
}

void RenderIteration(benchmark::State& state) {
    const int subject = static_cast<int>(state.range(0));
    const int kind = static_cast<int>(state.range(1));
    const std::unique_ptr<Attractor> attractor = MakeSubject(subject);
    const std::unique_ptr<Renderer> renderer = FramedRenderer(*attractor, kind, 640, 480);
    renderer->ClearImage();
    attractor->Reset();
    while (attractor->count < kWarmUp) {
        attractor->Step();
    }
    // Chunks of 10,000 iterations, as the run loop hands them to the renderer between its
    // refresh and event tests.
    for (auto _ : state) {
        renderer->Accumulate(*attractor, attractor->count + kChunk);
        if (attractor->count > 2000000000 || attractor->diverged) {
            attractor->Reset();
        }
    }
    state.SetLabel(std::string(kSubjectNames[subject]) + "/" +
                   std::to_string(kind)); // 0 gas, 1 liquid, 2 light, 3 plasma, 4 solid
    state.counters["ns_per_iter"] = PerItem(static_cast<double>(state.iterations()) * kChunk);
}

void FinishImage(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const std::unique_ptr<Attractor> attractor = MakeSubject(kLorenzSubject);
    const std::unique_ptr<Renderer> renderer = FramedRenderer(*attractor, kind, 1600, 1200);
    RenderRun(*attractor, *renderer, 2000000, 1);
    for (auto _ : state) {
        renderer->FinishImage();
        benchmark::DoNotOptimize(renderer->GetImage().Rows().data());
    }
    state.SetLabel("1600x1200/" + std::to_string(kind));
}

BENCHMARK(BareMap)->DenseRange(kLorenzSubject, kSprottSubject);
BENCHMARK(BareStep)->DenseRange(kLorenzSubject, kSprottSubject);
BENCHMARK(RenderIteration)
    ->ArgsProduct({benchmark::CreateDenseRange(kLorenzSubject, kSprottSubject, 1),
                   benchmark::CreateDenseRange(kGas, kSolid, 1)});
BENCHMARK(FinishImage)->DenseRange(kGas, kSolid)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vorticel::bench

BENCHMARK_MAIN();
