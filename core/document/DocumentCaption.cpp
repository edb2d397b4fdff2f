#include "core/document/DocumentCaption.h"

namespace marlix {

namespace {
const QString changedMark = QStringLiteral("*");
}

QString documentCaption(const QString &fileName, bool changed) {
    return changed ? changedMark + fileName : fileName;
}

QString captionFileName(const QString &caption, bool changed) {
    // Only the mark is taken off, so a file name that itself begins with "*" survives.
    return changed && caption.startsWith(changedMark) ? caption.mid(changedMark.size()) : caption;
}

namespace {

QStringList pathSteps(const QString &path) {
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

// How many steps two paths share at their ends.
int sharedEnd(const QStringList &a, const QStringList &b) {
    int shared = 0;
    while (shared < a.size() && shared < b.size() &&
           a[a.size() - 1 - shared] == b[b.size() - 1 - shared])
        ++shared;
    return shared;
}

} // namespace

QStringList tabNames(const QStringList &paths) {
    QList<QStringList> steps;
    steps.reserve(paths.size());
    for (const QString &path : paths)
        steps.append(pathSteps(path));
    QStringList names;
    names.reserve(paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QStringList &own = steps[i];
        if (own.isEmpty()) {
            names.append(paths[i]);
            continue;
        }
        int needed = 1;
        for (qsizetype j = 0; j < paths.size(); ++j)
            if (j != i && paths[j] != paths[i] && !steps[j].isEmpty())
                needed = qMax(needed, sharedEnd(own, steps[j]) + 1);
        if (needed >= own.size())
            names.append(paths[i]); // told apart only by the whole path
        else
            names.append(own.mid(own.size() - needed).join(QLatin1Char('/')));
    }
    return names;
}

} // namespace marlix
