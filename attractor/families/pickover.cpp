// x' = sin(Ay) - z cos(Bx), y' = z sin(Cx) - cos(Dy), z' = sin x.
#include "attractor/families/pickover.h"

#include <cmath>

namespace vorticel {

Pickover::Pickover() {
    SetFamily(3);
    parameters->Add("A", a, kSignedMin, kMax);
    parameters->Add("B", b, kPositiveMin, kMax);
    parameters->Add("C", c, kSignedMin, kMax);
    parameters->Add("D", d, kPositiveMin, kMax);
}

void Pickover::Reset() {
    point = {0.0, 0.0, 0.0};
    CommonReset();
}

void Pickover::Iterate(Vecd& p) {
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    p.x = std::sin(a * y) - z * std::cos(b * x);
    p.y = z * std::sin(c * x) - std::cos(d * y);
    p.z = std::sin(x);
}

} // namespace vorticel
