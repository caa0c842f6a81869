// Reading and writing a bitmap's camera as a whole.
#include "render/camera_state.h"

#include "render/bitmap3d.h"

namespace vorticel {
namespace {

bool Same(const Vecd& a, const Vecd& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace

CameraState CameraState::Of(const TBitmap3D& b) {
    return {b.zoom,   b.savedZoom, b.panX,      b.panY,      b.rotationAngle, b.rotationAxis,
            b.centre, b.screenMin, b.screenMax, b.boundsMin, b.boundsMax};
}

void CameraState::ApplyTo(TBitmap3D& b) const {
    b.zoom = zoom;
    b.savedZoom = savedZoom;
    b.panX = panX;
    b.panY = panY;
    b.rotationAngle = rotationAngle;
    b.rotationAxis = rotationAxis;
    b.centre = centre;
    b.screenMin = screenMin;
    b.screenMax = screenMax;
    b.boundsMin = boundsMin;
    b.boundsMax = boundsMax;
    b.UpdateModelView();
}

bool CameraState::operator==(const CameraState& o) const {
    return zoom == o.zoom && savedZoom == o.savedZoom && panX == o.panX && panY == o.panY &&
           rotationAngle == o.rotationAngle && Same(rotationAxis, o.rotationAxis) &&
           Same(centre, o.centre) && Same(screenMin, o.screenMin) && Same(screenMax, o.screenMax) &&
           Same(boundsMin, o.boundsMin) && Same(boundsMax, o.boundsMax);
}

} // namespace vorticel
