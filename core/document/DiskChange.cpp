#include "core/document/DiskChange.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QtEndian>

namespace marlix {

namespace {
// Longer than any file system's time step, so a time this far back is final.
constexpr qint64 settledMs = 2000;
} // namespace

QByteArray contentHash(const QByteArray &bytes) {
    const quint64 value = qHashBits(bytes.constData(), size_t(bytes.size()), 0);
    QByteArray hash(sizeof value, Qt::Uninitialized);
    qToLittleEndian(value, hash.data());
    return hash;
}

FileFingerprint statFile(const QString &path) {
    FileFingerprint now;
    now.takenAt = QDateTime::currentMSecsSinceEpoch();
    const QFileInfo info(path);
    if (!info.isFile())
        return now;
    now.exists = true;
    now.size = info.size();
    now.modified = info.lastModified().toMSecsSinceEpoch();
    return now;
}

FileFingerprint fingerprintOfRead(const FileFingerprint &statBeforeRead, const QByteArray &bytes) {
    FileFingerprint now = statBeforeRead;
    if (now.exists)
        now.hash = contentHash(bytes);
    return now;
}

FileFingerprint readFingerprint(const QString &path, const FileFingerprint &known) {
    FileFingerprint now = statFile(path);
    if (!now.exists)
        return now;
    if (known.exists && !known.hash.isEmpty() && known.size == now.size &&
        known.modified == now.modified && known.modified < known.takenAt - settledMs) {
        now.hash = known.hash;
        return now;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return now;
    // Mapped rather than read: no copy of a large script is made just to hash it.
    if (file.size() == 0) {
        now.hash = contentHash({});
    } else if (uchar *mapped = file.map(0, file.size())) {
        now.hash = contentHash(QByteArray::fromRawData(reinterpret_cast<const char *>(mapped),
                                                       qsizetype(file.size())));
        file.unmap(mapped);
    } else {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            now.hash = contentHash(bytes);
    }
    return now;
}

DiskChange diskChange(const FileFingerprint &known, const FileFingerprint &current,
                      bool documentChanged) {
    if (!current.exists)
        return known.exists ? DiskChange::KeepAsChanged : DiskChange::None;
    // A file that cannot be read now tells nothing about its content.
    if (current.hash.isEmpty())
        return DiskChange::None;
    if (known.exists && current.hash == known.hash)
        return DiskChange::None;
    return documentChanged ? DiskChange::AskReload : DiskChange::Reload;
}

} // namespace marlix
