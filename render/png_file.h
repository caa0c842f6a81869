// PNG images with text chunks, through libpng.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorticel {

// A text chunk: its keyword (1 to 79 Latin-1 characters, kept as UTF-8) and its text (UTF-8).
using PngText = std::pair<std::string, std::string>;

// Whether a file is taken as a PNG image: by its extension, ".png" in any case.
bool HasPngExtension(const std::string& fileName);

// A PNG of a larger file is refused when read: it would be no image the program renders (the
// largest, of kMaxImagePixels in 24 bits, takes 384 MB before compression), and reading it
// through, to check its CRCs, takes well under a second.
constexpr std::size_t kMaxPngFileBytes = std::size_t{1} << 29;

// Writes a 24-bit RGB PNG by replacement (io/replace_file.h). `bitmap` is Image::Shown():
// top row first, blue green red, width x 3 bytes a row. Each text becomes a chunk before the
// image data: a compressed iTXt when long, a plain iTXt when it holds UTF-8 beyond ASCII, else
// a tEXt (the same bytes in Latin-1, which tools that ignore iTXt show too). Throws FileError:
// Reason::Encoder when the image is empty or libpng refuses it, the system's reason when the
// file cannot be written.
void WritePng(const std::string& fileName, std::int32_t width, std::int32_t height,
              const std::vector<std::uint8_t>& bitmap, const std::vector<PngText>& texts);

// The PNG WritePng writes, into `out` (`fileName` names it in errors). Throws FileError
// (Reason::Encoder), or what the stream throws.
void EncodePng(std::ostream& out, const std::string& fileName, std::int32_t width,
               std::int32_t height, const std::vector<std::uint8_t>& bitmap,
               const std::vector<PngText>& texts);

// A PNG put into `out` a row at a time, top row first: the texts as WritePng writes them, then
// rows of `depth` 8 (blue, green, red bytes, width x 3 a row) or 16 (red, green, blue samples
// of 16 bits in the host's order, width x 3 a row: a 48-bit PNG). Never holds the image.
// Throws FileError (Reason::Encoder; an empty image is refused), or what the stream throws.
class PngRowWriter {
public:
    PngRowWriter(std::ostream& out, const std::string& fileName, std::int32_t width,
                 std::int32_t height, int depth, const std::vector<PngText>& texts);
    ~PngRowWriter();
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;

    void WriteRow(const void* row);
    // After the last row: the chunks that close the file.
    void Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// What reading the texts of a PNG keeps, and how much it takes.
struct PngTextLimits {
    // Only the texts of this keyword are kept (the others are checked and dropped); empty: all.
    std::string_view keyword;
    // A kept text longer than this, once decompressed, is refused (Reason::TextTooLarge).
    std::size_t maxTextBytes = 256 * 1024;
    // A PNG of more text chunks than this, kept or not, is refused (Reason::TooManyTexts).
    std::size_t maxTexts = 256;
};

// The tEXt, zTXt and iTXt chunks of a PNG, in file order, from before and after the image data,
// found by walking the chunks: the image data is checked (CRC) but never decoded, so memory
// stays in proportion to the texts kept, whatever size the image declares. A regular file only,
// of at most kMaxPngFileBytes. Throws FileError: Reason::NotPng for a file that is not a PNG or
// a damaged one; ImageTooLarge for an image wider or of more pixels than the program renders;
// ChunkPastEnd, TooManyTexts, TextTooLarge as their names say; TooLarge, or the system's reason.
std::vector<PngText> ReadPngTexts(const std::string& fileName, const PngTextLimits& limits = {});

} // namespace vorticel
