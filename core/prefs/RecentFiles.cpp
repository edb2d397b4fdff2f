#include "core/prefs/RecentFiles.h"

#include "core/common/LineFile.h"

#include <QFileInfo>

namespace marlix {

QStringList recentAfterOpening(QStringList list, const QString &path) {
    const qsizetype old = list.indexOf(path);
    if (old >= 0)
        list.removeAt(old);
    list.prepend(path);
    while (list.size() > RecentFilesLimit)
        list.removeAt(RecentFilesLimit);
    return list;
}

QStringList readRecentFile(const QString &fileName) {
    if (!QFileInfo::exists(fileName))
        return {};
    return readPathLines(fileName, {RecentFilesLimit});
}

QStringList addToRecentFile(const QString &fileName, const QString &path) {
    const QStringList list = recentAfterOpening(readRecentFile(fileName), path);
    writePathLines(fileName, list);
    return list;
}

QString recentEntryPath(const QString &caption) {
    QString path;
    path.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) {
            path += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
            path += QLatin1Char('&');
            ++i;
        }
    }
    return path;
}

} // namespace marlix
