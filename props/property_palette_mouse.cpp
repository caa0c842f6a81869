// The palette's mouse: the press that chooses a row goes on to the editor under it, with the
// focus, and the drag it starts follows; presses are counted as edit gestures.
#include "props/property_palette.h"

#include <QCoreApplication>
#include <QMouseEvent>

namespace vorticel {

bool PropertyPalette::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && !forwarding_) {
        ++gesture_;
    }
    return QWidget::eventFilter(watched, event);
}

void PropertyPalette::mousePressEvent(QMouseEvent* event) {
    if (forwarding_) {
        return;
    }
    ++gesture_;
    dragTarget_ = nullptr;
    const int y = static_cast<int>(event->position().y());
    std::int32_t index = -1;
    for (std::int32_t i = 0, top = 0; i < RowCount(); ++i) {
        const std::int32_t h = rows_[static_cast<std::size_t>(i)]->height;
        if (y >= top && y < top + h) {
            index = i;
            break;
        }
        top += h;
    }
    if (index < 0 || index == activeRow_) {
        return;
    }
    ActivateRow(index);
    if (activeRow_ != index) {
        return;
    }
    QCoreApplication::processEvents(); // the new editors exist on screen first
    ForwardPress(*event);
}

void PropertyPalette::ForwardPress(QMouseEvent& event) {
    const QPoint at = event.position().toPoint();
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isVisible() || !child->geometry().contains(at)) {
            continue;
        }
        // The innermost control under the pointer: an editable combo box's text field.
        QWidget* target = child->childAt(at - child->pos());
        target = target ? target : child;
        // A forwarded press is not a spontaneous one, so Qt's focus policy would not act on
        // it: give the focus here, then the press places the caret or grabs the thumb.
        if (target->focusPolicy() & Qt::ClickFocus) {
            target->setFocus(Qt::MouseFocusReason);
        } else {
            FocusValueBox();
        }
        dragTarget_ = target;
        Forward(event);
        return;
    }
    FocusValueBox();
}

void PropertyPalette::FocusValueBox() {
    // A press on the label or a separator: the row's value box takes the keys.
    if (Property* row = RowAt(activeRow_)) {
        for (PropertyEditor* e : row->editors) {
            if (e->Kind() == EditorKind::Edit || e->Kind() == EditorKind::ComboBox) {
                dynamic_cast<EditorBase*>(e)->Widget()->setFocus(Qt::MouseFocusReason);
            }
        }
    }
}

void PropertyPalette::Forward(QMouseEvent& event) {
    // An editor that ignores the event hands it back to its parent, this palette: it must
    // not go round again.
    if (!dragTarget_ || forwarding_) {
        return;
    }
    const QPointF local = dragTarget_->mapFrom(this, event.position().toPoint());
    QMouseEvent forwarded(event.type(), local, event.scenePosition(), event.globalPosition(),
                          event.button(), event.buttons(), event.modifiers());
    forwarding_ = true;
    QCoreApplication::sendEvent(dragTarget_, &forwarded);
    forwarding_ = false;
}

void PropertyPalette::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        dragTarget_ = nullptr; // the release went elsewhere (a popup took it)
        return;
    }
    Forward(*event);
}

void PropertyPalette::mouseReleaseEvent(QMouseEvent* event) {
    Forward(*event);
    if (!(event->buttons() & Qt::LeftButton)) {
        dragTarget_ = nullptr;
    }
}

} // namespace vorticel
