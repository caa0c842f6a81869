// Points of a render held back and splatted tile by tile, so that a large image's buffers are
// visited in runs along a tile's rows, fetched ahead, rather than wherever the orbit goes.
//
// Every pixel still receives its contributions in the points' own order: each tile's points
// are splatted in the order they came, and a point whose splat straddles a tile edge is put in
// every tile it touches, each splatting only the texels of its own tile. Tiles hold disjoint
// pixels, so the order of the tiles does not matter, and the bytes are those of a direct
// splat, soft depths included.
#pragma once

#include "render/splat.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorticel {

// Whether a render bins its points by tile: Auto when its buffers outgrow the cache.
enum class TileBinning : std::uint8_t { Auto, Always, Never };

// Accumulation bytes from which binning pays (below it the buffers stay in cache anyway).
inline constexpr std::int64_t kTileBinningFromBytes = std::int64_t{8} << 20;

// Asks for the cache line at `p`. An asm statement, which the optimiser keeps: it takes a
// function of nothing but __builtin_prefetch for one without effects, and drops its calls.
inline void FetchLine(const void* p) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
    __builtin_prefetch(p, 1);
#endif
}

// Asks for the cache lines of the rows of a splat at `at` of `texels` (a grid `width` wide),
// for writing.
template <class T> void FetchSplatRows(const SplatPlace& at, std::int32_t width, const T* texels) {
    const std::size_t i00 = static_cast<std::size_t>(at.iy) * static_cast<std::size_t>(width) +
                            static_cast<std::size_t>(at.ix);
    const T* row = texels + i00;
    FetchLine(row);
    FetchLine(row + 1);
    FetchLine(row + width);
    FetchLine(row + width + 1);
}

// A held-back point of the soft-depth renderers: where it falls and its depth.
struct DepthPlace {
    SplatPlace at;
    float z;
};

// How many points the bins hold before they are sorted by tile and splatted: as many as a
// render worker's chunk, so that a chunk is one load. Measured against smaller loads whose
// splats were interleaved with the next load's orbit steps, one larger load splatted in a pass
// of its own is faster: a tile gets more points while it is in cache, and the pass keeps more
// fetches in flight.
inline constexpr std::size_t kBinnedPoints = std::size_t{1} << 16;

// `Record` is a SplatPlace, or holds one as `at` with whatever else its splat reads.
template <class Record> class TileBins {
public:
    // 128 x 64 texels: a tile's rows are runs of whole cache lines, and few enough tiles that
    // the sort's write positions stay in cache.
    static constexpr std::int32_t kTileShiftX = 7;
    static constexpr std::int32_t kTileShiftY = 6;
    static constexpr std::int32_t kTileMaskX = (1 << kTileShiftX) - 1;
    static constexpr std::int32_t kTileMaskY = (1 << kTileShiftY) - 1;
    // What the bins hold for each point, at most in an ordinary render (few points straddle
    // tiles): the point, and its copy in tile order.
    static constexpr std::int64_t kBytesPerPoint =
        static_cast<std::int64_t>(sizeof(Record) + sizeof(Record) * 5 / 4);
    static constexpr std::int64_t kHeldBytes =
        static_cast<std::int64_t>(kBinnedPoints) * kBytesPerPoint;

    // For a grid of width x rows texels; keeps what it holds only for the same grid.
    void Prepare(std::int32_t width, std::int32_t rows) {
        const std::int32_t across = (width + kTileMaskX) >> kTileShiftX;
        const std::int32_t down = (rows + kTileMaskY) >> kTileShiftY;
        if (records_.size() != kBinnedPoints) {
            records_.resize(kBinnedPoints);
            size_ = 0;
        }
        if (across != across_ || std::int64_t{across} * down != std::int64_t(starts_.size()) - 1) {
            size_ = 0;
            across_ = across;
            starts_.assign(static_cast<std::size_t>(across) * static_cast<std::size_t>(down) + 1,
                           0);
        }
    }

    // Holds a point back; true when the bins are full and must be flushed.
    bool Add(const Record& record) {
        records_[size_++] = record;
        std::uint32_t* const count = starts_.data() + 1;
        Pieces(PlaceOf(record), [count](std::size_t tile, unsigned) { ++count[tile]; });
        return size_ == records_.size();
    }

    // Sorts the points held back into pieces in tile order, each tile's in the points' order,
    // and plots them: plot(record, mask), `mask` with bit k set for the texels k of the splat
    // (SplatOf) inside the tile. touch(record) is called a few pieces ahead of plot(record), to
    // fetch its texels into the cache meanwhile: on a large image they are rarely there
    // already. The bins are empty after it.
    template <class Plot, class Touch> void Flush(Plot&& plot, Touch&& touch) {
        if (size_ == 0) {
            return;
        }
        // A counting sort of the pieces by tile (Add counted them), stable. The pieces are
        // copied into tile order, each with its mask in the spare top bits of its column, so
        // the splatting reads one array in sequence.
        std::uint32_t total = 0;
        for (std::uint32_t& n : starts_) {
            const std::uint32_t c = n;
            n = total;
            total += c;
        }
        if (sorted_.size() < total) {
            sorted_.resize(total);
        }
        std::uint32_t* const next = starts_.data() + 1;
        Record* const sorted = sorted_.data();
        for (std::size_t i = 0; i < size_; ++i) {
            const Record& r = records_[i];
            Pieces(PlaceOf(r), [&r, next, sorted](std::size_t tile, unsigned mask) {
                Record& piece = sorted[next[tile]++];
                piece = r;
                PlaceOf(piece).ix |= static_cast<std::int32_t>(mask << kMaskShift);
            });
        }
        std::fill(starts_.begin(), starts_.end(), 0u);
        size_ = 0;
        for (std::uint32_t k = 0; k < total; ++k) {
            if (k + kAhead < total) {
                touch(Unmasked(sorted[k + kAhead]));
            }
            const Record& piece = sorted[k];
            plot(Unmasked(piece), static_cast<std::uint32_t>(PlaceOf(piece).ix) >> kMaskShift);
        }
    }

private:
    static constexpr std::uint32_t kAhead = 64; // pieces between touch and plot

    // Columns are below 2^16 (the widest image), so the top bits can carry a piece's mask.
    static constexpr unsigned kMaskShift = 28;
    static constexpr std::int32_t kColumnBits = (std::int32_t{1} << kMaskShift) - 1;

    static const SplatPlace& PlaceOf(const SplatPlace& place) { return place; }
    template <class R> static const SplatPlace& PlaceOf(const R& record) { return record.at; }
    static SplatPlace& PlaceOf(SplatPlace& place) { return place; }
    template <class R> static SplatPlace& PlaceOf(R& record) { return record.at; }
    static Record Unmasked(Record piece) {
        PlaceOf(piece).ix &= kColumnBits;
        return piece;
    }

    // piece(tile, mask) for each tile the splat at `at` touches.
    template <class Emit> void Pieces(const SplatPlace& at, Emit&& piece) const {
        const auto across = static_cast<std::size_t>(across_);
        const std::size_t tile = static_cast<std::size_t>(at.iy >> kTileShiftY) * across +
                                 static_cast<std::size_t>(at.ix >> kTileShiftX);
        const bool right = (at.ix & kTileMaskX) == kTileMaskX; // texels 1 and 2 in the next tile
        const bool up = (at.iy & kTileMaskY) == kTileMaskY;    // texels 2 and 3 in the row above
        if (!right && !up) {
            piece(tile, 0xFu);
        } else if (!up) {
            piece(tile, 0x9u);
            piece(tile + 1, 0x6u);
        } else if (!right) {
            piece(tile, 0x3u);
            piece(tile + across, 0xCu);
        } else {
            piece(tile, 0x1u);
            piece(tile + 1, 0x2u);
            piece(tile + across + 1, 0x4u);
            piece(tile + across, 0x8u);
        }
    }

    std::vector<Record> records_;
    std::size_t size_ = 0;
    std::int32_t across_ = 0;
    std::vector<std::uint32_t> starts_; // per tile + 1: counts, then where its next piece goes
    std::vector<Record> sorted_;        // the pieces, tile by tile, masks in their columns
};

} // namespace vorticel
