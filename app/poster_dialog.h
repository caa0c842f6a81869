// PosterDialog: "Rendre une affiche", the active view's recipe rendered at a size of the
// user's straight to a PNG file, without a view of that size and without touching the view.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace vorticel {

class JobProgress;
class ViewWindow;
class MainFrame;

class PosterDialog : public QDialog {
public:
    // For `view`, whose recipe (as it stands when "Rendre..." is pressed) the poster renders.
    PosterDialog(MainFrame& frame, ViewWindow& view);

    // Asks for the file (and its depth), then renders; returns once the poster is written,
    // stopped or refused.
    void OnRender();
    // Renders to `fileName` at `depth` bits a channel (8 or 16); false when nothing was
    // written (stopped, refused, failed: the dialog says why).
    bool Render(const QString& fileName, int depth);

    // The save dialog: the chosen file name and depth, empty when cancelled; tests put their
    // own in place.
    std::function<QString(int& depth)> chooseFile;

    QSpinBox* widthBox = nullptr;
    QSpinBox* heightBox = nullptr;
    QSpinBox* iterationsBox = nullptr;
    QCheckBox* keepProportionsCheckBox = nullptr;
    QLabel* pixelsLabel = nullptr;
    QLabel* resultLabel = nullptr;
    JobProgress* progress = nullptr;
    QPushButton* renderButton = nullptr;
    QPushButton* closeButton = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void SizeChanged(bool widthEdited);
    void UpdateEnabling();

    MainFrame& frame_;
    QPointer<ViewWindow> view_;
    double aspect_ = 1.0; // the view's height over its width
    bool following_ = false;
};

} // namespace vorticel
