// What the program changes in Qt's own file dialog.
#pragma once

class QFileDialog;

namespace vorticel {

// Hides the "Type" column of Qt's own dialog (a desktop's native dialog is left alone): Qt
// names a folder's type "Folder" in every language and the column cuts "Image PNG", while the
// file-type list below already says what the files are. The dates are shown whole.
void HideTypeColumn(QFileDialog& dialog);

} // namespace vorticel
