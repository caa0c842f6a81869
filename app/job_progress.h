// The progress of a poster's or an animation's render: its bar, "temps restant" and
// "Arrêter"; and the guard that makes such a render the program's one long activity.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vorticel {

class MainFrame;

class JobProgress : public QWidget {
public:
    explicit JobProgress(QWidget* parent);

    // A run begins: the bar at 0, the clock started, "Arrêter" offered.
    void Start();
    // `fraction` (0..1) of the run is done: the bar follows, the time left is written (once
    // a second), and the window handles what is pending, "Arrêter" among it.
    void Advance(double fraction);
    // The run is over: the total time unless it was stopped; "Arrêter" is withdrawn.
    void Finish(bool stopped);
    bool StopRequested() const { return stopRequested_; }
    bool Running() const { return running_; }

    QProgressBar* bar() const { return bar_; }
    QLabel* timeLabel() const { return timeLabel_; }
    QPushButton* stopButton() const { return stopButton_; }

private:
    QProgressBar* bar_ = nullptr;
    QLabel* timeLabel_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QElapsedTimer clock_;
    qint64 lastShown_ = 0;
    bool stopRequested_ = false;
    bool running_ = false;
};

// While it lives a poster or an animation renders: no search, render run or scan starts,
// undo waits, and the program does not close.
class JobScope {
public:
    explicit JobScope(MainFrame& frame);
    ~JobScope();
    JobScope(const JobScope&) = delete;
    JobScope& operator=(const JobScope&) = delete;

private:
    MainFrame& frame_;
};

} // namespace vorticel
