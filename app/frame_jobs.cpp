// The frame's long renders of its own: a poster of the active view, and the animation window.
#include "app/animation_window.h"
#include "app/app_state.h"
#include "app/main_frame.h"
#include "app/poster_dialog.h"
#include "app/view.h"

#include <QAction>
#include <QWindow>

namespace vorticel {
namespace {

// Shown above `frame` and kept there, as a dialog of it: the frame's own window is made anew
// once it holds an OpenGL view, and a window shown before then would lose its place.
void ShowAbove(QWidget& window, QWidget& frame) {
    window.winId(); // its native window, to be told whose it is before it shows
    if (window.windowHandle() && frame.windowHandle()) {
        window.windowHandle()->setTransientParent(frame.windowHandle());
    }
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

void MainFrame::EnableJobActions() {
    const ViewWindow* view = App().activeView;
    posterAction->setEnabled(posterAction->isVisible() && view && !view->Busy() &&
                             !App().LongActivity());
}

void MainFrame::OnPoster() {
    ViewWindow* view = App().activeView;
    if (!view || view->Busy() || App().LongActivity()) {
        return;
    }
    // Not modal: the views and their palettes stay at hand while the poster renders.
    ShowAbove(*new PosterDialog(*this, *view), *this);
}

void MainFrame::OnAnimation() {
    if (!animation_) {
        animation_ = new AnimationWindow(*this);
    }
    ShowAbove(*animation_, *this);
}

AnimationWindow* MainFrame::OpenedAnimationWindow() const {
    return animation_;
}

} // namespace vorticel
