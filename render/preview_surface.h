// The seam between a renderer and the window that shows it: the core never calls OpenGL.
#pragma once

namespace vorticel {

class Renderer;

// Implemented by the view's GL widget. Every call passes the renderer so the surface can
// read its colours, matrices, viewport size, preview ring and image.
class PreviewSurface {
public:
    virtual ~PreviewSurface() = default;
    // Colours, fog, viewport or camera matrices changed: refresh the GL state from `renderer`.
    virtual void StateChanged(const Renderer& renderer) = 0;
    // Draw the preview ring now.
    virtual void DrawPreview(const Renderer& renderer) = 0;
    // The image changed: show it.
    virtual void ShowImage(const Renderer& renderer) = 0;
};

} // namespace vorticel
