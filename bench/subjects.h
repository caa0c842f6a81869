// The attractors and framed renderers the benchmarks share.
#pragma once

#include "attractor/catalogue.h"
#include "attractor/families/icon.h"
#include "attractor/families/lorenz.h"
#include "attractor/families/pickover.h"
#include "attractor/rng.h"
#include "render/render_run.h"
#include "render/renderer.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace vorticel::bench {

inline constexpr std::int32_t kChunk = 10000;

enum Subject { kLorenzSubject, kPickoverSubject, kIconSubject, kSprottSubject };
inline const char* const kSubjectNames[] = {"Lorenz", "Pickover", "Icon", "Sprott"};

inline std::unique_ptr<Attractor> MakeSubject(int subject) {
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

// A renderer at 640x480 with the camera turned and fitted, so points land in the image and
// in both shadow maps.
inline std::unique_ptr<Renderer> FramedRenderer(Attractor& attractor, int kind, std::int32_t width,
                                                std::int32_t height) {
    std::unique_ptr<Renderer> renderer = CreateRenderer(nullptr, kind);
    renderer->SetWidth(width);
    renderer->SetHeight(height);
    renderer->GetCamera().SetEye({0.0, 0.0, -5.0});
    renderer->GetCamera().SetTarget({0.0, 0.0, 0.0});
    renderer->GetCamera().RotateByDrag(120.0, 70.0);
    Fit(attractor, *renderer, kFitPoints, FitMode::Adjust);
    return renderer;
}

// Nanoseconds per item of `items` done over the benchmark's iterations.
inline benchmark::Counter PerItem(double items) {
    return benchmark::Counter(items, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

inline const char* const kKindNames[] = {"Gas", "Liquid", "Light", "Plasma", "Solid"};

} // namespace vorticel::bench
