// vorticel-cli render: what a view does, from fit to BMP or PNG, without a window.
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/image_files.h"
#include "cli/output.h"
#include "cli/render_arguments.h"
#include "io/replace_file.h"
#include "render/poster.h"
#include "render/recipe.h"
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

// The bar's steps over the whole work, every strip's replays included.
constexpr std::int32_t kProgressSteps = 1000;

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
    const bool png = IsPngName(options.output);
    if (!png) {
        CheckBmpSize(options.size, width, height);
        if (options.depth == 16) {
            throw UsageError{"--depth 16 needs a PNG output (" + options.output + ")"};
        }
    }
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

    // Framed at the image's size on a band of one row: the framing is the image's own, and
    // only the poster's strips hold buffers.
    const std::unique_ptr<Renderer> framing = CreateRenderer(nullptr, kind);
    framing->SetBand(0, 1);
    framing->SetWidth(width);
    framing->SetHeight(height);
    framing->GetCamera().SetEye({0.0, 0.0, -5.0});
    framing->GetCamera().SetTarget({0.0, 0.0, 0.0});
    if (recipe) {
        ApplyToRenderer(*recipe, *framing); // the same framing at any size
        framing->ImposeStatistics(recipe->exposure);
    }
    if (!Fit(*attractor, *framing, kFitPoints, fit)) {
        std::cerr << "error: the orbit diverged while framing it\n";
        return kExitDiverged;
    }
    ImageRecipe poster = RecipeOf(*attractor, *framing, options.iterations, options.updates, 1);
    poster.workers.reset(); // options.threads says
    poster.seed = seed;
    PosterOptions posterOptions;
    posterOptions.width = width;
    posterOptions.height = height;
    posterOptions.depth = options.depth;
    posterOptions.memoryBytes = options.memoryBytes;
    posterOptions.strips = options.strips;
    posterOptions.threads = options.threads;

    ProgressBar bar(kProgressSteps);
    PosterHooks hooks;
    if (options.progress || isatty(STDERR_FILENO)) {
        hooks.progress = [&bar](const PosterProgress& p) {
            bar.Show(static_cast<std::int32_t>(p.fraction * kProgressSteps));
        };
    }
    const Clock::time_point start = Clock::now();
    PosterResult result;
    try {
        result = RenderPoster(poster, posterOptions, options.output, hooks);
    } catch (const RenderError& e) {
        // The size was checked as it was read: what is left is memory that cannot be had.
        throw NotEnoughMemory{e.what()};
    }
    const double seconds = SecondsSince(start);
    if (hooks.progress) {
        bar.Show(kProgressSteps);
        bar.Finish();
    }

    PrintKey(std::cerr, "width", static_cast<std::int64_t>(framing->Width()));
    PrintKey(std::cerr, "height", static_cast<std::int64_t>(framing->Height()));
    PrintKey(std::cerr, "iterations", result.count);
    PrintKey(std::cerr, "refreshes", static_cast<std::int64_t>(result.refreshes));
    PrintKey(std::cerr, "seconds", seconds);
    PrintKey(std::cerr, "rate", seconds > 0.0 ? result.count / seconds : 0.0);
    PrintKey(std::cerr, "threads", static_cast<std::int64_t>(result.threads));
    PrintKey(std::cerr, "strips", static_cast<std::int64_t>(result.strips));
    if (result.diverged) {
        std::cerr << "the orbit diverged after " << result.count << " iterations\n";
        return kExitDiverged;
    }
    return kExitOk;
}

} // namespace vorticel::cli
