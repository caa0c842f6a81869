// The overview scan's sampling and acceptance.
#include "attractor/families/lorenz.h"
#include "attractor/overview_scan.h"
#include "attractor/rng.h"

#include <gtest/gtest.h>

namespace vorticel {
namespace {

TEST(OverviewScan, AStableFixedPointEndsAtIteration100AndIsRejected) {
    Lorenz_2L lorenz;
    OverviewScan scan(lorenz);
    EXPECT_FALSE(scan.Evaluate({10.0, 0.5, 2.667})); // B < 1: the origin attracts
    EXPECT_EQ(lorenz.count, 100);
    EXPECT_LE(lorenz.lyapunov, 0.001);
    EXPECT_EQ(lorenz.dt, 0.1);
    EXPECT_EQ(scan.trials, 1);
    EXPECT_EQ(scan.accepted, 0);
    EXPECT_FALSE(scan.previousAccepted);
}

TEST(OverviewScan, ADivergentTrialIsRejected) {
    Lorenz_2L lorenz;
    OverviewScan scan(lorenz);
    EXPECT_FALSE(scan.Evaluate({19.9, 19.9, 19.9})); // A dT = 2: the Euler step explodes
    EXPECT_TRUE(lorenz.diverged);
    EXPECT_LT(lorenz.count, OverviewScan::kTrialLength);
}

TEST(OverviewScan, AcceptedTriplesWidenTheBoxAndStartAWalk) {
    RandomSeed(12);
    Lorenz_2L lorenz;
    OverviewScan scan(lorenz);
    // dT 0.1 is coarse; these values give a bounded chaotic orbit there.
    const OverviewScan::Triple chaotic{4.0, 8.0, 1.0};
    ASSERT_TRUE(scan.Evaluate(chaotic)) << lorenz.lyapunov << " " << lorenz.dimension;
    EXPECT_EQ(lorenz.count, OverviewScan::kTrialLength);
    EXPECT_EQ(scan.accepted, 1);
    EXPECT_EQ(scan.minimum.b, 8.0);
    EXPECT_EQ(scan.maximum.b, 8.0);
    for (int i = 0; i < 100; ++i) {
        const OverviewScan::Triple next = scan.NextTriple(); // a step of at most 0.5
        EXPECT_LE(std::abs(next.a - chaotic.a), 0.5);
        EXPECT_LE(std::abs(next.b - chaotic.b), 0.5);
        EXPECT_LE(std::abs(next.c - chaotic.c), 0.5);
    }
}

TEST(OverviewScan, SamplingMovesFromUniformToTheWidenedBoxAfter20Acceptances) {
    RandomSeed(3);
    Lorenz_2L lorenz;
    OverviewScan scan(lorenz);
    scan.minimum = {4.0, 10.0, 1.0};
    scan.maximum = {6.0, 20.0, 3.0};
    scan.accepted = 19;
    bool outside = false;
    for (int i = 0; i < 1000; ++i) {
        const OverviewScan::Triple t = scan.NextTriple();
        outside = outside || t.a < 3.0 || t.a > 7.0;
        ASSERT_GE(t.a, 0.0);
        ASSERT_LE(t.a, 20.0);
    }
    EXPECT_TRUE(outside); // 19 acceptances: still uniform in [0, 20)
    scan.accepted = 20;
    for (int i = 0; i < 1000; ++i) {
        const OverviewScan::Triple t = scan.NextTriple();
        ASSERT_GE(t.a, 5.0 - 1.1); // the box [4, 6] widened by 10 % about its middle
        ASSERT_LE(t.a, 5.0 + 1.1);
        ASSERT_GE(t.b, 15.0 - 5.5);
        ASSERT_LE(t.b, 15.0 + 5.5);
        ASSERT_GE(t.c, 2.0 - 1.1);
        ASSERT_LE(t.c, 2.0 + 1.1);
    }
}

TEST(OverviewScan, PixelPosition) {
    int x = 0;
    int y = 0;
    OverviewScan::PixelOf({1.0, 2.0, 3.0}, x, y);
    EXPECT_EQ(x, 32);  // (1 + 3) x 8
    EXPECT_EQ(y, 286); // 300 - ((1 - 3) / 3 + 2) x 10 = 286.67, truncated
    OverviewScan::PixelOf({10.0, 28.0, 0.5}, x, y);
    EXPECT_EQ(x, 84);
    EXPECT_EQ(y, -11); // 300 - (9.5 / 3 + 28) x 10 = -11.67, truncated toward zero
    OverviewScan::PixelOf({1e300, 0.0, 0.0}, x, y);
    EXPECT_EQ(x, -1);
}

} // namespace
} // namespace vorticel
