// Fit and render run in chunks between hook calls.
#include "render/render_run.h"

#include "attractor/attractor.h"
#include "render/memory_budget.h"
#include "render/renderer.h"
#include "render/run_workers.h"

#include <algorithm>
#include <cstdio>
#include <future>
#include <string>
#include <thread>
#include <vector>

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

// ShadeImage in `bands` bands of rows on as many threads. With as many bands as workers,
// shading slows every worker alike instead of one, which would keep the others waiting at the
// next meeting.
bool ShadeInBands(Renderer& renderer, std::int32_t bands) {
    if (!renderer.BeginShade()) {
        return false;
    }
    const std::int32_t rows = renderer.BandRows();
    InParts(std::max<std::int32_t>(1, std::min(bands, rows)),
            [&renderer, rows](std::int32_t k, std::int32_t n) {
                const auto row = [rows, n](std::int64_t j) {
                    return static_cast<std::int32_t>(rows * j / n);
                };
                renderer.ShadeRows(row(k), row(k + 1));
            });
    return true;
}

} // namespace

bool Fit(Attractor& attractor, Renderer& renderer, std::int32_t points, FitMode mode,
         const RunHooks& hooks) {
    attractor.Reset();
    const bool framing = mode == FitMode::Center || mode == FitMode::Adjust;
    if (!framing && mode != FitMode::PreviewOnly) {
        return !attractor.diverged;
    }
    if (framing) {
        renderer.ResetView();
    }
    const std::int64_t end = std::int64_t{points} + kFitSkip;
    while (!attractor.diverged && attractor.count < end) {
        if (attractor.count >= kFitSkip) {
            if (framing) {
                renderer.TrackPoint(attractor.point);
            } else {
                renderer.StorePoint(attractor.point);
            }
        }
        attractor.Step();
        if (attractor.count % kHookPeriod == 0) {
            Progress(hooks, attractor.count);
        }
    }
    if (framing && !attractor.diverged) {
        renderer.FitView(mode == FitMode::Adjust);
    }
    return !attractor.diverged;
}

std::int32_t RefreshPeriod(std::int32_t target, std::int32_t updates) {
    const std::int32_t period = updates > 0 ? target / updates : target;
    return std::max<std::int32_t>(period, 1);
}

std::int32_t HardwareThreads() {
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? static_cast<std::int32_t>(std::min<unsigned>(n, kMaxWorkers)) : 1;
}

std::int32_t RunThreadCount(std::int32_t requested, std::int32_t target,
                            std::int64_t bytesPerWorker, std::int64_t memoryBudget) {
    std::int64_t n = requested > 0 ? requested : HardwareThreads();
    n = std::min<std::int64_t>(n, target / kMinWorkerIterations);
    if (memoryBudget > 0 && bytesPerWorker > 0) {
        n = std::min(n, memoryBudget / bytesPerWorker);
    }
    return static_cast<std::int32_t>(std::max<std::int64_t>(n, 1));
}

namespace {

std::string Megabytes(std::int64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

} // namespace

MemoryBudgetError::MemoryBudgetError(std::int32_t requested, std::int32_t fitting,
                                     std::int64_t bytesPerWorker, std::int64_t budget)
    : std::runtime_error(
          std::to_string(requested) + " workers need " + Megabytes(requested * bytesPerWorker) +
          " for their buffers, more than the " + Megabytes(budget) + " of memory available; " +
          (fitting > 0 ? std::to_string(fitting) + (fitting == 1 ? " worker fits" : " workers fit")
                       : std::string("not even one worker fits"))),
      fitting_(fitting) {}

void RequireWorkersFit(std::int32_t requested, std::int32_t target, std::int64_t bytesPerWorker,
                       std::int64_t memoryBudget) {
    const std::int32_t n = RunThreadCount(requested, target, bytesPerWorker, 0);
    if (memoryBudget > 0 && bytesPerWorker > 0 && n * bytesPerWorker > memoryBudget) {
        throw MemoryBudgetError(n, static_cast<std::int32_t>(memoryBudget / bytesPerWorker),
                                bytesPerWorker, memoryBudget);
    }
}

std::int64_t RunMemoryBytes(const Renderer& renderer, std::int32_t threads) {
    const std::int64_t own =
        renderer.GetImage().Bytes() +
        static_cast<std::int64_t>(renderer.Ring().Points().size() * sizeof(Vecd));
    return own + (std::int64_t{threads} + 1) * (renderer.AccumulationBytes() + renderer.BinBytes());
}

RenderRunResult RenderRun(Attractor& attractor, Renderer& renderer, std::int32_t target,
                          std::int32_t updates, const RunHooks& hooks, std::int32_t threads) {
    using Clock = std::chrono::steady_clock;
    RenderRunResult result;
    renderer.ClearImage();
    attractor.Reset();
    const std::int64_t budget = AvailableMemoryBytes();
    const bool asked = threads != kAllThreads;
    const std::int64_t perWorker = renderer.AccumulationBytes() + renderer.BinBytes();
    if (asked) {
        RequireWorkersFit(threads, target, perWorker, budget);
    }
    const std::int32_t n = RunThreadCount(threads, target, perWorker, budget);
    WorkerPool pool(attractor, renderer, target, updates, n, asked);
    result.threads = pool.Size();

    Clock::time_point nextProgress = Clock::now() + kProgressInterval;
    const auto progress = [&] {
        attractor.count = pool.Progress();
        Progress(hooks, attractor.count);
        if (StopRequested(hooks)) {
            result.stopped = true;
            pool.Stop();
        }
        nextProgress = Clock::now() + kProgressInterval;
    };
    // Merges and shading run off this thread, so the progress calls go on meanwhile; the
    // shown image is written here only.
    const auto offThread = [&](auto job) {
        std::future<bool> done = std::async(std::launch::async, job);
        while (done.wait_until(nextProgress) != std::future_status::ready) {
            progress();
        }
        return done.get();
    };
    // A merge is made whole from the workers' buffers. When no image is shaded from it and no
    // depth goes back to the workers, the next merge makes it over again: only the last is
    // made, and the refreshes before it only let the workers go on.
    const bool mergesMatter =
        hooks.shadeRefreshes || (renderer.KeepsSoftDepths() && pool.Size() > 1);
    bool mergeOwed = false;
    const auto refresh = [&](bool release) {
        if (hooks.refreshStarting) {
            hooks.refreshStarting();
        }
        if (release && !mergesMatter) {
            pool.MarkShown();
            pool.Release();
            mergeOwed = true;
        } else {
            const bool shaded = offThread([&] {
                pool.Merge(renderer, true);
                if (release) {
                    pool.Release();
                }
                return hooks.shadeRefreshes && ShadeInBands(renderer, pool.Size());
            });
            mergeOwed = false;
            if (shaded) {
                renderer.PublishImage();
            }
        }
        ++result.refreshes;
        if (hooks.refreshed) {
            hooks.refreshed();
        }
    };
    const auto shareDepths = [&] {
        offThread([&] {
            pool.Merge(renderer, false);
            pool.Release();
            return true;
        });
    };

    pool.Start();
    for (;;) {
        const WorkerPool::Wake wake = pool.WaitUntil(nextProgress);
        if (wake == WorkerPool::Wake::MeetingDue) {
            if (pool.MeetingIsRefresh()) {
                refresh(true);
            } else {
                shareDepths();
            }
        } else if (wake == WorkerPool::Wake::Finished) {
            break;
        }
        if (pool.AnyDiverged()) {
            pool.Stop();
        }
        if (Clock::now() >= nextProgress) {
            progress();
        }
    }
    pool.Join();
    pool.HandBack(attractor);
    result.diverged = pool.AnyDiverged();
    if (result.diverged) {
        attractor.MarkDiverged();
    }
    if (pool.ChangedSinceShown()) {
        refresh(false);
    } else if (mergeOwed) { // the last refresh's, which was not made
        offThread([&] {
            pool.Merge(renderer, true);
            return true;
        });
    }
    result.count = attractor.count;
    result.stopped = result.stopped || StopRequested(hooks);
    return result;
}

} // namespace vorticel
