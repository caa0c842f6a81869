// Pickover's trigonometric map.
#pragma once

#include "attractor/attractor.h"

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

} // namespace vorticel
