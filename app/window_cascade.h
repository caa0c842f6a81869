// Where a new view or overview window goes inside the frame's area, kept apart from the
// windows so it can be checked for any area.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace vorticel {

// Down the diagonal from the top left corner, `step` pixels at a time, to the first place
// that no window of `taken` holds where a window of `size` lies wholly inside `free` (pushed
// back into it where it would stick out); for a window that fits nowhere, the first place on
// the diagonal that no window holds.
QPoint CascadePosition(const QRect& free, const QSize& size, int step, const QList<QPoint>& taken);

} // namespace vorticel
