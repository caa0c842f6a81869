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

    familyBox = new QComboBox(this);
    for (int i = 0; i < kFamilyCount; ++i) {
        familyBox->addItem(Text(kStrFamilyFirst + 2 * i));
    }
    familyBox->setCurrentIndex(app.newFamily);
    widthBox = new QLineEdit(QString::number(app.newWidth), this);
    heightBox = new QLineEdit(QString::number(app.newHeight), this);
    widthBox->setMaxLength(kMaxDigits);
    heightBox->setMaxLength(kMaxDigits);
    rendererBox = new QComboBox(this);
    for (int i = 0; i < kRendererCount; ++i) {
        rendererBox->addItem(Text(kStrRendererFirst + i));
    }
    rendererBox->setCurrentIndex(app.newRenderer);

    const auto label = [this](int textId, QWidget* buddy) {
        auto* l = new QLabel(Text(textId), this);
        l->setBuddy(buddy);
        return l;
    };
    auto* attractorBox = new QGroupBox(Text(kStrGroupAttractor), this);
    auto* attractorForm = new QFormLayout(attractorBox);
    attractorForm->addRow(label(kStrTypeLabel, familyBox), familyBox);

    auto* imageBox = new QGroupBox(Text(kStrGroupImage), this);
    auto* imageForm = new QFormLayout(imageBox);
    auto* size = new QHBoxLayout;
    size->addWidget(widthBox);
    size->addWidget(label(kStrHeightLabel, heightBox));
    size->addWidget(heightBox);
    imageForm->addRow(label(kStrWidthLabel, widthBox), size);
    imageForm->addRow(label(kStrRenderLabel, rendererBox), rendererBox);

    auto* ok = new QPushButton(Text(kStrOk), this);
    auto* cancel = new QPushButton(Text(kStrCancel), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
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
    familyBox->setFocus();
}

QString NewAttractorDialog::ValidationError() const {
    int width = 0;
    int height = 0;
    if (!ParseInteger(widthBox->text(), width)) {
        return Text(kStrNotAnInteger, widthBox->text());
    }
    if (!ParseInteger(heightBox->text(), height)) {
        return Text(kStrNotAnInteger, heightBox->text());
    }
    return ImageSizeMessage(width, height);
}

void NewAttractorDialog::OnOk() {
    const QString error = ValidationError();
    if (!error.isEmpty()) {
        ShowMessage(MessageKind::Warning, Text(kStrNewDialogTitle), error);
        return;
    }
    AppState& app = App();
    app.newFamily = static_cast<std::uint8_t>(familyBox->currentIndex());
    app.newWidth = widthBox->text().trimmed().toInt();
    app.newHeight = heightBox->text().trimmed().toInt();
    app.newRenderer = static_cast<std::uint8_t>(rendererBox->currentIndex());
    accept();
}

} // namespace vorticel
