// Qt's own texts (file dialogs, message-box buttons) in French.
#pragma once

class QTranslator;

namespace vorticel {

// Loads Qt's French translations into `translator` and installs it for the application;
// false when the translations are not installed (Qt's dialogs then stay in English).
bool InstallFrenchQtTexts(QTranslator& translator);

} // namespace vorticel
