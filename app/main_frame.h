// MainFrame: the main window with its File actions, status bar and the views inside it.
#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;

namespace vorticel {

class Attractor;
class CloseGuard;
class EditMenu;
class FileMenus;
class ParameterPalettes;
class AnimationWindow;
class OverviewWindow;
class ViewWindow;
struct ImageRecipe;

// The program's icon (the one its desktop entry names).
QIcon ProgramIcon();

// A duration as a time of day in the locale's long time format; a day or more wraps.
QString FormatDuration(qint64 milliseconds);

class MainFrame : public QMainWindow {
public:
    MainFrame();
    ~MainFrame() override;

    void OnNew();
    void OnOpen();
    void OnSaveParametersAs();
    void OnSaveImageAs();
    void OnClose();
    void OnQuit();
    // "Rendre une affiche..." of the active view, and the animation window.
    void OnPoster();
    void OnAnimation();
    // The animation window, once "Animation..." opened it.
    AnimationWindow* OpenedAnimationWindow() const;

    // Builds a view from the dialog's remembered values (or of `family` when it is given),
    // shows it and makes it active. Returns null (after telling the user) when it cannot be
    // built.
    ViewWindow* CreateView(int family = -1, int renderer = -1, std::int32_t width = 0,
                           std::int32_t height = 0);
    // Loads a parameter file into `view` (or into a new view of the file's family when
    // `view` is null) and fits it; errors are shown to the user. Returns the view used.
    ViewWindow* OpenParameterFile(const QString& fileName, ViewWindow* view);
    // Saves the image of `view`; true on success (the view's title becomes the path). A PNG
    // has 8 or 16 bits a channel (`depth`); a BMP always 8.
    bool SaveImage(ViewWindow& view, const QString& fileName, int depth = 8);
    bool SaveAttractor(ViewWindow& view, const QString& fileName);
    // What an image of `view` would carry: its attractor, renderer, shading, size, camera,
    // iteration target, the render palette's updates and the view's workers.
    ImageRecipe RecipeOfView(ViewWindow& view) const;
    // The render palette's "Mises à jour".
    std::int32_t UpdateCount() const;
    // The save dialogs of the two save actions: the chosen file name, empty when cancelled.
    // The image's offers 16-bit PNG too when `depth` is given, which receives 8 or 16.
    QString AskImageFileName(const ViewWindow& view, int* depth = nullptr);
    QString AskAttractorFileName();
    // What every close path asks before views with unsaved work close.
    CloseGuard& Closing() const { return *closeGuard_; }
    // A close was refused because a search (or a render) runs: the status bar says why.
    void TellCloseRefused(bool searching);

    void ResetStatusBar();
    void SetStatusText(int panel, const QString& text);
    QString StatusText(int panel) const;
    QProgressBar* Progress() const { return progressBar_; }
    void EnableViewActions(bool enabled);
    // A search or render started or ended somewhere: refresh every view's guards.
    void ActivityChanged();
    // The active view changed or closed: show its menus after "&Fichier".
    void ViewMenusChanged();
    ParameterPalettes* Palettes() const { return palettes_.get(); }
    void SetPalettes(std::unique_ptr<ParameterPalettes> palettes);
    QMdiArea* Area() const { return area_; }
    EditMenu* Editing() const { return editMenu_; }
    FileMenus* Files() const { return files_; }
    // Opens a parameter file into a new view of its family; an example also gets a quick
    // render. Used by the recent files, the examples, the command line and drops.
    // Restores an image's recipe into `view` (or a new view made for it): attractor,
    // renderer, shading, size, camera. A PNG without a recipe is refused with a message.
    ViewWindow* OpenImage(const QString& fileName, ViewWindow* view);
    ViewWindow* OpenInNewView(const QString& fileName, bool quickRender = false);
    // Opens a new overview window ("Vue Ensemble") and shows it.
    OverviewWindow* OpenOverview();
    QList<OverviewWindow*> Overviews() const;
    // `attractor` is about to be destroyed: every scan on it stops.
    void AttractorGoing(const Attractor* attractor);
    // A scan ended: a quit asked for during it goes ahead now.
    void ScanEnded();
    QList<ViewWindow*> Views() const;

    QAction* newAction = nullptr;
    QAction* openAction = nullptr;
    QAction* saveParametersAsAction = nullptr;
    QAction* saveImageAsAction = nullptr;
    QAction* closeAction = nullptr;
    QAction* quitAction = nullptr;
    QAction* posterAction = nullptr;
    QAction* animationAction = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateStatusBar();
    // CreateView for a view that a file is opened into.
    ViewWindow* CreateViewForFile(int family, int renderer = -1, std::int32_t width = 0,
                                  std::int32_t height = 0);
    // A file was opened into `view`: one undo step, the file's name as title, nothing unsaved.
    void Opened(ViewWindow& view, const QString& fileName);
    void SubWindowActivated(QMdiSubWindow* window);
    // Shows a new view or overview window at its size, cascaded from the others, clear of the
    // palettes when it fits beside them.
    void ShowSubWindow(QMdiSubWindow& window);
    void ShowError(const QString& message);
    void EnableJobActions();

    QMdiArea* area_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QLabel* panels_[5] = {};
    QProgressBar* progressBar_ = nullptr;
    std::unique_ptr<ParameterPalettes> palettes_;
    EditMenu* editMenu_ = nullptr; // children of the frame
    FileMenus* files_ = nullptr;
    bool quitAfterScans_ = false;
    bool closeSettled_ = false; // the user already answered for the close that waits on scans
    std::unique_ptr<CloseGuard> closeGuard_;
    QPointer<AnimationWindow> animation_; // the one animation window, once opened
};

} // namespace vorticel
