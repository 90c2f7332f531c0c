#pragma once

#include <QString>

// A text the database takes as text: a null string would be NULL, which the columns refuse.
inline QString SqlText(const QString& text) {
    return text.isNull() ? QString(QLatin1StringView("")) : text;
}
