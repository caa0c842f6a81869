// Rows, reactions and enabling of the two parameter palettes.
#include "app/parameter_palettes.h"

#include "app/app_state.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/palette_placement.h"
#include "app/text.h"
#include "app/view.h"
#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "props/property_palette.h"
#include "render/renderer.h"
#include "render/shading_settings.h"

#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace vorticel {
namespace {

// What a row's change does (the rows' tags).
enum RowTag : std::int32_t {
    kTagRefit = 0,    // attractor palette: refit and preview
    kTagNone = 1,     // attractor palette: nothing; render palette: back to the preview
    kTagShading = 2,  // render palette: rebuild a finished image
    kTagImageSize = 3 // render palette: a new image size
};

constexpr std::int32_t kWidths[] = {320, 640, 1024, 1280, 1600};
constexpr std::int32_t kHeights[] = {240, 480, 768, 1024, 1200};
constexpr int kSettleMs = 300;

} // namespace

FloatingPalettes::FloatingPalettes(MainFrame& frame) : frame_(frame) {
    attractor_ = new PaletteWindow(frame, kStrAttractorPaletteCaption, kStrPaletteTypeLabel, 56);
    render_ = new PaletteWindow(frame, kStrRenderPaletteCaption, kStrPaletteRenderLabel, 64);
    for (PaletteWindow* window : {attractor_, render_}) {
        window->onDecorationChanged = [this] { Arrange(); };
        // A longer value widened a column: the window follows once the row is drawn.
        window->rows->onColumnsChanged = [this, window] {
            QTimer::singleShot(0, window, [this] { Arrange(); });
        };
    }
    attractor_->list->setFixedWidth(144);
    for (int i = 0; i < kFamilyCount; ++i) {
        attractor_->list->addItem(Text(kStrFamilyFirst + 2 * i));
    }
    attractor_->rows->SetImmediateDefault(true);
    QObject::connect(attractor_->list, QOverload<int>::of(&QComboBox::currentIndexChanged),
                     attractor_, [this](int index) {
                         if (!selecting_ && App().activeView) {
                             ViewWindow* view = App().activeView;
                             view->ReplaceAttractor(index);
                             view->RecordEdit(Text(kStrEditFamily));
                         }
                     });

    render_->list->setFixedWidth(96);
    for (int i = 0; i < kRendererCount; ++i) {
        render_->list->addItem(Text(kStrRendererFirst + i));
    }
    QObject::connect(render_->list, QOverload<int>::of(&QComboBox::currentIndexChanged), render_,
                     [this](int index) {
                         if (!selecting_ && App().activeView) {
                             ViewWindow* view = App().activeView;
                             view->ReplaceRenderer(index);
                             view->RecordEdit(Text(kStrEditRenderer));
                         }
                     });
}

FloatingPalettes::~FloatingPalettes() {
    UnbindAttractor();
    UnbindRenderer();
    delete attractor_;
    delete render_;
}

void FloatingPalettes::BindAttractor(ViewWindow& view, Attractor& attractor) {
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
    Arrange();
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
    ViewWindow* view = App().activeView;
    if (!view) {
        return;
    }
    if (row.tag == kTagRefit) {
        view->FitAndShow(0);
    }
    view->RecordEdit(row.caption, row.caption, attractor_->rows->EditGesture());
}

void FloatingPalettes::BindRenderer(ViewWindow& view, Renderer& renderer) {
    if (boundRenderer_ == &renderer) {
        return;
    }
    selecting_ = true;
    render_->list->setCurrentIndex(renderer.Kind());
    selecting_ = false;
    UnbindRenderer();
    PropertyPalette& rows = *render_->rows;
    width_ = renderer.Width();
    height_ = renderer.Height();
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
    auto* scale = rows.AddBound<double>(Text(kStrScale), renderer.GetCamera().ZoomBinding(),
                                        kFlagSlider | kFlagSeparator);
    scale->SetImmediate(true);
    scale->SetMinimum(kMinZoom);
    scale->SetMaximum(kMaxZoom);
    scale->SetSliderMinimum(0.01);
    scale->SetSliderMaximum(1.0);
    scale->tag = kTagNone;

    for (const ShadingSetting& setting : ShadingSettings(renderer)) {
        auto* row = rows.AddBound<float>(Text(setting.textId), setting.value, kFlagSlider);
        row->SetMinimum(setting.lo);
        row->SetMaximum(setting.hi);
        row->SetSliderMinimum(setting.sliderLo);
        row->SetSliderMaximum(setting.sliderHi);
        row->tag = kTagShading;
    }
    boundRenderer_ = &renderer;
    renderView_ = &view;
    EnableRenderPalette(true);
    Arrange();
    rows.onChange = [this](Property& row) { RenderRowChanged(row); };
}

void FloatingPalettes::UnbindRenderer() {
    render_->rows->onChange = nullptr;
    boundRenderer_ = nullptr;
    renderView_ = nullptr;
    render_->rows->Clear();
}

void FloatingPalettes::RenderRowChanged(Property& row) {
    ViewWindow* view = App().activeView;
    if (!view || !view->GetRenderer()) {
        return;
    }
    switch (row.tag) {
    case kTagNone:
        view->SetState(ViewState::Preview);
        view->GetRenderer()->DrawPreview();
        break;
    case kTagShading:
        if (view->State() == ViewState::Rendered) {
            view->GetRenderer()->FinishImage(); // from the kept accumulation, no new iterations
            view->RepaintImage();
        }
        break;
    case kTagImageSize:
        ApplyImageSize(*view);
        break;
    default:
        break;
    }
    view->RecordEdit(row.caption, row.caption, render_->rows->EditGesture());
}

void FloatingPalettes::ApplyImageSize(ViewWindow& view) {
    const QString problem = ImageSizeMessage(width_, height_);
    if (problem.isEmpty()) {
        view.ResizeImage(width_, height_);
    }
    // The rows show the size in use: the width rounded down to a multiple of 4, or the old
    // size when the new one was refused.
    width_ = view.GetRenderer()->Width();
    height_ = view.GetRenderer()->Height();
    for (const int id : {kStrWidth, kStrHeight}) {
        if (Property* row = render_->rows->FindProperty(Text(id))) {
            row->LoadFromVariable();
        }
    }
    if (!problem.isEmpty()) {
        // After the edit that asked for it has run its course (it may be a row's deactivation
        // in the middle of a mouse press).
        QTimer::singleShot(0, render_, [problem] {
            ShowMessage(MessageKind::Warning, Text(kStrAppTitle), problem);
        });
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
    const ViewWindow* view = App().activeView;
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
    const bool showing = visible && !attractor_->isVisible();
    attractor_->setVisible(visible);
    render_->setVisible(visible);
    if (showing) {
        Arrange();
        // A window manager still mapping the windows may answer a resize with the size it
        // mapped (seen with openbox on a start with files): place them again once it is done.
        QTimer::singleShot(kSettleMs, attractor_, [this] { Arrange(); });
    }
}

QRect FloatingPalettes::Footprint() const {
    QRect footprint;
    for (const PaletteWindow* window : {attractor_, render_}) {
        if (window->isVisible()) {
            footprint |= window->frameGeometry();
        }
    }
    return footprint;
}

void FloatingPalettes::Arrange() {
    QScreen* screen = frame_.screen();
    const QWidget* client = frame_.centralWidget();
    QRect area(client->mapToGlobal(QPoint(0, 0)), client->size());
    if (screen) {
        area &= screen->availableGeometry();
    }
    if (area.isEmpty()) {
        return;
    }
    const PalettePlacement placement =
        PlacePalettes(area, attractor_->Decoration(), attractor_->WantedClientSize(),
                      render_->WantedClientSize());
    const QRect onScreen = screen ? screen->availableGeometry() : area;
    for (const auto& [window, wanted] :
         {std::pair{attractor_, placement.attractor}, std::pair{render_, placement.render}}) {
        if (!window->MovedByUser()) {
            window->PlaceAt(wanted);
            continue;
        }
        // Where the user put it, as tall as its rows ask, but not past the screen's edge.
        QRect outer(window->frameGeometry().topLeft(), wanted.size());
        outer.setHeight(std::max(window->Decoration().top() + 40,
                                 std::min(wanted.height(), onScreen.bottom() + 1 - outer.top())));
        window->PlaceAt(outer);
    }
}

} // namespace vorticel
