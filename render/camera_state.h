// The camera of a bitmap as a value: what the mouse, the wheel and the fits change, and what
// an edit history or an image's recipe keeps.
#pragma once

#include "attractor/vecd.h"

namespace vorticel {

class TBitmap3D;

// What a camera may hold and still frame a picture: a zoom beyond these shows a dot or a
// single pixel's blur (0, a negative or a denormal zoom shows nothing); orbits diverge beyond
// 1e5, so a point farther out frames none; a pan is in world units before the zoom.
constexpr double kMinZoom = 1e-12;
constexpr double kMaxZoom = 1e12;
constexpr double kMaxCoordinate = 1e9;
constexpr double kMaxPan = 1e15;
// A rotation is about a unit axis, or none at all about a zero one.
constexpr double kAxisLengthTolerance = 1e-6;

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
