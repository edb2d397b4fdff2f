#pragma once

#include <QList>
#include <QString>

// session.ini in the program folder: the scripts open when Marlix was left, each with its caret
// and the first line in view, which tab was in front, whether the mod tree was shown, and
// whether the scripts are to come back at all. One setting a line:
//
//   reopen 1
//   tree 1
//   active 0
//   script CARET-LINE CARET-COLUMN FIRST-LINE PATH
//
// Lines and columns count from 0. The path is the rest of the line, in the file system's bytes.
namespace marlix {

struct SessionScript {
    QString path;
    int caretLine = 0;
    int caretColumn = 0;
    int firstLine = 0;

    bool operator==(const SessionScript &other) const {
        return path == other.path && caretLine == other.caretLine &&
               caretColumn == other.caretColumn && firstLine == other.firstLine;
    }
};

struct Session {
    bool reopen = true; // the preference: scripts come back at the next start
    bool showTree = false;
    int active = -1; // index into scripts of the tab in front; -1 for none
    QList<SessionScript> scripts;
};

QString sessionPath(const QString &programFolder);

// Never throws: a missing, unreadable or damaged file gives what it can, and the defaults for
// the rest. Only the first 256 KB of the file are read, at most 29 scripts are taken (each an
// absolute path once), and numbers out of range count as 0.
Session readSession(const QString &path);
// Throws Error::cannotCreate; the old file stays as it was. Scripts whose path cannot be held
// on one line are left out.
void writeSession(const QString &path, const Session &session);

} // namespace marlix
