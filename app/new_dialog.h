// NewAttractorDialog: family, image size and renderer for a new view.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace vorticel {

class NewAttractorDialog : public QDialog {
public:
    explicit NewAttractorDialog(QWidget* owner);

    // What is wrong with the typed size, or an empty text when both sides are valid.
    QString ValidationError() const;
    // Stores the choices in the remembered values when they are valid; otherwise says what
    // is wrong and keeps the dialog open.
    void B_okClick();

    QComboBox* C_att_type = nullptr;
    QLineEdit* T_width = nullptr;
    QLineEdit* T_height = nullptr;
    QComboBox* C_render = nullptr;
};

} // namespace vorticel
