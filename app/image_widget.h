// Shows a renderer's finished image, or the plain window colour.
#pragma once

#include <QWidget>

namespace vorticel {

class Renderer;

class ImageWidget : public QWidget {
public:
    explicit ImageWidget(QWidget* parent);
    // The renderer whose image is shown; null shows the window colour only.
    void SetRenderer(const Renderer* renderer);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const Renderer* renderer_ = nullptr;
};

} // namespace vorticel
