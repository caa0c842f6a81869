// The render's inner loop, instantiated once per renderer so that projection and plotting
// are direct calls the compiler can inline; only the attractor's map stays virtual.
#pragma once

#include "attractor/attractor.h"

#include <cstdint>

namespace vorticel {

template <class Renderer>
void AccumulateWith(Renderer& renderer, Attractor& attractor, std::int32_t endCount) {
    while (attractor.count < endCount && !attractor.diverged) {
        const Vecd q = renderer.Renderer::ProjectPoint(attractor.point);
        renderer.Renderer::PlotPoint(q);
        attractor.Step();
    }
}

} // namespace vorticel
