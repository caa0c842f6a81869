// Trials of the parameter-plane overview.
#include "attractor/overview_scan.h"

#include "attractor/families/lorenz.h"
#include "attractor/rng.h"

#include <cmath>

namespace vorticel {
namespace {

constexpr std::int32_t kFirstLyapunovTest = 100;
constexpr double kMinLyapunov = 0.001;
constexpr double kMinDimension = 1.5;
constexpr std::int32_t kBoxAfter = 19; // more accepted triples than this: sample their box

double Uniform() {
    return RandomNext() / 2147483647.0;
}

double InBox(double lo, double hi) {
    return (Uniform() - 0.5) * (hi - lo) * 1.1 + (hi + lo) * 0.5;
}

} // namespace

OverviewScan::Triple OverviewScan::NextTriple() {
    Triple t;
    if (previousAccepted) {
        t.a = last.a + (Uniform() - 0.5);
        t.b = last.b + (Uniform() - 0.5);
        t.c = last.c + (Uniform() - 0.5);
    } else if (accepted > kBoxAfter) {
        t.a = InBox(minimum.a, maximum.a);
        t.b = InBox(minimum.b, maximum.b);
        t.c = InBox(minimum.c, maximum.c);
    } else {
        t.a = Uniform() * 20.0;
        t.b = Uniform() * 20.0;
        t.c = Uniform() * 20.0;
    }
    return t;
}

bool OverviewScan::Evaluate(const Triple& t) {
    Lorenz& l = *lorenz_;
    l.a = t.a;
    l.b = t.b;
    l.c = t.c;
    l.dt = kStep;
    l.Reset();
    while (l.count < kTrialLength && !l.diverged &&
           (l.count < kFirstLyapunovTest || l.lyapunov > kMinLyapunov)) {
        l.Step();
        l.UpdateDimension();
        l.UpdateLyapunov();
    }
    // A trial that diverged on its last step is no bounded orbit.
    const bool ok = l.count == kTrialLength && !l.diverged && l.dimension >= kMinDimension &&
                    l.lyapunov >= kMinLyapunov;
    ++trials;
    if (ok) {
        minimum = {std::fmin(minimum.a, t.a), std::fmin(minimum.b, t.b), std::fmin(minimum.c, t.c)};
        maximum = {std::fmax(maximum.a, t.a), std::fmax(maximum.b, t.b), std::fmax(maximum.c, t.c)};
        ++accepted;
        last = t;
    }
    previousAccepted = ok;
    return ok;
}

bool OverviewScan::RunTrial() {
    return Evaluate(NextTriple());
}

void OverviewScan::PixelOf(const Triple& t, int& x, int& y) {
    const double px = (t.a + t.c) * 8.0;
    const double py = 300.0 - ((t.a - t.c) / 3.0 + t.b) * 10.0;
    // Anything that could not be an int (or is not finite) is placed off the window.
    const auto toPixel = [](double v) {
        return (v > -1.0e9 && v < 1.0e9) ? static_cast<int>(v) : -1;
    };
    x = toPixel(px);
    y = toPixel(py);
}

} // namespace vorticel
