// The main frame, the new-attractor dialog, file actions and OpenGL messages.
#include "app/gl_errors.h"
#include "app/new_dialog.h"
#include "app/overview.h"
#include "app/palette_window.h"
#include "app/parameter_palettes.h"
#include "attractor/attractor.h"
#include "render/renderer.h"
#include "tests/app/app_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QUndoStack>
#include <cerrno>
#include <cstring>

namespace vorticel::testing {
namespace {

using FrameActions = FrameTest;

// Writes `bytes` to `name` in `dir`; returns the path.
QString WriteFile(const QTemporaryDir& dir, const char* name, const char* bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QStringList MenuTitles(const MainFrame& frame) {
    QStringList titles;
    for (const QAction* action : frame.menuBar()->actions()) {
        titles << action->text();
    }
    return titles;
}

TEST_F(FrameActions, StartsWithOnlyNewOpenAndQuit) {
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Vorticel v 0.1"));
    EXPECT_TRUE(frame->newAction->isVisible());
    EXPECT_TRUE(frame->openAction->isVisible());
    EXPECT_TRUE(frame->quitAction->isVisible());
    EXPECT_FALSE(frame->saveParametersAsAction->isVisible());
    EXPECT_FALSE(frame->saveImageAsAction->isVisible());
    EXPECT_FALSE(frame->closeAction->isVisible());
    EXPECT_EQ(frame->newAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(MenuTitles(*frame), QStringList{QStringLiteral("&Fichier")});
    EXPECT_EQ(frame->StatusText(2), QStringLiteral("i/s :"));
}

TEST_F(FrameActions, TheActiveViewsMenusFollowTheFileAndEditMenus) {
    NewView(2);
    EXPECT_EQ(MenuTitles(*frame),
              (QStringList{QStringLiteral("&Fichier"), QStringLiteral("&Édition"),
                           QStringLiteral("&Attracteur"), QStringLiteral("&Vue")}));
    ViewWindow* view = App().activeView;
    EXPECT_EQ(view->searchAction->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(view->centerAction->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F6));
    EXPECT_TRUE(view->autoAdjustAction->isChecked());
}

TEST_F(FrameActions, OpeningWithoutAViewCreatesOneOfTheFilesFamily) {
    QTemporaryDir dir;
    const QString path =
        WriteFile(dir, "l.vtc", "[Lorenz]\r\nA=10\r\nB=28\r\nC=2.667\r\ndT=0.01\r\n");
    ViewWindow* view = frame->OpenParameterFile(path, nullptr);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetAttractor()->typeIndex, 2);
    EXPECT_EQ(view->State(), ViewState::Preview);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("l.vtc - Lorenz (aperçu)")); // the file's name
}

TEST_F(FrameActions, AFileBringsItsFamilyIntoAnyViewInOneUndoStep) {
    QTemporaryDir dir;
    const QString path =
        WriteFile(dir, "l.vtc", "[Lorenz]\r\nA=10\r\nB=28\r\nC=2.667\r\ndT=0.01\r\n");
    const std::vector<double> fromFile =
        frame->OpenParameterFile(path, nullptr)->TakeSnapshot().parameters;
    ViewWindow* view = NewView(3); // Pickover: A, B, C as Lorenz has, and D
    EXPECT_EQ(view->Title(), QStringLiteral("Sans Titre 1")); // the file's view took no number
    const ViewSnapshot before = view->TakeSnapshot();
    const int steps = view->History()->count();

    EXPECT_EQ(frame->OpenParameterFile(path, view), view);
    EXPECT_EQ(view->GetAttractor()->typeIndex, 2);
    EXPECT_EQ(view->TakeSnapshot().parameters, fromFile); // as a new view opens it
    EXPECT_EQ(view->windowTitle(), QStringLiteral("l.vtc - Lorenz (aperçu)"));
    auto& palettes = dynamic_cast<FloatingPalettes&>(*frame->Palettes());
    EXPECT_EQ(palettes.attractorWindow()->list->currentIndex(), 2); // the palette follows
    ASSERT_EQ(view->History()->count(), steps + 1);
    view->History()->undo();
    EXPECT_EQ(view->GetAttractor()->typeIndex, 3);
    EXPECT_EQ(view->TakeSnapshot().parameters, before.parameters);

    // Refused with a message, the view left as it was: a header of no family of ours, and
    // a file of another family that sets none of its parameters.
    for (const char* bytes : {"[Mandelbrot]\nA=1\n", "[Lorenz]\nX=1\n"}) {
        Messages().clear();
        const QString bad = WriteFile(dir, "bad.vtc", bytes);
        EXPECT_EQ(frame->OpenParameterFile(bad, view), view);
        ASSERT_EQ(Messages().size(), 1u) << bytes;
        EXPECT_TRUE(Messages()[0].text.contains(bad));
        EXPECT_EQ(view->GetAttractor()->typeIndex, 3);
        EXPECT_EQ(view->TakeSnapshot().parameters, before.parameters);
        EXPECT_EQ(view->History()->count(), steps + 1);
    }
    EXPECT_EQ(Messages()[0].text.section(QLatin1Char('\n'), 0, 0),
              QStringLiteral("Impossible d'ouvrir le fichier ") + dir.filePath("bad.vtc"));
}

TEST_F(FrameActions, FileErrorsAreReportedWithTheFileName) {
    QTemporaryDir dir;
    const QString noFamily = WriteFile(dir, "n.vtc", "A=1\n");
    EXPECT_EQ(frame->OpenParameterFile(noFamily, nullptr), nullptr);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(Messages().back().text.contains(noFamily));
    EXPECT_EQ(App().openViewCount, 0);

    ViewWindow* view = NewView(2);
    const QString missing = dir.filePath(QStringLiteral("missing.vtc"));
    frame->OpenParameterFile(missing, view);
    // What failed on the first line, why on the second (in the system's words here).
    const QString noEntry = QString::fromLocal8Bit(std::strerror(ENOENT));
    EXPECT_EQ(Messages().back().text,
              QStringLiteral("Impossible d'ouvrir le fichier ") + missing + "\n" + noEntry);

    const QString badPath = dir.filePath(QStringLiteral("no/such/x.bmp"));
    EXPECT_FALSE(frame->SaveImage(*view, badPath));
    EXPECT_EQ(Messages().back().text,
              QStringLiteral("Impossible de créer le fichier ") + badPath + "\n" + noEntry);

    // A read-only file is refused as a text editor refuses it, and left as it was.
    const QString readOnly = WriteFile(dir, "r.vtc", "[Lorenz]\nA=1\n");
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_FALSE(frame->SaveAttractor(*view, readOnly));
    EXPECT_EQ(Messages().back().text,
              QStringLiteral("Impossible de créer le fichier ") + readOnly +
                  QStringLiteral("\nLe fichier est en lecture seule : rien n'a été écrit."));
    QFile kept(readOnly);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("[Lorenz]\nA=1\n"));
    EXPECT_EQ(view->Title(), QStringLiteral("Sans Titre 1")); // unchanged after a failed save
    EXPECT_FALSE(frame->SaveAttractor(*view, dir.filePath(QStringLiteral("no/such/x.vtc"))));

    // A value outside an integer parameter's bounds: the line named, no view opened for it.
    const QString outOfRange = WriteFile(dir, "d.vtc", "[Icon]\nAlpha=1\nDegré=100\n");
    EXPECT_EQ(frame->OpenParameterFile(outOfRange, nullptr), nullptr);
    EXPECT_EQ(Messages().back().text,
              QStringLiteral("Impossible d'ouvrir le fichier ") + outOfRange +
                  QStringLiteral("\nLa valeur de la ligne 3 (Degré=100) sort des bornes de "
                                 "son paramètre."));
}

TEST_F(FrameActions, SavingTheImageRenamesTheView) {
    QTemporaryDir dir;
    ViewWindow* view = NewView(2);
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));
    ASSERT_TRUE(frame->SaveImage(*view, path));
    EXPECT_TRUE(view->windowTitle().startsWith(path + QStringLiteral(" - Lorenz")));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.read(2), QByteArray("BM"));
    EXPECT_EQ(saved.size(), 54 + 64 * 48 * 3);
}

TEST(NewDialog, RemembersTheLastChoices) {
    App() = AppState{};
    {
        NewAttractorDialog dialog(nullptr);
        EXPECT_EQ(dialog.familyBox->currentText(), QStringLiteral("Icon"));
        EXPECT_EQ(dialog.widthBox->text(), QStringLiteral("640"));
        EXPECT_EQ(dialog.heightBox->text(), QStringLiteral("480"));
        EXPECT_EQ(dialog.rendererBox->currentText(), QStringLiteral("Gaz"));
        EXPECT_EQ(dialog.widthBox->maxLength(), 4);
        dialog.familyBox->setCurrentIndex(2);
        dialog.widthBox->setText(QStringLiteral("1024"));
        dialog.heightBox->setText(QStringLiteral("768"));
        dialog.rendererBox->setCurrentIndex(4);
        dialog.OnOk();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    NewAttractorDialog again(nullptr);
    EXPECT_EQ(again.familyBox->currentText(), QStringLiteral("Lorenz"));
    EXPECT_EQ(again.widthBox->text(), QStringLiteral("1024"));
    EXPECT_EQ(again.heightBox->text(), QStringLiteral("768"));
    EXPECT_EQ(again.rendererBox->currentText(), QStringLiteral("Solide"));
}

TEST(NewDialog, StaysOpenAndStoresNothingUntilTheSizeIsValid) {
    App() = AppState{};
    Messages().clear();
    NewAttractorDialog dialog(nullptr);
    dialog.familyBox->setCurrentIndex(3);
    const struct {
        const char* width;
        const char* height;
        const char* message;
    } cases[] = {
        {"abc", "480", "'abc' n'est pas une valeur entière correcte"},
        {"640", "4x", "'4x' n'est pas une valeur entière correcte"},
        {"3", "480", "La largeur doit valoir au moins 4."},
        {"640", "0", "La hauteur doit valoir au moins 1."},
        {"-12", "480", "La largeur doit valoir au moins 4."},
    };
    for (const auto& c : cases) {
        dialog.widthBox->setText(QString::fromUtf8(c.width));
        dialog.heightBox->setText(QString::fromUtf8(c.height));
        EXPECT_EQ(dialog.ValidationError(), QString::fromUtf8(c.message));
        dialog.OnOk();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(App().newFamily, 0); // nothing stored
        EXPECT_EQ(App().newWidth, 640);
    }
    EXPECT_EQ(Messages().size(), std::size(cases));
}

TEST(GlMessages, ReportDrainsTheQueueUntilInvalidOperation) {
    Messages().clear();
    ReportGLError(0, [] { return 0; });
    EXPECT_TRUE(Messages().empty()); // nothing pending, nothing shown
    std::vector<int> queue = {0x0500, 0x0505, 0x0502, 0x0501};
    std::size_t next = 0;
    ReportGLError(0, [&] { return next < queue.size() ? queue[next++] : 0; });
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0].caption, QStringLiteral("OpenGL application error"));
    EXPECT_EQ(Messages()[0].text, QStringLiteral("Invalid enum."));
    EXPECT_EQ(Messages()[1].text, QStringLiteral("Out of memory."));
    ReportGLError(kGlNoPixelFormat);
    EXPECT_EQ(Messages().back().text, QStringLiteral("Failed to find acceptable pixel format."));
    EXPECT_EQ(GlErrorMessage(0x1234), QString());
}

TEST(StatusTexts, DurationsAreTimesOfDayThatWrapAfterADay) {
    const QString hour = FormatDuration(3661000);
    EXPECT_TRUE(hour.contains(QStringLiteral("01:01:01"))) << hour.toStdString();
    EXPECT_EQ(FormatDuration(3661000 + 24LL * 3600 * 1000), hour);
}

} // namespace
} // namespace vorticel::testing

namespace vorticel::testing {
namespace {

TEST_F(FrameActions, OpeningIntoANewViewKeepsTheDialogsFamily) {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "p.vtc", "[Pickover]\nA=2.24\nB=0.43\nC=-0.65\nD=-2.43\n");
    App().newFamily = 7;
    ViewWindow* view = frame->OpenParameterFile(path, nullptr);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetAttractor()->typeIndex, 3);
    EXPECT_EQ(App().newFamily, 7);
}

TEST_F(FrameActions, AViewThatCannotBeBuiltLeavesNoTrace) {
    EXPECT_EQ(NewView(2, 60000, 60000), nullptr);
    ASSERT_FALSE(Messages().empty());
    EXPECT_TRUE(Messages().back().text.startsWith(QStringLiteral("Image trop grande")));
    EXPECT_EQ(App().openViewCount, 0);
    EXPECT_FALSE(frame->closeAction->isVisible());
    EXPECT_FALSE(frame->saveImageAsAction->isVisible());
}

TEST_F(FrameActions, CloseActsOnTheActiveViewEvenWhenAnOverviewHasTheFocus) {
    ViewWindow* view = NewView(2);
    OverviewWindow* overview = frame->OpenOverview();
    frame->Area()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(overview->parentWidget()));
    EXPECT_EQ(App().activeView, view);
    frame->OnClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(App().openViewCount, 0);
    EXPECT_EQ(frame->Overviews().size(), 1);
}

} // namespace
} // namespace vorticel::testing
