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

} // namespace

void WriteBmpTo(std::ostream& out, std::int32_t width, std::int32_t height,
                const std::vector<std::uint8_t>& topDownRows) {
    const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
    const std::size_t h = height > 0 ? static_cast<std::size_t>(height) : 0;
    const std::size_t rowBytes = w * 3;
    const std::size_t stride = (rowBytes + 3) & ~std::size_t{3};
    const std::size_t imageSize = stride * h;
    constexpr std::uint32_t kHeaders = 14 + 40;

    std::string headers;
    headers += "BM";
    Put32(headers, static_cast<std::uint32_t>(kHeaders + imageSize));
    Put32(headers, 0); // reserved
    Put32(headers, kHeaders);
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

    const bool complete = topDownRows.size() >= rowBytes * h;
    const std::string black(rowBytes, '\0');
    const char padding[3] = {};
    for (std::size_t row = h; row-- > 0;) {
        // Pointer arithmetic, not indexing: an empty image has no first element to index.
        const char* bytes = complete
                                ? reinterpret_cast<const char*>(topDownRows.data()) + row * rowBytes
                                : black.data();
        out.write(bytes, static_cast<std::streamsize>(rowBytes));
        out.write(padding, static_cast<std::streamsize>(stride - rowBytes));
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
