#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Finding the files of the folders an index reads. The walk stays inside the folders: a
// symbolic link is never followed (the folders' own files are read under their own paths, and
// a link out of them or round a loop would read what the user did not choose), a folder that
// cannot be read is reported rather than passed over, and a walk that meets more files than a
// mod ever holds stops with a message instead of eating the machine.
namespace marlix {

constexpr int WalkFileLimit = 200000;

struct FolderWalk {
    QStringList files;  // the wanted files, cleaned paths, sorted
    QStringList errors; // folders that could not be read, the limit reached
    QStringList notes;  // links left out
    bool stopped = false;
};

// `roots` are folders, or files taken as they are (an archive given by itself). `wanted`
// decides from a file's path whether it is listed.
FolderWalk walkFolders(const QStringList &roots, const std::function<bool(const QString &)> &wanted,
                       int fileLimit = WalkFileLimit);

} // namespace marlix
