#include "core/modindex/RfaScripts.h"

#include "core/archive/RfaReader.h"
#include "core/common/Error.h"
#include "core/modindex/IndexFolders.h"

#include <new>

namespace marlix {

void readRfaScripts(const QString &archivePath, const ArchiveScriptVisitor &take,
                    QStringList &problems) {
    RfaReader reader(archivePath);
    for (const RfaEntry &entry : reader.entries()) {
        if (!isScriptName(entry.name))
            continue;
        if (entry.originalSize > maxArchiveScriptBytes) {
            problems.append(QStringLiteral("Left out entry %1 of the archive %2: it holds %3 "
                                           "bytes, more than the %4 a script may have")
                                .arg(entry.name, archivePath)
                                .arg(entry.originalSize)
                                .arg(maxArchiveScriptBytes));
            continue;
        }
        ArchiveScript script{entry.rawName, {}};
        try {
            script.bytes = reader.read(entry);
        } catch (const Error &e) {
            problems.append(e.text());
            continue;
        } catch (const std::bad_alloc &) {
            problems.append(QStringLiteral("Left out entry %1 of the archive %2: not enough "
                                           "memory to read it")
                                .arg(entry.name, archivePath));
            continue;
        }
        if (!take(std::move(script)))
            return;
    }
}

} // namespace marlix
