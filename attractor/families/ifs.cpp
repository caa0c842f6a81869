// The IFS map and its parameter draw.
#include "attractor/families/ifs.h"

#include "attractor/rng.h"

#include <cmath>
#include <string>

namespace vorticel {

IFS::IFS(int maps)
    : mapCount(static_cast<std::int8_t>(maps)),
      coefficientCount(static_cast<std::int16_t>(kCoefficientsPerMap * maps)),
      coefficients(static_cast<std::size_t>(kCoefficientsPerMap * maps), 0.0),
      probabilities(static_cast<std::size_t>(maps), 0.0) {
    SetFamily(1);
    for (int m = 0; m < mapCount; ++m) {
        const std::string letter(1, static_cast<char>('M' + m));
        for (int j = 0; j < kCoefficientsPerMap; ++j) {
            parameters->Add(letter + std::to_string(j), coefficients[kCoefficientsPerMap * m + j],
                            kCoefficientMin, kCoefficientMax);
        }
        parameters->Add(letter + "prob", probabilities[m], kProbabilityMin, kProbabilityMax);
    }
}

std::unique_ptr<Attractor> IFS::NewOfSameKind() const {
    return std::make_unique<IFS>(mapCount);
}

void IFS::Reset() {
    point = {0.05, 0.05, 0.05};
    CommonReset();
}

double IFS::VolumeFactor(int m) const {
    const double* c = &coefficients[kCoefficientsPerMap * m];
    return std::fabs(c[0] * (c[4] * c[8] - c[5] * c[7]) - c[1] * (c[3] * c[8] - c[5] * c[6]) +
                     c[2] * (c[3] * c[7] - c[4] * c[6]));
}

void IFS::Randomize() {
    // Contracting maps only, chosen in proportion to how much volume each keeps.
    double sum = 0.0;
    bool contracting = false;
    do {
        parameters->RandomizeAll(3);
        sum = 0.0;
        contracting = true;
        for (int m = 0; m < mapCount; ++m) {
            const double v = VolumeFactor(m);
            contracting = contracting && v < 1.0;
            sum += v;
        }
    } while (!contracting || sum < 0.1);
    for (int m = 0; m < mapCount; ++m) {
        probabilities[m] = VolumeFactor(m) / sum;
    }
}

} // namespace vorticel
