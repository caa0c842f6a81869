// Unit quaternions for the camera's rotation: made from and turned back into the axis and
// angle the camera keeps, composed, and interpolated along the shortest arc.
#pragma once

#include "attractor/vecd.h"

namespace vorticel {

struct Quaternion {
    double w = 1.0;
    Vecd v; // x, y, z

    // The rotation of `angle` radians about the unit `axis` (none about a zero axis).
    static Quaternion FromAxisAngle(const Vecd& axis, double angle);
    // The same rotation as an angle 0..2 pi about a unit axis; 0 about 0 1 0 for none.
    void ToAxisAngle(Vecd& axis, double& angle) const;
};

// The rotation `b` followed by `a`.
Quaternion operator*(const Quaternion& a, const Quaternion& b);

// From `a` (t = 0, returned exactly) to `b` (t = 1) along the shorter great arc.
Quaternion Slerp(const Quaternion& a, const Quaternion& b, double t);

} // namespace vorticel
