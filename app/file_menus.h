// The two lists of the File menu: the files opened or saved last ("Fichiers récents", kept
// between runs) and the example parameter sets shipped with the program ("Exemples").
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QMenu;
class QWidget;

namespace vorticel {

// The most recent first, at most kMaximum, each file once, only files the program opens
// (parameter files and PNG images, not BMPs); files that no longer exist are dropped when the
// list is read. Kept in the user's settings under "recentFiles".
class RecentFiles {
public:
    static constexpr int kMaximum = 8;

    static QStringList List();
    // Does nothing for a file of a kind the program does not open.
    static void Add(const QString& path);
    static void Remove(const QString& path);
    // A parameter file or a PNG image, by its extension.
    static bool Opens(const QString& path);
};

// The folder of the examples: beside an installed program, else the source tree's.
QString ExamplesFolder();
// The examples' files, in name order.
QStringList ExampleFiles();
// How the "Exemples" menu names an example file: its proper name ("Icône à 16 branches"),
// or for a file the program has no name for, the file's name in words ("Lorenz ruban").
QString ExampleName(const QString& path);

// Keeps a "Fichiers récents" and an "Exemples" submenu filled; picking an entry calls
// `open` with its path, which says whether the file opened. A recent file that does not
// open (`open` has told the user why) leaves the list.
class FileMenus : public QObject {
public:
    FileMenus(QWidget& frame, std::function<bool(const QString&)> open);

    QMenu* recentMenu() const { return recentMenu_; }
    QMenu* examplesMenu() const { return examplesMenu_; }
    // Re-reads the recent files (after an open or a save).
    void Refresh();

private:
    QMenu* recentMenu_ = nullptr;
    QMenu* examplesMenu_ = nullptr;
    std::function<bool(const QString&)> open_;
};

} // namespace vorticel
