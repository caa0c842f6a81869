// A tone curve's bytes without its power per pixel: for a curve that never falls (a larger
// value never gets a smaller byte), the byte of a value is the number of thresholds it
// reaches, where each threshold is the least float that gets that byte or more, found on the
// curve itself. So the table gives the curve's own bytes, not an approximation of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vorticel {

class ToneTable {
public:
    // From how many pixels a shading pass pays for the ~8,000 evaluations of the curve that
    // building the table takes.
    static constexpr std::int64_t kFromPixels = std::int64_t{1} << 16;

    // `byteOf`(float) -> 0..255, not falling over the positive floats; the table gives the
    // bytes of values above 0, and 0 for the rest (0, below 0, NaN), which reach no threshold.
    template <class ByteOf> explicit ToneTable(ByteOf&& byteOf) {
        threshold_[0] = 0.0f;
        for (int g = 1; g < 256; ++g) {
            // The least positive float (by its bits, which order positive floats) whose byte
            // is g or more; infinity when none below it is.
            std::uint32_t lo = 1;
            std::uint32_t hi = kInfinityBits;
            while (lo < hi) {
                const std::uint32_t mid = lo + (hi - lo) / 2;
                if (byteOf(FloatOf(mid)) >= g) {
                    hi = mid;
                } else {
                    lo = mid + 1;
                }
            }
            threshold_[static_cast<std::size_t>(g)] = FloatOf(lo);
        }
        threshold_[256] = std::numeric_limits<float>::quiet_NaN(); // reached by none
        for (std::size_t key = 0; key < first_.size(); ++key) {
            first_[key] = Search(FloatOf(static_cast<std::uint32_t>(key << kKeyShift)));
        }
    }

    // The byte of a value above 0: the last threshold it reaches; 0 for any other. The byte
    // of the least float with the same top bits, then the few thresholds between them.
    std::uint8_t operator()(float value) const {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        if (bits > kInfinityBits) {
            return 0; // below 0 (-0 too) or NaN
        }
        std::size_t g = first_[bits >> kKeyShift];
        while (threshold_[g + 1] <= value) {
            ++g;
        }
        return static_cast<std::uint8_t>(g);
    }

private:
    static constexpr std::uint32_t kInfinityBits = 0x7F800000u;
    // Floats of one key share their exponent and top 6 bits of mantissa: 64 keys a binade,
    // a table that stays in the cache beside the pixels.
    static constexpr unsigned kKeyShift = 17;

    static float FloatOf(std::uint32_t bits) {
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

    // The last threshold `value` reaches, by halving.
    std::uint8_t Search(float value) const {
        std::size_t g = 0;
        for (std::size_t step = 128; step > 0; step /= 2) {
            g = threshold_[g + step] <= value ? g + step : g;
        }
        return static_cast<std::uint8_t>(g);
    }

    std::array<float, 257> threshold_;
    std::array<std::uint8_t, (kInfinityBits >> kKeyShift) + 1> first_;
};

} // namespace vorticel
