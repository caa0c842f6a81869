// Worker threads of a render run and their meeting points.
#include "render/run_workers.h"

#include "render/render_run.h"

#include <algorithm>
#include <future>
#include <limits>
#include <new>
#include <stdexcept>

namespace vorticel {
namespace {

// The smallest multiple of `period` greater than `value`.
std::int64_t NextMultiple(std::int64_t value, std::int64_t period) {
    return (value / period + 1) * period;
}

} // namespace

void InParts(std::int32_t parts, const std::function<void(std::int32_t, std::int32_t)>& job) {
    const std::int32_t n = std::max<std::int32_t>(parts, 1);
    std::vector<std::future<void>> others;
    for (std::int32_t k = 1; k < n; ++k) {
        others.push_back(std::async(std::launch::async, [&job, k, n] { job(k, n); }));
    }
    job(0, n);
    for (std::future<void>& other : others) {
        other.get();
    }
}

WorkerPool::WorkerPool(const Attractor& attractor, const Renderer& renderer, std::int32_t target,
                       std::int32_t updates, std::int32_t threads, bool exact) {
    const std::int32_t n = std::max<std::int32_t>(threads, 1);
    period_ = RefreshPeriod(target / n, updates);
    for (std::int32_t k = 0; k < n; ++k) {
        auto worker = std::make_unique<Worker>();
        try {
            worker->attractor = attractor.Clone();
            if (!worker->attractor) {
                throw std::logic_error("a render run needs an attractor that can be copied");
            }
            worker->renderer = renderer.CopyForWorker();
        } catch (const std::bad_alloc&) {
            if (k == 0 || exact) {
                throw;
            }
            break; // run with the workers whose buffers fit
        }
        // The first worker draws on from the attractor's own generator, as a single-threaded
        // loop would; the others from streams of their own.
        worker->index = k;
        worker->random = k == 0 ? *attractor.random : attractor.random->Stream(k);
        worker->attractor->random = &worker->random;
        workers_.push_back(std::move(worker));
    }
    // The target is split as evenly as it goes; the first workers take the remainder.
    const auto count = static_cast<std::int32_t>(workers_.size());
    for (std::int32_t k = 0; k < count; ++k) {
        workers_[k]->target = target / count + (k < target % count ? 1 : 0);
    }
    if (count != n) {
        period_ = RefreshPeriod(target / count, updates);
    }
    // A soft depth needs a few points per pixel to find its surface, and each worker finds it
    // on its own: N workers would let N times as many of those first points count fully. So
    // before the first refresh they share their depths after a quarter, a half, one, two ...
    // points per pixel.
    if (count > 1 && renderer.KeepsSoftDepths()) {
        // Counted over the whole image, not the band: every strip of a poster shares at the
        // same counts, so its soft depths are those of the image in one piece.
        const std::int64_t pixels = std::int64_t{renderer.Width()} * renderer.Height();
        const std::int64_t firstRefresh = NextMultiple(kWarmUp, period_);
        for (std::int64_t m = std::max<std::int64_t>(pixels / 4, 1); kWarmUp + m < firstRefresh;
             m *= 2) {
            shares_.push_back(static_cast<std::int32_t>(kWarmUp + m));
        }
    }
}

WorkerPool::~WorkerPool() {
    Stop();
    {
        // Nobody merges any more: let waiting workers go.
        const std::lock_guard<std::mutex> lock(mutex_);
        released_ = std::numeric_limits<std::int32_t>::max();
    }
    toWorkers_.notify_all();
    Join();
}

void WorkerPool::Start() {
    for (const auto& worker : workers_) {
        worker->thread = std::thread([this, w = worker.get()] { Run(*w); });
    }
}

void WorkerPool::Publish(Worker& worker) {
    worker.count.store(worker.attractor->count, std::memory_order_relaxed);
}

void WorkerPool::Run(Worker& worker) {
    Attractor& a = *worker.attractor;
    a.Reset();
    // Apart by a hair, so that each worker's orbit soon runs its own way over the attractor.
    if (worker.index > 0) {
        const double nudge = kNudge * worker.index;
        a.point = a.point + Vecd{nudge, nudge, nudge};
    }
    while (!stop_.load(std::memory_order_relaxed) && !a.diverged && a.count < kWarmUp) {
        a.Step();
    }
    Publish(worker);
    std::int32_t meeting = 0;
    auto share = shares_.begin();
    while (!stop_.load(std::memory_order_relaxed) && !a.diverged && a.count < worker.target) {
        const std::int64_t c = a.count;
        while (share != shares_.end() && *share <= c) {
            ++share;
        }
        const std::int64_t nextShare =
            share != shares_.end() ? *share : std::numeric_limits<std::int32_t>::max();
        const auto end = static_cast<std::int32_t>(std::min<std::int64_t>(
            {NextMultiple(c, period_), nextShare, worker.target, c + kChunk}));
        worker.renderer->Accumulate(a, end);
        Publish(worker);
        if (a.count != end) {
            break; // diverged inside the chunk
        }
        const bool refresh = end % period_ == 0;
        if (refresh || end == nextShare) {
            // A meeting: wait here until the caller has merged.
            std::unique_lock<std::mutex> lock(mutex_);
            worker.arrived = ++meeting;
            worker.arrivedAtRefresh = refresh;
            toCaller_.notify_all();
            toWorkers_.wait(lock, [&] { return released_ >= meeting; });
        }
    }
    if (a.diverged) {
        diverged_.store(true);
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    worker.finished = true;
    toCaller_.notify_all();
}

std::int32_t WorkerPool::Progress() const {
    std::int64_t total = 0;
    for (const auto& worker : workers_) {
        total += worker->count.load(std::memory_order_relaxed);
    }
    return static_cast<std::int32_t>(total);
}

bool WorkerPool::MeetingDueLocked() const {
    const std::int32_t next = released_ + 1;
    bool anyArrived = false;
    for (const auto& worker : workers_) {
        if (worker->arrived >= next) {
            anyArrived = true;
        } else if (!worker->finished) {
            return false;
        }
    }
    return anyArrived;
}

bool WorkerPool::AllFinishedLocked() const {
    return std::all_of(workers_.begin(), workers_.end(),
                       [](const auto& worker) { return worker->finished; });
}

WorkerPool::Wake WorkerPool::WaitUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    const bool woken = toCaller_.wait_until(lock, deadline, [this] {
        return MeetingDueLocked() || AllFinishedLocked() || (diverged_.load() && !stop_.load());
    });
    if (!woken) {
        return Wake::Timeout;
    }
    if (MeetingDueLocked()) {
        return Wake::MeetingDue;
    }
    return AllFinishedLocked() ? Wake::Finished : Wake::Timeout;
}

bool WorkerPool::MeetingIsRefresh() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::any_of(workers_.begin(), workers_.end(), [this](const auto& worker) {
        return worker->arrived > released_ && worker->arrivedAtRefresh;
    });
}

void WorkerPool::MarkShown() {
    for (const auto& worker : workers_) {
        worker->shownCount = worker->count.load(std::memory_order_relaxed);
    }
}

void WorkerPool::Merge(Renderer& renderer, bool shown) {
    std::vector<Renderer*> renderers;
    renderers.reserve(workers_.size());
    for (const auto& worker : workers_) {
        renderers.push_back(worker->renderer.get());
    }
    if (shown) {
        MarkShown();
    }
    // Done: finished, or waiting at the meeting of its whole share, after which it only leaves.
    bool done = true;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& worker : workers_) {
            done = done && (worker->finished ||
                            worker->count.load(std::memory_order_relaxed) >= worker->target);
        }
    }
    // The workers wait meanwhile: one slice of the buffers per worker, on as many threads.
    InParts(Size(), [&renderer, &renderers, done](std::int32_t k, std::int32_t n) {
        renderer.MergeWorkers(
            renderers, MergePart{static_cast<std::size_t>(k), static_cast<std::size_t>(n), done});
    });
}

void WorkerPool::Release() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++released_;
    }
    toWorkers_.notify_all();
}

bool WorkerPool::ChangedSinceShown() const {
    return std::any_of(workers_.begin(), workers_.end(), [](const auto& worker) {
        return worker->count.load(std::memory_order_relaxed) != worker->shownCount;
    });
}

void WorkerPool::Stop() {
    stop_.store(true);
}

bool WorkerPool::AnyDiverged() const {
    return diverged_.load();
}

void WorkerPool::Join() {
    for (const auto& worker : workers_) {
        if (worker->thread.joinable()) {
            worker->thread.join();
        }
    }
}

void WorkerPool::HandBack(Attractor& attractor) const {
    *attractor.random = workers_.front()->random;
    for (auto it = workers_.rbegin(); it != workers_.rend(); ++it) {
        attractor.TakeOrbitFrom(*(*it)->attractor, Progress());
    }
}

} // namespace vorticel
