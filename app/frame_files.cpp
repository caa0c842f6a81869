// The frame's file actions: opening parameter files and images, saving them, drops.
#include "app/app_state.h"
#include "app/file_dialogs.h"
#include "app/file_menus.h"
#include "app/file_messages.h"
#include "app/main_frame.h"
#include "app/palettes.h"
#include "app/text.h"
#include "app/view.h"
#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "attractor/parameter_file.h"
#include "io/file_error.h"
#include "render/bmp_writer.h"
#include "render/recipe.h"
#include "render/renderer.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>

namespace vorticel {
namespace {

bool IsImageFile(const QString& fileName) {
    return fileName.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
}

} // namespace

ViewWindow* MainFrame::CreateViewForFile(int family, int renderer, std::int32_t width,
                                         std::int32_t height) {
    ViewWindow* view = CreateView(family, renderer, width, height);
    // Titled after its file, it takes no number: the next untitled view gets this one.
    AppState& app = App();
    app.untitledCounter = static_cast<std::int16_t>(app.untitledCounter - 1);
    return view;
}

ViewWindow* MainFrame::OpenParameterFile(const QString& fileName, ViewWindow* view) {
    if (IsImageFile(fileName)) {
        return OpenImage(fileName, view);
    }
    const std::string path = fileName.toStdString();
    bool created = false;
    try {
        // One file, one result, into whichever view: the file's family comes with it.
        const std::optional<int> family = ReadFamilyIndex(path);
        if (!family) {
            ShowError(Text(kStrHeaderNamesNoFamily, fileName));
            return view;
        }
        if (!view) {
            view = CreateViewForFile(*family); // the dialog keeps the family chosen last
            if (!view) {
                return nullptr;
            }
            created = true;
        }
        if (view->GetAttractor()->typeIndex == *family) {
            view->GetAttractor()->LoadParameters(path);
            view->FitAndShow(0);
        } else {
            // Loaded aside first: a file that cannot be read leaves the view as it was.
            std::unique_ptr<Attractor> loaded = CreateAttractor(*family);
            loaded->LoadParameters(path);
            if (!view->ReplaceAttractor(std::move(loaded))) {
                return view;
            }
        }
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
    Opened(*view, fileName);
    return view;
}

void MainFrame::Opened(ViewWindow& view, const QString& fileName) {
    view.RecordEdit(Text(kStrEditOpen)); // one step, the family change included
    view.SetTitle(QFileInfo(fileName).fileName());
    view.MarkParametersSaved();
    RecentFiles::Add(fileName);
}

ViewWindow* MainFrame::OpenImage(const QString& fileName, ViewWindow* view) {
    ImageRecipe recipe;
    try {
        recipe = LoadImageRecipe(fileName.toStdString());
    } catch (const FileError& error) {
        ShowError(FileErrorMessage(error, fileName));
        return view;
    }
    if (!view) {
        view = CreateViewForFile(recipe.family, recipe.renderer, recipe.width, recipe.height);
        if (!view) {
            return nullptr;
        }
    }
    view->ApplyRecipe(recipe);
    Opened(*view, fileName);
    return view;
}

ViewWindow* MainFrame::OpenInNewView(const QString& fileName, bool quickRender) {
    ViewWindow* view = OpenParameterFile(fileName, nullptr);
    if (view && quickRender && view->State() == ViewState::Preview) {
        view->QuickRender();
    }
    return view;
}

void MainFrame::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        const QString path = url.toLocalFile();
        if (url.isLocalFile() &&
            (path.endsWith(QStringLiteral(".vtc"), Qt::CaseInsensitive) || IsImageFile(path))) {
            event->acceptProposedAction();
            return;
        }
    }
}

void MainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            OpenInNewView(url.toLocalFile());
        }
    }
    event->acceptProposedAction();
}

void MainFrame::OnOpen() {
    ViewWindow* view = App().activeView;
    if (view && view->Busy()) {
        return;
    }
    const QString filters = DialogFilter(kStrOpenFilter) + QStringLiteral(";;") +
                            DialogFilter(kStrParameterFilter) + QStringLiteral(";;") +
                            DialogFilter(kStrPngFilter);
    QFileDialog dialog(this, QString(), QString(), filters);
    dialog.setFileMode(QFileDialog::ExistingFile);
    HideTypeColumn(dialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        OpenParameterFile(dialog.selectedFiles().first(), view);
    }
}

bool MainFrame::SaveAttractor(ViewWindow& view, const QString& fileName) {
    try {
        view.GetAttractor()->SaveParameters(fileName.toStdString());
        view.MarkParametersSaved();
        RecentFiles::Add(fileName);
        return true;
    } catch (const FileError& error) {
        ShowError(FileErrorMessage(error, fileName));
        return false;
    }
}

std::int32_t MainFrame::UpdateCount() const {
    return palettes_ ? palettes_->UpdateCount() : ParameterPalettes::kDefaultUpdateCount;
}

ImageRecipe MainFrame::RecipeOfView(ViewWindow& view) const {
    return RecipeOf(*view.GetAttractor(), *view.GetRenderer(), view.iterationTarget, UpdateCount(),
                    view.RenderWorkers());
}

bool MainFrame::SaveImage(ViewWindow& view, const QString& fileName, int depth) {
    try {
        if (IsImageFile(fileName)) {
            // The image carries its recipe: "Ouvrir..." of it gives the view back.
            if (depth == 16) {
                SaveImagePng(fileName.toStdString(), RecipeOfView(view), *view.GetRenderer(), 16);
            } else {
                SaveImagePng(fileName.toStdString(), *view.GetAttractor(), *view.GetRenderer(),
                             view.iterationTarget, UpdateCount(), view.RenderWorkers());
            }
            view.MarkParametersSaved();
        } else {
            SaveBmp(fileName.toStdString(), view.GetRenderer()->GetImage());
        }
        RecentFiles::Add(fileName);
    } catch (const FileError& error) {
        ShowError(FileErrorMessage(error, fileName));
        return false;
    }
    view.MarkImageSaved();
    view.SetTitle(fileName);
    return true;
}

QString MainFrame::AskAttractorFileName() {
    QFileDialog dialog(this, Text(kStrSaveDialogTitle), QString(),
                       DialogFilter(kStrParameterFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("vtc"));
    HideTypeColumn(dialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        return dialog.selectedFiles().first();
    }
    return {};
}

void MainFrame::OnSaveParametersAs() {
    ViewWindow* view = App().activeView;
    if (!view || view->Busy() || view->Scanned()) {
        return;
    }
    const QString fileName = AskAttractorFileName();
    if (!fileName.isEmpty()) {
        SaveAttractor(*view, fileName);
    }
}

QString MainFrame::AskImageFileName(const ViewWindow& view, int* depth) {
    // A view titled after its parameter file proposes an image of the same name, never the
    // parameter file itself.
    QString proposal = view.Title();
    if (proposal.endsWith(QStringLiteral(".vtc"), Qt::CaseInsensitive)) {
        proposal.chop(4);
    }
    return AskImageFile(this, proposal, depth, true);
}

void MainFrame::OnSaveImageAs() {
    ViewWindow* view = App().activeView;
    if (!view) {
        return;
    }
    int depth = 8;
    const QString fileName = AskImageFileName(*view, &depth);
    if (!fileName.isEmpty()) {
        SaveImage(*view, fileName, depth);
    }
}

} // namespace vorticel
