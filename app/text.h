// String-table texts as Qt strings.
#pragma once

#include "render/image_size.h"
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

// Why the renderers refuse an image of width x height (as asked for); empty when they take it.
inline QString ImageSizeMessage(std::int64_t width, std::int64_t height) {
    switch (CheckImageSize(width, height)) {
    case ImageSizeCheck::WidthTooSmall:
        return Text(kStrWidthTooSmall);
    case ImageSizeCheck::HeightTooSmall:
        return Text(kStrHeightTooSmall);
    case ImageSizeCheck::TooLarge:
        return Text(kStrImageTooLarge, QStringLiteral("%1 x %2").arg(width).arg(height));
    case ImageSizeCheck::Ok:
        break;
    }
    return {};
}

} // namespace vorticel
