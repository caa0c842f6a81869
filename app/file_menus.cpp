// Recent files through QSettings, examples from the installed or the source folder.
#include "app/file_menus.h"

#include "app/text.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <iterator>

#ifndef VORTICEL_SOURCE_EXAMPLES
#define VORTICEL_SOURCE_EXAMPLES ""
#endif

namespace vorticel {
namespace {

const QString kRecentKey = QStringLiteral("recentFiles");

// The examples with a proper name, by file name without extension; the name of the n-th is
// the text kStrExampleFirst + n.
constexpr const char* kExampleStems[] = {
    "icone-16-branches", "icone-3-branches",  "icone-6-branches", "ifs-dragon",
    "lorenz-papillon",   "lorenz-ruban",      "pickover-noeud",   "polynome-a-ailes",
    "polynome-b-voile",  "polynome-c-tulipe", "sprott-anneau",    "sprott-coquille",
    "unravel-eclats",
};

} // namespace

bool RecentFiles::Opens(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QStringLiteral("vtc"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0;
}

QStringList RecentFiles::List() {
    QStringList kept;
    for (const QString& path : QSettings().value(kRecentKey).toStringList()) {
        if (Opens(path) && QFileInfo(path).isFile() && !kept.contains(path) &&
            kept.size() < kMaximum) {
            kept.append(path);
        }
    }
    return kept;
}

void RecentFiles::Remove(const QString& path) {
    QStringList list = List();
    list.removeAll(QFileInfo(path).absoluteFilePath());
    QSettings().setValue(kRecentKey, list);
}

void RecentFiles::Add(const QString& path) {
    if (!Opens(path)) {
        return;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = List();
    list.removeAll(absolute);
    list.prepend(absolute);
    while (list.size() > kMaximum) {
        list.removeLast();
    }
    QSettings().setValue(kRecentKey, list);
}

QString ExamplesFolder() {
    // Installed: <prefix>/bin/vorticel beside <prefix>/share/vorticel/examples.
    const QDir installed(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/../share/vorticel/examples"));
    if (installed.exists()) {
        return installed.canonicalPath();
    }
    return QString::fromUtf8(VORTICEL_SOURCE_EXAMPLES);
}

QStringList ExampleFiles() {
    const QString folder = ExamplesFolder();
    if (folder.isEmpty()) {
        return {};
    }
    QStringList files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.vtc")}, QDir::Files, QDir::Name)) {
        files.append(dir.filePath(name));
    }
    return files;
}

QString ExampleName(const QString& path) {
    const QString stem = QFileInfo(path).completeBaseName();
    for (std::size_t i = 0; i < std::size(kExampleStems); ++i) {
        if (stem == QLatin1String(kExampleStems[i])) {
            return Text(kStrExampleFirst + static_cast<int>(i));
        }
    }
    // "lorenz-ruban.vtc" reads "Lorenz ruban".
    QString name = stem;
    name.replace(QLatin1Char('-'), QLatin1Char(' '));
    if (!name.isEmpty()) {
        name[0] = name[0].toUpper();
    }
    return name;
}

FileMenus::FileMenus(QWidget& frame, std::function<bool(const QString&)> open)
    : QObject(&frame), open_(std::move(open)) {
    recentMenu_ = new QMenu(Text(kStrRecentFiles), &frame);
    examplesMenu_ = new QMenu(Text(kStrExamples), &frame);
    for (const QString& path : ExampleFiles()) {
        QAction* action = examplesMenu_->addAction(ExampleName(path));
        connect(action, &QAction::triggered, this, [this, path] { open_(path); });
    }
    examplesMenu_->setEnabled(!examplesMenu_->isEmpty());
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] { Refresh(); });
    Refresh();
}

void FileMenus::Refresh() {
    recentMenu_->clear();
    const QStringList files = RecentFiles::List();
    for (int i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        // "&1 name" lets the keyboard pick the first nine.
        const QString text = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(path) : path;
        QAction* action = recentMenu_->addAction(text);
        connect(action, &QAction::triggered, this, [this, path] {
            if (!open_(path)) {
                RecentFiles::Remove(path);
                Refresh();
            }
        });
    }
    recentMenu_->setEnabled(!files.isEmpty());
}

} // namespace vorticel
