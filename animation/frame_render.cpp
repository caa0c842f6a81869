// Rendering one frame as the render command renders an image's recipe.
#include "animation/frame_render.h"

#include "attractor/rng.h"

#include <cmath>
#include <set>
#include <utility>

namespace vorticel {
namespace {

// An orbit whose last points fall on fewer pixels than this has collapsed onto a point or a
// short cycle.
constexpr std::size_t kCollapsedPixels = 16;

// The pixels the orbit's last points (its history) fall on.
std::size_t PixelsOfLastPoints(const Attractor& attractor, const Camera& camera) {
    std::set<std::pair<std::int64_t, std::int64_t>> pixels;
    for (const Vecd& p : attractor.history) {
        const Vecd q = camera.Project(p);
        pixels.emplace(static_cast<std::int64_t>(std::floor(q.x)),
                       static_cast<std::int64_t>(std::floor(q.y)));
    }
    return pixels.size();
}

} // namespace

FrameRender RenderFrame(const ImageRecipe& recipe, const RunHooks& hooks) {
    FrameRender frame;
    frame.attractor = MakeAttractor(recipe);
    RandomSeed(recipe.seed.value_or(0));
    frame.renderer = CreateRenderer(nullptr, recipe.renderer);
    Renderer& renderer = *frame.renderer;
    renderer.SetWidth(recipe.width);
    renderer.SetHeight(recipe.height);
    renderer.GetCamera().SetEye({0.0, 0.0, -5.0});
    renderer.GetCamera().SetTarget({0.0, 0.0, 0.0});
    ApplyToRenderer(recipe, renderer);
    renderer.ImposeStatistics(recipe.exposure);
    if (!Fit(*frame.attractor, renderer, kFitPoints, FitMode::PreviewOnly)) {
        frame.failure = "the orbit diverged while it was framed";
        return frame;
    }
    frame.result = RenderRun(*frame.attractor, renderer, recipe.iterations, recipe.updates, hooks,
                             recipe.workers.value_or(kAllThreads));
    if (frame.result.diverged) {
        frame.failure =
            "the orbit diverged after " + std::to_string(frame.result.count) + " iterations";
    } else if (!frame.result.stopped) {
        const std::size_t lit = PixelsOfLastPoints(*frame.attractor, renderer.GetCamera());
        if (lit < kCollapsedPixels) {
            frame.failure = "the orbit collapsed: its last points fall on " + std::to_string(lit) +
                            (lit == 1 ? " pixel" : " pixels");
        }
    }
    return frame;
}

ImageRecipe RenderedRecipe(const ImageRecipe& recipe, const FrameRender& frame) {
    ImageRecipe r = RecipeOf(*frame.attractor, *frame.renderer, recipe.iterations, recipe.updates,
                             frame.result.threads);
    r.seed = recipe.seed;
    return r;
}

void SaveFrame(const std::string& fileName, const ImageRecipe& recipe, const FrameRender& frame) {
    SaveImagePng(fileName, RenderedRecipe(recipe, frame), *frame.renderer);
}

} // namespace vorticel
