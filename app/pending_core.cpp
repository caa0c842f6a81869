// The plainest bodies of the pending poster core (whole images, no strips).
#include "app/pending_core.h"

#include "attractor/attractor.h"
#include "render/renderer.h"

namespace vorticel {

PosterResult RenderPoster(const ImageRecipe& recipe, const PosterOptions& options,
                          const std::string& fileName, const PosterHooks& hooks) {
    ImageRecipe sized = recipe;
    sized.width = options.width;
    sized.height = options.height;
    const std::unique_ptr<Attractor> attractor = MakeAttractor(sized);
    const std::unique_ptr<Renderer> bitmap = MakeRenderer(sized, nullptr);
    PosterResult result;
    if (!Fit(*attractor, *bitmap, kFitPoints, FitMode::PreviewOnly)) {
        result.diverged = true;
        return result;
    }
    RunHooks run;
    run.progress = [&](std::int32_t count) {
        if (hooks.progress) {
            hooks.progress({static_cast<double>(count) / sized.iterations, 0, 1});
        }
    };
    run.stopRequested = [&] { return hooks.stopRequested && hooks.stopRequested(); };
    const RenderRunResult r =
        RenderRun(*attractor, *bitmap, sized.iterations, 1, run, sized.workers.value_or(0));
    result.threads = r.threads;
    result.count = r.count;
    result.stopped = r.stopped;
    result.diverged = r.diverged;
    if (!r.stopped) {
        SaveImagePng(fileName, sized, *bitmap);
    }
    return result;
}

void SaveImagePng(const std::string& fileName, const ImageRecipe& recipe, Renderer& bitmap, int) {
    SaveImagePng(fileName, recipe, static_cast<const Renderer&>(bitmap));
}

} // namespace vorticel
