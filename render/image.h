// A 24-bit image: rows of blue, green, red pixels, row 0 at the bottom, as the renderers
// shade it, and the top-down copy the window draws and the writers save.
#pragma once

#include "render/colour.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorticel {

class Image {
public:
    // Both copies black (the shown one empty when not `shown`); an empty image when a side is
    // not positive.
    void Resize(std::int32_t width, std::int32_t height, bool shown = true);
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    bool Empty() const { return rows_.empty(); }

    // The three bytes of pixel `index` (y x width + x, row 0 at the bottom).
    std::uint8_t* Pixel(std::size_t index) { return &rows_[3 * index]; }
    const std::uint8_t* Pixel(std::size_t index) const { return &rows_[3 * index]; }
    // All rows, bottom row first, width x 3 bytes each.
    const std::vector<std::uint8_t>& Rows() const { return rows_; }
    // Every pixel trunc(255 x colour).
    void Fill(const ColourRGB& colour);
    // Fill, then Publish.
    void FillAndPublish(const ColourRGB& colour);

    // Copies the rows into the shown image; the window draws it while the rows are being
    // shaded again off its thread.
    void Publish();
    // The shown image: top row first, blue, green, red, width x 3 bytes a row.
    const std::vector<std::uint8_t>& Shown() const { return shown_; }

    // Frees both copies (a render worker has no image).
    void Drop();
    std::int64_t Bytes() const { return static_cast<std::int64_t>(rows_.size() + shown_.size()); }

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<std::uint8_t> rows_;
    std::vector<std::uint8_t> shown_;
};

} // namespace vorticel
