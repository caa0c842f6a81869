// 24-bit uncompressed BMP files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorticel {

// The file bytes of a 24-bit BMP: 14-byte file header, 40-byte information header, then
// the rows bottom-up, blue-green-red, each padded to 4 bytes. `topDownRows` holds
// width x 3 bytes per row, top row first.
std::string EncodeBmp(std::int32_t width, std::int32_t height,
                      const std::vector<std::uint8_t>& topDownRows);

// Writes the BMP by replacement; throws FileError when it cannot.
void WriteBmp(const std::string& fileName, std::int32_t width, std::int32_t height,
              const std::vector<std::uint8_t>& topDownRows);

} // namespace vorticel
