// Rendering one frame as the render command renders an image's recipe.
#include "animation/frame_render.h"

#include "attractor/rng.h"

namespace vorticel {
namespace {

// An orbit that lights fewer pixels than this has collapsed onto a point or a short cycle.
constexpr std::int64_t kCollapsedPixels = 16;

// The pixels that differ from the margin's, which no point reaches.
std::int64_t LitPixels(const Image& image) {
    const std::vector<std::uint8_t>& rows = image.Rows();
    std::int64_t lit = 0;
    for (std::size_t i = 3; i + 2 < rows.size(); i += 3) {
        lit += rows[i] != rows[0] || rows[i + 1] != rows[1] || rows[i + 2] != rows[2];
    }
    return lit;
}

} // namespace

FrameRender RenderFrame(const ImageRecipe& recipe, const RunHooks& hooks) {
    FrameRender frame;
    frame.attractor = MakeAttractor(recipe);
    RandomSeed(recipe.seed.value_or(0));
    frame.bitmap = CreateRenderer(nullptr, recipe.renderer);
    Renderer& bitmap = *frame.bitmap;
    bitmap.SetWidth(recipe.width);
    bitmap.SetHeight(recipe.height);
    bitmap.GetCamera().SetEye({0.0, 0.0, -5.0});
    bitmap.GetCamera().SetTarget({0.0, 0.0, 0.0});
    ApplyToRenderer(recipe, bitmap);
    if (!Fit(*frame.attractor, bitmap, kFitPoints, FitMode::PreviewOnly)) {
        frame.failure = "the orbit diverged while it was framed";
        return frame;
    }
    frame.result = RenderRun(*frame.attractor, bitmap, recipe.iterations, recipe.updates, hooks,
                             recipe.workers.value_or(kAllThreads));
    if (frame.result.diverged) {
        frame.failure =
            "the orbit diverged after " + std::to_string(frame.result.count) + " iterations";
    } else if (!frame.result.stopped) {
        const std::int64_t lit = LitPixels(bitmap.GetImage());
        if (lit < kCollapsedPixels) {
            frame.failure = "the orbit collapsed onto " + std::to_string(lit) +
                            (lit == 1 ? " pixel" : " pixels");
        }
    }
    return frame;
}

ImageRecipe RenderedRecipe(const ImageRecipe& recipe, const FrameRender& frame) {
    ImageRecipe r = RecipeOf(*frame.attractor, *frame.bitmap, recipe.iterations, recipe.updates,
                             frame.result.threads);
    r.seed = recipe.seed;
    r.exposure = recipe.exposure;
    return r;
}

void SaveFrame(const std::string& fileName, const ImageRecipe& recipe, const FrameRender& frame) {
    SaveImagePng(fileName, RenderedRecipe(recipe, frame), *frame.bitmap);
}

} // namespace vorticel
