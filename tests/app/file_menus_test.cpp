// Recent files, the examples, and opening files dropped on the frame.
#include "app/file_menus.h"
#include "app/text.h"
#include "attractor/attractor.h"
#include "render/renderer.h"
#include "tests/app/app_test_support.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

namespace vorticel::testing {
namespace {

struct FileMenusTest : FrameTest {
    void SetUp() override {
        QSettings().clear();
        FrameTest::SetUp();
    }
    void TearDown() override {
        FrameTest::TearDown();
        QSettings().clear();
    }
    QString Write(const QString& name, const QByteArray& text) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }
    QTemporaryDir dir;
    const QByteArray lorenz = "[Lorenz]\nA=10\nB=28\nC=2.667\ndT=0.01\n";
};

TEST_F(FileMenusTest, RecentFilesAreMostRecentFirstOnceEachAndOnlyThoseThatExist) {
    const QString a = Write(QStringLiteral("a.vtc"), lorenz);
    const QString b = Write(QStringLiteral("b.vtc"), lorenz);
    RecentFiles::Add(a);
    RecentFiles::Add(b);
    RecentFiles::Add(a);
    EXPECT_EQ(RecentFiles::List(), (QStringList{a, b}));
    QFile::remove(b);
    EXPECT_EQ(RecentFiles::List(), QStringList{a});
    for (int i = 0; i < RecentFiles::kMaximum + 3; ++i) {
        RecentFiles::Add(Write(QStringLiteral("f%1.vtc").arg(i), lorenz));
    }
    const QStringList list = RecentFiles::List();
    EXPECT_EQ(list.size(), RecentFiles::kMaximum);
    EXPECT_EQ(list.front(), dir.filePath(QStringLiteral("f%1.vtc").arg(RecentFiles::kMaximum + 2)));
}

TEST_F(FileMenusTest, OpeningAndSavingFillTheRecentMenu) {
    const QString a = Write(QStringLiteral("a.vtc"), lorenz);
    ViewWindow* view = frame->OpenInNewView(a);
    ASSERT_NE(view, nullptr);
    const QString saved = dir.filePath(QStringLiteral("saved.vtc"));
    ASSERT_TRUE(frame->SaveAttractor(*view, saved));
    frame->Files()->Refresh();
    const QList<QAction*> items = frame->Files()->recentMenu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[0]->text().endsWith(saved));
    EXPECT_TRUE(items[1]->text().endsWith(a));
    items[1]->trigger(); // opens the file again, in a view of its own
    EXPECT_EQ(frame->Views().size(), 2);
}

TEST_F(FileMenusTest, EveryExampleOpensFramedWithAQuickRender) {
    const QStringList examples = ExampleFiles();
    ASSERT_GE(examples.size(), 9);
    const QList<QAction*> items = frame->Files()->examplesMenu()->actions();
    ASSERT_EQ(items.size(), examples.size());
    std::vector<bool> family(9, false);
    for (int i = 0; i < items.size(); ++i) {
        items[i]->trigger();
        ViewWindow* view = App().activeView;
        ASSERT_NE(view, nullptr);
        SCOPED_TRACE(examples[i].toStdString());
        EXPECT_EQ(view->State(), ViewState::Rendered);
        family[static_cast<std::size_t>(view->GetAttractor()->typeIndex)] = true;
        const std::vector<std::uint8_t>& image = view->GetRenderer()->GetImage().Shown();
        EXPECT_LT(std::count(image.begin(), image.end(), 0), static_cast<long>(image.size()));
        frame->OnClose();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(std::count(family.begin(), family.end(), true), 9); // one or more per family
}

TEST_F(FileMenusTest, FilesDroppedOnTheFrameOpenInViewsOfTheirOwn) {
    const QString a = Write(QStringLiteral("a.vtc"), lorenz);
    const QString b = Write(QStringLiteral("b.vtc"), "[Icon]\nDegr\xe9=5\nAlpha=-2.5\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame.get(), &drop);
    ASSERT_EQ(frame->Views().size(), 2);
    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(dir.filePath(QStringLiteral("notes.txt")))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    refused.ignore();
    QCoreApplication::sendEvent(frame.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(FileMenusTest, AFileThatCannotBeReadLeavesNoViewBehind) {
    // A header, then only a line longer than any the program writes.
    const QString bad =
        Write(QStringLiteral("bad.vtc"), "[Lorenz]\nA=" + QByteArray(100000, '1') + "\n");
    EXPECT_EQ(frame->OpenInNewView(bad), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame->Views().isEmpty());
    ASSERT_FALSE(Messages().empty());
    EXPECT_TRUE(
        Messages().back().text.startsWith(QStringLiteral("Impossible d'ouvrir le fichier ") + bad));
    EXPECT_TRUE(RecentFiles::List().isEmpty()); // nothing to reopen
}

TEST_F(FileMenusTest, RecentFilesListOnlyWhatOpensAndAFileThatFailsLeavesWithAReason) {
    ViewWindow* view = NewView(2);
    ASSERT_NE(view, nullptr);
    const QString bmp = dir.filePath(QStringLiteral("image.bmp"));
    const QString png = dir.filePath(QStringLiteral("image.png"));
    ASSERT_TRUE(frame->SaveImage(*view, bmp));
    ASSERT_TRUE(frame->SaveImage(*view, png));
    const QString good = Write(QStringLiteral("good.vtc"), lorenz);
    const QString spoilt = Write(QStringLiteral("spoilt.vtc"), lorenz);
    RecentFiles::Add(good);
    RecentFiles::Add(spoilt);
    // A list kept by an earlier version may still name a BMP: it is not offered.
    QStringList kept = QSettings().value(QStringLiteral("recentFiles")).toStringList();
    kept.prepend(bmp);
    QSettings().setValue(QStringLiteral("recentFiles"), kept);
    EXPECT_EQ(RecentFiles::List(), (QStringList{spoilt, good, png}));

    Write(QStringLiteral("spoilt.vtc"), "[Lorenz]\nA=" + QByteArray(100000, '1') + "\n");
    frame->Files()->Refresh();
    Messages().clear();
    frame->Files()->recentMenu()->actions().front()->trigger();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(Messages()[0].text.contains(spoilt));
    EXPECT_TRUE(Messages()[0].text.contains(Text(kStrFileLineTooLong)))
        << Messages()[0].text.toStdString();
    EXPECT_EQ(RecentFiles::List(), (QStringList{good, png}));
    const QList<QAction*> items = frame->Files()->recentMenu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[0]->text().endsWith(good));
}

TEST_F(FileMenusTest, ExamplesAreListedByTheirProperNames) {
    const QList<QAction*> items = frame->Files()->examplesMenu()->actions();
    const QStringList examples = ExampleFiles();
    ASSERT_EQ(items.size(), examples.size());
    QStringList names;
    for (int id = kStrExampleFirst; !Text(id).isEmpty(); ++id) {
        names.append(Text(id));
    }
    for (int i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(examples[i].toStdString());
        // Every shipped example has a proper name of its own (a new one needs its entry).
        EXPECT_TRUE(names.contains(items[i]->text())) << items[i]->text().toStdString();
    }
    EXPECT_EQ(ExampleName(QStringLiteral("/x/icone-16-branches.vtc")),
              QStringLiteral("Icône à 16 branches"));
    EXPECT_EQ(ExampleName(QStringLiteral("/x/polynome-a-ailes.vtc")),
              QStringLiteral("Polynôme A ailes"));
    EXPECT_EQ(ExampleName(QStringLiteral("/x/lorenz-spirale-double.vtc")),
              QStringLiteral("Lorenz spirale double"));
}

} // namespace
} // namespace vorticel::testing
