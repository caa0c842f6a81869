// The image sizes a bitmap can take, checked as asked for, before any rounding.
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

// Whether width x height (as typed, before rounding) is an image size the renderers accept.
ImageSizeCheck CheckImageSize(std::int64_t width, std::int64_t height);

} // namespace vorticel
