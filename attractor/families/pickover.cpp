// x' = sin(Ay) - z cos(Bx), y' = z sin(Cx) - cos(Dy), z' = sin x.
#include "attractor/families/pickover.h"

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

} // namespace vorticel
