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
    void OnOk();

    QComboBox* familyBox = nullptr;
    QLineEdit* widthBox = nullptr;
    QLineEdit* heightBox = nullptr;
    QComboBox* rendererBox = nullptr;
};

} // namespace vorticel
