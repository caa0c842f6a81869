// Running estimates of the largest Lyapunov exponent and the correlation dimension.
#include "attractor/attractor.h"
#include "attractor/rng.h"

#include <cmath>

namespace vorticel {
namespace {

constexpr double kSeparationSquaredInverse = 1e12; // shadow kept 1e-6 from the orbit
constexpr double kBitsPerNat = 0.721347;           // 1 / (2 ln 2): mean ln(t) -> log2 stretch
constexpr std::int32_t kReferenceCount = 1000;
constexpr int kPartnerSlots = 480; // partners are 20 .. 499 iterations older
constexpr double kLargeRadiusFactor = 0.001;
constexpr double kSmallRadiusFactor = 0.00001;
constexpr double kDecimalPerNat = 0.434294; // 1 / ln 10

} // namespace

double Attractor::UpdateLyapunov() {
    Iterate(shadow);
    if (!WithinBounds(shadow)) {
        MarkDiverged();
    }
    if (diverged) {
        return 0.0;
    }
    const Vecd d = shadow - point;
    const double d2 = Dot(d, d);
    if (!(d2 > 0.0)) {
        return 0.0; // the shadow fell onto the orbit: no stretch can be measured from now on
    }
    const double t = kSeparationSquaredInverse * d2;
    shadow = point + d / std::sqrt(t);
    lyapunovSum += std::log(t);
    ++lyapunovSamples;
    lyapunov = kBitsPerNat * lyapunovSum / lyapunovSamples;
    return lyapunov;
}

double Attractor::UpdateDimension() {
    if (diverged) {
        return 0.0;
    }
    if (count == kReferenceCount) {
        const Vecd size = bboxMax - bboxMin;
        referenceSize = Dot(size, size);
        return dimension;
    }
    if (count > kReferenceCount) {
        const int j = (RandomNext() % kPartnerSlots + historyIndex + 1) % kHistorySize;
        const Vecd d = point - history[j];
        const double d2 = Dot(d, d);
        const double f = std::pow(2.0, dimensions);
        if (f * kLargeRadiusFactor * referenceSize > d2) {
            ++nearCount;
        }
        if (d2 <= f * kSmallRadiusFactor * referenceSize) {
            ++nearerCount;
            dimension = kDecimalPerNat * std::log(nearCount / (nearerCount - 0.5));
        }
    }
    return dimension;
}

} // namespace vorticel
