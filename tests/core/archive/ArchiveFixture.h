#pragma once

#include "tests/core/FileBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdio>
#include <ftw.h>

// A temporary folder to pack from and extract to, and raw archives put together by hand for the
// cases our own writer never produces.
struct ArchiveFolder {
    QTemporaryDir dir;

    // QDir cannot remove names that are not UTF-8, and the tests make such names.
    ~ArchiveFolder() {
        ::nftw(
            QFile::encodeName(dir.path()).constData(),
            [](const char *path, const struct stat *, int, struct FTW *) {
                ::remove(path);
                return 0;
            },
            16, FTW_DEPTH | FTW_PHYS);
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    void put(const QString &name, const QByteArray &bytes) const {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        writeAll(path(name), bytes);
    }
};

inline QByteArray randomBytes(int size, quint32 seed) {
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

inline void putU32(QByteArray &out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

inline quint32 u32At(const QByteArray &bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// An uncompressed archive in the plain layout holding these entries, whatever their names.
inline QByteArray handMadeArchive(const QList<QPair<QByteArray, QByteArray>> &entries) {
    QByteArray data(156, '\0');
    QByteArray table;
    putU32(table, quint32(entries.size()));
    for (const auto &[name, bytes] : entries) {
        putU32(table, quint32(name.size()));
        table.append(name);
        putU32(table, quint32(bytes.size()));
        putU32(table, quint32(bytes.size()));
        putU32(table, quint32(data.size()));
        table.append(QByteArray(12, '\0'));
        data.append(bytes);
    }
    qToLittleEndian(quint32(data.size()), data.data());
    putU32(table, 0);
    return data + table;
}

// The same archive in the layout that starts with the "FlatArchive 1.1" text: the 156-byte
// header becomes 36 bytes, and every offset moves down by the difference.
inline QByteArray asVariantLayout(const QByteArray &plain) {
    constexpr quint32 shift = 156 - 36;
    QByteArray out("Refractor2 FlatArchive 1.1  ");
    const quint32 table = u32At(plain, 0) - shift;
    putU32(out, table);
    out.append(plain.mid(4, 4));
    out.append(plain.mid(156));
    const quint32 count = u32At(out, table);
    qsizetype at = table + 4;
    for (quint32 i = 0; i < count; ++i) {
        at += 4 + u32At(out, at);
        qToLittleEndian(u32At(out, at + 8) - shift, out.data() + at + 8);
        at += 24;
    }
    return out;
}

// One entry of an archive put together by hand: its name, its data block as stored and the
// size it claims; or, with sameDataAs, the offset and stored size of an earlier entry.
struct RawEntry {
    QByteArray name;
    QByteArray block;
    quint32 originalSize = 0;
    int sameDataAs = -1;
};

inline QByteArray rawArchive(const QList<RawEntry> &entries, bool compressed) {
    QByteArray data(156, '\0');
    qToLittleEndian(quint32(compressed ? 1 : 0), data.data() + 4);
    QList<QPair<quint32, quint32>> placed; // offset and stored size of each entry
    QByteArray table;
    putU32(table, quint32(entries.size()));
    for (const RawEntry &entry : entries) {
        if (entry.sameDataAs >= 0) {
            placed.append(placed.at(entry.sameDataAs));
        } else {
            placed.append({quint32(data.size()), quint32(entry.block.size())});
            data.append(entry.block);
        }
        putU32(table, quint32(entry.name.size()));
        table.append(entry.name);
        putU32(table, placed.last().second);
        putU32(table, entry.originalSize);
        putU32(table, placed.last().first);
        table.append(QByteArray(12, '\0'));
    }
    qToLittleEndian(quint32(data.size()), data.data());
    putU32(table, 0);
    return data + table;
}

// One segment record of a compressed entry.
struct SegmentRecord {
    quint32 packed;
    quint32 original;
    quint32 offset;
};

// A compressed entry's block with these records in front of these compressed bytes.
inline QByteArray segmentBlock(const QList<SegmentRecord> &records, const QByteArray &packed) {
    QByteArray block;
    putU32(block, quint32(records.size()));
    for (const SegmentRecord &record : records) {
        putU32(block, record.packed);
        putU32(block, record.original);
        putU32(block, record.offset);
    }
    return block + packed;
}
