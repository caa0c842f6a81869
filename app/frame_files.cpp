// The frame's file actions: opening parameter files and images, saving them, drops.
#include "app/app_state.h"
#include "app/file_menus.h"
#include "app/file_messages.h"
#include "app/main_frame.h"
#include "app/palettes.h"
#include "app/text.h"
#include "app/view.h"
#include "attractor/attractor.h"
#include "attractor/parameter_file.h"
#include "io/file_error.h"
#include "render/bitmap3d.h"
#include "render/recipe.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>

namespace vorticel {
namespace {

bool IsImageFile(const QString& fileName) {
    return fileName.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
}

} // namespace

TForm_view* TMDIform::OpenParameterFile(const QString& fileName, TForm_view* view) {
    if (IsImageFile(fileName)) {
        return OpenImage(fileName, view);
    }
    const std::string path = fileName.toStdString();
    bool created = false;
    try {
        if (!view) {
            const std::optional<int> family = ReadFamilyIndex(path);
            if (!family) {
                ShowError(Text(kStrHeaderNamesNoFamily, fileName));
                return nullptr;
            }
            view = CreateView(*family); // the dialog keeps the family the user chose last
            if (!view) {
                return nullptr;
            }
            created = true;
        }
        view->GetAttractor()->LoadParameters(path);
    } catch (const FileError& error) {
        ShowError(FileErrorMessage(error, fileName));
        if (created && view) {
            // A view made for a file that cannot be read would only hold defaults.
            view->parentWidget()->close();
            return nullptr;
        }
        return view;
    }
    if (palettes_) {
        palettes_->RefreshValues();
    }
    view->FitAndShow(0);
    view->RecordEdit(Text(kStrEditOpen));
    RecentFiles::Add(fileName);
    return view;
}

TForm_view* TMDIform::OpenImage(const QString& fileName, TForm_view* view) {
    ImageRecipe recipe;
    try {
        recipe = LoadImageRecipe(fileName.toStdString());
    } catch (const FileError& error) {
        ShowError(FileErrorMessage(error, fileName));
        return view;
    }
    if (!view) {
        view = CreateView(recipe.family, recipe.renderer, recipe.width, recipe.height);
        if (!view) {
            return nullptr;
        }
    }
    view->ApplyRecipe(recipe);
    view->RecordEdit(Text(kStrEditOpen));
    RecentFiles::Add(fileName);
    return view;
}

TForm_view* TMDIform::OpenInNewView(const QString& fileName, bool quickRender) {
    TForm_view* view = OpenParameterFile(fileName, nullptr);
    if (view && quickRender && view->State() == ViewState::Preview) {
        view->QuickRender();
    }
    return view;
}

void TMDIform::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        const QString path = url.toLocalFile();
        if (url.isLocalFile() &&
            (path.endsWith(QStringLiteral(".vtc"), Qt::CaseInsensitive) || IsImageFile(path))) {
            event->acceptProposedAction();
            return;
        }
    }
}

void TMDIform::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            OpenInNewView(url.toLocalFile());
        }
    }
    event->acceptProposedAction();
}

void TMDIform::A_ouvrirExecute() {
    TForm_view* view = App().activeView;
    if (view && view->Busy()) {
        return;
    }
    const QString filters = DialogFilter(kStrOpenFilter) + QStringLiteral(";;") +
                            DialogFilter(kStrParameterFilter) + QStringLiteral(";;") +
                            DialogFilter(kStrPngFilter);
    const QString fileName = QFileDialog::getOpenFileName(this, QString(), QString(), filters);
    if (!fileName.isEmpty()) {
        OpenParameterFile(fileName, view);
    }
}

bool TMDIform::SaveAttractor(TForm_view& view, const QString& fileName) {
    try {
        view.GetAttractor()->SaveParameters(fileName.toStdString());
        RecentFiles::Add(fileName);
        return true;
    } catch (const FileError& error) {
        ShowError(FileErrorMessage(error, fileName));
        return false;
    }
}

bool TMDIform::SaveImage(TForm_view& view, const QString& fileName) {
    try {
        if (IsImageFile(fileName)) {
            // The image carries its recipe: "Ouvrir..." of it gives the view back.
            SaveImagePng(fileName.toStdString(), *view.GetAttractor(), *view.GetBitmap(),
                         view.iterationTarget,
                         palettes_ ? palettes_->UpdateCount()
                                   : ParameterPalettes::kDefaultUpdateCount,
                         view.RenderWorkers());
        } else {
            view.GetBitmap()->SaveBmp(fileName.toStdString());
        }
        RecentFiles::Add(fileName);
    } catch (const FileError& error) {
        ShowError(FileErrorMessage(error, fileName));
        return false;
    }
    view.SetTitle(fileName);
    return true;
}

void TMDIform::A_enreg_att_sousExecute() {
    TForm_view* view = App().activeView;
    if (!view || view->Busy() || view->Scanned()) {
        return;
    }
    QFileDialog dialog(this, Text(kStrSaveDialogTitle), QString(),
                       DialogFilter(kStrParameterFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("vtc"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        SaveAttractor(*view, dialog.selectedFiles().first());
    }
}

void TMDIform::A_enreg_image_sousExecute() {
    TForm_view* view = App().activeView;
    if (!view) {
        return;
    }
    const QString png = DialogFilter(kStrPngFilter);
    const QString bmp = DialogFilter(kStrBitmapFilter);
    QFileDialog dialog(this, Text(kStrSaveDialogTitle), view->Title(),
                       png + QStringLiteral(";;") + bmp);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    // The extension follows the kind of image chosen.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, bmp](const QString& f) {
        dialog.setDefaultSuffix(f == bmp ? QStringLiteral("bmp") : QStringLiteral("png"));
    });
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        SaveImage(*view, dialog.selectedFiles().first());
    }
}

} // namespace vorticel
