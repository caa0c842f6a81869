// Where a frame falls among the keys, and the curves that carry a value through them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorticel {

// Frame `frame` of `frames` (1-based) spread evenly over `keys` keys: between key `index` and
// the next, `t` of the way (0..1, exactly 0 on a key: the first and the last frame always are).
struct KeyPosition {
    std::size_t index = 0;
    double t = 0.0;
    bool OnKey() const { return t == 0.0; }
};
KeyPosition PositionOfFrame(std::int32_t frame, std::int32_t frames, std::size_t keys);

// A smooth curve through `values` (one per key) at `at`: Catmull-Rom through three keys or
// more (the ends' outer neighbours mirrored), a straight line between two. On a key, its value.
double SmoothCurve(const std::vector<double>& values, const KeyPosition& at);
// The straight line between the two keys around `at`.
double Linear(const std::vector<double>& values, const KeyPosition& at);
// The geometric mean's line: log-linear between the two keys (all values above 0).
double Geometric(const std::vector<double>& values, const KeyPosition& at);
// The nearer key's value (the earlier one halfway): integers step, they do not slide.
double Stepped(const std::vector<double>& values, const KeyPosition& at);

} // namespace vorticel
