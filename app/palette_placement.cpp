// The arithmetic of the palettes' places, kept apart from the windows so it can be checked
// for any screen.
#include "app/palette_placement.h"

#include <algorithm>

namespace vorticel {

PalettePlacement PlacePalettes(const QRect& area, const QMargins& decoration,
                               const QSize& attractorClient, const QSize& renderClient) {
    const int extraWidth = decoration.left() + decoration.right();
    const int extraHeight = decoration.top() + decoration.bottom();
    const int width = std::min(std::max(attractorClient.width(), renderClient.width()) + extraWidth,
                               area.width());
    const int left = std::max(area.left(), area.right() + 1 - width);

    const int available = area.height();
    int attractorHeight = attractorClient.height() + extraHeight;
    int renderHeight = renderClient.height() + extraHeight;
    if (attractorHeight + renderHeight > available) {
        renderHeight = std::min(renderHeight, std::max(available / 2, available - attractorHeight));
        attractorHeight = std::min(attractorHeight, available - renderHeight);
    }
    return {QRect(left, area.top(), width, attractorHeight),
            QRect(left, area.bottom() + 1 - renderHeight, width, renderHeight)};
}

} // namespace vorticel
