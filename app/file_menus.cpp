// Recent files through QSettings, examples from the installed or the source folder.
#include "app/file_menus.h"

#include "app/text.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

#ifndef VORTICEL_SOURCE_EXAMPLES
#define VORTICEL_SOURCE_EXAMPLES ""
#endif

namespace vorticel {
namespace {

const QString kRecentKey = QStringLiteral("recentFiles");

} // namespace

QStringList RecentFiles::List() {
    QStringList kept;
    for (const QString& path : QSettings().value(kRecentKey).toStringList()) {
        if (QFileInfo(path).isFile() && !kept.contains(path) && kept.size() < kMaximum) {
            kept.append(path);
        }
    }
    return kept;
}

void RecentFiles::Add(const QString& path) {
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

FileMenus::FileMenus(QWidget& frame, std::function<void(const QString&)> open)
    : QObject(&frame), open_(std::move(open)) {
    MM_recent = new QMenu(Text(kStrRecentFiles), &frame);
    MM_examples = new QMenu(Text(kStrExamples), &frame);
    for (const QString& path : ExampleFiles()) {
        // "lorenz-butterfly.vtc" is listed as "lorenz butterfly".
        QString name = QFileInfo(path).completeBaseName();
        name.replace(QLatin1Char('-'), QLatin1Char(' '));
        QAction* action = MM_examples->addAction(name);
        connect(action, &QAction::triggered, this, [this, path] { open_(path); });
    }
    MM_examples->setEnabled(!MM_examples->isEmpty());
    connect(MM_recent, &QMenu::aboutToShow, this, [this] { Refresh(); });
    Refresh();
}

void FileMenus::Refresh() {
    MM_recent->clear();
    const QStringList files = RecentFiles::List();
    for (int i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        // "&1 name" lets the keyboard pick the first nine.
        const QString text = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(path) : path;
        QAction* action = MM_recent->addAction(text);
        connect(action, &QAction::triggered, this, [this, path] { open_(path); });
    }
    MM_recent->setEnabled(!files.isEmpty());
}

} // namespace vorticel
