// Switching a view from one renderer kind to another: what carries over and what starts afresh.
#include "render/gas.h"
#include "render/light.h"
#include "render/solid.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace vorticel {
namespace {

using test::MakeRenderer;

TEST(Switch, LiquidToGasKeepsShadingAndBackground) {
    auto liquid = MakeRenderer(kLiquid, 40, 30);
    auto& l = dynamic_cast<GasRenderer&>(*liquid);
    l.SetBrightness(7.0f);
    l.SetGamma(3.5f);
    liquid->SetBackgroundColour({0.1f, 0.2f, 0.3f});
    auto gas = CreateRenderer(kGas, *liquid);
    const auto& g = dynamic_cast<GasRenderer&>(*gas);
    EXPECT_EQ(gas->Kind(), kGas);
    EXPECT_EQ(g.Brightness(), 7.0f);
    EXPECT_EQ(g.Gamma(), 3.5f);
    EXPECT_EQ(gas->BackgroundColour().b, 0.3f);
    auto back = CreateRenderer(kLiquid, *gas);
    EXPECT_EQ(back->Kind(), kLiquid);
    EXPECT_EQ(dynamic_cast<LiquidRenderer&>(*back).Brightness(), 7.0f);
}

TEST(Switch, LightToGasResetsShading) {
    auto light = MakeRenderer(kLight, 40, 30);
    auto& l = dynamic_cast<LightRenderer&>(*light);
    l.SetBrightness(7.0f);
    l.SetGamma(3.5f);
    auto gas = CreateRenderer(kGas, *light);
    const auto& g = dynamic_cast<GasRenderer&>(*gas);
    EXPECT_EQ(g.Brightness(), 2.0f);
    EXPECT_EQ(g.Gamma(), 2.5f);
}

TEST(Switch, LightAndPlasmaShareStepStatisticsAndShading) {
    auto light = MakeRenderer(kLight, 40, 30);
    auto& l = dynamic_cast<LightRenderer&>(*light);
    l.SetSteps({0.25, l.Steps().maxStep, l.Steps().stepRange});
    l.SetSteps({l.Steps().minStep, 1.5, l.Steps().stepRange});
    l.SetSteps({l.Steps().minStep, l.Steps().maxStep, 1.25});
    l.SetBrightness(6.0f);
    l.SetGamma(1.5f);
    auto plasma = CreateRenderer(kPlasma, *light);
    auto again = CreateRenderer(kLight, *plasma);
    for (const Renderer* b : {plasma.get(), again.get()}) {
        const auto& p = dynamic_cast<const LightRenderer&>(*b);
        EXPECT_EQ(p.Steps().minStep, 0.25);
        EXPECT_EQ(p.Steps().maxStep, 1.5);
        EXPECT_EQ(p.Steps().stepRange, 1.25);
        EXPECT_EQ(p.Brightness(), 6.0f);
        EXPECT_EQ(p.Gamma(), 1.5f);
    }
    EXPECT_EQ(plasma->Kind(), kPlasma);
    EXPECT_EQ(again->Kind(), kLight);
}

TEST(Switch, LightFromAnotherKindMeasuresTheRing) {
    auto gas = MakeRenderer(kGas, 40, 30);
    double x = 0.0;
    for (int i = 0; i < gas->Ring().Size(); ++i) {
        x += (i % 3 == 1) ? 0.5 : 0.25; // steps 0.25 and 0.5, the first from point 0
        gas->StorePoint({x, 0.0, 0.0});
    }
    gas->StorePoint({x + 4.0, 0.0, 0.0}); // lands in slot 0: the array order counts, so 4
    auto light = CreateRenderer(kLight, *gas);
    const auto& l = dynamic_cast<const LightRenderer&>(*light);
    EXPECT_NEAR(l.Steps().minStep, 0.25, 1e-9);
    EXPECT_GT(l.Steps().maxStep, 1000.0); // from slot 0 (far ahead) back to slot 1
    EXPECT_EQ(l.Steps().stepRange, l.Steps().maxStep - l.Steps().minStep);
    EXPECT_EQ(l.Brightness(), 4.0f);
    EXPECT_EQ(l.Gamma(), 2.0f);
}

TEST(Switch, SolidAlwaysStartsFromItsDefaults) {
    for (const int from : {int(kGas), int(kLight)}) {
        auto source = MakeRenderer(from, 40, 30);
        source->SetBackgroundColour({0.9f, 0.9f, 0.9f});
        auto solid = CreateRenderer(kSolid, *source);
        const auto& s = dynamic_cast<const SolidRenderer&>(*solid);
        EXPECT_EQ(solid->Kind(), kSolid);
        EXPECT_EQ(solid->BackgroundColour().r, 0.49f);
        EXPECT_EQ(solid->BackgroundColour().g, 0.495f);
        EXPECT_EQ(solid->PointColour().r, 0.0f);
        EXPECT_EQ(s.Opacity(), 8.0f);
        EXPECT_EQ(s.Gamma(), 1.0f);
        EXPECT_EQ(s.Roughness(), 0.008f);
        ASSERT_EQ(s.Lights().size(), std::size_t(2));
        const double n0 = std::sqrt(0.64 + 0.64 + 1.0); // key light (-0.8, 0.8, 1) normalised
        EXPECT_NEAR(s.Lights()[0].direction.x, -0.8 / n0, 1e-12);
        EXPECT_EQ(s.Lights()[0].colour.b, 0.4f);
        EXPECT_EQ(s.Lights()[1].colour.g, 0.31f);
    }
}

std::vector<std::pair<int, int>> SwitchPairs() {
    std::vector<std::pair<int, int>> pairs;
    for (int from = 0; from < kRendererCount; ++from) {
        for (int to = 0; to < kRendererCount; ++to) {
            if (from != to) {
                pairs.emplace_back(from, to);
            }
        }
    }
    return pairs;
}

class SwitchPair : public ::testing::TestWithParam<std::pair<int, int>> {};
INSTANTIATE_TEST_SUITE_P(Kinds, SwitchPair, ::testing::ValuesIn(SwitchPairs()));

TEST_P(SwitchPair, KeepsCameraRingAndSize) {
    auto source = MakeRenderer(GetParam().first, 40, 30);
    source->GetCamera().RotateByDrag(13.0, 7.0);
    source->ResetView();
    for (int i = 0; i < 300; ++i) {
        source->TrackPoint({0.4 * std::sin(i * 0.7), 0.3 * std::cos(i * 0.2), 0.2 * std::sin(i)});
    }
    source->FitView(true);
    source->GetCamera().SetZoom(source->GetCamera().Zoom() * 1.3);
    source->UpdateModelView();
    auto b = CreateRenderer(GetParam().second, *source);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(int(b->Kind()), GetParam().second);
    EXPECT_EQ(b->Width(), 40);
    EXPECT_EQ(b->Height(), 30);
    EXPECT_EQ(b->GetImage().Rows().size(), std::size_t(40 * 30 * 3));
    EXPECT_EQ(b->GetCamera().Zoom(), source->GetCamera().Zoom());
    EXPECT_EQ(b->GetCamera().PanX(), source->GetCamera().PanX());
    EXPECT_EQ(b->GetCamera().PanY(), source->GetCamera().PanY());
    EXPECT_EQ(b->GetCamera().RotationAngle(), source->GetCamera().RotationAngle());
    EXPECT_EQ(b->GetCamera().RotationAxis().x, source->GetCamera().RotationAxis().x);
    EXPECT_EQ(b->GetCamera().Centre().y, source->GetCamera().Centre().y);
    EXPECT_EQ(b->GetCamera().Eye().z, -5.0);
    EXPECT_EQ(b->Ring().Index(), 0);
    ASSERT_EQ(b->Ring().Points().size(), source->Ring().Points().size());
    for (std::size_t i = 0; i < b->Ring().Points().size(); i += 97) {
        EXPECT_EQ(b->Ring().Points()[i].x, source->Ring().Points()[i].x) << i;
    }
    b->UpdateModelView(); // what the preview does right after the switch
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(b->GetCamera().Combined()[i], source->GetCamera().Combined()[i], 1e-15) << i;
    }
    b->RenderStoredPoints(); // the new kind's buffers are in place
}

} // namespace
} // namespace vorticel
