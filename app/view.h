// ViewWindow: one attractor, one renderer, their preview and image, and the long runs.
#pragma once

#include "app/view_history.h"
#include "attractor/vecd.h"
#include "render/preview_surface.h"
#include "render/render_run.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QStackedLayout;
class QUndoStack;

namespace vorticel {

class Attractor;
class ImageWidget;
class PreviewWidget;
class Renderer;
class MainFrame;
struct ImageRecipe;

enum class ViewState : int {
    Idle = 0,
    Searching = 1,
    Preview = 2,
    NoAttractor = 3,
    Rendering = 4,
    Rendered = 5,
};

class ViewWindow : public QWidget, public PreviewSurface {
public:
    // A view for a new attractor of `family` rendered by `renderer` at width x height.
    // Throws RenderError when the image buffers cannot be allocated.
    ViewWindow(MainFrame& frame, int family, std::int32_t width, std::int32_t height, int renderer);
    ~ViewWindow() override;

    // `pump` false: no event processing (from inside the attractor's step, on divergence).
    void SetState(ViewState state, bool pump = true);
    void SetTitle(const QString& title);
    // Fills the preview from the attractor: mode PreviewOnly, Center or Adjust.
    void Fit(std::int32_t iterations, FitMode mode);
    // Mode 0 follows the automatic-adjust item; then the preview is shown unless diverged.
    void FitAndShow(int mode);
    void ReplaceAttractor(int family);
    // Puts `replacement` (of any family, its parameters already set) in place of the
    // attractor and fits it; false (and nothing changed) while a loop or scan uses the view.
    bool ReplaceAttractor(std::unique_ptr<Attractor> replacement);
    void ReplaceRenderer(int kind);
    void OnNoAttractor();
    // A new image size from the render palette: buffers, client area and preview follow.
    void ResizeImage(std::int32_t width, std::int32_t height);
    // Renders the preview ring into the image at once, as a search ends.
    void QuickRender();
    // Shows the image again after the renderer rebuilt it.
    void RepaintImage();
    // Called by the frame when this view becomes the active one.
    void OnActivated();

    void OnSearch();
    void OnStart();
    void OnStop();
    void OnAdjust();
    void OnCenter();
    void OnAutoAdjustToggled();
    void OnOverview();

    // The caption as the window shows it: title, " - ", family name, state suffix.
    QString Caption() const;
    ViewState State() const { return state_; }
    const QString& Title() const { return title_; }
    Attractor* GetAttractor() const { return attractor_.get(); }
    Renderer* GetRenderer() const { return renderer_.get(); }
    // True while a search or render of this view is in its loop.
    bool Busy() const { return busy_; }
    // True while the overview scans this view's attractor: nothing else may change it.
    bool Scanned() const { return scanned_; }
    void SetScanned(bool scanned);
    // Re-applies the enabling of Rechercher and Démarrer (another view's long run began or ended).
    void ApplyActivityGuards();

    // What the view holds that no file has: an image rendered since the image was last
    // saved; a family or parameters other than those last saved or opened.
    bool ImageUnsaved() const { return imageUnsaved_; }
    bool ParametersUnsaved() const;
    void MarkImageSaved() { imageUnsaved_ = false; }
    void MarkParametersSaved();

    // The edit history: every edit a user makes in this view, undone and redone as a whole.
    QUndoStack* History() const { return history_; }
    // Everything of the view that its user edits, as it stands now.
    ViewSnapshot TakeSnapshot() const;
    // Puts the view back to `s` (attractor, renderer, size, camera) and shows it: the
    // preview when the scene changed, a rebuilt image when only shading did.
    void ApplySnapshot(const ViewSnapshot& s);
    // Puts the attractor, renderer, shading, colours, size and camera of an image's recipe
    // into this view and shows the preview, ready to render the same image again.
    void ApplyRecipe(const ImageRecipe& recipe);
    // An edit has taken effect: one undo step named `name` from the state recorded last.
    // Steps with the same non-empty `mergeKey` and `gesture` in a row merge into one.
    // Nothing is recorded while a snapshot is being applied or when nothing changed.
    void RecordEdit(const QString& name, const QString& mergeKey = {}, std::uint64_t gesture = 0);
    static constexpr int kHistoryLimit = 200;

    QMenu* attractorMenu() const { return attractorMenu_; }
    QMenu* viewMenu() const { return viewMenu_; }

    // PreviewSurface
    void StateChanged(const Renderer& renderer) override;
    void DrawPreview(const Renderer& renderer) override;
    void ShowImage(const Renderer& renderer) override;

    std::int32_t iterationTarget = kDefaultIterations;
    bool autoAdjust = true;

    QAction* searchAction = nullptr;
    QAction* startAction = nullptr;
    QAction* stopAction = nullptr;
    QAction* adjustAction = nullptr;
    QAction* centerAction = nullptr;
    QAction* autoAdjustAction = nullptr;
    QAction* overviewAction = nullptr;

    // Last render run: its refresh count, for the status and for tests.
    RenderRunResult lastRun;
    // The workers of the image an image file records: those of the last render run, or
    // before any those a run would take.
    std::int32_t RenderWorkers() const {
        return lastRun.threads > 0 ? lastRun.threads
                                   : RunThreadCount(kAllThreads, iterationTarget, 0, 0);
    }

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void CreateActions();
    void UpdateCaption();
    void AttachNotification();
    void DetachNotification();
    void ShowPage();
    void UpdatePreview();
    // Enables the palettes as the state (and a running loop or scan) allows.
    void ApplyPaletteEnabling();
    // Held while an operation uses the attractor or renderer across an event pump: a close
    // that arrives meanwhile waits until the operation is over.
    class OperationScope;
    friend class OperationScope;
    void OnUpdateTimer();
    void PumpEvents();
    void RebindPalettes();
    void EnablePalettes(bool attractorPalette, bool renderPalette);
    // The camera and preview ring, to undo the framing of a cancelled search.
    struct Framing {
        Camera camera;
        std::vector<Vecd> ring;
        std::int32_t ringIndex = 0;
    };
    Framing SnapshotFraming() const;
    void RestoreFraming(const Framing& framing);
    // The parameter values, exactly, in registry order.
    std::vector<double> SnapshotParameters() const;
    void RestoreParameters(const std::vector<double>& values);
    // The family, renderer and image size of a restored state, each replaced only if it differs
    // (what they reset is then restored by the caller).
    void Become(int family, int renderer, std::int32_t width, std::int32_t height);
    // Makes the view show `s` after the attractor, renderer or size were put back.
    void ShowRestored(const ViewSnapshot& before, const ViewSnapshot& s);

    MainFrame& frame_;
    std::unique_ptr<Attractor> attractor_;
    std::unique_ptr<Renderer> renderer_;
    PreviewWidget* preview_ = nullptr; // null where the system offers no OpenGL
    ImageWidget* image_ = nullptr;
    QStackedLayout* pages_ = nullptr;
    QMenu* attractorMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QTimer updateTimer_;
    QElapsedTimer startTick_;

    ViewState state_ = ViewState::Idle;
    ViewState previousState_ = ViewState::Idle;
    QString title_;
    QString shownCaption_;
    bool stopRequested_ = false;
    bool busy_ = false;
    bool scanned_ = false;
    bool imageUnsaved_ = false;
    bool renderDiverged_ = false; // the image shown is that of an orbit that diverged
    int savedFamily_ = -1;
    std::vector<double> savedParameters_;
    int operations_ = 0;
    bool closePending_ = false;
    QUndoStack* history_ = nullptr;
    ViewSnapshot recorded_; // the state the last recorded edit left
    bool applying_ = false;
    std::uint64_t wheelRun_ = 0; // wheel turns close together form one step
    QElapsedTimer wheelClock_;
    // Enabling that the state table asks for; the activity guards may still disable them.
    bool wantSearch_ = true;
    bool wantStart_ = false;

    // Mouse navigation.
    bool dragging_ = false;
    std::uint8_t lastShiftBit_ = 0;
    std::int32_t lastX_ = 0;
    std::int32_t lastY_ = 0;
    double panOriginX_ = 0.0;
    double panOriginY_ = 0.0;
};

} // namespace vorticel
