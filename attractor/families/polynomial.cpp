// The four polynomial maps.
#include "attractor/families/polynomial.h"

#include <string>

namespace vorticel {

Polynomial::Polynomial(int familyIndex, int size, const double& minimum, const double& maximum)
    : coefficientCount(size), coefficients(static_cast<std::size_t>(size), 0.0) {
    SetFamily(familyIndex);
    for (int i = 0; i < size; ++i) {
        parameters->Add("P" + std::to_string(i), coefficients[i], minimum, maximum);
    }
}

void Polynomial::Reset() {
    point = {0.05, 0.05, 0.05};
    CommonReset();
}

Polynomial_A::Polynomial_A() : Polynomial(4, 3, kMin, kMax) {}

Polynomial_B::Polynomial_B() : Polynomial(5, 6, kMin, kMax) {}

Polynomial_C::Polynomial_C() : Polynomial(6, 18, kMin, kMax) {}

Polynomial_Sprott::Polynomial_Sprott() : Polynomial(7, 30, kMin, kMax) {
    order = 2;
}

void Polynomial_Sprott::IterateGeneral(Vecd& p) const {
    // Coefficients are consumed in one fixed nested order: the constant, then each
    // monomial v[j1] v[j2] ... with j1 <= j2 <= ..., every term added as soon as it is formed.
    // The higher levels need more coefficients than a degree-2 list holds, so the count
    // guards every read: a list too short for `order` ends the terms instead of overrunning.
    const double v[3] = {p.x, p.y, p.z};
    const int dims = dimensions < 3 ? dimensions : 3;
    const double* c = coefficients.data();
    const int available = coefficientCount;
    int k = 0;
    double out[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < dims && k < available; ++i) {
        double sum = c[k++];
        for (int j1 = 0; j1 < dims && k < available; ++j1) {
            sum += c[k++] * v[j1];
            for (int j2 = j1; j2 < dims && k < available; ++j2) {
                sum += c[k++] * v[j1] * v[j2];
                for (int j3 = j2; order > 2 && j3 < dims && k < available; ++j3) {
                    sum += c[k++] * v[j1] * v[j2] * v[j3];
                    for (int j4 = j3; order > 3 && j4 < dims && k < available; ++j4) {
                        sum += c[k++] * v[j1] * v[j2] * v[j3] * v[j4];
                        for (int j5 = j4; order > 4 && j5 < dims && k < available; ++j5) {
                            sum += c[k++] * v[j1] * v[j2] * v[j3] * v[j4] * v[j5];
                        }
                    }
                }
            }
        }
        out[i] = sum;
    }
    p = {out[0], out[1], out[2]};
}

} // namespace vorticel
