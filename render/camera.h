// The camera as one value: what the mouse, the wheel, "Ajuster" and "Centrer" change, what an
// edit history and an image's recipe keep, with the matrices and the projection it makes.
#pragma once

#include "attractor/vecd.h"
#include "render/matrix.h"

#include <cstdint>

namespace vorticel {

// What a camera may hold and still frame a picture: a zoom beyond these shows a dot or a
// single pixel's blur (0, a negative or a denormal zoom shows nothing); orbits diverge beyond
// 1e5, so a point farther out frames none; a pan is in world units before the zoom.
constexpr double kMinZoom = 1e-12;
constexpr double kMaxZoom = 1e12;
constexpr double kMaxCoordinate = 1e9;
constexpr double kMaxPan = 1e15;
// A rotation is about a unit axis, or none at all about a zero one.
constexpr double kAxisLengthTolerance = 1e-6;

// What the last framing pass measured: the normalised screen extent (0..1) and the world
// bounds of its points. "Centrer" and the recipe keep it with the camera.
struct FramingExtent {
    Vecd screenMin;
    Vecd screenMax;
    Vecd boundsMin;
    Vecd boundsMax;

    bool operator==(const FramingExtent& other) const;
};

// An orthographic camera: look-at from the eye to the target, then zoom, pan, a rotation
// about an axis through `Centre()`, over an image of Width() x Height() pixels. Its matrices
// follow every change but ZoomBinding's in-place edits, which wait for UpdateModelView.
class Camera {
public:
    const Vecd& Eye() const { return eye_; }
    const Vecd& Target() const { return target_; }
    double Zoom() const { return zoom_; }
    // The zoom "Centrer" goes back to: the one in force before the framing pass.
    double SavedZoom() const { return savedZoom_; }
    double PanX() const { return panX_; }
    double PanY() const { return panY_; }
    const Vecd& RotationAxis() const { return rotationAxis_; }
    double RotationAngle() const { return rotationAngle_; }
    const Vecd& Centre() const { return centre_; }
    const FramingExtent& Extent() const { return extent_; }

    void SetEye(const Vecd& p);
    void SetTarget(const Vecd& p);
    void SetZoom(double zoom);
    void SetSavedZoom(double zoom);
    void SetPan(double x, double y);
    void SetRotation(const Vecd& axis, double angle);
    void SetCentre(const Vecd& centre);
    void SetExtent(const FramingExtent& extent);
    // The zoom as a variable, for a palette row that edits it in place; the next
    // UpdateModelView (the preview's) takes it in.
    double* ZoomBinding() { return &zoom_; }
    // Everything but the image size (and the matrices made from both) taken from `other`.
    void TakePose(const Camera& other);
    // Same pose: eye, target, zoom, saved zoom, pan, rotation, centre and framing extent.
    bool operator==(const Camera& other) const;
    bool operator!=(const Camera& other) const { return !(*this == other); }

    // The image the camera projects onto; the view box keeps its width, so its height
    // follows the aspect. A size with a zero side keeps the previous box.
    void SetImageSize(std::int32_t width, std::int32_t height);
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    double Aspect() const { return aspect_; }
    // The view box: a fixed width in world units, the height after the aspect.
    double ViewWidth() const { return viewWidth_; }
    double ViewHeight() const { return viewHeight_; }
    // Far minus near plane: the depth 0..1 of a projected point spans this many world units.
    double DepthRange() const { return depthRange_; }

    const Matrix4& Projection() const { return projection_; }
    const Matrix4& ModelView() const { return modelView_; }
    // Projection x model-view; zero until the model-view has first been built.
    const Matrix4& Combined() const { return combined_; }
    // Rebuilds the model-view (and the combined matrix) from the pose.
    void UpdateModelView();

    // World point -> (pixel x, pixel y, depth 0..1), linear (no division by w).
    Vecd Project(const Vecd& p) const {
        const Matrix4& m = combined_;
        return {(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12] + 1.0) * width_ * 0.5,
                (m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13] + 1.0) * height_ * 0.5,
                (m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14] + 1.0) * 0.5};
    }
    // Normalised screen coordinates (0..1) of a world point.
    void ScreenPosition(const Vecd& p, double& sx, double& sy) const;

    // Turns the view by a mouse drag of (dx, dy) pixels, dy positive upwards.
    void RotateByDrag(double dx, double dy);

private:
    void UpdateProjection();

    Vecd eye_;
    Vecd target_;
    double zoom_ = 1.0;
    double savedZoom_ = 1.0;
    double panX_ = 0.0;
    double panY_ = 0.0;
    Vecd rotationAxis_;
    double rotationAngle_ = 0.0;
    Vecd centre_;
    FramingExtent extent_;

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    double viewWidth_ = 1.0;
    double viewHeight_ = 1.0;
    double aspect_ = 1.0;
    double nearPlane_ = 1.0;
    double farPlane_ = 50.0;
    double depthRange_ = 49.0;
    Matrix4 projection_{}; // until the image size is first set
    Matrix4 modelView_{};
    Matrix4 combined_{};
    bool modelViewValid_ = false;
};

} // namespace vorticel
