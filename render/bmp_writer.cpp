// The BMP layout, little-endian whatever the host.
#include "render/bmp_writer.h"

#include "attractor/file_io.h"

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

std::string EncodeBmp(std::int32_t width, std::int32_t height,
                      const std::vector<std::uint8_t>& topDownRows) {
    const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
    const std::size_t h = height > 0 ? static_cast<std::size_t>(height) : 0;
    const std::size_t rowBytes = w * 3;
    const std::size_t stride = (rowBytes + 3) & ~std::size_t{3};
    const std::size_t imageSize = stride * h;
    constexpr std::uint32_t kHeaders = 14 + 40;

    std::string out;
    out.reserve(kHeaders + imageSize);
    out += "BM";
    Put32(out, static_cast<std::uint32_t>(kHeaders + imageSize));
    Put32(out, 0); // reserved
    Put32(out, kHeaders);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(w));
    Put32(out, static_cast<std::uint32_t>(h));
    Put16(out, 1);  // planes
    Put16(out, 24); // bits per pixel
    Put32(out, 0);  // no compression
    Put32(out, static_cast<std::uint32_t>(imageSize));
    Put32(out, 0); // horizontal resolution
    Put32(out, 0); // vertical resolution
    Put32(out, 0); // colours used
    Put32(out, 0); // important colours
    const bool complete = topDownRows.size() >= rowBytes * h;
    for (std::size_t row = h; row-- > 0;) {
        if (complete) {
            out.append(reinterpret_cast<const char*>(&topDownRows[row * rowBytes]), rowBytes);
        } else {
            out.append(rowBytes, '\0');
        }
        out.append(stride - rowBytes, '\0');
    }
    return out;
}

void WriteBmp(const std::string& fileName, std::int32_t width, std::int32_t height,
              const std::vector<std::uint8_t>& topDownRows) {
    WriteFileReplacing(fileName, EncodeBmp(width, height, topDownRows));
}

} // namespace vorticel
