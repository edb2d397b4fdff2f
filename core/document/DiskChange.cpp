#include "core/document/DiskChange.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace marlix {

namespace {
// Longer than any file system's time step, so a time this far back is final.
constexpr qint64 settledMs = 2000;
} // namespace

FileFingerprint readFingerprint(const QString &path, const FileFingerprint &known) {
    FileFingerprint now;
    now.takenAt = QDateTime::currentMSecsSinceEpoch();
    const QFileInfo info(path);
    if (!info.isFile())
        return now;
    now.exists = true;
    now.size = info.size();
    now.modified = info.lastModified().toMSecsSinceEpoch();
    if (known.exists && !known.hash.isEmpty() && known.size == now.size &&
        known.modified == now.modified && known.modified < known.takenAt - settledMs) {
        now.hash = known.hash;
        return now;
    }
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QCryptographicHash hash(QCryptographicHash::Md5);
        hash.addData(&file);
        now.hash = hash.result();
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
