// Before views close: which of them hold work no file has, one question for all of them,
// and the saves the user asks for.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace vorticel {

class ViewWindow;
class MainFrame;

enum class CloseAnswer { Save, Discard, Cancel };
enum class SaveKind { Image, Parameters };

// One line per view of `views` that holds unsaved work, saying whose and what.
QStringList UnsavedWorkLines(const QList<ViewWindow*>& views);

class CloseGuard {
public:
    explicit CloseGuard(MainFrame& frame);

    // True when `views` may close: nothing unsaved, or the user discarded it, or saved all
    // of it. False when the user cancelled (the question, or a save dialog) or a save failed;
    // then every view stays as it was. While the question is up, a second close is refused.
    bool MayClose(const QList<ViewWindow*>& views);

    // The question (the lines of UnsavedWorkLines) and the save dialogs, which return the
    // chosen file name or an empty one; tests put their own in place.
    std::function<CloseAnswer(const QStringList& lines)> ask;
    std::function<QString(ViewWindow& view, SaveKind kind)> chooseFile;

private:
    bool Save(ViewWindow& view);

    MainFrame& frame_;
    bool asking_ = false;
};

} // namespace vorticel
