#pragma once

#include <QByteArray>
#include <QString>

// Backup and Restore: a copy of the script's text in a ".bcon" file beside it. A ".bcon" is a
// script like any other, so the copy is written as a save writes a script (every line ended
// by CR LF) but without the header block, which holds the time of a real save; restoring
// reads it as opening a script reads it.
namespace marlix {

// "Scout.con" -> "Scout.bcon" beside it (".con" in any letter case). A file of another kind
// gets ".bcon" after its whole name ("notes.txt" -> "notes.txt.bcon"), so that it never
// shares a backup with the script "notes.con".
QString backupPath(const QString &scriptPath);

// The bytes of the backup file for the document's text.
QByteArray backupBytes(const QByteArray &documentText);

// Writes the backup whole or not at all (a failure leaves an older backup as it was);
// throws Error::cannotCreate.
void writeBackup(const QString &scriptPath, const QByteArray &documentText);

// The document text a backup file gives back; throws Error::cannotOpen.
QByteArray readBackupText(const QString &scriptPath);

} // namespace marlix
