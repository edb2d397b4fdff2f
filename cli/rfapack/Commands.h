#pragma once

#include <QString>
#include <QStringList>

namespace marlix {

class Console;

// The packer's three jobs; each throws marlix::Error on failure and reports one summary line.
void packCommand(Console &console, const QString &source, const QString &base, const QString &out,
                 bool compress);
void listCommand(Console &console, const QString &archive);
void extractCommand(Console &console, const QString &archive, const QString &dest,
                    const QStringList &names);

} // namespace marlix
