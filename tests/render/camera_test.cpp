// Camera matrices against values worked out by hand.
#include "render/camera.h"

#include <gtest/gtest.h>

namespace vorticel {
namespace {

TEST(Camera, OrthoBox) {
    const Matrix4 m = OrthoMatrix(-0.5, 0.5, -0.25, 0.25, 1.0, 50.0);
    EXPECT_DOUBLE_EQ(m[0], 2.0);
    EXPECT_DOUBLE_EQ(m[5], 4.0);
    EXPECT_DOUBLE_EQ(m[10], -2.0 / 49.0);
    EXPECT_DOUBLE_EQ(m[14], -51.0 / 49.0);
    EXPECT_DOUBLE_EQ(m[15], 1.0);
}

} // namespace
} // namespace vorticel
