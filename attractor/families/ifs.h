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

protected:
    // As many maps as this one.
    std::unique_ptr<Attractor> NewOfSameKind() const override;
};

// The map, inline so that the render loop, which calls it by name, has it whole.
inline void IFS::Iterate(Vecd& p) {
    const double u = random->Next() / 2147483647.0;
    int m = 0;
    double s = probabilities[0];
    while (s < u) {
        ++m;
        if (m == mapCount) {
            m = mapCount - 1;
            break;
        }
        s += probabilities[m];
    }
    const double* c = &coefficients[kCoefficientsPerMap * m];
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    p.x = c[0] * x + c[1] * y + c[2] * z + c[9];
    p.y = c[3] * x + c[4] * y + c[5] * z + c[10];
    p.z = c[6] * x + c[7] * y + c[8] * z + c[11];
}

} // namespace vorticel
