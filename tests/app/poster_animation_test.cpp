// The poster dialog and the animation window, driven through their own controls.
#include "animation/animation.h"
#include "app/animation_keys.h"
#include "app/animation_window.h"
#include "app/edit_menu.h"
#include "app/file_menus.h"
#include "app/job_progress.h"
#include "app/poster_dialog.h"
#include "app/text.h"
#include "render/recipe.h"
#include "render/renderer.h"
#include "tests/app/app_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoGroup>
#include <QUndoStack>

namespace vorticel::testing {
namespace {

using Posters = FrameTest;
using Animations = FrameTest;

constexpr int kFewPoints = 200000;

// A view of an example Lorenz attractor (one that never diverges), 64 x 48.
ViewWindow* ExampleView(MainFrame& frame, const char* example) {
    ViewWindow* view = frame.OpenInNewView(ExamplesFolder() + QLatin1Char('/') +
                                           QLatin1String(example) + QStringLiteral(".vtc"));
    if (view) {
        view->ResizeImage(64, 48);
    }
    return view;
}

// The bit depth in a PNG's header (the byte after the IHDR chunk's width and height).
int PngBitDepth(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray head = file.read(25);
    return head.size() == 25 ? static_cast<unsigned char>(head[24]) : -1;
}

bool SameView(const ViewSnapshot& a, const ViewSnapshot& b) {
    return a.SameScene(b) && a.shading == b.shading && a.iterationTarget == b.iterationTarget;
}

TEST_F(Posters, RenderTheViewsRecipeAtTheTypedSizeAndLeaveTheViewAndItsHistoryAlone) {
    QTemporaryDir dir;
    ViewWindow* view = ExampleView(*frame, "lorenz-papillon");
    ASSERT_NE(view, nullptr);
    const ViewSnapshot before = view->TakeSnapshot();
    const int steps = view->History()->count();
    const int index = view->History()->index();

    PosterDialog poster(*frame, *view);
    // The view's proportions follow the typed width (64 x 48 is 4:3).
    poster.widthBox->setValue(800);
    EXPECT_EQ(poster.heightBox->value(), 600);
    poster.keepProportionsCheckBox->setChecked(false);
    poster.heightBox->setValue(500);
    EXPECT_EQ(poster.widthBox->value(), 800);
    poster.iterationsBox->setValue(kFewPoints);
    const QString path = dir.filePath(QStringLiteral("affiche.png"));
    ASSERT_TRUE(poster.Render(path, 8)) << poster.resultLabel->text().toStdString();

    const ImageRecipe written = LoadImageRecipe(path.toStdString());
    EXPECT_EQ(written.width, 800);
    EXPECT_EQ(written.height, 500);
    EXPECT_EQ(written.iterations, kFewPoints);
    EXPECT_EQ(written.family, 2);
    ASSERT_EQ(written.parameters.size(), before.parameters.size());
    for (std::size_t i = 0; i < before.parameters.size(); ++i) {
        EXPECT_EQ(written.parameters[i].value, before.parameters[i]);
    }
    // Nothing of the view moved: not its image size, not a step of its history.
    EXPECT_TRUE(SameView(view->TakeSnapshot(), before));
    EXPECT_EQ(view->GetRenderer()->Width(), 64);
    EXPECT_EQ(view->History()->count(), steps);
    EXPECT_EQ(view->History()->index(), index);
    EXPECT_FALSE(App().jobRunning);
    EXPECT_TRUE(poster.renderButton->isEnabled());
    EXPECT_TRUE(view->startAction->isEnabled()); // the guards let go

    // 16 bits a channel, from the poster and from the view's own save.
    const QString deep = dir.filePath(QStringLiteral("affiche16.png"));
    ASSERT_TRUE(poster.Render(deep, 16)) << poster.resultLabel->text().toStdString();
    EXPECT_EQ(PngBitDepth(deep), 16);
    EXPECT_EQ(LoadImageRecipe(deep.toStdString()).depth, 16);
    view->iterationTarget = kFewPoints;
    view->OnStart();
    const QString saved = dir.filePath(QStringLiteral("vue16.png"));
    ASSERT_TRUE(frame->SaveImage(*view, saved, 16));
    EXPECT_EQ(PngBitDepth(saved), 16);

    // "Arrêter" before the first strip: nothing is written, the old file stays.
    const QByteArray old = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    // Clicked from the first events the render lets through.
    QTimer::singleShot(0, poster.progress->stopButton(), &QPushButton::click);
    poster.iterationsBox->setValue(200000000);
    EXPECT_FALSE(poster.Render(path, 8));
    QFile again(path);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), old);
    EXPECT_FALSE(App().jobRunning);
}

TEST_F(Animations, KeysAreAddedMovedAndRemovedInAnUndoHistoryOfTheirOwn) {
    ViewWindow* first = ExampleView(*frame, "lorenz-papillon");
    ASSERT_NE(first, nullptr);
    first->SetTitle(QStringLiteral("premier"));
    ViewWindow* second = ExampleView(*frame, "lorenz-ruban");
    ASSERT_NE(second, nullptr);
    second->SetTitle(QStringLiteral("second"));
    const int viewSteps = second->History()->count();

    AnimationWindow window(*frame);
    KeyListModel& keys = window.Keys();
    const auto names = [&keys] {
        QStringList list;
        for (const AnimationKey& key : keys.Keys()) {
            list.append(key.name);
        }
        return list.join(QLatin1Char(','));
    };
    App().activeView = first;
    window.OnAdd();
    App().activeView = second;
    window.OnAdd();
    window.OnAdd();
    ASSERT_EQ(names(), QStringLiteral("premier,second,second"));
    for (const AnimationKey& key : keys.Keys()) {
        EXPECT_FALSE(key.thumbnail.isNull());
        EXPECT_LE(key.thumbnail.width(), AnimationWindow::kThumbnailWidth);
    }
    EXPECT_EQ(keys.Keys()[0].recipe.parameters.size(), first->TakeSnapshot().parameters.size());

    window.keyList->setCurrentIndex(keys.index(0));
    window.OnMoveDown(); // the moved key stays the current one
    EXPECT_EQ(names(), QStringLiteral("second,premier,second"));
    EXPECT_EQ(window.keyList->currentIndex().row(), 1);
    EXPECT_TRUE(window.moveUpButton->isEnabled());
    window.OnRemove();
    EXPECT_EQ(names(), QStringLiteral("second,second"));
    EXPECT_EQ(window.undoAction->text(), QStringLiteral("&Annuler : retrait d'une clé"));

    window.undoAction->trigger();
    EXPECT_EQ(names(), QStringLiteral("second,premier,second"));
    window.undoAction->trigger();
    EXPECT_EQ(names(), QStringLiteral("premier,second,second"));
    window.redoAction->trigger();
    EXPECT_EQ(names(), QStringLiteral("second,premier,second"));
    // The views' histories know nothing of it.
    EXPECT_EQ(second->History()->count(), viewSteps);
    EXPECT_EQ(frame->Editing()->Group()->activeStack(), second->History());
}

TEST_F(Animations, AnAnimationSavedOpensAgainAndRendersItsFramesOnce) {
    QTemporaryDir dir;
    ViewWindow* view = ExampleView(*frame, "lorenz-papillon");
    ASSERT_NE(view, nullptr);
    AnimationWindow window(*frame);
    App().activeView = view;
    window.OnAdd();
    // One key and no turn cannot be rendered; the window says so in French.
    EXPECT_FALSE(window.Render(dir.filePath(QStringLiteral("rien")), {}));
    EXPECT_EQ(window.resultLabel->text(), Text(kStrOneKeyNoTurn));
    window.turnBox->setValue(90.0);
    window.framesBox->setValue(3);
    window.widthBox->setValue(64);
    window.heightBox->setValue(48);
    window.iterationsBox->setValue(kFewPoints);
    const QString file = dir.filePath(QStringLiteral("film.vta"));
    ASSERT_TRUE(window.Save(file));

    AnimationWindow opened(*frame);
    ASSERT_TRUE(opened.Open(file)) << opened.resultLabel->text().toStdString();
    EXPECT_EQ(opened.Keys().rowCount(), 1);
    EXPECT_FALSE(opened.Keys().History()->canUndo()); // a file opened is no edit
    EXPECT_EQ(opened.framesBox->value(), 3);
    EXPECT_EQ(opened.turnBox->value(), 90.0);
    EXPECT_EQ(opened.iterationsBox->value(), kFewPoints);
    EXPECT_EQ(FormatAnimation(opened.CurrentAnimation()),
              FormatAnimation(window.CurrentAnimation()));

    const QString folder = dir.filePath(QStringLiteral("images"));
    const QString video =
        VideoEncoderAvailable() ? dir.filePath(QStringLiteral("film.mp4")) : QString();
    ASSERT_TRUE(opened.Render(folder, video)) << opened.resultLabel->text().toStdString();
    const Animation animation = opened.CurrentAnimation();
    for (int k = 1; k <= 3; ++k) {
        const QString frameFile =
            QDir(folder).filePath(QString::fromStdString(FrameFileName(animation, k)));
        ASSERT_TRUE(QFileInfo::exists(frameFile)) << k;
        EXPECT_EQ(LoadImageRecipe(frameFile.toStdString()).width, 64);
    }
    if (!video.isEmpty()) {
        EXPECT_GT(QFileInfo(video).size(), 0);
    }
    EXPECT_FALSE(App().jobRunning);
    EXPECT_TRUE(opened.renderButton->isEnabled());
    // Again: every frame is there already.
    ASSERT_TRUE(opened.Render(folder, {}));
    EXPECT_EQ(opened.resultLabel->text(), Text(kStrFramesWritten).arg(0).arg(3).arg(0));
}

} // namespace
} // namespace vorticel::testing
