// The frame's windows as a user sees them: the palettes as tool windows of the frame, where
// new views go, views larger than the frame, the program's icon and menu captions.
#include "app/file_dialogs.h"
#include "app/overview.h"
#include "app/parameter_palettes.h"
#include "app/text.h"
#include "app/window_cascade.h"
#include "props/property_palette.h"
#include "tests/app/app_test_support.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTreeView>
#include <QWindow>

namespace vorticel::testing {
namespace {

using FrameWindows = FrameTest;

FloatingPalettes& Palettes(MainFrame& frame) {
    return dynamic_cast<FloatingPalettes&>(*frame.Palettes());
}

QImage IconImage(const QIcon& icon) {
    return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST_F(FrameWindows, PalettesAreToolWindowsOfTheFrameNotAboveEverything) {
    ASSERT_NE(NewView(2), nullptr);
    QCoreApplication::processEvents();
    for (PaletteWindow* window :
         {Palettes(*frame).attractorWindow(), Palettes(*frame).renderWindow()}) {
        SCOPED_TRACE(window->windowTitle().toStdString());
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowType(), Qt::Tool);
        // Above their frame only: the dialogs and message boxes of the program cover them.
        EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(window->parentWidget(), frame.get());
        ASSERT_NE(window->windowHandle(), nullptr);
        EXPECT_EQ(window->windowHandle()->transientParent(), frame->windowHandle());
    }
}

TEST_F(FrameWindows, EveryWindowShowsTheProgramsIcon) {
    ViewWindow* view = NewView(0);
    ASSERT_NE(view, nullptr);
    const QImage icon = IconImage(ProgramIcon());
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(IconImage(QApplication::windowIcon()), icon);
    EXPECT_EQ(IconImage(frame->windowIcon()), icon);
    EXPECT_EQ(IconImage(view->parentWidget()->windowIcon()), icon); // not Qt's logo
    EXPECT_EQ(IconImage(Palettes(*frame).renderWindow()->windowIcon()), icon);
}

// The offscreen screen is 800 x 600.
TEST_F(FrameWindows, NewWindowsCascadeClearOfThePalettes) {
    frame->resize(800, 600);
    QCoreApplication::processEvents();
    std::vector<QWidget*> windows;
    for (int i = 0; i < 2; ++i) {
        ViewWindow* view = NewView(i, 160, 120);
        ASSERT_NE(view, nullptr);
        windows.push_back(view->parentWidget());
    }
    QCoreApplication::processEvents();
    windows.push_back(frame->OpenOverview()->parentWidget());
    QCoreApplication::processEvents();
    const QRect palettes = Palettes(*frame).Footprint();
    ASSERT_FALSE(palettes.isEmpty());
    const QWidget* viewport = frame->Area()->viewport();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        SCOPED_TRACE(i);
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_NE(windows[i]->pos(), windows[j]->pos()); // none lies exactly on another
        }
        const QRect global(viewport->mapToGlobal(windows[i]->geometry().topLeft()),
                           windows[i]->size());
        EXPECT_FALSE(global.intersects(palettes)) // the overview's "Démarrer" too
            << global.x() << "," << global.y() << " " << global.width() << "x" << global.height()
            << " palettes " << palettes.x() << "," << palettes.y() << " " << palettes.width() << "x"
            << palettes.height();
        EXPECT_TRUE(viewport->rect().contains(windows[i]->geometry()));
    }
}

TEST_F(FrameWindows, AViewLargerThanTheFrameScrollsAndItsSizeRowsShowTheImageSize) {
    frame->resize(800, 600);
    ViewWindow* view = NewView(2, 6552, 480);
    ASSERT_NE(view, nullptr);
    QCoreApplication::processEvents();
    QScrollBar* across = frame->Area()->horizontalScrollBar();
    EXPECT_TRUE(across->isVisible());
    EXPECT_GE(across->maximum(), 6552 - frame->Area()->viewport()->width());
    across->setValue(across->maximum()); // the image's right edge comes into sight
    QCoreApplication::processEvents();
    const QWidget* window = view->parentWidget();
    EXPECT_LE(window->geometry().right(), frame->Area()->viewport()->width() + 1);
    PropertyPalette& rows = *Palettes(*frame).renderWindow()->rows;
    auto* width = dynamic_cast<NumProperty<std::int32_t>*>(rows.FindProperty(Text(kStrWidth)));
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->value, 6552);
}

TEST_F(FrameWindows, PalettesFollowTheFrameWhenItGrows) {
    frame->resize(500, 400);
    ASSERT_NE(NewView(2), nullptr);
    QCoreApplication::processEvents();
    frame->resize(800, 600); // as a window manager maximises it after the start
    QCoreApplication::processEvents();
    const QWidget* client = frame->centralWidget();
    const int areaRight = client->mapToGlobal(QPoint(client->width() - 1, 0)).x();
    // Within what the window manager's borders may add.
    EXPECT_NEAR(Palettes(*frame).attractorWindow()->frameGeometry().right(), areaRight, 4);
    EXPECT_NEAR(Palettes(*frame).renderWindow()->frameGeometry().right(), areaRight, 4);
}

TEST(WindowCascade, DownTheDiagonalToAFreePlaceInsideTheFreePart) {
    const QRect free(0, 0, 500, 400);
    const QSize small(200, 150);
    EXPECT_EQ(CascadePosition(free, small, 20, {}), QPoint(0, 0));
    EXPECT_EQ(CascadePosition(free, small, 20, {QPoint(0, 0), QPoint(20, 20)}), QPoint(40, 40));
    // Pushed back inside where the diagonal would carry it out.
    EXPECT_EQ(CascadePosition(free, QSize(470, 150), 20, {QPoint(0, 0)}), QPoint(20, 20));
    EXPECT_EQ(CascadePosition(free, QSize(470, 150), 20, {QPoint(0, 0), QPoint(20, 20)}),
              QPoint(30, 40));
    // Wider than the free part: the first place no other window holds.
    EXPECT_EQ(CascadePosition(free, QSize(6552, 480), 20, {QPoint(0, 0)}), QPoint(20, 20));
}

TEST(FileDialogs, QtsOwnDialogShowsNoTypeColumnAndWholeSizesAndDates) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    HideTypeColumn(dialog);
    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(details, nullptr); // the name Qt gives its detail view
    EXPECT_TRUE(details->header()->isSectionHidden(2));
    EXPECT_FALSE(details->header()->isSectionHidden(0));
    EXPECT_EQ(details->header()->sectionResizeMode(1), QHeaderView::ResizeToContents);
    EXPECT_EQ(details->header()->sectionResizeMode(3), QHeaderView::ResizeToContents);
}

} // namespace
} // namespace vorticel::testing
