// Camera matrices against values worked out by hand.
#include "render/matrix.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vorticel {
namespace {

constexpr double kPi = 3.14159265358979323846;

void ExpectNear(const Vecd& actual, const Vecd& expected, double tolerance = 1e-12) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(Camera, OrthoBox) {
    const Matrix4 m = OrthoMatrix(-0.5, 0.5, -0.25, 0.25, 1.0, 50.0);
    EXPECT_DOUBLE_EQ(m[0], 2.0);
    EXPECT_DOUBLE_EQ(m[5], 4.0);
    EXPECT_DOUBLE_EQ(m[10], -2.0 / 49.0);
    EXPECT_DOUBLE_EQ(m[14], -51.0 / 49.0);
    EXPECT_DOUBLE_EQ(m[15], 1.0);
}

TEST(Camera, OffCentreOrthoBoxMapsItsFacesToTheUnitCube) {
    const Matrix4 m = OrthoMatrix(1.0, 3.0, -2.0, 2.0, 0.5, 10.5);
    EXPECT_DOUBLE_EQ(m[0], 1.0);
    EXPECT_DOUBLE_EQ(m[5], 0.5);
    EXPECT_DOUBLE_EQ(m[10], -0.2);
    EXPECT_DOUBLE_EQ(m[12], -2.0);
    EXPECT_DOUBLE_EQ(m[13], 0.0);
    EXPECT_DOUBLE_EQ(m[14], -1.1);
    // Left/bottom/near corner (eye z = -near) and right/top/far corner.
    ExpectNear(Transform(m, {1.0, -2.0, -0.5}), {-1.0, -1.0, -1.0});
    ExpectNear(Transform(m, {3.0, 2.0, -10.5}), {1.0, 1.0, 1.0});
}

TEST(Camera, LookAtAlongPlusZFlipsX) {
    // From (0, 0, -5) toward the origin: side = (-1, 0, 0), up = (0, 1, 0), forward +z.
    const Matrix4 m = LookAtMatrix({0.0, 0.0, -5.0}, {}, {0.0, 1.0, 0.0});
    ExpectNear(Transform(m, {0.0, 0.0, 0.0}), {0.0, 0.0, -5.0});
    ExpectNear(Transform(m, {1.0, 2.0, 3.0}), {-1.0, 2.0, -8.0});
}

TEST(Camera, ModelViewTurnsAboutTheCentreThenPansZoomsAndLooks) {
    // Eye (0, 0, -5), zoom 2, pan (0.1, -0.2), a quarter turn about z, centre (1, 2, 3):
    // p -> p - c -> (-y, x, z) -> + pan -> x 2 -> (-x, y, -z - 5).
    const Matrix4 m = ModelViewMatrix({0.0, 0.0, -5.0}, {}, 2.0, 0.1, -0.2, {0.0, 0.0, 1.0},
                                      kPi / 2, {1.0, 2.0, 3.0});
    ExpectNear(Transform(m, {2.0, 2.0, 3.0}), {-0.2, 1.6, -5.0});
    ExpectNear(Transform(m, {1.0, 2.0, 4.0}), {-0.2, -0.4, -7.0});
    ExpectNear(Transform(m, {0.0, 0.0, 0.0}), {-4.2, -2.4, 1.0});
    EXPECT_DOUBLE_EQ(m[3], 0.0);
    EXPECT_DOUBLE_EQ(m[7], 0.0);
    EXPECT_DOUBLE_EQ(m[11], 0.0);
    EXPECT_DOUBLE_EQ(m[15], 1.0);
}

TEST(Camera, ProductAppliesTheRightFactorFirst) {
    const Matrix4 p = OrthoMatrix(-0.5, 0.5, -0.25, 0.25, 1.0, 50.0);
    const Matrix4 v = LookAtMatrix({0.0, 0.0, -5.0}, {}, {0.0, 1.0, 0.0});
    const Vecd q{0.1, -0.05, 0.3};
    ExpectNear(Transform(Multiply(p, v), q), Transform(p, Transform(v, q)));
    // By hand: eye space (-0.1, -0.05, -5.3), then x 2, y 4, z (-2 z - 51) / 49.
    ExpectNear(Transform(Multiply(p, v), q), {-0.2, -0.2, (10.6 - 51.0) / 49.0});
}

TEST(Camera, UnprojectOfKnownWindowPoints) {
    const Matrix4 p = OrthoMatrix(-0.5, 0.5, -0.25, 0.25, 1.0, 50.0);
    // Window centre at depth 0 is the middle of the near plane; corner at depth 1 the far one.
    ExpectNear(Unproject({100.0, 50.0, 0.0}, IdentityMatrix(), p, 200.0, 100.0), {0.0, 0.0, -1.0});
    ExpectNear(Unproject({0.0, 0.0, 1.0}, IdentityMatrix(), p, 200.0, 100.0), {-0.5, -0.25, -50.0},
               1e-10);
}

TEST(Camera, UnprojectInvertsTheProjection) {
    const Matrix4 p = OrthoMatrix(-0.5, 0.5, -0.25, 0.25, 1.0, 50.0);
    const Matrix4 v = ModelViewMatrix({0.0, 0.0, -5.0}, {}, 1.5, 0.05, -0.1, {0.3, 0.5, 0.8}, 0.7,
                                      {0.2, -0.1, 0.4});
    const Matrix4 pv = Multiply(p, v);
    for (const Vecd& q : {Vecd{0.1, 0.2, 0.3}, Vecd{-0.2, 0.05, -0.4}, Vecd{0.0, 0.0, 0.0}}) {
        const Vecd c = Transform(pv, q);
        const Vecd window{(c.x + 1) * 0.5 * 320, (c.y + 1) * 0.5 * 160, (c.z + 1) * 0.5};
        ExpectNear(Unproject(window, v, p, 320.0, 160.0), q, 1e-9);
    }
}

} // namespace
} // namespace vorticel
