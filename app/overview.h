// OverviewWindow: the parameter-plane overview "Vue Ensemble".
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;

namespace vorticel {

class Attractor;
class Lorenz;
class ViewWindow;
class MainFrame;

class OverviewWindow : public QWidget {
public:
    explicit OverviewWindow(MainFrame& frame);
    ~OverviewWindow() override;

    // Runs one scan of 100,000 trials on the active view's Lorenz attractor, or on a Lorenz
    // attractor of its own when the active view shows another family.
    void OnRun();
    // Asks a running scan to end at its next trial.
    void RequestStop();
    // `attractor` is about to be destroyed: a scan on it stops before touching it again.
    void AttractorGoing(const Attractor* attractor);
    bool Scanning() const { return scanning_; }

    QPushButton* runButton = nullptr;
    QLabel* progressLabel = nullptr;
    // The plotted triples, kept so a repaint does not lose them.
    QImage plot;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    MainFrame& frame_;
    std::unique_ptr<Lorenz> ownLorenz_;
    Lorenz* target_ = nullptr;         // what the running scan steps; null once it is gone
    QPointer<ViewWindow> scannedView_; // the view whose attractor is scanned, if any
    bool scanning_ = false;
    bool stopRequested_ = false;
    bool closeWhenDone_ = false;
};

} // namespace vorticel
