// 4x4 matrices, composed as the fixed-function pipeline would compose them.
//
// Matrices are 4x4 doubles in column-major order (element [column * 4 + row]), ready for
// glLoadMatrixd.
#pragma once

#include "attractor/vecd.h"

#include <array>

namespace vorticel {

using Matrix4 = std::array<double, 16>;

Matrix4 IdentityMatrix();

// glOrtho(left, right, bottom, top, near, far). Like glOrtho, an empty box (left = right,
// bottom = top or near = far) is refused: the identity comes back.
Matrix4 OrthoMatrix(double left, double right, double bottom, double top, double nearPlane,
                    double farPlane);

// gluLookAt(eye, target, up).
Matrix4 LookAtMatrix(const Vecd& eye, const Vecd& target, const Vecd& up);

// m x glRotated(angle in radians, axis); like glRotated, a (near) zero axis rotates by nothing.
Matrix4 Rotated(const Matrix4& m, double angle, const Vecd& axis);

// The camera's model-view: look-at from `eye` to `target` (up +y), scale by `zoom`,
// translate by (panX, panY, 0), rotate by `angle` radians about `axis`, translate by -centre;
// each post-multiplied.
Matrix4 ModelViewMatrix(const Vecd& eye, const Vecd& target, double zoom, double panX, double panY,
                        const Vecd& axis, double angle, const Vecd& centre);

// The product a x b.
Matrix4 Multiply(const Matrix4& a, const Matrix4& b);

// (M p) without the division by w: the first three rows applied to (p, 1). Inline: the shadow
// maps transform every rendered point.
inline Vecd Transform(const Matrix4& m, const Vecd& p) {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

// gluUnProject: window (x, y, depth 0..1) back to object space through `modelView`,
// `projection` and the viewport (0, 0, width, height). The inverse of projection x model-view
// is taken once (GLM's inverse), so one object unprojects every pixel of an image.
class Unprojector {
public:
    Unprojector(const Matrix4& modelView, const Matrix4& projection, double width, double height);

    Vecd operator()(const Vecd& window) const {
        const double in[4] = {window.x / width_ * 2.0 - 1.0, window.y / height_ * 2.0 - 1.0,
                              window.z * 2.0 - 1.0, 1.0};
        double out[4];
        for (int row = 0; row < 4; ++row) {
            out[row] = inverse_[row] * in[0] + inverse_[4 + row] * in[1] +
                       inverse_[8 + row] * in[2] + inverse_[12 + row] * in[3];
        }
        return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
    }

private:
    Matrix4 inverse_{};
    double width_;
    double height_;
};

// One point through an Unprojector.
Vecd Unproject(const Vecd& window, const Matrix4& modelView, const Matrix4& projection,
               double width, double height);

// The 3x3 rotation by `angle` radians about the unit `axis`, row by row, in the layout the
// drag rotation composes (m1 = t x y + s z, m3 = t x y - s z, ...).
std::array<double, 9> RotationRows(const Vecd& axis, double angle);

} // namespace vorticel
