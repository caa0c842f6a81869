// The one rule for image sizes, shared by the dialog, the palette rows and the command line.
#include "render/image_size.h"

namespace vorticel {

ImageSizeCheck CheckImageSize(std::int64_t width, std::int64_t height) {
    if (width < kMinImageWidth) {
        return ImageSizeCheck::WidthTooSmall;
    }
    if (height < kMinImageHeight) {
        return ImageSizeCheck::HeightTooSmall;
    }
    // Divided rather than multiplied, so no product of two large sizes can overflow.
    if (width > kMaxImageWidth || height > kMaxImagePixels / (width & 0xFFFC)) {
        return ImageSizeCheck::TooLarge;
    }
    return ImageSizeCheck::Ok;
}

ImageSizeCheck CheckPosterSize(std::int64_t width, std::int64_t height) {
    if (width < kMinImageWidth) {
        return ImageSizeCheck::WidthTooSmall;
    }
    if (height < kMinImageHeight) {
        return ImageSizeCheck::HeightTooSmall;
    }
    if (width > kMaxImageWidth || height > kMaxPosterHeight) {
        return ImageSizeCheck::TooLarge;
    }
    return ImageSizeCheck::Ok;
}

} // namespace vorticel
