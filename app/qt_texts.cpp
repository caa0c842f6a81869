// The interface is French whatever the system's language, Qt's standard dialogs included.
#include "app/qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vorticel {

bool InstallFrenchQtTexts(QTranslator& translator) {
    if (!translator.load(QStringLiteral("qtbase_fr"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return QCoreApplication::installTranslator(&translator);
}

} // namespace vorticel
