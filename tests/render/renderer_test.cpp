// The renderer core: size, projection, plotting margin, ring, framing, drag rotation, BMP.
#include "io/file_error.h"
#include "render/bmp_writer.h"
#include "render/gas.h"
#include "render/light.h"
#include "render/renderer.h"
#include "test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <sstream>
#include <utility>
#include <vector>

namespace vorticel {
namespace {

using test::MakeRenderer;

constexpr double kPi = 3.14159265358979323846;

class WidthRounding : public ::testing::TestWithParam<std::pair<int, int>> {};
INSTANTIATE_TEST_SUITE_P(Widths, WidthRounding,
                         ::testing::Values(std::pair{1023, 1020}, std::pair{320, 320},
                                           std::pair{640, 640}, std::pair{1024, 1024},
                                           std::pair{1280, 1280}, std::pair{1600, 1600},
                                           std::pair{1022, 1020}, std::pair{70000, 4464}));

TEST_P(WidthRounding, KeepsAMultipleOfFourBelow65536) {
    auto b = CreateRenderer(nullptr, kGas);
    b->SetHeight(2);
    b->SetWidth(GetParam().first);
    EXPECT_EQ(b->Width(), GetParam().second);
    EXPECT_EQ(b->GetImage().Rows().size(), std::size_t(GetParam().second) * 2 * 3);
}

TEST(Renderer, BuffersAppearOnceBothSidesArePositive) {
    auto b = CreateRenderer(nullptr, kGas);
    auto& gas = dynamic_cast<GasRenderer&>(*b);
    b->SetWidth(64);
    EXPECT_EQ(b->PixelCount(), 0);
    EXPECT_TRUE(b->GetImage().Rows().empty());
    EXPECT_TRUE(gas.Density().empty());
    b->SetHeight(32);
    EXPECT_EQ(b->PixelCount(), 64 * 32);
    EXPECT_EQ(b->GetImage().Rows().size(), std::size_t(64 * 32 * 3));
    EXPECT_EQ(gas.Density().size(), std::size_t(64 * 32));
    EXPECT_DOUBLE_EQ(b->GetCamera().Aspect(), 2.0);
    EXPECT_DOUBLE_EQ(b->GetCamera().ViewHeight(), 0.5);

    auto c = CreateRenderer(nullptr, kSolid); // the other order
    c->SetHeight(10);
    EXPECT_TRUE(c->GetImage().Rows().empty());
    c->SetWidth(8);
    EXPECT_EQ(c->GetImage().Rows().size(), std::size_t(8 * 10 * 3));
}

TEST(Renderer, DefaultCameraProjectionWorkedByHand) {
    // 200 x 100: clip x = -2 x, clip y = 4 y, clip z = (2 z - 41) / 49 for the eye (0, 0, -5).
    auto b = MakeRenderer(kGas, 200, 100);
    const Vecd origin = b->ProjectPoint({0.0, 0.0, 0.0});
    EXPECT_NEAR(origin.x, 100.0, 1e-9);
    EXPECT_NEAR(origin.y, 50.0, 1e-9);
    EXPECT_NEAR(origin.z, 4.0 / 49.0, 1e-12);
    const Vecd q = b->ProjectPoint({0.25, 0.1, 1.0});
    EXPECT_NEAR(q.x, 50.0, 1e-9); // world +x is to the left
    EXPECT_NEAR(q.y, 70.0, 1e-9);
    EXPECT_NEAR(q.z, 5.0 / 49.0, 1e-12); // farther away is deeper
}

// A band of rows (what a strip of a larger image needs) accumulates those rows of the whole
// image point for point, but for its own margin rows; by default the band is the image.
TEST(Renderer, ABandAccumulatesTheRowsItCoversAsTheWholeImageDoes) {
    auto whole = MakeRenderer(kGas, 64, 48);
    auto band = MakeRenderer(kGas, 64, 48);
    EXPECT_EQ(whole->FirstRow(), 0);
    EXPECT_EQ(whole->BandRows(), 48);
    band->SetBand(10, 30);
    ASSERT_EQ(band->BandRows(), 20);
    EXPECT_EQ(band->PixelCount(), 64 * 20);
    EXPECT_EQ(band->GetImage().Height(), 20);
    whole->ClearImage();
    band->ClearImage();
    for (int i = 0; i < 5000; ++i) {
        const Vecd p{0.45 * std::sin(i * 0.37), 0.45 * std::cos(i * 0.91),
                     0.1 * std::sin(i * 0.13)};
        whole->PlotPoint(whole->ProjectPoint(p));
        band->PlotPoint(band->ProjectPoint(p));
    }
    const auto& w = dynamic_cast<const GasRenderer&>(*whole).Density();
    const auto& b = dynamic_cast<const GasRenderer&>(*band).Density();
    float inside = 0.0f;
    for (std::size_t row = 2; row < 19; ++row) {
        for (std::size_t x = 0; x < 64; ++x) {
            ASSERT_EQ(b[row * 64 + x], w[(10 + row) * 64 + x]) << row << " " << x;
            inside += b[row * 64 + x];
        }
    }
    EXPECT_GT(inside, 100.0f);
    for (std::size_t x = 0; x < 64; ++x) {
        EXPECT_EQ(b[x], 0.0f); // the band's bottom row is a margin
    }
}

TEST(Renderer, StorePointWrapsAroundTheRing) {
    auto b = MakeRenderer(kGas, 8, 8);
    ASSERT_EQ(b->Ring().Size(), 20000);
    ASSERT_EQ(b->Ring().Points().size(), std::size_t(20000));
    for (int i = 0; i < 20003; ++i) {
        b->StorePoint({double(i), 0.0, 0.0});
    }
    EXPECT_EQ(b->Ring().Index(), 3);
    EXPECT_EQ(b->Ring().Points()[0].x, 20000.0);
    EXPECT_EQ(b->Ring().Points()[2].x, 20002.0);
    EXPECT_EQ(b->Ring().Points()[3].x, 3.0);
    EXPECT_EQ(b->Ring().Points()[19999].x, 19999.0);
}

TEST(Renderer, ResetViewStartsAFramingPassAtZoomOne) {
    auto b = MakeRenderer(kGas, 200, 100);
    b->GetCamera().SetZoom(3.0);
    b->GetCamera().SetPan(0.2, b->GetCamera().PanY());
    b->RestoreRing(b->Ring().Points(), 7);
    b->ResetView();
    EXPECT_EQ(b->GetCamera().Zoom(), 1.0);
    EXPECT_EQ(b->GetCamera().SavedZoom(), 3.0);
    EXPECT_EQ(b->GetCamera().PanX(), 0.0);
    EXPECT_EQ(b->Ring().Index(), 0);
    EXPECT_EQ(b->GetCamera().Extent().boundsMin.x, std::numeric_limits<double>::max());
    EXPECT_EQ(b->GetCamera().Extent().screenMax.y, -std::numeric_limits<double>::max());
    b->TrackPoint({1.0, -2.0, 0.5});
    b->TrackPoint({-1.0, 4.0, 0.25});
    EXPECT_EQ(b->Ring().Index(), 2);
    EXPECT_EQ(b->Ring().Points()[1].y, 4.0);
    EXPECT_EQ(b->GetCamera().Extent().boundsMin.x, -1.0);
    EXPECT_EQ(b->GetCamera().Extent().boundsMax.y, 4.0);
    EXPECT_EQ(b->GetCamera().Extent().boundsMin.z, 0.25);
    // Normalised screen x of world x = 1 and -1 (x runs right to left).
    EXPECT_NEAR(b->GetCamera().Extent().screenMin.x, -0.5, 1e-12);
    EXPECT_NEAR(b->GetCamera().Extent().screenMax.x, 1.5, 1e-12);
}

TEST(Renderer, ZeroExtentKeepsZoomOneAndCentresThePoint) {
    auto b = MakeRenderer(kGas, 200, 100);
    b->GetCamera().SetZoom(3.0);
    b->ResetView();
    for (int i = 0; i < 5; ++i) {
        b->TrackPoint({0.3, -0.2, 0.1});
    }
    b->FitView(true);
    EXPECT_EQ(b->GetCamera().Zoom(), 1.0);
    EXPECT_EQ(b->GetCamera().SavedZoom(), 1.0);
    const Vecd q = b->ProjectPoint({0.3, -0.2, 0.1});
    EXPECT_NEAR(q.x, 100.0, 1e-9);
    EXPECT_NEAR(q.y, 50.0, 1e-9);
}

// A framing pass over a small cloud seen through a turned camera; returns the normalised
// screen extents of the cloud afterwards, found from the combined matrix.
struct Extent {
    double minX, maxX, minY, maxY;
};

Extent FrameCloud(Renderer& b, bool recomputeZoom) {
    std::vector<Vecd> cloud;
    for (int i = 0; i < 60; ++i) {
        cloud.push_back({1.5 * std::sin(i * 0.37) + 0.4, 0.6 * std::cos(i * 0.91) - 0.3,
                         0.8 * std::sin(i * 1.3) + 0.1});
    }
    b.ResetView();
    for (const Vecd& p : cloud) {
        b.TrackPoint(p);
    }
    b.FitView(recomputeZoom);
    Extent e{1e300, -1e300, 1e300, -1e300};
    for (const Vecd& p : cloud) {
        const Vecd c = Transform(b.GetCamera().Combined(), p);
        e.minX = std::min(e.minX, (c.x + 1) * 0.5);
        e.maxX = std::max(e.maxX, (c.x + 1) * 0.5);
        e.minY = std::min(e.minY, (c.y + 1) * 0.5);
        e.maxY = std::max(e.maxY, (c.y + 1) * 0.5);
    }
    return e;
}

class EveryKind : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Kinds, EveryKind, ::testing::Range(0, kRendererCount), test::KindName);

TEST_P(EveryKind, AdjustCentresTheCloudAndFillsNinetyFivePercent) {
    auto b = MakeRenderer(GetParam(), 200, 100);
    b->GetCamera().RotateByDrag(37.0, 23.0);
    b->GetCamera().SetZoom(2.5);
    const Extent e = FrameCloud(*b, true);
    EXPECT_NE(b->GetCamera().Zoom(), 2.5);
    EXPECT_EQ(b->GetCamera().SavedZoom(), b->GetCamera().Zoom());
    EXPECT_NEAR(std::max(e.maxX - e.minX, e.maxY - e.minY), 0.95, 1e-9);
    EXPECT_NEAR((e.minX + e.maxX) / 2, 0.5, 1e-9);
    EXPECT_NEAR((e.minY + e.maxY) / 2, 0.5, 1e-9);
}

TEST_P(EveryKind, CentreKeepsTheZoomInForceBeforeThePass) {
    auto b = MakeRenderer(GetParam(), 200, 100);
    b->GetCamera().RotateByDrag(-12.0, 40.0);
    b->GetCamera().SetZoom(0.3);
    const Extent e = FrameCloud(*b, false);
    EXPECT_EQ(b->GetCamera().Zoom(), 0.3);
    EXPECT_NEAR((e.minX + e.maxX) / 2, 0.5, 1e-9);
    EXPECT_NEAR((e.minY + e.maxY) / 2, 0.5, 1e-9);
}

TEST(RotateByDrag, ShorterThanOnePixelChangesNothing) {
    auto b = MakeRenderer(kGas, 200, 100);
    b->GetCamera().RotateByDrag(0.0, 0.0);
    b->GetCamera().RotateByDrag(0.5, 0.5);
    EXPECT_EQ(b->GetCamera().RotationAngle(), 0.0);
    EXPECT_EQ(b->GetCamera().RotationAxis().x, 0.0);
    EXPECT_EQ(b->GetCamera().RotationAxis().y, 0.0);
    EXPECT_EQ(b->GetCamera().RotationAxis().z, 0.0);
}

TEST(RotateByDrag, OnePixelTurnsByPiOverWidth) {
    auto b = MakeRenderer(kGas, 200, 100);
    b->GetCamera().RotateByDrag(1.0, 0.0);
    EXPECT_NEAR(b->GetCamera().RotationAngle(), kPi / 200, 1e-12);
    EXPECT_NEAR(b->GetCamera().RotationAxis().y, 1.0, 1e-9);
    auto c = MakeRenderer(kGas, 200, 100);
    c->GetCamera().RotateByDrag(3.0, 4.0); // axis (dy, dx) / d
    EXPECT_NEAR(c->GetCamera().RotationAngle(), 5 * kPi / 200, 1e-12);
    EXPECT_NEAR(c->GetCamera().RotationAxis().x, 0.8, 1e-9);
    EXPECT_NEAR(c->GetCamera().RotationAxis().y, 0.6, 1e-9);
    EXPECT_NEAR(c->GetCamera().RotationAxis().z, 0.0, 1e-9);
}

TEST(RotateByDrag, TwoDragsOfTenEqualOneOfTwenty) {
    auto b = MakeRenderer(kGas, 200, 100);
    b->GetCamera().RotateByDrag(10.0, 0.0);
    b->GetCamera().RotateByDrag(10.0, 0.0);
    auto c = MakeRenderer(kGas, 200, 100);
    c->GetCamera().RotateByDrag(20.0, 0.0);
    EXPECT_NEAR(b->GetCamera().RotationAngle(), c->GetCamera().RotationAngle(), 1e-12);
    EXPECT_NEAR(b->GetCamera().RotationAngle(), 20 * kPi / 200, 1e-12);
    EXPECT_NEAR(b->GetCamera().RotationAxis().y, 1.0, 1e-9);
    // And back again: no rotation left.
    b->GetCamera().RotateByDrag(-20.0, 0.0);
    EXPECT_NEAR(b->GetCamera().RotationAngle(), 0.0, 1e-6);
}

TEST(RotateByDrag, FullWidthIsHalfATurn) {
    auto b = MakeRenderer(kGas, 200, 100);
    b->GetCamera().RotateByDrag(200.0, 0.0);
    EXPECT_NEAR(b->GetCamera().RotationAngle(), kPi, 1e-9);
    EXPECT_NEAR(b->GetCamera().RotationAxis().y, 1.0, 1e-9);
}

// Rodrigues' formula: v turned by `angle` about the unit `axis`.
Vecd Turn(const Vecd& v, const Vecd& axis, double angle) {
    const Vecd k = axis;
    const Vecd kxv{k.y * v.z - k.z * v.y, k.z * v.x - k.x * v.z, k.x * v.y - k.y * v.x};
    return v * std::cos(angle) + kxv * std::sin(angle) + k * (Dot(k, v) * (1 - std::cos(angle)));
}

TEST(RotateByDrag, ALaterDragTurnsAboutTheScreenAxis) {
    // A drag to the right (about y) then one upwards (about x): the up drag acts on the
    // already turned attractor, so the whole is R_x * R_y.
    auto b = MakeRenderer(kGas, 200, 100);
    b->GetCamera().RotateByDrag(50.0, 0.0);
    b->GetCamera().RotateByDrag(0.0, 30.0);
    const double ay = 50 * kPi / 200;
    const double ax = 30 * kPi / 200;
    for (const Vecd& v : {Vecd{1, 0, 0}, Vecd{0, 1, 0}, Vecd{0.3, -0.4, 0.8}}) {
        const Vecd expected = Turn(Turn(v, {0, 1, 0}, ay), {1, 0, 0}, ax);
        const Vecd actual = Turn(v, b->GetCamera().RotationAxis(), b->GetCamera().RotationAngle());
        EXPECT_NEAR(actual.x, expected.x, 1e-9);
        EXPECT_NEAR(actual.y, expected.y, 1e-9);
        EXPECT_NEAR(actual.z, expected.z, 1e-9);
    }
}

TEST_P(EveryKind, PointsOnTheOutermostRowsAndColumnsAreSkipped) {
    auto b = MakeRenderer(GetParam(), 40, 30);
    for (int i = 0; i < 200; ++i) { // something for the Solid lights to fit around
        b->StorePoint({0.3 * std::sin(i * 0.1), 0.2 * std::cos(i * 0.3), 0.1 * std::sin(i)});
    }
    if (auto* light = dynamic_cast<LightRenderer*>(b.get())) {
        light->SetPlotColour({1.0f, 1.0f, 1.0f});
    }
    b->ClearImage();
    const std::vector<std::uint8_t> cleared = b->GetImage().Rows();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const Vecd& q : {Vecd{0.0, 10.0, 0.5}, Vecd{0.99, 10.0, 0.5}, Vecd{10.0, 0.0, 0.5},
                          Vecd{10.0, 0.7, 0.5}, Vecd{39.0, 10.0, 0.5}, Vecd{39.5, 10.0, 0.5},
                          Vecd{10.0, 29.0, 0.5}, Vecd{10.0, 29.9, 0.5}, Vecd{-0.5, 10.0, 0.5},
                          Vecd{10.0, -3.0, 0.5}, Vecd{1e12, 1e12, 0.5}, Vecd{nan, 10.0, 0.5},
                          Vecd{10.0, nan, 0.5}, Vecd{inf, 10.0, 0.5}, Vecd{10.0, -inf, 0.5}}) {
        b->PlotPoint(q);
    }
    b->FinishImage();
    EXPECT_EQ(b->GetImage().Rows(), cleared);
    // The innermost accepted positions do change the image.
    for (const Vecd& q : {Vecd{1.0, 1.0, 0.5}, Vecd{38.5, 28.5, 0.5}}) {
        b->ClearImage();
        b->PlotPoint(q);
        b->FinishImage();
        EXPECT_NE(b->GetImage().Rows(), cleared) << q.x << ", " << q.y;
    }
}

TEST_P(EveryKind, TooLargeASizeLeavesAnEmptyImage) {
    auto b = MakeRenderer(GetParam(), 40, 30);
    b->SetWidth(20000);
    EXPECT_THROW(b->SetHeight(20000), RenderError);
    EXPECT_EQ(b->Width(), 0);
    EXPECT_EQ(b->Height(), 0);
    EXPECT_EQ(b->PixelCount(), 0);
    EXPECT_TRUE(b->GetImage().Rows().empty());
    EXPECT_TRUE(b->GetImage().Shown().empty());
    b->ClearImage(); // still usable
    b->FinishImage();
}

std::uint32_t Le(const std::vector<std::uint8_t>& f, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | f[at + static_cast<std::size_t>(i)];
    }
    return v;
}

TEST(BmpWriter, SavedBmpHasTheFirstBufferRowAtTheBottom) {
    Image image;
    image.Resize(8, 4);
    image.Fill({0.2f, 0.4f, 0.6f});
    image.Pixel(0)[0] = 1; // bottom-left pixel: blue 1, green 2, red 3
    image.Pixel(0)[1] = 2;
    image.Pixel(0)[2] = 3;
    image.Publish();
    const std::string path = ::testing::TempDir() + "vorticel_renderer_test.bmp";
    SaveBmp(path, image);
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> f((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    ASSERT_EQ(f.size(), std::size_t(54 + 8 * 4 * 3));
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(Le(f, 2, 4), 54u + 96u);
    EXPECT_EQ(Le(f, 6, 4), 0u);
    EXPECT_EQ(Le(f, 10, 4), 54u);
    EXPECT_EQ(Le(f, 14, 4), 40u);
    EXPECT_EQ(Le(f, 18, 4), 8u);
    EXPECT_EQ(Le(f, 22, 4), 4u); // positive: rows bottom-up
    EXPECT_EQ(Le(f, 26, 2), 1u);
    EXPECT_EQ(Le(f, 28, 2), 24u);
    EXPECT_EQ(Le(f, 30, 4), 0u);
    EXPECT_EQ(f[54], 1);
    EXPECT_EQ(f[55], 2);
    EXPECT_EQ(f[56], 3);
    // Everything else is the background: trunc(255 x 0.6, 0.4, 0.2) in blue, green, red.
    for (std::size_t i = 57; i < f.size(); i += 3) {
        EXPECT_EQ(f[i], 153);
        EXPECT_EQ(f[i + 1], 102);
        EXPECT_EQ(f[i + 2], 51);
    }
}

TEST(BmpWriter, AnImageWithoutPixelsIsJustTheHeaders) {
    for (const auto& [width, height] : {std::pair{0, 5}, std::pair{8, 0}}) {
        std::ostringstream out;
        WriteBmpTo(out, width, height, {}); // no row to index: no null reference
        const std::string f = out.str();
        ASSERT_EQ(f.size(), 54u);
        const std::vector<std::uint8_t> bytes(f.begin(), f.end());
        EXPECT_EQ(Le(bytes, 2, 4), 54u);
        EXPECT_EQ(Le(bytes, 18, 4), std::uint32_t(width));
    }
}

TEST(BmpWriter, SavingWhereNoFileCanBeWrittenThrows) {
    auto b = MakeRenderer(kGas, 8, 4);
    b->ClearImage();
    EXPECT_THROW(SaveBmp(::testing::TempDir() + "no/such/directory/image.bmp", b->GetImage()),
                 FileError);
}

} // namespace
} // namespace vorticel
