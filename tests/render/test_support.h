// Helpers shared by the rendering tests.
#pragma once

#include "render/bitmap3d.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vorticel {
namespace test {

// A renderer of `kind` sized and placed as a view places it: eye (0, 0, -5), looking at the
// origin, so world x runs right to left on the image and y upwards.
inline std::unique_ptr<TBitmap3D> MakeRenderer(int kind, int width, int height) {
    std::unique_ptr<TBitmap3D> b = CreateRenderer(nullptr, kind);
    b->SetWidth(width);
    b->SetHeight(height);
    b->SetEye({0.0, 0.0, -5.0});
    b->SetTarget({0.0, 0.0, 0.0});
    return b;
}

inline std::string KindName(const ::testing::TestParamInfo<int>& info) {
    static const char* const names[] = {"Gas", "Liquid", "Light", "Plasma", "Solid"};
    return names[info.param];
}

// Bytes blue, green, red of pixel (x, y), y counted from the bottom.
inline std::vector<int> PixelAt(const TBitmap3D& b, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * b.imageWidth + x) * 3;
    return {b.imageBuffer[i], b.imageBuffer[i + 1], b.imageBuffer[i + 2]};
}

inline std::size_t Texel(const TBitmap3D& b, int x, int y) {
    return static_cast<std::size_t>(y) * b.imageWidth + x;
}

} // namespace test
} // namespace vorticel
