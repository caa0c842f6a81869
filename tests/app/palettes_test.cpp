// The two parameter palettes bound to a view.
#include "app/parameter_palettes.h"
#include "attractor/attractor.h"
#include "attractor/families/lorenz.h"
#include "props/property_palette.h"
#include "render/renderer.h"
#include "render/solid.h"
#include "tests/app/app_test_support.h"

#include <QComboBox>

namespace vorticel::testing {
namespace {

using PalettesTest = FrameTest;

QStringList RowNames(const PropertyPalette& rows) {
    QStringList names;
    for (std::int32_t i = 0; i < rows.RowCount(); ++i) {
        names << rows.RowAt(i)->caption;
    }
    return names;
}

FloatingPalettes& Palettes(MainFrame& frame) {
    return dynamic_cast<FloatingPalettes&>(*frame.Palettes());
}

void MakeClassicLorenz(ViewWindow& view) {
    auto& lorenz = dynamic_cast<Lorenz_2L&>(*view.GetAttractor());
    lorenz.a = 10;
    lorenz.b = 28;
    lorenz.c = 2.667;
    lorenz.dt = 0.01;
}

TEST_F(PalettesTest, ALorenzViewWithTheSolidRendererListsItsRows) {
    ViewWindow* view = NewView(2, 64, 48, kSolid);
    ASSERT_NE(view, nullptr);
    FloatingPalettes& palettes = Palettes(*frame);
    EXPECT_EQ(RowNames(*palettes.attractorWindow()->rows),
              (QStringList{QStringLiteral("Itérations"), QStringLiteral("A"), QStringLiteral("B"),
                           QStringLiteral("C"), QStringLiteral("dT")}));
    EXPECT_EQ(RowNames(*palettes.renderWindow()->rows),
              (QStringList{QStringLiteral("Largeur"), QStringLiteral("Hauteur"),
                           QStringLiteral("Mises à jour"), QStringLiteral("Echelle"),
                           QStringLiteral("Opacité"), QStringLiteral("Gamma"),
                           QStringLiteral("Rugosité")}));
    EXPECT_EQ(palettes.attractorWindow()->list->currentIndex(), 2);
    EXPECT_EQ(palettes.renderWindow()->list->currentIndex(), 4);
    EXPECT_EQ(palettes.attractorWindow()->windowTitle(), QStringLiteral("attracteur"));
    EXPECT_EQ(palettes.renderWindow()->windowTitle(), QStringLiteral("vue"));
    EXPECT_EQ(palettes.UpdateCount(), 10);
}

TEST_F(PalettesTest, ShadingRowsAreGreyedInThePreviewAndRebuildAFinishedImage) {
    ViewWindow* view = NewView(2, 64, 48, kSolid);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    PropertyPalette& rows = *Palettes(*frame).renderWindow()->rows;
    auto* gamma = dynamic_cast<NumProperty<float>*>(rows.FindProperty(QStringLiteral("Gamma")));
    ASSERT_NE(gamma, nullptr);
    EXPECT_FALSE(gamma->enabled); // only a finished image has shading to change
    view->iterationTarget = 200000;
    view->OnStart();
    EXPECT_TRUE(gamma->enabled);
    const std::int32_t count = view->GetAttractor()->count;
    const std::vector<std::uint8_t> before = view->GetRenderer()->GetImage().Shown();
    gamma->SetValue(3.0f);
    EXPECT_EQ(dynamic_cast<SolidRenderer&>(*view->GetRenderer()).Gamma(), 3.0f);
    EXPECT_NE(view->GetRenderer()->GetImage().Shown(), before); // the image was rebuilt
    EXPECT_EQ(view->GetAttractor()->count, count);              // without iterating again
    EXPECT_EQ(view->State(), ViewState::Rendered);
}

TEST_F(PalettesTest, RowTagsDecideTheReaction) {
    ViewWindow* view = NewView(2);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    PropertyPalette& attractorRows = *Palettes(*frame).attractorWindow()->rows;
    auto* iterations = dynamic_cast<NumProperty<std::int32_t>*>(
        attractorRows.FindProperty(QStringLiteral("Itérations")));
    ASSERT_NE(iterations, nullptr);
    view->SetState(ViewState::Rendered);
    iterations->SetValue(5000000); // no refit, no state change
    EXPECT_EQ(view->iterationTarget, 5000000);
    EXPECT_EQ(view->State(), ViewState::Rendered);
    auto* b = dynamic_cast<NumProperty<double>*>(attractorRows.FindProperty(QStringLiteral("B")));
    ASSERT_NE(b, nullptr);
    b->SetValue(24.0); // a parameter refits at once
    EXPECT_EQ(view->State(), ViewState::Preview);
    EXPECT_EQ(view->GetAttractor()->count, 20500);

    PropertyPalette& renderRows = *Palettes(*frame).renderWindow()->rows;
    auto* scale =
        dynamic_cast<NumProperty<double>*>(renderRows.FindProperty(QStringLiteral("Echelle")));
    ASSERT_NE(scale, nullptr);
    EXPECT_TRUE(scale->immediate);
    view->SetState(ViewState::Rendered);
    scale->SetValue(0.5);
    EXPECT_EQ(view->GetRenderer()->GetCamera().Zoom(), 0.5);
    EXPECT_EQ(view->State(), ViewState::Preview);
}

TEST_F(PalettesTest, TheFamilyAndRendererListsReplaceThem) {
    ViewWindow* view = NewView(2);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    FloatingPalettes& palettes = Palettes(*frame);
    palettes.renderWindow()->list->setCurrentIndex(kLight);
    EXPECT_EQ(view->GetRenderer()->Kind(), kLight);
    EXPECT_EQ(RowNames(*palettes.renderWindow()->rows).mid(4),
              (QStringList{QStringLiteral("Luminosité"), QStringLiteral("Gamma")}));
    palettes.attractorWindow()->list->setCurrentIndex(0);
    EXPECT_EQ(view->GetAttractor()->typeIndex, 0);
    EXPECT_EQ(RowNames(*palettes.attractorWindow()->rows).size(), 7); // Itérations, Degré, ...
}

TEST_F(PalettesTest, WidthAndHeightTakeEffect) {
    ViewWindow* view = NewView(2, 64, 48);
    MakeClassicLorenz(*view);
    view->FitAndShow(0);
    PropertyPalette& rows = *Palettes(*frame).renderWindow()->rows;
    auto* width =
        dynamic_cast<NumProperty<std::int32_t>*>(rows.FindProperty(QStringLiteral("Largeur")));
    ASSERT_NE(width, nullptr);
    width->SetValue(320);
    EXPECT_EQ(view->GetRenderer()->Width(), 320);
    EXPECT_EQ(view->width(), 320);
    EXPECT_EQ(view->State(), ViewState::Preview); // refitted for the new size
}

TEST_F(PalettesTest, ClosingTheLastViewEmptiesAndHidesThem) {
    NewView(2);
    FloatingPalettes& palettes = Palettes(*frame);
    EXPECT_TRUE(palettes.attractorWindow()->isVisible());
    frame->OnClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(palettes.attractorWindow()->rows->RowCount(), 0);
    EXPECT_EQ(palettes.renderWindow()->rows->RowCount(), 0);
    EXPECT_FALSE(palettes.attractorWindow()->isVisible());
}

} // namespace
} // namespace vorticel::testing
