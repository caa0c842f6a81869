// The BMP layout, little-endian whatever the host.
#include "render/bmp_writer.h"

#include "io/replace_file.h"
#include "render/image.h"

namespace vorticel {
namespace {

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::size_t BmpStride(std::int64_t width) {
    const std::size_t rowBytes = width > 0 ? static_cast<std::size_t>(width) * 3 : 0;
    return (rowBytes + 3) & ~std::size_t{3};
}

constexpr std::uint32_t kBmpHeaders = 14 + 40;

} // namespace

bool BmpHolds(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        return false;
    }
    return static_cast<std::uint64_t>(BmpStride(width)) * static_cast<std::uint64_t>(height) <=
           0xFFFFFFFFull - kBmpHeaders;
}

void WriteBmpHeaders(std::ostream& out, std::int32_t width, std::int32_t height) {
    const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
    const std::size_t h = height > 0 ? static_cast<std::size_t>(height) : 0;
    const std::size_t imageSize = BmpStride(width) * h;

    std::string headers;
    headers += "BM";
    Put32(headers, static_cast<std::uint32_t>(kBmpHeaders + imageSize));
    Put32(headers, 0); // reserved
    Put32(headers, kBmpHeaders);
    Put32(headers, 40);
    Put32(headers, static_cast<std::uint32_t>(w));
    Put32(headers, static_cast<std::uint32_t>(h));
    Put16(headers, 1);  // planes
    Put16(headers, 24); // bits per pixel
    Put32(headers, 0);  // no compression
    Put32(headers, static_cast<std::uint32_t>(imageSize));
    Put32(headers, 0); // horizontal resolution
    Put32(headers, 0); // vertical resolution
    Put32(headers, 0); // colours used
    Put32(headers, 0); // important colours
    out.write(headers.data(), static_cast<std::streamsize>(headers.size()));
}

void WriteBmpRow(std::ostream& out, const std::uint8_t* bgr, std::int32_t width) {
    const std::size_t rowBytes = width > 0 ? static_cast<std::size_t>(width) * 3 : 0;
    const char padding[3] = {};
    out.write(reinterpret_cast<const char*>(bgr), static_cast<std::streamsize>(rowBytes));
    out.write(padding, static_cast<std::streamsize>(BmpStride(width) - rowBytes));
}

void WriteBmpTo(std::ostream& out, std::int32_t width, std::int32_t height,
                const std::vector<std::uint8_t>& topDownRows) {
    WriteBmpHeaders(out, width, height);
    const std::size_t rowBytes = width > 0 ? static_cast<std::size_t>(width) * 3 : 0;
    const std::size_t h = height > 0 ? static_cast<std::size_t>(height) : 0;
    const bool complete = topDownRows.size() >= rowBytes * h;
    const std::vector<std::uint8_t> black(rowBytes, 0);
    for (std::size_t row = h; row-- > 0;) {
        // Pointer arithmetic, not indexing: an empty image has no first element to index.
        const std::uint8_t* bytes = complete ? topDownRows.data() + row * rowBytes : black.data();
        WriteBmpRow(out, bytes, width);
    }
}

void WriteBmp(const std::string& fileName, std::int32_t width, std::int32_t height,
              const std::vector<std::uint8_t>& topDownRows) {
    WriteFileReplacing(fileName,
                       [&](std::ostream& out) { WriteBmpTo(out, width, height, topDownRows); });
}

void SaveBmp(const std::string& fileName, const Image& image) {
    WriteBmp(fileName, image.Width(), image.Height(), image.Shown());
}

} // namespace vorticel
