// Editing rows as a user does: the press that chooses a row, keys in edit and combo boxes,
// what the rows show and how the columns fit the font.
#include "props/property_palette.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <gtest/gtest.h>

namespace vorticel {
namespace {

template <class W> W* VisibleChild(const QWidget& parent) {
    for (W* candidate : parent.findChildren<W*>()) {
        if (candidate->isVisible() && candidate->y() < 200) {
            return candidate; // the active row's editor, not a hidden pooled one
        }
    }
    return nullptr;
}

void Key(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
}

void Mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

struct EditingTest : ::testing::Test {
    PropertyPalette palette{nullptr};
    void SetUp() override {
        palette.resize(320, 282);
        palette.show();
        QApplication::setActiveWindow(&palette);
    }
    // A press in the middle of row `index`, `x` pixels from the left.
    void PressRow(std::int32_t index, int x) {
        const Property& row = *palette.RowAt(index);
        const QPoint at(x, row.top + row.height / 2);
        Mouse(&palette, QEvent::MouseButtonPress, at, Qt::LeftButton);
    }
};

TEST_F(EditingTest, OnePressChoosesTheRowFocusesItsEditBoxAndPlacesTheCaret) {
    double a = 1.0;
    double b = 123456.0;
    palette.AddBound<double>(QStringLiteral("A"), &a, 0);
    palette.AddBound<double>(QStringLiteral("B"), &b, 0);
    // Press just right of the third character of "123456".
    const int textLeft = palette.labelWidth + 4;
    const int x = textLeft + palette.fontMetrics().horizontalAdvance(QStringLiteral("123")) + 1;
    // The focus is elsewhere in the window, as after typing in another field.
    QLineEdit elsewhere(&palette);
    elsewhere.setGeometry(0, 200, 40, 20);
    elsewhere.show();
    elsewhere.setFocus();
    ASSERT_TRUE(elsewhere.hasFocus());
    PressRow(1, x);
    EXPECT_EQ(palette.ActiveRow(), 1);
    auto* edit = VisibleChild<QLineEdit>(palette);
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(edit, &elsewhere);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_GT(edit->cursorPosition(), 0);
    EXPECT_LT(edit->cursorPosition(), 6);
    Mouse(&palette, QEvent::MouseButtonRelease, QPoint(x, 30), Qt::NoButton);
    // Keys typed now reach the row.
    Key(QApplication::focusWidget(), Qt::Key_End, QString());
    Key(QApplication::focusWidget(), Qt::Key_7, QStringLiteral("7"));
    EXPECT_EQ(edit->text(), QStringLiteral("1234567"));
}

TEST_F(EditingTest, APressOnALabelGivesTheValueBoxTheKeys) {
    double a = 1.0;
    double b = 2.0;
    palette.AddBound<double>(QStringLiteral("A"), &a, 0);
    palette.AddBound<double>(QStringLiteral("B"), &b, 0);
    QLineEdit elsewhere(&palette);
    elsewhere.setGeometry(0, 200, 40, 20);
    elsewhere.show();
    elsewhere.setFocus();
    PressRow(1, 2); // on the label
    EXPECT_EQ(palette.ActiveRow(), 1);
    auto* edit = VisibleChild<QLineEdit>(palette);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->hasFocus());
}

TEST_F(EditingTest, OnePressOnASliderThumbDragsIt) {
    double a = 0.0;
    double b = 0.0; // thumb at the left end
    auto* row = palette.AddBound<double>(QStringLiteral("A"), &a, kFlagSlider);
    auto* rowB = palette.AddBound<double>(QStringLiteral("B"), &b, kFlagSlider);
    row->SetSliderMinimum(0.0);
    row->SetSliderMaximum(1.0);
    rowB->SetSliderMinimum(0.0);
    rowB->SetSliderMaximum(1.0);
    const int sliderLeft = palette.labelWidth + palette.valueWidth + 1;
    const int y = rowB->top + rowB->height / 2;
    PressRow(1, sliderLeft + 3); // on the thumb
    auto* slider = VisibleChild<QSlider>(palette);
    ASSERT_NE(slider, nullptr);
    EXPECT_TRUE(slider->isSliderDown());
    // The moves and the release come to the palette, which holds the pointer.
    Mouse(&palette, QEvent::MouseMove, QPoint(sliderLeft + 60, y), Qt::LeftButton);
    Mouse(&palette, QEvent::MouseButtonRelease, QPoint(sliderLeft + 60, y), Qt::NoButton);
    EXPECT_FALSE(slider->isSliderDown());
    EXPECT_GT(b, 0.1); // committed on release (the row is deferred)
    EXPECT_FALSE(rowB->modified);
}

TEST_F(EditingTest, PressesAnEditorIgnoresDoNotComeBackForever) {
    double a = 0.5;
    auto* row = palette.AddBound<double>(QStringLiteral("A"), &a, kFlagSlider);
    row->SetSliderMinimum(0.0);
    row->SetSliderMaximum(1.0);
    const int sliderRight = palette.width() - 8;
    PressRow(0, sliderRight); // on the groove, not the thumb: the slider ignores the moves
    const int y = row->top + row->height / 2;
    Mouse(&palette, QEvent::MouseMove, QPoint(sliderRight - 30, y), Qt::LeftButton);
    Mouse(&palette, QEvent::MouseButtonRelease, QPoint(sliderRight - 30, y), Qt::NoButton);
    EXPECT_EQ(palette.ActiveRow(), 0);
}

TEST_F(EditingTest, EditableComboRowsFilterKeysCommitOnEnterAndRevertOnEscape) {
    std::int32_t width = 640;
    int changes = 0;
    palette.onChange = [&changes](Property&) { ++changes; };
    auto* row = palette.AddBound<std::int32_t>(QStringLiteral("Largeur"), &width, kFlagChoices);
    for (const std::int32_t w : {320, 640, 1024}) {
        row->AddChoice(w, QString());
    }
    palette.ActivateRow(0);
    auto* combo = VisibleChild<QComboBox>(palette);
    ASSERT_NE(combo, nullptr);
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    Key(focus, Qt::Key_2, QStringLiteral("2"));
    Key(focus, Qt::Key_X, QStringLiteral("x")); // refused
    Key(focus, Qt::Key_0, QStringLiteral("0"));
    EXPECT_EQ(combo->currentText(), QStringLiteral("20"));
    EXPECT_EQ(width, 640);
    Key(focus, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(width, 20);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo->count(), 3); // Enter added nothing to the list

    Key(focus, Qt::Key_5, QStringLiteral("5"));
    EXPECT_TRUE(row->modified);
    Key(focus, Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_FALSE(row->modified);
    EXPECT_EQ(combo->currentText(), QStringLiteral("20"));
    EXPECT_EQ(width, 20);
}

TEST_F(EditingTest, DeleteAndBackspaceEditAsInAnyField) {
    double a = 1234.0;
    auto* row = palette.AddBound<double>(QStringLiteral("A"), &a, 0);
    palette.ActivateRow(0);
    auto* edit = VisibleChild<QLineEdit>(palette);
    ASSERT_NE(edit, nullptr);
    edit->setCursorPosition(0);
    Key(edit, Qt::Key_Delete, QStringLiteral("\x7f")); // what X sends for Delete
    EXPECT_EQ(edit->text(), QStringLiteral("234"));
    edit->setCursorPosition(3);
    Key(edit, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(edit->text(), QStringLiteral("23"));
    EXPECT_EQ(row->pending, 23.0);
}

TEST_F(EditingTest, LongNumbersShowTheirFirstDigits) {
    double zoom = 0.0481793204581793;
    palette.AddBound<double>(QStringLiteral("Echelle"), &zoom, kFlagSlider);
    palette.ActivateRow(0);
    auto* edit = VisibleChild<QLineEdit>(palette);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->cursorPosition(), 0);
    // Re-read after a wheel step, say: still from the start.
    zoom = 0.931183204581793;
    palette.RefreshFromVariables();
    EXPECT_EQ(edit->cursorPosition(), 0);
    EXPECT_TRUE(edit->text().startsWith(QStringLiteral("0")));
}

TEST_F(EditingTest, ColumnsFitTheLongestLabelInBoldAndAShortNumber) {
    palette.labelWidth = 56; // the smallest width asked for
    std::int32_t n = 20000000;
    double a = 0.0;
    palette.AddBound<std::int32_t>(QStringLiteral("Itérations"), &n, kFlagSeparator);
    palette.AddBound<double>(QStringLiteral("A"), &a, kFlagSlider);
    QFont bold = palette.font();
    bold.setBold(true);
    EXPECT_GE(palette.labelWidth,
              QFontMetrics(bold).horizontalAdvance(QStringLiteral(" Itérations")));
    EXPECT_GE(palette.labelWidth, 56);
    EXPECT_GT(palette.valueWidth,
              palette.fontMetrics().horizontalAdvance(QStringLiteral("-0,00000")));
    // Every label of the active pool stands whole in its column.
    palette.ActivateRow(0);
    auto* label = VisibleChild<QLabel>(palette);
    ASSERT_NE(label, nullptr);
    EXPECT_GE(label->width(), QFontMetrics(bold).horizontalAdvance(label->text()));
}

TEST_F(EditingTest, TheActiveRowsLabelIsInTheSelectionColours) {
    double a = 0.0;
    double b = 0.0;
    palette.AddBound<double>(QStringLiteral("A"), &a, 0);
    palette.AddBound<double>(QStringLiteral("B"), &b, 0);
    palette.ActivateRow(1);
    auto* label = VisibleChild<QLabel>(palette);
    ASSERT_NE(label, nullptr);
    const QImage shot = label->grab().toImage();
    EXPECT_EQ(shot.pixelColor(1, 1), label->palette().color(QPalette::Active, QPalette::Highlight));
    // An inactive row's label is drawn on the palette's own face.
    const QImage face = palette.grab().toImage();
    const Property& first = *palette.RowAt(0);
    EXPECT_EQ(face.pixelColor(1, first.top + 1), palette.palette().color(QPalette::Button));
}

TEST(Scrolling, RowsBeyondTheWindowAreReachedAndScrollingNotifies) {
    QScrollArea area;
    area.setWidgetResizable(true);
    area.resize(300, 120);
    auto* palette = new PropertyPalette(nullptr);
    area.setWidget(palette);
    int exits = 0;
    palette->onExit = [&exits] { ++exits; };
    QObject::connect(area.verticalScrollBar(), &QScrollBar::valueChanged, palette,
                     [palette] { palette->Scrolled(); });
    std::vector<double> values(31, 0.5);
    for (std::size_t i = 0; i < values.size(); ++i) {
        palette->AddBound<double>(QStringLiteral("a%1").arg(i), &values[i], kFlagSlider);
    }
    area.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(palette->height(), palette->TotalHeight());
    QScrollBar* bar = area.verticalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    bar->setValue(bar->maximum());
    const Property& last = *palette->RowAt(30);
    // The last row's bottom is at the bottom of the visible part.
    EXPECT_EQ(last.top + last.height - bar->value(), area.viewport()->height());
    EXPECT_GE(exits, 1);
}

} // namespace
} // namespace vorticel
