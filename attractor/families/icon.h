// Symmetric icons: a planar map with n-fold symmetry, lifted to 3D by |z|^2.
#pragma once

#include "attractor/attractor.h"

namespace vorticel {

class Icon : public Attractor {
public:
    static constexpr double kMin = -3.0;
    static constexpr double kMax = 3.0;
    static constexpr std::int8_t kDegreeMin = 2;
    static constexpr std::int8_t kDegreeMax = 24;

    Icon();
    void Iterate(Vecd& p) override;
    void Reset() override;

    double alpha = 0.0;
    double beta = 0.0;
    double lambda = 0.0;
    double gamma = 0.0;
    double omega = 0.0;
    std::int8_t degree = 0;
};

// The map, inline so that the render loop, which calls it by name, has it whole.
inline void Icon::Iterate(Vecd& p) {
    const double x = p.x;
    const double y = p.y;
    const double zz = x * x + y * y;
    // (a, b) = (x + iy)^(degree - 1)
    double a = x;
    double b = y;
    for (int i = 2; i < degree; ++i) {
        const double na = a * x - b * y;
        b = b * x + a * y;
        a = na;
    }
    const double s = alpha * zz + lambda + beta * (x * a - y * b);
    p.x = s * x + gamma * a - omega * y;
    p.y = s * y - gamma * b + omega * x;
    p.z = zz;
}

} // namespace vorticel
