#pragma once

#include <QString>

namespace marlix {

// Menus and tabs draw their captions with access keys: a path's "&" must stay a character.
inline QString mnemonicFree(const QString &caption) {
    QString text = caption;
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace marlix
