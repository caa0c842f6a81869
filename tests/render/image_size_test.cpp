// Image sizes are judged as they were asked for, before the width is rounded.
#include "render/image_size.h"

#include <gtest/gtest.h>

namespace vorticel {
namespace {

TEST(ImageSize, SmallestSizesAndTheirMessages) {
    EXPECT_EQ(CheckImageSize(4, 1), ImageSizeCheck::Ok);
    EXPECT_EQ(CheckImageSize(3, 100), ImageSizeCheck::WidthTooSmall);
    EXPECT_EQ(CheckImageSize(-640, 480), ImageSizeCheck::WidthTooSmall);
    EXPECT_EQ(CheckImageSize(640, 0), ImageSizeCheck::HeightTooSmall);
    EXPECT_EQ(CheckImageSize(640, -1), ImageSizeCheck::HeightTooSmall);
    // The width is checked first, as the dialog reads its fields.
    EXPECT_EQ(CheckImageSize(2, 0), ImageSizeCheck::WidthTooSmall);
}

TEST(ImageSize, WidthsThatWouldWrapWhenRoundedAreTooLarge) {
    EXPECT_EQ(CheckImageSize(65535, 1), ImageSizeCheck::Ok); // rounds to 65532
    for (std::int64_t w = 65536; w <= 65539; ++w) {
        EXPECT_EQ(CheckImageSize(w, 1), ImageSizeCheck::TooLarge) << w;
    }
    EXPECT_EQ(CheckImageSize(2147483647, 1), ImageSizeCheck::TooLarge);
}

TEST(ImageSize, PixelCountBoundHoldsWithoutOverflow) {
    // 8192 x 16384 is exactly the bound.
    EXPECT_EQ(CheckImageSize(8192, kMaxImagePixels / 8192), ImageSizeCheck::Ok);
    EXPECT_EQ(CheckImageSize(8192, kMaxImagePixels / 8192 + 1), ImageSizeCheck::TooLarge);
    EXPECT_EQ(CheckImageSize(100000, 100000), ImageSizeCheck::TooLarge);
    EXPECT_EQ(CheckImageSize(4, 2147483647), ImageSizeCheck::TooLarge);
    // The rounded width counts: 1603 x h is a 1600-wide image.
    EXPECT_EQ(CheckImageSize(1603, kMaxImagePixels / 1600), ImageSizeCheck::Ok);
}

} // namespace
} // namespace vorticel
