// Pickover's trigonometric map.
#pragma once

#include "attractor/attractor.h"

#include <cmath>

namespace vorticel {

class Pickover : public Attractor {
public:
    static constexpr double kSignedMin = -3.0;
    static constexpr double kMax = 3.0;
    static constexpr double kPositiveMin = 0.0;

    Pickover();
    void Iterate(Vecd& p) override;
    void Reset() override;

    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double d = 0.0;
};

// The map, inline so that the render loop, which calls it by name, has it whole.
inline void Pickover::Iterate(Vecd& p) {
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    p.x = std::sin(a * y) - z * std::cos(b * x);
    p.y = z * std::sin(c * x) - std::cos(d * y);
    p.z = std::sin(x);
}

} // namespace vorticel
