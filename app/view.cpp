// The view window: construction, captions, fits, replacing the attractor or renderer,
// activation and closing.
#include "app/view.h"

#include "app/app_state.h"
#include "app/close_guard.h"
#include "app/gl_errors.h"
#include "app/image_widget.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/palettes.h"
#include "app/preview_widget.h"
#include "app/text.h"
#include "app/view_operation.h"
#include "attractor/catalogue.h"
#include "attractor/rng.h"
#include "render/renderer.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QStackedLayout>
#include <QUndoStack>
#include <ctime>

namespace vorticel {

ViewWindow::ViewWindow(MainFrame& frame, int family, std::int32_t width, std::int32_t height,
                       int renderer)
    : frame_(frame) {
    pages_ = new QStackedLayout(this);
    pages_->setContentsMargins(0, 0, 0, 0);
    image_ = new ImageWidget(this);
    // The view itself handles the mouse, whichever page shows.
    image_->setAttribute(Qt::WA_TransparentForMouseEvents);
    pages_->addWidget(image_);
    if (PreviewWidget::Available()) {
        preview_ = new PreviewWidget(this);
        preview_->setAttribute(Qt::WA_TransparentForMouseEvents);
        pages_->addWidget(preview_);
    } else {
        ReportGLError(kGlCreateContext);
    }
    setMouseTracking(false);

    CreateActions();
    updateTimer_.setInterval(1000);
    connect(&updateTimer_, &QTimer::timeout, this, [this] { OnUpdateTimer(); });

    previousState_ = ViewState::Idle;
    SetTitle(Text(kStrUntitled) + QString::number(App().untitledCounter));
    RandomSeed(static_cast<std::uint64_t>(std::time(nullptr)));
    attractor_ = CreateAttractor(family);
    AttachNotification();
    UpdateCaption();
    MarkParametersSaved(); // a new view's defaults are nothing to lose

    renderer_ = CreateRenderer(this, renderer);
    renderer_->SetWidth(width);
    renderer_->SetHeight(height);
    renderer_->GetCamera().SetEye({0.0, 0.0, -5.0});
    renderer_->GetCamera().SetTarget({0.0, 0.0, 0.0});
    if (preview_) {
        preview_->SetRenderer(renderer_.get());
    }
    setFixedSize(renderer_->Width(), renderer_->Height());
    ShowPage();
    history_ = new QUndoStack(this);
    history_->setUndoLimit(kHistoryLimit);
    recorded_ = TakeSnapshot();
    // Only once the view is whole: a size that cannot be allocated leaves no trace.
    if (App().openViewCount == 1) {
        frame_.EnableViewActions(true);
    }
}

ViewWindow::~ViewWindow() {
    if (preview_) {
        preview_->SetRenderer(nullptr);
    }
    image_->SetRenderer(nullptr);
    AppState& app = App();
    if (app.activeView == this) {
        app.activeView = nullptr;
    }
    if (!app.appClosing) {
        frame_.ResetStatusBar();
    }
    app.openViewCount = static_cast<std::uint8_t>(app.openViewCount - 1);
    if (app.openViewCount == 0 && !app.appClosing) {
        if (ParameterPalettes* palettes = frame_.Palettes()) {
            palettes->SetVisible(false);
        }
        frame_.EnableViewActions(false);
    }
    if (!app.appClosing) {
        frame_.ViewMenusChanged();
    }
}

void ViewWindow::CreateActions() {
    const auto make = [this](int textId, const QKeySequence& shortcut, void (ViewWindow::*slot)()) {
        auto* action = new QAction(Text(textId), this);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
        return action;
    };
    searchAction = make(kStrSearch, Qt::Key_F3, &ViewWindow::OnSearch);
    startAction = make(kStrStart, Qt::Key_F4, &ViewWindow::OnStart);
    stopAction = make(kStrStop, Qt::Key_F5, &ViewWindow::OnStop);
    adjustAction = make(kStrAdjust, Qt::Key_F6, &ViewWindow::OnAdjust);
    centerAction = make(kStrCentre, QKeySequence(Qt::SHIFT | Qt::Key_F6), &ViewWindow::OnCenter);
    startAction->setEnabled(false);
    stopAction->setEnabled(false);

    autoAdjustAction = new QAction(Text(kStrAutoAdjust), this);
    autoAdjustAction->setCheckable(true);
    autoAdjustAction->setChecked(true);
    connect(autoAdjustAction, &QAction::triggered, this, [this] { OnAutoAdjustToggled(); });

    attractorMenu_ = new QMenu(Text(kStrMenuAttractor), this);
    attractorMenu_->addAction(searchAction);
    attractorMenu_->addSeparator();
    attractorMenu_->addAction(startAction);
    attractorMenu_->addAction(stopAction);
    viewMenu_ = new QMenu(Text(kStrMenuView), this);
    viewMenu_->addAction(centerAction);
    viewMenu_->addAction(adjustAction);
    viewMenu_->addAction(autoAdjustAction);
    overviewAction = make(kStrOverview, {}, &ViewWindow::OnOverview);
    viewMenu_->addSeparator();
    viewMenu_->addAction(overviewAction);
}

QString ViewWindow::Caption() const {
    if (!attractor_) {
        return title_;
    }
    const int suffix = state_ == ViewState::Rendered && renderDiverged_
                           ? kStrSuffixDiverged
                           : kStrStateSuffixFirst + static_cast<int>(state_);
    return title_ + QStringLiteral(" - ") + QString::fromStdString(attractor_->displayName) +
           Text(suffix);
}

bool ViewWindow::ParametersUnsaved() const {
    return attractor_ &&
           (attractor_->typeIndex != savedFamily_ || SnapshotParameters() != savedParameters_);
}

void ViewWindow::MarkParametersSaved() {
    if (attractor_) {
        savedFamily_ = attractor_->typeIndex;
        savedParameters_ = SnapshotParameters();
    }
}

void ViewWindow::UpdateCaption() {
    if (!attractor_) {
        return;
    }
    const QString caption = Caption();
    if (caption != shownCaption_) {
        setWindowTitle(caption);
        shownCaption_ = caption;
    }
}

void ViewWindow::SetTitle(const QString& title) {
    title_ = title;
    UpdateCaption();
}

void ViewWindow::AttachNotification() {
    if (attractor_) {
        attractor_->onDiverge = [this](Attractor&) { OnNoAttractor(); };
    }
}

void ViewWindow::DetachNotification() {
    if (attractor_) {
        attractor_->onDiverge = nullptr;
    }
}

void ViewWindow::OnNoAttractor() {
    // Called from inside the attractor's step: pumping events here could close the view
    // under the loop that is stepping it.
    SetState(ViewState::NoAttractor, false);
    image_->update();
}

void ViewWindow::Fit(std::int32_t iterations, FitMode mode) {
    vorticel::Fit(*attractor_, *renderer_, iterations, mode);
}

void ViewWindow::FitAndShow(int mode) {
    const OperationScope operation(*this);
    if (mode != 0) {
        Fit(kFitPoints, static_cast<FitMode>(mode));
    } else if (autoAdjust) {
        Fit(kFitPoints, FitMode::Adjust);
        if (ParameterPalettes* palettes = frame_.Palettes()) {
            palettes->RefreshZoom();
        }
    } else {
        Fit(kFitPoints, FitMode::PreviewOnly);
    }
    if (!attractor_->diverged) {
        SetState(ViewState::Preview);
        renderer_->DrawPreview();
    }
}

void ViewWindow::OnOverview() {
    frame_.OpenOverview();
}

void ViewWindow::RepaintImage() {
    image_->repaint();
}

void ViewWindow::ResizeImage(std::int32_t width, std::int32_t height) {
    if (!renderer_ || busy_ || (width == renderer_->Width() && height == renderer_->Height())) {
        return;
    }
    const OperationScope operation(*this);
    const std::int32_t oldWidth = renderer_->Width();
    const std::int32_t oldHeight = renderer_->Height();
    try {
        renderer_->SetWidth(width);
        renderer_->SetHeight(height);
        imageUnsaved_ = false; // new buffers: the rendered image is gone
    } catch (const RenderError&) {
        ShowMessage(MessageKind::Error, Text(kStrAppTitle),
                    Text(kStrImageTooLarge, QStringLiteral("%1 x %2").arg(width).arg(height)));
        renderer_->SetWidth(oldWidth);
        renderer_->SetHeight(oldHeight);
    }
    setFixedSize(renderer_->Width(), renderer_->Height());
    if (QWidget* window = parentWidget()) {
        window->setMinimumSize(0, 0);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window->adjustSize();
        window->setFixedSize(window->size());
    }
    if (attractor_ && state_ != ViewState::Idle) {
        FitAndShow(0);
    }
}

void ViewWindow::ReplaceAttractor(int family) {
    if (attractor_ && family != attractor_->typeIndex) {
        ReplaceAttractor(CreateAttractor(family));
    }
}

bool ViewWindow::ReplaceAttractor(std::unique_ptr<Attractor> replacement) {
    if (!attractor_ || !replacement || busy_ || scanned_) {
        return false;
    }
    const OperationScope operation(*this);
    frame_.AttractorGoing(attractor_.get());
    attractor_ = std::move(replacement);
    AttachNotification();
    RebindPalettes();
    UpdateCaption();
    FitAndShow(0);
    return true;
}

void ViewWindow::ReplaceRenderer(int kind) {
    if (!renderer_ || kind == renderer_->Kind() || busy_) {
        return;
    }
    const OperationScope operation(*this);
    std::unique_ptr<Renderer> replacement;
    try {
        replacement = CreateRenderer(kind, *renderer_);
    } catch (const RenderError&) {
        // Keep the renderer there is rather than lose the view.
        ShowMessage(
            MessageKind::Error, Text(kStrAppTitle),
            Text(kStrImageTooLarge,
                 QStringLiteral("%1 x %2").arg(renderer_->Width()).arg(renderer_->Height())));
        return;
    }
    if (!replacement) {
        return;
    }
    if (preview_) {
        preview_->SetRenderer(replacement.get());
    }
    image_->SetRenderer(nullptr);
    renderer_ = std::move(replacement);
    imageUnsaved_ = false; // the new renderer starts from a blank image
    RebindPalettes();
    if (state_ != ViewState::NoAttractor) {
        SetState(ViewState::Preview);
        ShowPage();
        renderer_->DrawPreview();
    }
}

void ViewWindow::RebindPalettes() {
    if (App().activeView != this) {
        return;
    }
    if (ParameterPalettes* palettes = frame_.Palettes()) {
        palettes->BindAttractor(*this, *attractor_);
        palettes->BindRenderer(*this, *renderer_);
    }
}

void ViewWindow::OnActivated() {
    // The status bar speaks of the view it was written for: another view's times go when
    // this one takes over (not when it merely gets the focus back from a palette).
    if (App().activeView != this && !App().renderRunning) {
        frame_.ResetStatusBar();
    }
    ApplyActivityGuards();
    if (App().activeView != this) {
        App().activeView = this;
        RebindPalettes();
        ApplyPaletteEnabling();
    }
}

void ViewWindow::StateChanged(const Renderer&) {
    if (state_ == ViewState::Preview) {
        UpdatePreview();
    }
}

void ViewWindow::DrawPreview(const Renderer&) {
    UpdatePreview();
}

void ViewWindow::ShowImage(const Renderer&) {
    image_->update();
}

void ViewWindow::closeEvent(QCloseEvent* event) {
    if (busy_ || state_ == ViewState::Searching || state_ == ViewState::Rendering) {
        frame_.TellCloseRefused(state_ == ViewState::Searching);
        event->ignore();
        return;
    }
    if (operations_ > 0) {
        closePending_ = true; // closes as soon as the operation lets go of the view
        event->ignore();
        return;
    }
    // A quitting frame has asked about every view at once already.
    if (!App().appClosing && !frame_.Closing().MayClose({this})) {
        event->ignore();
        return;
    }
    if (App().activeView == this) {
        if (ParameterPalettes* palettes = frame_.Palettes()) {
            palettes->UnbindAttractor();
            palettes->UnbindRenderer();
        }
        App().activeView = nullptr; // nothing may act on a closed view
    }
    if (preview_) {
        preview_->SetRenderer(nullptr);
    }
    image_->SetRenderer(nullptr);
    frame_.AttractorGoing(attractor_.get());
    attractor_.reset();
    renderer_.reset();
    event->accept();
}

} // namespace vorticel
