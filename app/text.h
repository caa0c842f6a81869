// String-table texts as Qt strings.
#pragma once

#include "resources/strings.h"

#include <QString>

namespace vorticel {

inline QString Text(int id) {
    const std::string_view s = LoadStr(id);
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A text whose "%s" is replaced by `argument`.
inline QString Text(int id, const QString& argument) {
    QString text = Text(id);
    text.replace(QStringLiteral("%s"), argument);
    return text;
}

// A "Description (*.ext)|*.ext" filter as a Qt file-dialog filter.
inline QString DialogFilter(int id) {
    return Text(id).section(QLatin1Char('|'), 0, 0);
}

} // namespace vorticel
