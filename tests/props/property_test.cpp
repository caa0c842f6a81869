// The value rules of property rows, with a palette and editors that only record.
#include "props/property.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vorticel {
namespace {

class RecordingEditor : public PropertyEditor {
public:
    explicit RecordingEditor(EditorKind kind) : kind_(kind) {}
    EditorKind Kind() const override { return kind_; }
    void ShowValue() override { ++shown; }
    void SetEditorEnabled(bool e) override { enabled = e; }
    void Place(std::int32_t, bool v) override { visible = v; }
    void ModifiedChanged() override { ++boldChanges; }
    void SliderRangeChanged() override { ++rangeChanges; }
    void ChoicesChanged() override { ++choiceChanges; }
    int shown = 0;
    int boldChanges = 0;
    int rangeChanges = 0;
    int choiceChanges = 0;
    bool enabled = true;
    bool visible = false;

private:
    EditorKind kind_;
};

class RecordingPalette : public PropertyHost {
public:
    bool ImmediateDefault() const override { return immediateDefault; }
    bool HostEnabled() const override { return true; }
    const ChangeHandler& HostChangeHandler() const override { return handler; }
    QChar DecimalPoint() const override { return QLatin1Char(','); }
    PropertyEditor* HandOutEditor(EditorKind kind, Property&, bool activePool) override {
        auto& pool = activePool ? activeEditors : paintEditors;
        for (const auto& e : pool) {
            if (e->Kind() == kind) {
                return e.get();
            }
        }
        pool.push_back(std::make_unique<RecordingEditor>(kind));
        return pool.back().get();
    }
    void PaintInactive(Property&) override { ++paints; }
    void SetItemText(std::int32_t, const QString& text) override { lastItemText = text; }

    RecordingEditor* Active(EditorKind kind) {
        for (const auto& e : activeEditors) {
            if (e->Kind() == kind) {
                return e.get();
            }
        }
        return nullptr;
    }

    bool immediateDefault = false;
    ChangeHandler handler;
    std::vector<std::unique_ptr<RecordingEditor>> activeEditors;
    std::vector<std::unique_ptr<RecordingEditor>> paintEditors;
    int paints = 0;
    QString lastItemText;
};

struct RowTest : ::testing::Test {
    RecordingPalette palette;
    int paletteCalls = 0;
    void SetUp() override {
        palette.handler = [this](Property&) { ++paletteCalls; };
    }
};

TEST_F(RowTest, SetValueWritesTheVariableAndAlwaysNotifiesOnce) {
    double variable = 1.0;
    DoubleProperty row(palette, 0, 0, 19, &variable);
    EXPECT_EQ(row.value, 1.0);
    row.SetValue(2.5);
    EXPECT_EQ(variable, 2.5);
    EXPECT_EQ(paletteCalls, 1);
    row.SetValue(2.5); // unchanged, still one call
    EXPECT_EQ(paletteCalls, 2);
    int ownCalls = 0;
    row.onChange = [&ownCalls](Property&) { ++ownCalls; };
    row.SetValue(3.0);
    EXPECT_EQ(ownCalls, 1); // the row's own handler instead of the palette's
    EXPECT_EQ(paletteCalls, 2);
    palette.handler = nullptr;
    row.onChange = nullptr;
    row.SetValue(4.0); // no handler anywhere: stored all the same
    EXPECT_EQ(variable, 4.0);
}

TEST_F(RowTest, SetMinimumMovesTheValueButNotTheVariable) {
    std::int32_t variable = 2;
    LongProperty row(palette, 0, kFlagSlider, 19, &variable);
    row.SetMinimum(5);
    EXPECT_EQ(row.value, 5);
    EXPECT_EQ(variable, 2);
    EXPECT_EQ(row.sliderMin, 5);
    row.LoadFromVariable();
    EXPECT_EQ(row.value, 2);
    row.SetMaximum(1); // below the minimum: the minimum follows
    EXPECT_EQ(row.limitMin, 1);
    EXPECT_EQ(row.limitMax, 1);
    EXPECT_EQ(row.value, 1);
}

TEST_F(RowTest, EditsArePendingUntilCommittedOrDropped) {
    double variable = 1.0;
    DoubleProperty row(palette, 0, 0, 19, &variable);
    row.SetMinimum(0.0);
    row.SetMaximum(10.0);
    row.Activate();
    RecordingEditor* edit = palette.Active(EditorKind::Edit);
    RecordingEditor* label = palette.Active(EditorKind::Label);
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(edit->visible);
    row.EditorChanged(edit, 42.0); // clamped, pending, label bold
    EXPECT_EQ(row.pending, 10.0);
    EXPECT_TRUE(row.modified);
    EXPECT_EQ(label->boldChanges, 1);
    EXPECT_EQ(variable, 1.0);
    EXPECT_EQ(paletteCalls, 0);
    row.LoadFromVariable(); // Escape: the edit is dropped, no handler
    EXPECT_EQ(row.pending, 1.0);
    EXPECT_FALSE(row.modified);
    EXPECT_EQ(paletteCalls, 0);
    row.EditorChanged(edit, 7.0);
    row.Deactivate(); // leaving the row commits the pending edit
    EXPECT_EQ(variable, 7.0);
    EXPECT_EQ(paletteCalls, 1);
    EXPECT_FALSE(edit->visible);
    EXPECT_TRUE(row.editors.empty());
}

TEST_F(RowTest, ImmediateRowsCommitEveryEdit) {
    palette.immediateDefault = true;
    float variable = 0.0f;
    FloatProperty row(palette, 0, kFlagSlider, 19, &variable);
    row.Activate();
    RecordingEditor* slider = palette.Active(EditorKind::Slider);
    RecordingEditor* edit = palette.Active(EditorKind::Edit);
    ASSERT_NE(slider, nullptr);
    const int shownBefore = slider->shown;
    row.EditorChanged(slider, 0.5f);
    EXPECT_EQ(variable, 0.5f);
    EXPECT_FALSE(row.modified);
    EXPECT_EQ(slider->shown, shownBefore); // the reporting editor keeps what the user did
    EXPECT_GT(edit->shown, 1);
    EXPECT_EQ(paletteCalls, 1);
}

TEST_F(RowTest, CommitModeAndTheDefault) {
    DoubleProperty row(palette, 0, 0, 19, nullptr);
    EXPECT_FALSE(row.immediate);
    row.SetImmediate(false); // no change: still follows the default
    EXPECT_TRUE(row.followsDefault);
    row.SetImmediate(true);
    EXPECT_FALSE(row.followsDefault);
}

TEST_F(RowTest, ChoicesAndTheirIndex) {
    std::int32_t width = 640;
    LongProperty row(palette, 0, kFlagChoices, 19, &width);
    EXPECT_EQ(row.IndexOfValue(640), 0);
    for (const std::int32_t w : {320, 640, 1024}) {
        row.AddChoice(w, QString());
    }
    EXPECT_EQ(row.choices[1].text, QStringLiteral("640"));
    EXPECT_EQ(row.IndexOfValue(640), 1);
    EXPECT_EQ(row.IndexOfValue(800), 0); // not listed: the first entry
    row.ClearChoices();
    EXPECT_TRUE(row.choices.empty());
    LongProperty plain(palette, 1, 0, 19, &width);
    plain.AddChoice(5, QStringLiteral("five")); // a row without choices ignores them
    EXPECT_TRUE(plain.choices.empty());
}

TEST_F(RowTest, TextIsParsedAndClampedInTheRowsType) {
    UCharProperty row(palette, 0, 0, 19, nullptr);
    row.SetMinimum(1);
    row.SetMaximum(100);
    EXPECT_EQ(row.ParseValue(QStringLiteral("1e3")), 100);
    EXPECT_EQ(row.ParseValue(QStringLiteral("12,9")), 12);
    EXPECT_EQ(row.ParseValue(QStringLiteral("-4")), 1);
    EXPECT_THROW(row.ParseValue(QStringLiteral("abc")), ConversionError);
    EXPECT_EQ(row.FormatValue(42), QStringLiteral("42"));
    LongDoubleProperty real(palette, 1, 0, 19, nullptr);
    EXPECT_EQ(real.ParseValue(QStringLiteral("1,5")), 1.5L);
}

TEST_F(RowTest, InactiveRowsBorrowPaintEditorsAndGiveThemBack) {
    double variable = 3.0;
    DoubleProperty row(palette, 4, kFlagSeparator | kFlagSlider, 19, &variable);
    EXPECT_EQ(row.height, 22);
    row.SetCaption(QStringLiteral("Gamma"));
    EXPECT_EQ(palette.lastItemText, QStringLiteral("Gamma"));
    row.LoadFromVariable();
    EXPECT_EQ(palette.paints, 1);
    EXPECT_TRUE(row.editors.empty());
    EXPECT_EQ(palette.paintEditors.size(), 3u); // label, slider, edit box
    row.LoadFromVariable();
    EXPECT_EQ(palette.paintEditors.size(), 3u); // painting again creates nothing
    EXPECT_TRUE(palette.activeEditors.empty());
}

TEST_F(RowTest, BooleanRows) {
    std::uint8_t flag = 1;
    BoolProperty row(palette, 0, 19, &flag);
    EXPECT_EQ(paletteCalls, 1); // construction sets false and notifies once
    EXPECT_EQ(flag, 1);         // without immediate commit the variable is left alone
    row.SetValue(true);
    EXPECT_EQ(row.value, 1);
    EXPECT_EQ(flag, 1);
    row.SetImmediate(true);
    row.SetValue(false);
    EXPECT_EQ(flag, 0);
    flag = 1;
    row.LoadFromVariable();
    EXPECT_EQ(row.value, 1);
}

TEST_F(RowTest, DisablingReachesTheEditors) {
    DoubleProperty row(palette, 0, 0, 19, nullptr);
    row.Activate();
    RecordingEditor* edit = palette.Active(EditorKind::Edit);
    ASSERT_NE(edit, nullptr);
    row.SetEnabled(false);
    EXPECT_FALSE(edit->enabled);
    row.SetEnabled(true);
    EXPECT_TRUE(edit->enabled);
}

} // namespace
} // namespace vorticel
