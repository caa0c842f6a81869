// The property palette and its editors on the offscreen platform.
#include "props/property_palette.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QSlider>
#include <QStyle>
#include <QStyleOption>
#include <cstdlib>
#include <gtest/gtest.h>

namespace vorticel {
namespace {

struct PaletteTest : ::testing::Test {
    PropertyPalette palette{nullptr};
    void SetUp() override {
        palette.resize(291, 282);
        palette.show();
    }
};

TEST_F(PaletteTest, HeightsTopsAndClear) {
    EXPECT_EQ(palette.TotalHeight(), 0);
    double a = 1.0;
    std::int32_t width = 640;
    double zoom = 0.5;
    Property* first = palette.AddBound<double>(QStringLiteral("A"), &a, kFlagSlider);
    Property* second =
        palette.AddBound<std::int32_t>(QStringLiteral("Largeur"), &width, kFlagChoices);
    Property* third =
        palette.AddBound<double>(QStringLiteral("Echelle"), &zoom, kFlagSlider | kFlagSeparator);
    EXPECT_EQ(first->top, 0);
    EXPECT_EQ(second->top, first->height);
    EXPECT_EQ(third->top, first->height + second->height);
    EXPECT_EQ(third->height, first->height + 3);
    EXPECT_EQ(palette.TotalHeight(), first->height + second->height + third->height);
    EXPECT_EQ(palette.FindProperty(QStringLiteral("Largeur")), second);
    EXPECT_EQ(palette.FindProperty(QStringLiteral("largeur")), nullptr);
    palette.ActivateRow(0);
    palette.Clear();
    EXPECT_EQ(palette.TotalHeight(), 0);
    EXPECT_EQ(palette.ActiveRow(), -1);
    EXPECT_EQ(palette.RowCount(), 0);
}

TEST_F(PaletteTest, LeavingARowCommitsItsPendingEdit) {
    double a = 1.0;
    double b = 2.0;
    int calls = 0;
    palette.onChange = [&calls](Property&) { ++calls; };
    auto* rowA = palette.AddBound<double>(QStringLiteral("A"), &a, 0);
    palette.AddBound<double>(QStringLiteral("B"), &b, 0);
    palette.ActivateRow(0);
    QLineEdit* edit = nullptr;
    for (QLineEdit* candidate : palette.findChildren<QLineEdit*>()) {
        edit = candidate->isVisible() ? candidate : edit; // the active row's, not a pooled one
    }
    ASSERT_NE(edit, nullptr);
    edit->setText(QStringLiteral("7,5"));
    if (palette.DecimalPoint() == QLatin1Char('.')) {
        edit->setText(QStringLiteral("7.5"));
    }
    EXPECT_EQ(rowA->pending, 7.5);
    EXPECT_TRUE(rowA->modified);
    EXPECT_EQ(a, 1.0);
    palette.ActivateRow(1); // the press on another row commits
    EXPECT_EQ(a, 7.5);
    EXPECT_EQ(calls, 1);
}

TEST_F(PaletteTest, EnablingAndTheCommitDefault) {
    double a = 1.0;
    Property* row = palette.AddBound<double>(QStringLiteral("A"), &a, 0);
    palette.SetPaletteEnabled(false);
    EXPECT_FALSE(row->enabled);
    palette.ActivateRow(0); // a disabled row does not become active
    EXPECT_EQ(palette.ActiveRow(), -1);
    palette.SetPaletteEnabled(true);
    EXPECT_TRUE(row->enabled);
    palette.SetImmediateDefault(true);
    EXPECT_TRUE(row->immediate);
    EXPECT_FALSE(row->followsDefault); // switched once, it no longer follows
    palette.SetImmediateDefault(false);
    EXPECT_TRUE(row->immediate);
}

TEST_F(PaletteTest, PaintingManyRowsUsesOneControlOfEachClass) {
    std::vector<double> values(12, 0.5);
    for (std::size_t i = 0; i < values.size(); ++i) {
        palette.AddBound<double>(QString::number(i), &values[i], kFlagSlider);
    }
    palette.repaint();
    EXPECT_EQ(palette.PaintPoolSize(), 3u); // label, slider, edit box
    palette.repaint();
    EXPECT_EQ(palette.PaintPoolSize(), 3u);
}

TEST_F(PaletteTest, TypingIntoAnEditBoxUnderAFrenchLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    double a = 0.0;
    auto* row = palette.AddBound<double>(QStringLiteral("A"), &a, 0);
    palette.ActivateRow(0);
    QLineEdit* edit = nullptr;
    for (QLineEdit* candidate : palette.findChildren<QLineEdit*>()) {
        edit = candidate->isVisible() ? candidate : edit;
    }
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    const auto type = [edit](int key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(edit, &press);
    };
    type(Qt::Key_1, QStringLiteral("1"));
    type(Qt::Key_Period, QStringLiteral(".")); // becomes the locale's comma
    type(Qt::Key_5, QStringLiteral("5"));
    type(Qt::Key_Period, QStringLiteral(".")); // a second separator is refused
    type(Qt::Key_E, QStringLiteral("e"));      // so is a letter
    EXPECT_EQ(edit->text(), QStringLiteral("1,5"));
    EXPECT_EQ(row->pending, 1.5);
    EXPECT_EQ(a, 0.0); // deferred until Enter
    type(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(a, 1.5);
    QLocale::setDefault(saved);
}

TEST_F(PaletteTest, TheValueColumnHoldsEveryValueItShowsWhole) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    float roughness = 0.013f;
    double a = -1.23456789012345;
    double tiny = -0.000123456789012345;
    std::int32_t iterations = 2147483647;
    palette.AddBound<float>(QStringLiteral("Rugosité"), &roughness, kFlagSlider);
    palette.AddBound<double>(QStringLiteral("A"), &a, kFlagSlider);
    palette.AddBound<double>(QStringLiteral("B"), &tiny, 0);
    palette.AddBound<std::int32_t>(QStringLiteral("Itérations"), &iterations, 0);
    const std::vector<std::string> shown = {"0,013", "-1,23456789012345", "-0,000123456789012345",
                                            "2147483647"};
    for (std::int32_t i = 0; i < palette.RowCount(); ++i) {
        palette.ActivateRow(i);
        QLineEdit* box = nullptr;
        for (QLineEdit* edit : palette.findChildren<QLineEdit*>()) {
            box = edit->isVisible() ? edit : box;
        }
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text().toStdString(), shown[static_cast<std::size_t>(i)]);
        // The style's text area of the box, less the line edit's own side margins.
        QStyleOptionFrame option;
        option.initFrom(box);
        option.rect = box->rect();
        option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
        const QRect text = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()) + 4, text.width())
            << box->text().toStdString();
    }
    QLocale::setDefault(saved);
}

TEST(Editors, KeyFilter) {
    const QChar comma(QLatin1Char(','));
    EXPECT_EQ(FilterKey(QLatin1Char('.'), QStringLiteral("1"), 1, 0, true, comma),
              KeyVerdict::Replace); // a point typed under a French locale becomes a comma
    EXPECT_EQ(FilterKey(comma, QStringLiteral("1,5"), 3, 0, true, comma), KeyVerdict::Refuse);
    EXPECT_EQ(FilterKey(QLatin1Char('3'), QStringLiteral("-12"), 0, 0, false, comma),
              KeyVerdict::Refuse);
    EXPECT_EQ(FilterKey(QLatin1Char('3'), QStringLiteral("-12"), 0, 3, false, comma),
              KeyVerdict::Accept);
    EXPECT_EQ(FilterKey(QLatin1Char('-'), QStringLiteral("12"), 0, 0, false, comma),
              KeyVerdict::Accept);
    EXPECT_EQ(FilterKey(QLatin1Char('-'), QStringLiteral("12"), 1, 0, false, comma),
              KeyVerdict::Refuse);
    EXPECT_EQ(FilterKey(QLatin1Char('e'), QStringLiteral("12"), 2, 0, true, comma),
              KeyVerdict::Refuse);
    EXPECT_EQ(FilterKey(QLatin1Char(','), QStringLiteral("12"), 2, 0, false, comma),
              KeyVerdict::Refuse); // no separator in an integer row
    EXPECT_EQ(FilterKey(QChar(13), QStringLiteral("12"), 2, 0, false, comma), KeyVerdict::Commit);
    EXPECT_EQ(FilterKey(QChar(27), QStringLiteral("12"), 2, 0, false, comma), KeyVerdict::Revert);
}

TEST(Editors, SliderMapping) {
    EXPECT_EQ(SliderPosition(1.0, 0.0, 1.0, 101), 100);
    EXPECT_EQ(SliderPosition(0.5, 0.0, 1.0, 101), 50);
    EXPECT_EQ(SliderPosition(2.0, 0.0, 1.0, 101), 100);
    EXPECT_EQ(SliderPosition(-1.0, 0.0, 1.0, 101), 0);
    EXPECT_DOUBLE_EQ(SliderValue(100, 0.0, 1.0, 101), 1.0);
    EXPECT_DOUBLE_EQ(SliderValue(50, 0.0, 1.0, 101), 0.5);
    EXPECT_EQ(static_cast<int>(SliderValue(50, 1.0, 10.0, 101)), 5);
}

} // namespace
} // namespace vorticel

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
