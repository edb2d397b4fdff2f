#pragma once

#include "tests/core/FileBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

// A temporary folder to pack from and extract to, and raw archives put together by hand for the
// cases our own writer never produces.
struct ArchiveFolder {
    QTemporaryDir dir;

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
