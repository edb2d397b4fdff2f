#include "core/archive/RfaWriter.h"

#include "core/archive/Lzo.h"
#include "core/archive/RfaFormat.h"
#include "core/common/Error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>

namespace marlix {

namespace {

struct SourceFile {
    QString path;
    QString name;
    QByteArray rawName;
};

void appendU32(QByteArray &out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

QString cleanBaseName(const QString &baseName) {
    QString base = baseName;
    base.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    const QStringList parts = base.split(QLatin1Char('/'));
    if (base.startsWith(QLatin1Char('/')) || parts.contains(QStringLiteral("..")))
        throw Error(
            QStringLiteral("The archive base name %1 must be a relative name without \"..\"")
                .arg(baseName));
    return base;
}

QList<SourceFile> collectFiles(const QString &sourceFolder, const QString &base,
                               const QString &outPath) {
    if (!QFileInfo(sourceFolder).isDir())
        throw Error(QStringLiteral("The source folder %1 does not exist").arg(sourceFolder));
    // Relative names are taken against an absolute folder: QDir gets them wrong for a relative
    // one.
    const QDir root(QFileInfo(sourceFolder).absoluteFilePath());
    QList<SourceFile> files;
    QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    // An earlier archive of the same name inside the folder is never packed into itself.
    const QString skip = QFileInfo(outPath).absoluteFilePath();
    while (it.hasNext()) {
        SourceFile file;
        file.path = it.next();
        if (QFileInfo(file.path).absoluteFilePath() == skip)
            continue;
        const QString relative = root.relativeFilePath(file.path);
        file.name = base.isEmpty() ? relative : base + QLatin1Char('/') + relative;
        file.rawName = QFile::encodeName(file.name);
        files.append(file);
    }
    // Ignoring case, as the game matches names; the exact bytes settle ties so the order never
    // depends on the order the file system lists the folder in.
    std::sort(files.begin(), files.end(), [](const SourceFile &a, const SourceFile &b) {
        const int folded = a.name.compare(b.name, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.rawName < b.rawName;
    });
    return files;
}

QByteArray compressedBlock(const QByteArray &data) {
    const int segments = int((data.size() + rfa::segmentSize - 1) / rfa::segmentSize);
    QByteArray packed;
    packed.reserve(data.size() + data.size() / 16 + 64 * (segments + 1));
    QByteArray table;
    appendU32(table, quint32(segments));
    for (int s = 0; s < segments; ++s) {
        const qsizetype from = qsizetype(s) * rfa::segmentSize;
        const int length = int(std::min<qsizetype>(rfa::segmentSize, data.size() - from));
        const qsizetype offset = packed.size();
        lzo::compress(data.constData() + from, length, packed);
        appendU32(table, quint32(packed.size() - offset));
        appendU32(table, quint32(length));
        appendU32(table, quint32(offset));
    }
    return table + packed;
}

QByteArray header(quint32 tableOffset, bool compress) {
    QByteArray out;
    appendU32(out, tableOffset);
    appendU32(out, compress ? 1 : 0);
    const QByteArray descriptor = archiveDescriptor();
    out.append(descriptor);
    out.append('\0');
    quint32 check = rfa::packId;
    for (char c : descriptor)
        check += quint8(c);
    appendU32(out, check);
    return out;
}

} // namespace

QByteArray archiveDescriptor() {
    QByteArray text("Packed by marlix-rfapack");
    text.resize(rfa::descriptorSize, '\0');
    return text;
}

PackResult packFolder(const QString &sourceFolder, const QString &baseName, const QString &outPath,
                      bool compress, const ArchiveProgress &progress) {
    const QList<SourceFile> files = collectFiles(sourceFolder, cleanBaseName(baseName), outPath);

    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly))
        throw Error::cannotCreate(outPath);
    const auto write = [&](const QByteArray &bytes) {
        if (out.write(bytes) != bytes.size())
            throw Error::cannotCreate(outPath);
    };
    write(header(0, compress));

    PackResult result;
    QByteArray table;
    appendU32(table, quint32(files.size()));
    qint64 position = rfa::plainDataStart;
    for (int i = 0; i < files.size(); ++i) {
        const SourceFile &file = files[i];
        QFile source(file.path);
        if (!source.open(QIODevice::ReadOnly))
            throw Error::cannotOpen(file.path);
        const QByteArray data = source.readAll();
        if (source.error() != QFileDevice::NoError)
            throw Error::cannotOpen(file.path);
        const QByteArray block = compress ? compressedBlock(data) : data;
        if (position + block.size() > qint64(0xFFFFFFFFu))
            throw Error(QStringLiteral("The archive %1 would be larger than 4 GB").arg(outPath));
        write(block);
        appendU32(table, quint32(file.rawName.size()));
        table.append(file.rawName);
        appendU32(table, quint32(block.size()));
        appendU32(table, quint32(data.size()));
        appendU32(table, quint32(position));
        for (int zero = 0; zero < 3; ++zero)
            appendU32(table, 0);
        position += block.size();
        result.originalBytes += data.size();
        if (progress)
            progress(i + 1, int(files.size()), file.name);
    }
    appendU32(table, 0);
    if (position + table.size() > qint64(0xFFFFFFFFu))
        throw Error(QStringLiteral("The archive %1 would be larger than 4 GB").arg(outPath));
    write(table);
    if (!out.seek(0))
        throw Error::cannotCreate(outPath);
    write(header(quint32(position), compress).left(4));
    if (!out.commit())
        throw Error::cannotCreate(outPath);
    result.files = int(files.size());
    result.archiveBytes = position + table.size();
    return result;
}

} // namespace marlix
