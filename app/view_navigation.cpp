// Framing a view with the mouse and the Vue menu: turn, pan, zoom, fit and centre.
#include "app/main_frame.h"
#include "app/palettes.h"
#include "app/text.h"
#include "app/view.h"
#include "app/view_operation.h"
#include "render/renderer.h"

#include <QAction>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

namespace vorticel {
namespace {

constexpr double kWheelStep = 1.1;
constexpr qint64 kWheelRunMs = 600; // turns closer than this are one zoom step

} // namespace

void ViewWindow::OnAdjust() {
    if (!busy_ && !scanned_ && attractor_) {
        FitAndShow(static_cast<int>(FitMode::Adjust));
        RecordEdit(Text(kStrAdjust).remove(QLatin1Char('&')));
    }
}

void ViewWindow::OnCenter() {
    if (!busy_ && !scanned_ && attractor_) {
        FitAndShow(static_cast<int>(FitMode::Center));
        RecordEdit(Text(kStrCentre).remove(QLatin1Char('&')));
    }
}

void ViewWindow::OnAutoAdjustToggled() {
    autoAdjust = autoAdjustAction->isChecked();
    if (autoAdjust && !busy_ && !scanned_ && attractor_) {
        FitAndShow(static_cast<int>(FitMode::Adjust));
        RecordEdit(Text(kStrAutoAdjust).remove(QLatin1Char('&')));
    }
}

void ViewWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton ||
        (state_ != ViewState::Preview && state_ != ViewState::Rendered)) {
        return;
    }
    dragging_ = true;
    lastShiftBit_ = 2; // the first move always anchors the gesture
    SetState(ViewState::Preview);
}

void ViewWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !renderer_) {
        return;
    }
    const QPoint position = event->position().toPoint();
    const std::uint8_t shift = (event->modifiers() & Qt::ShiftModifier) ? 1 : 0;
    if (shift != lastShiftBit_) {
        lastX_ = position.x();
        lastY_ = position.y();
        if (shift) {
            panOriginX_ = renderer_->GetCamera().PanX();
            panOriginY_ = renderer_->GetCamera().PanY();
        }
    }
    if (!shift) {
        renderer_->GetCamera().RotateByDrag(position.x() - lastX_, lastY_ - position.y());
        lastX_ = position.x();
        lastY_ = position.y();
    } else {
        const double w = width();
        Camera& camera = renderer_->GetCamera();
        camera.SetPan((lastX_ - position.x()) / w / camera.Zoom() + panOriginX_,
                      (lastY_ - position.y()) / w / camera.Zoom() + panOriginY_);
    }
    renderer_->DrawPreview();
    lastShiftBit_ = shift;
}

void ViewWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        RecordEdit(Text(lastShiftBit_ == 1 ? kStrEditPan : kStrEditRotation)); // one step a drag
    }
}

void ViewWindow::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if ((state_ != ViewState::Preview && state_ != ViewState::Rendered) || delta == 0 ||
        !renderer_) {
        event->ignore();
        return;
    }
    const OperationScope operation(*this);
    Camera& camera = renderer_->GetCamera();
    camera.SetZoom(
        std::clamp(delta < 0 ? camera.Zoom() * kWheelStep : camera.Zoom() * (1.0 / kWheelStep),
                   kMinZoom, kMaxZoom));
    if (ParameterPalettes* palettes = frame_.Palettes()) {
        palettes->RefreshZoom();
    }
    SetState(ViewState::Preview);
    renderer_->DrawPreview();
    if (!wheelClock_.isValid() || wheelClock_.elapsed() > kWheelRunMs) {
        ++wheelRun_;
    }
    wheelClock_.start();
    RecordEdit(Text(kStrEditZoom), QStringLiteral("wheel"), wheelRun_);
    event->accept();
}

} // namespace vorticel
