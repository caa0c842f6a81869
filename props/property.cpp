// The row behaviour shared by every element type.
#include "props/property.h"

namespace vorticel {

Property::Property(PropertyHost& host, std::int32_t rowIndex, std::uint8_t flags,
                   PropertyTypeCode code, std::int32_t baseHeight)
    : immediate(host.ImmediateDefault()), separator((flags & kFlagSeparator) != 0),
      height(baseHeight), index(rowIndex), enabled(host.HostEnabled()), typeCode(code),
      palette(&host) {
    if (separator) {
        height += 3;
    }
}

Property::~Property() = default;

PropertyEditor* Property::Attach(EditorKind kind) {
    PropertyEditor* editor = palette->HandOutEditor(kind, *this, active);
    editors.push_back(editor);
    return editor;
}

void Property::Refresh() {
    if (!active) {
        AcquireEditors();
    }
    ShowValue();
    if (!active) {
        palette->PaintInactive(*this);
        DetachEditors();
    }
}

void Property::NotifyChange() {
    if (onChange) {
        onChange(*this);
    } else if (palette->HostChangeHandler()) {
        palette->HostChangeHandler()(*this);
    }
}

void Property::Activate() {
    active = true;
    AcquireEditors();
    ShowValue();
    for (PropertyEditor* e : editors) {
        e->SetEditorEnabled(enabled);
        e->Place(top, true);
    }
}

void Property::Deactivate() {
    for (PropertyEditor* e : editors) {
        e->Place(top, false);
    }
    DetachEditors();
    active = false;
}

void Property::SetImmediate(bool b) {
    if (b == immediate) {
        return;
    }
    immediate = b;
    followsDefault = false;
}

void Property::SetEnabled(bool e) {
    if (e == enabled) {
        return;
    }
    enabled = e;
    for (PropertyEditor* editor : editors) {
        editor->SetEditorEnabled(e);
    }
    if (!(active && !e)) {
        Refresh();
    }
}

void Property::SetModified(bool m) {
    for (PropertyEditor* e : editors) {
        if (e->Kind() == EditorKind::Label) {
            if (m != modified) {
                modified = m;
                e->ModifiedChanged();
            }
            return;
        }
    }
}

BoolProperty::BoolProperty(PropertyHost& host, std::int32_t rowIndex, std::int32_t baseHeight,
                           std::uint8_t* boundVariable)
    : Property(host, rowIndex, 0, kPropBool, baseHeight), variable(boundVariable) {
    SetValue(false);
}

void BoolProperty::SetValue(bool v) {
    value = v ? 1 : 0;
    if (variable && immediate) {
        *variable = value;
    }
    NotifyChange();
}

void BoolProperty::ShowValue() {
    for (PropertyEditor* e : editors) {
        e->ShowValue();
    }
}

void BoolProperty::LoadFromVariable() {
    if (!variable) {
        return;
    }
    value = *variable;
    Refresh();
}

} // namespace vorticel
