// The two floating parameter palettes: "attracteur" (the active view's attractor) and "vue"
// (its renderer), each a PropertyPalette under a family or renderer list.
#pragma once

#include "app/palette_window.h"
#include "app/palettes.h"

namespace vorticel {

class Property;
class MainFrame;

class FloatingPalettes : public ParameterPalettes {
public:
    explicit FloatingPalettes(MainFrame& frame);
    ~FloatingPalettes() override;

    void BindAttractor(ViewWindow& view, Attractor& attractor) override;
    void UnbindAttractor() override;
    void BindRenderer(ViewWindow& view, Renderer& renderer) override;
    void UnbindRenderer() override;
    void RefreshValues() override;
    void RefreshZoom() override;
    void EnableAttractorPalette(bool enabled) override;
    void EnableRenderPalette(bool enabled) override;
    std::int32_t UpdateCount() const override;
    void SetVisible(bool visible) override;
    void FrameGeometryChanged() override { Arrange(); }
    QRect Footprint() const override;

    PaletteWindow* attractorWindow() const { return attractor_; }
    PaletteWindow* renderWindow() const { return render_; }
    // Both palettes at the right edge of the frame's client area, wholly on its screen, one
    // above the other; a palette the user moved keeps its place and only stays on screen.
    void Arrange();

private:
    void AttractorRowChanged(Property& row);
    void RenderRowChanged(Property& row);
    void DisableShadingRowsInPreview();
    // A size typed or picked in "Largeur" / "Hauteur": applied when the renderers take it.
    void ApplyImageSize(ViewWindow& view);

    MainFrame& frame_;
    PaletteWindow* attractor_ = nullptr; // children of the frame window
    PaletteWindow* render_ = nullptr;
    Attractor* boundAttractor_ = nullptr;
    Renderer* boundRenderer_ = nullptr;
    ViewWindow* attractorView_ = nullptr;
    ViewWindow* renderView_ = nullptr;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int8_t updates_ = kDefaultUpdateCount;
    bool selecting_ = false; // the lists are being set by the program, not the user
};

} // namespace vorticel
