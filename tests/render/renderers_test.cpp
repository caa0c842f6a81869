// The five renderers: accumulation, tone mapping, colours and shading.
#include "render/gas.h"
#include "render/light.h"
#include "render/solid.h"
#include "test_support.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

namespace vorticel {
namespace {

using test::MakeRenderer;
using test::PixelAt;
using test::Texel;

using Bytes = std::vector<int>;

// ---- Gas and liquid ------------------------------------------------------------------------

TEST(Gas, PointAtWholePixelAddsOneThereAndSaturates) {
    auto b = MakeRenderer(kGas, 40, 30);
    auto& gas = dynamic_cast<GasRenderer&>(*b);
    b->ClearImage();
    b->PlotPoint({10.0, 12.0, 0.5});
    double sum = 0.0;
    for (const float d : gas.Density()) {
        sum += d;
    }
    EXPECT_EQ(gas.Density()[Texel(*b, 10, 12)], 1.0f);
    EXPECT_EQ(sum, 1.0);
    b->FinishImage();
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const int v = (x == 10 && y == 12) ? 255 : 0;
            ASSERT_EQ(PixelAt(*b, x, y), (Bytes{v, v, v})) << x << ", " << y;
        }
    }
}

// Density 100 at (10, 12), 25 at (20, 5), 10 at (5, 20) and 1 at (30, 20).
void PlotDensities(Renderer& b) {
    b.ClearImage();
    const struct {
        double x, y;
        int n;
    } spots[] = {{10, 12, 100}, {20, 5, 25}, {5, 20, 10}, {30, 20, 1}};
    for (const auto& s : spots) {
        for (int i = 0; i < s.n; ++i) {
            b.PlotPoint({s.x, s.y, 0.5});
        }
    }
}

TEST(Gas, ToneMappingOfDensityRatios) {
    auto b = MakeRenderer(kGas, 40, 30);
    auto& gas = dynamic_cast<GasRenderer&>(*b);
    PlotDensities(*b);
    b->FinishImage(); // defaults: 510 x v^0.4, clamped to 255
    EXPECT_EQ(PixelAt(*b, 10, 12)[0], 255);
    EXPECT_EQ(PixelAt(*b, 20, 5)[0], 255); // 292.9
    EXPECT_EQ(PixelAt(*b, 5, 20)[0], 203); // 203.03
    EXPECT_EQ(PixelAt(*b, 30, 20), (Bytes{80, 80, 80}));
    gas.SetBrightness(1.0f);
    gas.SetGamma(1.0f);
    b->FinishImage(); // the kept accumulation, linear now
    EXPECT_EQ(PixelAt(*b, 20, 5)[1], 63);
    EXPECT_EQ(PixelAt(*b, 5, 20)[1], 25);
    EXPECT_EQ(PixelAt(*b, 30, 20)[1], 2);
    gas.SetGamma(2.0f);
    b->FinishImage();
    EXPECT_EQ(PixelAt(*b, 20, 5)[2], 127);
}

class GreyKinds : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Kinds, GreyKinds, ::testing::Values(int(kGas), int(kLiquid)),
                         test::KindName);

TEST_P(GreyKinds, UnreachedPixelsTurnBlackWhateverTheBackground) {
    auto b = MakeRenderer(GetParam(), 40, 30);
    b->SetBackgroundColour({0.2f, 0.4f, 0.6f});
    b->ClearImage();
    EXPECT_EQ(PixelAt(*b, 3, 3), (Bytes{153, 102, 51}));
    b->PlotPoint({10.0, 12.0, 0.5});
    b->FinishImage();
    EXPECT_EQ(PixelAt(*b, 10, 12), (Bytes{255, 255, 255}));
    EXPECT_EQ(PixelAt(*b, 3, 3), (Bytes{0, 0, 0}));
    EXPECT_EQ(PixelAt(*b, 0, 0), (Bytes{0, 0, 0}));
}

// The soft depth test shared by the liquid and the plasma: accumulated amount and stored
// depth of one texel (the plasma plots white so its red channel counts the weight).
class SoftDepthKinds : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        b = MakeRenderer(GetParam(), 40, 30);
        if (auto* plasma = dynamic_cast<PlasmaRenderer*>(b.get())) {
            plasma->SetPlotColour({1.0f, 1.0f, 1.0f});
        }
        b->ClearImage();
    }
    double Amount(int x, int y) const {
        if (auto* liquid = dynamic_cast<LiquidRenderer*>(b.get())) {
            return liquid->Density()[Texel(*b, x, y)];
        }
        return dynamic_cast<PlasmaRenderer&>(*b).Colours()[Texel(*b, x, y)].r;
    }
    double Depth(int x, int y) const {
        if (auto* liquid = dynamic_cast<LiquidRenderer*>(b.get())) {
            return DepthOf(liquid->Depth()[Texel(*b, x, y)]);
        }
        return DepthOf(dynamic_cast<PlasmaRenderer&>(*b).Depth()[Texel(*b, x, y)]);
    }
    std::unique_ptr<Renderer> b;
};
INSTANTIATE_TEST_SUITE_P(Kinds, SoftDepthKinds, ::testing::Values(int(kLiquid), int(kPlasma)),
                         test::KindName);

TEST_P(SoftDepthKinds, FrontPointsCountFullyBehindOnesFadeOut) {
    const double step = 1.0 / (10.0 * 49.0); // one unit of the depth test at zoom 1
    ASSERT_DOUBLE_EQ(b->GetCamera().DepthRange(), 49.0);
    EXPECT_EQ(Depth(10, 12), 1.0);
    b->PlotPoint({10.0, 12.0, 0.5}); // in front of the far plane: full weight, depth moves
    EXPECT_NEAR(Amount(10, 12), 1.0, 1e-6);
    EXPECT_NEAR(Depth(10, 12), 0.5, 1e-7);
    b->PlotPoint({10.0, 12.0, 0.5}); // at the stored depth: half, depth stays
    EXPECT_NEAR(Amount(10, 12), 1.5, 1e-6);
    EXPECT_NEAR(Depth(10, 12), 0.5, 1e-7);
    b->PlotPoint({10.0, 12.0, 0.5 + 0.5 * step}); // half a unit behind: a quarter
    EXPECT_NEAR(Amount(10, 12), 1.75, 1e-3);
    b->PlotPoint({10.0, 12.0, 0.5 + 1.01 * step}); // a unit or more behind: nothing
    b->PlotPoint({10.0, 12.0, 0.9});
    EXPECT_NEAR(Amount(10, 12), 1.75, 1e-3);
    EXPECT_NEAR(Depth(10, 12), 0.5, 1e-7);
    b->PlotPoint({10.0, 12.0, 0.25}); // nearer again: full, and the surface comes forward
    EXPECT_NEAR(Amount(10, 12), 2.75, 1e-3);
    EXPECT_NEAR(Depth(10, 12), 0.25, 1e-7);
    b->PlotPoint({10.0, 12.0, 0.25 - 0.4 * step}); // just in front: 0.7, and it moves
    EXPECT_NEAR(Amount(10, 12), 3.45, 1e-3);
    EXPECT_NEAR(Depth(10, 12), 0.25 - 0.4 * step, 1e-7);
}

TEST_P(SoftDepthKinds, FractionalWeightsPullTheDepthInProportion) {
    b->PlotPoint({20.5, 15.5, 0.5});
    const std::pair<int, int> texels[] = {{20, 15}, {21, 15}, {21, 16}, {20, 16}};
    for (const auto& [x, y] : texels) {
        EXPECT_NEAR(Amount(x, y), 0.25, 1e-7);
        EXPECT_NEAR(Depth(x, y), 0.875, 1e-7); // 1 x 3/4 + 0.5 x 1/4
    }
}

TEST_P(SoftDepthKinds, ZoomSharpensTheDepthTest) {
    b->GetCamera().SetZoom(2.0);
    b->PlotPoint({10.0, 12.0, 0.5});
    b->PlotPoint({10.0, 12.0, 0.5 + 0.6 / (10.0 * 49.0)}); // 1.2 units behind at zoom 2
    EXPECT_NEAR(Amount(10, 12), 1.0, 1e-6);
}

// ---- Light and plasma ----------------------------------------------------------------------

// Colour of `prev` when the orbit comes from `earlier` and goes on to `next`, with steps
// ranging from 1 to 3.
ColourRGB ColourOf(const Vecd& earlier, const Vecd& prev, const Vecd& next) {
    auto b = MakeRenderer(kLight, 40, 30);
    auto& light = dynamic_cast<LightRenderer&>(*b);
    light.SetSteps({1.0, light.Steps().maxStep, light.Steps().stepRange});
    light.SetSteps({light.Steps().minStep, 3.0, light.Steps().stepRange});
    light.SetSteps({light.Steps().minStep, light.Steps().maxStep, 2.0});
    b->ClearImage();
    b->ProjectPoint(earlier);
    b->ProjectPoint(prev);
    b->ProjectPoint(next);
    return light.PlotColour();
}

struct HueCase {
    double t;      // position of the step between the shortest and the longest
    Vecd incoming; // direction from `earlier` toward `prev`
    float r, g, b;
};

void PrintTo(const HueCase& c, std::ostream* os) {
    *os << "t " << c.t << ", incoming (" << c.incoming.x << ", " << c.incoming.y << ")";
}

class LightColour : public ::testing::TestWithParam<HueCase> {};
const Vecd kTurn{0.0, -1.0, 0.0}; // then along +x: a right angle
const Vecd kStraight{1.0, 0.0, 0.0};
const Vecd kHalfTurn{1.0, -1.0, 0.0}; // 45 degrees
INSTANTIATE_TEST_SUITE_P(
    Wheel, LightColour,
    ::testing::Values(HueCase{0.0, kTurn, 1, 0, 0}, HueCase{0.0, kStraight, 1, 0.5f, 0.5f},
                      HueCase{1.0 / 12, kTurn, 1, 0.5f, 0}, HueCase{1.0 / 6, kTurn, 1, 1, 0},
                      HueCase{2.0 / 6, kTurn, 0, 1, 0}, HueCase{0.5, kTurn, 0, 1, 1},
                      HueCase{0.5, kStraight, 0.5f, 1, 1}, HueCase{4.0 / 6, kTurn, 0, 0, 1},
                      HueCase{5.0 / 6, kTurn, 1, 0, 1}, HueCase{1.0, kTurn, 1, 0, 0},
                      HueCase{1.5, kTurn, 0, 1, 1}, HueCase{-0.25, kTurn, 0.5f, 0, 1},
                      HueCase{0.0, kHalfTurn, 1, 0.14644661f, 0.14644661f}));

TEST_P(LightColour, HueFromStepLengthLightenedWhereStraight) {
    const HueCase& c = GetParam();
    const Vecd prev{1.0, 1.0, 1.0};
    const double d = 1.0 + 2.0 * c.t;
    const double length = std::sqrt(Dot(c.incoming, c.incoming));
    const ColourRGB colour =
        ColourOf(prev - c.incoming * (0.7 / length), prev, prev + Vecd{d, 0.0, 0.0});
    EXPECT_NEAR(colour.r, c.r, 1e-5);
    EXPECT_NEAR(colour.g, c.g, 1e-5);
    EXPECT_NEAR(colour.b, c.b, 1e-5);
}

TEST(Light, EachPointLandsWhereItsPredecessorWas) {
    auto b = MakeRenderer(kLight, 200, 100);
    // By hand for 200 x 100 and the eye at (0, 0, -5): x (1 - 2x) 100, y (1 + 4y) 50.
    const auto pixel = [](const Vecd& p) {
        return Vecd{(1 - 2 * p.x) * 100, (1 + 4 * p.y) * 50, 0.0};
    };
    const Vecd p1{0.1, 0.1, 0.0}, p2{0.2, -0.1, 0.3}, p3{-0.3, 0.05, -0.2};
    b->ClearImage();
    const std::pair<Vecd, Vecd> inAndAt[] = {{p1, p1}, {p2, p1}, {p3, p2}, {p1, p3}};
    for (const auto& [in, at] : inAndAt) {
        const Vecd q = b->ProjectPoint(in);
        EXPECT_NEAR(q.x, pixel(at).x, 1e-9);
        EXPECT_NEAR(q.y, pixel(at).y, 1e-9);
    }
    b->ClearImage(); // forgets the predecessor
    EXPECT_NEAR(b->ProjectPoint(p2).x, pixel(p2).x, 1e-9);
}

TEST(Light, WithoutStepRangeTheColourStaysAsItWas) {
    auto b = MakeRenderer(kLight, 40, 30);
    auto& light = dynamic_cast<LightRenderer&>(*b);
    ASSERT_EQ(light.Steps().stepRange, 0.0);
    b->ClearImage();
    light.SetPlotColour({0.3f, 0.6f, 0.9f});
    for (const Vecd& p : {Vecd{0.1, 0, 0}, Vecd{0.2, 0.1, 0}, Vecd{0.2, 0.3, 0.1}}) {
        b->ProjectPoint(p);
        EXPECT_EQ(light.PlotColour().r, 0.3f);
        EXPECT_EQ(light.PlotColour().g, 0.6f);
        EXPECT_EQ(light.PlotColour().b, 0.9f);
    }
}

TEST(Light, FramingPassMeasuresTheSteps) {
    auto b = MakeRenderer(kLight, 40, 30);
    auto& light = dynamic_cast<LightRenderer&>(*b);
    b->ResetView();
    for (const double x : {11.0, 12.0, 15.0, 17.0}) { // steps 1, 3, 2; none from the origin
        b->TrackPoint({x, 0.5, 0.0});
    }
    b->FitView(true);
    EXPECT_EQ(light.Steps().minStep, 1.0);
    EXPECT_EQ(light.Steps().maxStep, 3.0);
    EXPECT_EQ(light.Steps().stepRange, 2.0);
    b->ResetView();
    EXPECT_EQ(light.Steps().minStep, std::numeric_limits<double>::max());
    EXPECT_EQ(light.Steps().maxStep, 2.2250738585072014e-308);
    EXPECT_EQ(light.Steps().stepRange, 0.0);
}

class ColourKinds : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Kinds, ColourKinds, ::testing::Values(int(kLight), int(kPlasma)),
                         test::KindName);

TEST_P(ColourKinds, ToneMappingNormalisesByTheBrightestChannel) {
    auto b = MakeRenderer(GetParam(), 20, 20);
    auto& light = dynamic_cast<LightRenderer&>(*b);
    b->ClearImage();
    light.SetPlotColour({0.25f, 1.0f, 0.5f});
    b->PlotPoint({5.0, 5.0, 0.5});
    light.SetPlotColour({0.125f, 0.125f, 0.125f});
    b->PlotPoint({8.0, 8.0, 0.5});
    light.SetPlotColour({1.0f / 64, 1.0f / 64, 0.0f});
    b->PlotPoint({12.0, 12.0, 0.5});
    b->FinishImage(); // defaults: brightness 4, gamma 2
    EXPECT_EQ(PixelAt(*b, 5, 5), (Bytes{255, 255, 255}));
    EXPECT_EQ(PixelAt(*b, 8, 8), (Bytes{255, 255, 255})); // 360
    EXPECT_EQ(PixelAt(*b, 12, 12), (Bytes{0, 127, 127}));
    EXPECT_EQ(PixelAt(*b, 3, 3), (Bytes{0, 0, 0}));
    light.SetBrightness(1.0f);
    light.SetGamma(1.0f);
    b->FinishImage();
    EXPECT_EQ(PixelAt(*b, 5, 5), (Bytes{127, 255, 63})); // blue, green, red
    EXPECT_EQ(PixelAt(*b, 8, 8), (Bytes{31, 31, 31}));
    light.SetGamma(2.0f);
    b->FinishImage();
    EXPECT_EQ(PixelAt(*b, 5, 5), (Bytes{180, 255, 127}));
    EXPECT_EQ(PixelAt(*b, 8, 8), (Bytes{90, 90, 90}));
}

// ---- Solid ---------------------------------------------------------------------------------

class EachRenderer : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Kinds, EachRenderer, ::testing::Range(0, kRendererCount), test::KindName);

TEST_P(EachRenderer, EmptyRenderShowsTheBackground) {
    auto b = MakeRenderer(GetParam(), 40, 30);
    // Solid's grey (0.49, 0.495, 0.5); black for the others.
    const Bytes expected = GetParam() == kSolid ? Bytes{127, 126, 124} : Bytes{0, 0, 0};
    b->ClearImage();
    b->PlotPoint({-5.0, 200.0, 0.5});
    b->FinishImage();
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(PixelAt(*b, x, y), expected) << x << ", " << y;
        }
    }
    EXPECT_EQ(b->GetImage().Shown(),
              b->GetImage().Rows()); // every row alike, so the flip changes nothing
}

// A gently curved sheet filling the 40 x 30 view, rendered point by point.
std::unique_ptr<Renderer> RenderSheet(int kind) {
    auto b = MakeRenderer(kind, 40, 30);
    std::vector<Vecd> sheet;
    for (double x = -0.49; x < 0.49; x += 0.005) {
        for (double y = -0.37; y < 0.37; y += 0.005) {
            sheet.push_back({x, y, 0.05 * std::sin(3 * x) * std::cos(2 * y)});
        }
    }
    for (std::size_t i = 0; i < sheet.size(); i += 2) {
        b->StorePoint(sheet[i]);
    }
    b->ClearImage();
    for (const Vecd& p : sheet) {
        b->PlotPoint(b->ProjectPoint(p));
    }
    b->FinishImage();
    return b;
}

TEST(Solid, TopRowAndRightColumnKeepTheBackground) {
    auto b = RenderSheet(kSolid);
    const auto& solid = dynamic_cast<SolidRenderer&>(*b);
    ASSERT_GT(solid.Pixels()[Texel(*b, 39, 15)].density, 0.0f); // the sheet reaches them
    ASSERT_GT(solid.Pixels()[Texel(*b, 20, 29)].density, 0.0f);
    const Bytes background{127, 126, 124};
    for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(PixelAt(*b, x, 29), background) << x;
    }
    for (int y = 0; y < 30; ++y) {
        EXPECT_EQ(PixelAt(*b, 39, y), background) << y;
    }
    EXPECT_NE(PixelAt(*b, 20, 15), background);
}

TEST(Solid, DenseEnoughPixelsHideTheBackground) {
    auto b = RenderSheet(kSolid);
    const auto& solid = dynamic_cast<SolidRenderer&>(*b);
    const std::vector<std::uint8_t> grey = b->GetImage().Rows();
    b->SetBackgroundColour({0.9f, 0.1f, 0.3f});
    b->FinishImage();
    int opaque = 0;
    for (int y = 0; y < 29; ++y) {
        for (int x = 0; x < 39; ++x) {
            const float n = solid.Pixels()[Texel(*b, x, y)].density;
            const Bytes before{grey[Texel(*b, x, y) * 3], grey[Texel(*b, x, y) * 3 + 1],
                               grey[Texel(*b, x, y) * 3 + 2]};
            if (n >= solid.MaxDensity() / 8) {
                ++opaque;
                EXPECT_EQ(PixelAt(*b, x, y), before) << x << ", " << y;
            } else if (n <= 0.0f) {
                EXPECT_EQ(PixelAt(*b, x, y), (Bytes{76, 25, 229})) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(opaque, 500);
}

TEST(Solid, ClearImageFitsEachLightBoxAroundTheRing) {
    auto b = MakeRenderer(kSolid, 40, 30);
    b->GetCamera().RotateByDrag(25.0, -15.0);
    b->UpdateModelView();
    for (int i = 0; i < b->Ring().Size(); ++i) {
        b->StorePoint({0.3 * std::sin(i * 0.01), 0.2 * std::cos(i * 0.03), 0.25 * std::sin(i)});
    }
    b->ClearImage();
    for (const auto& light : dynamic_cast<SolidRenderer&>(*b).Lights()) {
        Vecd lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
        for (const Vecd& p : b->Ring().Points()) {
            const Vecd c = Transform(light.lightMatrix, p);
            const Vecd box{(c.x + 1) * 0.5, (c.y + 1) * 0.5, (c.z + 1) * 0.5};
            lo = {std::min(lo.x, box.x), std::min(lo.y, box.y), std::min(lo.z, box.z)};
            hi = {std::max(hi.x, box.x), std::max(hi.y, box.y), std::max(hi.z, box.z)};
        }
        // The box is the points' extent enlarged by 10 / 512 about the origin of the light
        // frame: the points span 1 / (1 + 10 / 512) of the map on each axis, inside it.
        const double span = 1.0 / (1.0 + 10.0 / 512.0);
        EXPECT_NEAR(hi.x - lo.x, span, 1e-9);
        EXPECT_NEAR(hi.y - lo.y, span, 1e-9);
        EXPECT_NEAR(hi.z - lo.z, span, 1e-9);
        EXPECT_GT(lo.x, 0.0);
        EXPECT_LT(hi.x, 1.0);
        EXPECT_GT(lo.y, 0.0);
        EXPECT_LT(hi.y, 1.0);
    }
}

} // namespace
} // namespace vorticel
