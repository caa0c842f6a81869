// The two floating parameter palettes: "attracteur" (the active view's attractor) and "vue"
// (its renderer), each a PropertyPalette under a family or renderer list.
#pragma once

#include "app/palettes.h"

#include <QWidget>

class QComboBox;
class QLabel;

namespace vorticel {

class Property;
class PropertyPalette;
class TMDIform;

// One palette window: a top panel with a label and a list, and the rows below.
class PaletteWindow : public QWidget {
public:
    PaletteWindow(TMDIform& frame, int captionId, int labelId, int labelWidth);
    // The client height follows the rows.
    void FitHeight();

    QLabel* label = nullptr;
    QComboBox* list = nullptr;
    PropertyPalette* rows = nullptr;
    QWidget* top = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TMDIform& frame_;
};

class FloatingPalettes : public ParameterPalettes {
public:
    explicit FloatingPalettes(TMDIform& frame);
    ~FloatingPalettes() override;

    void BindAttractor(TForm_view& view, Attractor& attractor) override;
    void UnbindAttractor() override;
    void BindBitmap(TForm_view& view, TBitmap3D& bitmap) override;
    void UnbindBitmap() override;
    void RefreshValues() override;
    void RefreshZoom() override;
    void EnableAttractorPalette(bool enabled) override;
    void EnableRenderPalette(bool enabled) override;
    std::int32_t UpdateCount() const override;
    void SetVisible(bool visible) override;

    PaletteWindow* attractorWindow() const { return attractor_; }
    PaletteWindow* renderWindow() const { return render_; }

private:
    void AttractorRowChanged(Property& row);
    void RenderRowChanged(Property& row);
    void DisableShadingRowsInPreview();

    TMDIform& frame_;
    PaletteWindow* attractor_ = nullptr; // children of the frame window
    PaletteWindow* render_ = nullptr;
    Attractor* boundAttractor_ = nullptr;
    TBitmap3D* boundBitmap_ = nullptr;
    TForm_view* attractorView_ = nullptr;
    TForm_view* renderView_ = nullptr;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int8_t updates_ = kDefaultUpdateCount;
    bool selecting_ = false; // the lists are being set by the program, not the user
    bool placed_ = false;    // put at the frame's right edge when first shown
};

} // namespace vorticel
