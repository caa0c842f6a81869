// The point type shared by the attractor maps, the views and the renderers.
#pragma once

namespace vorticel {

struct Vecd {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline Vecd operator+(const Vecd& a, const Vecd& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vecd operator-(const Vecd& a, const Vecd& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vecd operator*(const Vecd& a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline Vecd operator/(const Vecd& a, double s) {
    return {a.x / s, a.y / s, a.z / s};
}
inline double Dot(const Vecd& a, const Vecd& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline bool IsZero(const Vecd& v) {
    return v.x == 0.0 && v.y == 0.0 && v.z == 0.0;
}

} // namespace vorticel
