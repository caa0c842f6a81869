// The editor controls of property rows: label, check box, edit box, combo box and slider.
//
// They are ordinary Qt controls that a palette keeps in pools and points at one row at a
// time; each turns user input into the row's EditorChanged / SetValue.
#pragma once

#include "props/property.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <cmath>
#include <memory>

namespace vorticel {

// What the key filter does with one typed character.
enum class KeyVerdict { Accept, Refuse, Replace, Commit, Revert };

// The key filter of numeric edit and combo boxes (`real` rows accept one decimal separator,
// shown as `decimalPoint`). `caret` is the selection start, `selected` its length.
KeyVerdict FilterKey(QChar c, const QString& text, int caret, int selected, bool real,
                     QChar decimalPoint);

// Slider position (0 .. width - 1) of a value of the range [lo, hi], and back.
int SliderPosition(double v, double lo, double hi, int width);
double SliderValue(int position, double lo, double hi, int width);

// Common to every editor: the row it serves.
class EditorBase : public PropertyEditor {
public:
    virtual void Bind(Property& row) = 0;
    virtual QWidget* Widget() = 0;
    void Place(std::int32_t top, bool visible) override {
        Widget()->move(Widget()->x(), top);
        Widget()->setVisible(visible);
    }
    void SetEditorEnabled(bool enabled) override { Widget()->setEnabled(enabled); }
};

class PropertyLabel : public QLabel, public EditorBase {
public:
    explicit PropertyLabel(QWidget* parent) : QLabel(parent) {
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Window); // not the palette's own role, which it would inherit
    }
    // The active row's label stands out in the selection colours (greyed when disabled); a
    // label that only paints inactive rows keeps the palette's colours.
    void SetHighlighted(bool highlighted) {
        QPalette colours = parentWidget() ? parentWidget()->palette() : palette();
        for (const QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            colours.setColor(group, QPalette::Window, colours.color(group, QPalette::Button));
        }
        if (highlighted) {
            for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                colours.setColor(group, QPalette::Window,
                                 colours.color(group, QPalette::Highlight));
                colours.setColor(group, QPalette::WindowText,
                                 colours.color(group, QPalette::HighlightedText));
            }
        }
        setPalette(colours);
    }
    EditorKind Kind() const override { return EditorKind::Label; }
    void Bind(Property& row) override {
        row_ = &row;
        setText(QStringLiteral(" ") + row.caption);
        ModifiedChanged();
    }
    QWidget* Widget() override { return this; }
    void ShowValue() override {}
    void ModifiedChanged() override {
        QFont f = font();
        f.setBold(row_ && row_->modified);
        setFont(f);
    }

private:
    Property* row_ = nullptr;
};

class BoolPropertyCheckBox : public QCheckBox, public EditorBase {
public:
    explicit BoolPropertyCheckBox(QWidget* parent) : QCheckBox(parent) {
        setLayoutDirection(Qt::RightToLeft); // the caption stands left of the box
        connect(this, &QCheckBox::toggled, this, [this](bool on) {
            if (!updating_ && row_) {
                row_->SetValue(on);
            }
        });
    }
    EditorKind Kind() const override { return EditorKind::CheckBox; }
    void Bind(Property& row) override {
        row_ = dynamic_cast<BoolProperty*>(&row);
        setText(row.caption);
    }
    QWidget* Widget() override { return this; }
    void ShowValue() override {
        updating_ = true;
        setChecked(row_ && row_->value == 1);
        updating_ = false;
    }

private:
    BoolProperty* row_ = nullptr;
    bool updating_ = false;
};

// A long number shows its first digits, as any form does; the caret stays where the user
// is typing.
inline void ShowTextStart(QLineEdit& line) {
    if (!line.hasFocus()) {
        line.setCursorPosition(0);
    }
}

// Applies the key filter to a key typed into `line` for `row`. True when the key was dealt
// with here (refused, replaced, committed, reverted); false when the line edit should take it.
// Shortcuts (Ctrl+A, ...) and keys that type no character keep their usual meaning.
template <class T> bool FilterNumericKey(QKeyEvent* event, NumProperty<T>& row, QLineEdit& line) {
    const bool shortcut =
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    if (shortcut || event->text().isEmpty()) {
        return false;
    }
    const QChar c = event->text().front();
    // Control characters other than Backspace, Enter and Escape (Tab, Delete's "\x7f", ...)
    // are editing keys, not typed characters.
    const bool filtered = c.unicode() == 8 || c.unicode() == 13 || c.unicode() == 27;
    if (!filtered && (c.unicode() < 32 || c.unicode() == 127)) {
        return false;
    }
    const QChar point = row.palette->DecimalPoint();
    const int caret = line.hasSelectedText() ? line.selectionStart() : line.cursorPosition();
    switch (FilterKey(c, line.text(), caret, static_cast<int>(line.selectedText().size()),
                      !PropertyTraits<T>::kInteger, point)) {
    case KeyVerdict::Accept:
        return false;
    case KeyVerdict::Replace:
        line.insert(QString(point));
        return true;
    case KeyVerdict::Commit:
        if (!row.immediate) {
            row.SetValue(row.pending);
        }
        return true;
    case KeyVerdict::Revert:
        if (!row.immediate) {
            row.LoadFromVariable();
        }
        return true;
    case KeyVerdict::Refuse:
        return true;
    }
    return true;
}

template <class T> class NumPropertyEdit : public QLineEdit, public EditorBase {
public:
    explicit NumPropertyEdit(QWidget* parent) : QLineEdit(parent) {
        connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (updating_ || !row_) {
                return;
            }
            value = ParseOrZero(*row_, text);
            row_->EditorChanged(this, value);
        });
    }
    EditorKind Kind() const override { return EditorKind::Edit; }
    void Bind(Property& row) override { row_ = dynamic_cast<NumProperty<T>*>(&row); }
    QWidget* Widget() override { return this; }
    void ShowValue() override {
        if (!row_) {
            return;
        }
        updating_ = true;
        value = row_->pending;
        setText(row_->FormatValue(value));
        ShowTextStart(*this);
        updating_ = false;
    }

    static T ParseOrZero(const NumProperty<T>& row, const QString& text) {
        try {
            return row.ParseValue(text);
        } catch (const ConversionError&) {
            return T{}; // the row clamps it into its limits
        }
    }

    T value{};

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!row_ || !FilterNumericKey(event, *row_, *this)) {
            QLineEdit::keyPressEvent(event);
        }
    }

private:
    NumProperty<T>* row_ = nullptr;
    bool updating_ = false;
};

template <class T> class NumPropertyComboBox : public QComboBox, public EditorBase {
public:
    explicit NumPropertyComboBox(QWidget* parent) : QComboBox(parent) {
        connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int i) {
            if (updating_ || !row_ || i < 0 || i >= static_cast<int>(row_->choices.size())) {
                return;
            }
            value = row_->choices[static_cast<std::size_t>(i)].value;
            if (isEditable()) {
                updating_ = true;
                setEditText(row_->FormatValue(value));
                updating_ = false;
            }
            row_->EditorChanged(this, value);
        });
        connect(this, &QComboBox::editTextChanged, this, [this](const QString& text) {
            if (updating_ || !row_ || !isEditable()) {
                return;
            }
            value = NumPropertyEdit<T>::ParseOrZero(*row_, text);
            row_->EditorChanged(this, value);
        });
    }
    EditorKind Kind() const override { return EditorKind::ComboBox; }
    void Bind(Property& row) override {
        row_ = dynamic_cast<NumProperty<T>*>(&row);
        setEditable(row_ && !row_->listOnly);
        setInsertPolicy(QComboBox::NoInsert); // Enter commits the value; the list stays as given
    }
    QWidget* Widget() override { return this; }
    void ShowValue() override {
        if (!row_) {
            return;
        }
        updating_ = true;
        value = row_->pending;
        if (isEditable()) {
            setEditText(row_->FormatValue(value));
            ShowTextStart(*lineEdit());
        } else {
            setCurrentIndex(row_->IndexOfValue(value));
        }
        updating_ = false;
    }
    void ChoicesChanged() override {
        if (!row_) {
            return;
        }
        updating_ = true;
        clear();
        for (const EnumItem_STRUCT<T>& choice : row_->choices) {
            addItem(choice.text);
        }
        updating_ = false;
        ShowValue();
    }

    T value{};

protected:
    // The combo box is its line edit's focus proxy and hands it the keys directly, so the
    // filter runs here, before the combo box's own Enter handling.
    void keyPressEvent(QKeyEvent* event) override {
        if (!row_ || !lineEdit() || !FilterNumericKey(event, *row_, *lineEdit())) {
            QComboBox::keyPressEvent(event);
        }
    }

private:
    NumProperty<T>* row_ = nullptr;
    bool updating_ = false;
};

template <class T> class NumPropertyTrackBar : public QSlider, public EditorBase {
public:
    explicit NumPropertyTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
        setSingleStep(5);
        setPageStep(20);
        connect(this, &QSlider::valueChanged, this, [this](int position) {
            if (updating_ || !row_) {
                return;
            }
            const T v = ValueOf(position);
            if (v < value || value < v) {
                value = v;
                row_->EditorChanged(this, value);
            }
        });
        connect(this, &QSlider::sliderReleased, this, [this] {
            if (!row_) {
                return;
            }
            row_->EditorChanged(this, value);
            if (!row_->immediate) {
                row_->SetValue(row_->pending);
            }
        });
    }
    EditorKind Kind() const override { return EditorKind::Slider; }
    void Bind(Property& row) override { row_ = dynamic_cast<NumProperty<T>*>(&row); }
    QWidget* Widget() override { return this; }
    void ShowValue() override {
        if (!row_) {
            return;
        }
        updating_ = true;
        setRange(0, std::max(width() - 1, 1));
        value = row_->pending;
        setValue(SliderPosition(static_cast<double>(value), static_cast<double>(row_->sliderMin),
                                static_cast<double>(row_->sliderMax), width()));
        updating_ = false;
    }
    void SliderRangeChanged() override { ShowValue(); }

    T value{};

private:
    T ValueOf(int position) const {
        const double v = SliderValue(position, static_cast<double>(row_->sliderMin),
                                     static_cast<double>(row_->sliderMax), width());
        if constexpr (PropertyTraits<T>::kInteger) {
            return static_cast<T>(std::trunc(v));
        } else {
            return static_cast<T>(v);
        }
    }

    NumProperty<T>* row_ = nullptr;
    bool updating_ = false;
};

// A new editor of `kind` for rows of `typeCode`, a hidden child of `parent`.
std::unique_ptr<EditorBase> CreateEditor(EditorKind kind, PropertyTypeCode typeCode,
                                         QWidget* parent);

} // namespace vorticel
