// Iterated function systems: affine 3D maps chosen at random by probability.
#pragma once

#include "attractor/attractor.h"

#include <vector>

namespace vorticel {

class IFS : public Attractor {
public:
    static constexpr int kCoefficientsPerMap = 12; // 3x3 matrix row by row, then translation
    static constexpr double kCoefficientMin = -1.5;
    static constexpr double kCoefficientMax = 1.5;
    static constexpr double kProbabilityMin = 0.0;
    static constexpr double kProbabilityMax = 1.0;

    explicit IFS(int maps = 2);
    void Randomize() override;
    void Iterate(Vecd& p) override;
    void Reset() override;

    // |det| of map m's matrix: how much the map scales volume.
    double VolumeFactor(int m) const;

    std::int8_t mapCount = 0;
    std::int16_t coefficientCount = 0;
    std::vector<double> coefficients;
    std::vector<double> probabilities;
};

} // namespace vorticel
