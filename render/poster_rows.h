// A poster's rows as its strips finish: the file they go to, in its order, and the rows
// shaded a few at a time.
#pragma once

#include "io/replace_file.h"
#include "render/png_file.h"
#include "render/recipe.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vorticel {

class Renderer;

// The file as its rows come, top row first for a PNG and bottom row first for a BMP.
class PosterFile {
public:
    PosterFile(const std::string& fileName, bool png) : fileName_(fileName), png_(png) {}

    bool TopDown() const { return png_; }
    // The texts are written with the first row: by then the recipe holds what the first run
    // measured.
    void WriteRow(const ImageRecipe& recipe, const void* row);
    void Commit();

private:
    std::string fileName_;
    bool png_;
    std::optional<FileReplacement> replacement_;
    std::unique_ptr<PngRowWriter> png_writer_;
};

// Rows shaded and written at a time, about 4 MiB of them unless `asked`: a strip holds these
// rather than an image of its own.
std::int32_t RowsAtATime(std::int64_t width, int depth, std::int32_t asked);

// Shades rows first .. end - 1 of the image (the strip's own) on `threads` threads, a few at a
// time, and writes them in the file's order; wrote(rows) after each few, false to stop. False
// when stopped.
bool ShadeAndWrite(Renderer& renderer, const ImageRecipe& recipe, std::int32_t first,
                   std::int32_t end, std::int32_t threads, std::int32_t rowsAtATime,
                   PosterFile& file, const std::function<bool(std::int32_t rows)>& wrote);

} // namespace vorticel
