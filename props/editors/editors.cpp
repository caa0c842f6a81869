// The key filter, the slider mapping and the one switch on editor classes.
#include "props/editors/editors.h"

namespace vorticel {
namespace {

template <class T>
std::unique_ptr<EditorBase> CreateNumericEditor(EditorKind kind, QWidget* parent) {
    switch (kind) {
    case EditorKind::Edit:
        return std::make_unique<NumPropertyEdit<T>>(parent);
    case EditorKind::ComboBox:
        return std::make_unique<NumPropertyComboBox<T>>(parent);
    case EditorKind::Slider:
        return std::make_unique<NumPropertyTrackBar<T>>(parent);
    default:
        return nullptr;
    }
}

} // namespace

KeyVerdict FilterKey(QChar c, const QString& text, int caret, int selected, bool real,
                     QChar decimalPoint) {
    const bool hasSign = text.contains(QLatin1Char('+')) || text.contains(QLatin1Char('-'));
    if (real && (c == QLatin1Char('.') || c == decimalPoint)) {
        return text.contains(decimalPoint)
                   ? KeyVerdict::Refuse
                   : (c == decimalPoint ? KeyVerdict::Accept : KeyVerdict::Replace);
    }
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
        return (!hasSign || caret != 0 || selected > 0) ? KeyVerdict::Accept : KeyVerdict::Refuse;
    }
    switch (c.unicode()) {
    case 8:
        return KeyVerdict::Accept;
    case 13:
        return KeyVerdict::Commit;
    case 27:
        return KeyVerdict::Revert;
    case '+':
    case '-':
        return (caret == 0 && (!hasSign || selected > 0)) ? KeyVerdict::Accept : KeyVerdict::Refuse;
    default:
        return KeyVerdict::Refuse;
    }
}

int SliderPosition(double v, double lo, double hi, int width) {
    if (v < lo) {
        return 0;
    }
    if (v > hi) {
        return width - 1;
    }
    if (!(hi > lo)) {
        return 0; // an empty range has one position
    }
    return static_cast<int>((v - lo) / (hi - lo) * (width - 1));
}

double SliderValue(int position, double lo, double hi, int width) {
    if (width <= 1) {
        return lo;
    }
    return lo + static_cast<double>(position) / (width - 1) * (hi - lo);
}

std::unique_ptr<EditorBase> CreateEditor(EditorKind kind, PropertyTypeCode typeCode,
                                         QWidget* parent) {
    if (kind == EditorKind::Label) {
        return std::make_unique<PropertyLabel>(parent);
    }
    if (kind == EditorKind::CheckBox) {
        return std::make_unique<BoolPropertyCheckBox>(parent);
    }
    switch (typeCode) {
    case kPropChar:
        return CreateNumericEditor<std::int8_t>(kind, parent);
    case kPropUChar:
        return CreateNumericEditor<std::uint8_t>(kind, parent);
    case kPropShort:
        return CreateNumericEditor<std::int16_t>(kind, parent);
    case kPropUShort:
        return CreateNumericEditor<std::uint16_t>(kind, parent);
    case kPropLong:
        return CreateNumericEditor<std::int32_t>(kind, parent);
    case kPropULong:
        return CreateNumericEditor<std::uint32_t>(kind, parent);
    case kPropFloat:
        return CreateNumericEditor<float>(kind, parent);
    case kPropDouble:
        return CreateNumericEditor<double>(kind, parent);
    case kPropLongDouble:
        return CreateNumericEditor<long double>(kind, parent);
    default:
        return nullptr;
    }
}

} // namespace vorticel
