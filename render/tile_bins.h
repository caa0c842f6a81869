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

// `Record` is a SplatPlace, or holds one as `at` with whatever else its splat reads.
template <class Record> class TileBins {
public:
    static constexpr std::int32_t kTileShift = 6; // 64 x 64 texels
    static constexpr std::int32_t kTileMask = (1 << kTileShift) - 1;
    static constexpr std::size_t kCapacity = std::size_t{1} << 15;

    // For a grid of width x rows texels; keeps what it holds only for the same grid.
    void Prepare(std::int32_t width, std::int32_t rows) {
        const std::int32_t across = (width + kTileMask) >> kTileShift;
        const std::int32_t down = (rows + kTileMask) >> kTileShift;
        if (records_.size() != kCapacity) {
            records_.resize(kCapacity);
            order_.resize(4 * kCapacity);
        }
        if (across != across_ || std::int64_t{across} * down != std::int64_t(slotOf_.size())) {
            size_ = 0;
            across_ = across;
            slotOf_.assign(static_cast<std::size_t>(across) * static_cast<std::size_t>(down),
                           kNoSlot);
        }
    }

    // Holds a point back; true when the bins are full and must be flushed.
    bool Add(const Record& record) {
        records_[size_++] = record;
        return size_ == kCapacity;
    }

    // plot(record, mask) for every point held, tile by tile, each tile's in their order;
    // `mask` has bit k set for the texels k of the splat (SplatOf) inside the tile. Empties.
    // touch(record) is called a few points ahead of plot(record), to fetch its texels into
    // the cache meanwhile: on a large image they are rarely there already.
    template <class Plot, class Touch> void Flush(Plot&& plot, Touch&& touch) {
        if (size_ == 0) {
            return;
        }
        // Count the pieces of each tile touched (numbered in order of first touch).
        for (std::size_t i = 0; i < size_; ++i) {
            Pieces(PlaceOf(records_[i]), [this](std::size_t tile, unsigned) {
                std::int32_t& slot = slotOf_[tile];
                if (slot == kNoSlot) {
                    slot = static_cast<std::int32_t>(touched_.size());
                    touched_.push_back(static_cast<std::uint32_t>(tile));
                    next_.push_back(0);
                }
                ++next_[static_cast<std::size_t>(slot)];
            });
        }
        std::uint32_t start = 0;
        for (std::uint32_t& n : next_) {
            const std::uint32_t count = n;
            n = start;
            start += count;
        }
        // Stable: each tile's pieces in the points' order.
        for (std::size_t i = 0; i < size_; ++i) {
            Pieces(PlaceOf(records_[i]), [this, i](std::size_t tile, unsigned mask) {
                const auto slot = static_cast<std::size_t>(slotOf_[tile]);
                order_[next_[slot]++] = static_cast<std::uint32_t>(i << 4) | mask;
            });
        }
        for (std::uint32_t k = 0; k < start; ++k) {
            if (k + kAhead < start) {
                touch(static_cast<const Record&>(records_[order_[k + kAhead] >> 4]));
            }
            const std::uint32_t piece = order_[k];
            plot(static_cast<const Record&>(records_[piece >> 4]), piece & 15u);
        }
        for (const std::uint32_t tile : touched_) {
            slotOf_[tile] = kNoSlot;
        }
        touched_.clear();
        next_.clear();
        size_ = 0;
    }

    std::size_t Size() const { return size_; }

private:
    static constexpr std::int32_t kNoSlot = -1;
    static constexpr std::uint32_t kAhead = 64; // pieces between touch and plot

    static const SplatPlace& PlaceOf(const SplatPlace& place) { return place; }
    template <class R> static const SplatPlace& PlaceOf(const R& record) { return record.at; }

    // emit(tile, mask) for each tile the splat at `at` touches.
    template <class Emit> void Pieces(const SplatPlace& at, Emit&& emit) const {
        const auto across = static_cast<std::size_t>(across_);
        const std::size_t tile = static_cast<std::size_t>(at.iy >> kTileShift) * across +
                                 static_cast<std::size_t>(at.ix >> kTileShift);
        const bool right = (at.ix & kTileMask) == kTileMask; // texels 1 and 2 in the next tile
        const bool up = (at.iy & kTileMask) == kTileMask;    // texels 2 and 3 in the row above
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
    std::vector<std::int32_t> slotOf_;   // per tile: its number in this flush, or kNoSlot
    std::vector<std::uint32_t> touched_; // tiles touched, by number
    std::vector<std::uint32_t> next_;    // per number: count, then where its next piece goes
    std::vector<std::uint32_t> order_;   // record index << 4 | texel mask, tile by tile
};

} // namespace vorticel
