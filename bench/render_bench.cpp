// Cost of the attractor step, of one render iteration per renderer, and of FinishImage.
//
// Per-iteration figures are reported as ns_per_iter; compare each render iteration with
// the bare Step of the same attractor measured in the same run.
#include "attractor/catalogue.h"
#include "attractor/families/icon.h"
#include "attractor/families/lorenz.h"
#include "attractor/families/pickover.h"
#include "attractor/rng.h"
#include "render/bitmap3d.h"
#include "render/render_run.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace vorticel {
namespace {

constexpr std::int32_t kChunk = 10000;

enum Subject { kLorenzSubject, kPickoverSubject, kIconSubject, kSprottSubject };
const char* const kSubjectNames[] = {"Lorenz", "Pickover", "Icon", "Sprott"};

std::unique_ptr<Attractor> MakeSubject(int subject) {
    switch (subject) {
    case kLorenzSubject: {
        auto lorenz = std::make_unique<Lorenz_2L>();
        lorenz->a = 10;
        lorenz->b = 28;
        lorenz->c = 2.667;
        lorenz->dt = 0.01;
        return lorenz;
    }
    case kPickoverSubject: {
        auto pickover = std::make_unique<Pickover>();
        pickover->a = 2.24;
        pickover->b = 0.43;
        pickover->c = -0.65;
        pickover->d = -2.43;
        return pickover;
    }
    case kIconSubject: {
        auto icon = std::make_unique<Icon>(); // a published 3-fold symmetric icon
        icon->degree = 3;
        icon->alpha = -1.0;
        icon->beta = 0.1;
        icon->lambda = 1.56;
        icon->gamma = -0.82;
        icon->omega = 0.12;
        return icon;
    }
    default: {
        RandomSeed(7); // a fixed seed finds the same chaotic set every run
        std::unique_ptr<Attractor> sprott = CreateAttractor(7);
        sprott->Search();
        return sprott;
    }
    }
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
    state.counters["ns_per_iter"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kChunk,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A renderer at 640x480 with the camera turned and fitted, so points land in the image and
// in both shadow maps.
std::unique_ptr<TBitmap3D> FramedRenderer(Attractor& attractor, int kind, std::int32_t width,
                                          std::int32_t height) {
    std::unique_ptr<TBitmap3D> bitmap = CreateRenderer(nullptr, kind);
    bitmap->SetWidth(width);
    bitmap->SetHeight(height);
    bitmap->SetEye({0.0, 0.0, -5.0});
    bitmap->SetTarget({0.0, 0.0, 0.0});
    bitmap->RotateByDrag(120.0, 70.0);
    Fit(attractor, *bitmap, kFitPoints, FitMode::Adjust);
    return bitmap;
}

void RenderIteration(benchmark::State& state) {
    const int subject = static_cast<int>(state.range(0));
    const int kind = static_cast<int>(state.range(1));
    const std::unique_ptr<Attractor> attractor = MakeSubject(subject);
    const std::unique_ptr<TBitmap3D> bitmap = FramedRenderer(*attractor, kind, 640, 480);
    bitmap->ClearImage();
    attractor->Reset();
    while (attractor->count < kWarmUp) {
        attractor->Step();
    }
    // Chunks of 10,000 iterations, as the run loop hands them to the renderer between its
    // refresh and event tests.
    for (auto _ : state) {
        bitmap->Accumulate(*attractor, attractor->count + kChunk);
        if (attractor->count > 2000000000 || attractor->diverged) {
            attractor->Reset();
        }
    }
    state.SetLabel(std::string(kSubjectNames[subject]) + "/" +
                   std::to_string(kind)); // 0 gas, 1 liquid, 2 light, 3 plasma, 4 solid
    state.counters["ns_per_iter"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kChunk,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void FinishImage(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const std::unique_ptr<Attractor> attractor = MakeSubject(kLorenzSubject);
    const std::unique_ptr<TBitmap3D> bitmap = FramedRenderer(*attractor, kind, 1600, 1200);
    RenderRun(*attractor, *bitmap, 2000000, 1);
    for (auto _ : state) {
        bitmap->FinishImage();
        benchmark::DoNotOptimize(bitmap->imageBuffer.data());
    }
    state.SetLabel("1600x1200/" + std::to_string(kind));
}

BENCHMARK(BareStep)->DenseRange(kLorenzSubject, kSprottSubject);
BENCHMARK(RenderIteration)
    ->ArgsProduct({benchmark::CreateDenseRange(kLorenzSubject, kSprottSubject, 1),
                   benchmark::CreateDenseRange(kGas, kSolid, 1)});
BENCHMARK(FinishImage)->DenseRange(kGas, kSolid)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vorticel

BENCHMARK_MAIN();
