// What makes large images cheap changes no bit: points binned by tile give the bits of points
// splatted as they come, for every renderer, with one worker or several, on a band as on the
// whole image (every pixel must still receive its contributions in the points' order, across
// tile edges too); the tone tables of a large shading pass give the curve's own bytes; and
// a large buffer zeroed by taking fresh memory holds zeros like a small one zeroed in place.
#include "attractor/families/ifs.h"
#include "attractor/families/lorenz.h"
#include "attractor/rng.h"
#include "render/gas.h"
#include "render/large_pages.h"
#include "render/light.h"
#include "render/render_run.h"
#include "render/solid.h"
#include "render/tone_table.h"
#include "test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace vorticel {
namespace {

std::unique_ptr<Attractor> MakeSubject(bool lorenz) {
    if (lorenz) {
        auto l = std::make_unique<Lorenz_2L>();
        l->a = 10.0;
        l->b = 28.0;
        l->c = 2.667;
        l->dt = 0.01;
        return l;
    }
    // Three halvings toward three corners drawn at random: points all over the image at once.
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

// Every accumulation buffer of the renderer, as bits.
std::vector<std::uint32_t> AccumulationBits(const Renderer& b) {
    std::vector<float> values;
    const auto add = [&values](const auto& buffer) {
        const auto* first = reinterpret_cast<const float*>(buffer.data());
        values.insert(values.end(), first, first + buffer.size() * sizeof(buffer[0]) / 4);
    };
    if (const auto* liquid = dynamic_cast<const LiquidRenderer*>(&b)) {
        add(liquid->Depth());
    }
    if (const auto* gas = dynamic_cast<const GasRenderer*>(&b)) {
        add(gas->Density());
    }
    if (const auto* plasma = dynamic_cast<const PlasmaRenderer*>(&b)) {
        add(plasma->Depth());
    }
    if (const auto* light = dynamic_cast<const LightRenderer*>(&b)) {
        add(light->Colours());
    }
    if (const auto* solid = dynamic_cast<const SolidRenderer*>(&b)) {
        add(solid->Pixels());
        for (const Light& l : solid->Lights()) {
            add(l.lightMap);
        }
    }
    std::vector<std::uint32_t> bits(values.size());
    std::memcpy(bits.data(), values.data(), values.size() * sizeof(float));
    return bits;
}

class TileBinningKind : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Kinds, TileBinningKind, ::testing::Range(0, kRendererCount),
                         test::KindName);

TEST_P(TileBinningKind, BinnedPointsGiveTheBitsOfPointsSplattedAsTheyCome) {
    struct Case {
        bool lorenz;
        std::int32_t threads;
        std::int32_t firstRow; // of a band, or 0 with endRow 0: the whole image
        std::int32_t endRow;
        double zoom = 1.3; // past the edges; below 1, every point lands and the bins fill
    };
    // 300 x 200: tile edges at columns 127/128, 255/256 and rows 63/64, 127/128, 191/192,
    // with a part tile at the right and the top; the band starts off the tiles' rows.
    for (const Case c : {Case{true, 1, 0, 0}, Case{true, 2, 0, 0}, Case{false, 2, 0, 0},
                         Case{false, 1, 0, 0}, Case{true, 3, 37, 170}, Case{true, 1, 0, 0, 0.7}}) {
        SCOPED_TRACE(::testing::Message()
                     << "lorenz " << c.lorenz << ", " << c.threads << " workers, rows "
                     << c.firstRow << ".." << c.endRow << ", zoom " << c.zoom);
        std::vector<std::uint32_t> bits[2];
        std::vector<std::uint8_t> images[2];
        for (const TileBinning binning : {TileBinning::Never, TileBinning::Always}) {
            const int k = binning == TileBinning::Always ? 1 : 0;
            const std::unique_ptr<Attractor> a = MakeSubject(c.lorenz);
            RandomSeed(13);
            const std::unique_ptr<Renderer> b = test::MakeRenderer(GetParam(), 300, 200);
            b->GetCamera().RotateByDrag(30.0, 20.0);
            ASSERT_TRUE(Fit(*a, *b, kFitPoints, FitMode::Adjust));
            b->GetCamera().SetZoom(b->GetCamera().Zoom() * c.zoom);
            b->SetBand(c.firstRow, c.endRow);
            b->SetTileBinning(binning);
            const RenderRunResult r = RenderRun(*a, *b, 3 * kMinWorkerIterations, 4, {}, c.threads);
            EXPECT_EQ(r.threads, c.threads);
            bits[k] = AccumulationBits(*b);
            images[k] = b->GetImage().Rows();
        }
        EXPECT_FALSE(bits[0].empty());
        EXPECT_TRUE(bits[0] == bits[1]);
        EXPECT_EQ(images[0], images[1]);
    }
}

// The render loop holds each point back from the lights' maps for a few points: whatever the
// length of a call, every point is in the maps when it returns, in the orbit's order.
TEST(SolidLights, HeldPointsReachTheMapsAsPointsSplattedAsTheyCome) {
    std::unique_ptr<Attractor> a[2] = {MakeSubject(true), MakeSubject(true)};
    std::unique_ptr<Renderer> b[2];
    for (int k = 0; k < 2; ++k) {
        RandomSeed(17);
        b[k] = test::MakeRenderer(kSolid, 120, 80);
        ASSERT_TRUE(Fit(*a[k], *b[k], kFitPoints, FitMode::Adjust));
        b[k]->ClearImage();
    }
    for (const std::int32_t n : {5, 16, 17, 1, 1000, 31}) {
        const std::int32_t end = a[0]->count + n;
        b[0]->Accumulate(*a[0], end);
        while (a[1]->count < end) {
            b[1]->PlotPoint(b[1]->ProjectPoint(a[1]->point));
            a[1]->Step();
        }
        ASSERT_EQ(a[0]->count, end);
        EXPECT_TRUE(AccumulationBits(*b[0]) == AccumulationBits(*b[1])) << "after " << n;
    }
}

// A pass over many pixels shades through a table of the tone curve, a row alone through the
// curve itself; with shading values that leave most pixels off the clamps. Rows of 324
// pixels: a whole pass's blocks of pixels run across rows, a row's end in a partial block.
TEST_P(TileBinningKind, TheToneTableGivesTheCurvesOwnBytes) {
    const std::unique_ptr<Attractor> a = MakeSubject(false);
    RandomSeed(5);
    const std::unique_ptr<Renderer> b = test::MakeRenderer(GetParam(), 324, 240);
    ASSERT_TRUE(Fit(*a, *b, kFitPoints, FitMode::Adjust));
    RenderRun(*a, *b, 2 * kMinWorkerIterations, 1, {}, 1);
    const auto setTone = [&b](float brightness, float gamma) {
        if (auto* gas = dynamic_cast<GasRenderer*>(b.get())) {
            gas->SetBrightness(brightness);
            gas->SetGamma(gamma);
        } else if (auto* light = dynamic_cast<LightRenderer*>(b.get())) {
            light->SetBrightness(brightness);
            light->SetGamma(gamma);
        } else if (auto* solid = dynamic_cast<SolidRenderer*>(b.get())) {
            solid->SetOpacity(brightness);
            solid->SetGamma(gamma);
        }
    };
    for (const auto& [brightness, gamma] : {std::pair{1.0f, 1.0f}, std::pair{2.0f, 2.5f},
                                            std::pair{1.0f, 4.3f}, std::pair{7.0f, 1.7f}}) {
        SCOPED_TRACE(::testing::Message() << brightness << " " << gamma);
        setTone(brightness, gamma);
        ASSERT_TRUE(b->ShadeImage());
        const std::vector<std::uint8_t> whole = b->GetImage().Rows();
        setTone(brightness + 1.0f, gamma); // other bytes, for the rows to overwrite
        ASSERT_TRUE(b->ShadeImage());
        ASSERT_NE(b->GetImage().Rows(), whole);
        setTone(brightness, gamma);
        ASSERT_TRUE(b->BeginShade());
        for (std::int32_t row = 0; row < b->BandRows(); ++row) {
            b->ShadeRows(row, row + 1);
        }
        EXPECT_EQ(b->GetImage().Rows(), whole);
        EXPECT_GT(std::set<std::uint8_t>(whole.begin(), whole.end()).size(), 100u);
    }
}

// The table against its curve over floats of every magnitude, and the values that reach no
// threshold (zero, negatives, NaN), which the shading gives to the table as they come.
TEST(ToneTable, GivesEveryFloatTheCurvesByteAndZeroToTheRest) {
    const auto curve = [](float v) {
        const double level = 510.0 * std::pow(static_cast<double>(v) / 3.5, 1.0 / 2.5);
        return static_cast<std::uint8_t>(level < 255.0 ? level : 255.0);
    };
    const ToneTable table(curve);
    std::uint32_t bits = 1;
    std::size_t wrong = 0;
    for (int i = 0; i < 200000; ++i) {
        bits = bits * 1664525u + 1013904223u;
        float v;
        const std::uint32_t positive = bits & 0x7F7FFFFFu; // finite, at or above 0
        std::memcpy(&v, &positive, sizeof v);
        wrong += v > 0.0f && table(v) != curve(v);
    }
    // Through the curve's own range, and at each step of it the floats either side.
    const auto floatOf = [](std::uint32_t b) {
        float f;
        std::memcpy(&f, &b, sizeof f);
        return f;
    };
    std::size_t steps = 0;
    for (std::uint32_t b = 0x322BCC77u; b < 0x40800000u; b += 997) { // 1e-8 .. 4
        wrong += table(floatOf(b)) != curve(floatOf(b));
        if (curve(floatOf(b)) != curve(floatOf(b + 997))) {
            std::uint32_t lo = b;
            std::uint32_t hi = b + 997;
            while (hi - lo > 1) {
                const std::uint32_t mid = lo + (hi - lo) / 2;
                (curve(floatOf(mid)) == curve(floatOf(b)) ? lo : hi) = mid;
            }
            wrong += table(floatOf(lo)) != curve(floatOf(lo));
            wrong += table(floatOf(hi)) != curve(floatOf(hi));
            ++steps;
        }
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(steps, 255u);
    for (const float v :
         {0.0f, -0.0f, -1.0f, -std::numeric_limits<float>::denorm_min(),
          -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_EQ(table(v), 0) << v;
    }
    EXPECT_EQ(table(std::numeric_limits<float>::denorm_min()),
              curve(std::numeric_limits<float>::denorm_min()));
    EXPECT_EQ(table(std::numeric_limits<float>::infinity()), 255);
}

// Below and above the size from which zeroing takes fresh memory; whatever was written before.
TEST(LargeBuffer, MadeOrZeroedHoldsZerosAtEverySize) {
    for (const std::size_t n : {std::size_t{1000}, kFreshZerosFromBytes / sizeof(float) + 3}) {
        LargeBuffer<float> b(n);
        ASSERT_EQ(b.size(), n);
        EXPECT_EQ(std::count(b.begin(), b.end(), 0.0f), static_cast<std::ptrdiff_t>(n));
        for (std::size_t i = 0; i < n; i += 997) {
            b[i] = static_cast<float>(i) + 0.5f;
        }
        const LargeBuffer<float> copy = b;
        EXPECT_TRUE(std::equal(b.begin(), b.end(), copy.begin()));
        ZeroBuffer(b);
        ASSERT_EQ(b.size(), n);
        EXPECT_EQ(std::count(b.begin(), b.end(), 0.0f), static_cast<std::ptrdiff_t>(n));
        EXPECT_EQ(copy[997], 997.5f); // the copy is its own
        b.assign(n, 1.0f);
        EXPECT_EQ(std::count(b.begin(), b.end(), 1.0f), static_cast<std::ptrdiff_t>(n));
        ZeroBuffer(b);
        EXPECT_EQ(std::count(b.begin(), b.end(), 0.0f), static_cast<std::ptrdiff_t>(n));
    }
}

TEST(LargeBuffer, CopiesHoldTheSourcesBytesWhereverItsZerosLie) {
    // Whole blocks of zeros between lone values, a negative zero (a nonzero byte) alone in its
    // block, and a value in the last, partial block.
    const std::size_t n = 10 * 1024 + 5;
    LargeBuffer<float> source(n);
    source[3] = 1.5f;
    source[3 * 1024 + 7] = -0.0f;
    source[6 * 1024] = 2.0f;
    source[n - 1] = 3.0f;
    LargeBuffer<float> assigned;
    assigned.assign(n, 7.0f); // what a copy assigned over it must not keep
    assigned = source;
    const LargeBuffer<float> copied(source);
    for (const LargeBuffer<float>* copy :
         {&copied, static_cast<const LargeBuffer<float>*>(&assigned)}) {
        ASSERT_EQ(copy->size(), n);
        EXPECT_EQ(std::memcmp(copy->data(), source.data(), n * sizeof(float)), 0);
    }
}

TEST(LargeBuffer, EveryWayOfWritingShowsInLaterCopies) {
    // A copy of a buffer nothing wrote to skips reading it, so every way in which a buffer can
    // be written must end that, including writes through a pointer taken before the copy.
    const std::size_t n = 3000;
    std::vector<LargeBuffer<float>> written;
    written.emplace_back(n);
    float* const early = written.back().data();
    early[n - 1] = 1.0f;
    written.emplace_back(n);
    written.back()[5] = 1.0f;
    written.emplace_back(n);
    std::fill(written.back().begin(), written.back().end(), 1.0f);
    written.emplace_back();
    written.back().assign(n, 1.0f);
    LargeBuffer<float> swapped(n);
    LargeBuffer<float> other(n);
    other[7] = 1.0f;
    swapped.swap(other);
    written.push_back(std::move(swapped));
    LargeBuffer<float> moved(n);
    LargeBuffer<float> source(n);
    source[9] = 1.0f;
    moved = std::move(source);
    written.push_back(std::move(moved));
    for (std::size_t k = 0; k < written.size(); ++k) {
        const LargeBuffer<float> copy(written[k]);
        const LargeBuffer<float> copyOfCopy(copy);
        for (const LargeBuffer<float>* c : {&copy, &copyOfCopy}) {
            ASSERT_EQ(c->size(), n) << k;
            EXPECT_EQ(std::memcmp(c->data(), std::as_const(written[k]).data(), n * sizeof(float)),
                      0)
                << k;
        }
    }
    // Written after it was copied: the copy stays zeros, the source keeps its value.
    LargeBuffer<float> fresh(n);
    const LargeBuffer<float> before(fresh);
    fresh[0] = 2.0f;
    EXPECT_EQ(std::as_const(before)[0], 0.0f);
    EXPECT_EQ(LargeBuffer<float>(fresh)[0], 2.0f);
}

} // namespace
} // namespace vorticel
