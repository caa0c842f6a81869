// What a view asks of the two parameter palettes. The frame holds the palettes; until they
// exist a view works without them (UpdateCount then gives the default of 10).
#pragma once

#include <QRect>
#include <cstdint>

namespace vorticel {

class Attractor;
class Renderer;
class ViewWindow;

class ParameterPalettes {
public:
    static constexpr std::int32_t kDefaultUpdateCount = 10;

    virtual ~ParameterPalettes() = default;
    // Rows for `view`'s attractor (and its iteration target); nothing when already bound.
    virtual void BindAttractor(ViewWindow& view, Attractor& attractor) = 0;
    virtual void UnbindAttractor() = 0;
    // Rows for `renderer`; nothing when already bound.
    virtual void BindRenderer(ViewWindow& view, Renderer& renderer) = 0;
    virtual void UnbindRenderer() = 0;
    // Every row re-reads its variable (after a search or a file load).
    virtual void RefreshValues() = 0;
    // The "Echelle" row re-reads the zoom.
    virtual void RefreshZoom() = 0;
    virtual void EnableAttractorPalette(bool enabled) = 0;
    virtual void EnableRenderPalette(bool enabled) = 0;
    // Image refreshes per render run ("Mises à jour"), 1..100.
    virtual std::int32_t UpdateCount() const = 0;
    virtual void SetVisible(bool visible) = 0;
    // The frame moved or changed size: palettes it placed follow its client area.
    virtual void FrameGeometryChanged() {}
    // Where the shown palettes stand on the screen (global coordinates); empty when hidden.
    virtual QRect Footprint() const { return {}; }
};

} // namespace vorticel
