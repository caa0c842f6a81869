// The Lorenz system's parameters and its Euler step.
#include "attractor/families/lorenz.h"

namespace vorticel {

Lorenz::Lorenz() {
    SetFamily(2);
    parameters->Add("A", a, kMin, kMax);
    parameters->Add("B", b, kMin, kMax);
    parameters->Add("C", c, kMin, kMax);
    parameters->Add("dT", dt, kStepMin, kStepMax);
}

void Lorenz::Reset() {
    point = {1.0, 1.0, 1.0};
    aDt = a * dt;
    bDt = b * dt;
    cDt = c * dt;
    CommonReset();
}

} // namespace vorticel
