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

} // namespace vorticel
