#include "core/document/DocumentSlots.h"

#include <QDir>
#include <QFile>

#include <climits>
#include <cstdlib>

namespace marlix {

int lowestFreeSlot(const SlotCaptions &captions) {
    for (int i = 0; i < DocumentSlotCount; ++i)
        if (!captions[i])
            return i;
    return -1;
}

int slotWithCaption(const SlotCaptions &captions, const QString &caption) {
    for (int i = DocumentSlotCount - 1; i >= 0; --i)
        if (captions[i] && *captions[i] == caption)
            return i;
    return -1;
}

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

int slotWithFile(const SlotCaptions &captions, const QString &path) {
    // The exact caption first, as it costs nothing and holds also for a file gone from disk.
    const int exact = slotWithCaption(captions, path);
    if (exact >= 0 || path.isEmpty())
        return exact;
    for (int i = DocumentSlotCount - 1; i >= 0; --i)
        if (captions[i] && !captions[i]->isEmpty() && sameDocument(*captions[i], path))
            return i;
    return -1;
}

int tabActiveAfterRemoval(int removed, int count) {
    if (count <= 1)
        return -1;
    return removed < count - 1 ? removed : 0;
}

} // namespace marlix
