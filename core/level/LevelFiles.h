#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

// Where a level's files are: a folder "<...>/bf1942/levels/<Level>" on disk or a level archive
// ("<...>/bf1942/levels/<level>.rfa"). Paths inside a level are relative to the level's folder
// with "/" separators and compare ignoring letter case, as the game opens its files.
namespace marlix {

class RfaReader;

struct LevelPlace {
    QString path; // the folder, or the archive file
    bool archive = false;
};

// One level of the mod and of the base game: its places, the mod's first. A folder on disk
// comes before an archive of the same level found below the same folder, since the folder is
// what the author edits.
struct LevelLocation {
    QString name; // as the first place spells it
    QList<LevelPlace> places;
};

// Every level below the folders (the index folders: a mod, then perhaps the base game), by
// name ignoring letter case. A level folder is a folder below a "levels" folder with a script
// somewhere below it.
QList<LevelLocation> findLevels(const QStringList &folders);

// The files of one place of a level.
class LevelFiles {
public:
    // Reads the table of a folder or of an archive; an unreadable archive gives no files and
    // the reason in error().
    explicit LevelFiles(const LevelPlace &place);

    const LevelPlace &place() const { return m_place; }
    const QString &error() const { return m_error; }
    // The relative paths, as spelt on disk or in the archive, sorted ignoring case.
    QStringList relativePaths() const;
    bool contains(const QString &relativePath) const;
    // The path the editor and the mod index know the file by: the file on disk, or for an
    // archive entry "<archive>/<entry name>". Empty when there is no such file.
    QString fullPath(const QString &relativePath) const;
    // The file's bytes; empty when it cannot be read.
    QByteArray read(const QString &relativePath) const;
    qint64 size(const QString &relativePath) const;

private:
    struct File {
        QString relative;
        QString full;
        int entry = -1; // of the archive
        qint64 size = 0;
    };
    LevelPlace m_place;
    QString m_error;
    QHash<QString, File> m_files; // by folded relative path
    std::shared_ptr<RfaReader> m_reader;
};

} // namespace marlix
