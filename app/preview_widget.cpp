// Drawing the preview ring with fixed-function OpenGL.
#include "app/preview_widget.h"

#include "app/gl_errors.h"
#include "render/renderer.h"

#include <GL/gl.h>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QTimer>

namespace vorticel {
namespace {

constexpr float kFogStart = 4.5f;
constexpr float kFogEnd = 5.5f;

int PendingGlError() {
    return static_cast<int>(glGetError());
}

QSurfaceFormat PreviewFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile); // fixed-function pipeline
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    return format;
}

} // namespace

PreviewWidget::PreviewWidget(QWidget* parent) : QOpenGLWidget(parent) {
    setFormat(PreviewFormat());
}

bool PreviewWidget::Available() {
    static const bool available = [] {
        if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
            return false; // no window system to show a GL widget on
        }
        QOpenGLContext probe;
        probe.setFormat(PreviewFormat());
        return probe.create();
    }();
    return available;
}

void PreviewWidget::showEvent(QShowEvent* event) {
    QOpenGLWidget::showEvent(event);
    // A context that could not be made never reaches initializeGL: say so once.
    QTimer::singleShot(0, this, [this] {
        if (!checked_ && !contextOk_ && isVisible()) {
            checked_ = true;
            ReportGLError(kGlCreateContext);
        }
    });
}

void PreviewWidget::initializeGL() {
    checked_ = true;
    contextOk_ = context() && context()->isValid();
    if (!contextOk_) {
        ReportGLError(kGlCreateContext);
        return;
    }
    glEnable(GL_DEPTH_TEST);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);
    glEnable(GL_FOG);
    glEnableClientState(GL_VERTEX_ARRAY);
    ReportGLError(0, PendingGlError);
}

void PreviewWidget::paintGL() {
    if (!contextOk_) {
        return;
    }
    const Renderer* b = renderer_;
    if (!b) {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatio();
    glViewport(0, 0, static_cast<GLsizei>(width() * ratio), static_cast<GLsizei>(height() * ratio));
    const ColourRGB& background = b->BackgroundColour();
    glClearColor(background.r, background.g, background.b, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const ColourRGB& fogColour = b->FogColour();
    const GLfloat fog[4] = {fogColour.r, fogColour.g, fogColour.b, 1.0f};
    glFogfv(GL_FOG_COLOR, fog);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(b->GetCamera().Projection().data());
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(b->GetCamera().ModelView().data());
    const ColourRGB& point = b->PointColour();
    glColor3f(point.r, point.g, point.b);
    // The ring's own storage is the vertex array: x, y, z doubles, 24 bytes a point.
    const std::vector<Vecd>& ring = b->Ring().Points();
    glVertexPointer(3, GL_DOUBLE, static_cast<GLsizei>(sizeof(Vecd)), ring.data());
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(ring.size()));
    glFlush();
}

} // namespace vorticel
