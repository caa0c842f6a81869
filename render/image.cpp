// The image's rows and the copy that is shown.
#include "render/image.h"

#include "render/large_pages.h"

#include <algorithm>
#include <cstring>

namespace vorticel {

namespace {

// `bytes` zeros. New memory is advised before it is written, so a large image is faulted in
// 2 MiB at a time rather than 4 KiB: the faults of a 92 MB image cost more than its render's
// shading.
void AssignZeros(std::vector<std::uint8_t>& pixels, std::size_t bytes) {
    if (pixels.size() != bytes) {
        pixels = std::vector<std::uint8_t>();
        pixels.reserve(bytes);
        AdviseLargePages(pixels.data(), bytes);
    }
    pixels.assign(bytes, 0);
}

// Every pixel of `bytes` trunc(255 x colour): one row's worth by pixel, then whole copies of
// what is filled already, so a large image costs a few memcpy calls.
void FillPixels(std::vector<std::uint8_t>& bytes, const ColourRGB& colour) {
    if (bytes.empty()) {
        return;
    }
    const std::uint8_t bgr[3] = {ChannelByte(colour.b), ChannelByte(colour.g),
                                 ChannelByte(colour.r)};
    const std::size_t seed = std::min<std::size_t>(bytes.size(), 3 * 1024);
    for (std::size_t i = 0; i < seed; i += 3) {
        std::memcpy(&bytes[i], bgr, 3);
    }
    for (std::size_t done = seed; done < bytes.size();) {
        const std::size_t n = std::min(done, bytes.size() - done);
        std::memcpy(&bytes[done], bytes.data(), n);
        done += n;
    }
}

} // namespace

void Image::Resize(std::int32_t width, std::int32_t height, bool shown) {
    const bool empty = width <= 0 || height <= 0;
    width_ = empty ? 0 : width;
    height_ = empty ? 0 : height;
    const std::size_t bytes = static_cast<std::size_t>(width_) * height_ * 3;
    AssignZeros(rows_, bytes);
    if (shown) {
        AssignZeros(shown_, bytes);
    } else {
        shown_ = std::vector<std::uint8_t>();
    }
}

void Image::Fill(const ColourRGB& colour) {
    FillPixels(rows_, colour);
}

void Image::FillAndPublish(const ColourRGB& colour) {
    FillPixels(rows_, colour);
    FillPixels(shown_, colour); // every row alike: what Publish would copy
}

void Image::Publish() {
    if (rows_.empty() || shown_.empty()) {
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
