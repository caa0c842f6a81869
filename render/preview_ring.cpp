// Storing the orbit's last points and framing the camera around them.
#include "render/preview_ring.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace vorticel {
namespace {

constexpr double kLargest = std::numeric_limits<double>::max();

void GrowMin(double& m, double v) {
    if (!(v >= m)) {
        m = v;
    }
}

void GrowMax(double& m, double v) {
    if (v > m) {
        m = v;
    }
}

} // namespace

PreviewRing::PreviewRing(std::int32_t size)
    : points_(static_cast<std::size_t>(size > 0 ? size : 0), Vecd{}) {}

void PreviewRing::Store(const Vecd& p) {
    const std::int32_t size = Size();
    if (size <= 0) {
        return;
    }
    points_[static_cast<std::size_t>(index_ % size)] = p;
    index_ = (index_ + 1) % size;
}

void PreviewRing::Restore(std::vector<Vecd> points, std::int32_t index) {
    points_ = std::move(points);
    index_ = index;
}

void PreviewRing::Drop() {
    points_ = std::vector<Vecd>();
    index_ = 0;
}

void PreviewRing::BeginFraming(Camera& camera) {
    camera.SetExtent({});
    camera.SetSavedZoom(camera.Zoom());
    camera.SetCentre({});
    camera.SetPan(0.0, 0.0);
    camera.SetZoom(1.0);
    index_ = 0;
    camera.SetExtent({{kLargest, kLargest, kLargest},
                      {-kLargest, -kLargest, -kLargest},
                      {kLargest, kLargest, kLargest},
                      {-kLargest, -kLargest, -kLargest}});
}

void PreviewRing::Track(Camera& camera, const Vecd& p) {
    FramingExtent e = camera.Extent();
    GrowMin(e.boundsMin.x, p.x);
    GrowMin(e.boundsMin.y, p.y);
    GrowMin(e.boundsMin.z, p.z);
    GrowMax(e.boundsMax.x, p.x);
    GrowMax(e.boundsMax.y, p.y);
    GrowMax(e.boundsMax.z, p.z);
    double sx = 0.0;
    double sy = 0.0;
    camera.ScreenPosition(p, sx, sy);
    GrowMin(e.screenMin.x, sx);
    GrowMin(e.screenMin.y, sy);
    GrowMax(e.screenMax.x, sx);
    GrowMax(e.screenMax.y, sy);
    camera.SetExtent(e);
    Store(p);
}

Vecd PreviewRing::FitCentre(const Camera& camera) {
    return (camera.Extent().boundsMin + camera.Extent().boundsMax) * 0.5;
}

void PreviewRing::Fit(Camera& camera, bool recomputeZoom, const Vecd& projectedCentre) const {
    const FramingExtent& e = camera.Extent();
    double zoom = camera.SavedZoom();
    if (recomputeZoom) {
        const double dx = e.screenMax.x - e.screenMin.x;
        const double dy = e.screenMax.y - e.screenMin.y;
        // A cloud that is all but a point would take a zoom no camera holds.
        zoom = dx == 0.0 && dy == 0.0
                   ? 1.0
                   : std::clamp((1.0 - fitMargin_) / (dx > dy ? dx : dy), kMinZoom, kMaxZoom);
        camera.SetSavedZoom(zoom);
    }
    const double panX = (e.screenMin.x + e.screenMax.x) / 2 - projectedCentre.x / camera.Width();
    const double panY =
        (projectedCentre.y / camera.Height() - (e.screenMin.y + e.screenMax.y) / 2) /
        camera.Aspect();
    camera.SetZoom(zoom);
    camera.SetCentre(FitCentre(camera));
    camera.SetPan(panX, panY);
}

} // namespace vorticel
