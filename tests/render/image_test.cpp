// The image's two copies: filling them and publishing the rows.
#include "render/image.h"

#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace vorticel {
namespace {

TEST(Image, PublishTurnsRowsUpsideDown) {
    Image image;
    image.Resize(8, 4);
    for (std::size_t i = 0; i < image.Rows().size(); ++i) {
        image.Pixel(i / 3)[i % 3] = static_cast<std::uint8_t>(i);
    }
    image.Publish();
    const std::size_t row = 8 * 3;
    for (std::size_t y = 0; y < 4; ++y) {
        for (std::size_t k = 0; k < row; ++k) {
            EXPECT_EQ(image.Shown()[(3 - y) * row + k], image.Rows()[y * row + k]);
        }
    }
}

TEST(Image, FillGivesEveryPixelTheColourInBothCopies) {
    struct Case {
        std::int32_t width;
        std::int32_t height;
    };
    // One pixel, a few, and rows past the first run the fill copies from.
    for (const Case c : {Case{1, 1}, Case{7, 3}, Case{1025, 5}, Case{4096, 3}, Case{0, 0}}) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height);
        Image image;
        image.Resize(c.width, c.height);
        image.Fill({0.2f, 0.4f, 0.6f});
        const std::uint8_t bgr[3] = {153, 102, 51};
        const std::size_t bytes = static_cast<std::size_t>(c.width) * c.height * 3;
        ASSERT_EQ(image.Rows().size(), bytes);
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            wrong += image.Rows()[i] != bgr[i % 3];
            wrong += image.Shown()[i] != 0; // Fill leaves the shown copy alone
        }
        EXPECT_EQ(wrong, 0u);

        Image published;
        published.Resize(c.width, c.height);
        published.Fill({1.0f, 0.0f, 0.5f});
        published.Publish();
        Image filled;
        filled.Resize(c.width, c.height);
        filled.FillAndPublish({1.0f, 0.0f, 0.5f});
        EXPECT_EQ(filled.Rows(), published.Rows());
        EXPECT_EQ(filled.Shown(), published.Shown());
    }
}

TEST(Image, WithoutAShownCopyHoldsItsRowsOnly) {
    Image image;
    image.Resize(5, 3, false);
    image.FillAndPublish({1.0f, 1.0f, 1.0f});
    image.Publish();
    EXPECT_TRUE(image.Shown().empty());
    EXPECT_EQ(image.Bytes(), 5 * 3 * 3);
    EXPECT_EQ(image.Rows(), std::vector<std::uint8_t>(5 * 3 * 3, 255));
    image.Resize(5, 3); // a shown copy again
    EXPECT_EQ(image.Shown().size(), image.Rows().size());
}

TEST(Image, ResizeMakesBothCopiesBlackWhateverTheyHeld) {
    Image image;
    // The same size again, a smaller one, and one large enough for memory of its own.
    for (const std::int32_t side : {64, 64, 7, 1500, 1500}) {
        SCOPED_TRACE(side);
        image.FillAndPublish({1.0f, 0.5f, 0.25f});
        image.Resize(side, side);
        const std::size_t bytes = static_cast<std::size_t>(side) * side * 3;
        EXPECT_EQ(image.Rows(), std::vector<std::uint8_t>(bytes, 0));
        EXPECT_EQ(image.Shown(), std::vector<std::uint8_t>(bytes, 0));
    }
}

} // namespace
} // namespace vorticel
