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
    videoCheckBox = new QCheckBox(Text(kStrVideoBox), this);
    videoAvailable_ = VideoEncoderAvailable();
    if (!videoAvailable_) {
        videoCheckBox->setToolTip(Text(kStrNoVideoEncoder));
    }
    renderButton = new QPushButton(Text(kStrRenderEllipsis), this);
    auto* renderRow = new QHBoxLayout;
    renderRow->addWidget(videoCheckBox);
    renderRow->addStretch(1);
    renderRow->addWidget(renderButton);
    progress = new JobProgress(this);
    resultLabel = new QLabel(this);
    resultLabel->setWordWrap(true);
    resultLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addLayout(top, 1);
    layout->addWidget(CreateSettingsBox());
    layout->addLayout(renderRow);
    layout->addWidget(progress);
    layout->addWidget(resultLabel);

    previewTimer_.setSingleShot(true);
    previewTimer_.setInterval(kPreviewDelayMs);
    connect(&previewTimer_, &QTimer::timeout, this, [this] { ShowFrame(frameSlider->value()); });
    connect(renderButton, &QPushButton::clicked, this, [this] { OnRender(); });
    connect(keys_, &QAbstractItemModel::modelReset, this, [this] {
        UpdateEnabling();
        SchedulePreview();
    });
    keys_->onCurrentRow = [this](int row) {
        keyList->setCurrentIndex(keys_->index(row));
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
    keyList = new QListView(box);
    keyList->setModel(keys_);
    keyList->setIconSize(QSize(kThumbnailWidth, kThumbnailHeight));
    keyList->setSpacing(2);
    keyList->setMinimumWidth(kThumbnailWidth * 2 + 40);
    connect(keyList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { UpdateEnabling(); });
    addButton = new QPushButton(Text(kStrAddKey), box);
    removeButton = new QPushButton(Text(kStrRemoveKey), box);
    moveUpButton = new QPushButton(Text(kStrKeyUp), box);
    moveDownButton = new QPushButton(Text(kStrKeyDown), box);
    connect(addButton, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(removeButton, &QPushButton::clicked, this, [this] { OnRemove(); });
    connect(moveUpButton, &QPushButton::clicked, this, [this] { OnMoveUp(); });
    connect(moveDownButton, &QPushButton::clicked, this, [this] { OnMoveDown(); });
    auto* buttons = new QGridLayout;
    buttons->addWidget(addButton, 0, 0, 1, 3);
    buttons->addWidget(removeButton, 1, 0);
    buttons->addWidget(moveUpButton, 1, 1);
    buttons->addWidget(moveDownButton, 1, 2);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(keyList, 1);
    layout->addLayout(buttons);
    return box;
}

QWidget* AnimationWindow::CreateSettingsBox() {
    auto* box = new QGroupBox(Text(kStrAnimationSettings), this);
    const Animation defaults;
    framesBox = NumberBox(box, 1, kMaxFrames, defaults.frames);
    turnBox = new QDoubleSpinBox(box);
    turnBox->setRange(-kMaxTurnDegrees, kMaxTurnDegrees);
    turnBox->setDecimals(1);
    turnBox->setValue(defaults.turnDegrees);
    fpsBox = NumberBox(box, 1, kMaxFps, defaults.fps);
    widthBox = NumberBox(box, 4, 65535, defaults.width);
    heightBox = NumberBox(box, 1, 65535, defaults.height);
    iterationsBox =
        NumberBox(box, kMinRenderIterations, std::numeric_limits<int>::max(), defaults.iterations);
    iterationsBox->setGroupSeparatorShown(true);
    const auto label = [box](int textId, QWidget* buddy) {
        auto* l = new QLabel(Text(textId), box);
        l->setBuddy(buddy);
        return l;
    };
    auto* grid = new QGridLayout(box);
    grid->addWidget(label(kStrFramesLabel, framesBox), 0, 0, Qt::AlignRight);
    grid->addWidget(framesBox, 0, 1);
    grid->addWidget(label(kStrTurnLabel, turnBox), 0, 2, Qt::AlignRight);
    grid->addWidget(turnBox, 0, 3);
    grid->addWidget(label(kStrFpsLabel, fpsBox), 0, 4, Qt::AlignRight);
    grid->addWidget(fpsBox, 0, 5);
    grid->addWidget(label(kStrWidthLabel, widthBox), 1, 0, Qt::AlignRight);
    grid->addWidget(widthBox, 1, 1);
    grid->addWidget(label(kStrHeightLabel, heightBox), 1, 2, Qt::AlignRight);
    grid->addWidget(heightBox, 1, 3);
    grid->addWidget(label(kStrAnimationIterations, iterationsBox), 1, 4, Qt::AlignRight);
    grid->addWidget(iterationsBox, 1, 5);
    connect(framesBox, &QSpinBox::valueChanged, this, [this] { FramesChanged(); });
    connect(turnBox, &QDoubleSpinBox::valueChanged, this, [this] { SchedulePreview(); });
    connect(widthBox, &QSpinBox::valueChanged, this, [this] { SchedulePreview(); });
    connect(heightBox, &QSpinBox::valueChanged, this, [this] { SchedulePreview(); });
    return box;
}

QWidget* AnimationWindow::CreatePreviewBox() {
    auto* box = new QGroupBox(Text(kStrAnimationPreview), this);
    previewLabel = new QLabel(box);
    previewLabel->setFixedSize(kPreviewWidth, kPreviewHeight);
    previewLabel->setAlignment(Qt::AlignCenter);
    previewLabel->setWordWrap(true);
    previewLabel->setFrameShape(QFrame::StyledPanel);
    frameSlider = new QSlider(Qt::Horizontal, box);
    frameSlider->setRange(1, Animation{}.frames);
    frameLabel = new QLabel(box);
    connect(frameSlider, &QSlider::valueChanged, this, [this] { SchedulePreview(); });
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(previewLabel);
    layout->addWidget(frameSlider);
    layout->addWidget(frameLabel);
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
    const int row = keyList->currentIndex().isValid() ? keyList->currentIndex().row() : -1;
    const int count = keys_->rowCount();
    const ViewWindow* view = App().activeView;
    addButton->setEnabled(!running && view && !view->Busy());
    removeButton->setEnabled(!running && row >= 0);
    moveUpButton->setEnabled(!running && row > 0);
    moveDownButton->setEnabled(!running && row >= 0 && row + 1 < count);
    undoAction->setEnabled(!running && keys_->History()->canUndo());
    redoAction->setEnabled(!running && keys_->History()->canRedo());
    openAction->setEnabled(!running);
    if (renderButton) {
        renderButton->setEnabled(!running && count > 0 && !App().LongActivity());
        videoCheckBox->setEnabled(!running && videoAvailable_);
    }
    for (QWidget* w : {static_cast<QWidget*>(framesBox), static_cast<QWidget*>(turnBox),
                       static_cast<QWidget*>(fpsBox), static_cast<QWidget*>(widthBox),
                       static_cast<QWidget*>(heightBox), static_cast<QWidget*>(iterationsBox)}) {
        if (w) {
            w->setEnabled(!running);
        }
    }
}

QImage AnimationWindow::Thumbnail(const ImageRecipe& recipe) const {
    std::int32_t w = 0;
    std::int32_t h = 0;
    FitInside(widthBox->value(), heightBox->value(), kThumbnailWidth, kThumbnailHeight, w, h);
    return QuickRender(recipe, w, h);
}

void AnimationWindow::OnAdd() {
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

void AnimationWindow::OnRemove() {
    keys_->Remove(keyList->currentIndex().row());
}

void AnimationWindow::OnMoveUp() {
    keys_->Move(keyList->currentIndex().row(), -1);
}

void AnimationWindow::OnMoveDown() {
    keys_->Move(keyList->currentIndex().row(), +1);
}

void AnimationWindow::FramesChanged() {
    frameSlider->setRange(1, framesBox->value());
    SchedulePreview();
}

void AnimationWindow::SchedulePreview() {
    frameLabel->setText(Text(kStrFrameOf).arg(frameSlider->value()).arg(framesBox->value()));
    previewTimer_.start();
}

void AnimationWindow::ShowFrame(int frame) {
    frameLabel->setText(Text(kStrFrameOf).arg(frame).arg(framesBox->value()));
    if (keys_->rowCount() == 0) {
        previewLabel->setPixmap({});
        previewLabel->setText(Text(kStrNoKeys));
        return;
    }
    const Animation animation = CurrentAnimation();
    const QString problem = Problem(animation);
    if (!problem.isEmpty()) {
        previewLabel->setPixmap({});
        previewLabel->setText(problem);
        return;
    }
    try {
        std::int32_t w = 0;
        std::int32_t h = 0;
        FitInside(animation.width, animation.height, kPreviewWidth, kPreviewHeight, w, h);
        const QImage image = QuickRender(FrameRecipe(animation, frame), w, h);
        previewLabel->setText(QString());
        previewLabel->setPixmap(QPixmap::fromImage(image));
    } catch (const AnimationError& error) {
        previewLabel->setPixmap({});
        previewLabel->setText(Text(kStrAnimationInvalid, QString::fromUtf8(error.what())));
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
    animation.frames = framesBox->value();
    animation.turnDegrees = turnBox->value();
    animation.fps = fpsBox->value();
    animation.width = widthBox->value();
    animation.height = heightBox->value();
    animation.iterations = iterationsBox->value();
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
