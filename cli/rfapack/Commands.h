#pragma once

#include <QByteArrayList>
#include <QString>

namespace marlix {

class Console;

// The packer's three jobs; each throws marlix::Error on failure and reports one summary line.
void packCommand(Console &console, const QString &source, const QString &base, const QString &out,
                 bool compress);
void listCommand(Console &console, const QString &archive);
// Names are matched by their bytes as given (they may be any the file system holds), else
// ignoring case.
void extractCommand(Console &console, const QString &archive, const QString &dest,
                    const QByteArrayList &names);

} // namespace marlix
