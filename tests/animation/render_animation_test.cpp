// The frame loop: frames that fail are reported and skipped over, frames already there are
// kept, and every frame renders again from its own recipe as the whole run rendered it.
#include "animation/frame_render.h"
#include "animation_test_support.h"
#include "io_test_support.h"

#include <gtest/gtest.h>

namespace vorticel {
namespace {

using test::ExampleKey;
using test::SmallAnimation;

class RenderAnimationTest : public test::TempFolder {};

TEST(Exposure, EveryFrameShadesWithTheKeysStatisticsInterpolatedNotWithItsOwn) {
    Animation a = SmallAnimation({ExampleKey("lorenz-papillon.vtc")}, 4);
    a.turnDegrees = 180.0;
    ASSERT_TRUE(MeasureExposure(a));
    ASSERT_EQ(a.exposures.size(), 1u);
    EXPECT_GT(a.exposures[0].values[0], 0.0); // Gas: the densest pixel
    EXPECT_EQ(RenderFrame(KeyRecipe(a, 0)).renderer->BandStatistics(), a.exposures[0]);
    for (std::int32_t f = 1; f <= 4; ++f) {
        EXPECT_EQ(FrameRecipe(a, f).exposure, std::optional<ShadeStatistics>(a.exposures[0]));
    }
    // A view turned a quarter has a densest pixel of its own, which it does not shade with.
    const ImageRecipe quarter = FrameRecipe(a, 3);
    const FrameRender imposed = RenderFrame(quarter);
    ImageRecipe own = quarter;
    own.exposure.reset();
    const FrameRender alone = RenderFrame(own);
    EXPECT_NE(alone.renderer->BandStatistics(), a.exposures[0]);
    EXPECT_NE(imposed.renderer->GetImage().Rows(), alone.renderer->GetImage().Rows());
    EXPECT_EQ(RenderedRecipe(quarter, imposed).exposure, quarter.exposure);

    // Between two keys the statistics slide from one to the other.
    Animation two = SmallAnimation({a.keys[0], a.keys[0]}, 3);
    two.exposures = {ShadeStatistics{{10.0, 0.0, 0.0, 4.0}},
                     ShadeStatistics{{30.0, 0.0, 0.0, 8.0}}};
    EXPECT_EQ(FrameRecipe(two, 2).exposure->values, (std::array<double, 4>{20.0, 0.0, 0.0, 6.0}));
}

TEST_F(RenderAnimationTest, SkipsFramesAlreadyThereAndRendersAgainThoseMissingOrOfAnother) {
    Animation a = SmallAnimation({ExampleKey("lorenz-papillon.vtc")}, 4);
    a.turnDegrees = 90.0;
    const AnimationRunResult first = RenderAnimation(a, dir.string(), 1, 4);
    EXPECT_EQ(first.written, 4);
    EXPECT_EQ(Names(), (std::vector<std::string>{"frame-0001.png", "frame-0002.png",
                                                 "frame-0003.png", "frame-0004.png"}));
    const std::string thirdBytes = Read("frame-0003.png");
    // A frame's recipe alone gives its bytes.
    const ImageRecipe recipe = LoadImageRecipe(Path("frame-0003.png"));
    ASSERT_TRUE(recipe.exposure.has_value());
    SaveFrame(Path("again.png"), recipe, RenderFrame(recipe));
    EXPECT_EQ(Read("again.png"), thirdBytes);
    std::filesystem::remove(Path("again.png"));

    std::vector<std::int32_t> reported;
    AnimationHooks hooks;
    hooks.progress = [&](std::int32_t frame, double) { reported.push_back(frame); };
    const AnimationRunResult second = RenderAnimation(a, dir.string(), 1, 4, hooks);
    EXPECT_EQ(second.written, 0);
    EXPECT_EQ(second.skipped, 4);
    EXPECT_EQ(reported, (std::vector<std::int32_t>{1, 2, 3, 4}));

    std::filesystem::remove(Path("frame-0002.png"));
    Write("frame-0003.png", "not a frame");
    const AnimationRunResult repaired = RenderAnimation(a, dir.string(), 1, 4);
    EXPECT_EQ(repaired.written, 2);
    EXPECT_EQ(repaired.skipped, 2);
    EXPECT_EQ(Read("frame-0003.png"), thirdBytes);

    // Another turn makes other frames, but for the first, which does not turn.
    a.turnDegrees = 45.0;
    const AnimationRunResult turned = RenderAnimation(a, dir.string(), 2, 4);
    EXPECT_EQ(turned.written, 3);
}

TEST_F(RenderAnimationTest, ReportsFramesWhoseOrbitDivergesOrCollapsesAndGoesOnWithTheNext) {
    const ImageRecipe good = ExampleKey("lorenz-papillon.vtc");
    ImageRecipe wild = good;
    // B far beyond what the step dT keeps bounded.
    wild.parameters[1].value = 5000.0;
    wild.parameters[1].line = "B=5000.000000";
    Animation a = SmallAnimation({good, wild}, 4);
    a.keyNames = {"good.png", "wild.png"};
    std::vector<std::pair<std::int32_t, std::string>> failures;
    AnimationHooks hooks;
    hooks.frameFailed = [&](std::int32_t frame, const std::string& reason) {
        failures.emplace_back(frame, reason);
    };
    const AnimationRunResult run = RenderAnimation(a, dir.string(), 1, 4, hooks);
    ASSERT_FALSE(failures.empty());
    EXPECT_EQ(failures.back().first, 4);
    EXPECT_NE(failures.back().second.find("diverged"), std::string::npos);
    EXPECT_EQ(run.failed, static_cast<std::int32_t>(failures.size()));
    EXPECT_EQ(run.written + run.failed, 4);
    EXPECT_EQ(Names().front(), "frame-0001.png");
    EXPECT_EQ(Names().size(), static_cast<std::size_t>(run.written)); // no failed frame kept

    // Below B = 1 every orbit falls into the origin.
    ImageRecipe still = good;
    still.parameters[1].value = 0.5;
    still.parameters[1].line = "B=0.500000";
    const FrameRender collapsed = RenderFrame(KeyRecipe(SmallAnimation({still, good}, 2), 0));
    EXPECT_NE(collapsed.failure.find("collapsed"), std::string::npos) << collapsed.failure;
    EXPECT_EQ(RenderFrame(KeyRecipe(a, 0)).failure, "");
}

} // namespace
} // namespace vorticel
