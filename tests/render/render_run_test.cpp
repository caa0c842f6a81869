// The render run (warm-up, plotting, refreshes, progress, stop, divergence) and the fit.
#include "attractor/attractor.h"
#include "render/accumulate.h"
#include "render/bitmap3d.h"
#include "render/gas.h"
#include "render/render_run.h"
#include "test_support.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace vorticel {
namespace {

// Flips between (0.25, 0.25, 0) and its opposite, which land on the whole pixels (10, 30) and
// (30, 10) of a 40 x 40 view; the step taken at count `divergeAt` throws the point away.
class Seesaw : public Attractor {
public:
    void Reset() override {
        point = {0.25, 0.25, 0.0};
        CommonReset();
    }
    void Iterate(Vecd& p) override {
        p = {-p.x, -p.y, p.z};
        if (count == divergeAt) {
            p.x = 1e6;
        }
    }
    std::int32_t divergeAt = -1;
};

// Walks along x one unit per step from (1, 0.5, 0), so a point tells its count.
class Walker : public Seesaw {
public:
    void Reset() override {
        point = {1.0, 0.5, 0.0};
        CommonReset();
    }
    void Iterate(Vecd& p) override {
        p.x += 1.0;
        if (count == divergeAt) {
            p.x = 1e6;
        }
    }
};

// Counts what reaches it: each refresh remembers the count of the last plotted point and how
// many points had been plotted.
class Counting : public TBitmap3D {
public:
    explicit Counting(const Attractor& a) : TBitmap3D(nullptr), attractor(a) { SetDefaults(); }
    void SetDefaults() override { kind = kGas; }
    void PlotPoint(const Vecd&) override {
        if (plotted++ == 0) {
            firstCount = attractor.count;
        }
        lastCount = attractor.count;
    }
    void ClearImage() override {
        TBitmap3D::ClearImage();
        ++clears;
    }
    void FinishImage() override { refreshes.push_back({lastCount, plotted}); }
    void Accumulate(Attractor& a, std::int32_t endCount) override {
        AccumulateWith(*this, a, endCount);
    }

    struct Refresh {
        std::int64_t lastCount;
        std::int64_t plotted;
    };
    const Attractor& attractor;
    std::int64_t plotted = 0;
    std::int64_t firstCount = -1;
    std::int64_t lastCount = -1;
    int clears = 0;
    std::vector<Refresh> refreshes;
};

// The default run of 20,000,000 iterations; a tenth of it under AddressSanitizer, which slows
// the loop about tenfold. Ten refreshes either way.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::int32_t kLongRun = kDefaultIterations / 10;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr std::int32_t kLongRun = kDefaultIterations / 10;
#else
constexpr std::int32_t kLongRun = kDefaultIterations;
#endif
#else
constexpr std::int32_t kLongRun = kDefaultIterations;
#endif

TEST(RefreshPeriod, IsTargetOverUpdatesAndAtLeastOne) {
    EXPECT_EQ(RefreshPeriod(20000000, 10), 2000000);
    EXPECT_EQ(RefreshPeriod(1000005, 10), 100000);
    EXPECT_EQ(RefreshPeriod(1005, 10), 100);
    EXPECT_EQ(RefreshPeriod(5, 10), 1);
}

TEST(RenderRun, DefaultRunRefreshesTenTimesOnPeriodBoundaries) {
    Seesaw a;
    a.count = 777; // whatever the attractor did before, the run resets it
    Counting b(a);
    int starting = 0;
    int finished = 0;
    std::vector<std::int32_t> progress;
    RunHooks hooks;
    hooks.progress = [&](std::int32_t c) { progress.push_back(c); };
    hooks.refreshStarting = [&] { ++starting; };
    hooks.refreshed = [&] { ++finished; };
    ASSERT_EQ(kDefaultIterations, 20000000);
    ASSERT_EQ(kDefaultUpdates, 10);
    const RenderRunResult r = RenderRun(a, b, kLongRun, kDefaultUpdates, hooks);

    EXPECT_EQ(b.clears, 1);
    EXPECT_EQ(b.firstCount, 1000); // the first 1,000 iterations are not plotted
    EXPECT_EQ(b.plotted, kLongRun - 1000);
    EXPECT_EQ(r.count, kLongRun);
    EXPECT_FALSE(r.stopped);
    EXPECT_FALSE(r.diverged);
    ASSERT_EQ(b.refreshes.size(), std::size_t(10)); // none extra at the end
    EXPECT_EQ(r.refreshes, 10);
    EXPECT_EQ(starting, 10);
    EXPECT_EQ(finished, 10);
    for (std::size_t k = 0; k < 10; ++k) {
        const std::int64_t boundary = std::int64_t(k + 1) * (kLongRun / 10);
        EXPECT_EQ(b.refreshes[k].lastCount, boundary - 1) << k;
        EXPECT_EQ(b.refreshes[k].plotted, boundary - 1000) << k;
    }
    // Events are pumped at least every 10,000 iterations, all through the run.
    ASSERT_FALSE(progress.empty());
    EXPECT_LE(progress.front(), 10001);
    EXPECT_GE(progress.back(), kLongRun - 10000);
    for (std::size_t i = 1; i < progress.size(); ++i) {
        ASSERT_LE(progress[i] - progress[i - 1], 10000) << i;
        ASSERT_GT(progress[i], progress[i - 1]) << i;
    }
}

TEST(RenderRun, TargetOffThePeriodGetsOneLastRefresh) {
    Seesaw a;
    Counting b(a);
    const RenderRunResult r = RenderRun(a, b, 1000005, 10);
    ASSERT_EQ(b.refreshes.size(), std::size_t(11));
    EXPECT_EQ(r.refreshes, 11);
    EXPECT_EQ(b.refreshes[9].lastCount, 999999);
    EXPECT_EQ(b.refreshes[10].lastCount, 1000004);
    EXPECT_EQ(b.refreshes[10].plotted, 1000005 - 1000);
}

TEST(RenderRun, TargetBelowTheUpdateCountRefreshesAfterEveryPoint) {
    Seesaw a;
    Counting b(a);
    RenderRun(a, b, 1005, 2000);
    ASSERT_EQ(b.refreshes.size(), std::size_t(5));
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(b.refreshes[k].lastCount, std::int64_t(1000 + k));
    }
}

TEST(RenderRun, StopEndsTheRunAndStillRefreshes) {
    Seesaw a;
    Counting b(a);
    bool stop = false;
    std::int32_t stopAt = 0;
    RunHooks hooks;
    hooks.progress = [&](std::int32_t c) {
        if (!stop && c >= 50000) {
            stop = true;
            stopAt = c;
        }
    };
    hooks.stopRequested = [&] { return stop; };
    const RenderRunResult r = RenderRun(a, b, 1000000, 10, hooks);
    EXPECT_TRUE(r.stopped);
    EXPECT_GE(r.count, stopAt);
    EXPECT_LE(r.count, stopAt + 1);
    ASSERT_EQ(b.refreshes.size(), std::size_t(1)); // before the first period ends
    EXPECT_EQ(b.refreshes.back().plotted, b.plotted);
    EXPECT_EQ(b.plotted, r.count - 1000);
}

TEST(RenderRun, DivergenceEndsTheRun) {
    Seesaw a;
    a.divergeAt = 123456;
    Counting b(a);
    const RenderRunResult r = RenderRun(a, b, 1000000, 10);
    EXPECT_TRUE(r.diverged);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.count, 123457);
    EXPECT_EQ(b.lastCount, 123456); // its last good point is plotted, the wild one is not
    ASSERT_EQ(b.refreshes.size(), std::size_t(2));
    EXPECT_EQ(b.refreshes[0].lastCount, 99999);
    EXPECT_EQ(b.refreshes[1].plotted, b.plotted);
}

TEST(RenderRun, GasAccumulatesEveryPointAfterTheWarmUp) {
    Seesaw a;
    auto b = test::MakeRenderer(kGas, 40, 40);
    const auto& gas = dynamic_cast<const TBitmap3D_Gas&>(*b);
    const RenderRunResult r = RenderRun(a, *b, 101000, 10);
    EXPECT_EQ(r.refreshes, 10);
    EXPECT_EQ(gas.densityBuffer[test::Texel(*b, 10, 30)], 50000.0f);
    EXPECT_EQ(gas.densityBuffer[test::Texel(*b, 30, 10)], 50000.0f);
    double sum = 0.0;
    for (const float d : gas.densityBuffer) {
        sum += d;
    }
    EXPECT_EQ(sum, 100000.0);
    EXPECT_EQ(test::PixelAt(*b, 10, 30), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(test::PixelAt(*b, 20, 20), (std::vector<int>{0, 0, 0}));
}

TEST(Fit, PreviewOnlySkips500AndFillsTheRing) {
    Walker a;
    auto b = test::MakeRenderer(kGas, 40, 40);
    b->zoom = 2.0;
    EXPECT_TRUE(Fit(a, *b, 20000, FitMode::PreviewOnly));
    EXPECT_EQ(a.count, 20500);
    for (std::size_t i = 0; i < 20000; ++i) {
        ASSERT_EQ(b->pointRing[i].x, 501.0 + double(i)) << i; // the point of count 500 + i
    }
    EXPECT_EQ(b->ringIndex, 0);
    EXPECT_EQ(b->zoom, 2.0); // the camera is left alone
}

TEST(Fit, AdjustFramesTheSamePoints) {
    Walker a;
    auto b = test::MakeRenderer(kGas, 40, 40);
    b->zoom = 2.0;
    EXPECT_TRUE(Fit(a, *b, 20000, FitMode::Adjust));
    EXPECT_EQ(b->pointRing[0].x, 501.0);
    EXPECT_EQ(b->pointRing[19999].x, 20500.0);
    // Screen x = (1 - 2 x) / 2 at zoom 1: the extent is 19,999, the height none.
    EXPECT_NEAR(b->zoom * 19999.0, 0.95, 1e-12);
    EXPECT_DOUBLE_EQ(b->centre.x, (501.0 + 20500.0) / 2);
    EXPECT_DOUBLE_EQ(b->centre.y, 0.5);
}

TEST(Fit, CentreKeepsTheZoom) {
    Walker a;
    auto b = test::MakeRenderer(kGas, 40, 40);
    b->zoom = 2.0;
    EXPECT_TRUE(Fit(a, *b, 20000, FitMode::Center));
    EXPECT_EQ(b->zoom, 2.0);
    EXPECT_DOUBLE_EQ(b->centre.x, (501.0 + 20500.0) / 2);
}

TEST(Fit, DivergenceReportsFailureAndLeavesTheViewUnframed) {
    Walker a;
    a.divergeAt = 10000;
    auto b = test::MakeRenderer(kGas, 40, 40);
    b->zoom = 2.0;
    EXPECT_FALSE(Fit(a, *b, 20000, FitMode::Adjust));
    EXPECT_TRUE(a.diverged);
    EXPECT_EQ(b->zoom, 1.0); // as the framing pass left it: no FitView
    EXPECT_EQ(b->centre.x, 0.0);
    Walker again;
    again.divergeAt = 600;
    EXPECT_FALSE(Fit(again, *b, 20000, FitMode::PreviewOnly));
}

} // namespace
} // namespace vorticel
