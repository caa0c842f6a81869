// A long render's progress bar, time left and stop button, and its activity guard.
#include "app/job_progress.h"

#include "app/app_state.h"
#include "app/main_frame.h"
#include "app/text.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

namespace vorticel {
namespace {

constexpr int kBarSteps = 1000;
constexpr qint64 kTimeEveryMs = 1000; // as the view's status bar

} // namespace

JobProgress::JobProgress(QWidget* parent) : QWidget(parent) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    PB_job = new QProgressBar(this);
    PB_job->setRange(0, kBarSteps);
    PB_job->setValue(0);
    PB_job->setTextVisible(false);
    L_time = new QLabel(this);
    L_time->setMinimumWidth(
        fontMetrics().horizontalAdvance(Text(kStrRemainingTime) + QStringLiteral("00:00:00 ")));
    B_arreter = new QPushButton(Text(kStrStop), this);
    B_arreter->setEnabled(false);
    layout->addWidget(PB_job, 0, 0);
    layout->addWidget(B_arreter, 0, 1);
    layout->addWidget(L_time, 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    connect(B_arreter, &QPushButton::clicked, this, [this] {
        stopRequested_ = true;
        B_arreter->setEnabled(false);
    });
}

void JobProgress::Start() {
    stopRequested_ = false;
    running_ = true;
    lastShown_ = 0; // the first estimate after a second: the very first moments tell little
    PB_job->setValue(0);
    L_time->clear();
    B_arreter->setEnabled(true);
    clock_.start();
}

void JobProgress::Advance(double fraction) {
    fraction = std::clamp(fraction, 0.0, 1.0);
    PB_job->setValue(static_cast<int>(fraction * kBarSteps));
    const qint64 elapsed = clock_.elapsed();
    if (fraction > 0.0 && elapsed - lastShown_ >= kTimeEveryMs) {
        lastShown_ = elapsed;
        const double remaining = (1.0 / fraction - 1.0) * static_cast<double>(elapsed);
        L_time->setText(Text(kStrRemainingTime) + FormatDuration(static_cast<qint64>(remaining)));
    }
    QCoreApplication::processEvents();
}

void JobProgress::Finish(bool stopped) {
    running_ = false;
    B_arreter->setEnabled(false);
    if (stopped) {
        PB_job->setValue(0);
        L_time->clear();
    } else {
        PB_job->setValue(kBarSteps);
        L_time->setText(Text(kStrTotalTime) + FormatDuration(clock_.elapsed()));
    }
}

JobScope::JobScope(MainFrame& frame) : frame_(frame) {
    App().jobRunning = true;
    frame_.ActivityChanged();
}

JobScope::~JobScope() {
    App().jobRunning = false;
    frame_.ActivityChanged();
}

} // namespace vorticel
