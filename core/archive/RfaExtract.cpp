#include "core/archive/RfaExtract.h"

#include "core/archive/RfaReader.h"
#include "core/archive/SafeDestination.h"
#include "core/common/Error.h"
#include "core/common/LineFile.h"

namespace marlix {

bool isSafeEntryName(const QByteArray &name) {
    if (name.isEmpty() || name.contains('\0'))
        return false;
    if (name.startsWith('/') || name.startsWith('\\') || (name.size() >= 2 && name.at(1) == ':'))
        return false;
    QByteArray step;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name.at(i) == '/' || name.at(i) == '\\') {
            if (step == "..")
                return false;
            if (i == name.size())
                return !step.isEmpty() && step != ".";
            step.clear();
        } else {
            step.append(name.at(i));
        }
    }
    return true;
}

int extractEntries(RfaReader &archive, const QString &destFolder, const QByteArrayList &names,
                   const ArchiveProgress &progress) {
    QList<int> chosen;
    if (names.isEmpty()) {
        for (int i = 0; i < archive.entries().size(); ++i)
            chosen.append(i);
    }
    for (const QByteArray &name : names) {
        const int index = archive.indexOfBytes(name);
        if (index < 0)
            throw Error(QStringLiteral("The archive %1 holds no entry %2")
                            .arg(archive.path(), decodePathLine(name)));
        if (!chosen.contains(index))
            chosen.append(index);
    }
    for (int index : chosen) {
        const RfaEntry &entry = archive.entries().at(index);
        if (!isSafeEntryName(entry.rawName))
            throw Error(QStringLiteral("Refused entry %1 of the archive %2: its name leads outside "
                                       "the destination folder")
                            .arg(entry.name, archive.path()));
        if (!entry.damage.isEmpty())
            throw Error(QStringLiteral("Damaged archive %1, entry %2: %3")
                            .arg(archive.path(), entry.name, entry.damage));
    }

    SafeDestination dest(destFolder);
    int done = 0;
    for (int index : chosen) {
        const RfaEntry &entry = archive.entries().at(index);
        dest.write(entry.rawName,
                   QStringLiteral("entry %1 of the archive %2").arg(entry.name, archive.path()),
                   [&](const ByteSink &sink) { archive.readTo(entry, sink); });
        ++done;
        if (progress)
            progress(done, int(chosen.size()), entry.name);
    }
    return done;
}

} // namespace marlix
