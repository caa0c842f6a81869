// Painting the renderer's 24-bit image through a QImage over its own bytes.
#include "app/image_widget.h"

#include "render/renderer.h"

#include <QImage>
#include <QPainter>

namespace vorticel {

ImageWidget::ImageWidget(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
}

void ImageWidget::SetRenderer(const Renderer* renderer) {
    renderer_ = renderer;
    update();
}

void ImageWidget::paintEvent(QPaintEvent*) {
    if (!renderer_ || renderer_->GetImage().Empty()) {
        return; // the background is the window colour
    }
    const Image& shown = renderer_->GetImage();
    const QImage image(shown.Shown().data(), shown.Width(), shown.Height(),
                       static_cast<qsizetype>(shown.Width()) * 3, QImage::Format_BGR888);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

} // namespace vorticel
