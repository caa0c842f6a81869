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

} // namespace vorticel
