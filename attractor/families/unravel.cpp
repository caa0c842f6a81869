// The Unravel map with its fold into the ball of radius R.
#include "attractor/families/unravel.h"

#include <algorithm>
#include <cmath>

namespace vorticel {

Unravel::Unravel() {
    SetFamily(8);
    parameters->Add("A", a, kUnitMin, kUnitMax);
    parameters->Add("E", e, kUnitMin, kUnitMax);
    parameters->Add("U", u, kUnitMin, kUnitMax);
    parameters->Add("L", l, kGainMin, kGainMax);
    parameters->Add("N", n, kGainMin, kGainMax);
    parameters->Add("V", v, kGainMin, kGainMax);
    parameters->Add("R", r, kRadiusMin, kRadiusMax);
}

void Unravel::Reset() {
    point = {0.0, 0.0, 0.0};
    CommonReset();
}

void Unravel::Iterate(Vecd& p) {
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
