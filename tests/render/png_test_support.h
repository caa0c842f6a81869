// PNG decoding and hand-made PNG chunks for the tests, independent of the code under test:
// the pixels through libpng's simplified interface, the chunks framed with zlib's CRC.
#pragma once

#include <cstdint>
#include <optional>
#include <png.h>
#include <string>
#include <vector>
#include <zlib.h>

namespace vorticel::test {

struct DecodedPng {
    bool ok = false;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> bgr; // top row first, as Image::Shown()
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

// A chunk as PNG frames it: length, type, data, CRC; `declared` replaces the true length.
inline std::string PngChunk(const std::string& type, const std::string& data,
                            std::optional<std::uint32_t> declared = std::nullopt) {
    const std::uint32_t length = declared.value_or(static_cast<std::uint32_t>(data.size()));
    std::string chunk;
    for (const int shift : {24, 16, 8, 0}) {
        chunk += static_cast<char>((length >> shift) & 0xFF);
    }
    chunk += type + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.data() + 4),
                            static_cast<uInt>(chunk.size() - 4));
    for (const int shift : {24, 16, 8, 0}) {
        chunk += static_cast<char>((crc >> shift) & 0xFF);
    }
    return chunk;
}

// The signature and an IHDR chunk of the given size, bit depth and colour type.
inline std::string PngStart(std::uint32_t width, std::uint32_t height, int depth = 8,
                            int colour = 2) {
    std::string ihdr;
    for (const std::uint32_t n : {width, height}) {
        for (const int shift : {24, 16, 8, 0}) {
            ihdr += static_cast<char>((n >> shift) & 0xFF);
        }
    }
    ihdr += {static_cast<char>(depth), static_cast<char>(colour), 0, 0, 0};
    return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", ihdr);
}

} // namespace vorticel::test
