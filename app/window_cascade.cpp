// The cascade of new windows in the frame's area.
#include "app/window_cascade.h"

#include <algorithm>
#include <optional>

namespace vorticel {

QPoint CascadePosition(const QRect& free, const QSize& size, int step, const QList<QPoint>& taken) {
    std::optional<QPoint> first;
    for (int k = 0; k <= taken.size(); ++k) {
        const QPoint diagonal(k * step, k * step);
        const QPoint at(std::max(0, std::min(diagonal.x(), free.right() + 1 - size.width())),
                        std::max(0, std::min(diagonal.y(), free.bottom() + 1 - size.height())));
        if (!taken.contains(at) && free.contains(QRect(at, size))) {
            return at;
        }
        if (!first && !taken.contains(diagonal)) {
            first = diagonal;
        }
    }
    return first.value_or(QPoint(0, 0));
}

} // namespace vorticel
