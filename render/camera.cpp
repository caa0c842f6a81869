// The camera's pose, its matrices and the drag rotation.
#include "render/camera.h"

#include <array>
#include <cmath>

namespace vorticel {
namespace {

constexpr double kPi = 3.14159265358979323846;

bool Same(const Vecd& a, const Vecd& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace

bool FramingExtent::operator==(const FramingExtent& o) const {
    return Same(screenMin, o.screenMin) && Same(screenMax, o.screenMax) &&
           Same(boundsMin, o.boundsMin) && Same(boundsMax, o.boundsMax);
}

void Camera::SetEye(const Vecd& p) {
    eye_ = p;
    UpdateModelView();
}

void Camera::SetTarget(const Vecd& p) {
    target_ = p;
    UpdateModelView();
}

void Camera::SetZoom(double zoom) {
    zoom_ = zoom;
    UpdateModelView();
}

void Camera::SetSavedZoom(double zoom) {
    savedZoom_ = zoom;
}

void Camera::SetPan(double x, double y) {
    panX_ = x;
    panY_ = y;
    UpdateModelView();
}

void Camera::SetRotation(const Vecd& axis, double angle) {
    rotationAxis_ = axis;
    rotationAngle_ = angle;
    UpdateModelView();
}

void Camera::SetCentre(const Vecd& centre) {
    centre_ = centre;
    UpdateModelView();
}

void Camera::SetExtent(const FramingExtent& extent) {
    extent_ = extent;
}

void Camera::TakePose(const Camera& o) {
    eye_ = o.eye_;
    target_ = o.target_;
    zoom_ = o.zoom_;
    savedZoom_ = o.savedZoom_;
    panX_ = o.panX_;
    panY_ = o.panY_;
    rotationAxis_ = o.rotationAxis_;
    rotationAngle_ = o.rotationAngle_;
    centre_ = o.centre_;
    extent_ = o.extent_;
    UpdateModelView();
}

bool Camera::operator==(const Camera& o) const {
    return Same(eye_, o.eye_) && Same(target_, o.target_) && zoom_ == o.zoom_ &&
           savedZoom_ == o.savedZoom_ && panX_ == o.panX_ && panY_ == o.panY_ &&
           rotationAngle_ == o.rotationAngle_ && Same(rotationAxis_, o.rotationAxis_) &&
           Same(centre_, o.centre_) && extent_ == o.extent_;
}

void Camera::SetImageSize(std::int32_t width, std::int32_t height) {
    width_ = width;
    height_ = height;
    if (width > 0 && height > 0) {
        aspect_ = static_cast<double>(width) / height;
        viewHeight_ = viewWidth_ / aspect_;
    }
    UpdateProjection();
}

void Camera::UpdateProjection() {
    projection_ = OrthoMatrix(-viewWidth_ / 2, viewWidth_ / 2, -viewHeight_ / 2, viewHeight_ / 2,
                              nearPlane_, farPlane_);
    depthRange_ = farPlane_ - nearPlane_;
    if (modelViewValid_) {
        combined_ = Multiply(projection_, modelView_);
    }
}

void Camera::UpdateModelView() {
    modelView_ =
        ModelViewMatrix(eye_, target_, zoom_, panX_, panY_, rotationAxis_, rotationAngle_, centre_);
    combined_ = Multiply(projection_, modelView_);
    modelViewValid_ = true;
}

void Camera::ScreenPosition(const Vecd& p, double& sx, double& sy) const {
    const Matrix4& m = combined_;
    sx = (m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12] + 1.0) * 0.5;
    sy = (m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13] + 1.0) * 0.5;
}

void Camera::RotateByDrag(double dx, double dy) {
    const double d = std::sqrt(dx * dx + dy * dy);
    if (!(d >= 1.0) || width_ <= 0) {
        return;
    }
    const Vecd axis{dy / d, dx / d, 0.0};
    const double theta = d * kPi / width_;
    const std::array<double, 9> a = RotationRows(rotationAxis_, rotationAngle_);
    const std::array<double, 9> b = RotationRows(axis, theta);
    std::array<double, 9> q{};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            q[row * 3 + col] =
                a[row * 3] * b[col] + a[row * 3 + 1] * b[3 + col] + a[row * 3 + 2] * b[6 + col];
        }
    }
    double cosine = (q[0] + q[4] + q[8] - 1.0) / 2.0;
    cosine = cosine > 1.0 ? 1.0 : (cosine < -1.0 ? -1.0 : cosine); // rounding can leave +-1
    rotationAngle_ = std::acos(cosine);
    const double s = std::sin(rotationAngle_);
    const double turns = s / kPi;
    if (std::fabs(turns - std::trunc(turns)) >= 1e-7) {
        rotationAxis_ = Vecd{q[5] - q[7], q[6] - q[2], q[1] - q[3]} / (2.0 * s);
    } else {
        rotationAxis_ = {0.0, 1.0, 0.0};
    }
    const double length = std::sqrt(Dot(rotationAxis_, rotationAxis_));
    if (length > 0.0) {
        rotationAxis_ = rotationAxis_ / length;
    }
    UpdateModelView();
}

} // namespace vorticel
