// The overview window: which attractor it scans, and closing things while it scans.
#include "app/overview.h"
#include "attractor/families/icon.h"
#include "attractor/families/lorenz.h"
#include "render/renderer.h"
#include "tests/app/app_test_support.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace vorticel::testing {
namespace {

using OverviewTest = FrameTest;

constexpr int kScanMs = 150; // how long a test lets a scan run before it intervenes

int WhitePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += image.pixel(x, y) == qRgb(255, 255, 255) ? 1 : 0;
        }
    }
    return n;
}

TEST_F(OverviewTest, OpensFromTheViewMenu) {
    ViewWindow* view = NewView(2);
    EXPECT_EQ(view->viewMenu()->actions().last()->text(), QStringLiteral("Vue Ensemble"));
    view->overviewAction->trigger();
    ASSERT_EQ(frame->Overviews().size(), 1);
    OverviewWindow* overview = frame->Overviews().first();
    EXPECT_EQ(overview->windowTitle(), QStringLiteral("Vue Ensemble"));
    EXPECT_EQ(overview->runButton->text(), QStringLiteral("Démarrer"));
    EXPECT_EQ(overview->size(), QSize(452, 446));
    EXPECT_EQ(WhitePixels(overview->plot), 0);
}

TEST_F(OverviewTest, NeverWritesLorenzParametersIntoAnotherFamily) {
    ViewWindow* view = NewView(0);
    auto& icon = dynamic_cast<Icon&>(*view->GetAttractor());
    icon.alpha = 1.25;
    icon.degree = 5;
    OverviewWindow* overview = frame->OpenOverview();
    bool searchDuringScan = true;
    bool runDuringScan = true;
    QTimer::singleShot(kScanMs, overview, [&] {
        searchDuringScan = view->searchAction->isEnabled();
        runDuringScan = overview->runButton->isEnabled();
        overview->RequestStop();
    });
    overview->OnRun();
    EXPECT_FALSE(searchDuringScan); // one long activity at a time
    EXPECT_FALSE(runDuringScan);
    EXPECT_EQ(icon.alpha, 1.25);
    EXPECT_EQ(icon.degree, 5);
    EXPECT_TRUE(overview->runButton->isEnabled());
    EXPECT_FALSE(App().scanRunning);
    EXPECT_TRUE(overview->progressLabel->text().startsWith(QStringLiteral("essai ")));
}

TEST_F(OverviewTest, ScansTheActiveLorenzAndKeepsItsPlot) {
    ViewWindow* view = NewView(2);
    OverviewWindow* overview = frame->OpenOverview();
    QTimer::singleShot(kScanMs * 3, overview, [overview] { overview->RequestStop(); });
    overview->OnRun();
    const auto& lorenz = dynamic_cast<const Lorenz_2L&>(*view->GetAttractor());
    EXPECT_EQ(lorenz.dt, 0.1);                 // the attractor keeps the last trial's values
    EXPECT_TRUE(lorenz.onDiverge);             // the view hears of divergence again
    EXPECT_EQ(view->State(), ViewState::Idle); // trials that diverged did not reach the view
    const int white = WhitePixels(overview->plot);
    overview->repaint(); // the plot survives a repaint
    EXPECT_EQ(WhitePixels(overview->plot), white);
}

TEST_F(OverviewTest, TheScannedViewIsLockedWhileTheScanRuns) {
    ViewWindow* view = NewView(2);
    OverviewWindow* overview = frame->OpenOverview();
    bool openDuringScan = true;
    bool saveDuringScan = true;
    double zoomBefore = 0.0;
    double zoomAfter = 1.0;
    QTimer::singleShot(kScanMs, overview, [&] {
        openDuringScan = frame->openAction->isEnabled();
        saveDuringScan = frame->saveParametersAsAction->isEnabled();
        zoomBefore = view->GetRenderer()->GetCamera().Zoom();
        view->OnAdjust(); // refused: it would fit the scan's trial values
        zoomAfter = view->GetRenderer()->GetCamera().Zoom();
        overview->RequestStop();
    });
    overview->OnRun();
    EXPECT_FALSE(openDuringScan);
    EXPECT_FALSE(saveDuringScan);
    EXPECT_EQ(zoomAfter, zoomBefore);
    EXPECT_FALSE(view->Scanned());
    EXPECT_TRUE(frame->openAction->isEnabled());
}

TEST_F(OverviewTest, ClosingTheOverviewDuringAScanEndsItFirst) {
    NewView(2);
    OverviewWindow* overview = frame->OpenOverview();
    QTimer::singleShot(kScanMs, overview, [overview] { overview->parentWidget()->close(); });
    overview->OnRun();
    EXPECT_FALSE(App().scanRunning);
    QCoreApplication::processEvents(); // the deferred close
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame->Overviews().isEmpty());
}

TEST_F(OverviewTest, ClosingTheScannedViewStopsTheScanSafely) {
    ViewWindow* view = NewView(2);
    OverviewWindow* overview = frame->OpenOverview();
    QTimer::singleShot(kScanMs, view, [view] { view->parentWidget()->close(); });
    overview->OnRun(); // must not touch the freed attractor (the sanitizers would say)
    EXPECT_FALSE(App().scanRunning);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(App().openViewCount, 0);
    EXPECT_TRUE(overview->runButton->isEnabled());
}

TEST_F(OverviewTest, QuittingDuringAScanWaitsForIt) {
    NewView(2);
    OverviewWindow* overview = frame->OpenOverview();
    bool closedAtOnce = true;
    QTimer::singleShot(kScanMs, overview, [&] { closedAtOnce = frame->close(); });
    overview->OnRun();
    EXPECT_FALSE(closedAtOnce);
    QCoreApplication::processEvents(); // the quit goes ahead once the scan has let go
    EXPECT_FALSE(frame->isVisible());
}

} // namespace
} // namespace vorticel::testing
