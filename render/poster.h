// Posters: an image of any size rendered straight to its file, in strips when its buffers do
// not fit the memory, and never held whole.
#pragma once

#include "render/recipe.h"
#include "render/render_run.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vorticel {

struct PosterOptions {
    std::int32_t width = 0; // as typed; CheckPosterSize, and BmpHolds for a BMP
    std::int32_t height = 0;
    int depth = 8;                      // 8 or 16 (PNG only)
    std::int64_t memoryBytes = 0;       // 0: the default share of available memory
    std::int32_t strips = 0;            // 0: as few as fit in memoryBytes
    std::int32_t rowsAtATime = 0;       // rows shaded and written at a time; 0: about 4 MiB
    std::int32_t threads = kAllThreads; // the recipe's workers when it has them, else this
};

struct PosterProgress {
    double fraction = 0.0;  // of the whole work, 0..1
    std::int32_t strip = 0; // the strip being rendered or written, 1 .. strips
    std::int32_t strips = 1;
    std::int32_t rowsWritten = 0; // rows of the image in the file so far
};

struct PosterHooks {
    // On the calling thread, about every 20 ms while the orbits run and after each block of
    // rows written (about 4 MiB).
    std::function<void(const PosterProgress&)> progress;
    std::function<bool()> stopRequested; // polled after each progress call
};

struct PosterResult {
    std::int32_t strips = 1;
    std::int32_t threads = 1;
    std::int64_t count = 0;     // iterations of one run of the orbits, warm-ups included
    std::int32_t refreshes = 0; // refreshes of one run, the final one included
    bool stopped = false;
    bool diverged = false;
};

// The memory a poster takes when none is asked for: a share of what is available (the control
// group's limit where lower); 0 when that cannot be told.
std::int64_t DefaultPosterMemory();

// Renders `recipe` at the options' size straight to `fileName` (PNG by extension, carrying the
// recipe with its seed, workers and depth; else BMP), as `vorticel-cli render IMAGE.png --size
// WxH` does. The recipe frames the picture (its camera, with the preview ring refilled from its
// seed: the generator's clock when it has none). In strips when the buffers do not fit the
// memory: every strip replays the same orbits (same seed, same workers, same refreshes) into
// its own rows and a margin; the shading's whole-image statistics come from a first pass over
// the strips, and a second shades and writes them (the last strip of the first pass is written
// first, without a replay). N strips give the bytes of one piece. A stopped run writes nothing
// (the target is left as it was). Throws FileError, MemoryBudgetError, RenderError (a size no
// poster takes, 16 bits for a BMP, buffers that cannot be had).
PosterResult RenderPoster(const ImageRecipe& recipe, const PosterOptions& options,
                          const std::string& fileName, const PosterHooks& hooks = {});

} // namespace vorticel
