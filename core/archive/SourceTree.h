#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace marlix {

struct SourceFile {
    QByteArray path;     // as the file system spells it
    QByteArray relative; // below the folder listed, "/" between the steps
    qint64 size = 0;
    quint64 device = 0;
    quint64 inode = 0;
};

// Every file below folder, nested folders included, by the file system's bytes, whatever they
// are (a name that is not UTF-8 is a name like any other). Links are followed, except one that
// leads back to a folder that holds it. Whatever cannot be read (a folder that cannot be
// listed, a file that cannot be opened, a link to nothing or round a loop, a pipe or device)
// is not left out without a word: it goes to problems, one line each.
QList<SourceFile> listSourceFiles(const QByteArray &folder, QStringList &problems);

} // namespace marlix
