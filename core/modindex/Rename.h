#pragma once

#include "core/modindex/ModIndex.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// Renaming a name across the mod: its definitions and every reference to it in its family,
// in every script of the index folders. Scripts open in an editor are read from their open
// text, all others from the index.
namespace marlix {

struct RenameScope {
    const ModIndex *index = nullptr;
    // The text of each script open in an editor, by path; it counts instead of the file.
    QHash<QString, QByteArray> openTexts;
    // Folders whose scripts are only read (the base game): a name used there stays as it is.
    QStringList readOnlyFolders;
};

// The name a rename at a place would change.
struct RenameTarget {
    QByteArray family;
    QByteArray name; // as written at the place
    int line = 0;    // from 1
    int column = 0;  // byte offset in the line
    QString refusal; // why nothing is renamed here; empty when the name can be renamed
};

// One renamed word.
struct RenameChange {
    QString file;
    int line = 0;      // from 1
    int column = 0;    // byte offset in the line
    QByteArray before; // the word as written there
    QByteArray after;
    QByteArray lineBefore; // the whole line, for a preview
    QByteArray lineAfter;
};

struct RenamePlan {
    QByteArray family;
    QByteArray oldName;
    QByteArray newName;
    QList<RenameChange> changes; // by file, then line and column
    QString refusal;             // empty when the rename may go ahead
    QStringList files() const;
};

RenameTarget renameTargetAt(const RenameScope &scope, const QString &path, const QByteArray &text,
                            qsizetype position);

// Everything a rename to `newName` changes, or why it is refused: the name is defined or
// referred to inside an archive or a read-only folder, the new name is not one word, or the
// family already defines the new name where one play of the game could read it together with
// a use of the old one.
RenamePlan planRename(const RenameScope &scope, const QString &path, const QByteArray &text,
                      qsizetype position, const QByteArray &newName);

// Whether a new name is one word a script line can hold as an argument.
bool isOneWord(const QByteArray &name);

// The changes of one script, from its end to its start, so each leaves the places of the
// ones still to be made as they were.
QList<RenameChange> changesOfFileFromEnd(const QList<RenameChange> &changes, const QString &file);

// The text with the plan's changes of that file made; throws Error when a change no longer
// finds its word where the plan saw it (the text changed meanwhile).
QByteArray renamedText(const QByteArray &text, const QString &file,
                       const QList<RenameChange> &changes);

// Renames in a script on disk: only the renamed words change, every other byte stays, and
// the file is replaced whole or not at all. Throws Error (cannot open, cannot create, or the
// file changed since the plan was made).
void renameInFile(const QString &file, const QList<RenameChange> &changes);

// Renames in several scripts on disk as one step: every file is read and every change checked
// before the first is written, and when a file cannot be written those written before it get
// their old bytes back, so the mod is never left half renamed. Throws Error as renameInFile.
void renameInFiles(const QStringList &files, const QList<RenameChange> &changes);

} // namespace marlix
