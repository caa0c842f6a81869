// vorticel-cli render: what a view does, from fit to BMP or PNG, without a window.
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/image_files.h"
#include "cli/output.h"
#include "cli/render_arguments.h"
#include "io/replace_file.h"
#include "render/render_run.h"
#include "render/renderer.h"

#include <algorithm>
#include <iostream>
#include <limits>
#include <unistd.h>

namespace vorticel::cli {
namespace {

// A bar on stderr, redrawn when the whole percentage changes.
class ProgressBar {
public:
    explicit ProgressBar(std::int32_t total) : total_(total) {}
    void Show(std::int32_t count) {
        const int percent = static_cast<int>(100.0 * count / std::max(total_, 1));
        if (percent == shown_) {
            return;
        }
        shown_ = percent;
        const int filled = percent * kWidth / 100;
        std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                  << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << percent
                  << "%" << std::flush;
    }
    void Finish() {
        if (shown_ >= 0) {
            std::cerr << '\n';
        }
    }

private:
    static constexpr int kWidth = 40;
    std::int32_t total_;
    int shown_ = -1;
};

} // namespace

int RunRender(const RenderOptions& given) {
    // An image is rendered again from its recipe, with what the command line changes.
    std::optional<ImageRecipe> recipe = InputRecipe(given);
    if (recipe && (given.sizeGiven || given.iterationsGiven)) {
        // An exposure imposed on an animation's frame belongs to its size and points.
        recipe->exposure.reset();
    }
    const RenderOptions options = recipe ? WithRecipe(given, *recipe) : given;
    const int kind = RendererKindByName(options.renderer);
    std::int32_t width = 0;
    std::int32_t height = 0;
    ParseSize(options.size, width, height);
    const FitMode fit = FitModeByName(options.fit);
    // The command line's own numbers were checked as they were read; an image's recipe may
    // hold an iteration target that plots nothing (the window takes 0).
    if (options.iterations < kMinRenderIterations) {
        throw UsageError{
            "the image's recipe holds iterations=" + std::to_string(options.iterations) +
            ", and a render takes " + std::to_string(kMinRenderIterations) + " to " +
            std::to_string(std::numeric_limits<std::int32_t>::max()) + " (give --iterations)"};
    }
    std::unique_ptr<Attractor> attractor =
        recipe ? MakeAttractor(*recipe) : LoadFromFile(options.file);
    CheckReplaceable(options.output); // before the render, not after it
    const std::uint64_t seed = SeedGenerator(options.seed);

    const std::unique_ptr<Renderer> bitmap = CreateRenderer(nullptr, kind);
    try {
        bitmap->SetWidth(width);
        bitmap->SetHeight(height);
    } catch (const RenderError& e) {
        // The size was checked as it was read: what is left is memory that cannot be had.
        throw NotEnoughMemory{e.what()};
    }
    bitmap->GetCamera().SetEye({0.0, 0.0, -5.0});
    bitmap->GetCamera().SetTarget({0.0, 0.0, 0.0});
    if (recipe) {
        ApplyToRenderer(*recipe, *bitmap); // the same framing at any size
        bitmap->ImposeStatistics(recipe->exposure);
    }
    if (!Fit(*attractor, *bitmap, kFitPoints, fit)) {
        std::cerr << "error: the orbit diverged while framing it\n";
        return kExitDiverged;
    }

    ProgressBar bar(options.iterations);
    RunHooks hooks;
    if (options.progress || isatty(STDERR_FILENO)) {
        hooks.progress = [&bar](std::int32_t count) { bar.Show(count); };
    }
    const Clock::time_point start = Clock::now();
    const RenderRunResult result =
        RenderRun(*attractor, *bitmap, options.iterations, options.updates, hooks, options.threads);
    const double seconds = SecondsSince(start);
    if (hooks.progress) {
        bar.Show(result.count);
        bar.Finish();
    }
    SaveRenderedImage(options, *attractor, *bitmap, seed, result.threads);

    PrintKey(std::cerr, "width", static_cast<std::int64_t>(bitmap->Width()));
    PrintKey(std::cerr, "height", static_cast<std::int64_t>(bitmap->Height()));
    PrintKey(std::cerr, "iterations", static_cast<std::int64_t>(result.count));
    PrintKey(std::cerr, "refreshes", static_cast<std::int64_t>(result.refreshes));
    PrintKey(std::cerr, "seconds", seconds);
    PrintKey(std::cerr, "rate", seconds > 0.0 ? result.count / seconds : 0.0);
    PrintKey(std::cerr, "threads", static_cast<std::int64_t>(result.threads));
    if (result.diverged) {
        std::cerr << "the orbit diverged after " << result.count << " iterations\n";
        return kExitDiverged;
    }
    return kExitOk;
}

} // namespace vorticel::cli
