// The image sizes a renderer can take, checked as asked for, before any rounding.
#pragma once

#include <cstdint>

namespace vorticel {

// Widths are rounded down to a multiple of 4 and must stay below 65536.
constexpr std::int64_t kMinImageWidth = 4;
constexpr std::int64_t kMaxImageWidth = 65535;
constexpr std::int64_t kMinImageHeight = 1;
// Larger images are refused rather than left to exhaust memory.
constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 27;

enum class ImageSizeCheck { Ok, WidthTooSmall, HeightTooSmall, TooLarge };

// Whether width x height (as typed, before rounding) is an image size a renderer holds whole
// (a view's).
ImageSizeCheck CheckImageSize(std::int64_t width, std::int64_t height);

// An image rendered straight to a file (a poster) is made in strips: any height up to this,
// and widths up to kMaxImageWidth.
constexpr std::int64_t kMaxPosterHeight = 65535;
// Whether width x height (as typed) is a size a poster takes; a BMP also needs BmpHolds.
ImageSizeCheck CheckPosterSize(std::int64_t width, std::int64_t height);

} // namespace vorticel
