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

void Lorenz_2L::Iterate(Vecd& p) {
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    scaled = {x * dt, y * dt, z * dt};
    const double dx = -aDt * x + aDt * y;
    const double dy = bDt * x - scaled.y - z * scaled.x;
    const double dz = -cDt * z + x * scaled.y;
    p = {x + dx, y + dy, z + dz};
}

} // namespace vorticel
