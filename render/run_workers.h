// The worker threads of a render run: each renders its own orbit into its own buffers, and
// they meet only at the refresh boundaries, where the caller merges them, and at a few early
// points where only their soft depths are shared.
#pragma once

#include "attractor/attractor.h"
#include "attractor/rng.h"
#include "render/renderer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vorticel {

// job(k, parts) for k = 0 .. parts - 1, each but the first on a thread of its own; returns once
// all are done.
void InParts(std::int32_t parts, const std::function<void(std::int32_t, std::int32_t)>& job);

class WorkerPool {
public:
    enum class Wake { Timeout, MeetingDue, Finished };

    // Up to `threads` workers over `target` iterations, each with a copy of `attractor` (its
    // own generator stream; worker k > 0 starts nudged by k x kNudge) and a CopyForWorker of
    // the cleared `renderer`. Fewer workers when their buffers cannot be allocated, unless the
    // count is `exact` (std::bad_alloc then).
    WorkerPool(const Attractor& attractor, const Renderer& renderer, std::int32_t target,
               std::int32_t updates, std::int32_t threads, bool exact = false);
    // Stops and joins whatever still runs.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    static constexpr double kNudge = 1e-9;
    // Iterations between two looks at the stop flag; a few milliseconds at most.
    static constexpr std::int32_t kChunk = 1 << 16;

    void Start();
    std::int32_t Size() const { return static_cast<std::int32_t>(workers_.size()); }
    std::int32_t Period() const { return period_; }

    // Iterations done by all workers, warm-ups included.
    std::int32_t Progress() const;
    // Waits until the workers meet, every worker has finished, or `deadline`.
    Wake WaitUntil(std::chrono::steady_clock::time_point deadline);
    // Whether the due meeting is at a refresh boundary (else it only shares the depths).
    bool MeetingIsRefresh() const;
    // Sets `renderer`'s accumulation to the merge of the workers' (which also hands the merged
    // depths back to them). Only while a meeting is due or every worker has finished: the
    // workers are then waiting or gone. `shown`: the merge is for an image refresh. A single
    // worker that has done its share hands its buffers over rather than having them copied.
    void Merge(Renderer& renderer, bool shown);
    // What a shown merge notes, without the merge: the workers' counts as they stand.
    void MarkShown();
    // Lets the workers waiting at the due meeting go on.
    void Release();
    // True when some worker iterated since the last merge that was shown.
    bool ChangedSinceShown() const;
    // Asks every worker to stop at its next chunk boundary (after the due refresh, if any).
    void Stop();
    bool AnyDiverged() const;
    // Joins the threads (every worker has finished or will once stopped).
    void Join();
    // After Join: the first worker's orbit and generator back into `attractor`, the boxes of
    // all and the total count.
    void HandBack(Attractor& attractor) const;

private:
    struct Worker {
        std::unique_ptr<Attractor> attractor;
        std::unique_ptr<Renderer> renderer;
        Random31 random;
        std::int32_t index = 0;
        std::int32_t target = 0;
        std::atomic<std::int32_t> count{0};
        std::int32_t shownCount = 0;
        std::int32_t arrived = 0;      // meetings reached; guarded by mutex_
        bool arrivedAtRefresh = false; // the last of them a refresh; guarded by mutex_
        bool finished = false;         // guarded by mutex_
        std::thread thread;
    };

    void Run(Worker& worker);
    void Publish(Worker& worker);
    // Under mutex_.
    bool MeetingDueLocked() const;
    bool AllFinishedLocked() const;

    std::vector<std::unique_ptr<Worker>> workers_;
    std::int32_t period_ = 1;
    // Counts at which several workers share their depths before the first refresh.
    std::vector<std::int32_t> shares_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> diverged_{false};
    mutable std::mutex mutex_;
    std::condition_variable toCaller_;
    std::condition_variable toWorkers_;
    std::int32_t released_ = 0; // meetings the workers may pass; guarded by mutex_
};

} // namespace vorticel
