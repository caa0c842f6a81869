// The view's state table: what each state enables, shows and greys.
#include "app/app_state.h"
#include "app/image_widget.h"
#include "app/main_frame.h"
#include "app/palettes.h"
#include "app/preview_widget.h"
#include "app/view.h"

#include <QAction>
#include <QStackedLayout>

namespace vorticel {

void ViewWindow::SetState(ViewState state, bool pump) {
    if (state == previousState_) {
        return;
    }
    if (state != ViewState::Idle && previousState_ == ViewState::Idle) {
        wantStart_ = true;
    }
    state_ = state;
    if (state != ViewState::Rendered) {
        renderDiverged_ = false; // the diverged image is no longer what the view shows
    }
    const bool busyState = state == ViewState::Searching || state == ViewState::Rendering;
    switch (state) {
    case ViewState::Idle:
        break;
    case ViewState::Searching:
    case ViewState::Rendering:
        wantSearch_ = false;
        wantStart_ = false;
        stopAction->setEnabled(true);
        adjustAction->setEnabled(false);
        centerAction->setEnabled(false);
        break;
    case ViewState::Preview:
        adjustAction->setEnabled(true);
        centerAction->setEnabled(true);
        break;
    case ViewState::NoAttractor:
        break;
    case ViewState::Rendered:
        wantSearch_ = true;
        wantStart_ = true;
        stopAction->setEnabled(false);
        adjustAction->setEnabled(true);
        centerAction->setEnabled(true);
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

void ViewWindow::ApplyPaletteEnabling() {
    if (busy_ || scanned_ || state_ == ViewState::Searching || state_ == ViewState::Rendering) {
        EnablePalettes(false, false);
    } else {
        EnablePalettes(true, state_ != ViewState::NoAttractor);
    }
}

void ViewWindow::SetScanned(bool scanned) {
    scanned_ = scanned;
    ApplyPaletteEnabling();
}

void ViewWindow::ApplyActivityGuards() {
    const bool otherActivity = App().LongActivity();
    searchAction->setEnabled(wantSearch_ && !otherActivity);
    startAction->setEnabled(wantStart_ && !otherActivity);
}

void ViewWindow::ShowPage() {
    const bool preview = state_ == ViewState::Preview;
    const bool image = state_ == ViewState::Rendering || state_ == ViewState::Rendered;
    image_->SetRenderer(image ? renderer_.get() : nullptr);
    pages_->setCurrentWidget(preview && preview_ ? static_cast<QWidget*>(preview_) : image_);
    if (preview) {
        UpdatePreview();
    }
}

void ViewWindow::UpdatePreview() {
    if (preview_) {
        preview_->update();
    }
}

void ViewWindow::EnablePalettes(bool attractorPalette, bool renderPalette) {
    if (App().activeView != this) {
        return;
    }
    if (ParameterPalettes* palettes = frame_.Palettes()) {
        palettes->EnableAttractorPalette(attractorPalette);
        palettes->EnableRenderPalette(renderPalette);
    }
}

} // namespace vorticel
