// The Unravel map with its fold into the ball of radius R.
#include "attractor/families/unravel.h"

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

} // namespace vorticel
