// The question before closing views with unsaved work, in a message box with Qt's own
// (translated) buttons, and the saves it leads to.
#include "app/close_guard.h"

#include "app/main_frame.h"
#include "app/text.h"
#include "app/view.h"

#include <QMessageBox>

namespace vorticel {
namespace {

CloseAnswer AskWithMessageBox(QWidget* parent, const QStringList& lines) {
    QMessageBox box(QMessageBox::Warning, Text(kStrAppTitle), Text(kStrUnsavedQuestion),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setInformativeText(lines.join(QLatin1Char('\n')));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return CloseAnswer::Save;
    case QMessageBox::Discard:
        return CloseAnswer::Discard;
    default:
        return CloseAnswer::Cancel;
    }
}

} // namespace

QStringList UnsavedWorkLines(const QList<ViewWindow*>& views) {
    QStringList lines;
    for (const ViewWindow* view : views) {
        const bool image = view->ImageUnsaved();
        const bool parameters = view->ParametersUnsaved();
        if (image || parameters) {
            const int id = image && parameters ? kStrUnsavedBoth
                           : image             ? kStrUnsavedImage
                                               : kStrUnsavedParameters;
            lines.append(Text(id, view->Title()));
        }
    }
    return lines;
}

CloseGuard::CloseGuard(MainFrame& frame) : frame_(frame) {
    ask = [this](const QStringList& lines) { return AskWithMessageBox(&frame_, lines); };
    chooseFile = [this](ViewWindow& view, SaveKind kind) {
        return kind == SaveKind::Image ? frame_.AskImageFileName(view)
                                       : frame_.AskAttractorFileName();
    };
}

bool CloseGuard::MayClose(const QList<ViewWindow*>& views) {
    if (asking_) {
        return false; // the first close is still being decided
    }
    const QStringList lines = UnsavedWorkLines(views);
    if (lines.isEmpty()) {
        return true;
    }
    asking_ = true;
    bool mayClose = false;
    switch (ask(lines)) {
    case CloseAnswer::Discard:
        mayClose = true;
        break;
    case CloseAnswer::Save:
        mayClose = true;
        for (ViewWindow* view : views) {
            if (!Save(*view)) {
                mayClose = false; // what was saved stays saved; nothing closes
                break;
            }
        }
        break;
    case CloseAnswer::Cancel:
        break;
    }
    asking_ = false;
    return mayClose;
}

bool CloseGuard::Save(ViewWindow& view) {
    if (view.ImageUnsaved()) {
        const QString name = chooseFile(view, SaveKind::Image);
        if (name.isEmpty() || !frame_.SaveImage(view, name)) {
            return false;
        }
    }
    // A PNG carries the parameters too; a BMP does not.
    if (view.ParametersUnsaved()) {
        const QString name = chooseFile(view, SaveKind::Parameters);
        if (name.isEmpty() || !frame_.SaveAttractor(view, name)) {
            return false;
        }
    }
    return true;
}

} // namespace vorticel
