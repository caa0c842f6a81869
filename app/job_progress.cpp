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
    bar_ = new QProgressBar(this);
    bar_->setRange(0, kBarSteps);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    timeLabel_ = new QLabel(this);
    timeLabel_->setMinimumWidth(
        fontMetrics().horizontalAdvance(Text(kStrRemainingTime) + QStringLiteral("00:00:00 ")));
    stopButton_ = new QPushButton(Text(kStrStop), this);
    stopButton_->setEnabled(false);
    layout->addWidget(bar_, 0, 0);
    layout->addWidget(stopButton_, 0, 1);
    layout->addWidget(timeLabel_, 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    connect(stopButton_, &QPushButton::clicked, this, [this] {
        stopRequested_ = true;
        stopButton_->setEnabled(false);
    });
}

void JobProgress::Start() {
    stopRequested_ = false;
    running_ = true;
    lastShown_ = 0; // the first estimate after a second: the very first moments tell little
    bar_->setValue(0);
    timeLabel_->clear();
    stopButton_->setEnabled(true);
    clock_.start();
}

void JobProgress::Advance(double fraction) {
    fraction = std::clamp(fraction, 0.0, 1.0);
    bar_->setValue(static_cast<int>(fraction * kBarSteps));
    const qint64 elapsed = clock_.elapsed();
    if (fraction > 0.0 && elapsed - lastShown_ >= kTimeEveryMs) {
        lastShown_ = elapsed;
        const double remaining = (1.0 / fraction - 1.0) * static_cast<double>(elapsed);
        timeLabel_->setText(Text(kStrRemainingTime) +
                            FormatDuration(static_cast<qint64>(remaining)));
    }
    QCoreApplication::processEvents();
}

void JobProgress::Finish(bool stopped) {
    running_ = false;
    stopButton_->setEnabled(false);
    if (stopped) {
        bar_->setValue(0);
        timeLabel_->clear();
    } else {
        bar_->setValue(kBarSteps);
        timeLabel_->setText(Text(kStrTotalTime) + FormatDuration(clock_.elapsed()));
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
