// The walk over a PNG's chunks that finds its texts, over any source of bytes.
#pragma once

#include "render/png_file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorticel {

// Fills `data` with up to `size` bytes, fewer only at the end of the source. May throw.
using PngByteSource = std::function<std::size_t(char* data, std::size_t size)>;

// The texts of the PNG that `source` holds, `sourceBytes` long, as ReadPngTexts(fileName)
// reads them; `fileName` names the source in errors. Throws FileError, or what `source` throws.
std::vector<PngText> ReadPngTexts(const PngByteSource& source, std::uint64_t sourceBytes,
                                  const std::string& fileName, const PngTextLimits& limits);

} // namespace vorticel
