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
