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

void Polynomial_A::Iterate(Vecd& p) {
    const double* c = coefficients.data();
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    p = {c[0] + y - y * z, c[1] + z - z * x, c[2] + x - x * y};
}

Polynomial_B::Polynomial_B() : Polynomial(5, 6, kMin, kMax) {}

void Polynomial_B::Iterate(Vecd& p) {
    const double* c = coefficients.data();
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    p = {(c[0] + y) - (y + c[1]) * z, (c[2] + z) - (z + c[3]) * x, (c[4] + x) - (x + c[5]) * y};
}

Polynomial_C::Polynomial_C() : Polynomial(6, 18, kMin, kMax) {}

void Polynomial_C::Iterate(Vecd& p) {
    const double* c = coefficients.data();
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    p = {x * ((c[2] * x + c[1]) + c[3] * y) + c[0] + y * (c[5] * y + c[4]),
         y * ((c[8] * y + c[7]) + c[9] * z) + c[6] + z * (c[11] * z + c[10]),
         z * ((c[14] * z + c[13]) + c[15] * x) + c[12] + x * (c[17] * x + c[16])};
}

Polynomial_Sprott::Polynomial_Sprott() : Polynomial(7, 30, kMin, kMax) {
    order = 2;
}

void Polynomial_Sprott::Iterate(Vecd& p) {
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
