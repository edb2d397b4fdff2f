#include "cli/rfapack/Commands.h"

#include "cli/rfapack/Console.h"
#include "core/archive/RfaExtract.h"
#include "core/archive/RfaReader.h"
#include "core/archive/RfaWriter.h"
#include "core/common/Error.h"

#include <QDir>
#include <QFileInfo>

namespace marlix {

namespace {
QString sizeText(qint64 bytes) {
    if (bytes < 1000)
        return QStringLiteral("%1 bytes").arg(bytes);
    if (bytes < 1000000)
        return QString::number(double(bytes) / 1e3, 'f', 1) + QStringLiteral(" kB");
    return QString::number(double(bytes) / 1e6, 'f', 1) + QStringLiteral(" MB");
}
QString count(int n, const char *one, const char *many = nullptr) {
    const QString word = QString::fromLatin1(n == 1 ? one : many ? many : one);
    return QStringLiteral("%1 %2%3").arg(n).arg(word, n == 1 || many ? "" : "s");
}

} // namespace

void packCommand(Console &console, const QString &source, const QString &base, const QString &out,
                 bool compress) {
    // A mod's "archives" folder may not exist yet; the archive needs nothing else to be made.
    const QString folder = QFileInfo(out).absolutePath();
    if (!QDir().mkpath(folder))
        throw Error::cannotCreate(out);
    const QString what = QStringLiteral("Packing %1:").arg(QFileInfo(out).fileName());
    const PackResult result =
        packFolder(source, base, out, compress, [&](int done, int total, const QString &) {
            console.progress(done, total, what);
        });
    console.line(QStringLiteral("Packed %1 (%2) into %3 (%4%5)")
                     .arg(count(result.files, "file"))
                     .arg(sizeText(result.originalBytes), out, sizeText(result.archiveBytes),
                          compress ? QStringLiteral(", compressed") : QString()));
}

void listCommand(Console &console, const QString &archive) {
    RfaReader reader(archive);
    console.line(QStringLiteral("  Original    Stored  Name"));
    for (const RfaEntry &entry : reader.entries()) {
        console.rawLine(QStringLiteral("%1 %2  ")
                            .arg(entry.originalSize, 10)
                            .arg(entry.storedSize, 9)
                            .toLatin1() +
                        entry.rawName);
    }
    console.line(QStringLiteral("%1%2")
                     .arg(count(int(reader.entries().size()), "entry", "entries"))
                     .arg(reader.isCompressed() ? QStringLiteral(", compressed") : QString()));
}

void extractCommand(Console &console, const QString &archive, const QString &dest,
                    const QByteArrayList &names) {
    RfaReader reader(archive);
    const QString what = QStringLiteral("Extracting %1:").arg(QFileInfo(archive).fileName());
    const int files =
        extractEntries(reader, dest, names, [&](int done, int total, const QString &) {
            console.progress(done, total, what);
        });
    console.line(QStringLiteral("Extracted %1 into %2").arg(count(files, "file"), dest));
}

} // namespace marlix
