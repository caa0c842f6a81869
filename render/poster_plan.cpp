// Cutting a poster into strips that fit.
#include "render/poster_plan.h"

#include "render/render_run.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace vorticel {
namespace {

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

// Bytes of the largest strip of `rows` own rows.
std::int64_t StripBytes(const StripCost& cost, std::int32_t height, std::int64_t rows) {
    const std::int64_t band = std::min<std::int64_t>(height, rows + 2 * kStripMargin);
    return cost.fixedBytes + cost.rowBytes * band;
}

std::string Megabytes(std::int64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

} // namespace

void StripRows(const PosterPlan& plan, std::int32_t height, std::int32_t k, std::int32_t& first,
               std::int32_t& end) {
    first = std::min<std::int32_t>(height, k * plan.rowsPerStrip);
    end = k + 1 >= plan.strips ? height : std::min<std::int32_t>(height, first + plan.rowsPerStrip);
}

void StripBand(const PosterPlan& plan, std::int32_t height, std::int32_t k, std::int32_t& first,
               std::int32_t& end) {
    StripRows(plan, height, k, first, end);
    first = std::max<std::int32_t>(0, first - kStripMargin);
    end = std::min<std::int32_t>(height, end + kStripMargin);
}

PosterPlan PlanStrips(std::int32_t width, std::int32_t height, std::int32_t threads,
                      std::int32_t strips, std::int64_t memoryBytes, std::int64_t maxBandPixels,
                      const StripCost& cost) {
    PosterPlan plan;
    plan.threads = threads;
    // The most own rows a strip may take: within the pixels a band holds and the memory.
    std::int64_t most = maxBandPixels / std::max<std::int32_t>(width, 1) - 2 * kStripMargin;
    if (memoryBytes > 0 && cost.rowBytes > 0) {
        most = std::min(most, (memoryBytes - cost.fixedBytes) / cost.rowBytes - 2 * kStripMargin);
    }
    most = std::min<std::int64_t>(most, height);
    std::int64_t count = 0;
    if (strips > 0) {
        count = std::min<std::int64_t>(strips, height);
    } else {
        if (most < 1) {
            throw MemoryBudgetError(
                std::to_string(threads) + (threads == 1 ? " worker needs " : " workers need ") +
                Megabytes(StripBytes(cost, height, 1)) + " for the thinnest strip of a " +
                std::to_string(width) + "x" + std::to_string(height) + " image, more than the " +
                Megabytes(memoryBytes) + " of memory allowed");
        }
        count = CeilDiv(height, most);
    }
    // Strips as even as the rows allow.
    plan.rowsPerStrip = static_cast<std::int32_t>(CeilDiv(height, count));
    plan.strips = static_cast<std::int32_t>(CeilDiv(height, plan.rowsPerStrip));
    plan.stripBytes = StripBytes(cost, height, plan.rowsPerStrip);
    if (plan.rowsPerStrip > most) {
        throw MemoryBudgetError(std::to_string(strips) + " strips of a " + std::to_string(width) +
                                "x" + std::to_string(height) + " image need " +
                                Megabytes(plan.stripBytes) + " each, more than the " +
                                Megabytes(memoryBytes) + " of memory allowed");
    }
    return plan;
}

} // namespace vorticel
