// Matrix composition through GLM, whose functions follow the fixed-function conventions.
#include "render/matrix.h"

#include <cmath>
#include <cstring>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <glm/mat4x4.hpp>

namespace vorticel {
namespace {

glm::dmat4 ToGlm(const Matrix4& m) {
    return glm::make_mat4(m.data());
}

Matrix4 FromGlm(const glm::dmat4& g) {
    Matrix4 m;
    std::memcpy(m.data(), glm::value_ptr(g), sizeof(double) * 16);
    return m;
}

glm::dvec3 ToGlm(const Vecd& v) {
    return {v.x, v.y, v.z};
}

} // namespace

Matrix4 IdentityMatrix() {
    return FromGlm(glm::dmat4(1.0));
}

Matrix4 OrthoMatrix(double left, double right, double bottom, double top, double nearPlane,
                    double farPlane) {
    if (left == right || bottom == top || nearPlane == farPlane) {
        return IdentityMatrix();
    }
    return FromGlm(glm::ortho(left, right, bottom, top, nearPlane, farPlane));
}

Matrix4 LookAtMatrix(const Vecd& eye, const Vecd& target, const Vecd& up) {
    return FromGlm(glm::lookAt(ToGlm(eye), ToGlm(target), ToGlm(up)));
}

Matrix4 Rotated(const Matrix4& m, double angle, const Vecd& axis) {
    if (!(std::sqrt(Dot(axis, axis)) > 1.0e-4)) {
        return m;
    }
    return FromGlm(glm::rotate(ToGlm(m), angle, ToGlm(axis)));
}

Matrix4 ModelViewMatrix(const Vecd& eye, const Vecd& target, double zoom, double panX, double panY,
                        const Vecd& axis, double angle, const Vecd& centre) {
    glm::dmat4 m = glm::lookAt(ToGlm(eye), ToGlm(target), glm::dvec3(0.0, 1.0, 0.0));
    m = glm::scale(m, glm::dvec3(zoom, zoom, zoom));
    m = glm::translate(m, glm::dvec3(panX, panY, 0.0));
    m = ToGlm(Rotated(FromGlm(m), angle, axis));
    m = glm::translate(m, -ToGlm(centre));
    return FromGlm(m);
}

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
    return FromGlm(ToGlm(a) * ToGlm(b));
}

Unprojector::Unprojector(const Matrix4& modelView, const Matrix4& projection, double width,
                         double height)
    : inverse_(FromGlm(glm::inverse(ToGlm(projection) * ToGlm(modelView)))), width_(width),
      height_(height) {}

Vecd Unproject(const Vecd& window, const Matrix4& modelView, const Matrix4& projection,
               double width, double height) {
    return Unprojector(modelView, projection, width, height)(window);
}

std::array<double, 9> RotationRows(const Vecd& axis, double angle) {
    const double k = std::cos(angle);
    const double s = std::sin(angle);
    const double t = 1.0 - k;
    const double x = axis.x;
    const double y = axis.y;
    const double z = axis.z;
    return {k + t * x * x,     t * x * y + s * z, t * x * z - s * y,
            t * x * y - s * z, k + t * y * y,     t * y * z + s * x,
            t * x * z + s * y, t * y * z - s * x, k + t * z * z};
}

} // namespace vorticel
