// 24-bit uncompressed BMP files.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace vorticel {

// Puts a 24-bit BMP into `out`: 14-byte file header, 40-byte information header, then the
// rows bottom-up, blue-green-red, each padded to 4 bytes. `topDownRows` holds width x 3
// bytes per row, top row first (rows it lacks are written black).
void WriteBmpTo(std::ostream& out, std::int32_t width, std::int32_t height,
                const std::vector<std::uint8_t>& topDownRows);

// Whether a width x height BMP fits the 32-bit file size of its header.
bool BmpHolds(std::int64_t width, std::int64_t height);
// The same file a row at a time: the headers, then each row (width x 3 bytes, blue green red)
// bottom row first, padded to 4 bytes.
void WriteBmpHeaders(std::ostream& out, std::int32_t width, std::int32_t height);
void WriteBmpRow(std::ostream& out, const std::uint8_t* bgr, std::int32_t width);

// Writes the BMP by replacement, row by row; throws FileError when it cannot.
void WriteBmp(const std::string& fileName, std::int32_t width, std::int32_t height,
              const std::vector<std::uint8_t>& topDownRows);

class Image;
// The shown copy of `image` as a BMP file; throws FileError.
void SaveBmp(const std::string& fileName, const Image& image);

} // namespace vorticel
