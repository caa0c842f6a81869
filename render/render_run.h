// The two long activities of a view on its renderer: the framing fit and the render run.
// Both work in chunks and call back between them; neither pumps events itself.
#pragma once

#include <cstdint>
#include <functional>

namespace vorticel {

class Attractor;
class TBitmap3D;

enum class FitMode : int {
    PreviewOnly = 1, // refill the preview ring only
    Center = 2,      // frame the points, keep the zoom in force before
    Adjust = 3,      // frame the points with a new zoom
};

struct RunHooks {
    // Called at least every 10,000 iterations with the attractor's count (the view pumps
    // events here).
    std::function<void(std::int32_t count)> progress;
    // Polled at every chunk boundary; true ends the run.
    std::function<bool()> stopRequested;
    // Around each image refresh of a render run (the refresh itself is FinishImage).
    std::function<void()> refreshStarting;
    std::function<void()> refreshed;
};

constexpr std::int32_t kFitSkip = 500;     // iterations discarded before a fit
constexpr std::int32_t kFitPoints = 20000; // points a fit gathers
constexpr std::int32_t kWarmUp = 1000;     // unplotted iterations of a render run
constexpr std::int32_t kDefaultIterations = 20000000;
constexpr std::int32_t kDefaultUpdates = 10;
constexpr std::int32_t kHookPeriod = 10000;

// Resets the attractor, discards 500 iterations and hands the next `points` points to the
// renderer: to the preview ring only, or through a framing pass (ResetView, TrackPoint,
// FitView). Returns false when the attractor diverged (the view is then left unframed).
bool Fit(Attractor& attractor, TBitmap3D& bitmap, std::int32_t points, FitMode mode,
         const RunHooks& hooks = {});

struct RenderRunResult {
    std::int32_t count = 0;     // the attractor's count at the end
    std::int32_t refreshes = 0; // FinishImage calls, the final one included
    bool stopped = false;
    bool diverged = false;
};

// The refresh period: target / updates in integer division, at least 1.
std::int32_t RefreshPeriod(std::int32_t target, std::int32_t updates);

// ClearImage, reset, 1,000 warm-up steps, then ProjectPoint + PlotPoint + Step up to the
// target; FinishImage after the point of every count c with (c + 1) a multiple of the
// refresh period, and once more at the end unless the count is such a multiple.
RenderRunResult RenderRun(Attractor& attractor, TBitmap3D& bitmap, std::int32_t target,
                          std::int32_t updates, const RunHooks& hooks = {});

} // namespace vorticel
