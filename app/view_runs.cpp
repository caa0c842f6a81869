// The view's long runs: the search and the render run, with their status and stopping.
#include "app/app_state.h"
#include "app/image_widget.h"
#include "app/main_frame.h"
#include "app/palettes.h"
#include "app/text.h"
#include "app/view.h"
#include "app/view_operation.h"
#include "attractor/attractor.h"
#include "render/light.h"
#include "render/renderer.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QProgressBar>
#include <algorithm>

namespace vorticel {
namespace {

constexpr qint64 kSearchPumpMs = 20; // the search pumps events this often at most

} // namespace

std::vector<double> ViewWindow::SnapshotParameters() const {
    std::vector<double> values;
    const ParameterList& list = *attractor_->parameters;
    for (const ParameterEntry* e = list.Next(nullptr); e; e = list.Next(e)) {
        values.push_back(static_cast<double>(ParameterList::ReadValue(e->type, e->value)));
    }
    return values;
}

void ViewWindow::RestoreParameters(const std::vector<double>& values) {
    const ParameterList& list = *attractor_->parameters;
    std::size_t i = 0;
    for (const ParameterEntry* e = list.Next(nullptr); e && i < values.size(); e = list.Next(e)) {
        ParameterList::WriteValue(e->value, e->type, values[i++]);
    }
}

ViewWindow::Framing ViewWindow::SnapshotFraming() const {
    return {renderer_->GetCamera(), renderer_->Ring().Points(), renderer_->Ring().Index()};
}

void ViewWindow::RestoreFraming(const Framing& f) {
    Renderer& b = *renderer_;
    b.RestoreRing(f.ring, f.ringIndex);
    if (auto* light = dynamic_cast<LightRenderer*>(&b)) {
        light->MeasureStepsFromRing(); // the discarded framing pass reset them
    }
    b.SetCamera(f.camera);
}

void ViewWindow::OnSearch() {
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
    frame_.SetStatusText(4, QString()); // a refused close is no longer refused

    if (cancelled) {
        // Back to the parameters and the state from before the search.
        RestoreParameters(saved);
        wantSearch_ = true;
        wantStart_ = before != ViewState::Idle;
        stopAction->setEnabled(false);
        adjustAction->setEnabled(true);
        centerAction->setEnabled(true);
        EnablePalettes(true, before != ViewState::NoAttractor);
        unsetCursor();
        if (fitted) {
            RestoreFraming(framing);
        }
        SetState(before);
        frame_.ActivityChanged();
        if (before == ViewState::Preview) {
            renderer_->DrawPreview();
        }
        return;
    }
    renderer_->RenderStoredPoints();
    imageUnsaved_ = false; // the quick render took the place of any earlier one
    SetState(ViewState::Rendered);
    frame_.ActivityChanged();
    if (ParameterPalettes* palettes = frame_.Palettes()) {
        palettes->RefreshValues();
    }
    RecordEdit(Text(kStrEditSearch));
}

void ViewWindow::QuickRender() {
    if (busy_ || !attractor_ || attractor_->diverged) {
        return;
    }
    renderer_->RenderStoredPoints();
    SetState(ViewState::Rendered);
}

void ViewWindow::OnStart() {
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
    updateTimer_.start();

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
    lastRun = RenderRun(*attractor_, *renderer_, iterationTarget, updates, hooks);
    updateTimer_.stop();
    image_->repaint();
    if (!stopRequested_) {
        frame_.Progress()->setValue(attractor_->count);
        frame_.SetStatusText(3, Text(kStrTotalTime) + FormatDuration(startTick_.elapsed()));
    }
    // A diverged orbit ends the run early: say where, or the image passes for a whole one.
    const QLocale locale;
    frame_.SetStatusText(
        4, lastRun.diverged ? Text(kStrDivergedAt)
                                  .arg(locale.toString(lastRun.count))
                                  .arg(locale.toString(
                                      100.0 * lastRun.count / std::max(iterationTarget, 1), 'f', 0))
                            : QString());
    imageUnsaved_ = lastRun.count > lastRun.threads * kWarmUp; // something was plotted
    renderDiverged_ = lastRun.diverged;
    busy_ = false;
    SetState(ViewState::Rendered);
    App().renderRunning = false;
    frame_.ActivityChanged();
}

void ViewWindow::OnUpdateTimer() {
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

void ViewWindow::OnStop() {
    updateTimer_.stop();
    stopRequested_ = true;
    frame_.ResetStatusBar();
}

void ViewWindow::PumpEvents() {
    QCoreApplication::processEvents();
}

} // namespace vorticel
