// File errors worded for the user, in French: which file, what failed, and why.
#pragma once

#include <QString>

namespace vorticel {

class FileError;

// "Impossible de créer le fichier X" (or "d'ouvrir") and, on a second line, the reason.
QString FileErrorMessage(const FileError& error, const QString& fileName);

} // namespace vorticel
