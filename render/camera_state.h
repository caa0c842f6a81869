// The camera of a bitmap as a value: what the mouse, the wheel and the fits change, and what
// an edit history or an image's recipe keeps.
#pragma once

#include "attractor/vecd.h"

namespace vorticel {

class TBitmap3D;

// The camera of a bitmap: what the mouse, the wheel, "Ajuster" and "Centrer" change.
struct CameraState {
    double zoom = 1.0;
    double savedZoom = 1.0;
    double panX = 0.0;
    double panY = 0.0;
    double rotationAngle = 0.0;
    Vecd rotationAxis, centre, screenMin, screenMax, boundsMin, boundsMax;

    static CameraState Of(const TBitmap3D& bitmap);
    // Writes the camera back and rebuilds the matrices from it.
    void ApplyTo(TBitmap3D& bitmap) const;
    bool operator==(const CameraState& other) const;
};

} // namespace vorticel
