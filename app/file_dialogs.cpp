// Qt's own file dialog without its "Type" column.
#include "app/file_dialogs.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

namespace vorticel {
namespace {

constexpr int kTypeColumn = 2; // name, size, type, date

} // namespace

void HideTypeColumn(QFileDialog& dialog) {
    // The dialog has restored its saved layout while it was built; this comes after.
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        details->header()->setSectionHidden(kTypeColumn, true);
    }
}

} // namespace vorticel
