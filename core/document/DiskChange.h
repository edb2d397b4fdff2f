#pragma once

#include <QByteArray>
#include <QString>

// Files changed on disk while open: what the program knows of a script's file (taken when it
// was loaded or saved) against what is there now.
namespace marlix {

struct FileFingerprint {
    bool exists = false;
    qint64 size = -1;
    qint64 modified = 0; // ms since the epoch
    qint64 takenAt = 0;  // ms since the epoch, when the fingerprint was taken
    QByteArray hash;     // of the content; empty when the file could not be read

    bool operator==(const FileFingerprint &o) const {
        return exists == o.exists && size == o.size && modified == o.modified && hash == o.hash;
    }
};

// The fingerprint of the file now. The content is hashed unless size and time equal those of
// `known` and `known` was taken well after that time: a file rewritten within the clock's
// step of the last look keeps its time, so only its content tells.
FileFingerprint readFingerprint(const QString &path, const FileFingerprint &known = {});
// The fingerprint of a file whose content was just read as `bytes`, without reading it again.
// Its size and time (statFile) are looked up before the caller reads, so that a write in between
// shows as a newer time at the next look.
FileFingerprint fingerprintOfRead(const FileFingerprint &statBeforeRead, const QByteArray &bytes);
// Size and time of the file now, with no content hash yet.
FileFingerprint statFile(const QString &path);
// What fingerprints compare content by. Not a cryptographic hash: it only has to tell a change
// from no change of the same file, and it has to be quick on a script of many megabytes.
QByteArray contentHash(const QByteArray &bytes);

enum class DiskChange {
    None,          // nothing to do
    Reload,        // the document is unchanged: load the file again, keeping the caret's line
    AskReload,     // the document has changes: ask whether to load the file and lose them
    KeepAsChanged, // the file is gone: keep the text and count the document as changed
};

// What to do about the file. Afterwards the caller keeps `current` as what it knows, whatever
// the answer, so that the same change is reported once.
DiskChange diskChange(const FileFingerprint &known, const FileFingerprint &current,
                      bool documentChanged);

} // namespace marlix
