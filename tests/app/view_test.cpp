// The view window: states, captions, enabling, search, render run, stop, close, navigation.
#include "attractor/attractor.h"
#include "attractor/families/lorenz.h"
#include "attractor/families/unravel.h"
#include "render/renderer.h"
#include "tests/app/app_test_support.h"

#include <QAction>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTimer>
#include <QWheelEvent>

namespace vorticel::testing {
namespace {

using ViewTest = FrameTest;

// Classic Lorenz parameters, so fits and renders need no search.
void MakeClassicLorenz(ViewWindow& view) {
    auto& lorenz = dynamic_cast<Lorenz_2L&>(*view.GetAttractor());
    lorenz.a = 10;
    lorenz.b = 28;
    lorenz.c = 2.667;
    lorenz.dt = 0.01;
}

void SendMouse(ViewWindow& view, QEvent::Type type, Qt::MouseButton button, QPoint at,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), view.mapToGlobal(QPointF(at)), button, held, modifiers);
    QCoreApplication::sendEvent(&view, &event);
}

bool SendWheel(ViewWindow& view, int delta) {
    QWheelEvent event(QPointF(10, 10), view.mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &event);
    return event.isAccepted();
}

TEST_F(ViewTest, ANewViewIsIdleAndCaptionedWithoutSuffix) {
    ViewWindow* view = NewView(2);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->State(), ViewState::Idle);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Sans Titre 1 - Lorenz"));
    EXPECT_TRUE(view->searchAction->isEnabled());
    EXPECT_FALSE(view->startAction->isEnabled());
    EXPECT_FALSE(view->stopAction->isEnabled());
    EXPECT_EQ(App().activeView, view);
    EXPECT_EQ(App().openViewCount, 1);
    EXPECT_TRUE(frame->closeAction->isVisible());
    EXPECT_EQ(view->width(), 64);
    EXPECT_EQ(view->height(), 48);
    EXPECT_EQ(NewView(0)->windowTitle(), QStringLiteral("Sans Titre 2 - Icon"));
}

TEST_F(ViewTest, StateTableDrivesCaptionsAndActions) {
    ViewWindow* view = NewView(2);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    EXPECT_EQ(view->State(), ViewState::Preview);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Sans Titre 1 - Lorenz (aperçu)"));
    EXPECT_TRUE(view->startAction->isEnabled()); // the first state after Idle enables it
    EXPECT_TRUE(view->adjustAction->isEnabled());

    view->SetState(ViewState::Rendering);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Sans Titre 1 - Lorenz (rendu en cours)"));
    EXPECT_FALSE(view->searchAction->isEnabled());
    EXPECT_FALSE(view->startAction->isEnabled());
    EXPECT_TRUE(view->stopAction->isEnabled());
    EXPECT_FALSE(view->centerAction->isEnabled());

    view->SetState(ViewState::Rendered);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Sans Titre 1 - Lorenz (rendu)"));
    EXPECT_TRUE(view->searchAction->isEnabled());
    EXPECT_TRUE(view->startAction->isEnabled());
    EXPECT_FALSE(view->stopAction->isEnabled());

    view->SetState(ViewState::Searching);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Sans Titre 1 - Lorenz (recherche)"));
    view->SetState(ViewState::NoAttractor);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Sans Titre 1 - Lorenz (aucun attracteur)"));
}

TEST_F(ViewTest, SearchEndsWithAQuickRender) {
    ViewWindow* view = NewView(2);
    view->OnSearch();
    EXPECT_EQ(view->State(), ViewState::Rendered);
    EXPECT_TRUE(view->windowTitle().endsWith(QStringLiteral(" (rendu)")));
    const Attractor& a = *view->GetAttractor();
    EXPECT_FALSE(a.diverged);
    EXPECT_EQ(a.count, 20500); // the fit after the accepted search
    EXPECT_TRUE(a.onDiverge);  // the notification is attached again
    EXPECT_FALSE(App().searchRunning);
    // Some pixel of the quick render is lit.
    const std::vector<std::uint8_t>& image = view->GetRenderer()->GetImage().Shown();
    EXPECT_NE(std::count(image.begin(), image.end(), 0), static_cast<long>(image.size()));
}

TEST_F(ViewTest, ACancelledSearchRestoresParametersAndState) {
    ViewWindow* view = NewView(2);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    ASSERT_EQ(view->State(), ViewState::Preview);
    QTimer::singleShot(0, view, [view] {
        EXPECT_EQ(view->State(), ViewState::Searching);
        EXPECT_TRUE(view->stopAction->isEnabled());
        view->OnStop();
    });
    view->OnSearch();
    const auto& lorenz = dynamic_cast<const Lorenz_2L&>(*view->GetAttractor());
    EXPECT_EQ(lorenz.a, 10.0);
    EXPECT_EQ(lorenz.b, 28.0);
    EXPECT_EQ(lorenz.dt, 0.01);
    EXPECT_EQ(view->State(), ViewState::Preview);
    EXPECT_TRUE(view->searchAction->isEnabled());
    EXPECT_FALSE(view->stopAction->isEnabled());
    EXPECT_TRUE(view->GetAttractor()->onDiverge);
}

TEST_F(ViewTest, ACancelledSearchOfANewViewGoesBackToIdle) {
    ViewWindow* view = NewView(4);
    QTimer::singleShot(0, view, [view] { view->OnStop(); });
    view->OnSearch();
    EXPECT_EQ(view->State(), ViewState::Idle);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Sans Titre 1 - Polynôme, type A"));
    EXPECT_FALSE(view->startAction->isEnabled());
    EXPECT_TRUE(view->searchAction->isEnabled());
}

TEST_F(ViewTest, RenderRunRefreshesAtTheRightCounts) {
    ViewWindow* view = NewView(2);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    view->iterationTarget = 200000; // period 20,000: refreshes at 19,999 ... 199,999
    view->OnStart();
    EXPECT_EQ(view->lastRun.refreshes, 10);
    EXPECT_EQ(view->lastRun.count, 200000);
    EXPECT_EQ(view->State(), ViewState::Rendered);
    EXPECT_FALSE(App().renderRunning);
    EXPECT_TRUE(frame->StatusText(3).startsWith(QStringLiteral("temps total : ")));
    EXPECT_EQ(frame->Progress()->value(), 200000);

    view->iterationTarget = 200005; // one more refresh after the loop
    view->OnStart();
    EXPECT_EQ(view->lastRun.refreshes, 11);

    view->iterationTarget = 5; // below the update count: a period of 1, no division by zero
    view->OnStart();
    EXPECT_EQ(view->lastRun.count, 1000); // the warm-up alone already passes the target
}

TEST_F(ViewTest, StopEndsTheRunAndClearsTheStatus) {
    ViewWindow* view = NewView(2);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    view->iterationTarget = 200000000;
    QTimer::singleShot(50, view, [view] { view->OnStop(); }); // well inside the run
    view->OnStart();
    EXPECT_TRUE(view->lastRun.stopped);
    EXPECT_LT(view->lastRun.count, 200000000);
    EXPECT_GE(view->lastRun.refreshes, 1); // the final refresh still happens
    EXPECT_EQ(frame->StatusText(2), QStringLiteral("i/s :"));
    EXPECT_EQ(frame->StatusText(3), QString());
    EXPECT_EQ(frame->Progress()->value(), 0);
    EXPECT_TRUE(view->windowTitle().endsWith(QStringLiteral(" (rendu)")));
}

TEST_F(ViewTest, ClosingIsRefusedWhileRenderingAndTidiesUpAfter) {
    ViewWindow* view = NewView(2);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    view->iterationTarget = 3000000;
    bool closedDuringRun = true;
    bool quitDuringRun = true;
    QTimer::singleShot(0, view, [&, view] {
        closedDuringRun = view->close();
        frame->OnQuit();
        quitDuringRun = !frame->isVisible();
        view->OnStop();
    });
    view->OnStart();
    EXPECT_FALSE(closedDuringRun);
    EXPECT_FALSE(quitDuringRun);
    EXPECT_EQ(App().openViewCount, 1);

    frame->OnClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(App().openViewCount, 0);
    EXPECT_EQ(App().activeView, nullptr);
    EXPECT_FALSE(frame->closeAction->isVisible());
    EXPECT_FALSE(frame->saveImageAsAction->isVisible());
}

TEST_F(ViewTest, OnlyOneLongActivityAtATime) {
    ViewWindow* first = NewView(2);
    MakeClassicLorenz(*first);
    first->FitAndShow(0);
    ViewWindow* second = NewView(2);
    MakeClassicLorenz(*second);
    second->FitAndShow(0);
    first->iterationTarget = 3000000;
    bool secondSearch = true;
    bool secondStart = true;
    QTimer::singleShot(0, first, [&] {
        secondSearch = second->searchAction->isEnabled();
        secondStart = second->startAction->isEnabled();
        second->OnStart(); // refused while the first one renders
        first->OnStop();
    });
    first->OnStart();
    EXPECT_FALSE(secondSearch);
    EXPECT_FALSE(secondStart);
    EXPECT_EQ(second->State(), ViewState::Preview);
    EXPECT_TRUE(second->searchAction->isEnabled());
    EXPECT_TRUE(second->startAction->isEnabled());
}

TEST_F(ViewTest, ACloseDuringAFitWaitsForTheFitToFinish) {
    ViewWindow* view = NewView(2);
    MakeClassicLorenz(*view);
    // The close arrives in the event pump of the state change at the end of the fit.
    QTimer::singleShot(0, view, [view] { view->parentWidget()->close(); });
    view->FitAndShow(0);
    EXPECT_EQ(App().openViewCount, 1); // still whole while the fit used it
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(App().openViewCount, 0);
}

TEST_F(ViewTest, DivergenceShowsNoAttractor) {
    ViewWindow* view = NewView(8);
    dynamic_cast<Unravel&>(*view->GetAttractor()).r = 0.0; // invalid radius
    view->FitAndShow(0);
    EXPECT_EQ(view->State(), ViewState::NoAttractor);
    EXPECT_TRUE(view->windowTitle().endsWith(QStringLiteral(" (aucun attracteur)")));
}

TEST_F(ViewTest, ARenderThatDivergesSaysSoAndWhere) {
    ViewWindow* view = NewView(2);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    view->iterationTarget = 200000;
    auto& lorenz = dynamic_cast<Lorenz_2L&>(*view->GetAttractor());
    lorenz.dt = 10.0; // taken by the run's reset: the orbit is gone at once
    view->OnStart();
    ASSERT_TRUE(view->lastRun.diverged);
    EXPECT_EQ(view->State(), ViewState::Rendered);
    EXPECT_TRUE(view->windowTitle().endsWith(QStringLiteral(" (rendu, divergé)")));
    EXPECT_EQ(frame->StatusText(4), QStringLiteral("divergé à l'itération %1 (0 %)")
                                        .arg(QLocale().toString(view->lastRun.count)));

    lorenz.dt = 0.01; // a whole render says nothing of the kind
    view->FitAndShow(0);
    EXPECT_TRUE(view->windowTitle().endsWith(QStringLiteral(" (aperçu)")));
    view->OnStart();
    EXPECT_FALSE(view->lastRun.diverged);
    EXPECT_TRUE(view->windowTitle().endsWith(QStringLiteral(" (rendu)")));
    EXPECT_EQ(frame->StatusText(4), QString());
}

TEST_F(ViewTest, TheStatusBarSpeaksOfTheActiveViewOnly) {
    ViewWindow* first = NewView(2);
    MakeClassicLorenz(*first);
    first->FitAndShow(0);
    first->iterationTarget = 100000;
    first->OnStart();
    ASSERT_TRUE(frame->StatusText(3).startsWith(QStringLiteral("temps total : ")));
    first->OnActivated(); // the focus back from a palette: the same view, the same status
    EXPECT_TRUE(frame->StatusText(3).startsWith(QStringLiteral("temps total : ")));
    NewView(2); // another view, never rendered, takes over
    EXPECT_EQ(frame->StatusText(3), QString());
    EXPECT_EQ(frame->Progress()->value(), 0);
}

TEST_F(ViewTest, MouseTurnsPansAndZooms) {
    ViewWindow* view = NewView(2);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    view->SetState(ViewState::Rendered);
    Renderer& renderer = *view->GetRenderer();

    SendMouse(*view, QEvent::MouseButtonPress, Qt::RightButton, {10, 10});
    EXPECT_EQ(view->State(), ViewState::Rendered); // only the left button counts
    SendMouse(*view, QEvent::MouseButtonPress, Qt::LeftButton, {10, 10});
    EXPECT_EQ(view->State(), ViewState::Preview); // a press alone leaves the image
    const double angle = renderer.GetCamera().RotationAngle();
    SendMouse(*view, QEvent::MouseMove, Qt::LeftButton, {10, 10});
    SendMouse(*view, QEvent::MouseMove, Qt::LeftButton, {30, 10});
    EXPECT_NE(renderer.GetCamera().RotationAngle(), angle);

    // Shift pans from where Shift was first seen, without a jump.
    const double panX = renderer.GetCamera().PanX();
    SendMouse(*view, QEvent::MouseMove, Qt::LeftButton, {30, 10}, Qt::ShiftModifier);
    EXPECT_EQ(renderer.GetCamera().PanX(), panX);
    SendMouse(*view, QEvent::MouseMove, Qt::LeftButton, {22, 10}, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(renderer.GetCamera().PanX(), panX + 8.0 / 64.0 / renderer.GetCamera().Zoom());
    SendMouse(*view, QEvent::MouseButtonRelease, Qt::LeftButton, {22, 10});

    const double zoom = renderer.GetCamera().Zoom();
    EXPECT_TRUE(SendWheel(*view, -120));
    EXPECT_DOUBLE_EQ(renderer.GetCamera().Zoom(), zoom * 1.1);
    EXPECT_TRUE(SendWheel(*view, 120));
    EXPECT_NEAR(renderer.GetCamera().Zoom(), zoom, 1e-12);
}

TEST_F(ViewTest, TheWheelOverAnIdleViewIsLeftAlone) {
    ViewWindow* view = NewView(2);
    const double zoom = view->GetRenderer()->GetCamera().Zoom();
    EXPECT_FALSE(SendWheel(*view, -120));
    EXPECT_EQ(view->GetRenderer()->GetCamera().Zoom(), zoom);
}

TEST_F(ViewTest, RendererAndFamilyChanges) {
    ViewWindow* view = NewView(2, 64, 48, 0);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    view->ReplaceRenderer(4);
    EXPECT_EQ(view->GetRenderer()->Kind(), kSolid);
    EXPECT_EQ(view->GetRenderer()->Width(), 64);
    EXPECT_EQ(view->State(), ViewState::Preview);
    view->ReplaceAttractor(0);
    EXPECT_EQ(view->GetAttractor()->typeIndex, 0);
    EXPECT_TRUE(view->windowTitle().contains(QStringLiteral(" - Icon")));
}

} // namespace
} // namespace vorticel::testing
