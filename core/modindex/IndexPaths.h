#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Path rules shared by the parts of the mod index.
namespace marlix {

// Logical paths compare ignoring letter case, as the game opens its files.
inline QString foldPath(const QString &path) {
    return path.toCaseFolded();
}

// The part before the last "/"; empty for a bare name.
inline QString folderOf(const QString &path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

inline bool readFileBytes(const QString &path, QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return true;
}

} // namespace marlix
