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

} // namespace vorticel
