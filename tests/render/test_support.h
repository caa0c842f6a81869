// Helpers shared by the rendering tests.
#pragma once

#include "render/renderer.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vorticel {
namespace test {

// A renderer of `kind` sized and placed as a view places it: eye (0, 0, -5), looking at the
// origin, so world x runs right to left on the image and y upwards.
inline std::unique_ptr<Renderer> MakeRenderer(int kind, int width, int height) {
    std::unique_ptr<Renderer> b = CreateRenderer(nullptr, kind);
    b->SetWidth(width);
    b->SetHeight(height);
    b->GetCamera().SetEye({0.0, 0.0, -5.0});
    b->GetCamera().SetTarget({0.0, 0.0, 0.0});
    return b;
}

inline std::string KindName(const ::testing::TestParamInfo<int>& info) {
    static const char* const names[] = {"Gas", "Liquid", "Light", "Plasma", "Solid"};
    return names[info.param];
}

// Bytes blue, green, red of pixel (x, y), y counted from the bottom.
inline std::vector<int> PixelAt(const Renderer& b, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * b.Width() + x) * 3;
    return {b.GetImage().Rows()[i], b.GetImage().Rows()[i + 1], b.GetImage().Rows()[i + 2]};
}

inline std::size_t Texel(const Renderer& b, int x, int y) {
    return static_cast<std::size_t>(y) * b.Width() + x;
}

} // namespace test
} // namespace vorticel
