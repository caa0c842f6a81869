// The new-attractor dialog and its remembered values.
#include "app/new_dialog.h"

#include "app/app_state.h"
#include "app/messages.h"
#include "app/text.h"
#include "attractor/catalogue.h"
#include "render/colour.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorticel {
namespace {

constexpr int kMaxDigits = 4;

bool ParseInteger(const QString& text, int& value) {
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

} // namespace

NewAttractorDialog::NewAttractorDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle(Text(kStrNewDialogTitle));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint);
    const AppState& app = App();

    C_att_type = new QComboBox(this);
    for (int i = 0; i < kFamilyCount; ++i) {
        C_att_type->addItem(Text(kStrFamilyFirst + 2 * i));
    }
    C_att_type->setCurrentIndex(app.newFamily);
    T_width = new QLineEdit(QString::number(app.newWidth), this);
    T_height = new QLineEdit(QString::number(app.newHeight), this);
    T_width->setMaxLength(kMaxDigits);
    T_height->setMaxLength(kMaxDigits);
    C_render = new QComboBox(this);
    for (int i = 0; i < kRendererCount; ++i) {
        C_render->addItem(Text(kStrRendererFirst + i));
    }
    C_render->setCurrentIndex(app.newRenderer);

    const auto label = [this](int textId, QWidget* buddy) {
        auto* l = new QLabel(Text(textId), this);
        l->setBuddy(buddy);
        return l;
    };
    auto* attractorBox = new QGroupBox(Text(kStrGroupAttractor), this);
    auto* attractorForm = new QFormLayout(attractorBox);
    attractorForm->addRow(label(kStrTypeLabel, C_att_type), C_att_type);

    auto* imageBox = new QGroupBox(Text(kStrGroupImage), this);
    auto* imageForm = new QFormLayout(imageBox);
    auto* size = new QHBoxLayout;
    size->addWidget(T_width);
    size->addWidget(label(kStrHeightLabel, T_height));
    size->addWidget(T_height);
    imageForm->addRow(label(kStrWidthLabel, T_width), size);
    imageForm->addRow(label(kStrRenderLabel, C_render), C_render);

    auto* ok = new QPushButton(Text(kStrOk), this);
    auto* cancel = new QPushButton(Text(kStrCancel), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { B_okClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* boxes = new QVBoxLayout;
    boxes->addWidget(attractorBox);
    boxes->addWidget(imageBox);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(boxes);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    C_att_type->setFocus();
}

QString NewAttractorDialog::ValidationError() const {
    int width = 0;
    int height = 0;
    if (!ParseInteger(T_width->text(), width)) {
        return Text(kStrNotAnInteger, T_width->text());
    }
    if (!ParseInteger(T_height->text(), height)) {
        return Text(kStrNotAnInteger, T_height->text());
    }
    return ImageSizeMessage(width, height);
}

void NewAttractorDialog::B_okClick() {
    const QString error = ValidationError();
    if (!error.isEmpty()) {
        ShowMessage(MessageKind::Warning, Text(kStrNewDialogTitle), error);
        return;
    }
    AppState& app = App();
    app.newFamily = static_cast<std::uint8_t>(C_att_type->currentIndex());
    app.newWidth = T_width->text().trimmed().toInt();
    app.newHeight = T_height->text().trimmed().toInt();
    app.newRenderer = static_cast<std::uint8_t>(C_render->currentIndex());
    accept();
}

} // namespace vorticel
