// The render's inner loop, instantiated per renderer and per family so that projection,
// plotting, the family's map and the step's bookkeeping are all seen whole by the compiler and
// the point stays in registers across a chunk.
#pragma once

#include "attractor/attractor.h"
#include "attractor/family_dispatch.h"

#include <cstdint>
#include <type_traits>

namespace vorticel {

// Step until the attractor's count reaches `endCount` or it diverges, giving plot(point) each
// point first; the family is looked up once per call, not per point.
template <class Plot>
void AdvancePlotting(Attractor& attractor, std::int32_t endCount, Plot&& plot) {
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

// ProjectPoint, PlotPoint and Step until the attractor's count reaches `endCount` or it
// diverges.
template <class R> void AccumulateWith(R& renderer, Attractor& attractor, std::int32_t endCount) {
    if (attractor.diverged) {
        return;
    }
    AdvancePlotting(attractor, endCount, [&renderer](const Vecd& p) {
        renderer.R::PlotPoint(renderer.R::ProjectPoint(p));
    });
}

// As AccumulateWith, the same bytes, but through the renderer's tile bins when its buffers
// outgrow the cache (render/tile_bins.h): R has kPixelBytes, PrepareBins, BinPoint (PlotPoint
// held back) and FlushBins. The bins are empty again when it returns, so whatever looks at the
// accumulation between two calls (a merge, a refresh, a stopped or diverged run) sees it all.
template <class R>
void AccumulateInTiles(R& renderer, Attractor& attractor, std::int32_t endCount) {
    if (attractor.diverged) {
        return;
    }
    if (!renderer.BinsTiles(R::kPixelBytes)) {
        AccumulateWith(renderer, attractor, endCount);
        return;
    }
    renderer.R::PrepareBins();
    AdvancePlotting(attractor, endCount, [&renderer](const Vecd& p) {
        renderer.R::BinPoint(renderer.R::ProjectPoint(p));
    });
    renderer.R::FlushBins();
}

} // namespace vorticel
