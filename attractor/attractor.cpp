// The state and the guarded step shared by every family.
#include "attractor/attractor.h"

#include "resources/strings.h"

#include <cmath>
#include <limits>

namespace vorticel {

Attractor::Attractor() : parameters(std::make_unique<ParameterList>()) {}

Attractor::~Attractor() = default;

void Attractor::Randomize() {
    parameters->RandomizeAll(3);
}

void Attractor::Reset() {
    CommonReset();
}

void Attractor::SetFamily(int familyIndex) {
    typeIndex = static_cast<std::int8_t>(familyIndex);
    displayName = std::string(FamilyName(familyIndex));
}

void Attractor::CommonReset() {
    count = 0;
    diverged = false;
    lyapunovSamples = 0;
    lyapunovSum = 0.0;
    lyapunov = 0.0;
    referenceSize = 0.0;
    historyIndex = 0;
    nearCount = 0;
    nearerCount = 0;
    dimension = 0.0;
    constexpr double m = std::numeric_limits<double>::max();
    bboxMin = {m, m, m};
    bboxMax = {-m, -m, -m};
    shadow = {point.x + 1e-6, point.y, point.z};
}

void Attractor::MarkDiverged() {
    diverged = true;
    if (onDiverge && !searching) {
        onDiverge(*this);
    }
}

} // namespace vorticel
