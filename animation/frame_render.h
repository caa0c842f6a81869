// One frame rendered from its recipe exactly as `vorticel-cli render FRAME.png` renders it, so
// that the frame's own recipe gives it again byte for byte.
#pragma once

#include "attractor/attractor.h"
#include "render/recipe.h"
#include "render/render_run.h"
#include "render/renderer.h"

#include <memory>
#include <string>

namespace vorticel {

struct FrameRender {
    std::unique_ptr<Attractor> attractor;
    std::unique_ptr<Renderer> renderer;
    RenderRunResult result;
    // Empty for a frame worth keeping; else why not: the orbit diverged, or collapsed onto
    // a few pixels (parameters between keys may leave the chaotic region).
    std::string failure;
};

// Seeds the shared generator with the recipe's seed, frames nothing (the preview ring is
// refilled: the recipe holds the camera) and renders with the recipe's workers. Throws
// RenderError, MemoryBudgetError or std::bad_alloc as a render does.
FrameRender RenderFrame(const ImageRecipe& recipe, const RunHooks& hooks = {});

// The recipe that the rendered frame's PNG carries (the one `render` would write for it).
ImageRecipe RenderedRecipe(const ImageRecipe& recipe, const FrameRender& frame);

// Writes the frame's PNG by replacement. Throws FileError.
void SaveFrame(const std::string& fileName, const ImageRecipe& recipe, const FrameRender& frame);

} // namespace vorticel
