// The preview ring and the framing pass: the last points of the orbit, which the view draws
// while it is turned, and the camera fitted around them.
#pragma once

#include "attractor/vecd.h"
#include "render/camera.h"

#include <cstdint>
#include <vector>

namespace vorticel {

class PreviewRing {
public:
    static constexpr std::int32_t kDefaultSize = 20000;

    // Full of `size` zero points.
    explicit PreviewRing(std::int32_t size = kDefaultSize);

    // Overwrites the oldest point: the ring is always full.
    void Store(const Vecd& p);
    const std::vector<Vecd>& Points() const { return points_; }
    std::int32_t Size() const { return static_cast<std::int32_t>(points_.size()); }
    // Where the next point goes.
    std::int32_t Index() const { return index_; }
    // Puts back a ring taken earlier (Points, Index), to undo a pass.
    void Restore(std::vector<Vecd> points, std::int32_t index);
    // Frees the points: a render worker plots without a ring.
    void Drop();

    // The framing pass. Begin measures at zoom 1, unpanned and uncentred (the zoom in force
    // is kept for "Centrer") and restarts the ring; Track grows the camera's extent with a
    // point and stores it; Fit then sets zoom, centre and pan so that the extent fills the
    // image but for the margin. `projectedCentre` is FitCentre projected as the renderer
    // projects points, through the camera of the pass.
    void BeginFraming(Camera& camera);
    void Track(Camera& camera, const Vecd& p);
    static Vecd FitCentre(const Camera& camera);
    void Fit(Camera& camera, bool recomputeZoom, const Vecd& projectedCentre) const;

private:
    std::vector<Vecd> points_;
    std::int32_t index_ = 0;
    double fitMargin_ = 0.05;
};

} // namespace vorticel
