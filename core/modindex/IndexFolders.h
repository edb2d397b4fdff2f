#pragma once

#include <QString>
#include <QStringList>

// Which folders the mod index reads, the script files below them and where it keeps what it
// read between runs.
namespace marlix {

// indexfolders.ini in the program folder: one folder a line, in the file system's bytes; a
// line "base FOLDER" names a folder or archive of the base game (the game's own scripts).
// Blank lines are skipped; a line that is no absolute path of an existing folder (or, for
// the base, archive) is left out with a note; no file gives an empty list.
QStringList readIndexFolders(const QString &programFolder, QStringList *notes = nullptr);
QStringList readBaseFolders(const QString &programFolder, QStringList *notes = nullptr);
void writeIndexFolders(const QString &programFolder, const QStringList &folders,
                       const QStringList &baseFolders = {});

// The folders to index: the list of indexfolders.ini; without one, the mod folder of the
// active script (modFolderOf); else the mod path of the compile-and-launch settings when that
// folder exists. Empty when none applies.
QStringList effectiveIndexFolders(const QString &programFolder, const QString &activeScript);

// The mod's root: the nearest folder, from the script's own folder upwards, that holds a
// mod's layout (see holdsModLayout); empty when there is none.
QString modFolderOf(const QString &script);

// modindex.cache in the program folder.
QString indexCachePath(const QString &programFolder);

// True for the names the index reads as scripts (.con, .inc) and as archives (.rfa), letter
// case ignored.
bool isScriptName(const QString &name);
bool isArchiveName(const QString &name);

// Every .con and .inc file below the folders, each once, sorted (walked as walkFolders does).
QStringList listScriptFiles(const QStringList &folders);

} // namespace marlix
