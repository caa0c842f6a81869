// Property rows: named, typed values edited in place in a property palette.
//
// A row is bound to a program variable or keeps its own value. Only the active row owns live
// editors; the others borrow hidden editors from the palette to be drawn. The palette is
// reached through PropertyHost, the editors through PropertyEditor, so the value rules here
// stay testable without a window.
#pragma once

#include "props/number_text.h"
#include "props/property_traits.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace vorticel {

class Property;
using ChangeHandler = std::function<void(Property&)>;

// Creation flags of a row.
enum PropertyFlag : std::uint8_t {
    kFlagSlider = 1,
    kFlagChoices = 4,
    kFlagListOnly = 8, // with kFlagChoices: only listed values
    kFlagSeparator = 16,
};

enum class EditorKind { Label, CheckBox, Edit, ComboBox, Slider };

// An editor control attached to a row (label, check box, edit box, combo box, slider).
class PropertyEditor {
public:
    virtual ~PropertyEditor() = default;
    virtual EditorKind Kind() const = 0;
    // Shows the row's pending value (the label shows nothing).
    virtual void ShowValue() = 0;
    virtual void SetEditorEnabled(bool enabled) = 0;
    // Moves the control to the row's top and shows or hides it (the active row's editors).
    virtual void Place(std::int32_t top, bool visible) = 0;
    // The label redraws itself bold or normal.
    virtual void ModifiedChanged() {}
    // The slider re-positions itself after a change of the slider range.
    virtual void SliderRangeChanged() {}
    // The combo box's list follows the row's choices (integer rows, when placed).
    virtual void ChoicesChanged() {}
};

// What a row needs of the palette that holds it.
class PropertyHost {
public:
    virtual ~PropertyHost() = default;
    virtual bool ImmediateDefault() const = 0;
    virtual bool HostEnabled() const = 0;
    virtual const ChangeHandler& HostChangeHandler() const = 0;
    virtual QChar DecimalPoint() const = 0;
    // An editor of `kind` for `row`, from the active pool or the paint pool.
    virtual PropertyEditor* HandOutEditor(EditorKind kind, Property& row, bool activePool) = 0;
    // Draws the row's attached editors onto the palette in their inactive look.
    virtual void PaintInactive(Property& row) = 0;
    // The list item of `index` shows `text`.
    virtual void SetItemText(std::int32_t index, const QString& text) = 0;
    // A row is about to show a text in its value box (beside a slider or not, in a combo
    // box with choices or an edit box): the host may widen its value column to hold it.
    virtual void ValueShown(const QString& /*text*/, bool /*besideSlider*/, bool /*choices*/) {}
};

class Property {
public:
    Property(PropertyHost& host, std::int32_t index, std::uint8_t flags, PropertyTypeCode code,
             std::int32_t baseHeight);
    virtual ~Property();
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;

    // Editors show the value; an inactive row borrows editors from the paint pool to be drawn.
    void Refresh();
    virtual void ShowValue() = 0;
    // Exactly one handler: the row's own, else the palette's, else none.
    void NotifyChange();
    // The palette makes this row the selected one.
    void Activate();
    // The row loses the selection; a pending edit is committed first.
    virtual void Deactivate();
    virtual void AcquireEditors() = 0;
    virtual void SetCaption(const QString& text) = 0;
    // Re-reads the bound variable; a pending edit is dropped. Calls no handler.
    virtual void LoadFromVariable() = 0;

    void SetImmediate(bool immediate);
    void SetEnabled(bool enabled);
    // Only while a label is attached: the label turns bold or normal.
    void SetModified(bool modified);
    void DetachEditors() { editors.clear(); }

    bool immediate = false;
    bool followsDefault = true;
    bool modified = false;
    bool separator = false;
    bool active = false;
    QString caption;
    std::int32_t top = 0;
    std::int32_t height = 0;
    ChangeHandler onChange;
    std::vector<PropertyEditor*> editors; // not owned: they belong to the palette's pools
    std::int32_t index = 0;
    std::int32_t tag = 0;
    bool enabled = true;
    PropertyTypeCode typeCode;
    PropertyHost* palette;

protected:
    PropertyEditor* Attach(EditorKind kind);
};

// A check-box row. Without immediate commit the variable is left alone; the owner reads value.
class BoolProperty : public Property {
public:
    BoolProperty(PropertyHost& host, std::int32_t index, std::int32_t baseHeight,
                 std::uint8_t* variable = nullptr);

    void SetValue(bool v);
    void ShowValue() override;
    void AcquireEditors() override { Attach(EditorKind::CheckBox); }
    void SetCaption(const QString& text) override { caption = text; }
    void LoadFromVariable() override;

    std::uint8_t* variable;
    std::uint8_t value = 0;
};

// One choice of a numeric row.
template <class T> struct EnumItem_STRUCT {
    T value;
    QString text;
};

template <class T> class NumProperty : public Property {
public:
    NumProperty(PropertyHost& host, std::int32_t rowIndex, std::uint8_t flags,
                std::int32_t baseHeight, T* boundVariable)
        : Property(host, rowIndex, flags, PropertyTraits<T>::kCode, baseHeight),
          variable(boundVariable), hasSlider((flags & kFlagSlider) != 0),
          hasChoices((flags & kFlagChoices) != 0),
          listOnly((flags & kFlagChoices) != 0 && (flags & kFlagListOnly) != 0) {
        if (boundVariable) {
            value = *boundVariable;
            pending = value;
        }
        if (hasSlider) {
            sliderMin = limitMin;
            sliderMax = limitMax;
        }
    }

    // Commits v: the variable is written, the editors follow, and the handler runs (also when
    // v is the value the row already held).
    void SetValue(T v) {
        value = v;
        if (variable) {
            *variable = v;
        }
        if (v < pending || pending < v) { // ordered: a NaN never counts as a change
            pending = v;
            Refresh();
        }
        if (modified) {
            SetModified(false);
        }
        NotifyChange();
    }

    // An editor of the active row reports x: every other editor shows it, and it is
    // committed at once or left pending.
    void EditorChanged(PropertyEditor* from, T x) {
        pending = Clamp(x);
        for (PropertyEditor* e : editors) {
            if (e != from) {
                e->ShowValue();
            }
        }
        if (immediate) {
            SetValue(pending);
        } else {
            SetModified(true);
        }
    }

    void LoadFromVariable() override {
        if (variable) {
            value = *variable;
        }
        pending = value;
        if (modified) {
            SetModified(false);
        }
        Refresh();
    }

    void Deactivate() override {
        if (modified) {
            SetValue(pending);
        }
        Property::Deactivate();
    }

    void ShowValue() override {
        palette->ValueShown(FormatValue(pending), hasSlider, hasChoices);
        for (PropertyEditor* e : editors) {
            e->ShowValue();
        }
    }

    void AcquireEditors() override {
        Attach(EditorKind::Label);
        if (hasSlider) {
            Attach(EditorKind::Slider);
        }
        PropertyEditor* box = Attach(hasChoices ? EditorKind::ComboBox : EditorKind::Edit);
        if (hasChoices && active && PropertyTraits<T>::kInteger) {
            box->ChoicesChanged();
        }
    }

    void SetCaption(const QString& text) override {
        caption = text;
        palette->SetItemText(index, text);
    }

    // Typed text: parsed in the palette's decimal separator, clamped, integers truncated.
    // Throws ConversionError for text that is not a number.
    T ParseValue(const QString& text) const {
        return ParseClamped<T>(text, palette->DecimalPoint(), limitMin, limitMax);
    }
    QString FormatValue(T v) const { return FormatNumber<T>(v, palette->DecimalPoint()); }

    // The limits; the committed value (not the variable) follows them.
    void SetMinimum(T v) {
        limitMin = v;
        if (limitMax < v) {
            limitMax = v;
        }
        if (value < v) {
            value = v;
        }
        if (sliderMin < v) {
            SetSliderMinimum(v);
        }
    }
    void SetMaximum(T v) {
        limitMax = v;
        if (limitMin > v) {
            limitMin = v;
        }
        if (value > v) {
            value = v;
        }
        if (sliderMax > v) {
            SetSliderMaximum(v);
        }
    }
    void SetSliderMinimum(T v) {
        sliderMin = v;
        NotifySliderRange();
    }
    void SetSliderMaximum(T v) {
        sliderMax = v;
        NotifySliderRange();
    }

    void AddChoice(T v, const QString& text) {
        if (!hasChoices) {
            return;
        }
        choices.push_back({v, text.isEmpty() ? FormatValue(v) : text});
        NotifyChoices();
    }
    void ClearChoices() {
        if (!hasChoices) {
            return;
        }
        choices.clear();
        NotifyChoices();
    }
    // The position of the first choice of value v; 0 when there is none.
    std::int32_t IndexOfValue(T v) const {
        if (!hasChoices) {
            return 0;
        }
        for (std::size_t i = 0; i < choices.size(); ++i) {
            if (!(choices[i].value < v) && !(v < choices[i].value)) {
                return static_cast<std::int32_t>(i);
            }
        }
        return 0;
    }

    T Clamp(T x) const { return x < limitMin ? limitMin : (x > limitMax ? limitMax : x); }

    T* variable;
    T value{};
    T pending{};
    T limitMin = PropertyTraits<T>::kLimitMin;
    T limitMax = PropertyTraits<T>::kLimitMax;
    T sliderMin{};
    T sliderMax{};
    std::vector<EnumItem_STRUCT<T>> choices;
    bool hasSlider;
    bool hasChoices;
    bool listOnly;

private:
    void NotifySliderRange() {
        for (PropertyEditor* e : editors) {
            e->SliderRangeChanged();
        }
    }
    void NotifyChoices() {
        if (!PropertyTraits<T>::kInteger) {
            return; // real rows do not list their choices
        }
        for (PropertyEditor* e : editors) {
            e->ChoicesChanged();
        }
    }
};

template <class T> class IntProperty : public NumProperty<T> {
    static_assert(PropertyTraits<T>::kInteger, "an integer element type");

public:
    using NumProperty<T>::NumProperty;
};

template <class T> class RealProperty : public NumProperty<T> {
    static_assert(!PropertyTraits<T>::kInteger, "a floating element type");

public:
    using NumProperty<T>::NumProperty;
};

using CharProperty = IntProperty<std::int8_t>;
using UCharProperty = IntProperty<std::uint8_t>;
using ShortProperty = IntProperty<std::int16_t>;
using UShortProperty = IntProperty<std::uint16_t>;
using LongProperty = IntProperty<std::int32_t>;
using ULongProperty = IntProperty<std::uint32_t>;
using FloatProperty = RealProperty<float>;
using DoubleProperty = RealProperty<double>;
using LongDoubleProperty = RealProperty<long double>;

} // namespace vorticel
