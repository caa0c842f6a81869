// Qt's own file dialog without its "Type" column.
#include "app/file_dialogs.h"

#include "app/text.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QObject>
#include <QTreeView>

namespace vorticel {
namespace {

// The columns of the dialog's detail view.
constexpr int kNameColumn = 0;
constexpr int kSizeColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;

} // namespace

void HideTypeColumn(QFileDialog& dialog) {
    // The dialog has restored its saved layout while it was built; this comes after.
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView& header = *details->header();
        header.setSectionHidden(kTypeColumn, true);
        // Sizes and dates whole; the names take what is left.
        header.setStretchLastSection(false);
        header.setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
        header.setSectionResizeMode(kSizeColumn, QHeaderView::ResizeToContents);
        header.setSectionResizeMode(kDateColumn, QHeaderView::ResizeToContents);
    }
}

QString AskImageFile(QWidget* parent, const QString& proposal, int* depth, bool offerBmp) {
    const QString png = DialogFilter(kStrPngFilter);
    const QString png16 = DialogFilter(kStrPng16Filter);
    const QString bmp = DialogFilter(kStrBitmapFilter);
    QStringList filters{png};
    if (depth) {
        filters.append(png16);
    }
    if (offerBmp) {
        filters.append(bmp);
    }
    QFileDialog dialog(parent, Text(kStrSaveDialogTitle), proposal,
                       filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    HideTypeColumn(dialog);
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog, [&dialog, bmp](const QString& f) {
            dialog.setDefaultSuffix(f == bmp ? QStringLiteral("bmp") : QStringLiteral("png"));
        });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    if (depth) {
        *depth = dialog.selectedNameFilter() == png16 ? 16 : 8;
    }
    return dialog.selectedFiles().first();
}

} // namespace vorticel
