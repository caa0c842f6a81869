// Curves through the keys' values.
#include "animation/key_curve.h"

#include <cmath>

namespace vorticel {

KeyPosition PositionOfFrame(std::int32_t frame, std::int32_t frames, std::size_t keys) {
    if (keys < 2 || frames < 2) {
        return {};
    }
    // In whole numbers, so that frames which land on a key do so exactly.
    const std::int64_t spans = static_cast<std::int64_t>(keys) - 1;
    const std::int64_t along = static_cast<std::int64_t>(frame - 1) * spans;
    const std::int64_t steps = frames - 1;
    KeyPosition p;
    p.index = static_cast<std::size_t>(along / steps);
    p.t = static_cast<double>(along % steps) / static_cast<double>(steps);
    if (p.index == keys - 1) { // the last frame: the last key, as the start of no span
        p.index = keys - 1;
        p.t = 0.0;
    }
    return p;
}

double SmoothCurve(const std::vector<double>& values, const KeyPosition& at) {
    if (at.OnKey() || values.size() < 3) {
        return Linear(values, at);
    }
    const std::size_t i = at.index;
    const double p1 = values[i];
    const double p2 = values[i + 1];
    const double p0 = i > 0 ? values[i - 1] : 2.0 * p1 - p2;
    const double p3 = i + 2 < values.size() ? values[i + 2] : 2.0 * p2 - p1;
    const double t = at.t;
    return 0.5 * (2.0 * p1 + (p2 - p0) * t + (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3) * t * t +
                  (3.0 * (p1 - p2) + p3 - p0) * t * t * t);
}

double Linear(const std::vector<double>& values, const KeyPosition& at) {
    const double a = values[at.index];
    return at.OnKey() ? a : a + (values[at.index + 1] - a) * at.t;
}

double Geometric(const std::vector<double>& values, const KeyPosition& at) {
    if (at.OnKey()) {
        return values[at.index];
    }
    const double a = values[at.index];
    const double b = values[at.index + 1];
    return a == b ? a : std::exp(std::log(a) + (std::log(b) - std::log(a)) * at.t);
}

double Stepped(const std::vector<double>& values, const KeyPosition& at) {
    return values[at.t > 0.5 ? at.index + 1 : at.index];
}

} // namespace vorticel
