// Small quick renders of a recipe: the animation's key thumbnails and its frame preview.
#pragma once

#include <QImage>
#include <cstdint>

namespace vorticel {

struct ImageRecipe;

constexpr std::int32_t kQuickRenderPoints = 300000;

// `recipe` framed as it frames itself, at about `width` x `height` (the width as a renderer
// rounds it) from `points` points: a few milliseconds at thumbnail sizes. A null image when
// the orbit diverges or the recipe cannot be rendered.
QImage QuickRender(const ImageRecipe& recipe, std::int32_t width, std::int32_t height,
                   std::int32_t points = kQuickRenderPoints);

// The largest size of `width` x `height`'s proportions within `boxWidth` x `boxHeight`.
void FitInside(std::int32_t width, std::int32_t height, std::int32_t boxWidth,
               std::int32_t boxHeight, std::int32_t& fittedWidth, std::int32_t& fittedHeight);

} // namespace vorticel
