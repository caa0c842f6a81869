// Where the two palettes stand: at the right edge of the frame's client area, wholly on the
// screen, one above the other.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace vorticel {

struct PalettePlacement {
    // Outer geometries (with the window manager's decorations).
    QRect attractor;
    QRect render;
};

// `area`: where the palettes may stand (the frame's client area within the screen's available
// area); `decoration`: what the window manager adds around a tool window; the client sizes
// the rows ask for. The attractor palette starts at the top of the area and the render
// palette ends at its bottom; when both do not fit, each gets at least half the height it
// cannot share, and its rows scroll.
PalettePlacement PlacePalettes(const QRect& area, const QMargins& decoration,
                               const QSize& attractorClient, const QSize& renderClient);

} // namespace vorticel
