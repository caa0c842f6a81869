// How the workers' accumulation buffers of a render run become one: sums and nearest depths.
//
// Each merge starts from the first worker's buffer and folds in the others in worker order, so
// one worker merges to an exact copy and a given set of workers always to the same bits. A
// merge is cut into parts (MergePart), each a slice of every buffer, so several threads can
// share it.
//
// A soft depth only ever moves toward the points in front of it, each pulling it a share of
// the way; two workers' depths after n points each are both further than one depth after all
// 2n, and their nearest is still too far. So the merged depth goes back to every worker: from
// each meeting on, all of them pull on the surface found so far, as a single orbit would.
#pragma once

#include "render/renderer.h"
#include "render/splat.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorticel {

using WorkerRenderers = std::vector<Renderer*>;

// The accessor of buffer `member` of a worker made by class R.
template <class R, class V> auto Member(V R::*member) {
    return [member](Renderer& worker) -> V& { return static_cast<R&>(worker).*member; };
}

// out = the first worker's buffer, then combine(out[i], worker's[i]) for each further worker,
// over this part's slice. One worker done for good hands its buffer over whole (the worker
// gets `out`'s old one), which spares a pass over a large image.
template <class V, class Buffer, class Combine>
void MergeEach(V& out, const WorkerRenderers& workers, Buffer bufferOf, MergePart part,
               Combine combine) {
    V& first = bufferOf(*workers[0]);
    if (workers.size() == 1 && part.count == 1 && part.workersDone && first.size() == out.size()) {
        out.swap(first);
        return;
    }
    const std::size_t begin = part.Begin(out.size());
    const std::size_t end = part.End(out.size());
    std::copy(first.begin() + begin, first.begin() + end, out.begin() + begin);
    for (std::size_t k = 1; k < workers.size(); ++k) {
        const V& in = bufferOf(*workers[k]);
        for (std::size_t i = begin; i < end; ++i) {
            combine(out[i], in[i]);
        }
    }
}

// assign(worker's[i], merged[i]) for every worker over this part's slice, when there is more
// than one worker (one worker's buffer already is the merge).
template <class V, class Buffer, class Assign>
void HandBack(const V& merged, const WorkerRenderers& workers, Buffer bufferOf, MergePart part,
              Assign assign) {
    if (workers.size() < 2) {
        return;
    }
    const std::size_t begin = part.Begin(merged.size());
    const std::size_t end = part.End(merged.size());
    for (Renderer* worker : workers) {
        V& own = bufferOf(*worker);
        for (std::size_t i = begin; i < end; ++i) {
            assign(own[i], merged[i]);
        }
    }
}

// Densities (and anything else that adds up).
template <class R, class V>
void MergeSum(V& out, const WorkerRenderers& workers, V R::*member, MergePart part) {
    MergeEach(out, workers, Member(member), part, [](float& o, float v) { o += v; });
}

// Soft depths: the nearest (smallest) of the workers' depths, handed back to each. The buffers
// hold them as StoredDepth.
template <class R, class V>
void MergeNearest(V& out, const WorkerRenderers& workers, V R::*member, MergePart part) {
    MergeEach(out, workers, Member(member), part,
              [](float& o, float v) { o = DepthOf(v) < DepthOf(o) ? v : o; });
    HandBack(out, workers, Member(member), part, [](float& own, float v) { own = v; });
}

// Densities and soft depths side by side (DensityDepth): the sum and the nearest, as MergeSum
// and MergeNearest would give them apart, the depths handed back to each worker.
template <class V, class Buffer>
void MergeDensityDepth(V& out, const WorkerRenderers& workers, Buffer bufferOf, MergePart part) {
    MergeEach(out, workers, bufferOf, part, [](DensityDepth& o, const DensityDepth& v) {
        o.density += v.density;
        o.depth = DepthOf(v.depth) < DepthOf(o.depth) ? v.depth : o.depth;
    });
    HandBack(out, workers, bufferOf, part,
             [](DensityDepth& own, const DensityDepth& v) { own.depth = v.depth; });
}

template <class V> std::int64_t BufferBytes(const V& buffer) {
    return static_cast<std::int64_t>(buffer.size() * sizeof(buffer[0]));
}

} // namespace vorticel
