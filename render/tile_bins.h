// Points of a render held back and splatted tile by tile, so that a large image's buffers are
// visited a tile at a time while the tile is in cache, rather than wherever the orbit goes.
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

// Asks for the cache lines of the rows of a splat at `at` of `texels` (a grid `width` wide),
// for writing.
template <class T> void FetchSplatRows(const SplatPlace& at, std::int32_t width, const T* texels) {
    const std::size_t i00 = static_cast<std::size_t>(at.iy) * static_cast<std::size_t>(width) +
                            static_cast<std::size_t>(at.ix);
    const T* row = texels + i00;
    __builtin_prefetch(row, 1);
    __builtin_prefetch(row + 1, 1);
    __builtin_prefetch(row + width, 1);
    __builtin_prefetch(row + width + 1, 1);
}

// A held-back point of the soft-depth renderers: where it falls and its depth.
struct DepthPlace {
    SplatPlace at;
    float z;
};

// How many points the bins of a grid of `pixels` texels hold before they flush: enough that a
// tile's cache lines, once fetched, serve several points each (a few hundred thousand points
// still land a line apart on a large image), and no more, so the bins stay small beside the
// accumulation itself.
inline constexpr std::int64_t kPixelsPerBinnedPoint = 32;
inline constexpr std::size_t kLeastBinnedPoints = std::size_t{1} << 15;
inline constexpr std::size_t kMostBinnedPoints = std::size_t{1} << 20;
inline std::size_t BinCapacity(std::int64_t pixels) {
    const auto wanted =
        static_cast<std::size_t>(std::max<std::int64_t>(pixels, 0) / kPixelsPerBinnedPoint);
    return std::clamp(wanted, kLeastBinnedPoints, kMostBinnedPoints);
}

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
    // tiles): the point, and its copy in tile order with its mask.
    static constexpr std::int64_t kBytesPerPoint =
        static_cast<std::int64_t>(sizeof(Record) + (sizeof(Record) + 1) * 5 / 4);
    static std::int64_t HeldBytes(std::int64_t pixels) {
        return static_cast<std::int64_t>(BinCapacity(pixels)) * kBytesPerPoint;
    }

    // For a grid of width x rows texels; keeps what it holds only for the same grid.
    void Prepare(std::int32_t width, std::int32_t rows) {
        const std::int32_t across = (width + kTileMaskX) >> kTileShiftX;
        const std::int32_t down = (rows + kTileMaskY) >> kTileShiftY;
        const std::size_t capacity = BinCapacity(std::int64_t{width} * rows);
        if (records_.size() != capacity) {
            records_.resize(capacity);
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
        return size_ == records_.size();
    }

    // plot(record, mask) for every point held, tile by tile, each tile's in their order;
    // `mask` has bit k set for the texels k of the splat (SplatOf) inside the tile. Empties.
    // touch(record) is called a few points ahead of plot(record), to fetch its texels into
    // the cache meanwhile: on a large image they are rarely there already.
    template <class Plot, class Touch> void Flush(Plot&& plot, Touch&& touch) {
        if (size_ == 0) {
            return;
        }
        // A counting sort of the pieces by tile, stable: each tile's in the points' order.
        // The pieces are copied into tile order so the splatting reads them in sequence.
        std::uint32_t* const count = starts_.data() + 1;
        for (std::size_t i = 0; i < size_; ++i) {
            Pieces(PlaceOf(records_[i]), [count](std::size_t tile, unsigned) { ++count[tile]; });
        }
        std::uint32_t total = 0;
        for (std::uint32_t& n : starts_) {
            const std::uint32_t c = n;
            n = total;
            total += c;
        }
        if (sorted_.size() < total) {
            sorted_.resize(total);
            masks_.resize(total);
        }
        std::uint32_t* const next = starts_.data() + 1;
        Record* const sorted = sorted_.data();
        std::uint8_t* const masks = masks_.data();
        for (std::size_t i = 0; i < size_; ++i) {
            const Record& r = records_[i];
            Pieces(PlaceOf(r), [&r, next, sorted, masks](std::size_t tile, unsigned mask) {
                const std::uint32_t k = next[tile]++;
                sorted[k] = r;
                masks[k] = static_cast<std::uint8_t>(mask);
            });
        }
        for (std::uint32_t k = 0; k < total; ++k) {
            if (k + kAhead < total) {
                touch(static_cast<const Record&>(sorted[k + kAhead]));
            }
            plot(static_cast<const Record&>(sorted[k]), unsigned{masks[k]});
        }
        std::fill(starts_.begin(), starts_.end(), 0u);
        size_ = 0;
    }

    std::size_t Size() const { return size_; }

private:
    static constexpr std::uint32_t kAhead = 32; // pieces between touch and plot

    static const SplatPlace& PlaceOf(const SplatPlace& place) { return place; }
    template <class R> static const SplatPlace& PlaceOf(const R& record) { return record.at; }

    // emit(tile, mask) for each tile the splat at `at` touches.
    template <class Emit> void Pieces(const SplatPlace& at, Emit&& emit) const {
        const auto across = static_cast<std::size_t>(across_);
        const std::size_t tile = static_cast<std::size_t>(at.iy >> kTileShiftY) * across +
                                 static_cast<std::size_t>(at.ix >> kTileShiftX);
        const bool right = (at.ix & kTileMaskX) == kTileMaskX; // texels 1 and 2 in the next tile
        const bool up = (at.iy & kTileMaskY) == kTileMaskY;    // texels 2 and 3 in the row above
        if (!right && !up) {
            emit(tile, 0xFu);
        } else if (!up) {
            emit(tile, 0x9u);
            emit(tile + 1, 0x6u);
        } else if (!right) {
            emit(tile, 0x3u);
            emit(tile + across, 0xCu);
        } else {
            emit(tile, 0x1u);
            emit(tile + 1, 0x2u);
            emit(tile + across + 1, 0x4u);
            emit(tile + across, 0x8u);
        }
    }

    std::vector<Record> records_;
    std::size_t size_ = 0;
    std::int32_t across_ = 0;
    std::vector<std::uint32_t> starts_; // per tile + 1: counts, then where its next piece goes
    std::vector<Record> sorted_;        // the pieces' records, tile by tile
    std::vector<std::uint8_t> masks_;   // the pieces' texel masks
};

} // namespace vorticel
