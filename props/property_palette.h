// PropertyPalette: a vertical list of property rows edited in place.
//
// Only the active row has live editors; every other row is drawn by borrowing hidden editors
// from the paint pool and rendering them onto the palette, so the palette needs one control of
// each editor class however many rows it shows.
#pragma once

#include "props/editors/editors.h"
#include "props/property.h"

#include <QByteArray>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QPainter;

namespace vorticel {

class PropertyPalette : public QWidget, public PropertyHost {
public:
    explicit PropertyPalette(QWidget* parent);
    ~PropertyPalette() override;

    // An unbound row of type code 0..9 (value 0); null for any other code.
    Property* AddProperty(const QString& name, PropertyTypeCode code, std::uint8_t flags);
    // A row bound to `variable` (it starts with the variable's content).
    template <class T>
    NumProperty<T>* AddBound(const QString& name, T* variable, std::uint8_t flags) {
        auto row = std::make_unique<NumProperty<T>>(*this, RowCount(), flags, RowHeightFor(flags),
                                                    variable);
        NumProperty<T>* raw = row.get();
        Insert(name, std::move(row));
        return raw;
    }
    // The row of that name (the later one of two with the same name); null when none.
    Property* FindProperty(const QString& name) const;
    void RefreshFromVariables();
    void SetImmediateDefault(bool immediate);
    void SetPaletteEnabled(bool enabled);
    // Removes every row and editor; a pending edit is discarded.
    void Clear();

    std::int32_t RowCount() const { return static_cast<std::int32_t>(rows_.size()); }
    Property* RowAt(std::int32_t index) const;
    std::int32_t TotalHeight() const { return totalHeight_; }
    std::int32_t ActiveRow() const { return activeRow_; }
    // Makes row `index` the active one, as a press on it does (disabled rows are refused).
    void ActivateRow(std::int32_t index);
    // How many editor controls the pools hold (the paint pool never grows per row).
    std::size_t PaintPoolSize() const { return paintPool_.size(); }

    // Counts the user's presses on the palette and its editors: edits of one row within one
    // press (a slider drag, the digits typed after a click) share the count.
    std::uint64_t EditGesture() const { return gesture_; }

    // The scrolling that hosts the palette moved it: the palette's exit notification.
    void Scrolled();

    ChangeHandler onChange;
    // Called when the palette is scrolled (may be unset).
    std::function<void()> onExit;
    // Called when the value column grew for a longer value (may be unset).
    std::function<void()> onColumnsChanged;
    // Column widths: at least these, and wide enough for the font in use (every row's label
    // whole, in bold as a modified row shows it; every value shown so far whole in its box).
    std::int16_t labelWidth = 48;
    std::int16_t valueWidth = 48;

    // PropertyHost
    bool ImmediateDefault() const override { return immediateDefault_; }
    bool HostEnabled() const override { return enabled_; }
    const ChangeHandler& HostChangeHandler() const override { return onChange; }
    QChar DecimalPoint() const override;
    PropertyEditor* HandOutEditor(EditorKind kind, Property& row, bool activePool) override;
    void PaintInactive(Property& row) override;
    void SetItemText(std::int32_t, const QString&) override {}
    void ValueShown(const QString& text, bool besideSlider, bool choices) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Insert(const QString& name, std::unique_ptr<Property> row);
    std::int32_t RowHeightFor(std::uint8_t flags) const;
    std::int32_t RowTop(std::int32_t index) const;
    void PlaceEditor(EditorBase& editor, const Property& row) const;
    void FitColumns(const QString& caption);
    // The width of an edit box (or combo box) that shows `text` whole.
    int BoxWidthFor(const QString& text, bool choices) const;
    // The press that activated a row goes on to the editor under it, as do the moves and the
    // release of the same drag (the palette holds the pointer's implicit grab).
    void ForwardPress(QMouseEvent& event);
    void Forward(QMouseEvent& event);
    void FocusValueBox();

    std::vector<std::unique_ptr<Property>> rows_;
    std::map<QByteArray, Property*> byName_;
    std::vector<std::unique_ptr<EditorBase>> activePool_;
    std::vector<std::unique_ptr<EditorBase>> paintPool_;
    std::int32_t activeRow_ = -1;
    std::int32_t totalHeight_ = 0;
    bool immediateDefault_ = false;
    bool enabled_ = true;
    QPainter* painter_ = nullptr;  // set while paintEvent draws the inactive rows
    QPointer<QWidget> dragTarget_; // the editor that took the activating press
    bool forwarding_ = false;
    std::uint64_t gesture_ = 0;
};

} // namespace vorticel
