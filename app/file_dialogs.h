// What the program changes in Qt's own file dialog.
#pragma once

#include <QString>

class QFileDialog;
class QWidget;

namespace vorticel {

// Hides the "Type" column of Qt's own dialog (a desktop's native dialog is left alone): Qt
// names a folder's type "Folder" in every language and the column cuts "Image PNG", while the
// file-type list below already says what the files are. The dates are shown whole.
void HideTypeColumn(QFileDialog& dialog);

// The save dialog of an image, titled "Enregistrer sous", proposing `proposal`: "Image PNG",
// then "Image PNG 16 bits" when `depth` is given (which receives 8 or 16 as chosen), then
// "Bitmap 24 bits" when `offerBmp`. The extension follows the type. Empty when cancelled.
QString AskImageFile(QWidget* parent, const QString& proposal, int* depth, bool offerBmp);

} // namespace vorticel
