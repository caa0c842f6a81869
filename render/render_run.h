// The two long activities of a view on its renderer: the framing fit and the render run.
// Both call back while they work; neither pumps events itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace vorticel {

class Attractor;
class Renderer;

enum class FitMode : int {
    PreviewOnly = 1, // refill the preview ring only
    Center = 2,      // frame the points, keep the zoom in force before
    Adjust = 3,      // frame the points with a new zoom
};

// Every hook is called on the thread that called Fit or RenderRun.
struct RunHooks {
    // The iterations done so far (the view pumps events here). A fit calls it every 10,000
    // iterations; a render run about every kProgressInterval of wall time, also while an
    // image refresh is being computed.
    std::function<void(std::int32_t count)> progress;
    // Polled after each progress call (and in a fit at every chunk boundary); true ends the
    // run: the workers stop within a few milliseconds, the last refresh still follows.
    std::function<bool()> stopRequested;
    // Around each image refresh of a render run: `refreshed` comes once the new image is in
    // the renderer's shown image.
    std::function<void()> refreshStarting;
    std::function<void()> refreshed;
    // False: a refresh shades nothing, and the caller shades once at the end (a poster's
    // strip, whose image nobody watches). Its merge is then made only where merged depths go
    // back to the workers; else only the last merge is, the others being made over by it.
    bool shadeRefreshes = true;
};

constexpr std::int32_t kFitSkip = 500;     // iterations discarded before a fit
constexpr std::int32_t kFitPoints = 20000; // points a fit gathers
constexpr std::int32_t kWarmUp = 1000;     // unplotted iterations of each orbit of a render run
constexpr std::int32_t kDefaultIterations = 20000000;
constexpr std::int32_t kDefaultUpdates = 10;
constexpr std::int32_t kHookPeriod = 10000;
constexpr std::chrono::milliseconds kProgressInterval{20};
constexpr std::int32_t kAllThreads = 0;               // one worker per hardware thread
constexpr std::int32_t kMinWorkerIterations = 100000; // a worker's least share of the target
constexpr std::int32_t kMaxWorkers = 1024;            // workers a run is asked for at most
// A render target below this plots nothing: the warm-up alone would be counted.
constexpr std::int32_t kMinRenderIterations = kWarmUp + 1;
constexpr std::int32_t kMinUpdates = 1; // image refreshes of a render run
constexpr std::int32_t kMaxUpdates = 100;

// Resets the attractor, discards 500 iterations and hands the next `points` points to the
// renderer: to the preview ring only, or through a framing pass (ResetView, TrackPoint,
// FitView). Returns false when the attractor diverged (the view is then left unframed).
bool Fit(Attractor& attractor, Renderer& renderer, std::int32_t points, FitMode mode,
         const RunHooks& hooks = {});

struct RenderRunResult {
    std::int32_t count = 0;     // iterations done by all workers, warm-ups included
    std::int32_t refreshes = 0; // FinishImage calls, the final one included
    std::int32_t threads = 0;   // workers used
    bool stopped = false;
    bool diverged = false;
};

// The refresh period: target / updates in integer division, at least 1.
std::int32_t RefreshPeriod(std::int32_t target, std::int32_t updates);

// The machine's hardware threads, at least 1.
std::int32_t HardwareThreads();
// The workers of a run: `requested` (kAllThreads: the hardware threads), at most one per
// kMinWorkerIterations of the target, and only as many as keep their buffers
// (`bytesPerWorker` each) within `memoryBudget` (0: no limit); at least 1.
std::int32_t RunThreadCount(std::int32_t requested, std::int32_t target,
                            std::int64_t bytesPerWorker, std::int64_t memoryBudget);

// A count of workers asked for whose buffers do not fit in the memory budget. The count
// shapes the image, so it is refused rather than quietly lowered.
class MemoryBudgetError : public std::runtime_error {
public:
    MemoryBudgetError(std::int32_t requested, std::int32_t fitting, std::int64_t bytesPerWorker,
                      std::int64_t budget);
    // Any other work that does not fit, told in `message`.
    explicit MemoryBudgetError(const std::string& message)
        : std::runtime_error(message), fitting_(0) {}
    std::int32_t fitting() const { return fitting_; } // the most workers that fit, 0 for none

private:
    std::int32_t fitting_;
};
// Throws MemoryBudgetError unless the `requested` workers (> 0), after the target's cap, keep
// their buffers within `memoryBudget` (0: no limit).
void RequireWorkersFit(std::int32_t requested, std::int32_t target, std::int64_t bytesPerWorker,
                       std::int64_t memoryBudget);
// Bytes a run of `renderer` holds with `threads` workers: the renderer's image, ring and
// accumulation, and one accumulation per worker.
std::int64_t RunMemoryBytes(const Renderer& renderer, std::int32_t threads);

// A render: ClearImage and Reset, then `threads` workers (see RunThreadCount; the memory
// budget is AvailableMemoryBytes) on threads of their own, each with its own copy of the
// attractor and of the renderer's accumulation, its own generator stream and a start nudged
// by its index (the first worker starts where a single orbit would). The target is split
// between them; each runs the 1,000 unplotted iterations, then ProjectPoint + PlotPoint + Step
// up to its share. Whenever the workers have all reached a multiple of the refresh period
// (RefreshPeriod of a worker's share; for one worker the counts c + 1 = k x period), and once
// more at the end unless nothing was plotted since, their buffers are merged into `renderer`
// (MergeWorkers) and the image is refreshed (unshaded, only the merges that matter: see
// RunHooks::shadeRefreshes). One worker gives the single-orbit image bit for
// bit; the same seed and worker count repeat a render exactly on any machine, whatever its
// cores (unless it is stopped or diverges, where the workers' stopping points depend on
// timing). A count asked for (`threads` > 0) is kept but for the target's cap: when its
// buffers exceed the budget the run throws MemoryBudgetError before it starts, and
// std::bad_alloc when they cannot be had; kAllThreads takes fewer workers instead.
//
// The calling thread meanwhile stays in a loop that calls hooks.progress about every
// kProgressInterval, with the total count also written into `attractor.count` (what a view's
// rate timer reads), then polls hooks.stopRequested. A refresh runs the merge and the shading
// (in as many bands of rows as there are workers) on helper threads while that loop goes on; the
// image (`renderer.GetImage().Shown()`) is written on the calling thread between
// hooks.refreshStarting and hooks.refreshed. So while the run lasts the caller may draw that image
// and read `attractor.count` and the settings of both, but must change neither object.
//
// When a worker's orbit diverges the others stop; the attractor then gets the first worker's
// orbit and MarkDiverged is called on the calling thread (its onDiverge fires there) before
// the last refresh. At the end the attractor holds the first worker's point, history and
// generator state (so one worker leaves it as a single orbit would), the union of the
// workers' boxes and the total count.
RenderRunResult RenderRun(Attractor& attractor, Renderer& renderer, std::int32_t target,
                          std::int32_t updates, const RunHooks& hooks = {},
                          std::int32_t threads = kAllThreads);

} // namespace vorticel
