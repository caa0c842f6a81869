// The parameter-plane overview: where in Lorenz's (A, B, C) space the attractor is strange.
#pragma once

#include <cstdint>

namespace vorticel {

class Lorenz;

// One scan of up to 100,000 trials on a Lorenz attractor (not owned). Sampling starts
// uniform in [0, 20), walks from an accepted triple, and after 20 acceptances samples the
// box the accepted triples span, widened by 10 %.
class OverviewScan {
public:
    static constexpr std::int32_t kTrials = 100000;
    static constexpr std::int32_t kTrialLength = 30000;
    static constexpr double kStep = 0.1; // dT of every trial

    struct Triple {
        double a = 0.0;
        double b = 0.0;
        double c = 0.0;
    };

    explicit OverviewScan(Lorenz& lorenz) : lorenz_(&lorenz) {}

    // The next triple to try; draws three uniform numbers, in the order A, B, C.
    Triple NextTriple();
    // Runs one trial of `t` on the attractor (dT 0.1, reset, up to 30,000 steps with both
    // estimates, stopping early once the exponent is at or below 0.001 after iteration 100).
    // True when it is accepted; the scan's state (extremes, counts) follows.
    bool Evaluate(const Triple& t);
    // NextTriple, then Evaluate.
    bool RunTrial();

    // The window pixel of a triple: A + C across, B up with A - C as depth.
    static void PixelOf(const Triple& t, int& x, int& y);

    std::int32_t trials = 0;
    std::int32_t accepted = 0;
    bool previousAccepted = false;
    Triple last;
    Triple minimum{kFloatMax, kFloatMax, kFloatMax};
    Triple maximum{-kFloatMax, -kFloatMax, -kFloatMax};

private:
    static constexpr double kFloatMax = 3.4028234663852886e38;
    Lorenz* lorenz_;
};

} // namespace vorticel
