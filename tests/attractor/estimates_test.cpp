// Lyapunov and dimension estimates and the random search.
#include "attractor/catalogue.h"
#include "attractor/families/ifs.h"
#include "attractor/families/lorenz.h"
#include "attractor/rng.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vorticel {
namespace {

// x' = k x: a known, constant stretch along x.
class Linear : public Attractor {
public:
    explicit Linear(double factor) : k(factor) {}
    void Iterate(Vecd& p) override { p = {k * p.x, k * p.y, k * p.z}; }
    void Reset() override {
        point = start;
        CommonReset();
    }
    double k;
    Vecd start{1.0, 1.0, 1.0};
};

void RunEstimates(Attractor& a, int iterations) {
    for (int i = 0; i < iterations && !a.diverged; ++i) {
        a.Step();
        a.UpdateDimension();
        a.UpdateLyapunov();
    }
}

TEST(Lyapunov, MeasuresAKnownStretchInBitsPerIteration) {
    Linear a(2.0); // doubles every separation: exactly one bit per iteration
    a.start = {1e-3, 0, 0};
    a.Reset();
    RunEstimates(a, 10);
    EXPECT_NEAR(a.lyapunov, 0.721347 * 2 * std::log(2.0), 1e-6);
    EXPECT_NEAR(a.lyapunov, 1.0, 1e-5);
    EXPECT_EQ(a.lyapunovSamples, 10);
}

TEST(Lyapunov, ContractionIsNegative) {
    Linear a(0.5);
    a.Reset();
    RunEstimates(a, 50);
    EXPECT_NEAR(a.lyapunov, -1.0, 1e-3);
}

TEST(Lyapunov, ShadowOnTheOrbitStopsSampling) {
    Linear a(0.0); // both points collapse onto the origin
    a.Reset();
    a.Step();
    EXPECT_EQ(a.UpdateLyapunov(), 0.0);
    EXPECT_EQ(a.lyapunovSamples, 0);
}

TEST(Lyapunov, DivergentShadowMarksDivergence) {
    Linear a(2.0);
    a.Reset();
    a.shadow = {60000.0, 0, 0};
    a.Step();
    EXPECT_EQ(a.UpdateLyapunov(), 0.0);
    EXPECT_TRUE(a.diverged);
}

TEST(Lyapunov, NonFiniteShadowMarksDivergence) {
    Linear a(1.0);
    a.Reset();
    a.shadow = {std::nan(""), 0, 0};
    a.UpdateLyapunov();
    EXPECT_TRUE(a.diverged);
}

TEST(Dimension, ReferenceSizeAtIteration1000AndFirstPairAfter) {
    Linear a(1.0); // stands still: every pair coincides
    a.Reset();
    for (int i = 0; i < 999; ++i) {
        a.Step();
        a.UpdateDimension();
    }
    EXPECT_EQ(a.referenceSize, 0.0);
    a.bboxMin = {0, 0, 0};
    a.bboxMax = {1, 2, 2};
    a.Step();
    a.UpdateDimension();
    EXPECT_EQ(a.count, 1000);
    EXPECT_EQ(a.referenceSize, 9.0);
    EXPECT_EQ(a.nearCount + a.nearerCount, 0);
    a.Step();
    a.UpdateDimension();
    EXPECT_EQ(a.nearCount, 1);
    EXPECT_EQ(a.nearerCount, 1);
    EXPECT_NEAR(a.dimension, 0.434294 * std::log(1 / 0.5), 1e-12);
}

TEST(Dimension, CountsOnlyWithinTheRadii) {
    Linear a(1.0);
    a.Reset();
    a.count = 1001;
    a.referenceSize = 1.0; // radii^2: 8e-3 (strict) and 8e-5 (inclusive)
    a.nearCount = 9;
    a.nearerCount = 0;
    a.point = {0, 0, 0};
    a.history.fill({0.05, 0, 0}); // d2 = 2.5e-3: inside the larger radius only
    a.UpdateDimension();
    EXPECT_EQ(a.nearCount, 10);
    EXPECT_EQ(a.nearerCount, 0);
    EXPECT_EQ(a.dimension, 0.0);
    a.history.fill({std::sqrt(8e-5), 0, 0}); // exactly on the smaller radius: counted
    a.nearCount = 9;
    a.UpdateDimension();
    EXPECT_EQ(a.nearCount, 10);
    EXPECT_EQ(a.nearerCount, 1);
    EXPECT_NEAR(a.dimension, std::log10(20.0), 1e-5);
}

TEST(Dimension, PartnersAreBetween20And499IterationsOld) {
    Linear a(1.0);
    a.Reset();
    a.count = 5000;
    a.referenceSize = 1.0;
    a.historyIndex = 123;
    // Mark every slot with its age; only slots of age 20..499 may be drawn.
    for (int age = 0; age < 500; ++age) {
        a.history[(123 - age + 500) % 500] = {age < 20 ? 0.0 : 10.0, 0, 0};
    }
    a.point = {0, 0, 0};
    RandomSeed(5);
    for (int i = 0; i < 5000; ++i) {
        a.UpdateDimension();
    }
    EXPECT_EQ(a.nearCount, 0);
}

TEST(Dimension, ZeroOnceDiverged) {
    Linear a(1.0);
    a.Reset();
    a.dimension = 2.0;
    a.diverged = true;
    EXPECT_EQ(a.UpdateDimension(), 0.0);
}

TEST(Search, AFixedPointEndsTheAttemptAtIteration100) {
    Linear a(0.5);
    a.Reset();
    a.searching = true;
    while (a.count < 20000 && !a.diverged && (a.count < 100 || a.lyapunov > 0.001)) {
        a.Step();
        a.UpdateDimension();
        a.UpdateLyapunov();
    }
    EXPECT_EQ(a.count, 100);
    EXPECT_LT(a.lyapunov, 0.0);
}

TEST(Search, LorenzWithZeroStepStaysNearZeroExponent) {
    Lorenz_2L l;
    l.a = 10;
    l.b = 28;
    l.c = 2.667;
    l.dt = 0.0;
    l.Reset();
    RunEstimates(l, 100);
    EXPECT_NEAR(l.lyapunov, 0.0, 1e-6);
    EXPECT_LE(l.lyapunov, 0.001);
}

class SearchEveryFamily : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Families, SearchEveryFamily, ::testing::Range(0, kFamilyCount));

TEST_P(SearchEveryFamily, AcceptsOnlyAChaoticBoundedFractalOrbit) {
    RandomSeed(2024 + GetParam());
    const auto a = CreateAttractor(GetParam());
    int notified = 0;
    a->onDiverge = [&notified](Attractor&) { ++notified; };
    const SearchResult result = a->Search();
    EXPECT_FALSE(result.cancelled);
    EXPECT_GE(result.attempts, 1);
    EXPECT_FALSE(a->searching);
    EXPECT_FALSE(a->diverged);
    EXPECT_EQ(a->count, 20000);
    EXPECT_GE(a->lyapunov, 0.001);
    EXPECT_GE(a->dimension, 1.5);
    EXPECT_EQ(notified, 0); // divergence inside a search notifies nobody

    // The accepted parameters reproduce the accepted orbit's boundedness.
    a->Reset();
    for (int i = 0; i < 20000 && !a->diverged; ++i) {
        a->Step();
    }
    if (GetParam() != 1) { // the IFS orbit is random: only its maps are fixed
        EXPECT_FALSE(a->diverged);
    }
}

TEST(Search, AcceptedIfsHasContractingMapsAndNormalisedProbabilities) {
    RandomSeed(77);
    IFS ifs;
    ifs.Search();
    EXPECT_NEAR(ifs.probabilities[0] + ifs.probabilities[1], 1.0, 1e-12);
    for (int m = 0; m < 2; ++m) {
        EXPECT_LT(ifs.VolumeFactor(m), 1.0);
        EXPECT_NEAR(ifs.probabilities[m],
                    ifs.VolumeFactor(m) / (ifs.VolumeFactor(0) + ifs.VolumeFactor(1)), 1e-12);
    }
}

TEST(Search, CancelStopsBetweenAttemptsAndInsideLongOnes) {
    RandomSeed(1);
    const auto a = CreateAttractor(2);
    int polls = 0;
    const SearchResult none = a->Search([&polls] { return ++polls > 0; });
    EXPECT_TRUE(none.cancelled);
    EXPECT_EQ(none.attempts, 0);
    EXPECT_FALSE(a->searching);

    // A parameter draw that never stops (a slow, bounded orbit) is still polled inside.
    class Endless : public Attractor {
    public:
        void Randomize() override {}
        void Iterate(Vecd& p) override { p.x = p.x * 0.999 + 0.001; }
        void Reset() override {
            point = {0, 0, 0};
            CommonReset();
            shadow = point; // no stretch is ever measured, so the exponent keeps this value
            lyapunov = 1.0;
        }
    } endless;
    int insidePolls = 0;
    const SearchResult stopped = endless.Search([&insidePolls] { return ++insidePolls == 2; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.attempts, 1);
    EXPECT_EQ(endless.count, 10000);
}

} // namespace
} // namespace vorticel
