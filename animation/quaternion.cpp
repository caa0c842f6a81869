// Quaternion arithmetic for the camera's rotation.
#include "animation/quaternion.h"

#include <cmath>

namespace vorticel {
namespace {

Vecd Cross(const Vecd& a, const Vecd& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Quaternion Normalised(const Quaternion& q) {
    const double n = std::sqrt(q.w * q.w + Dot(q.v, q.v));
    return n > 0.0 ? Quaternion{q.w / n, q.v / n} : Quaternion{};
}

} // namespace

Quaternion Quaternion::FromAxisAngle(const Vecd& axis, double angle) {
    const double length = std::sqrt(Dot(axis, axis));
    if (!(length > 0.0)) {
        return {};
    }
    return {std::cos(angle / 2.0), axis * (std::sin(angle / 2.0) / length)};
}

void Quaternion::ToAxisAngle(Vecd& axis, double& angle) const {
    const Quaternion q = Normalised(*this);
    const double s = std::sqrt(Dot(q.v, q.v));
    if (!(s > 1e-15)) {
        axis = {0.0, 1.0, 0.0};
        angle = 0.0;
        return;
    }
    axis = q.v / s;
    angle = 2.0 * std::atan2(s, q.w); // 0..2 pi
}

Quaternion operator*(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.w - Dot(a.v, b.v), b.v * a.w + a.v * b.w + Cross(a.v, b.v)};
}

Quaternion Slerp(const Quaternion& a, const Quaternion& b, double t) {
    if (t == 0.0) {
        return a;
    }
    double cosine = a.w * b.w + Dot(a.v, b.v);
    Quaternion end = b;
    if (cosine < 0.0) { // q and -q are one rotation: take the nearer
        cosine = -cosine;
        end = {-b.w, b.v * -1.0};
    }
    if (cosine > 0.9995) { // nearly equal: a straight line is as good and never divides by 0
        return Normalised({a.w + (end.w - a.w) * t, a.v + (end.v - a.v) * t});
    }
    const double theta = std::acos(cosine);
    const double wa = std::sin((1.0 - t) * theta) / std::sin(theta);
    const double wb = std::sin(t * theta) / std::sin(theta);
    return Normalised({a.w * wa + end.w * wb, a.v * wa + end.v * wb});
}

} // namespace vorticel
