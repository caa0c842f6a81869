// Undo and redo of every kind of edit of a view, restoring exact values.
#include "app/edit_menu.h"
#include "app/parameter_palettes.h"
#include "app/text.h"
#include "attractor/attractor.h"
#include "attractor/families/lorenz.h"
#include "props/property_palette.h"
#include "render/colour.h"
#include "render/renderer.h"
#include "render/shading_settings.h"
#include "render/solid.h"
#include "tests/app/app_test_support.h"

#include <QAction>
#include <QMouseEvent>
#include <QUndoGroup>
#include <QUndoStack>
#include <QWheelEvent>

namespace vorticel::testing {
namespace {

struct UndoTest : FrameTest {
    // A Lorenz view framed on the classic attractor, with nothing in its history yet.
    ViewWindow* ClassicLorenz(int renderer = kGas) {
        ViewWindow* view = NewView(2, 64, 48, renderer);
        auto& lorenz = dynamic_cast<Lorenz_2L&>(*view->GetAttractor());
        lorenz.a = 10;
        lorenz.b = 28;
        lorenz.c = 2.667;
        lorenz.dt = 0.01;
        view->FitAndShow(0);
        view->RecordEdit(QStringLiteral("setup"));
        view->History()->clear();
        return view;
    }
    FloatingPalettes& Palettes() { return dynamic_cast<FloatingPalettes&>(*frame->Palettes()); }
    template <class T> NumProperty<T>& Row(PaletteWindow* window, const QString& name) {
        auto* row = dynamic_cast<NumProperty<T>*>(window->rows->FindProperty(name));
        EXPECT_NE(row, nullptr) << name.toStdString();
        return *row;
    }
    void Press(PropertyPalette& rows, const Property& row) {
        const QPoint at(2, row.top + row.height / 2); // on the label: a new gesture
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), rows.mapToGlobal(QPointF(at)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&rows, &press);
    }
    EditMenu& Editing() { return *frame->Editing(); }
};

TEST_F(UndoTest, AParameterEditIsUndoneAndRedoneExactlyAndNamed) {
    ViewWindow* view = ClassicLorenz();
    auto& lorenz = dynamic_cast<Lorenz_2L&>(*view->GetAttractor());
    const ViewSnapshot before = view->TakeSnapshot();
    EXPECT_FALSE(Editing().undoAction->isEnabled());
    NumProperty<double>& b = Row<double>(Palettes().attractorWindow(), QStringLiteral("B"));
    b.SetValue(27.123456789012345);
    EXPECT_EQ(lorenz.b, 27.123456789012345);
    const ViewSnapshot after = view->TakeSnapshot();
    ASSERT_TRUE(Editing().undoAction->isEnabled());
    EXPECT_EQ(Editing().undoAction->text(), QStringLiteral("&Annuler : B"));

    Editing().OnUndo();
    EXPECT_EQ(lorenz.b, 28.0);
    EXPECT_EQ(view->TakeSnapshot().parameters, before.parameters);
    EXPECT_TRUE(view->TakeSnapshot().camera == before.camera); // the automatic fit undone too
    EXPECT_EQ(b.value, 28.0);                                  // the row shows it
    EXPECT_EQ(view->State(), ViewState::Preview);
    EXPECT_EQ(Editing().redoAction->text(), QStringLiteral("&Rétablir : B"));

    Editing().OnRedo();
    EXPECT_EQ(lorenz.b, 27.123456789012345);
    EXPECT_TRUE(view->TakeSnapshot().camera == after.camera);
    EXPECT_EQ(b.value, 27.123456789012345);
}

TEST_F(UndoTest, ASliderDragIsOneStepAndANewPressStartsAnother) {
    ViewWindow* view = ClassicLorenz();
    PropertyPalette& rows = *Palettes().attractorWindow()->rows;
    NumProperty<double>& a = Row<double>(Palettes().attractorWindow(), QStringLiteral("A"));
    Press(rows, a);
    for (const double v : {10.5, 11.0, 11.5, 12.0}) { // a drag: one change a pixel
        a.EditorChanged(nullptr, v);
    }
    EXPECT_EQ(view->History()->count(), 1);
    Press(rows, a); // a second drag of the same slider
    a.EditorChanged(nullptr, 13.0);
    EXPECT_EQ(view->History()->count(), 2);
    Editing().OnUndo();
    EXPECT_EQ(a.value, 12.0);
    Editing().OnUndo();
    EXPECT_EQ(a.value, 10.0);
    EXPECT_FALSE(Editing().undoAction->isEnabled());
}

TEST_F(UndoTest, AFamilyChangeIsUndoneWithTheOldParameters) {
    ViewWindow* view = ClassicLorenz();
    const ViewSnapshot before = view->TakeSnapshot();
    Palettes().attractorWindow()->list->setCurrentIndex(0); // Icon
    EXPECT_EQ(view->GetAttractor()->typeIndex, 0);
    EXPECT_EQ(Editing().undoAction->text(), QStringLiteral("&Annuler : ") + Text(kStrEditFamily));
    Editing().OnUndo();
    EXPECT_EQ(view->GetAttractor()->typeIndex, 2);
    EXPECT_EQ(view->TakeSnapshot().parameters, before.parameters);
    EXPECT_EQ(Palettes().attractorWindow()->list->currentIndex(), 2);
    EXPECT_EQ(Row<double>(Palettes().attractorWindow(), QStringLiteral("C")).value, 2.667);
    Editing().OnRedo();
    EXPECT_EQ(view->GetAttractor()->typeIndex, 0);
}

TEST_F(UndoTest, ARendererChangeAndAShadingEditComeBackWithTheirValues) {
    ViewWindow* view = ClassicLorenz(kSolid);
    view->OnSearch(); // a finished image, so shading rows are live
    ASSERT_EQ(view->State(), ViewState::Rendered);
    view->History()->clear();
    view->RecordEdit(QStringLiteral("sync"));
    auto& solid = dynamic_cast<SolidRenderer&>(*view->GetRenderer());
    NumProperty<float>& gamma = Row<float>(Palettes().renderWindow(), Text(kStrGamma));
    const float oldGamma = solid.Gamma();
    const std::vector<std::uint8_t> oldImage = solid.GetImage().Shown();
    gamma.SetValue(4.25f);
    EXPECT_EQ(view->State(), ViewState::Rendered);
    EXPECT_NE(solid.GetImage().Shown(), oldImage);
    Editing().OnUndo();
    EXPECT_EQ(solid.Gamma(), oldGamma);
    EXPECT_EQ(view->State(), ViewState::Rendered); // re-toned, not re-rendered
    EXPECT_EQ(solid.GetImage().Shown(), oldImage);

    solid.SetOpacity(3.5f); // a shading value of the old renderer must come back
    view->RecordEdit(Text(kStrOpacity));
    Palettes().renderWindow()->list->setCurrentIndex(kLight);
    EXPECT_EQ(view->GetRenderer()->Kind(), kLight);
    Editing().OnUndo();
    ASSERT_EQ(view->GetRenderer()->Kind(), kSolid);
    EXPECT_EQ(dynamic_cast<SolidRenderer&>(*view->GetRenderer()).Opacity(), 3.5f);
    EXPECT_EQ(view->State(), ViewState::Preview);
}

TEST_F(UndoTest, CameraDragsWheelRunsAndFitsAreOneStepEach) {
    ViewWindow* view = ClassicLorenz();
    const Camera start = view->GetRenderer()->GetCamera();
    const auto mouse = [view](QEvent::Type type, QPoint at) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), view->mapToGlobal(QPointF(at)), Qt::LeftButton, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(view, &event);
    };
    mouse(QEvent::MouseButtonPress, {10, 10});
    for (int x = 12; x <= 40; x += 4) {
        mouse(QEvent::MouseMove, {x, 10});
    }
    mouse(QEvent::MouseButtonRelease, {40, 10});
    EXPECT_EQ(view->History()->count(), 1);
    EXPECT_EQ(view->History()->undoText(), Text(kStrEditRotation));
    const Camera turned = view->GetRenderer()->GetCamera();
    EXPECT_FALSE(turned == start);

    for (int i = 0; i < 3; ++i) { // one run of the wheel
        QWheelEvent wheel(QPointF(5, 5), view->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view, &wheel);
    }
    EXPECT_EQ(view->History()->count(), 2);
    view->OnCenter();
    EXPECT_EQ(view->History()->count(), 3);

    Editing().OnUndo(); // Centrer
    Editing().OnUndo(); // the wheel run
    EXPECT_TRUE(view->GetRenderer()->GetCamera() == turned);
    Editing().OnUndo(); // the drag
    EXPECT_TRUE(view->GetRenderer()->GetCamera() == start);
    EXPECT_EQ(view->State(), ViewState::Preview);
}

TEST_F(UndoTest, ASearchIsUndoneToTheParametersAndCameraBeforeIt) {
    ViewWindow* view = ClassicLorenz();
    const ViewSnapshot before = view->TakeSnapshot();
    view->OnSearch();
    ASSERT_NE(view->TakeSnapshot().parameters, before.parameters);
    EXPECT_EQ(view->History()->undoText(), Text(kStrEditSearch));
    Editing().OnUndo();
    EXPECT_EQ(view->TakeSnapshot().parameters, before.parameters);
    EXPECT_TRUE(view->TakeSnapshot().camera == before.camera);
    EXPECT_EQ(view->State(), ViewState::Preview);
}

TEST_F(UndoTest, TheImageSizeAndTheIterationTargetAreUndone) {
    ViewWindow* view = ClassicLorenz();
    Row<std::int32_t>(Palettes().renderWindow(), Text(kStrWidth)).SetValue(320);
    EXPECT_EQ(view->GetRenderer()->Width(), 320);
    Row<std::int32_t>(Palettes().attractorWindow(), Text(kStrIterations)).SetValue(1000);
    EXPECT_EQ(view->iterationTarget, 1000);
    Editing().OnUndo();
    EXPECT_EQ(view->iterationTarget, kDefaultIterations);
    EXPECT_EQ(view->GetRenderer()->Width(), 320);
    Editing().OnUndo();
    EXPECT_EQ(view->GetRenderer()->Width(), 64);
    EXPECT_EQ(view->width(), 64);
}

TEST_F(UndoTest, NothingIsUndoneOrRecordedWhileALongRunGoes) {
    ViewWindow* view = ClassicLorenz();
    NumProperty<double>& b = Row<double>(Palettes().attractorWindow(), QStringLiteral("B"));
    b.SetValue(20.0);
    App().renderRunning = true;
    frame->ActivityChanged();
    EXPECT_FALSE(Editing().undoAction->isEnabled());
    Editing().OnUndo();
    EXPECT_EQ(b.value, 20.0);
    App().renderRunning = false;
    frame->ActivityChanged();
    EXPECT_TRUE(Editing().undoAction->isEnabled());

    // The search itself records one step, whatever it tried on the way.
    view->OnSearch();
    EXPECT_EQ(view->History()->count(), 2);
}

TEST_F(UndoTest, TheHistoryIsBoundedAndGoesWithItsView) {
    ViewWindow* view = ClassicLorenz();
    auto& lorenz = dynamic_cast<Lorenz_2L&>(*view->GetAttractor());
    for (int i = 1; i <= ViewWindow::kHistoryLimit + 20; ++i) {
        lorenz.a = 10.0 + i * 1e-3;
        view->RecordEdit(QStringLiteral("A"));
    }
    EXPECT_EQ(view->History()->count(), ViewWindow::kHistoryLimit);
    frame->OnClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frame->Editing()->Group()->stacks().size(), 0);
    EXPECT_FALSE(Editing().undoAction->isEnabled());
}

} // namespace
} // namespace vorticel::testing
