#pragma once

#include <QString>
#include <QStringList>

// Which folders the mod index reads, the script files below them and where it keeps what it
// read between runs.
namespace marlix {

// indexfolders.ini in the program folder: one folder a line, in the file system's bytes.
// Blank lines are skipped; no file gives an empty list.
QStringList readIndexFolders(const QString &programFolder);
void writeIndexFolders(const QString &programFolder, const QStringList &folders);

// The folders to index: the list of indexfolders.ini; without one, the mod path of the
// compile-and-launch settings when that folder exists; else the mod folder of the active
// script (modFolderOf). Empty when none applies.
QStringList effectiveIndexFolders(const QString &programFolder, const QString &activeScript);

// The nearest folder, from the script's own folder upwards, that holds a category folder
// such as "objects" (letter case ignored); empty when there is none.
QString modFolderOf(const QString &script);

// modindex.cache in the program folder.
QString indexCachePath(const QString &programFolder);

// True for the names the index reads as scripts (.con, .inc) and as archives (.rfa), letter
// case ignored.
bool isScriptName(const QString &name);
bool isArchiveName(const QString &name);

// Every .con and .inc file below the folders, each once, sorted.
QStringList listScriptFiles(const QStringList &folders);

} // namespace marlix
