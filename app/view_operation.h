// What the view's source files share: the scope that holds a close back while an operation
// uses the view's attractor or renderer.
#pragma once

#include "app/view.h"

#include <QTimer>

namespace vorticel {

class ViewWindow::OperationScope {
public:
    explicit OperationScope(ViewWindow& view) : view_(view) { ++view_.operations_; }
    ~OperationScope() {
        if (--view_.operations_ == 0 && view_.closePending_ && !view_.busy_) {
            view_.closePending_ = false;
            ViewWindow* view = &view_;
            QTimer::singleShot(0, view, [view] {
                QWidget* host = view->parentWidget() ? view->parentWidget() : view;
                host->close();
            });
        }
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    ViewWindow& view_;
};

} // namespace vorticel
