// The overview window: the scan loop, its plot and its progress.
#include "app/overview.h"

#include "app/app_state.h"
#include "app/main_frame.h"
#include "app/text.h"
#include "app/view.h"
#include "attractor/families/lorenz.h"
#include "attractor/overview_scan.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace vorticel {
namespace {

constexpr int kWidth = 452;
constexpr int kHeight = 446;
constexpr qint64 kProgressEveryMs = 250;

} // namespace

OverviewWindow::OverviewWindow(MainFrame& frame)
    : plot(kWidth, kHeight, QImage::Format_RGB32), frame_(frame) {
    setWindowTitle(Text(kStrOverview));
    setFixedSize(kWidth, kHeight);
    plot.fill(Qt::black);
    runButton = new QPushButton(Text(kStrRunButton), this);
    runButton->setGeometry(8, 8, 73, 25);
    connect(runButton, &QPushButton::clicked, this, [this] { OnRun(); });
    progressLabel = new QLabel(this);
    progressLabel->setGeometry(90, 8, kWidth - 98, 25);
    progressLabel->setStyleSheet(QStringLiteral("color: white"));
}

OverviewWindow::~OverviewWindow() = default;

void OverviewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, plot);
}

void OverviewWindow::RequestStop() {
    stopRequested_ = true;
}

void OverviewWindow::AttractorGoing(const Attractor* attractor) {
    if (target_ && target_ == attractor) {
        target_ = nullptr;
        stopRequested_ = true;
    }
}

void OverviewWindow::closeEvent(QCloseEvent* event) {
    if (scanning_) {
        // The loop below still runs on this window: end it first, close afterwards.
        stopRequested_ = true;
        closeWhenDone_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

void OverviewWindow::OnRun() {
    if (scanning_ || App().LongActivity()) {
        return;
    }
    ViewWindow* view = App().activeView;
    Lorenz* lorenz = view ? dynamic_cast<Lorenz*>(view->GetAttractor()) : nullptr;
    if (lorenz) {
        scannedView_ = view;
        view->SetScanned(true); // nothing else may change its attractor meanwhile
    } else {
        // Never write Lorenz parameters into another family: scan a Lorenz of our own.
        if (!ownLorenz_) {
            ownLorenz_ = std::make_unique<Lorenz_2L>();
        }
        lorenz = ownLorenz_.get();
    }
    target_ = lorenz;
    scanning_ = true;
    stopRequested_ = false;
    App().scanRunning = true;
    runButton->setEnabled(false);
    frame_.ActivityChanged();

    // The scan's own attractor is kept apart from a view's notification while it runs.
    Attractor::DivergeHandler handler = std::move(lorenz->onDiverge);
    lorenz->onDiverge = nullptr;
    OverviewScan scan(*lorenz);
    QElapsedTimer clock;
    clock.start();
    qint64 shown = -kProgressEveryMs;
    QRect dirty;
    const auto progress = [&](int id) {
        return Text(id)
            .replace(QStringLiteral("%1"), QString::number(scan.trials))
            .replace(QStringLiteral("%2"), QString::number(OverviewScan::kTrials))
            .replace(QStringLiteral("%3"), QString::number(scan.accepted))
            .replace(QStringLiteral("%4"), QString::number(clock.elapsed() / 1000));
    };
    while (scan.trials < OverviewScan::kTrials) {
        OverviewScan::Triple triple = scan.NextTriple();
        if (scan.Evaluate(triple)) {
            int x = 0;
            int y = 0;
            OverviewScan::PixelOf(triple, x, y);
            if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) {
                plot.setPixel(x, y, qRgb(255, 255, 255));
                dirty |= QRect(x, y, 1, 1);
            }
        }
        // New pixels and the progress reach the screen a few times a second: a repaint per
        // accepted trial would cost far more than the trials themselves.
        if (clock.elapsed() - shown >= kProgressEveryMs) {
            progressLabel->setText(progress(kStrScanProgress));
            update(dirty);
            dirty = QRect();
            shown = clock.elapsed();
        }
        QCoreApplication::processEvents();
        if (stopRequested_ || !target_) {
            break;
        }
    }
    if (target_) {
        target_->onDiverge = std::move(handler);
    }
    if (scannedView_) {
        scannedView_->SetScanned(false);
        scannedView_->RecordEdit(Text(kStrOverview)); // the scan leaves its Lorenz changed
    }
    scannedView_ = nullptr;
    update(dirty);
    progressLabel->setText(progress(kStrScanFinished));
    target_ = nullptr;
    scanning_ = false;
    App().scanRunning = false;
    runButton->setEnabled(true);
    frame_.ActivityChanged();
    frame_.ScanEnded();
    if (closeWhenDone_) {
        QTimer::singleShot(0, this, [this] {
            QWidget* host = parentWidget() ? parentWidget() : this;
            host->close();
        });
    }
}

} // namespace vorticel
