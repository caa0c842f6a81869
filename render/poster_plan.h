// How a poster is cut: the workers of its runs, and horizontal strips whose buffers fit the
// memory it may take.
#pragma once

#include <cstdint>

namespace vorticel {

// Rows a strip accumulates beyond its own on each side (up to the image's edges): a band's
// outermost rows receive no point and the rows next to them miss the points that fall on
// those, and Solid's normals read the row above. With them, every row a strip shades holds
// what it holds in the image in one piece.
constexpr std::int32_t kStripMargin = 2;
// What planning leaves aside for the process itself (code, libraries, the encoder).
constexpr std::int64_t kPosterReserveBytes = std::int64_t{48} << 20;

// What one strip's run holds: `fixedBytes` whatever its size (the preview ring, the shadow
// maps of every copy), and `rowBytes` for each row of its band (the band's image and the
// accumulation of the run's bitmap and of each worker, the 16-bit rows).
struct StripCost {
    std::int64_t fixedBytes = 0;
    std::int64_t rowBytes = 0;
};

struct PosterPlan {
    std::int32_t threads = 1;
    std::int32_t strips = 1;
    std::int32_t rowsPerStrip = 1; // the strips' own rows; the top strip takes what is left
    std::int64_t stripBytes = 0;   // what the largest strip's run holds
};

// Output rows first .. end - 1 of strip k (0 at the bottom) of an image `height` rows high.
void StripRows(const PosterPlan& plan, std::int32_t height, std::int32_t k, std::int32_t& first,
               std::int32_t& end);
// The rows it accumulates: its own and the margins.
void StripBand(const PosterPlan& plan, std::int32_t height, std::int32_t k, std::int32_t& first,
               std::int32_t& end);

// The strips of a `width` x `height` image whose runs of `threads` workers cost `cost` each,
// within `memoryBytes` (0: no limit): `strips` of them when asked for (> 0, at most one per
// row), else as few as fit; no band holds more than `maxBandPixels`. Throws MemoryBudgetError
// when they do not fit.
PosterPlan PlanStrips(std::int32_t width, std::int32_t height, std::int32_t threads,
                      std::int32_t strips, std::int64_t memoryBytes, std::int64_t maxBandPixels,
                      const StripCost& cost);

} // namespace vorticel
