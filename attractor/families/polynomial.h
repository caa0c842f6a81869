// Quadratic maps with a coefficient vector: types A, B, C and Sprott's general form.
#pragma once

#include "attractor/attractor.h"

#include <vector>

namespace vorticel {

class Polynomial : public Attractor {
public:
    void Reset() override;

    std::int32_t coefficientCount = 0;
    std::vector<double> coefficients; // registered as "P0", "P1", ...

protected:
    Polynomial(int familyIndex, int coefficientCount, const double& minimum, const double& maximum);
};

class Polynomial_A : public Polynomial {
public:
    static constexpr double kMin = 0.0;
    static constexpr double kMax = 2.0;
    Polynomial_A();
    void Iterate(Vecd& p) override;
};

class Polynomial_B : public Polynomial {
public:
    static constexpr double kMin = -1.2;
    static constexpr double kMax = 1.2;
    Polynomial_B();
    void Iterate(Vecd& p) override;
};

class Polynomial_C : public Polynomial {
public:
    static constexpr double kMin = -1.2;
    static constexpr double kMax = 1.2;
    Polynomial_C();
    void Iterate(Vecd& p) override;
};

// The general polynomial of degree `order` (2 .. 5) in `dimensions` variables.
class Polynomial_Sprott : public Polynomial {
public:
    static constexpr double kMin = -1.2;
    static constexpr double kMax = 1.2;
    Polynomial_Sprott();
    void Iterate(Vecd& p) override;
    // Any `dimensions` (up to 3) and `order` (2 .. 5); Iterate uses it unless the
    // quadratic in three variables, which it spells out term by term.
    void IterateGeneral(Vecd& p) const;
};

// The maps, inline so that the render loop, which calls them by name, has them whole.

inline void Polynomial_A::Iterate(Vecd& p) {
    const double* c = coefficients.data();
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    p = {c[0] + y - y * z, c[1] + z - z * x, c[2] + x - x * y};
}

inline void Polynomial_B::Iterate(Vecd& p) {
    const double* c = coefficients.data();
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    p = {(c[0] + y) - (y + c[1]) * z, (c[2] + z) - (z + c[3]) * x, (c[4] + x) - (x + c[5]) * y};
}

inline void Polynomial_C::Iterate(Vecd& p) {
    const double* c = coefficients.data();
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    p = {x * ((c[2] * x + c[1]) + c[3] * y) + c[0] + y * (c[5] * y + c[4]),
         y * ((c[8] * y + c[7]) + c[9] * z) + c[6] + z * (c[11] * z + c[10]),
         z * ((c[14] * z + c[13]) + c[15] * x) + c[12] + x * (c[17] * x + c[16])};
}

inline void Polynomial_Sprott::Iterate(Vecd& p) {
    if (dimensions != 3 || order != 2 || coefficientCount < 30) {
        IterateGeneral(p);
        return;
    }
    // The general loops for three variables and degree 2, written out in the same term
    // order (1, x, x^2, xy, xz, y, y^2, yz, z, z^2) so every sum is bit for bit the same.
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    double out[3];
    for (int i = 0; i < 3; ++i) {
        const double* c = coefficients.data() + 10 * i;
        double sum = c[0];
        sum += c[1] * x;
        sum += c[2] * x * x;
        sum += c[3] * x * y;
        sum += c[4] * x * z;
        sum += c[5] * y;
        sum += c[6] * y * y;
        sum += c[7] * y * z;
        sum += c[8] * z;
        sum += c[9] * z * z;
        out[i] = sum;
    }
    p = {out[0], out[1], out[2]};
}

} // namespace vorticel
