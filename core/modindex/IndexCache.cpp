#include "core/modindex/IndexCache.h"

#include <QDataStream>
#include <QFile>
#include <QHashFunctions>
#include <QSaveFile>
#include <QSet>

namespace marlix {

namespace {

constexpr quint32 cacheMagic = 0x4d584958; // "MXIX"
constexpr quint32 cacheVersion = 3;

// Families and commands repeat on thousands of lines; one shared copy of each keeps the
// loaded index small.
class Interner {
public:
    QByteArray operator()(const QByteArray &text) {
        const auto it = m_seen.constFind(text);
        if (it != m_seen.constEnd())
            return *it;
        m_seen.insert(text);
        return text;
    }

private:
    QSet<QByteArray> m_seen;
};

void writeScan(QDataStream &out, const ScriptScan &scan) {
    out << quint32(scan.definitions.size());
    for (const NameDefinition &d : scan.definitions)
        out << d.family << d.type << d.name << qint32(d.line) << qint32(d.column);
    out << quint32(scan.references.size());
    for (const NameReference &r : scan.references)
        out << r.families << r.name << r.command << qint32(r.line) << qint32(r.column);
    out << quint32(scan.files.size());
    for (const FileReference &f : scan.files)
        out << f.path << f.written << f.run << qint32(f.line) << qint32(f.column);
    out << quint32(scan.unknownCommands.size());
    for (const UnknownCommand &u : scan.unknownCommands)
        out << u.command << qint32(u.line) << qint32(u.column);
    out << quint32(scan.ignores.size());
    for (const IgnoreDirective &i : scan.ignores)
        out << qint32(i.line) << i.kinds;
}

// Reads a count and that many items, each by `readOne`, stopping at the first damage.
template <typename T, typename ReadOne>
void readList(QDataStream &in, QList<T> &list, ReadOne readOne) {
    quint32 count = 0;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        T item;
        readOne(item);
        list.append(item);
    }
}

bool readScan(QDataStream &in, ScriptScan &scan, Interner &intern) {
    qint32 line = 0, column = 0;
    readList(in, scan.definitions, [&](NameDefinition &d) {
        in >> d.family >> d.type >> d.name >> line >> column;
        d.family = intern(d.family);
        d.type = intern(d.type);
        d.line = line;
        d.column = column;
    });
    readList(in, scan.references, [&](NameReference &r) {
        in >> r.families >> r.name >> r.command >> line >> column;
        for (QByteArray &family : r.families)
            family = intern(family);
        r.family = r.families.value(0);
        r.command = intern(r.command);
        r.line = line;
        r.column = column;
    });
    readList(in, scan.files, [&](FileReference &f) {
        in >> f.path >> f.written >> f.run >> line >> column;
        f.line = line;
        f.column = column;
    });
    readList(in, scan.unknownCommands, [&](UnknownCommand &u) {
        in >> u.command >> line >> column;
        u.line = line;
        u.column = column;
    });
    readList(in, scan.ignores, [&](IgnoreDirective &i) {
        in >> line >> i.kinds;
        i.line = line;
    });
    return in.status() == QDataStream::Ok;
}

// Guards against damage, not against an attacker: two 64-bit hashes with different seeds
// catch any flipped bit at a few gigabytes a second (a cryptographic hash took most of the
// time of a start with nothing changed).
QByteArray checksum(const QByteArray &payload) {
    QByteArray sum;
    QDataStream out(&sum, QIODevice::WriteOnly);
    out << quint64(qHashBits(payload.constData(), size_t(payload.size()), 0x4d584958))
        << quint64(qHashBits(payload.constData(), size_t(payload.size()), 0x1942))
        << quint64(payload.size());
    return sum;
}

} // namespace

bool writeIndexCache(const QString &path, const QByteArray &fingerprint,
                     const IndexCacheContents &contents) {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << fingerprint;
    out << quint32(contents.archives.size());
    for (auto it = contents.archives.constBegin(); it != contents.archives.constEnd(); ++it)
        out << it.key() << it.value().first << it.value().second;
    out << quint32(contents.files.size());
    for (const IndexedFile &f : contents.files) {
        out << f.path << f.logicalPath << f.archive << f.size << f.modified;
        writeScan(out, f.scan);
    }
    if (out.status() != QDataStream::Ok)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream header(&file);
    header << cacheMagic << cacheVersion << checksum(payload);
    return header.status() == QDataStream::Ok && file.write(payload) == payload.size() &&
           file.commit();
}

bool readIndexCache(const QString &path, const QByteArray &fingerprint,
                    IndexCacheContents &contents) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDataStream header(&file);
    quint32 magic = 0, version = 0, count = 0;
    QByteArray sum;
    header >> magic >> version >> sum;
    if (header.status() != QDataStream::Ok || magic != cacheMagic || version != cacheVersion)
        return false;
    // Any damage to the cache, a single flipped bit included, makes the index read again.
    const QByteArray payload = file.readAll();
    if (sum != checksum(payload))
        return false;
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_6_0);
    QByteArray stored;
    in >> stored;
    if (stored != fingerprint)
        return false;
    IndexCacheContents read;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString archive;
        qint64 size = 0, modified = 0;
        in >> archive >> size >> modified;
        read.archives.insert(archive, {size, modified});
    }
    Interner intern;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        IndexedFile f;
        in >> f.path >> f.logicalPath >> f.archive >> f.size >> f.modified;
        if (!readScan(in, f.scan, intern))
            return false;
        read.files.append(f);
    }
    if (in.status() != QDataStream::Ok)
        return false;
    contents = read;
    return true;
}

} // namespace marlix
