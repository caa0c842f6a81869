// The state and the guarded step shared by every family.
#include "attractor/attractor.h"

#include "resources/strings.h"

#include <algorithm>
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

std::unique_ptr<Attractor> Attractor::Clone() const {
    std::unique_ptr<Attractor> copy = NewOfSameKind();
    if (copy && !copy->parameters->CopyValuesFrom(*parameters)) {
        return nullptr; // a differently built list: the values would land in the wrong places
    }
    if (copy) {
        copy->dimensions = dimensions;
        copy->order = order;
    }
    return copy;
}

void Attractor::TakeOrbitFrom(const Attractor& other, std::int32_t totalCount) {
    point = other.point;
    history = other.history;
    historyIndex = other.historyIndex;
    bboxMin = {std::min(bboxMin.x, other.bboxMin.x), std::min(bboxMin.y, other.bboxMin.y),
               std::min(bboxMin.z, other.bboxMin.z)};
    bboxMax = {std::max(bboxMax.x, other.bboxMax.x), std::max(bboxMax.y, other.bboxMax.y),
               std::max(bboxMax.z, other.bboxMax.z)};
    count = totalCount;
}

void Attractor::MarkDiverged() {
    diverged = true;
    if (onDiverge && !searching) {
        onDiverge(*this);
    }
}

} // namespace vorticel
