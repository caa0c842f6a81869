// Fit and render run in chunks between hook calls.
#include "render/render_run.h"

#include "attractor/attractor.h"
#include "render/bitmap3d.h"

#include <algorithm>

namespace vorticel {
namespace {

bool StopRequested(const RunHooks& hooks) {
    return hooks.stopRequested && hooks.stopRequested();
}

void Progress(const RunHooks& hooks, std::int32_t count) {
    if (hooks.progress) {
        hooks.progress(count);
    }
}

// The smallest multiple of `period` greater than `value`.
std::int64_t NextMultiple(std::int64_t value, std::int64_t period) {
    return (value / period + 1) * period;
}

} // namespace

bool Fit(Attractor& attractor, TBitmap3D& bitmap, std::int32_t points, FitMode mode,
         const RunHooks& hooks) {
    attractor.Reset();
    const bool framing = mode == FitMode::Center || mode == FitMode::Adjust;
    if (!framing && mode != FitMode::PreviewOnly) {
        return !attractor.diverged;
    }
    if (framing) {
        bitmap.ResetView();
    }
    const std::int64_t end = std::int64_t{points} + kFitSkip;
    while (!attractor.diverged && attractor.count < end) {
        if (attractor.count >= kFitSkip) {
            if (framing) {
                bitmap.TrackPoint(attractor.point);
            } else {
                bitmap.StorePoint(attractor.point);
            }
        }
        attractor.Step();
        if (attractor.count % kHookPeriod == 0) {
            Progress(hooks, attractor.count);
        }
    }
    if (framing && !attractor.diverged) {
        bitmap.FitView(mode == FitMode::Adjust);
    }
    return !attractor.diverged;
}

std::int32_t RefreshPeriod(std::int32_t target, std::int32_t updates) {
    const std::int32_t period = updates > 0 ? target / updates : target;
    return std::max<std::int32_t>(period, 1);
}

RenderRunResult RenderRun(Attractor& attractor, TBitmap3D& bitmap, std::int32_t target,
                          std::int32_t updates, const RunHooks& hooks) {
    RenderRunResult result;
    const std::int32_t period = RefreshPeriod(target, updates);
    const auto refresh = [&] {
        if (hooks.refreshStarting) {
            hooks.refreshStarting();
        }
        bitmap.FinishImage();
        ++result.refreshes;
        if (hooks.refreshed) {
            hooks.refreshed();
        }
    };

    bitmap.ClearImage();
    attractor.Reset();
    while (!StopRequested(hooks) && !attractor.diverged && attractor.count < kWarmUp) {
        attractor.Step();
    }
    // The point of count c is refreshed after when c + 1 is a multiple of the period, and
    // the events are pumped after it when c is a multiple of 10,000: each chunk ends on the
    // nearest such count + 1, which is where the loop below looks at both.
    while (!StopRequested(hooks) && !attractor.diverged && attractor.count < target) {
        const std::int64_t c = attractor.count;
        const std::int64_t nextRefresh = NextMultiple(c, period);
        const std::int64_t nextPump =
            (c % kHookPeriod == 0) ? c + 1 : NextMultiple(c, kHookPeriod) + 1;
        const auto end =
            static_cast<std::int32_t>(std::min<std::int64_t>({nextRefresh, nextPump, target}));
        bitmap.Accumulate(attractor, end);
        const std::int32_t reached = attractor.count;
        if (reached != end) {
            break; // diverged inside the chunk
        }
        if (reached % period == 0) {
            refresh();
        }
        if ((reached - 1) % kHookPeriod == 0) {
            Progress(hooks, reached);
        }
    }
    if (attractor.count % period != 0) {
        refresh();
    }
    result.count = attractor.count;
    result.stopped = StopRequested(hooks);
    result.diverged = attractor.diverged;
    return result;
}

} // namespace vorticel
