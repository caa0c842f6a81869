// The recipe side of render and show.
#include "cli/image_files.h"

#include "cli/output.h"
#include "render/bmp_writer.h"
#include "render/png_file.h"
#include "render/renderer.h"

#include <iostream>

namespace vorticel::cli {

bool IsPngName(const std::string& fileName) {
    return HasPngExtension(fileName);
}

std::optional<ImageRecipe> InputRecipe(const RenderOptions& options) {
    if (!IsPngName(options.file)) {
        return std::nullopt;
    }
    return LoadImageRecipe(options.file);
}

RenderOptions WithRecipe(const RenderOptions& given, const ImageRecipe& recipe) {
    if (given.rendererGiven) {
        throw UsageError{"--renderer does not apply to an image: its recipe names the renderer"};
    }
    RenderOptions options = given;
    options.renderer = std::to_string(recipe.renderer);
    if (!given.sizeGiven) {
        options.size = std::to_string(recipe.width) + "x" + std::to_string(recipe.height);
    }
    if (!given.iterationsGiven) {
        options.iterations = recipe.iterations;
    }
    if (!given.updatesGiven) {
        options.updates = recipe.updates;
    }
    if (!given.seed) {
        options.seed = recipe.seed;
    }
    if (!given.fitGiven) {
        options.fit = "none";
    }
    // As many workers as made the image, whatever this machine's cores; a recipe from before
    // workers were kept is rendered as it was then, on every hardware thread.
    if (!given.threadsGiven && recipe.workers) {
        options.threads = *recipe.workers;
    }
    return options;
}

void SaveRenderedImage(const RenderOptions& options, const Attractor& attractor, Renderer& bitmap,
                       std::uint64_t seed, std::int32_t workers) {
    if (!IsPngName(options.output)) {
        SaveBmp(options.output, bitmap.GetImage());
        return;
    }
    ImageRecipe recipe = RecipeOf(attractor, bitmap, options.iterations, options.updates, workers);
    recipe.seed = seed;
    SaveImagePng(options.output, recipe, bitmap);
}

int ShowImageRecipe(const std::string& fileName) {
    std::cout << FormatRecipe(LoadImageRecipe(fileName));
    return kExitOk;
}

} // namespace vorticel::cli
