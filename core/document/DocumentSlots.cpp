#include "core/document/DocumentSlots.h"

#include <QDir>
#include <QFile>

#include <climits>
#include <cstdlib>

namespace marlix {

namespace {

// The file a path reaches, links and ".." followed as the system follows them; empty when
// there is none.
QByteArray realFile(const QString &path) {
    if (path.isEmpty())
        return {};
    char resolved[PATH_MAX];
    if (!::realpath(QFile::encodeName(path).constData(), resolved))
        return {};
    return QByteArray(resolved);
}

bool hasParentStep(const QString &path) {
    const QStringList steps = path.split(QLatin1Char('/'));
    return steps.contains(QStringLiteral(".."));
}

} // namespace

QString cleanDocumentPath(const QString &path) {
    if (path.isEmpty())
        return path;
    const QString cleaned = QDir::cleanPath(path);
    if (!hasParentStep(path))
        return cleaned;
    // Taking "a/.." away is only right when "a" is no link to a folder elsewhere.
    const QByteArray reached = realFile(path);
    return !reached.isEmpty() && reached == realFile(cleaned) ? cleaned : path;
}

bool sameDocument(const QString &first, const QString &second) {
    if (first == second)
        return true;
    if (first.isEmpty() || second.isEmpty())
        return false;
    const QByteArray a = realFile(first);
    const QByteArray b = realFile(second);
    if (!a.isEmpty() || !b.isEmpty())
        return a == b;
    return cleanDocumentPath(first) == cleanDocumentPath(second);
}

int tabActiveAfterRemoval(int removed, int count) {
    if (count <= 1)
        return -1;
    return removed < count - 1 ? removed : 0;
}

} // namespace marlix
