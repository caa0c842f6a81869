// The Lorenz flow, stepped with explicit Euler.
#pragma once

#include "attractor/attractor.h"

namespace vorticel {

class Lorenz : public Attractor {
public:
    static constexpr double kMin = 0.0;
    static constexpr double kMax = 20.0;
    static constexpr double kStepMin = 0.0;
    static constexpr double kStepMax = 0.5;

    void Reset() override;

    // A, B, C times dT, cached at Reset: edits of A, B, C reach the map only then.
    double aDt = 0.0;
    double bDt = 0.0;
    double cDt = 0.0;
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double dt = 0.0;

protected:
    Lorenz();
};

// dx/dt = A(y - x), dy/dt = x(B - z) - y, dz/dt = xy - Cz.
class Lorenz_2L : public Lorenz {
public:
    void Iterate(Vecd& p) override;
};

// The map, inline so that the render loop, which calls it by name, has it whole.
inline void Lorenz_2L::Iterate(Vecd& p) {
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    const Vecd scaled{x * dt, y * dt, z * dt};
    const double dx = -aDt * x + aDt * y;
    const double dy = bDt * x - scaled.y - z * scaled.x;
    const double dz = -cDt * z + x * scaled.y;
    p = {x + dx, y + dy, z + dz};
}

} // namespace vorticel
