// Qt's own file dialog without its "Type" column.
#include "app/file_dialogs.h"

#include <QFileDialog>
#include <QHeaderView>
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

} // namespace vorticel
