// The frames between keys: on the keys exactly, integers stepped, rotation along the shortest
// arc, zoom geometric, and the turn.
#include "animation/quaternion.h"
#include "animation_test_support.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vorticel {
namespace {

using test::ExampleKey;
using test::SmallAnimation;

Quaternion RotationOfFrame(const Animation& a, std::int32_t frame) {
    const Camera c = FrameRecipe(a, frame).camera;
    return Quaternion::FromAxisAngle(c.RotationAxis(), c.RotationAngle());
}

// The angle between two rotations.
double AngleBetween(const Quaternion& a, const Quaternion& b) {
    const double d = std::fabs(a.w * b.w + Dot(a.v, b.v));
    return 2.0 * std::acos(std::min(d, 1.0));
}

TEST(FrameRecipe, HitsEveryKeyExactlyWhereAFrameFallsOnItAndFollowsASmoothCurveBetween) {
    const ImageRecipe papillon = ExampleKey("lorenz-papillon.vtc");
    const ImageRecipe ruban = ExampleKey("lorenz-ruban.vtc");
    ImageRecipe turned = papillon;
    turned.camera.SetRotation({1.0, 0.0, 0.0}, 1.0);
    turned.shading[0].value = 3.0f;
    const Animation a = SmallAnimation({papillon, ruban, turned}, 9);
    for (const auto& [frame, key] : {std::pair{1, 0}, {5, 1}, {9, 2}}) {
        EXPECT_EQ(FormatRecipe(FrameRecipe(a, frame)), FormatRecipe(KeyRecipe(a, key))) << frame;
    }
    // Ten frames over three keys: only the ends fall on keys.
    Animation ten = a;
    ten.frames = 10;
    EXPECT_EQ(FormatRecipe(FrameRecipe(ten, 10)), FormatRecipe(KeyRecipe(ten, 2)));
    EXPECT_NE(FormatRecipe(FrameRecipe(ten, 5)), FormatRecipe(KeyRecipe(ten, 1)));
    // Through three keys the curve is smooth: equal steps on either side of the middle key
    // when the keys around it are symmetric (Catmull-Rom), where a broken line would turn.
    std::vector<double> dT;
    for (std::int32_t f = 1; f <= 9; ++f) {
        dT.push_back(FrameRecipe(a, f).parameters[3].value);
    }
    EXPECT_NEAR((dT[5] - dT[4]) - (dT[4] - dT[3]), (dT[4] - dT[3]) - (dT[3] - dT[2]),
                std::fabs(dT[4] - dT[3]));
    // Two keys: a straight line, halfway at the middle frame; shading too.
    const Animation two = SmallAnimation({papillon, turned}, 3);
    const ImageRecipe middle = FrameRecipe(two, 2);
    EXPECT_FLOAT_EQ(middle.shading[0].value, (papillon.shading[0].value + 3.0f) / 2.0f);
    EXPECT_DOUBLE_EQ(middle.camera.RotationAngle(), 0.5);
}

TEST(FrameRecipe, StepsAnIntegerParameterFromKeyToKeyWhileTheRealsSlide) {
    const Animation a =
        SmallAnimation({ExampleKey("icone-3-branches.vtc"), ExampleKey("icone-6-branches.vtc"),
                        ExampleKey("icone-16-branches.vtc")},
                       21);
    std::vector<double> degrees;
    bool realBetweenKeys = false;
    for (std::int32_t f = 1; f <= a.frames; ++f) {
        const ImageRecipe r = FrameRecipe(a, f);
        ASSERT_EQ(r.parameters[0].name, "Degré");
        degrees.push_back(r.parameters[0].value);
        EXPECT_EQ(r.parameters[0].line, "Degré=" + std::to_string(int(r.parameters[0].value)));
        const double alpha = r.parameters[1].value;
        realBetweenKeys |= alpha != a.keys[0].parameters[1].value &&
                           alpha != a.keys[1].parameters[1].value &&
                           alpha != a.keys[2].parameters[1].value;
        EXPECT_NO_THROW(ParseRecipe(FormatRecipe(r))) << f;
    }
    // 3 up to the halfway frame 6, then 6 up to frame 16 (halfway to the last key), then 16.
    const std::vector<double> expected = {3, 3, 3, 3, 3, 3,  6,  6,  6,  6, 6,
                                          6, 6, 6, 6, 6, 16, 16, 16, 16, 16};
    EXPECT_EQ(degrees, expected);
    EXPECT_TRUE(realBetweenKeys);
}

TEST(FrameRecipe, TurnsTheCameraAlongTheShortestArcAtAnEvenPaceAndTurnsTableTopsAboutTheVertical) {
    ImageRecipe from = ExampleKey("lorenz-papillon.vtc");
    ImageRecipe to = from;
    from.camera.SetRotation({1.0, 0.0, 0.0}, 0.3);
    // 5.5 radians one way is 0.78 the other: the path takes the shorter.
    to.camera.SetRotation({0.0, 0.6, 0.8}, 5.5);
    const Animation a = SmallAnimation({from, to}, 11);
    const Quaternion first = RotationOfFrame(a, 1);
    const Quaternion last = RotationOfFrame(a, 11);
    const double whole = AngleBetween(first, last);
    EXPECT_LT(whole, 3.14159);
    double travelled = 0.0;
    for (std::int32_t f = 1; f < 11; ++f) {
        const double step = AngleBetween(RotationOfFrame(a, f), RotationOfFrame(a, f + 1));
        EXPECT_NEAR(step, whole / 10.0, 1e-9) << f;
        travelled += step;
    }
    EXPECT_NEAR(travelled, whole, 1e-9);

    // A turntable of one unturned key looking down z: frame k is (k - 1) / 8 of a whole turn
    // about the vertical, so the last frame is one step short of the first again.
    ImageRecipe key = from;
    key.camera.SetRotation({0.0, 0.0, 0.0}, 0.0);
    Animation table = SmallAnimation({key}, 8);
    table.turnDegrees = 360.0;
    EXPECT_EQ(FormatRecipe(FrameRecipe(table, 1)), FormatRecipe(KeyRecipe(table, 0)));
    for (std::int32_t f = 2; f <= 8; ++f) {
        const double angle = 2.0 * 3.14159265358979 * (f - 1) / 8.0;
        const Quaternion expected = Quaternion::FromAxisAngle({0.0, 1.0, 0.0}, angle);
        EXPECT_NEAR(AngleBetween(RotationOfFrame(table, f), expected), 0.0, 1e-7) << f;
    }
}

TEST(FrameRecipe, ZoomsGeometricallyAndPansAndMovesTheTargetInStraightLines) {
    ImageRecipe from = ExampleKey("lorenz-papillon.vtc");
    ImageRecipe to = from;
    from.camera.SetZoom(0.01);
    to.camera.SetZoom(0.04);
    from.camera.SetPan(0.0, 0.0);
    to.camera.SetPan(1.0, -2.0);
    to.camera.SetTarget({0.4, 0.0, 0.0});
    const Animation a = SmallAnimation({from, to}, 5);
    for (std::int32_t f = 1; f < 5; ++f) {
        const Camera c = FrameRecipe(a, f).camera;
        const Camera next = FrameRecipe(a, f + 1).camera;
        EXPECT_NEAR(next.Zoom() / c.Zoom(), std::sqrt(2.0), 1e-12) << f;
        EXPECT_NEAR(next.PanX() - c.PanX(), 0.25, 1e-12) << f;
        EXPECT_NEAR(next.PanY() - c.PanY(), -0.5, 1e-12) << f;
        EXPECT_NEAR(next.Target().x - c.Target().x, 0.1, 1e-12) << f;
    }
    EXPECT_EQ(FrameRecipe(a, 5).camera.Zoom(), 0.04);
}

} // namespace
} // namespace vorticel
