// Painting the renderer's 24-bit image through a QImage over its own bytes.
#include "app/image_widget.h"

#include "render/bitmap3d.h"

#include <QImage>
#include <QPainter>

namespace vorticel {

ImageWidget::ImageWidget(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
}

void ImageWidget::SetBitmap(const TBitmap3D* bitmap) {
    bitmap_ = bitmap;
    update();
}

void ImageWidget::paintEvent(QPaintEvent*) {
    if (!bitmap_ || bitmap_->bitmap.empty()) {
        return; // the background is the window colour
    }
    const QImage image(bitmap_->bitmap.data(), bitmap_->imageWidth, bitmap_->imageHeight,
                       static_cast<qsizetype>(bitmap_->imageWidth) * 3, QImage::Format_BGR888);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

} // namespace vorticel
