// The animation window: its layout, the key list's buttons, the settings and the preview.
#include "app/animation_window.h"

#include "app/animation_keys.h"
#include "app/app_state.h"
#include "app/core_api.h"
#include "app/job_progress.h"
#include "app/main_frame.h"
#include "app/quick_render.h"
#include "app/text.h"
#include "app/view.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QUndoStack>
#include <QVBoxLayout>
#include <limits>

namespace vorticel {
namespace {

constexpr int kPreviewDelayMs = 60; // a slider drag renders the frame it rests on

QSpinBox* NumberBox(QWidget* parent, int minimum, int maximum, int value) {
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

} // namespace

// A window of its own, kept above the frame as a dialog (a maximised frame would hide it).
AnimationWindow::AnimationWindow(MainFrame& frame)
    : QWidget(&frame, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      frame_(frame) {
    setWindowTitle(Text(kStrAnimationTitle));
    keys_ = new KeyListModel(this);
    InstallDialogs();
    auto* bar = new QMenuBar(this);
    CreateMenus(*bar);

    auto* top = new QHBoxLayout;
    top->addWidget(CreateKeyBox(), 1);
    top->addWidget(CreatePreviewBox());
    CB_video = new QCheckBox(Text(kStrVideoBox), this);
    videoAvailable_ = VideoEncoderAvailable();
    if (!videoAvailable_) {
        CB_video->setToolTip(Text(kStrNoVideoEncoder));
    }
    B_rendre = new QPushButton(Text(kStrRenderEllipsis), this);
    auto* renderRow = new QHBoxLayout;
    renderRow->addWidget(CB_video);
    renderRow->addStretch(1);
    renderRow->addWidget(B_rendre);
    progress = new JobProgress(this);
    L_result = new QLabel(this);
    L_result->setWordWrap(true);
    L_result->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addLayout(top, 1);
    layout->addWidget(CreateSettingsBox());
    layout->addLayout(renderRow);
    layout->addWidget(progress);
    layout->addWidget(L_result);

    previewTimer_.setSingleShot(true);
    previewTimer_.setInterval(kPreviewDelayMs);
    connect(&previewTimer_, &QTimer::timeout, this, [this] { ShowFrame(TB_frame->value()); });
    connect(B_rendre, &QPushButton::clicked, this, [this] { B_rendreClick(); });
    connect(keys_, &QAbstractItemModel::modelReset, this, [this] {
        UpdateEnabling();
        SchedulePreview();
    });
    keys_->onCurrentRow = [this](int row) {
        LB_keys->setCurrentIndex(keys_->index(row));
        UpdateEnabling();
    };
    connect(keys_->History(), &QUndoStack::indexChanged, this, [this] { UpdateUndoCaptions(); });
    UpdateUndoCaptions();
    UpdateEnabling();
    ShowFrame(1);
}

AnimationWindow::~AnimationWindow() {
    // The key list goes after this window's parts: its last signals must not reach them.
    keys_->History()->disconnect(this);
    keys_->disconnect(this);
    keys_->onCurrentRow = nullptr;
}

QWidget* AnimationWindow::CreateKeyBox() {
    auto* box = new QGroupBox(Text(kStrKeys), this);
    LB_keys = new QListView(box);
    LB_keys->setModel(keys_);
    LB_keys->setIconSize(QSize(kThumbnailWidth, kThumbnailHeight));
    LB_keys->setSpacing(2);
    LB_keys->setMinimumWidth(kThumbnailWidth * 2 + 40);
    connect(LB_keys->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { UpdateEnabling(); });
    B_ajouter = new QPushButton(Text(kStrAddKey), box);
    B_retirer = new QPushButton(Text(kStrRemoveKey), box);
    B_monter = new QPushButton(Text(kStrKeyUp), box);
    B_descendre = new QPushButton(Text(kStrKeyDown), box);
    connect(B_ajouter, &QPushButton::clicked, this, [this] { B_ajouterClick(); });
    connect(B_retirer, &QPushButton::clicked, this, [this] { B_retirerClick(); });
    connect(B_monter, &QPushButton::clicked, this, [this] { B_monterClick(); });
    connect(B_descendre, &QPushButton::clicked, this, [this] { B_descendreClick(); });
    auto* buttons = new QGridLayout;
    buttons->addWidget(B_ajouter, 0, 0, 1, 3);
    buttons->addWidget(B_retirer, 1, 0);
    buttons->addWidget(B_monter, 1, 1);
    buttons->addWidget(B_descendre, 1, 2);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(LB_keys, 1);
    layout->addLayout(buttons);
    return box;
}

QWidget* AnimationWindow::CreateSettingsBox() {
    auto* box = new QGroupBox(Text(kStrAnimationSettings), this);
    const Animation defaults;
    T_frames = NumberBox(box, 1, kMaxFrames, defaults.frames);
    T_turn = new QDoubleSpinBox(box);
    T_turn->setRange(-kMaxTurnDegrees, kMaxTurnDegrees);
    T_turn->setDecimals(1);
    T_turn->setValue(defaults.turnDegrees);
    T_fps = NumberBox(box, 1, kMaxFps, defaults.fps);
    T_width = NumberBox(box, 4, 65535, defaults.width);
    T_height = NumberBox(box, 1, 65535, defaults.height);
    T_iterations =
        NumberBox(box, kMinRenderIterations, std::numeric_limits<int>::max(), defaults.iterations);
    T_iterations->setGroupSeparatorShown(true);
    const auto label = [box](int textId, QWidget* buddy) {
        auto* l = new QLabel(Text(textId), box);
        l->setBuddy(buddy);
        return l;
    };
    auto* grid = new QGridLayout(box);
    grid->addWidget(label(kStrFramesLabel, T_frames), 0, 0, Qt::AlignRight);
    grid->addWidget(T_frames, 0, 1);
    grid->addWidget(label(kStrTurnLabel, T_turn), 0, 2, Qt::AlignRight);
    grid->addWidget(T_turn, 0, 3);
    grid->addWidget(label(kStrFpsLabel, T_fps), 0, 4, Qt::AlignRight);
    grid->addWidget(T_fps, 0, 5);
    grid->addWidget(label(kStrWidthLabel, T_width), 1, 0, Qt::AlignRight);
    grid->addWidget(T_width, 1, 1);
    grid->addWidget(label(kStrHeightLabel, T_height), 1, 2, Qt::AlignRight);
    grid->addWidget(T_height, 1, 3);
    grid->addWidget(label(kStrAnimationIterations, T_iterations), 1, 4, Qt::AlignRight);
    grid->addWidget(T_iterations, 1, 5);
    connect(T_frames, &QSpinBox::valueChanged, this, [this] { FramesChanged(); });
    connect(T_turn, &QDoubleSpinBox::valueChanged, this, [this] { SchedulePreview(); });
    connect(T_width, &QSpinBox::valueChanged, this, [this] { SchedulePreview(); });
    connect(T_height, &QSpinBox::valueChanged, this, [this] { SchedulePreview(); });
    return box;
}

QWidget* AnimationWindow::CreatePreviewBox() {
    auto* box = new QGroupBox(Text(kStrAnimationPreview), this);
    L_preview = new QLabel(box);
    L_preview->setFixedSize(kPreviewWidth, kPreviewHeight);
    L_preview->setAlignment(Qt::AlignCenter);
    L_preview->setWordWrap(true);
    L_preview->setFrameShape(QFrame::StyledPanel);
    TB_frame = new QSlider(Qt::Horizontal, box);
    TB_frame->setRange(1, Animation{}.frames);
    L_frame = new QLabel(box);
    connect(TB_frame, &QSlider::valueChanged, this, [this] { SchedulePreview(); });
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(L_preview);
    layout->addWidget(TB_frame);
    layout->addWidget(L_frame);
    layout->addStretch(1);
    return box;
}

void AnimationWindow::CreateMenus(QMenuBar& bar) {
    QMenu* file = bar.addMenu(Text(kStrMenuFile));
    openAction = file->addAction(Text(kStrOpen));
    openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    saveAsAction = file->addAction(Text(kStrSaveAnimationAs));
    saveAsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator();
    closeAction = file->addAction(Text(kStrClose));
    connect(openAction, &QAction::triggered, this, [this] { OnOpen(); });
    connect(saveAsAction, &QAction::triggered, this, [this] { OnSaveAs(); });
    connect(closeAction, &QAction::triggered, this, [this] { close(); });
    QMenu* edit = bar.addMenu(Text(kStrMenuEdit));
    undoAction = edit->addAction(Text(kStrUndo));
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction = edit->addAction(Text(kStrRedo));
    redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(undoAction, &QAction::triggered, this, [this] {
        if (!progress->Running()) {
            keys_->History()->undo();
        }
    });
    connect(redoAction, &QAction::triggered, this, [this] {
        if (!progress->Running()) {
            keys_->History()->redo();
        }
    });
}

void AnimationWindow::UpdateUndoCaptions() {
    // As the views' "Édition" menu: the step's name after "Annuler : ".
    const QUndoStack& history = *keys_->History();
    const auto caption = [](int id, bool can, const QString& name) {
        return can && !name.isEmpty() ? Text(id) + QStringLiteral(" : ") + name : Text(id);
    };
    undoAction->setText(caption(kStrUndo, history.canUndo(), history.undoText()));
    redoAction->setText(caption(kStrRedo, history.canRedo(), history.redoText()));
    UpdateEnabling();
}

void AnimationWindow::UpdateEnabling() {
    const bool running = progress && progress->Running();
    const int row = LB_keys->currentIndex().isValid() ? LB_keys->currentIndex().row() : -1;
    const int count = keys_->rowCount();
    const ViewWindow* view = App().activeView;
    B_ajouter->setEnabled(!running && view && !view->Busy());
    B_retirer->setEnabled(!running && row >= 0);
    B_monter->setEnabled(!running && row > 0);
    B_descendre->setEnabled(!running && row >= 0 && row + 1 < count);
    undoAction->setEnabled(!running && keys_->History()->canUndo());
    redoAction->setEnabled(!running && keys_->History()->canRedo());
    openAction->setEnabled(!running);
    if (B_rendre) {
        B_rendre->setEnabled(!running && count > 0 && !App().LongActivity());
        CB_video->setEnabled(!running && videoAvailable_);
    }
    for (QWidget* w : {static_cast<QWidget*>(T_frames), static_cast<QWidget*>(T_turn),
                       static_cast<QWidget*>(T_fps), static_cast<QWidget*>(T_width),
                       static_cast<QWidget*>(T_height), static_cast<QWidget*>(T_iterations)}) {
        if (w) {
            w->setEnabled(!running);
        }
    }
}

QImage AnimationWindow::Thumbnail(const ImageRecipe& recipe) const {
    std::int32_t w = 0;
    std::int32_t h = 0;
    FitInside(T_width->value(), T_height->value(), kThumbnailWidth, kThumbnailHeight, w, h);
    return QuickRender(recipe, w, h);
}

void AnimationWindow::B_ajouterClick() {
    ViewWindow* view = App().activeView;
    if (!view || view->Busy() || progress->Running()) {
        return;
    }
    AnimationKey key;
    key.recipe = frame_.RecipeOfView(*view);
    key.name = view->Title();
    key.thumbnail = Thumbnail(key.recipe);
    keys_->Add(std::move(key));
}

void AnimationWindow::B_retirerClick() {
    keys_->Remove(LB_keys->currentIndex().row());
}

void AnimationWindow::B_monterClick() {
    keys_->Move(LB_keys->currentIndex().row(), -1);
}

void AnimationWindow::B_descendreClick() {
    keys_->Move(LB_keys->currentIndex().row(), +1);
}

void AnimationWindow::FramesChanged() {
    TB_frame->setRange(1, T_frames->value());
    SchedulePreview();
}

void AnimationWindow::SchedulePreview() {
    L_frame->setText(Text(kStrFrameOf).arg(TB_frame->value()).arg(T_frames->value()));
    previewTimer_.start();
}

void AnimationWindow::ShowFrame(int frame) {
    L_frame->setText(Text(kStrFrameOf).arg(frame).arg(T_frames->value()));
    if (keys_->rowCount() == 0) {
        L_preview->setPixmap({});
        L_preview->setText(Text(kStrNoKeys));
        return;
    }
    const Animation animation = CurrentAnimation();
    const QString problem = Problem(animation);
    if (!problem.isEmpty()) {
        L_preview->setPixmap({});
        L_preview->setText(problem);
        return;
    }
    try {
        std::int32_t w = 0;
        std::int32_t h = 0;
        FitInside(animation.width, animation.height, kPreviewWidth, kPreviewHeight, w, h);
        const QImage image = QuickRender(FrameRecipe(animation, frame), w, h);
        L_preview->setText(QString());
        L_preview->setPixmap(QPixmap::fromImage(image));
    } catch (const AnimationError& error) {
        L_preview->setPixmap({});
        L_preview->setText(Text(kStrAnimationInvalid, QString::fromUtf8(error.what())));
    }
}

QString AnimationWindow::Problem(const Animation& animation) {
    // The usual ones in the window's words; the core names the rest.
    if (animation.keys.size() == 1 && animation.turnDegrees == 0.0) {
        return Text(kStrOneKeyNoTurn);
    }
    for (std::size_t i = 1; i < animation.keys.size(); ++i) {
        if (animation.keys[i].family != animation.keys[0].family ||
            animation.keys[i].renderer != animation.keys[0].renderer) {
            return Text(kStrKeyUnlike, QString::fromStdString(KeyName(animation, i)));
        }
    }
    try {
        CheckAnimation(animation);
    } catch (const AnimationError& error) {
        return Text(kStrAnimationInvalid, QString::fromUtf8(error.what()));
    }
    return {};
}

Animation AnimationWindow::CurrentAnimation() const {
    Animation animation;
    for (const AnimationKey& key : keys_->Keys()) {
        animation.keys.push_back(key.recipe);
        animation.keyNames.push_back(key.name.toStdString());
    }
    animation.frames = T_frames->value();
    animation.turnDegrees = T_turn->value();
    animation.fps = T_fps->value();
    animation.width = T_width->value();
    animation.height = T_height->value();
    animation.iterations = T_iterations->value();
    return animation;
}

void AnimationWindow::closeEvent(QCloseEvent* event) {
    if (progress->Running()) {
        event->ignore(); // "Arrêter" first: the render holds this window's hooks
        return;
    }
    QWidget::closeEvent(event); // hidden, keys kept: "Animation..." shows it again
}

} // namespace vorticel
