// Unravel: an affine map whose image is folded back into a ball of radius R.
#pragma once

#include "attractor/attractor.h"

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

} // namespace vorticel
