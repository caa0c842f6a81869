// Unravel: an affine map whose image is folded back into a ball of radius R.
#pragma once

#include "attractor/attractor.h"

#include <algorithm>
#include <cmath>

namespace vorticel {

class Unravel : public Attractor {
public:
    static constexpr double kUnitMin = -1.0;
    static constexpr double kUnitMax = 1.0;
    static constexpr double kGainMin = -3.0;
    static constexpr double kGainMax = 3.0;
    static constexpr double kRadiusMin = -2.0;
    static constexpr double kRadiusMax = 2.0;

    Unravel();
    void Iterate(Vecd& p) override;
    void Reset() override;

    double a = 0.0;
    double e = 0.0;
    double u = 0.0;
    double l = 0.0;
    double n = 0.0;
    double v = 0.0;
    double r = 1.0;
};

// The map, inline so that the render loop, which calls it by name, has it whole.
inline void Unravel::Iterate(Vecd& p) {
    if (r == 0.0) {
        MarkDiverged();
        return;
    }
    double pa = (p.z + a) * l;
    double pb = (p.x + e) * n;
    double pc = (p.y + u) * v;
    const double d = std::sqrt(pa * pa + pb * pb + pc * pc);
    if (d > r && d != 0.0) {
        const double folds = std::trunc(d / r);
        // A quotient beyond 32 bits means a diverging orbit; saturate rather than overflow.
        const double k = std::clamp(folds, -2147483648.0, 2147483647.0);
        const double h = 1.0 - (k + 1.0) * r / d;
        pa *= h;
        pb *= h;
        pc *= h;
    }
    p = {pa, pb, pc};
}

} // namespace vorticel
