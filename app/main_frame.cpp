// The main frame: File actions, status bar, and the views it holds.
#include "app/main_frame.h"

#include "app/app_state.h"
#include "app/close_guard.h"
#include "app/edit_menu.h"
#include "app/file_menus.h"
#include "app/file_messages.h"
#include "app/messages.h"
#include "app/new_dialog.h"
#include "app/overview.h"
#include "app/palettes.h"
#include "app/parameter_palettes.h"
#include "app/preview_widget.h"
#include "app/text.h"
#include "app/view.h"
#include "attractor/attractor.h"
#include "attractor/parameter_file.h"
#include "render/renderer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QOpenGLWidget>
#include <QProgressBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <utility>

namespace vorticel {
namespace {

constexpr int kPanelWidths[5] = {15, 200, 80, 130, 50};
constexpr qint64 kDayMs = 24LL * 3600 * 1000;

ViewWindow* ViewOf(QMdiSubWindow* window) {
    return window ? dynamic_cast<ViewWindow*>(window->widget()) : nullptr;
}

} // namespace

QIcon ProgramIcon() {
    return QIcon(QStringLiteral(":/vorticel.png"));
}

QString FormatDuration(qint64 milliseconds) {
    const qint64 inDay = ((milliseconds % kDayMs) + kDayMs) % kDayMs;
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t')); // a duration has no time zone
    return QLocale().toString(QTime(0, 0).addMSecs(static_cast<int>(inDay)), format.trimmed());
}

MainFrame::MainFrame() {
    // For every window of the program: the frame, the views (not Qt's logo), the palettes.
    QApplication::setWindowIcon(ProgramIcon());
    setWindowTitle(Text(kStrFrameCaption));
    resize(640, 449);
    area_ = new QMdiArea(this);
    area_->setBackground(palette().brush(QPalette::Dark));
    // A view larger than the area (an image wider than the screen) scrolls into sight.
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    connect(area_, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* window) { SubWindowActivated(window); });
    CreateActions();
    CreateStatusBar();
    closeGuard_ = std::make_unique<CloseGuard>(*this);
    if (PreviewWidget::Available()) {
        // The views' previews are OpenGL widgets. A frame that holds one from the start
        // composites through OpenGL from its first show; otherwise Qt builds its window anew
        // when the first view comes, and the new window forgets that it was maximised.
        (new QOpenGLWidget(this))->hide();
    }
    setAcceptDrops(true);
    AppState& app = App();
    app.appClosing = false;
    app.newFamily = 0;
    app.newWidth = 640;
    app.newHeight = 480;
    app.newRenderer = 0;
}

MainFrame::~MainFrame() {
    // Views go first, while the frame they report to is still whole; closed ones that wait
    // for their deferred deletion too.
    App().appClosing = true;
    for (QMdiSubWindow* window : area_->findChildren<QMdiSubWindow*>()) {
        delete window;
    }
}

void MainFrame::CreateActions() {
    const auto make = [this](int textId, const QKeySequence& shortcut, void (MainFrame::*slot)()) {
        auto* action = new QAction(Text(textId), this);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
        return action;
    };
    newAction = make(kStrNew, QKeySequence(Qt::CTRL | Qt::Key_N), &MainFrame::OnNew);
    openAction = make(kStrOpen, QKeySequence(Qt::CTRL | Qt::Key_O), &MainFrame::OnOpen);
    saveParametersAsAction = make(kStrSaveAttractorAs, {}, &MainFrame::OnSaveParametersAs);
    saveImageAsAction = make(kStrSaveImageAs, {}, &MainFrame::OnSaveImageAs);
    closeAction = make(kStrClose, {}, &MainFrame::OnClose);
    quitAction = make(kStrQuit, {}, &MainFrame::OnQuit);
    posterAction = make(kStrPoster, {}, &MainFrame::OnPoster);
    animationAction = make(kStrAnimation, {}, &MainFrame::OnAnimation);

    fileMenu_ = menuBar()->addMenu(Text(kStrMenuFile));
    fileMenu_->addAction(newAction);
    fileMenu_->addAction(openAction);
    files_ = new FileMenus(*this, [this](const QString& path) {
        return OpenInNewView(path, path.startsWith(ExamplesFolder() + QLatin1Char('/'))) != nullptr;
    });
    fileMenu_->addMenu(files_->recentMenu());
    fileMenu_->addMenu(files_->examplesMenu());
    fileMenu_->addAction(saveParametersAsAction);
    fileMenu_->addAction(saveImageAsAction);
    fileMenu_->addAction(posterAction);
    fileMenu_->addAction(animationAction);
    fileMenu_->addAction(closeAction);
    fileMenu_->addSeparator();
    fileMenu_->addAction(quitAction);
    EnableViewActions(false);
    editMenu_ = new EditMenu(*this);
    addActions({editMenu_->undoAction, editMenu_->redoAction}); // shortcuts with the menu closed
}

void MainFrame::CreateStatusBar() {
    for (int i = 0; i < 5; ++i) {
        panels_[i] = new QLabel(this);
        // Panels keep their widths but may grow for the text of a larger system font.
        panels_[i]->setMinimumWidth(kPanelWidths[i]);
        if (i == 0) {
            panels_[i]->setAlignment(Qt::AlignCenter);
        }
        statusBar()->addWidget(panels_[i]);
    }
    progressBar_ = new QProgressBar(panels_[1]);
    progressBar_->setTextVisible(false);
    progressBar_->setGeometry(0, 0, kPanelWidths[1], 16);
    progressBar_->setValue(0);
    panels_[2]->setText(Text(kStrRate).trimmed());
}

void MainFrame::EnableViewActions(bool enabled) {
    for (QAction* action : {saveParametersAsAction, saveImageAsAction, posterAction, closeAction}) {
        action->setEnabled(enabled);
        action->setVisible(enabled);
    }
    EnableJobActions();
}

void MainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (palettes_) {
        return;
    }
    // First show: both palettes, hidden until a view exists (placed when first shown).
    auto palettes = std::make_unique<FloatingPalettes>(*this);
    palettes->SetVisible(!Views().isEmpty());
    SetPalettes(std::move(palettes));
}

void MainFrame::SetPalettes(std::unique_ptr<ParameterPalettes> palettes) {
    palettes_ = std::move(palettes);
}

QList<ViewWindow*> MainFrame::Views() const {
    QList<ViewWindow*> views;
    for (QMdiSubWindow* window : area_->subWindowList()) {
        if (ViewWindow* view = ViewOf(window)) {
            views.append(view);
        }
    }
    return views;
}

void MainFrame::ResetStatusBar() {
    progressBar_->setValue(0);
    panels_[2]->setText(Text(kStrRate).trimmed());
    panels_[3]->setText(QString());
    panels_[4]->setText(QString());
}

void MainFrame::TellCloseRefused(bool searching) {
    panels_[4]->setText(Text(searching ? kStrCloseRefusedSearch : kStrCloseRefusedRender));
}

void MainFrame::SetStatusText(int panel, const QString& text) {
    if (panel >= 0 && panel < 5) {
        panels_[panel]->setText(text);
    }
}

QString MainFrame::StatusText(int panel) const {
    return (panel >= 0 && panel < 5) ? panels_[panel]->text() : QString();
}

void MainFrame::ActivityChanged() {
    for (ViewWindow* view : Views()) {
        view->ApplyActivityGuards();
    }
    // Loading a file into a view while it searches or renders would pull the attractor
    // out from under its loop.
    const ViewWindow* active = App().activeView;
    const bool locked = active && (active->Busy() || active->Scanned());
    openAction->setEnabled(!locked);
    saveParametersAsAction->setEnabled(active && !locked); // no saving half-searched parameters
    // Nothing is undone under a loop that uses the attractor or renderer.
    editMenu_->SetActiveHistory(active ? active->History() : nullptr);
    editMenu_->SetAllowed(!App().LongActivity() && !locked);
    EnableJobActions();
}

void MainFrame::ViewMenusChanged() {
    menuBar()->clear();
    menuBar()->addMenu(fileMenu_);
    if (ViewWindow* view = App().activeView) {
        menuBar()->addMenu(editMenu_->menu());
        menuBar()->addMenu(view->attractorMenu());
        menuBar()->addMenu(view->viewMenu());
    }
}

void MainFrame::SubWindowActivated(QMdiSubWindow* window) {
    if (ViewWindow* view = ViewOf(window)) {
        view->OnActivated();
    }
    ViewMenusChanged();
    ActivityChanged();
}

void MainFrame::ShowError(const QString& message) {
    ShowMessage(MessageKind::Error, Text(kStrAppTitle), message);
}

ViewWindow* MainFrame::CreateView(int family, int renderer, std::int32_t width,
                                  std::int32_t height) {
    AppState& app = App();
    app.untitledCounter = static_cast<std::int16_t>(app.untitledCounter + 1);
    app.openViewCount = static_cast<std::uint8_t>(app.openViewCount + 1);
    // What is not given comes from the dialog's remembered values.
    const std::int32_t w = width > 0 ? width : app.newWidth;
    const std::int32_t h = height > 0 ? height : app.newHeight;
    ViewWindow* view = nullptr;
    try {
        view = new ViewWindow(*this, family >= 0 ? family : app.newFamily, w, h,
                              renderer >= 0 ? renderer : app.newRenderer);
    } catch (const RenderError&) {
        app.openViewCount = static_cast<std::uint8_t>(app.openViewCount - 1);
        ShowError(Text(kStrImageTooLarge, QStringLiteral("%1 x %2").arg(w).arg(h)));
        return nullptr;
    }
    editMenu_->AddHistory(*view->History());
    QMdiSubWindow* window = area_->addSubWindow(view);
    ShowSubWindow(*window);
    app.activeView = nullptr; // activation binds the palettes to the new view
    area_->setActiveSubWindow(window);
    if (App().activeView != view) {
        view->OnActivated();
        ViewMenusChanged();
    }
    if (palettes_) {
        palettes_->SetVisible(true);
    }
    return view;
}

void MainFrame::OnNew() {
    NewAttractorDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted) {
        CreateView();
    }
}

void MainFrame::OnClose() {
    // The active view, even while an overview window has the focus.
    if (ViewWindow* view = App().activeView) {
        if (QWidget* window = view->parentWidget()) {
            window->close();
        }
    }
}

void MainFrame::OnQuit() {
    close();
}

OverviewWindow* MainFrame::OpenOverview() {
    auto* overview = new OverviewWindow(*this);
    ShowSubWindow(*area_->addSubWindow(overview));
    return overview;
}

QList<OverviewWindow*> MainFrame::Overviews() const {
    QList<OverviewWindow*> overviews;
    for (QMdiSubWindow* window : area_->subWindowList()) {
        if (auto* overview = dynamic_cast<OverviewWindow*>(window->widget())) {
            overviews.append(overview);
        }
    }
    return overviews;
}

void MainFrame::AttractorGoing(const Attractor* attractor) {
    for (OverviewWindow* overview : Overviews()) {
        overview->AttractorGoing(attractor);
    }
}

void MainFrame::ScanEnded() {
    if (quitAfterScans_) {
        quitAfterScans_ = false;
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (App().jobRunning) {
        // A poster or an animation is being written: "Arrêter" in its window first.
        SetStatusText(4, Text(kStrCloseRefusedJob));
        event->ignore();
        return;
    }
    for (const ViewWindow* view : Views()) {
        if (view->Busy()) {
            // A view that searches or renders keeps the program open, and says so.
            TellCloseRefused(view->State() == ViewState::Searching);
            event->ignore();
            return;
        }
    }
    // One question for all views, before anything is stopped or closed.
    const bool settled = std::exchange(closeSettled_, false);
    if (!settled && !closeGuard_->MayClose(Views())) {
        event->ignore();
        return;
    }
    bool scanning = false;
    for (OverviewWindow* overview : Overviews()) {
        if (overview->Scanning()) {
            overview->RequestStop(); // the program closes once the scan has let go
            scanning = true;
        }
    }
    if (scanning) {
        quitAfterScans_ = true;
        closeSettled_ = true;
        event->ignore();
        return;
    }
    App().appClosing = true;
    area_->closeAllSubWindows();
    if (!area_->subWindowList().isEmpty()) {
        App().appClosing = false;
        event->ignore();
        return;
    }
    if (palettes_) {
        palettes_->SetVisible(false); // they go with the frame
    }
    event->accept();
}

} // namespace vorticel
