// The frame's long renders of its own: a poster of the active view, and the animation window.
#include "app/animation_window.h"
#include "app/app_state.h"
#include "app/main_frame.h"
#include "app/poster_dialog.h"
#include "app/view.h"

#include <QAction>

namespace vorticel {

void TMDIform::EnableJobActions() {
    const TForm_view* view = App().activeView;
    A_affiche->setEnabled(A_affiche->isVisible() && view && !view->Busy() && !App().LongActivity());
}

void TMDIform::A_afficheExecute() {
    TForm_view* view = App().activeView;
    if (!view || view->Busy() || App().LongActivity()) {
        return;
    }
    // Not modal: the views and their palettes stay at hand while the poster renders.
    auto* dialog = new TForm_poster(*this, *view);
    dialog->show();
}

void TMDIform::A_animationExecute() {
    if (!animation_) {
        animation_ = new TForm_animation(*this);
    }
    animation_->show();
    animation_->raise();
    animation_->activateWindow();
}

TForm_animation* TMDIform::AnimationWindow() const {
    return animation_;
}

} // namespace vorticel
