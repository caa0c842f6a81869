// The live OpenGL point cloud of a view: the renderer's preview ring drawn with its camera.
#pragma once

#include <QOpenGLWidget>

namespace vorticel {

class Renderer;

// Fixed-function GL: matrices from the renderer loaded as they are, depth test, linear fog,
// and the ring drawn as a vertex array of doubles straight from its storage.
class PreviewWidget : public QOpenGLWidget {
public:
    explicit PreviewWidget(QWidget* parent);

    // Whether this system can give the preview a GL context at all; asked once per process.
    // Without one the views still render images, and their preview stays blank.
    static bool Available();

    // The renderer whose ring and camera are drawn (not owned; may be null).
    void SetRenderer(const Renderer* renderer) { renderer_ = renderer; }
    // Whether a usable context was made; false after a context error was reported.
    bool HasContext() const { return contextOk_; }

protected:
    void initializeGL() override;
    void paintGL() override;
    void showEvent(QShowEvent* event) override;

private:
    const Renderer* renderer_ = nullptr;
    bool contextOk_ = false;
    bool checked_ = false;
};

} // namespace vorticel
