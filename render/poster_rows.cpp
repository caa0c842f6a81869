// A poster's rows: shaded a few at a time on the workers, written in the file's order.
#include "render/poster_rows.h"

#include "render/bmp_writer.h"
#include "render/colour.h"
#include "render/large_pages.h"
#include "render/renderer.h"
#include "render/run_workers.h"

#include <algorithm>
#include <array>

namespace vorticel {

void PosterFile::WriteRow(const ImageRecipe& recipe, const void* row) {
    if (!replacement_) {
        replacement_.emplace(fileName_);
        if (png_) {
            png_writer_ =
                std::make_unique<PngRowWriter>(replacement_->Stream(), fileName_, recipe.width,
                                               recipe.height, recipe.depth, RecipeTexts(recipe));
        } else {
            WriteBmpHeaders(replacement_->Stream(), recipe.width, recipe.height);
        }
    }
    if (png_) {
        png_writer_->WriteRow(row);
    } else {
        WriteBmpRow(replacement_->Stream(), static_cast<const std::uint8_t*>(row), recipe.width);
    }
}

void PosterFile::Commit() {
    if (png_writer_) {
        png_writer_->Finish();
    }
    replacement_->Commit();
}

std::int32_t RowsAtATime(std::int64_t width, int depth, std::int32_t asked) {
    if (asked > 0) {
        return asked;
    }
    const std::int64_t rowBytes = width * (depth == 16 ? 6 : 3);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        (std::int64_t{4} << 20) / std::max<std::int64_t>(rowBytes, 1), 16, 4096));
}

bool ShadeAndWrite(Renderer& renderer, const ImageRecipe& recipe, std::int32_t first,
                   std::int32_t end, std::int32_t threads, std::int32_t rowsAtATime,
                   PosterFile& file, const std::function<bool(std::int32_t rows)>& wrote) {
    const std::int32_t base = renderer.FirstRow();
    const auto width = static_cast<std::size_t>(renderer.Width());
    const bool shaded = renderer.BeginShade();
    const std::int32_t atATime = RowsAtATime(renderer.Width(), recipe.depth, rowsAtATime);
    // `buffer` holds the rows shaded at a time, `shade` is the renderer's shading into it, and
    // `background` an unshaded pixel's values in the rows' own order.
    const auto shadeAndWrite = [&](auto buffer, auto shade, const auto& background) {
        auto* const rows = buffer.data();
        const std::size_t rowValues = width * 3;
        // Rows a .. b - 1 into `rows`, bottom row first.
        const auto shadeRows = [&](std::int32_t a, std::int32_t b) {
            if (!shaded) {
                for (std::size_t i = 0; i < static_cast<std::size_t>(b - a) * rowValues; i += 3) {
                    std::copy(background.begin(), background.end(), rows + i);
                }
                return;
            }
            const std::int32_t n = std::max<std::int32_t>(1, std::min(threads, b - a));
            InParts(n, [&](std::int32_t k, std::int32_t parts) {
                const auto rowOf = [a, b, parts](std::int32_t j) {
                    return a + static_cast<std::int32_t>(std::int64_t{b - a} * j / parts);
                };
                (renderer.*shade)(rowOf(k) - base, rowOf(k + 1) - base,
                                  rows + static_cast<std::size_t>(rowOf(k) - a) * rowValues);
            });
        };
        const auto row = [&](std::int32_t a, std::int32_t y) {
            return rows + static_cast<std::size_t>(y - a) * rowValues;
        };
        if (file.TopDown()) {
            for (std::int32_t b = end; b > first; b -= atATime) {
                const std::int32_t a = std::max(first, b - atATime);
                shadeRows(a, b);
                for (std::int32_t y = b; y-- > a;) {
                    file.WriteRow(recipe, row(a, y));
                }
                if (!wrote(b - a)) {
                    return false;
                }
            }
        } else {
            for (std::int32_t a = first; a < end; a += atATime) {
                const std::int32_t b = std::min(end, a + atATime);
                shadeRows(a, b);
                for (std::int32_t y = a; y < b; ++y) {
                    file.WriteRow(recipe, row(a, y));
                }
                if (!wrote(b - a)) {
                    return false;
                }
            }
        }
        return true;
    };
    const auto rows = static_cast<std::size_t>(std::min(atATime, end - first)) * width * 3;
    const ColourRGB& c = renderer.BackgroundColour();
    if (recipe.depth == 16) {
        return shadeAndWrite(
            LargeBuffer<std::uint16_t>(rows), &Renderer::ShadeRows16,
            std::array<std::uint16_t, 3>{Channel16(c.r), Channel16(c.g), Channel16(c.b)});
    }
    return shadeAndWrite(
        LargeBuffer<std::uint8_t>(rows), &Renderer::ShadeRowsTo,
        std::array<std::uint8_t, 3>{ChannelByte(c.b), ChannelByte(c.g), ChannelByte(c.r)});
}

} // namespace vorticel
