// AnimationWindow: "Animation", a window of its own: the keys (views added as keys, each
// with a thumbnail, in an undoable list), frames, turn, fps, size and iterations, a slider
// that shows any frame as a quick render, and "Rendre..." to a folder of frames and a video.
#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QListView;
class QMenuBar;
class QPushButton;
class QSlider;
class QSpinBox;
class QDoubleSpinBox;

namespace vorticel {

class JobProgress;
class KeyListModel;
class MainFrame;
struct Animation;
struct ImageRecipe;

class AnimationWindow : public QWidget {
public:
    static constexpr int kThumbnailWidth = 96;
    static constexpr int kThumbnailHeight = 72;
    static constexpr int kPreviewWidth = 320;
    static constexpr int kPreviewHeight = 240;

    explicit AnimationWindow(MainFrame& frame);
    ~AnimationWindow() override;

    // The active view becomes the last key (a no-op without a view).
    void OnAdd();
    void OnRemove();
    void OnMoveUp();
    void OnMoveDown();
    // Asks for a folder, then renders every frame into it (and the video when asked for).
    void OnRender();
    void OnOpen();
    void OnSaveAs();

    // The animation the window shows: its keys and settings.
    Animation CurrentAnimation() const;
    // Puts `animation` in the window: keys (with new thumbnails) and settings; no undo step.
    void ShowAnimation(const Animation& animation, const QString& fileName);
    // Renders frames into `folder` (and, when `videoFile` is not empty, encodes them into
    // it); false when it was refused, stopped or failed (the window says why).
    bool Render(const QString& folder, const QString& videoFile);
    bool Save(const QString& fileName);
    bool Open(const QString& fileName);
    // Why `animation` cannot be rendered, in the window's words; empty when it can.
    static QString Problem(const Animation& animation);
    // Shows frame `frame` (1-based) as a quick render now.
    void ShowFrame(int frame);
    KeyListModel& Keys() const { return *keys_; }
    // The active view, or what may run, changed: the buttons follow.
    void UpdateEnabling();

    // The dialogs: a folder for the frames, an animation file to open or save. Empty:
    // cancelled. Tests put their own in place.
    std::function<QString()> chooseFolder;
    std::function<QString(bool save)> chooseFile;

    QListView* keyList = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* removeButton = nullptr;
    QPushButton* moveUpButton = nullptr;
    QPushButton* moveDownButton = nullptr;
    QSpinBox* framesBox = nullptr;
    QDoubleSpinBox* turnBox = nullptr;
    QSpinBox* fpsBox = nullptr;
    QSpinBox* widthBox = nullptr;
    QSpinBox* heightBox = nullptr;
    QSpinBox* iterationsBox = nullptr;
    QSlider* frameSlider = nullptr;
    QLabel* frameLabel = nullptr;
    QLabel* previewLabel = nullptr;
    QCheckBox* videoCheckBox = nullptr;
    QPushButton* renderButton = nullptr;
    JobProgress* progress = nullptr;
    QLabel* resultLabel = nullptr;
    QAction* openAction = nullptr;
    QAction* saveAsAction = nullptr;
    QAction* closeAction = nullptr;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* CreateKeyBox();
    QWidget* CreateSettingsBox();
    QWidget* CreatePreviewBox();
    void CreateMenus(QMenuBar& bar);
    void InstallDialogs();
    void UpdateUndoCaptions();
    void FramesChanged();
    void SchedulePreview();
    QImage Thumbnail(const ImageRecipe& recipe) const;

    MainFrame& frame_;
    KeyListModel* keys_ = nullptr;
    QTimer previewTimer_;
    QString fileName_;
    bool videoAvailable_ = false; // ffmpeg on the PATH when the window was made
};

} // namespace vorticel
