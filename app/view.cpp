// The view window: states, captions, fits, the search and the render run.
#include "app/view.h"

#include "app/app_state.h"
#include "app/gl_errors.h"
#include "app/image_widget.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/palettes.h"
#include "app/preview_widget.h"
#include "app/text.h"
#include "attractor/catalogue.h"
#include "attractor/rng.h"
#include "render/bitmap3d.h"
#include "render/light.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QStackedLayout>
#include <QWheelEvent>
#include <ctime>

namespace vorticel {
namespace {

constexpr double kWheelStep = 1.1;
constexpr qint64 kSearchPumpMs = 20; // the search pumps events this often at most

} // namespace

class TForm_view::OperationScope {
public:
    explicit OperationScope(TForm_view& view) : view_(view) { ++view_.operations_; }
    ~OperationScope() {
        if (--view_.operations_ == 0 && view_.closePending_ && !view_.busy_) {
            view_.closePending_ = false;
            TForm_view* view = &view_;
            QTimer::singleShot(0, view, [view] {
                QWidget* host = view->parentWidget() ? view->parentWidget() : view;
                host->close();
            });
        }
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    TForm_view& view_;
};

TForm_view::TForm_view(TMDIform& frame, int family, std::int32_t width, std::int32_t height,
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
    TT_update.setInterval(1000);
    connect(&TT_update, &QTimer::timeout, this, [this] { TT_updateTimer(); });

    previousState_ = ViewState::Idle;
    SetTitle(Text(kStrUntitled) + QString::number(App().untitledCounter));
    RandomSeed(static_cast<std::uint64_t>(std::time(nullptr)));
    attractor_ = CreateAttractor(family);
    AttachNotification();
    UpdateCaption();

    bitmap_ = CreateRenderer(this, renderer);
    bitmap_->SetWidth(width);
    bitmap_->SetHeight(height);
    bitmap_->SetEye({0.0, 0.0, -5.0});
    bitmap_->SetTarget({0.0, 0.0, 0.0});
    if (preview_) {
        preview_->SetBitmap(bitmap_.get());
    }
    setFixedSize(bitmap_->imageWidth, bitmap_->imageHeight);
    ShowPage();
    // Only once the view is whole: a size that cannot be allocated leaves no trace.
    if (App().openViewCount == 1) {
        frame_.EnableViewActions(true);
    }
}

TForm_view::~TForm_view() {
    if (preview_) {
        preview_->SetBitmap(nullptr);
    }
    image_->SetBitmap(nullptr);
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

void TForm_view::CreateActions() {
    const auto make = [this](int textId, const QKeySequence& shortcut, void (TForm_view::*slot)()) {
        auto* action = new QAction(Text(textId), this);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
        return action;
    };
    A_rechercher = make(kStrSearch, Qt::Key_F3, &TForm_view::A_rechercherExecute);
    A_demarrer = make(kStrStart, Qt::Key_F4, &TForm_view::A_demarrerExecute);
    A_arreter = make(kStrStop, Qt::Key_F5, &TForm_view::A_arreterExecute);
    A_ajuster = make(kStrAdjust, Qt::Key_F6, &TForm_view::A_ajusterExecute);
    A_centrer =
        make(kStrCentre, QKeySequence(Qt::SHIFT | Qt::Key_F6), &TForm_view::A_centrerExecute);
    A_demarrer->setEnabled(false);
    A_arreter->setEnabled(false);

    MI_ajuster_auto = new QAction(Text(kStrAutoAdjust), this);
    MI_ajuster_auto->setCheckable(true);
    MI_ajuster_auto->setChecked(true);
    connect(MI_ajuster_auto, &QAction::triggered, this, [this] { MI_ajuster_autoClick(); });

    MI_attractor = new QMenu(Text(kStrMenuAttractor), this);
    MI_attractor->addAction(A_rechercher);
    MI_attractor->addSeparator();
    MI_attractor->addAction(A_demarrer);
    MI_attractor->addAction(A_arreter);
    MI_view = new QMenu(Text(kStrMenuView), this);
    MI_view->addAction(A_centrer);
    MI_view->addAction(A_ajuster);
    MI_view->addAction(MI_ajuster_auto);
    A_vue_ens = make(kStrOverview, {}, &TForm_view::A_vue_ensExecute);
    MI_view->addSeparator();
    MI_view->addAction(A_vue_ens);
}

QString TForm_view::Caption() const {
    if (!attractor_) {
        return title_;
    }
    return title_ + QStringLiteral(" - ") + QString::fromStdString(attractor_->displayName) +
           Text(kStrStateSuffixFirst + static_cast<int>(state_));
}

void TForm_view::UpdateCaption() {
    if (!attractor_) {
        return;
    }
    const QString caption = Caption();
    if (caption != shownCaption_) {
        setWindowTitle(caption);
        shownCaption_ = caption;
    }
}

void TForm_view::SetTitle(const QString& title) {
    title_ = title;
    UpdateCaption();
}

void TForm_view::SetState(ViewState state, bool pump) {
    if (state == previousState_) {
        return;
    }
    if (state != ViewState::Idle && previousState_ == ViewState::Idle) {
        wantStart_ = true;
    }
    state_ = state;
    const bool busyState = state == ViewState::Searching || state == ViewState::Rendering;
    switch (state) {
    case ViewState::Idle:
        break;
    case ViewState::Searching:
    case ViewState::Rendering:
        wantSearch_ = false;
        wantStart_ = false;
        A_arreter->setEnabled(true);
        A_ajuster->setEnabled(false);
        A_centrer->setEnabled(false);
        break;
    case ViewState::Preview:
        A_ajuster->setEnabled(true);
        A_centrer->setEnabled(true);
        break;
    case ViewState::NoAttractor:
        break;
    case ViewState::Rendered:
        wantSearch_ = true;
        wantStart_ = true;
        A_arreter->setEnabled(false);
        A_ajuster->setEnabled(true);
        A_centrer->setEnabled(true);
        break;
    }
    ApplyPaletteEnabling();
    if (busyState) {
        setCursor(Qt::WaitCursor);
    } else if (state != ViewState::Idle && state != ViewState::Preview) {
        unsetCursor();
    }
    ApplyActivityGuards();
    ShowPage();
    UpdateCaption();
    previousState_ = state_;
    if (pump) {
        PumpEvents(); // caption, cursor and menus show the change at once
    }
}

void TForm_view::ApplyPaletteEnabling() {
    if (busy_ || scanned_ || state_ == ViewState::Searching || state_ == ViewState::Rendering) {
        EnablePalettes(false, false);
    } else {
        EnablePalettes(true, state_ != ViewState::NoAttractor);
    }
}

void TForm_view::SetScanned(bool scanned) {
    scanned_ = scanned;
    ApplyPaletteEnabling();
}

void TForm_view::ApplyActivityGuards() {
    const bool otherActivity = App().LongActivity();
    A_rechercher->setEnabled(wantSearch_ && !otherActivity);
    A_demarrer->setEnabled(wantStart_ && !otherActivity);
}

void TForm_view::ShowPage() {
    const bool preview = state_ == ViewState::Preview;
    const bool image = state_ == ViewState::Rendering || state_ == ViewState::Rendered;
    image_->SetBitmap(image ? bitmap_.get() : nullptr);
    pages_->setCurrentWidget(preview && preview_ ? static_cast<QWidget*>(preview_) : image_);
    if (preview) {
        UpdatePreview();
    }
}

void TForm_view::UpdatePreview() {
    if (preview_) {
        preview_->update();
    }
}

void TForm_view::EnablePalettes(bool attractorPalette, bool renderPalette) {
    if (App().activeView != this) {
        return;
    }
    if (ParameterPalettes* palettes = frame_.Palettes()) {
        palettes->EnableAttractorPalette(attractorPalette);
        palettes->EnableRenderPalette(renderPalette);
    }
}

void TForm_view::PumpEvents() {
    QCoreApplication::processEvents();
}

void TForm_view::AttachNotification() {
    if (attractor_) {
        attractor_->onDiverge = [this](Attractor&) { OnNoAttractor(); };
    }
}

void TForm_view::DetachNotification() {
    if (attractor_) {
        attractor_->onDiverge = nullptr;
    }
}

void TForm_view::OnNoAttractor() {
    // Called from inside the attractor's step: pumping events here could close the view
    // under the loop that is stepping it.
    SetState(ViewState::NoAttractor, false);
    image_->update();
}

void TForm_view::Fit(std::int32_t iterations, FitMode mode) {
    vorticel::Fit(*attractor_, *bitmap_, iterations, mode);
}

void TForm_view::FitAndShow(int mode) {
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
        bitmap_->DrawPreview();
    }
}

std::vector<double> TForm_view::SnapshotParameters() const {
    std::vector<double> values;
    const ParameterList& list = *attractor_->parameters;
    for (const ParameterEntry* e = list.Next(nullptr); e; e = list.Next(e)) {
        values.push_back(static_cast<double>(ParameterList::ReadValue(e->type, e->value)));
    }
    return values;
}

void TForm_view::RestoreParameters(const std::vector<double>& values) {
    const ParameterList& list = *attractor_->parameters;
    std::size_t i = 0;
    for (const ParameterEntry* e = list.Next(nullptr); e && i < values.size(); e = list.Next(e)) {
        ParameterList::WriteValue(e->value, e->type, values[i++]);
    }
}

TForm_view::Framing TForm_view::SnapshotFraming() const {
    const TBitmap3D& b = *bitmap_;
    return {b.zoom,      b.savedZoom,    b.panX,      b.panY,      b.rotationAngle,
            b.centre,    b.rotationAxis, b.screenMin, b.screenMax, b.boundsMin,
            b.boundsMax, b.pointRing,    b.ringIndex};
}

void TForm_view::RestoreFraming(const Framing& f) {
    TBitmap3D& b = *bitmap_;
    b.zoom = f.zoom;
    b.savedZoom = f.savedZoom;
    b.panX = f.panX;
    b.panY = f.panY;
    b.rotationAngle = f.rotationAngle;
    b.centre = f.centre;
    b.rotationAxis = f.rotationAxis;
    b.screenMin = f.screenMin;
    b.screenMax = f.screenMax;
    b.boundsMin = f.boundsMin;
    b.boundsMax = f.boundsMax;
    b.pointRing = f.ring;
    b.ringIndex = f.ringIndex;
    if (auto* light = dynamic_cast<TBitmap3D_Light*>(&b)) {
        light->MeasureStepsFromRing(); // the discarded framing pass reset them
    }
    b.UpdateModelView();
}

void TForm_view::A_rechercherExecute() {
    if (busy_ || operations_ > 0 || App().LongActivity() || !attractor_) {
        return;
    }
    const OperationScope operation(*this);
    frame_.ResetStatusBar();
    const ViewState before = state_;
    const std::vector<double> saved = SnapshotParameters();
    const Framing framing = SnapshotFraming();
    busy_ = true;
    stopRequested_ = false;
    App().searchRunning = true;
    frame_.ActivityChanged();
    SetState(ViewState::Searching);
    DetachNotification();

    QElapsedTimer pumpClock;
    bool firstPoll = true;
    const Attractor::CancelCheck cancel = [this, &pumpClock, &firstPoll] {
        if (firstPoll || pumpClock.elapsed() >= kSearchPumpMs) {
            PumpEvents();
            pumpClock.start();
            firstPoll = false;
        }
        return stopRequested_;
    };
    bool cancelled = false;
    bool fitted = false;
    for (;;) {
        if (attractor_->Search(cancel).cancelled) {
            cancelled = true;
            break;
        }
        Fit(kFitPoints, autoAdjust ? FitMode::Adjust : FitMode::PreviewOnly);
        fitted = true;
        if (!attractor_->diverged) {
            break;
        }
    }
    AttachNotification();
    busy_ = false;
    App().searchRunning = false;

    if (cancelled) {
        // Back to the parameters and the state from before the search.
        RestoreParameters(saved);
        wantSearch_ = true;
        wantStart_ = before != ViewState::Idle;
        A_arreter->setEnabled(false);
        A_ajuster->setEnabled(true);
        A_centrer->setEnabled(true);
        EnablePalettes(true, before != ViewState::NoAttractor);
        unsetCursor();
        if (fitted) {
            RestoreFraming(framing);
        }
        SetState(before);
        frame_.ActivityChanged();
        if (before == ViewState::Preview) {
            bitmap_->DrawPreview();
        }
        return;
    }
    bitmap_->RenderStoredPoints();
    SetState(ViewState::Rendered);
    frame_.ActivityChanged();
    if (ParameterPalettes* palettes = frame_.Palettes()) {
        palettes->RefreshValues();
    }
}

void TForm_view::A_demarrerExecute() {
    if (state_ == ViewState::Rendering || busy_ || operations_ > 0 || App().LongActivity() ||
        !attractor_) {
        return;
    }
    const OperationScope operation(*this);
    // Flags first: SetState pumps events, and a stop or another view's start may come in there.
    busy_ = true;
    stopRequested_ = false;
    App().renderRunning = true;
    frame_.ActivityChanged();
    SetState(ViewState::Rendering);
    const ParameterPalettes* palettes = frame_.Palettes();
    const std::int32_t updates =
        palettes ? palettes->UpdateCount() : ParameterPalettes::kDefaultUpdateCount;
    frame_.Progress()->setRange(0, iterationTarget);
    frame_.Progress()->setValue(0);
    startTick_.start();
    TT_update.start();

    RunHooks hooks;
    hooks.progress = [this](std::int32_t) { PumpEvents(); };
    hooks.stopRequested = [this] { return stopRequested_; };
    hooks.refreshStarting = [this] {
        frame_.SetStatusText(0, QStringLiteral("o"));
        PumpEvents();
    };
    hooks.refreshed = [this] {
        image_->repaint();
        frame_.SetStatusText(0, QString());
        PumpEvents();
    };
    lastRun = RenderRun(*attractor_, *bitmap_, iterationTarget, updates, hooks);
    TT_update.stop();
    image_->repaint();
    if (!stopRequested_) {
        frame_.Progress()->setValue(attractor_->count);
        frame_.SetStatusText(3, Text(kStrTotalTime) + FormatDuration(startTick_.elapsed()));
    }
    busy_ = false;
    SetState(ViewState::Rendered);
    App().renderRunning = false;
    frame_.ActivityChanged();
}

void TForm_view::TT_updateTimer() {
    const double seconds = startTick_.elapsed() * 0.001;
    const std::int32_t count = attractor_->count;
    if (seconds <= 0.0 || count <= 0) {
        return;
    }
    frame_.SetStatusText(2, Text(kStrRate) + QString::number(static_cast<qint64>(count / seconds)));
    const double remaining = (static_cast<double>(iterationTarget) / count - 1.0) * seconds;
    frame_.SetStatusText(3, Text(kStrRemainingTime) +
                                FormatDuration(static_cast<qint64>(remaining * 1000.0)));
    frame_.Progress()->setValue(count);
}

void TForm_view::A_arreterExecute() {
    TT_update.stop();
    stopRequested_ = true;
    frame_.ResetStatusBar();
}

void TForm_view::A_ajusterExecute() {
    if (!busy_ && !scanned_ && attractor_) {
        FitAndShow(static_cast<int>(FitMode::Adjust));
    }
}

void TForm_view::A_centrerExecute() {
    if (!busy_ && !scanned_ && attractor_) {
        FitAndShow(static_cast<int>(FitMode::Center));
    }
}

void TForm_view::MI_ajuster_autoClick() {
    autoAdjust = MI_ajuster_auto->isChecked();
    if (autoAdjust && !busy_ && !scanned_ && attractor_) {
        FitAndShow(static_cast<int>(FitMode::Adjust));
    }
}

void TForm_view::A_vue_ensExecute() {
    frame_.OpenOverview();
}

void TForm_view::RepaintImage() {
    image_->repaint();
}

void TForm_view::ResizeImage(std::int32_t width, std::int32_t height) {
    if (!bitmap_ || busy_ || (width == bitmap_->imageWidth && height == bitmap_->imageHeight)) {
        return;
    }
    const OperationScope operation(*this);
    const std::int32_t oldWidth = bitmap_->imageWidth;
    const std::int32_t oldHeight = bitmap_->imageHeight;
    try {
        bitmap_->SetWidth(width);
        bitmap_->SetHeight(height);
    } catch (const RenderError&) {
        ShowMessage(MessageKind::Error, Text(kStrAppTitle),
                    Text(kStrImageTooLarge, QStringLiteral("%1 x %2").arg(width).arg(height)));
        bitmap_->SetWidth(oldWidth);
        bitmap_->SetHeight(oldHeight);
    }
    setFixedSize(bitmap_->imageWidth, bitmap_->imageHeight);
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

void TForm_view::ReplaceAttractor(int family) {
    if (!attractor_ || family == attractor_->typeIndex || busy_ || scanned_) {
        return;
    }
    const OperationScope operation(*this);
    std::unique_ptr<Attractor> replacement = CreateAttractor(family);
    if (!replacement) {
        return;
    }
    frame_.AttractorGoing(attractor_.get());
    attractor_ = std::move(replacement);
    AttachNotification();
    RebindPalettes();
    UpdateCaption();
    FitAndShow(0);
}

void TForm_view::ReplaceRenderer(int kind) {
    if (!bitmap_ || kind == bitmap_->kind || busy_) {
        return;
    }
    const OperationScope operation(*this);
    std::unique_ptr<TBitmap3D> replacement;
    try {
        replacement = CreateRenderer(kind, *bitmap_);
    } catch (const RenderError&) {
        // Keep the renderer there is rather than lose the view.
        ShowMessage(
            MessageKind::Error, Text(kStrAppTitle),
            Text(kStrImageTooLarge,
                 QStringLiteral("%1 x %2").arg(bitmap_->imageWidth).arg(bitmap_->imageHeight)));
        return;
    }
    if (!replacement) {
        return;
    }
    if (preview_) {
        preview_->SetBitmap(replacement.get());
    }
    image_->SetBitmap(nullptr);
    bitmap_ = std::move(replacement);
    RebindPalettes();
    if (state_ != ViewState::NoAttractor) {
        SetState(ViewState::Preview);
        ShowPage();
        bitmap_->DrawPreview();
    }
}

void TForm_view::RebindPalettes() {
    if (App().activeView != this) {
        return;
    }
    if (ParameterPalettes* palettes = frame_.Palettes()) {
        palettes->BindAttractor(*this, *attractor_);
        palettes->BindBitmap(*this, *bitmap_);
    }
}

void TForm_view::FormActivate() {
    if (state_ != ViewState::Idle && !App().renderRunning) {
        frame_.ResetStatusBar();
    }
    ApplyActivityGuards();
    if (App().activeView != this) {
        App().activeView = this;
        RebindPalettes();
        ApplyPaletteEnabling();
    }
}

void TForm_view::StateChanged(const TBitmap3D&) {
    if (state_ == ViewState::Preview) {
        UpdatePreview();
    }
}

void TForm_view::DrawPreview(const TBitmap3D&) {
    UpdatePreview();
}

void TForm_view::ShowImage(const TBitmap3D&) {
    image_->update();
}

void TForm_view::closeEvent(QCloseEvent* event) {
    if (busy_ || state_ == ViewState::Searching || state_ == ViewState::Rendering) {
        event->ignore(); // refused quietly: the window stays open
        return;
    }
    if (operations_ > 0) {
        closePending_ = true; // closes as soon as the operation lets go of the view
        event->ignore();
        return;
    }
    if (App().activeView == this) {
        if (ParameterPalettes* palettes = frame_.Palettes()) {
            palettes->UnbindAttractor();
            palettes->UnbindBitmap();
        }
        App().activeView = nullptr; // nothing may act on a closed view
    }
    if (preview_) {
        preview_->SetBitmap(nullptr);
    }
    image_->SetBitmap(nullptr);
    frame_.AttractorGoing(attractor_.get());
    attractor_.reset();
    bitmap_.reset();
    event->accept();
}

void TForm_view::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton ||
        (state_ != ViewState::Preview && state_ != ViewState::Rendered)) {
        return;
    }
    dragging_ = true;
    lastShiftBit_ = 2; // the first move always anchors the gesture
    SetState(ViewState::Preview);
}

void TForm_view::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !bitmap_) {
        return;
    }
    const QPoint position = event->position().toPoint();
    const std::uint8_t shift = (event->modifiers() & Qt::ShiftModifier) ? 1 : 0;
    if (shift != lastShiftBit_) {
        lastX_ = position.x();
        lastY_ = position.y();
        if (shift) {
            panOriginX_ = bitmap_->panX;
            panOriginY_ = bitmap_->panY;
        }
    }
    if (!shift) {
        bitmap_->RotateByDrag(position.x() - lastX_, lastY_ - position.y());
        lastX_ = position.x();
        lastY_ = position.y();
    } else {
        const double w = width();
        bitmap_->panX = (lastX_ - position.x()) / w / bitmap_->zoom + panOriginX_;
        bitmap_->panY = (lastY_ - position.y()) / w / bitmap_->zoom + panOriginY_;
    }
    bitmap_->DrawPreview();
    lastShiftBit_ = shift;
}

void TForm_view::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
    }
}

void TForm_view::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if ((state_ != ViewState::Preview && state_ != ViewState::Rendered) || delta == 0 || !bitmap_) {
        event->ignore();
        return;
    }
    const OperationScope operation(*this);
    bitmap_->zoom = delta < 0 ? bitmap_->zoom * kWheelStep : bitmap_->zoom * (1.0 / kWheelStep);
    if (ParameterPalettes* palettes = frame_.Palettes()) {
        palettes->RefreshZoom();
    }
    SetState(ViewState::Preview);
    bitmap_->DrawPreview();
    event->accept();
}

} // namespace vorticel
