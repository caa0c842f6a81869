// PNG images with text chunks, through libpng.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vorticel {

// A text chunk: its keyword (1 to 79 Latin-1 characters, kept as UTF-8) and its text (UTF-8).
using PngText = std::pair<std::string, std::string>;

// A PNG of a larger file is refused when read: it would be no image the program renders.
constexpr std::size_t kMaxPngFileBytes = std::size_t{1} << 30;

// Writes a 24-bit RGB PNG by replacement (io/replace_file.h). `bitmap` is Image::Shown():
// top row first, blue green red, width x 3 bytes a row. Each text becomes a chunk before the
// image data: a compressed iTXt when long, a plain iTXt when it holds UTF-8 beyond ASCII, else
// a tEXt (the same bytes in Latin-1, which tools that ignore iTXt show too). Throws FileError:
// Reason::Encoder when the image is empty or libpng refuses it, the system's reason when the
// file cannot be written.
void WritePng(const std::string& fileName, std::int32_t width, std::int32_t height,
              const std::vector<std::uint8_t>& bitmap, const std::vector<PngText>& texts);

// The tEXt, zTXt and iTXt chunks of a PNG, in file order, from before and after the image data
// (which is decoded row by row and dropped, so memory stays small). A regular file only, of at
// most kMaxPngFileBytes, and of no more pixels than the program renders. Throws FileError:
// Reason::NotPng for a file that is not a PNG or a damaged one, TooLarge, or the system's reason.
std::vector<PngText> ReadPngTexts(const std::string& fileName);

} // namespace vorticel
