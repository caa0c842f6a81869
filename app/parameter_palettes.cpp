// Rows, reactions and enabling of the two parameter palettes.
#include "app/parameter_palettes.h"

#include "app/app_state.h"
#include "app/main_frame.h"
#include "app/text.h"
#include "app/view.h"
#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "props/property_palette.h"
#include "render/bitmap3d.h"
#include "render/gas.h"
#include "render/light.h"
#include "render/solid.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vorticel {
namespace {

constexpr int kInitialWidth = 291;
constexpr int kTopHeight = 25;

// What a row's change does (the rows' tags).
enum RowTag : std::int32_t {
    kTagRefit = 0,    // attractor palette: refit and preview
    kTagNone = 1,     // attractor palette: nothing; render palette: back to the preview
    kTagShading = 2,  // render palette: rebuild a finished image
    kTagImageSize = 3 // render palette: a new image size
};

constexpr std::int32_t kWidths[] = {320, 640, 1024, 1280, 1600};
constexpr std::int32_t kHeights[] = {240, 480, 768, 1024, 1200};

struct ShadingRow {
    int textId;
    float lo;
    float hi;
};

} // namespace

PaletteWindow::PaletteWindow(TMDIform& frame, int captionId, int labelId, int labelWidth)
    : QWidget(&frame,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      frame_(frame) {
    setWindowTitle(Text(captionId));
    top = new QWidget(this);
    top->setFixedHeight(kTopHeight);
    label = new QLabel(Text(labelId), top);
    list = new QComboBox(top);
    label->setBuddy(list);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(4, 0, 4, 0);
    topLayout->addWidget(label);
    topLayout->addWidget(list);
    topLayout->addStretch();
    rows = new PropertyPalette(this);
    rows->labelWidth = static_cast<std::int16_t>(labelWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(rows, 1);
    resize(kInitialWidth, 282);
}

void PaletteWindow::FitHeight() {
    resize(width(), rows->TotalHeight() + kTopHeight + 2);
}

void PaletteWindow::closeEvent(QCloseEvent* event) {
    // A palette closes only with the program, and never during a render.
    event->ignore();
    if (!App().renderRunning) {
        frame_.close();
    }
}

FloatingPalettes::FloatingPalettes(TMDIform& frame) : frame_(frame) {
    attractor_ = new PaletteWindow(frame, kStrAttractorPaletteCaption, kStrPaletteTypeLabel, 56);
    attractor_->list->setFixedWidth(144);
    for (int i = 0; i < kFamilyCount; ++i) {
        attractor_->list->addItem(Text(kStrFamilyFirst + 2 * i));
    }
    attractor_->rows->SetImmediateDefault(true);
    QObject::connect(attractor_->list, QOverload<int>::of(&QComboBox::currentIndexChanged),
                     attractor_, [this](int index) {
                         if (!selecting_ && App().activeView) {
                             App().activeView->ReplaceAttractor(index);
                         }
                     });

    render_ = new PaletteWindow(frame, kStrRenderPaletteCaption, kStrPaletteRenderLabel, 64);
    render_->list->setFixedWidth(96);
    for (int i = 0; i < kRendererCount; ++i) {
        render_->list->addItem(Text(kStrRendererFirst + i));
    }
    QObject::connect(render_->list, QOverload<int>::of(&QComboBox::currentIndexChanged), render_,
                     [this](int index) {
                         if (!selecting_ && App().activeView) {
                             App().activeView->ReplaceRenderer(index);
                         }
                     });
}

FloatingPalettes::~FloatingPalettes() {
    UnbindAttractor();
    UnbindBitmap();
    delete attractor_;
    delete render_;
}

void FloatingPalettes::BindAttractor(TForm_view& view, Attractor& attractor) {
    if (boundAttractor_ == &attractor) {
        return;
    }
    PropertyPalette& rows = *attractor_->rows;
    rows.setUpdatesEnabled(false);
    UnbindAttractor();
    selecting_ = true;
    attractor_->list->setCurrentIndex(attractor.typeIndex);
    selecting_ = false;
    auto* iterations =
        rows.AddBound<std::int32_t>(Text(kStrIterations), &view.iterationTarget, kFlagSeparator);
    iterations->SetMinimum(0);
    iterations->tag = kTagNone;
    const ParameterList& list = *attractor.parameters;
    for (const ParameterEntry* e = list.Next(nullptr); e; e = list.Next(e)) {
        const QString name = QString::fromStdString(e->name);
        if (e->type == kInt8) {
            auto* row = rows.AddBound<std::int8_t>(name, static_cast<std::int8_t*>(e->value), 0);
            row->SetMinimum(*static_cast<const std::int8_t*>(e->minimum));
            row->SetMaximum(*static_cast<const std::int8_t*>(e->maximum));
        } else if (e->type == kDouble) {
            auto* row = rows.AddBound<double>(name, static_cast<double*>(e->value), kFlagSlider);
            // Slider range only: a typed value outside it is still taken.
            row->SetSliderMinimum(*static_cast<const double*>(e->minimum));
            row->SetSliderMaximum(*static_cast<const double*>(e->maximum));
        }
    }
    attractor_->FitHeight();
    rows.setUpdatesEnabled(true);
    rows.onChange = [this](Property& row) { AttractorRowChanged(row); };
    boundAttractor_ = &attractor;
    attractorView_ = &view;
}

void FloatingPalettes::UnbindAttractor() {
    attractor_->rows->onChange = nullptr;
    boundAttractor_ = nullptr;
    attractorView_ = nullptr;
    attractor_->rows->Clear();
}

void FloatingPalettes::AttractorRowChanged(Property& row) {
    if (row.tag == kTagRefit && App().activeView) {
        App().activeView->FitAndShow(0);
    }
}

void FloatingPalettes::BindBitmap(TForm_view& view, TBitmap3D& bitmap) {
    if (boundBitmap_ == &bitmap) {
        return;
    }
    selecting_ = true;
    render_->list->setCurrentIndex(bitmap.kind);
    selecting_ = false;
    UnbindBitmap();
    PropertyPalette& rows = *render_->rows;
    width_ = bitmap.imageWidth;
    height_ = bitmap.imageHeight;
    updates_ = kDefaultUpdateCount;
    auto* width = rows.AddBound<std::int32_t>(Text(kStrWidth), &width_, kFlagChoices);
    auto* height = rows.AddBound<std::int32_t>(Text(kStrHeight), &height_, kFlagChoices);
    for (const std::int32_t w : kWidths) {
        width->AddChoice(w, QString());
    }
    for (const std::int32_t h : kHeights) {
        height->AddChoice(h, QString());
    }
    width->tag = kTagImageSize;
    height->tag = kTagImageSize;
    auto* updates = rows.AddBound<std::int8_t>(Text(kStrUpdates), &updates_, 0);
    updates->SetMinimum(1);
    updates->SetMaximum(100);
    auto* scale =
        rows.AddBound<double>(Text(kStrScale), &bitmap.zoom, kFlagSlider | kFlagSeparator);
    scale->SetImmediate(true);
    scale->SetSliderMinimum(0.01);
    scale->SetSliderMaximum(1.0);
    scale->tag = kTagNone;

    const auto shading = [&rows](float* setting, const ShadingRow& r) {
        auto* row = rows.AddBound<float>(Text(r.textId), setting, kFlagSlider);
        row->SetSliderMinimum(r.lo);
        row->SetSliderMaximum(r.hi);
        row->tag = kTagShading;
    };
    if (auto* solid = dynamic_cast<TBitmap3D_Solid*>(&bitmap)) {
        shading(&solid->opacity, {kStrOpacity, 1.0f, 10.0f});
        shading(&solid->gamma, {kStrGamma, 1.0f, 5.0f});
        shading(&solid->roughness, {kStrRoughness, 0.001f, 0.3f});
    } else if (auto* gas = dynamic_cast<TBitmap3D_Gas*>(&bitmap)) {
        shading(&gas->brightness, {kStrLuminosity, 1.0f, 10.0f});
        shading(&gas->gamma, {kStrGamma, 1.0f, 5.0f});
    } else if (auto* light = dynamic_cast<TBitmap3D_Light*>(&bitmap)) {
        shading(&light->brightness, {kStrLuminosity, 1.0f, 10.0f});
        shading(&light->gamma, {kStrGamma, 1.0f, 5.0f});
    }
    boundBitmap_ = &bitmap;
    renderView_ = &view;
    EnableRenderPalette(true);
    render_->FitHeight();
    rows.onChange = [this](Property& row) { RenderRowChanged(row); };
}

void FloatingPalettes::UnbindBitmap() {
    render_->rows->onChange = nullptr;
    boundBitmap_ = nullptr;
    renderView_ = nullptr;
    render_->rows->Clear();
}

void FloatingPalettes::RenderRowChanged(Property& row) {
    TForm_view* view = App().activeView;
    if (!view || !view->GetBitmap()) {
        return;
    }
    switch (row.tag) {
    case kTagNone:
        view->SetState(ViewState::Preview);
        view->GetBitmap()->DrawPreview();
        break;
    case kTagShading:
        if (view->State() == ViewState::Rendered) {
            view->GetBitmap()->FinishImage(); // from the kept accumulation, no new iterations
            view->RepaintImage();
        }
        break;
    case kTagImageSize:
        view->ResizeImage(width_, height_);
        break;
    default:
        break;
    }
}

void FloatingPalettes::RefreshValues() {
    attractor_->rows->RefreshFromVariables();
    render_->rows->RefreshFromVariables();
}

void FloatingPalettes::RefreshZoom() {
    if (Property* scale = render_->rows->FindProperty(Text(kStrScale))) {
        scale->LoadFromVariable();
    }
}

void FloatingPalettes::EnableAttractorPalette(bool enabled) {
    attractor_->rows->SetPaletteEnabled(enabled);
    attractor_->label->setEnabled(enabled);
    attractor_->list->setEnabled(enabled);
}

void FloatingPalettes::EnableRenderPalette(bool enabled) {
    render_->rows->SetPaletteEnabled(enabled);
    DisableShadingRowsInPreview();
    render_->label->setEnabled(enabled);
    render_->list->setEnabled(enabled);
}

void FloatingPalettes::DisableShadingRowsInPreview() {
    const TForm_view* view = App().activeView;
    if (render_->rows->RowCount() == 0 || !view) {
        return;
    }
    const ViewState state = view->State();
    const bool greyed = state == ViewState::Idle || state == ViewState::Preview;
    for (std::int32_t i = 0; i < render_->rows->RowCount(); ++i) {
        Property* row = render_->rows->RowAt(i);
        if (row->tag == kTagShading) {
            // They only affect a finished image.
            row->SetEnabled(!greyed && render_->rows->HostEnabled());
        }
    }
}

std::int32_t FloatingPalettes::UpdateCount() const {
    return updates_ < 1 ? 1 : (updates_ > 100 ? 100 : updates_);
}

void FloatingPalettes::SetVisible(bool visible) {
    if (visible && !placed_) {
        // At the frame's right edge: the attractor palette at the top of its client area,
        // the render palette ending at its bottom.
        placed_ = true;
        const QRect client(frame_.mapToGlobal(frame_.centralWidget()->geometry().topLeft()),
                           frame_.centralWidget()->size());
        for (PaletteWindow* window : {attractor_, render_}) {
            window->setMaximumHeight(std::max(client.height() - 6, 100));
        }
        const int left = client.right() - attractor_->frameGeometry().width() + 1;
        attractor_->move(left, client.top() + 1);
        render_->move(left, client.bottom() + 1 - render_->frameGeometry().height());
    }
    attractor_->setVisible(visible);
    render_->setVisible(visible);
}

} // namespace vorticel
