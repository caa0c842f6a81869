// PNG decoding for the tests, through libpng's simplified interface: independent of the code
// under test, which uses the full one.
#pragma once

#include <cstdint>
#include <png.h>
#include <string>
#include <vector>

namespace vorticel::test {

struct DecodedPng {
    bool ok = false;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> bgr; // top row first, as Renderer::bitmap
};

inline DecodedPng DecodePng(const std::string& fileName) {
    DecodedPng out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, fileName.c_str())) {
        return out;
    }
    image.format = PNG_FORMAT_BGR;
    out.bgr.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.bgr.data(), 0, nullptr)) {
        png_image_free(&image);
        return out;
    }
    out.ok = true;
    out.width = static_cast<std::int32_t>(image.width);
    out.height = static_cast<std::int32_t>(image.height);
    return out;
}

} // namespace vorticel::test
