// How the workers' accumulation buffers of a render run become one: sums and nearest depths.
//
// Each merge starts from the first worker's buffer and folds in the others in worker order, so
// one worker merges to an exact copy and a given set of workers always to the same bits.
//
// A soft depth only ever moves toward the points in front of it, each pulling it a share of
// the way; two workers' depths after n points each are both further than one depth after all
// 2n, and their nearest is still too far. So the merged depth goes back to every worker: from
// each refresh on, all of them pull on the surface found so far, as a single orbit would.
#pragma once

#include "render/bitmap3d.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorticel {

using WorkerRenderers = std::vector<TBitmap3D*>;

// The buffer `member` of worker k, as the class R that made the copies.
template <class R, class T>
std::vector<T>& WorkerBuffer(const WorkerRenderers& workers, std::size_t k,
                             std::vector<T> R::*member) {
    return static_cast<R&>(*workers[k]).*member;
}

// Densities (and anything else that adds up): out = the sum of the workers' buffers.
template <class R>
void MergeSum(std::vector<float>& out, const WorkerRenderers& workers,
              std::vector<float> R::*member) {
    out = WorkerBuffer(workers, 0, member);
    for (std::size_t k = 1; k < workers.size(); ++k) {
        const std::vector<float>& in = WorkerBuffer(workers, k, member);
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] += in[i];
        }
    }
}

// Soft depths: out = the nearest (smallest) of the workers' depths, handed back to each.
template <class R>
void MergeNearest(std::vector<float>& out, const WorkerRenderers& workers,
                  std::vector<float> R::*member) {
    out = WorkerBuffer(workers, 0, member);
    for (std::size_t k = 1; k < workers.size(); ++k) {
        const std::vector<float>& in = WorkerBuffer(workers, k, member);
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = in[i] < out[i] ? in[i] : out[i];
        }
    }
    for (std::size_t k = 1; k < workers.size(); ++k) {
        WorkerBuffer(workers, k, member) = out;
    }
    if (workers.size() > 1) {
        WorkerBuffer(workers, 0, member) = out;
    }
}

template <class T> std::int64_t BufferBytes(const std::vector<T>& buffer) {
    return static_cast<std::int64_t>(buffer.size() * sizeof(T));
}

} // namespace vorticel
