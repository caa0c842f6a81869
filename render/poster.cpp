// Posters strip by strip: the plan, the runs, the statistics pass and the progress.
#include "render/poster.h"

#include "attractor/attractor.h"
#include "attractor/rng.h"
#include "io/replace_file.h"
#include "render/bmp_writer.h"
#include "render/image_size.h"
#include "render/light.h"
#include "render/memory_budget.h"
#include "render/png_file.h"
#include "render/poster_plan.h"
#include "render/poster_rows.h"
#include "render/renderer.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

namespace vorticel {
namespace {

// Of what is available, what a poster takes unless told: the rest stays for the others.
constexpr std::int64_t kDefaultShareNumerator = 3;
constexpr std::int64_t kDefaultShareDenominator = 4;

struct StripRun {
    std::unique_ptr<Renderer> renderer;
    RenderRunResult result;
    bool framed = true; // false: the orbit diverged while the ring was refilled
};

// The recipe's renderer for rows bandFirst .. bandEnd - 1 of its image.
std::unique_ptr<Renderer> StripRenderer(const ImageRecipe& recipe, std::int32_t bandFirst,
                                        std::int32_t bandEnd) {
    std::unique_ptr<Renderer> renderer = CreateRenderer(nullptr, recipe.renderer);
    if (!renderer) {
        throw RenderError("no renderer kind " + std::to_string(recipe.renderer));
    }
    renderer->SetHoldsImage(false); // the rows are shaded straight into the file's
    renderer->SetBand(bandFirst, bandEnd);
    renderer->SetWidth(recipe.width);
    renderer->SetHeight(recipe.height);
    ApplyToRenderer(recipe, *renderer);
    return renderer;
}

// One replay of the recipe's orbits into one band: the ring refilled from the seed, as a
// render of the recipe in one piece refills it, then the run.
StripRun RunStrip(const ImageRecipe& recipe, std::int32_t bandFirst, std::int32_t bandEnd,
                  std::int32_t threads, const RunHooks& hooks) {
    StripRun run;
    run.renderer = StripRenderer(recipe, bandFirst, bandEnd);
    Random31 random;
    random.Seed(*recipe.seed);
    const std::unique_ptr<Attractor> attractor = MakeAttractor(recipe);
    attractor->random = &random;
    if (!Fit(*attractor, *run.renderer, kFitPoints, FitMode::PreviewOnly)) {
        run.framed = false;
        return run;
    }
    run.result =
        RenderRun(*attractor, *run.renderer, recipe.iterations, recipe.updates, hooks, threads);
    attractor->random = nullptr;
    return run;
}

// What a strip's run holds, measured on bands of one and two rows.
StripCost MeasureStripCost(const ImageRecipe& recipe, int depth, std::int32_t rowsAtATime) {
    const std::unique_ptr<Renderer> one = StripRenderer(recipe, 0, 1);
    const std::int64_t oneRow = one->AccumulationBytes();
    one->SetBand(0, 2);
    const std::int64_t perRow = one->AccumulationBytes() - oneRow;
    const std::int64_t width = one->Width();
    // A strip large enough to matter bins its points, in bins of a fixed size.
    one->SetTileBinning(TileBinning::Always);
    const std::int64_t bins = one->BinBytes();
    StripCost cost;
    // The run's renderer: its accumulation and bins (no image), its ring, and the rows shaded
    // at a time; each worker: an accumulation and bins.
    cost.fixedBytes = oneRow - perRow + bins +
                      static_cast<std::int64_t>(one->Ring().Points().size() * sizeof(Vecd)) +
                      RowsAtATime(width, depth, rowsAtATime) * width * (depth == 16 ? 6 : 3);
    cost.rowBytes = perRow;
    cost.workerFixedBytes = oneRow - perRow + bins;
    cost.workerRowBytes = perRow;
    return cost;
}

void CheckPoster(const PosterOptions& options, bool png) {
    const std::string size = std::to_string(options.width) + "x" + std::to_string(options.height);
    if (CheckPosterSize(options.width, options.height) != ImageSizeCheck::Ok) {
        throw RenderError("the image size " + size + " is not one a poster takes (widths " +
                          std::to_string(kMinImageWidth) + " to " + std::to_string(kMaxImageWidth) +
                          ", heights up to " + std::to_string(kMaxPosterHeight) + ")");
    }
    if (!png && !BmpHolds(options.width & 0xFFFC, options.height)) {
        throw RenderError("the image size " + size + " is too large for a BMP file");
    }
    if (options.depth != 8 && options.depth != 16) {
        throw RenderError("images have 8 or 16 bits per channel, not " +
                          std::to_string(options.depth));
    }
    if (!png && options.depth == 16) {
        throw RenderError("16 bits per channel need a PNG file");
    }
}

// The progress counts the work in units of about a nanosecond on two threads, measured on
// 48-megapixel Gas and Solid renders: an orbit step 20 (Gas's: Solid's take about four times as
// long, so its bar is slower while the orbits run and faster while the rows are written), each
// pixel of a strip 4 a replay (its buffers made, merged, read), and each pixel written 4 into a
// BMP, 8 into a PNG, 24 at 16 bits. A sparse poster's time goes largely into its pixels.
constexpr std::int64_t kStepUnits = 20;
constexpr std::int64_t kReplayPixelUnits = 4;
std::int64_t WrittenPixelUnits(bool png, int depth) {
    if (!png) {
        return 4;
    }
    return depth == 16 ? 24 : 8;
}

} // namespace

std::int64_t DefaultPosterMemory() {
    return AvailableMemoryBytes() / kDefaultShareDenominator * kDefaultShareNumerator;
}

PosterResult RenderPoster(const ImageRecipe& given, const PosterOptions& options,
                          const std::string& fileName, const PosterHooks& hooks) {
    const bool png = HasPngExtension(fileName);
    CheckPoster(options, png);
    ImageRecipe recipe = given;
    recipe.width = options.width & 0xFFFC;
    recipe.height = options.height;
    recipe.depth = options.depth;
    if (!recipe.seed) {
        recipe.seed = static_cast<std::uint64_t>(std::time(nullptr));
    }
    CheckReplaceable(fileName); // before the work, not after it

    // The workers first: they shape the image, so every strip has as many.
    const std::int32_t asked = recipe.workers ? *recipe.workers : options.threads;
    std::int32_t threads = RunThreadCount(asked, recipe.iterations, 0, 0);
    const std::int64_t memory =
        options.memoryBytes > 0 ? options.memoryBytes : DefaultPosterMemory();
    const std::int64_t budget =
        memory > 0 ? std::max<std::int64_t>(memory - kPosterReserveBytes, 1) : 0;
    const StripCost cost = MeasureStripCost(recipe, recipe.depth, options.rowsAtATime);
    PosterPlan plan;
    try {
        plan = PlanStrips(recipe.width, recipe.height, threads, options.strips, budget,
                          kMaxImagePixels, cost);
    } catch (const MemoryBudgetError& e) {
        // Fewer workers when none was asked for; a count asked for is kept or refused.
        if (asked != kAllThreads || e.fitting() < 1) {
            throw;
        }
        threads = e.fitting();
        plan = PlanStrips(recipe.width, recipe.height, threads, options.strips, budget,
                          kMaxImagePixels, cost);
    }
    recipe.workers = threads;

    PosterResult result;
    result.strips = plan.strips;
    result.threads = threads;
    // An exposure the recipe imposes is the whole image's: no pass needs to gather it.
    const bool twoPasses = plan.strips > 1 && !recipe.exposure;
    const std::int32_t replays = twoPasses ? 2 * plan.strips - 1 : plan.strips;
    std::int32_t replaysDone = 0;
    std::int32_t currentStrip = 0;
    std::int32_t rowsWritten = 0;
    // The work: every replay's steps and strip, and the written rows.
    const std::int64_t pixels = std::int64_t{recipe.width} * recipe.height;
    const std::int64_t replayUnits =
        std::int64_t{recipe.iterations} * kStepUnits + pixels / plan.strips * kReplayPixelUnits;
    const std::int64_t rowUnits = std::int64_t{recipe.width} * WrittenPixelUnits(png, recipe.depth);
    const std::int64_t totalUnits = replays * replayUnits + std::int64_t{recipe.height} * rowUnits;
    const auto report = [&](std::int32_t count) {
        if (hooks.progress) {
            PosterProgress p;
            const std::int64_t done =
                replaysDone * replayUnits +
                std::int64_t{std::min(count, recipe.iterations)} * kStepUnits +
                std::int64_t{rowsWritten} * rowUnits;
            p.fraction = std::min(static_cast<double>(done) / static_cast<double>(totalUnits), 1.0);
            p.strip = currentStrip + 1;
            p.strips = plan.strips;
            p.rowsWritten = rowsWritten;
            hooks.progress(p);
        }
    };
    RunHooks runHooks;
    runHooks.shadeRefreshes = false;
    runHooks.progress = report;
    runHooks.stopRequested = hooks.stopRequested;
    // A stop is heard while the rows are written too: compressing a large poster takes long.
    const auto wrote = [&](std::int32_t rows) {
        rowsWritten += rows;
        report(0);
        if (hooks.stopRequested && hooks.stopRequested()) {
            result.stopped = true;
            return false;
        }
        return true;
    };

    PosterFile file(fileName, png);
    // The order the file takes the strips in; the statistics pass goes the other way, so its
    // last strip is the first to write.
    std::vector<std::int32_t> order(static_cast<std::size_t>(plan.strips));
    for (std::int32_t k = 0; k < plan.strips; ++k) {
        order[static_cast<std::size_t>(k)] = png ? plan.strips - 1 - k : k;
    }
    const auto run = [&](std::int32_t k) -> std::optional<StripRun> {
        currentStrip = k;
        std::int32_t first = 0;
        std::int32_t end = 0;
        StripBand(plan, recipe.height, k, first, end);
        StripRun strip = RunStrip(recipe, first, end, threads, runHooks);
        ++replaysDone;
        if (!strip.framed) {
            result.diverged = true;
            return std::nullopt;
        }
        result.count = strip.result.count;
        result.refreshes = strip.result.refreshes;
        result.diverged = result.diverged || strip.result.diverged;
        if (strip.result.stopped) {
            result.stopped = true;
            return std::nullopt;
        }
        // The steps the first run measured (when the recipe left them to the ring) go into
        // the file's recipe, as a render in one piece records them.
        if (const auto* light = dynamic_cast<const LightRenderer*>(strip.renderer.get())) {
            const StepStatistics steps = light->Steps();
            recipe.lightSteps = LightSteps{steps.minStep, steps.maxStep, steps.stepRange};
        }
        return strip;
    };

    std::optional<StripRun> kept;
    std::optional<ShadeStatistics> whole = recipe.exposure;
    if (twoPasses) {
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            kept.reset(); // one strip's buffers at a time
            kept = run(*it);
            if (!kept) {
                return result;
            }
            std::int32_t first = 0;
            std::int32_t end = 0;
            StripRows(plan, recipe.height, *it, first, end);
            const Renderer& renderer = *kept->renderer;
            const ShadeStatistics own =
                renderer.RowStatistics(first - renderer.FirstRow(), end - renderer.FirstRow());
            whole = whole ? renderer.CombineStatistics(*whole, own) : own;
        }
    }
    for (const std::int32_t k : order) {
        std::optional<StripRun> strip = std::move(kept);
        kept.reset();
        if (!strip) {
            strip = run(k);
            if (!strip) {
                return result;
            }
        }
        Renderer& renderer = *strip->renderer;
        renderer.ImposeStatistics(whole);
        std::int32_t first = 0;
        std::int32_t end = 0;
        StripRows(plan, recipe.height, k, first, end);
        currentStrip = k;
        if (!ShadeAndWrite(renderer, recipe, first, end, threads, options.rowsAtATime, file,
                           wrote)) {
            return result;
        }
    }
    file.Commit();
    return result;
}

} // namespace vorticel
