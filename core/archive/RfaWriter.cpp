#include "core/archive/RfaWriter.h"

#include "core/archive/Lzo.h"
#include "core/archive/RfaFormat.h"
#include "core/archive/SourceTree.h"
#include "core/common/Error.h"
#include "core/common/LineFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace marlix {

namespace {

constexpr qint64 largestArchive = 0xFFFFFFFFll;
// Uncompressed files are copied this many bytes at a time.
constexpr qint64 copyPiece = 1024 * 1024;

struct PackedFile {
    SourceFile source;
    QByteArray rawName;
    QString name; // for sorting and messages
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

QList<PackedFile> collectFiles(const QString &sourceFolder, const QString &base,
                               const QString &outPath) {
    if (!QFileInfo(sourceFolder).isDir())
        throw Error(QStringLiteral("The source folder %1 does not exist").arg(sourceFolder));
    QStringList problems;
    const QList<SourceFile> found =
        listSourceFiles(QFile::encodeName(QFileInfo(sourceFolder).absoluteFilePath()), problems);
    if (!problems.isEmpty()) {
        problems.prepend(QStringLiteral("Nothing was packed from %1: %2 cannot be read")
                             .arg(sourceFolder)
                             .arg(problems.size() == 1
                                      ? QStringLiteral("1 item")
                                      : QStringLiteral("%1 items").arg(problems.size())));
        throw Error(problems.join(QLatin1Char('\n')));
    }
    // An earlier archive of the same name inside the folder is never packed into itself.
    struct stat earlier;
    const bool outExists = ::stat(QFile::encodeName(outPath).constData(), &earlier) == 0;

    const QByteArray prefix = base.isEmpty() ? QByteArray() : QFile::encodeName(base) + '/';
    QList<PackedFile> files;
    for (const SourceFile &source : found) {
        if (outExists && source.device == quint64(earlier.st_dev) &&
            source.inode == quint64(earlier.st_ino))
            continue;
        const QByteArray rawName = prefix + source.relative;
        files.append({source, rawName, decodePathLine(rawName)});
    }
    // What a reader would refuse is never written.
    if (files.size() > qsizetype(rfa::maxEntries))
        throw Error(QStringLiteral("%1 holds %2 files, more than the %3 an archive may hold")
                        .arg(sourceFolder)
                        .arg(files.size())
                        .arg(rfa::maxEntries));
    qint64 nameBytes = 0;
    for (const PackedFile &file : files) {
        if (file.rawName.size() > qsizetype(rfa::maxNameBytes))
            throw Error(QStringLiteral("The entry name %1 is longer than %2 bytes")
                            .arg(file.name)
                            .arg(rfa::maxNameBytes));
        nameBytes += file.rawName.size();
    }
    if (nameBytes > rfa::maxNameBytesInTable)
        throw Error(QStringLiteral("The names of the files in %1 take more than %2 bytes")
                        .arg(sourceFolder)
                        .arg(rfa::maxNameBytesInTable));
    // Ignoring case, as the game matches names; the exact bytes settle ties so the order never
    // depends on the order the file system lists the folder in.
    std::sort(files.begin(), files.end(), [](const PackedFile &a, const PackedFile &b) {
        const int folded = a.name.compare(b.name, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.rawName < b.rawName;
    });
    return files;
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

// One source file, opened once and read in pieces; the size is the one it had when opened, and
// a file that changes size meanwhile is refused rather than packed half old, half new.
class SourceReader {
public:
    explicit SourceReader(const PackedFile &file) : m_file(file) {
        m_fd = ::open(file.source.path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat status;
        if (m_fd < 0 || ::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode))
            throw Error::cannotOpen(decodePathLine(file.source.path));
        m_size = status.st_size;
    }
    ~SourceReader() { ::close(m_fd); }
    SourceReader(const SourceReader &) = delete;
    SourceReader &operator=(const SourceReader &) = delete;

    qint64 size() const { return m_size; }

    // Fills exactly size bytes, the next ones of the file.
    void read(char *into, qint64 size) {
        if (fill(into, size) != size)
            changed();
        m_done += size;
    }
    void checkEnd() {
        char extra;
        if (m_done != m_size || fill(&extra, 1) != 0)
            changed();
    }

private:
    qint64 fill(char *into, qint64 size) {
        qint64 got = 0;
        while (got < size) {
            const ssize_t n = ::read(m_fd, into + got, size_t(size - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw Error::cannotOpen(decodePathLine(m_file.source.path));
            if (n == 0)
                break;
            got += n;
        }
        return got;
    }
    [[noreturn]] void changed() const {
        throw Error(QStringLiteral("%1 changed while it was being packed")
                        .arg(decodePathLine(m_file.source.path)));
    }

    const PackedFile &m_file;
    int m_fd = -1;
    qint64 m_size = 0;
    qint64 m_done = 0;
};

// Writes the archive, keeping count of its size so it never passes what its 32-bit offsets
// can address.
class ArchiveOutput {
public:
    explicit ArchiveOutput(const QString &path) : m_path(path), m_out(path) {
        if (!m_out.open(QIODevice::WriteOnly))
            throw Error::cannotCreate(path);
    }
    qint64 position() const { return m_position; }
    void reserve(qint64 bytes) const {
        if (m_position + bytes > largestArchive)
            throw Error(QStringLiteral("The archive %1 would be larger than 4 GB").arg(m_path));
    }
    void write(const char *data, qint64 size) {
        reserve(size);
        if (m_out.write(data, size) != size)
            throw Error::cannotCreate(m_path);
        m_position += size;
    }
    void write(const QByteArray &bytes) { write(bytes.constData(), bytes.size()); }
    // Writes bytes over earlier ones at `at`, then goes on at the end.
    void patch(qint64 at, const QByteArray &bytes) {
        if (!m_out.seek(at) || m_out.write(bytes) != bytes.size() || !m_out.seek(m_position))
            throw Error::cannotCreate(m_path);
    }
    void commit() {
        if (!m_out.commit())
            throw Error::cannotCreate(m_path);
    }

private:
    QString m_path;
    QSaveFile m_out;
    qint64 m_position = 0;
};

// Copies the file as it is; returns its stored size.
qint64 storeFile(SourceReader &source, ArchiveOutput &out) {
    out.reserve(source.size());
    std::vector<char> buffer(size_t(std::min(copyPiece, std::max<qint64>(source.size(), 1))));
    for (qint64 done = 0; done < source.size();) {
        const qint64 size = std::min<qint64>(qint64(buffer.size()), source.size() - done);
        source.read(buffer.data(), size);
        out.write(buffer.data(), size);
        done += size;
    }
    source.checkEnd();
    return source.size();
}

// Compresses the file a segment at a time behind a segment table that is filled in once the
// segments' sizes are known; returns the block's size.
qint64 compressFile(SourceReader &source, ArchiveOutput &out) {
    const qint64 segments = (source.size() + rfa::segmentSize - 1) / rfa::segmentSize;
    const qint64 start = out.position();
    QByteArray table;
    appendU32(table, quint32(segments));
    table.append(QByteArray(segments * rfa::segmentRecordSize, '\0'));
    out.write(table);
    std::vector<char> original(rfa::segmentSize);
    QByteArray packed;
    qint64 offset = 0;
    for (qint64 s = 0; s < segments; ++s) {
        const int length =
            int(std::min<qint64>(rfa::segmentSize, source.size() - s * rfa::segmentSize));
        source.read(original.data(), length);
        packed.clear();
        lzo::compress(original.data(), length, packed);
        out.write(packed);
        char *record = table.data() + 4 + s * rfa::segmentRecordSize;
        qToLittleEndian(quint32(packed.size()), record);
        qToLittleEndian(quint32(length), record + 4);
        qToLittleEndian(quint32(offset), record + 8);
        offset += packed.size();
    }
    source.checkEnd();
    out.patch(start, table);
    return out.position() - start;
}

} // namespace

QByteArray archiveDescriptor() {
    QByteArray text("Packed by marlix-rfapack");
    text.resize(rfa::descriptorSize, '\0');
    return text;
}

PackResult packFolder(const QString &sourceFolder, const QString &baseName, const QString &outPath,
                      bool compress, const ArchiveProgress &progress) {
    const QList<PackedFile> files = collectFiles(sourceFolder, cleanBaseName(baseName), outPath);

    ArchiveOutput out(outPath);
    out.write(header(0, compress));

    PackResult result;
    QByteArray table;
    appendU32(table, quint32(files.size()));
    for (int i = 0; i < files.size(); ++i) {
        const PackedFile &file = files[i];
        SourceReader source(file);
        // Refused by its size before a byte of it is read.
        if (source.size() > largestArchive)
            throw Error(QStringLiteral("%1 is larger than the 4 GB an archive can hold")
                            .arg(decodePathLine(file.source.path)));
        const qint64 position = out.position();
        const qint64 stored = compress ? compressFile(source, out) : storeFile(source, out);
        appendU32(table, quint32(file.rawName.size()));
        table.append(file.rawName);
        appendU32(table, quint32(stored));
        appendU32(table, quint32(source.size()));
        appendU32(table, quint32(position));
        for (int zero = 0; zero < 3; ++zero)
            appendU32(table, 0);
        result.originalBytes += source.size();
        if (progress)
            progress(i + 1, int(files.size()), file.name);
    }
    appendU32(table, 0);
    const qint64 tableOffset = out.position();
    out.write(table);
    out.patch(0, header(quint32(tableOffset), compress).left(4));
    out.commit();
    result.files = int(files.size());
    result.archiveBytes = out.position();
    return result;
}

} // namespace marlix
