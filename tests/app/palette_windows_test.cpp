// The palette windows as a user meets them: image-size rows, quitting through a palette,
// places on small and large screens, Qt's dialogs in French.
#include "app/palette_placement.h"
#include "app/parameter_palettes.h"
#include "app/qt_texts.h"
#include "app/text.h"
#include "attractor/attractor.h"
#include "props/property_palette.h"
#include "render/colour.h"
#include "render/renderer.h"
#include "tests/app/app_test_support.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTranslator>
#include <algorithm>

namespace vorticel::testing {
namespace {

using PaletteWindows = FrameTest;

FloatingPalettes& Palettes(MainFrame& frame) {
    return dynamic_cast<FloatingPalettes&>(*frame.Palettes());
}

NumProperty<std::int32_t>& SizeRow(MainFrame& frame, int textId) {
    PropertyPalette& rows = *Palettes(frame).renderWindow()->rows;
    auto* row = dynamic_cast<NumProperty<std::int32_t>*>(rows.FindProperty(Text(textId)));
    EXPECT_NE(row, nullptr);
    return *row;
}

TEST_F(PaletteWindows, SizeRowsFollowTheDialogsRulesAndShowTheSizeInUse) {
    ViewWindow* view = NewView(2, 64, 48);
    ASSERT_NE(view, nullptr);
    QCoreApplication::processEvents();
    Messages().clear(); // what creating the view said (no OpenGL here)
    NumProperty<std::int32_t>& width = SizeRow(*frame, kStrWidth);
    NumProperty<std::int32_t>& height = SizeRow(*frame, kStrHeight);

    width.SetValue(2); // below 4: refused with the dialog's message, the old size kept
    QCoreApplication::processEvents();
    EXPECT_EQ(view->GetRenderer()->Width(), 64);
    EXPECT_EQ(width.value, 64);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, Text(kStrWidthTooSmall));

    height.SetValue(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->GetRenderer()->Height(), 48);
    EXPECT_EQ(height.value, 48);
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1].text, Text(kStrHeightTooSmall));

    width.SetValue(101); // taken, rounded down to a multiple of 4, and shown so
    EXPECT_EQ(view->GetRenderer()->Width(), 100);
    EXPECT_EQ(width.value, 100);
    EXPECT_EQ(view->width(), 100);

    width.SetValue(65536); // would wrap to 0 once rounded
    QCoreApplication::processEvents();
    EXPECT_EQ(view->GetRenderer()->Width(), 100);
    EXPECT_EQ(width.value, 100);
    ASSERT_EQ(Messages().size(), 3u);
    EXPECT_EQ(Messages()[2].text, Text(kStrImageTooLarge, QStringLiteral("65536 x 48")));
    EXPECT_EQ(Messages()[2].kind, MessageKind::Warning);
}

TEST_F(PaletteWindows, QuittingWithAViewOpenClosesThePalettesToo) {
    ASSERT_NE(NewView(2), nullptr);
    FloatingPalettes& palettes = Palettes(*frame);
    ASSERT_TRUE(palettes.renderWindow()->isVisible());
    frame->OnQuit();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(palettes.attractorWindow()->isVisible());
    EXPECT_FALSE(palettes.renderWindow()->isVisible());
    // Qt's quit closes every window left and stops at one that refuses.
    EXPECT_TRUE(palettes.attractorWindow()->close());
}

TEST_F(PaletteWindows, ClosingAPaletteQuitsUnlessAViewRenders) {
    ASSERT_NE(NewView(2), nullptr);
    FloatingPalettes& palettes = Palettes(*frame);
    App().renderRunning = true;
    EXPECT_FALSE(palettes.renderWindow()->close());
    EXPECT_TRUE(frame->isVisible());
    App().renderRunning = false;
    EXPECT_TRUE(palettes.renderWindow()->close());
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(palettes.attractorWindow()->isVisible());
}

TEST_F(PaletteWindows, ASpeedColouredQuickRenderWithoutAutomaticAdjustIsNotBlack) {
    QTemporaryDir dir;
    // An icon that stands inside the default frame, so the camera is never fitted.
    const QString path = dir.filePath(QStringLiteral("icon.vtc"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Icon]\nDegr\xe9=5\nAlpha=-2.5\nBeta=-0.1\nLambda=1.6\nGamma=0.9\nOmega=0.2\n");
    file.close();
    for (const int renderer : {kLight, kPlasma}) {
        ViewWindow* view = NewView(0, 64, 48, renderer);
        ASSERT_NE(view, nullptr);
        view->autoAdjustAction->setChecked(false);
        view->OnAutoAdjustToggled();
        frame->OpenParameterFile(path, view); // a preview fill, no framing pass
        ASSERT_EQ(view->State(), ViewState::Preview);
        view->QuickRender(); // as a search ends
        ASSERT_EQ(view->State(), ViewState::Rendered);
        const std::vector<std::uint8_t>& image = view->GetRenderer()->GetImage().Shown();
        EXPECT_LT(std::count(image.begin(), image.end(), 0), static_cast<long>(image.size()))
            << "renderer " << renderer;
    }
}

TEST(PalettePlacement, BothWhollyInsideTheAreaWithoutOverlapOnAnyScreen) {
    const QMargins decoration(1, 20, 1, 4);
    // Client sizes of the tallest palettes: Sprott's 31 rows, the solid renderer's 7 rows.
    const QSize sprott(300, 31 * 20 + 27);
    const QSize small(300, 160);
    const QSize solid(300, 7 * 21 + 27);
    for (const QRect& area : {QRect(0, 50, 1024, 680), QRect(0, 50, 1400, 810),
                              QRect(0, 50, 1600, 910), QRect(100, 300, 800, 200)}) {
        for (const auto& [a, r] : {std::pair{sprott, solid}, std::pair{small, solid},
                                   std::pair{small, small}, std::pair{sprott, sprott}}) {
            const PalettePlacement p = PlacePalettes(area, decoration, a, r);
            SCOPED_TRACE(QStringLiteral("area %1x%2, heights %3 and %4")
                             .arg(area.width())
                             .arg(area.height())
                             .arg(a.height())
                             .arg(r.height())
                             .toStdString());
            EXPECT_TRUE(area.contains(p.attractor));
            EXPECT_TRUE(area.contains(p.render));
            EXPECT_FALSE(p.attractor.intersects(p.render));
            EXPECT_EQ(p.attractor.top(), area.top());
            EXPECT_EQ(p.render.bottom(), area.bottom());
            EXPECT_EQ(p.attractor.right(), area.right());
            // A palette whose rows fit is not cut; the other keeps a fair share.
            const int share = area.height() / 2;
            EXPECT_GE(p.render.height(), std::min(r.height() + 24, share));
            EXPECT_GE(p.attractor.height(),
                      std::min(a.height() + 24, area.height() - p.render.height()));
        }
    }
}

TEST(QtTexts, StandardDialogsSpeakFrench) {
    QTranslator translator;
    ASSERT_TRUE(InstallFrenchQtTexts(translator)) << "Qt's French translations are missing";
    EXPECT_EQ(QFileDialog::tr("Look in:"), QStringLiteral("Voir dans :"));
    QCoreApplication::removeTranslator(&translator);
}

} // namespace
} // namespace vorticel::testing
