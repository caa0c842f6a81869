// Closing with unsaved work: what counts as unsaved, one question on every close path, and
// what each answer does.
#include "app/palette_window.h"
#include "app/parameter_palettes.h"
#include "app/text.h"
#include "attractor/attractor.h"
#include "attractor/families/lorenz.h"
#include "render/colour.h"
#include "tests/app/app_test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace vorticel::testing {
namespace {

struct CloseTest : FrameTest {
    Lorenz_2L& LorenzOf(ViewWindow& view) { return dynamic_cast<Lorenz_2L&>(*view.GetAttractor()); }
    // A classic Lorenz view with a finished render of its own parameters.
    ViewWindow* Rendered() {
        ViewWindow* view = NewView(2);
        Lorenz_2L& lorenz = LorenzOf(*view);
        lorenz.a = 10;
        lorenz.b = 28;
        lorenz.c = 2.667;
        lorenz.dt = 0.01;
        view->MarkParametersSaved(); // as if opened from a file
        view->FitAndShow(0);
        view->iterationTarget = 100000;
        view->OnStart();
        return view;
    }
    FloatingPalettes& Palettes() { return dynamic_cast<FloatingPalettes&>(*frame->Palettes()); }
};

TEST_F(CloseTest, UnsavedWorkIsARenderOrParametersThatNoFileHas) {
    QTemporaryDir dir;
    ViewWindow* view = NewView(2);
    EXPECT_TRUE(UnsavedWorkLines(frame->Views()).isEmpty()); // "Nouveau" alone: nothing to lose

    const double b = LorenzOf(*view).b;
    LorenzOf(*view).b = b + 1.0;
    EXPECT_TRUE(view->ParametersUnsaved());
    LorenzOf(*view).b = b; // edited back (as an undo does): nothing to lose again
    EXPECT_FALSE(view->ParametersUnsaved());
    view->ReplaceAttractor(3); // another family is another attractor
    EXPECT_TRUE(view->ParametersUnsaved());
    view->ReplaceAttractor(2);
    EXPECT_FALSE(view->ParametersUnsaved());

    view->OnSearch(); // a search finds new parameters, and renders them quickly
    EXPECT_TRUE(view->ParametersUnsaved());
    EXPECT_FALSE(view->ImageUnsaved());
    EXPECT_EQ(UnsavedWorkLines(frame->Views()),
              QStringList{QStringLiteral("Sans Titre 1 : paramètres non enregistrés")});
    ASSERT_TRUE(frame->SaveAttractor(*view, dir.filePath(QStringLiteral("found.vtc"))));
    EXPECT_FALSE(view->ParametersUnsaved());

    view->iterationTarget = 100000;
    view->OnStart();
    EXPECT_TRUE(view->ImageUnsaved());
    LorenzOf(*view).c += 0.5;
    EXPECT_EQ(
        UnsavedWorkLines(frame->Views()),
        QStringList{QStringLiteral("Sans Titre 1 : image rendue et paramètres non enregistrés")});
    ASSERT_TRUE(frame->SaveImage(*view, dir.filePath(QStringLiteral("a.bmp"))));
    EXPECT_FALSE(view->ImageUnsaved());
    EXPECT_TRUE(view->ParametersUnsaved()); // a BMP holds no parameters
    view->OnStart();
    ASSERT_TRUE(frame->SaveImage(*view, dir.filePath(QStringLiteral("a.png"))));
    EXPECT_TRUE(UnsavedWorkLines(frame->Views()).isEmpty()); // a PNG holds both
    view->OnStart();
    view->ReplaceRenderer(kSolid); // a new renderer starts blank: no image left to lose
    EXPECT_FALSE(view->ImageUnsaved());

    LorenzOf(*view).c += 0.5;
    ASSERT_NE(frame->OpenParameterFile(dir.filePath(QStringLiteral("found.vtc")), view), nullptr);
    EXPECT_FALSE(view->ParametersUnsaved()); // what was just opened is in its file
}

TEST_F(CloseTest, EveryClosePathAsksOnceForAllAndCancelKeepsEverything) {
    ViewWindow* rendered = Rendered();
    ViewWindow* edited = NewView(2);
    LorenzOf(*edited).a += 1.0;
    const QString renderedCaption = rendered->windowTitle();
    closeAnswer = CloseAnswer::Cancel;
    const auto keptEverything = [&] {
        EXPECT_TRUE(frame->isVisible());
        EXPECT_EQ(App().openViewCount, 2);
        EXPECT_EQ(frame->Views().size(), 2);
        EXPECT_EQ(rendered->windowTitle(), renderedCaption);
        EXPECT_EQ(rendered->State(), ViewState::Rendered);
        EXPECT_TRUE(rendered->ImageUnsaved());
        EXPECT_TRUE(edited->ParametersUnsaved());
        EXPECT_TRUE(Palettes().renderWindow()->isVisible());
    };

    frame->OnQuit(); // Quitter: one question that names both views
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].size(), 2);
    keptEverything();
    EXPECT_FALSE(frame->close());                        // the frame's own close
    EXPECT_FALSE(Palettes().attractorWindow()->close()); // a palette's close (Alt+F4)
    EXPECT_EQ(questions.size(), 3u);
    EXPECT_EQ(questions[2].size(), 2);
    keptEverything();

    frame->OnClose(); // Fermer asks about the active view alone
    ASSERT_EQ(questions.size(), 4u);
    EXPECT_EQ(questions[3], QStringList{Text(kStrUnsavedParameters, edited->Title())});
    EXPECT_FALSE(rendered->parentWidget()->close()); // a view's own close
    EXPECT_EQ(questions[4], QStringList{Text(kStrUnsavedImage, rendered->Title())});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    keptEverything();
    EXPECT_TRUE(saveDialogs.empty());

    closeAnswer = CloseAnswer::Discard; // once more, for both at once, then gone
    frame->OnQuit();
    EXPECT_EQ(questions.size(), 6u);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(Palettes().renderWindow()->isVisible());
}

TEST_F(CloseTest, SaveAsksForWhatIsUnsavedAndACancelledDialogCancelsTheClose) {
    QTemporaryDir dir;
    ViewWindow* view = Rendered();
    LorenzOf(*view).c += 0.5;
    closeAnswer = CloseAnswer::Save;

    frame->OnClose(); // the image dialog cancelled: nothing saved, nothing closed
    EXPECT_EQ(saveDialogs, std::vector<SaveKind>{SaveKind::Image});
    EXPECT_EQ(App().openViewCount, 1);
    EXPECT_TRUE(view->ImageUnsaved());

    const QString bmp = dir.filePath(QStringLiteral("v.bmp"));
    fileNames = {bmp}; // a BMP, then the parameter dialog cancelled: the image stays saved
    frame->OnClose();
    EXPECT_EQ(saveDialogs,
              (std::vector<SaveKind>{SaveKind::Image, SaveKind::Image, SaveKind::Parameters}));
    EXPECT_TRUE(QFile::exists(bmp));
    EXPECT_FALSE(view->ImageUnsaved());
    EXPECT_EQ(App().openViewCount, 1);

    Messages().clear();
    fileNames = {dir.filePath(QStringLiteral("no/such/v.vtc"))}; // a save that fails
    frame->OnQuit();
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(frame->isVisible());

    const QString vtc = dir.filePath(QStringLiteral("v.vtc"));
    fileNames = {vtc};
    frame->OnQuit();
    EXPECT_EQ(saveDialogs.size(), 5u);
    EXPECT_FALSE(frame->isVisible());
    QFile saved(vtc);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("C=3.167000"));
}

TEST_F(CloseTest, AnImageSavedAsPngNeedsNoParameterFile) {
    QTemporaryDir dir;
    ViewWindow* view = Rendered();
    LorenzOf(*view).c += 0.5;
    closeAnswer = CloseAnswer::Save;
    fileNames = {dir.filePath(QStringLiteral("v.png"))};
    frame->OnClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(saveDialogs, std::vector<SaveKind>{SaveKind::Image});
    EXPECT_EQ(App().openViewCount, 0);
}

TEST_F(CloseTest, AQuitRefusedDuringARenderSaysWhy) {
    ViewWindow* view = Rendered();
    view->iterationTarget = 200000000;
    QString afterQuit;
    QString afterPaletteClose;
    QTimer::singleShot(0, view, [&, view] {
        frame->OnQuit();
        afterQuit = frame->StatusText(4);
        frame->SetStatusText(4, QString());
        Palettes().renderWindow()->close();
        afterPaletteClose = frame->StatusText(4);
        view->OnStop();
    });
    view->OnStart();
    EXPECT_EQ(afterQuit, Text(kStrCloseRefusedRender));
    EXPECT_EQ(afterPaletteClose, Text(kStrCloseRefusedRender));
    EXPECT_TRUE(questions.empty()); // refused before anything is asked
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->StatusText(4), QString()); // the stop cleared it
}

} // namespace
} // namespace vorticel::testing
