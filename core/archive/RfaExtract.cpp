#include "core/archive/RfaExtract.h"

#include "core/archive/RfaReader.h"
#include "core/common/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <cstdio>

namespace marlix {

namespace {

// Whole or not at all, as QSaveFile does, but without its flush to disk per file, which makes
// extracting thousands of files take many times longer.
void writeThenRename(const QString &target, const QByteArray &data) {
    const QString part = target + QStringLiteral(".part");
    QFile file(part);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(data) == data.size() && file.flush();
    file.close();
    if (!written || std::rename(QFile::encodeName(part).constData(),
                                QFile::encodeName(target).constData()) != 0) {
        QFile::remove(part);
        throw Error::cannotCreate(target);
    }
}

} // namespace

bool isSafeEntryName(const QString &name) {
    if (name.isEmpty() || name.contains(QChar(0)))
        return false;
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')) ||
        (name.size() >= 2 && name.at(1) == QLatin1Char(':')))
        return false;
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList parts = name.split(separators);
    return !parts.contains(QStringLiteral("..")) && !parts.last().isEmpty();
}

int extractEntries(RfaReader &archive, const QString &destFolder, const QStringList &names,
                   const ArchiveProgress &progress) {
    QList<int> chosen;
    if (names.isEmpty()) {
        for (int i = 0; i < archive.entries().size(); ++i)
            chosen.append(i);
    }
    for (const QString &name : names) {
        const int index = archive.indexOf(name);
        if (index < 0)
            throw Error(
                QStringLiteral("The archive %1 holds no entry %2").arg(archive.path(), name));
        chosen.append(index);
    }
    for (int index : chosen) {
        const QString &name = archive.entries().at(index).name;
        if (!isSafeEntryName(name))
            throw Error(QStringLiteral("Refused entry %1 of the archive %2: its name leads outside "
                                       "the destination folder")
                            .arg(name, archive.path()));
    }

    const QDir dest(destFolder);
    QSet<QString> made; // folders known to exist: thousands of entries share a few
    int done = 0;
    for (int index : chosen) {
        const RfaEntry &entry = archive.entries().at(index);
        const QByteArray data = archive.read(entry);
        QString relative = entry.name;
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString target = dest.filePath(relative);
        const QString folder = QFileInfo(target).absolutePath();
        if (!made.contains(folder)) {
            if (!QDir().mkpath(folder))
                throw Error::cannotCreate(target);
            made.insert(folder);
        }
        writeThenRename(target, data);
        ++done;
        if (progress)
            progress(done, int(chosen.size()), entry.name);
    }
    return done;
}

} // namespace marlix
