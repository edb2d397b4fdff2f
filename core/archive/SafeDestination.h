#pragma once

#include "core/archive/RfaReader.h"

#include <QByteArrayList>
#include <QPair>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

namespace marlix {

// A folder that files are written below without ever following a link inside it, whoever
// planted the link: folders are made and entered one step at a time relative to their parent
// (openat with O_NOFOLLOW), each file is written to a temporary name created exclusively and
// renamed into place, and a path that meets a link is refused. The links in the folder's own
// path are the user's choice and are followed.
class SafeDestination {
public:
    // Makes the folder when it is missing. Throws Error::cannotCreate.
    explicit SafeDestination(const QString &folder);
    ~SafeDestination();
    SafeDestination(const SafeDestination &) = delete;
    SafeDestination &operator=(const SafeDestination &) = delete;

    // Writes the file at `relative` (steps separated by "/" or "\", "." and empty steps
    // skipped, ".." never given), its bytes handed by `fill` to the sink it is given. The file
    // appears whole or not at all. `what` names the file in messages ("entry x of the archive
    // y"). Refuses with an Error a path through a link, a link in the file's place, and a file
    // this destination has already written (two names the file system takes for one);
    // throws Error::cannotCreate when the file cannot be written, and whatever fill throws.
    void write(const QByteArray &relative, const QString &what,
               const std::function<void(const ByteSink &)> &fill);

private:
    int enter(const QByteArrayList &folders, const QString &what);
    void writeFile(int folder, const QByteArrayList &steps, const QString &what,
                   const std::function<void(const ByteSink &)> &fill);
    void removeFoldersMadeForThisFile();
    [[noreturn]] void refuseLink(const QByteArrayList &steps, const QString &what) const;
    QString shown(const QByteArrayList &steps) const;

    QString m_folder;
    int m_root = -1;
    // The folders entered for the last file, kept open: entries come sorted, so the next file
    // usually lies in the same folder.
    QByteArrayList m_openNames;
    std::vector<int> m_openFolders;
    QSet<QPair<quint64, quint64>> m_written; // device and inode of every file written
    int m_temporaries = 0;
    int m_madeForThisFile = 0; // the last ones of m_openFolders
};

} // namespace marlix
