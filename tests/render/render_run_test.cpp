// The render run (warm-up, plotting, refreshes, progress, stop, divergence) and the fit.
#include "attractor/attractor.h"
#include "render/accumulate.h"
#include "render/bitmap3d.h"
#include "render/gas.h"
#include "render/render_run.h"
#include "test_support.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
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

protected:
    std::unique_ptr<Attractor> NewOfSameKind() const override {
        auto copy = std::make_unique<Seesaw>();
        copy->divergeAt = divergeAt;
        return copy;
    }
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

// Counts on in x up to 50,000, then carries into y: the point of count c is
// (c mod 50,000, c div 50,000, 0), within the divergence bound however long the run.
class Odometer : public Seesaw {
public:
    void Reset() override {
        point = {0.0, 0.0, 0.0};
        CommonReset();
    }
    void Iterate(Vecd& p) override {
        p.x += 1.0;
        if (p.x >= kWrap) {
            p.x -= kWrap;
            p.y += 1.0;
        }
        if (count == divergeAt) {
            p.x = 1e6;
        }
    }
    // The count a point stands for; the start nudge of a second worker rounds away.
    static std::int64_t CountOf(const Vecd& p) { return std::llround(p.y * kWrap + p.x); }

protected:
    std::unique_ptr<Attractor> NewOfSameKind() const override {
        auto copy = std::make_unique<Odometer>();
        copy->divergeAt = divergeAt;
        return copy;
    }

private:
    static constexpr double kWrap = 50000.0;
};

// Counts what reaches it (its projection passes world points through): each refresh
// remembers the count of the last plotted point and how many points had been plotted.
class Tally : public TBitmap3D {
public:
    Tally() : TBitmap3D(nullptr) { SetDefaults(); }
    void SetDefaults() override { kind = kGas; }
    Vecd ProjectPoint(const Vecd& p) override { return p; }
    void PlotPoint(const Vecd& q) override {
        if (plotted++ == 0) {
            firstCount = Odometer::CountOf(q);
        }
        lastCount = Odometer::CountOf(q);
    }
    void ClearImage() override {
        TBitmap3D::ClearImage();
        ++clears;
    }
    bool BeginShade() override {
        refreshes.push_back({lastCount, plotted});
        return false;
    }
    void Accumulate(Attractor& a, std::int32_t endCount) override {
        AccumulateWith(*this, a, endCount);
    }
    std::unique_ptr<TBitmap3D> CopyForWorker() const override {
        return std::unique_ptr<TBitmap3D>(new Tally(*this));
    }
    // Points add up; the first and last counts are the first worker's. All in the first part.
    void MergeWorkers(const std::vector<TBitmap3D*>& workers, MergePart part) override {
        if (part.index != 0) {
            return;
        }
        const auto& first = static_cast<const Tally&>(*workers[0]);
        firstCount = first.firstCount;
        lastCount = first.lastCount;
        plotted = 0;
        for (const TBitmap3D* w : workers) {
            plotted += static_cast<const Tally&>(*w).plotted;
        }
    }
    std::int64_t AccumulationBytes() const override { return 0; }

    struct Refresh {
        std::int64_t lastCount;
        std::int64_t plotted;
    };
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
    Odometer a;
    a.count = 777; // whatever the attractor did before, the run resets it
    Tally b;
    int starting = 0;
    int finished = 0;
    RunHooks hooks;
    hooks.refreshStarting = [&] { ++starting; };
    hooks.refreshed = [&] { ++finished; };
    ASSERT_EQ(kDefaultIterations, 20000000);
    ASSERT_EQ(kDefaultUpdates, 10);
    const RenderRunResult r = RenderRun(a, b, kLongRun, kDefaultUpdates, hooks, 1);

    EXPECT_EQ(r.threads, 1);
    EXPECT_EQ(b.clears, 1);
    EXPECT_EQ(b.firstCount, 1000); // the first 1,000 iterations are not plotted
    EXPECT_EQ(b.plotted, kLongRun - 1000);
    EXPECT_EQ(r.count, kLongRun);
    EXPECT_EQ(a.count, kLongRun);
    EXPECT_EQ(Odometer::CountOf(a.point), kLongRun); // the orbit is handed back
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
}

TEST(RenderRun, TwoWorkersShareTheTargetAndMeetAtEachRefresh) {
    Odometer a;
    Tally b;
    const RenderRunResult r = RenderRun(a, b, 400000, 10, {}, 2);
    EXPECT_EQ(r.threads, 2);
    EXPECT_EQ(r.count, 400000); // the target is the total over the workers
    EXPECT_EQ(b.plotted, 400000 - 2 * 1000);
    // Each worker renders 200,000 with a period of 20,000; the merge at each boundary holds
    // both halves exactly as far.
    ASSERT_EQ(b.refreshes.size(), std::size_t(10));
    for (std::size_t k = 0; k < 10; ++k) {
        EXPECT_EQ(b.refreshes[k].plotted, 2 * (std::int64_t(k + 1) * 20000 - 1000)) << k;
        EXPECT_EQ(b.refreshes[k].lastCount, std::int64_t(k + 1) * 20000 - 1) << k;
    }
}

TEST(RenderRun, ThreadsAreCappedByTheTarget) {
    Odometer a;
    Tally b;
    EXPECT_EQ(RenderRun(a, b, 150000, 10, {}, 4).threads, 1);
    EXPECT_EQ(RenderRun(a, b, 300000, 10, {}, 4).threads, 3);
    EXPECT_EQ(a.count, 300000);
}

TEST(RenderRun, TargetOffThePeriodGetsOneLastRefresh) {
    Odometer a;
    Tally b;
    const RenderRunResult r = RenderRun(a, b, 1000005, 10, {}, 1);
    ASSERT_EQ(b.refreshes.size(), std::size_t(11));
    EXPECT_EQ(r.refreshes, 11);
    EXPECT_EQ(b.refreshes[9].lastCount, 999999);
    EXPECT_EQ(b.refreshes[10].lastCount, 1000004);
    EXPECT_EQ(b.refreshes[10].plotted, 1000005 - 1000);
}

TEST(RenderRun, TargetBelowTheUpdateCountRefreshesAfterEveryPoint) {
    Odometer a;
    Tally b;
    RenderRun(a, b, 1005, 2000);
    ASSERT_EQ(b.refreshes.size(), std::size_t(5));
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(b.refreshes[k].lastCount, std::int64_t(1000 + k));
    }
}

class StopKinds : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Threads, StopKinds, ::testing::Values(1, 2));

// A target that would take minutes: only the progress calls and the stop can end the run.
TEST_P(StopKinds, ProgressComesWhileTheRunGoesAndAStopEndsIt) {
    Odometer a;
    Tally b;
    const std::thread::id caller = std::this_thread::get_id();
    int calls = 0;
    bool countsAgree = true;
    bool onCaller = true;
    std::int32_t last = 0;
    std::int32_t stopAt = 0;
    RunHooks hooks;
    hooks.progress = [&](std::int32_t c) {
        ++calls;
        countsAgree = countsAgree && c == a.count && c >= last;
        onCaller = onCaller && std::this_thread::get_id() == caller;
        last = c;
        if (stopAt == 0 && c > 50000) {
            stopAt = c;
        }
    };
    hooks.stopRequested = [&] { return stopAt != 0; };
    const RenderRunResult r = RenderRun(a, b, 2000000000, 10, hooks, GetParam());
    EXPECT_TRUE(r.stopped);
    EXPECT_FALSE(r.diverged);
    EXPECT_GE(calls, 1);
    EXPECT_TRUE(countsAgree);
    EXPECT_TRUE(onCaller);
    EXPECT_GE(r.count, stopAt);
    EXPECT_LT(r.count, 2000000000);
    ASSERT_FALSE(b.refreshes.empty()); // the last refresh still happens
    EXPECT_EQ(b.refreshes.back().plotted, b.plotted);
    // Every iteration after a worker's warm-up is plotted (a worker stopped before the end of
    // its warm-up plots nothing).
    EXPECT_LE(r.count - b.plotted, 1000 * GetParam());
    EXPECT_GE(r.count - b.plotted, 1000);
}

TEST(RenderRun, DivergenceEndsTheRun) {
    Odometer a;
    a.divergeAt = 123456;
    int notified = 0;
    std::int32_t countWhenNotified = 0;
    a.onDiverge = [&](Attractor& d) {
        ++notified;
        countWhenNotified = d.count;
    };
    Tally b;
    const RenderRunResult r = RenderRun(a, b, 1000000, 10, {}, 1);
    EXPECT_TRUE(r.diverged);
    EXPECT_TRUE(a.diverged);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.count, 123457);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(countWhenNotified, 123457);
    EXPECT_EQ(b.lastCount, 123456); // its last good point is plotted, the wild one is not
    ASSERT_EQ(b.refreshes.size(), std::size_t(2));
    EXPECT_EQ(b.refreshes[0].lastCount, 99999);
    EXPECT_EQ(b.refreshes[1].plotted, b.plotted);
}

TEST(RenderRun, OneDivergingWorkerStopsTheOthersAndTellsTheCaller) {
    Odometer a;
    a.divergeAt = 150000; // every worker's orbit counts alike, so each diverges there
    const std::thread::id caller = std::this_thread::get_id();
    bool onCaller = false;
    a.onDiverge = [&](Attractor&) { onCaller = std::this_thread::get_id() == caller; };
    Tally b;
    const RenderRunResult r = RenderRun(a, b, 2000000, 10, {}, 2);
    EXPECT_TRUE(r.diverged);
    EXPECT_TRUE(onCaller);
    EXPECT_LE(r.count, 2 * 150001);
    EXPECT_EQ(b.refreshes.back().plotted, b.plotted);
}

TEST(RunThreadCount, RequestTargetAndMemoryEachCap) {
    EXPECT_EQ(RunThreadCount(kAllThreads, 2000000000, 1, 0), HardwareThreads());
    EXPECT_EQ(RunThreadCount(16, 20000000, 1000, 0), 16);
    EXPECT_EQ(RunThreadCount(16, 1000000, 1000, 0), 10); // 100,000 iterations a worker at least
    EXPECT_EQ(RunThreadCount(16, 50000, 1000, 0), 1);
    EXPECT_EQ(RunThreadCount(16, 20000000, 1000, 5500), 5); // what the budget holds
    EXPECT_EQ(RunThreadCount(16, 20000000, 1000, 10), 1);   // one worker whatever it costs
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
