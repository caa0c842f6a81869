// The icon map z <- (lambda + alpha|z|^2 + beta Re(z^n) + i omega) z + gamma conj(z)^(n-1).
#include "attractor/families/icon.h"

#include "resources/strings.h"

namespace vorticel {

Icon::Icon() {
    SetFamily(0);
    parameters->Add(LoadStr(kStrDegree), degree, kDegreeMin, kDegreeMax);
    parameters->Add("Alpha", alpha, kMin, kMax);
    parameters->Add("Beta", beta, kMin, kMax);
    parameters->Add("Lambda", lambda, kMin, kMax);
    parameters->Add("Gamma", gamma, kMin, kMax);
    parameters->Add("Omega", omega, kMin, kMax);
}

void Icon::Reset() {
    point = {0.01, 0.003, 0.0};
    CommonReset();
}

void Icon::Iterate(Vecd& p) {
    const double x = p.x;
    const double y = p.y;
    const double zz = x * x + y * y;
    // (a, b) = (x + iy)^(degree - 1)
    double a = x;
    double b = y;
    for (int i = 2; i < degree; ++i) {
        const double na = a * x - b * y;
        b = b * x + a * y;
        a = na;
    }
    const double s = alpha * zz + lambda + beta * (x * a - y * b);
    p.x = s * x + gamma * a - omega * y;
    p.y = s * y - gamma * b + omega * x;
    p.z = zz;
}

} // namespace vorticel
