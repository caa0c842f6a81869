// The image's rows and the copy that is shown.
#include "render/image.h"

#include <cstring>

namespace vorticel {

void Image::Resize(std::int32_t width, std::int32_t height) {
    const bool empty = width <= 0 || height <= 0;
    width_ = empty ? 0 : width;
    height_ = empty ? 0 : height;
    const std::size_t bytes = static_cast<std::size_t>(width_) * height_ * 3;
    rows_.assign(bytes, 0);
    shown_.assign(bytes, 0);
}

void Image::Fill(const ColourRGB& colour) {
    const std::uint8_t bgr[3] = {ChannelByte(colour.b), ChannelByte(colour.g),
                                 ChannelByte(colour.r)};
    for (std::size_t i = 0; i < rows_.size(); i += 3) {
        std::memcpy(&rows_[i], bgr, 3);
    }
}

void Image::Publish() {
    if (rows_.empty()) {
        return;
    }
    const auto row = static_cast<std::size_t>(width_) * 3;
    for (std::int32_t i = 0; i < height_; ++i) {
        std::memcpy(&shown_[static_cast<std::size_t>(height_ - 1 - i) * row],
                    &rows_[static_cast<std::size_t>(i) * row], row);
    }
}

void Image::Drop() {
    rows_ = std::vector<std::uint8_t>();
    shown_ = std::vector<std::uint8_t>();
}

} // namespace vorticel
