// The render's inner loop, instantiated per renderer and per family so that projection,
// plotting, the family's map and the step's bookkeeping are all seen whole by the compiler and
// the point stays in registers across a chunk.
#pragma once

#include "attractor/attractor.h"
#include "attractor/family_dispatch.h"

#include <cstdint>
#include <type_traits>

namespace vorticel {

// ProjectPoint, PlotPoint and Step until the attractor's count reaches `endCount` or it
// diverges; the family is looked up once per call, not per point.
template <class R> void AccumulateWith(R& renderer, Attractor& attractor, std::int32_t endCount) {
    if (attractor.diverged) {
        return;
    }
    const auto plot = [&renderer](const Vecd& p) {
        renderer.R::PlotPoint(renderer.R::ProjectPoint(p));
    };
    WithFamily(attractor, [&](auto& family) {
        using Family = std::remove_reference_t<decltype(family)>;
        if constexpr (std::is_same_v<Family, Attractor>) {
            // A class outside the catalogue: its map is virtual and may read the object, so
            // the orbit goes through memory one Step at a time.
            while (family.count < endCount && !family.diverged) {
                plot(family.point);
                family.Step();
            }
        } else {
            family.Advance(
                endCount, [&family](Vecd& p) { family.Family::Iterate(p); }, plot);
        }
    });
}

} // namespace vorticel
