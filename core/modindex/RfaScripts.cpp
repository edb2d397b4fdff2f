#include "core/modindex/RfaScripts.h"

#include "core/archive/RfaReader.h"
#include "core/modindex/IndexFolders.h"

namespace marlix {

QList<ArchiveScript> readRfaScripts(const QString &archivePath) {
    RfaReader reader(archivePath);
    QList<ArchiveScript> scripts;
    for (int i = 0; i < reader.entries().size(); ++i) {
        const RfaEntry &entry = reader.entries()[i];
        if (isScriptName(entry.name))
            scripts.append({entry.rawName, reader.read(i)});
    }
    return scripts;
}

} // namespace marlix
