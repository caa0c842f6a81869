// Where the frame puts its windows: new views and overviews cascaded clear of the palettes, and
// the palettes following the frame when it moves or changes size.
#include "app/main_frame.h"
#include "app/palettes.h"
#include "app/window_cascade.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QStyle>

namespace vorticel {

void MainFrame::ShowSubWindow(QMdiSubWindow& window) {
    window.setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window.show();
    window.adjustSize();
    window.setFixedSize(window.size());
    QRect free = area_->viewport()->rect();
    if (palettes_) {
        // The palettes stand over the right edge of the area.
        const QRect palettes = palettes_->Footprint();
        const int left = area_->viewport()->mapFromGlobal(palettes.topLeft()).x();
        if (!palettes.isEmpty() && left > 0 && left < free.right()) {
            free.setRight(left - 1);
        }
    }
    QList<QPoint> taken;
    for (const QMdiSubWindow* other : area_->subWindowList()) {
        if (other != &window) {
            taken.append(other->pos());
        }
    }
    // One title bar down and right from the last, clear of the palettes if it fits there.
    const int step = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    window.move(CascadePosition(free, window.size(), step, taken));
}

void MainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (palettes_) {
        palettes_->FrameGeometryChanged();
    }
}

void MainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (palettes_) {
        palettes_->FrameGeometryChanged();
    }
}

} // namespace vorticel
