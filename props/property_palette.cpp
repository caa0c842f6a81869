// Rows, pools, painting and activation of the property palette.
#include "props/property_palette.h"

#include <QApplication>
#include <QComboBox>
#include <QLocale>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace vorticel {
namespace {

template <class T>
std::unique_ptr<Property> MakeRow(PropertyHost& host, std::int32_t index, std::uint8_t flags,
                                  std::int32_t height) {
    return std::make_unique<NumProperty<T>>(host, index, flags, height, nullptr);
}

} // namespace

PropertyPalette::PropertyPalette(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

PropertyPalette::~PropertyPalette() {
    Clear();
}

QChar PropertyPalette::DecimalPoint() const {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.front();
}

std::int32_t PropertyPalette::RowHeightFor(std::uint8_t flags) const {
    std::int32_t base = fontMetrics().height() + 6;
    if (flags & kFlagChoices) {
        QComboBox probe; // a combo box's own height on this palette
        probe.setFont(font());
        base = probe.sizeHint().height() + 1;
    }
    return base;
}

void PropertyPalette::FitColumns(const QString& caption) {
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int label = metrics.horizontalAdvance(QStringLiteral(" ") + caption) + 6;
    labelWidth = static_cast<std::int16_t>(std::max<int>(labelWidth, label));
    // At least "-0,00000"; longer values widen the column as they are shown.
    const int value =
        BoxWidthFor(QStringLiteral("-0") + DecimalPoint() + QStringLiteral("00000"), false);
    valueWidth = static_cast<std::int16_t>(std::max<int>(valueWidth, value));
}

int PropertyPalette::BoxWidthFor(const QString& text, bool choices) const {
    const QFontMetrics metrics = fontMetrics();
    // The line edit's own side margins (2 each) and its caret.
    const QSize content(metrics.horizontalAdvance(text) + 5, metrics.height());
    if (choices) {
        QStyleOptionComboBox option;
        option.initFrom(this);
        option.editable = true;
        option.frame = true;
        return style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, this).width();
    }
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, content, this).width();
}

void PropertyPalette::ValueShown(const QString& text, bool besideSlider, bool choices) {
    const int box = BoxWidthFor(text, choices);
    // A box without a slider spans two columns.
    const int column = besideSlider ? box : (box + 1) / 2;
    if (column <= valueWidth) {
        return;
    }
    valueWidth = static_cast<std::int16_t>(column);
    if (Property* row = RowAt(activeRow_)) {
        for (PropertyEditor* e : row->editors) {
            PlaceEditor(*dynamic_cast<EditorBase*>(e), *row);
        }
    }
    update();
    if (onColumnsChanged) {
        onColumnsChanged();
    }
}

void PropertyPalette::Scrolled() {
    if (onExit) {
        onExit();
    }
}

void PropertyPalette::Insert(const QString& name, std::unique_ptr<Property> row) {
    FitColumns(name);
    Property* raw = row.get();
    rows_.push_back(std::move(row));
    byName_[name.toUtf8()] = raw; // a row already of that name stays in the list
    raw->SetCaption(name);
    raw->top = totalHeight_;
    raw->LoadFromVariable();
    totalHeight_ += raw->height;
    setMinimumHeight(totalHeight_); // a hosting scroll area reaches the last row
    update();
}

Property* PropertyPalette::AddProperty(const QString& name, PropertyTypeCode code,
                                       std::uint8_t flags) {
    const std::int32_t index = RowCount();
    const std::int32_t height = RowHeightFor(code == kPropBool ? 0 : flags);
    std::unique_ptr<Property> row;
    switch (code) {
    case kPropBool:
        row = std::make_unique<BoolProperty>(*this, index, height);
        break;
    case kPropChar:
        row = MakeRow<std::int8_t>(*this, index, flags, height);
        break;
    case kPropUChar:
        row = MakeRow<std::uint8_t>(*this, index, flags, height);
        break;
    case kPropShort:
        row = MakeRow<std::int16_t>(*this, index, flags, height);
        break;
    case kPropUShort:
        row = MakeRow<std::uint16_t>(*this, index, flags, height);
        break;
    case kPropLong:
        row = MakeRow<std::int32_t>(*this, index, flags, height);
        break;
    case kPropULong:
        row = MakeRow<std::uint32_t>(*this, index, flags, height);
        break;
    case kPropFloat:
        row = MakeRow<float>(*this, index, flags, height);
        break;
    case kPropDouble:
        row = MakeRow<double>(*this, index, flags, height);
        break;
    case kPropLongDouble:
        row = MakeRow<long double>(*this, index, flags, height);
        break;
    default:
        return nullptr;
    }
    Property* raw = row.get();
    Insert(name, std::move(row));
    return raw;
}

Property* PropertyPalette::FindProperty(const QString& name) const {
    const auto it = byName_.find(name.toUtf8());
    return it == byName_.end() ? nullptr : it->second;
}

Property* PropertyPalette::RowAt(std::int32_t index) const {
    return (index >= 0 && index < RowCount()) ? rows_[static_cast<std::size_t>(index)].get()
                                              : nullptr;
}

void PropertyPalette::RefreshFromVariables() {
    for (const auto& [name, row] : byName_) {
        row->LoadFromVariable();
    }
}

void PropertyPalette::SetImmediateDefault(bool immediate) {
    immediateDefault_ = immediate;
    for (const auto& [name, row] : byName_) {
        if (row->followsDefault) {
            row->SetImmediate(immediate);
        }
    }
}

void PropertyPalette::SetPaletteEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    for (const auto& [name, row] : byName_) {
        row->SetEnabled(enabled);
    }
    update();
}

void PropertyPalette::Clear() {
    activeRow_ = -1;
    totalHeight_ = 0;
    byName_.clear();
    rows_.clear();
    activePool_.clear();
    paintPool_.clear();
    dragTarget_ = nullptr;
    setMinimumHeight(0);
    update();
}

std::int32_t PropertyPalette::RowTop(std::int32_t index) const {
    std::int32_t top = 0;
    for (std::int32_t i = 0; i < index && i < RowCount(); ++i) {
        top += rows_[static_cast<std::size_t>(i)]->height;
    }
    return top;
}

void PropertyPalette::PlaceEditor(EditorBase& editor, const Property& row) const {
    const int h = row.height - (row.separator ? 4 : 1);
    QWidget* w = editor.Widget();
    switch (editor.Kind()) {
    case EditorKind::Label:
        w->setGeometry(0, row.top, labelWidth, h);
        break;
    case EditorKind::CheckBox:
        w->setGeometry(0, row.top, labelWidth + 13, h);
        break;
    case EditorKind::Edit:
    case EditorKind::ComboBox: {
        bool hasSlider = false;
        for (const PropertyEditor* e : row.editors) {
            hasSlider = hasSlider || e->Kind() == EditorKind::Slider;
        }
        w->setGeometry(labelWidth, row.top, hasSlider ? valueWidth : 2 * valueWidth, h);
        break;
    }
    case EditorKind::Slider: {
        const int x = labelWidth + valueWidth + 1;
        w->setGeometry(x, row.top, std::max(width() - x - 3, 8), h);
        break;
    }
    }
}

PropertyEditor* PropertyPalette::HandOutEditor(EditorKind kind, Property& row, bool activePool) {
    auto& pool = activePool ? activePool_ : paintPool_;
    EditorBase* editor = nullptr;
    for (const auto& e : pool) {
        // One control of each class: the kind and, for value editors, the element type.
        if (e->Kind() == kind && (kind == EditorKind::Label || kind == EditorKind::CheckBox ||
                                  e->Widget()->property("typeCode").toInt() == row.typeCode)) {
            editor = e.get();
            break;
        }
    }
    if (!editor) {
        std::unique_ptr<EditorBase> created = CreateEditor(kind, row.typeCode, this);
        QWidget* w = created->Widget();
        w->setProperty("typeCode", static_cast<int>(row.typeCode));
        w->setFont(font());
        w->ensurePolished(); // a control that was never shown must still render its look
        for (QWidget* child : w->findChildren<QWidget*>()) {
            child->ensurePolished();
        }
        w->hide();
        if (activePool) {
            // Presses straight on a live editor (its row already active) count too.
            w->installEventFilter(this);
            for (QWidget* child : w->findChildren<QWidget*>()) {
                child->installEventFilter(this);
            }
        }
        if (auto* label = dynamic_cast<PropertyLabel*>(created.get())) {
            label->SetHighlighted(activePool);
        }
        editor = created.get();
        pool.push_back(std::move(created));
    }
    row.top = RowTop(row.index);
    editor->Bind(row);
    editor->SetEditorEnabled(row.enabled);
    PlaceEditor(*editor, row);
    return editor;
}

void PropertyPalette::PaintInactive(Property& row) {
    row.top = RowTop(row.index);
    if (!painter_) {
        update(0, row.top, width(), row.height); // drawn at the next paint
        return;
    }
    for (PropertyEditor* e : row.editors) {
        auto* editor = dynamic_cast<EditorBase*>(e);
        QWidget* w = editor->Widget();
        PlaceEditor(*editor, row);
        // Through a pixmap: rendering straight into a painter that is already redirected to
        // the window ignores this palette's offset inside it.
        painter_->drawPixmap(w->pos(), w->grab());
    }
}

void PropertyPalette::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter_ = &painter;
    for (std::int32_t i = 0; i < RowCount(); ++i) {
        Property& row = *rows_[static_cast<std::size_t>(i)];
        row.top = RowTop(i);
        if (i != activeRow_ && row.top + row.height > 0 && row.top < height()) {
            row.Refresh();
        }
        if (row.separator) {
            const int y = row.top + row.height - 3;
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(0, y, width() - 1, y);
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(0, y + 1, width() - 1, y + 1);
        }
    }
    painter_ = nullptr;
}

void PropertyPalette::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The active row's slider spans the new width.
    if (Property* row = RowAt(activeRow_)) {
        for (PropertyEditor* e : row->editors) {
            PlaceEditor(*dynamic_cast<EditorBase*>(e), *row);
        }
        row->ShowValue();
    }
}

void PropertyPalette::ActivateRow(std::int32_t index) {
    Property* row = RowAt(index);
    if (!row || index == activeRow_ || !row->enabled) {
        return;
    }
    if (Property* old = RowAt(activeRow_)) {
        old->Deactivate(); // commits its pending edit
    }
    row->top = RowTop(index);
    row->Activate();
    activeRow_ = index;
    update();
}

} // namespace vorticel
