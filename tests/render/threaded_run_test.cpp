// Render runs of the real renderers on worker threads, against a single orbit plotted point by
// point: the same bits from one worker, the same bits from the same seed, and from two
// workers an image that agrees with one worker's as well as two single orbits agree.
#include "attractor/families/ifs.h"
#include "attractor/families/lorenz.h"
#include "attractor/families/pickover.h"
#include "attractor/rng.h"
#include "render/gas.h"
#include "render/render_run.h"
#include "test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

namespace vorticel {
namespace {

// Fewer points under AddressSanitizer, which slows the loop about tenfold; the comparisons
// below hold at any count, since every image compared has the same number of points.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::int32_t kScale = 5;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr std::int32_t kScale = 1;
#else
constexpr std::int32_t kScale = 1;
#endif
#else
constexpr std::int32_t kScale = 1;
#endif

enum Subject { kLorenz, kSierpinski, kPickover };

void SetLorenz(Lorenz_2L& l) {
    l.a = 10.0;
    l.b = 28.0;
    l.c = 2.667;
    l.dt = 0.01;
}

void SetPickover(Pickover& p) {
    p.a = 2.24;
    p.b = 0.43;
    p.c = -0.65;
    p.d = -2.43;
}

// Pickover's map started a hair off its usual start: a second, independent orbit.
class NudgedPickover : public Pickover {
public:
    explicit NudgedPickover(double offset) : nudge(offset) { SetPickover(*this); }
    void Reset() override {
        Pickover::Reset();
        point = point + Vecd{nudge, nudge, nudge};
    }
    const double nudge;

protected:
    std::unique_ptr<Attractor> NewOfSameKind() const override {
        return std::make_unique<NudgedPickover>(nudge);
    }
};

std::unique_ptr<Attractor> MakeSubject(int subject) {
    switch (subject) {
    case kLorenz: {
        auto l = std::make_unique<Lorenz_2L>();
        SetLorenz(*l);
        return l;
    }
    case kSierpinski: { // three halvings toward three corners, drawn at random
        auto ifs = std::make_unique<IFS>(3);
        const double corners[3][3] = {{0.0, 0.0, 0.0}, {0.5, 0.0, 0.1}, {0.25, 0.45, 0.3}};
        for (int m = 0; m < 3; ++m) {
            double* c = &ifs->coefficients[12 * m];
            c[0] = c[4] = c[8] = 0.5;
            c[9] = corners[m][0];
            c[10] = corners[m][1];
            c[11] = corners[m][2];
            ifs->probabilities[m] = 1.0 / 3.0;
        }
        return ifs;
    }
    default: {
        auto p = std::make_unique<Pickover>();
        SetPickover(*p);
        return p;
    }
    }
}

// A view's renderer, turned a little and framed around the orbit.
std::unique_ptr<Renderer> Framed(Attractor& a, int kind, int width, int height) {
    std::unique_ptr<Renderer> b = test::MakeRenderer(kind, width, height);
    b->GetCamera().RotateByDrag(30.0, 20.0);
    EXPECT_TRUE(Fit(a, *b, kFitPoints, FitMode::Adjust));
    return b;
}

// The single orbit, one point at a time, as the loop of a view did it before threads.
void SingleOrbit(Attractor& a, Renderer& b, std::int32_t target) {
    b.ClearImage();
    a.Reset();
    while (!a.diverged && a.count < kWarmUp) {
        a.Step();
    }
    while (!a.diverged && a.count < target) {
        b.PlotPoint(b.ProjectPoint(a.point));
        a.Step();
    }
    b.FinishImage();
}

class OneWorker : public ::testing::TestWithParam<std::tuple<int, int>> {};
INSTANTIATE_TEST_SUITE_P(KindsAndSubjects, OneWorker,
                         ::testing::Combine(::testing::Range(0, kRendererCount),
                                            ::testing::Values(int(kLorenz), int(kSierpinski),
                                                              int(kPickover))));

TEST_P(OneWorker, GivesTheSingleOrbitImageBitForBit) {
    const auto [kind, subject] = GetParam();
    const std::int32_t target = 120000 / kScale;
    const std::unique_ptr<Attractor> a = MakeSubject(subject);
    RandomSeed(21);
    const std::unique_ptr<Renderer> expected = Framed(*a, kind, 64, 48);
    SingleOrbit(*a, *expected, target);
    const Vecd endPoint = a->point;
    const std::int32_t nextDraw = RandomNext();

    RandomSeed(21);
    const std::unique_ptr<Renderer> b = Framed(*a, kind, 64, 48);
    const RenderRunResult r = RenderRun(*a, *b, target, kDefaultUpdates, {}, 1);
    EXPECT_EQ(r.threads, 1);
    EXPECT_EQ(r.count, target);
    EXPECT_EQ(b->GetImage().Rows(), expected->GetImage().Rows());
    EXPECT_EQ(b->GetImage().Shown(), expected->GetImage().Shown());
    // The attractor and the shared generator are left as the single orbit leaves them.
    EXPECT_EQ(a->point.x, endPoint.x);
    EXPECT_EQ(a->point.z, endPoint.z);
    EXPECT_EQ(RandomNext(), nextDraw);
}

class EachKind : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Kinds, EachKind, ::testing::Range(0, kRendererCount), test::KindName);

TEST_P(EachKind, TheSameSeedAndThreadCountRepeatExactly) {
    const std::int32_t target = 2 * kMinWorkerIterations; // the least that takes two workers
    std::vector<std::uint8_t> images[3];
    for (int run = 0; run < 3; ++run) {
        const std::unique_ptr<Attractor> a = MakeSubject(kSierpinski); // the draws matter
        RandomSeed(run < 2 ? 8 : 9);
        const std::unique_ptr<Renderer> b = Framed(*a, GetParam(), 64, 48);
        EXPECT_EQ(RenderRun(*a, *b, target, kDefaultUpdates, {}, 2).threads, 2);
        images[run] = b->GetImage().Rows();
    }
    EXPECT_EQ(images[0], images[1]);
    EXPECT_NE(images[0], images[2]); // another seed, other draws
}

// Unshaded refreshes skip the merges the next one makes over: the run still ends on the shaded
// run's bits and refresh count, on one worker and on two, with a target no multiple of the
// refresh period (a last refresh after the skipped ones).
TEST_P(EachKind, UnshadedRefreshesEndOnTheShadedRunsBits) {
    const std::int32_t target = 2 * kMinWorkerIterations + 12345;
    for (const std::int32_t threads : {1, 2}) {
        SCOPED_TRACE(std::to_string(threads) + " workers");
        std::vector<std::uint8_t> images[2];
        std::int32_t refreshes[2] = {};
        for (const bool shaded : {true, false}) {
            const std::unique_ptr<Attractor> a = MakeSubject(kSierpinski);
            RandomSeed(5);
            const std::unique_ptr<Renderer> b = Framed(*a, GetParam(), 64, 48);
            RunHooks hooks;
            hooks.shadeRefreshes = shaded;
            const RenderRunResult r = RenderRun(*a, *b, target, 7, hooks, threads);
            EXPECT_EQ(r.threads, threads);
            ASSERT_TRUE(b->ShadeImage()); // as a poster's strip is shaded at the end
            images[shaded] = b->GetImage().Rows();
            refreshes[shaded] = r.refreshes;
        }
        EXPECT_EQ(images[0], images[1]);
        EXPECT_EQ(refreshes[0], refreshes[1]);
    }
}

// What the threads of a run split between them: the shading in bands of rows and the merge in
// slices of the buffers give the same bits as the whole job done at once.
TEST_P(EachKind, BandsAndSlicesGiveTheWholeJobsBits) {
    const std::unique_ptr<Attractor> a = MakeSubject(kLorenz);
    const std::unique_ptr<Renderer> b = Framed(*a, GetParam(), 64, 48);
    b->ClearImage();
    std::vector<std::unique_ptr<Renderer>> workers;
    std::vector<Renderer*> renderers;
    a->Reset();
    for (int k = 0; k < 3; ++k) {
        workers.push_back(b->CopyForWorker());
        renderers.push_back(workers.back().get());
        workers.back()->Accumulate(*a, a->count + 20000);
    }
    b->MergeWorkers(renderers, MergePart{});
    ASSERT_TRUE(b->ShadeImage());
    const std::vector<std::uint8_t> whole = b->GetImage().Rows();

    b->ClearImage();
    for (std::size_t part : {2u, 0u, 1u}) { // any order
        b->MergeWorkers(renderers, MergePart{part, 3});
    }
    ASSERT_TRUE(b->BeginShade());
    b->ShadeRows(30, 48);
    b->ShadeRows(0, 7);
    b->ShadeRows(7, 30);
    EXPECT_EQ(b->GetImage().Rows(), whole);
}

// Grey levels, the mean of the three bytes of each pixel.
std::vector<double> Grey(const Renderer& b) {
    std::vector<double> g(static_cast<std::size_t>(b.PixelCount()));
    for (std::size_t i = 0; i < g.size(); ++i) {
        g[i] = (b.GetImage().Rows()[3 * i] + b.GetImage().Rows()[3 * i + 1] +
                b.GetImage().Rows()[3 * i + 2]) /
               3.0;
    }
    return g;
}

struct Agreement {
    double meanAbsoluteDifference = 0.0;
    double correlation = 0.0;
    double blockMeanDifference = 0.0; // mean |difference| of the 8 x 8 block means
};

Agreement Compare(const std::vector<double>& a, const std::vector<double>& b, int width,
                  int height) {
    const auto n = static_cast<double>(a.size());
    Agreement r;
    const double ma = std::accumulate(a.begin(), a.end(), 0.0) / n;
    const double mb = std::accumulate(b.begin(), b.end(), 0.0) / n;
    double sab = 0.0;
    double saa = 0.0;
    double sbb = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        r.meanAbsoluteDifference += std::fabs(a[i] - b[i]) / n;
        sab += (a[i] - ma) * (b[i] - mb);
        saa += (a[i] - ma) * (a[i] - ma);
        sbb += (b[i] - mb) * (b[i] - mb);
    }
    r.correlation = sab / std::sqrt(saa * sbb);
    int blocks = 0;
    for (int by = 0; by + 8 <= height; by += 8) {
        for (int bx = 0; bx + 8 <= width; bx += 8) {
            double d = 0.0;
            for (int y = by; y < by + 8; ++y) {
                for (int x = bx; x < bx + 8; ++x) {
                    const std::size_t i = static_cast<std::size_t>(y) * width + x;
                    d += (a[i] - b[i]) / 64.0;
                }
            }
            r.blockMeanDifference += std::fabs(d);
            ++blocks;
        }
    }
    r.blockMeanDifference /= blocks;
    return r;
}

std::string Describe(const Agreement& x) {
    return "MAD " + std::to_string(x.meanAbsoluteDifference) + ", r " +
           std::to_string(x.correlation) + ", blocks " + std::to_string(x.blockMeanDifference);
}

// Two workers against one (whose orbit is the first worker's, twice as long) and against
// orbits of their own. The yardstick is how far single orbits from different nudged starts
// stray from one another: the worst of the pairs among the single-orbit images, the first one
// included; two workers may stray a quarter further. A map rather than a flow: its points are
// nearly independent draws, so a few hundred thousand already give steady statistics (a
// flow's orbit lingers, and the brightest pixel that every image is normalised by would vary
// from orbit to orbit).
TEST_P(EachKind, TwoWorkersAgreeWithOneAsTwoSingleOrbitsDo) {
    constexpr int kWidth = 96;
    constexpr int kHeight = 72;
    const std::int32_t target = 2000000 / kScale;
    const int kind = GetParam();
    const std::unique_ptr<Attractor> a = MakeSubject(kPickover);
    const std::unique_ptr<Renderer> b = Framed(*a, kind, kWidth, kHeight);
    const auto densitySum = [&b] {
        const auto* gas = dynamic_cast<const GasRenderer*>(b.get());
        return gas ? std::accumulate(gas->Density().begin(), gas->Density().end(), 0.0) : 0.0;
    };
    const auto render = [&](Attractor& subject, std::int32_t threads) {
        EXPECT_EQ(RenderRun(subject, *b, target, kDefaultUpdates, {}, threads).threads, threads);
        return Grey(*b);
    };
    std::vector<std::vector<double>> singles = {render(*a, 1)};
    const double oneDensity = densitySum();
    const std::vector<double> two = render(*a, 2);
    // Both workers' points are in the merge (one warm-up more; a liquid weighs each worker's
    // points against the surface as its worker saw it).
    EXPECT_NEAR(densitySum(), oneDensity, 0.03 * oneDensity);
    for (const double nudge : {3e-9, 5e-9, 7e-9}) {
        NudgedPickover other(nudge);
        singles.push_back(render(other, 1));
    }

    Agreement yardstick{0.0, 1.0, 0.0};
    for (std::size_t i = 0; i < singles.size(); ++i) {
        for (std::size_t j = i + 1; j < singles.size(); ++j) {
            const Agreement pair = Compare(singles[i], singles[j], kWidth, kHeight);
            yardstick.meanAbsoluteDifference =
                std::max(yardstick.meanAbsoluteDifference, pair.meanAbsoluteDifference);
            yardstick.correlation = std::min(yardstick.correlation, pair.correlation);
            yardstick.blockMeanDifference =
                std::max(yardstick.blockMeanDifference, pair.blockMeanDifference);
        }
    }
    RecordProperty("single_vs_single", Describe(yardstick));
    for (std::size_t i = 0; i < 2; ++i) {
        const Agreement x = Compare(two, singles[i], kWidth, kHeight);
        RecordProperty(i == 0 ? "two_vs_one" : "two_vs_other", Describe(x));
        EXPECT_LE(x.meanAbsoluteDifference, 1.25 * yardstick.meanAbsoluteDifference)
            << Describe(x) << " against " << Describe(yardstick);
        EXPECT_GE(x.correlation, yardstick.correlation - 0.01)
            << Describe(x) << " against " << Describe(yardstick);
        EXPECT_LE(x.blockMeanDifference, 1.25 * yardstick.blockMeanDifference)
            << Describe(x) << " against " << Describe(yardstick);
    }
}

} // namespace
} // namespace vorticel
