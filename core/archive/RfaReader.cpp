#include "core/archive/RfaReader.h"

#include "core/archive/Lzo.h"
#include "core/archive/RfaFormat.h"
#include "core/common/Error.h"

#include <QtEndian>

namespace marlix {

namespace {

quint32 u32At(const QByteArray &bytes, qint64 at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

} // namespace

RfaReader::RfaReader(const QString &path) : m_path(path), m_file(path) {
    if (!m_file.open(QIODevice::ReadOnly))
        throw Error::cannotOpen(path);
    m_size = m_file.size();

    const QByteArray head = m_file.read(rfa::plainDataStart);
    const bool variant = head.startsWith(QByteArray(rfa::variantMagic, rfa::variantMagicSize));
    const int fieldsAt = variant ? rfa::variantMagicSize : 0;
    const qint64 dataStart = variant ? rfa::variantDataStart : rfa::plainDataStart;
    if (head.size() < dataStart)
        corrupt(QStringLiteral("the file ends inside its header"));
    const quint32 tableOffset = u32At(head, fieldsAt);
    const quint32 flag = u32At(head, fieldsAt + 4);
    if (flag > 1)
        corrupt(QStringLiteral("unknown compression flag %1").arg(flag));
    m_compressed = flag == 1;
    if (tableOffset < dataStart || qint64(tableOffset) + 4 > m_size)
        corrupt(QStringLiteral("the table of contents lies past the end of the file"));

    m_file.seek(tableOffset);
    const QByteArray table = m_file.read(m_size - tableOffset);
    if (table.size() != m_size - tableOffset)
        throw Error::cannotOpen(path);
    const quint32 count = u32At(table, 0);
    qint64 at = 4;
    for (quint32 i = 0; i < count; ++i) {
        const QString which = QStringLiteral("entry %1 of the table").arg(i + 1);
        if (at + 4 > table.size())
            corrupt(QStringLiteral("the table ends inside %1").arg(which));
        const quint32 nameLength = u32At(table, at);
        at += 4;
        if (qint64(nameLength) + rfa::entryTailSize > table.size() - at)
            corrupt(QStringLiteral("the table ends inside %1").arg(which));
        RfaEntry entry;
        entry.rawName = table.mid(at, nameLength);
        entry.name = QFile::decodeName(entry.rawName);
        at += nameLength;
        entry.storedSize = u32At(table, at);
        entry.originalSize = u32At(table, at + 4);
        entry.offset = u32At(table, at + 8);
        at += rfa::entryTailSize;
        if (qint64(entry.offset) + entry.storedSize > m_size)
            corrupt(entry, QStringLiteral("its data lies past the end of the file"));
        if (!m_compressed && entry.storedSize != entry.originalSize)
            corrupt(entry, QStringLiteral("its stored size differs from its size"));
        m_entries.append(entry);
    }
}

int RfaReader::indexOf(const QString &name) const {
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QByteArray RfaReader::read(int index) {
    return read(m_entries.at(index));
}

QByteArray RfaReader::read(const RfaEntry &entry) {
    const QByteArray block = readBlock(entry);
    return m_compressed ? decompress(entry, block) : block;
}

QByteArray RfaReader::readBlock(const RfaEntry &entry) {
    if (!m_file.seek(entry.offset))
        corrupt(entry, QStringLiteral("its data cannot be read"));
    QByteArray block = m_file.read(entry.storedSize);
    if (block.size() != qsizetype(entry.storedSize))
        corrupt(entry, QStringLiteral("its data lies past the end of the file"));
    return block;
}

QByteArray RfaReader::decompress(const RfaEntry &entry, const QByteArray &block) const {
    if (block.size() < 4)
        corrupt(entry, QStringLiteral("its segment table is cut short"));
    const quint32 segments = u32At(block, 0);
    const qint64 tableEnd = 4 + qint64(segments) * rfa::segmentRecordSize;
    if (tableEnd > block.size())
        corrupt(entry, QStringLiteral("its segment table is cut short"));

    qint64 total = 0;
    for (quint32 s = 0; s < segments; ++s) {
        const quint32 original = u32At(block, 4 + s * rfa::segmentRecordSize + 4);
        if (original > quint32(rfa::segmentSize))
            corrupt(entry, QStringLiteral("segment %1 is larger than %2 bytes")
                               .arg(s + 1)
                               .arg(rfa::segmentSize));
        total += original;
    }
    if (total != entry.originalSize)
        corrupt(entry, QStringLiteral("its segments do not add up to its size"));

    QByteArray out(qsizetype(total), Qt::Uninitialized);
    qint64 written = 0;
    for (quint32 s = 0; s < segments; ++s) {
        const qint64 record = 4 + qint64(s) * rfa::segmentRecordSize;
        const quint32 packed = u32At(block, record);
        const quint32 original = u32At(block, record + 4);
        const qint64 start = tableEnd + u32At(block, record + 8);
        if (start + packed > block.size())
            corrupt(entry, QStringLiteral("segment %1 lies past the end of its data").arg(s + 1));
        if (!lzo::decompress(block.constData() + start, int(packed), out.data() + written,
                             int(original)))
            corrupt(entry,
                    QStringLiteral("segment %1 does not decompress to its stated size").arg(s + 1));
        written += original;
    }
    return out;
}

void RfaReader::corrupt(const QString &problem) const {
    throw Error(QStringLiteral("Damaged archive %1: %2").arg(m_path, problem));
}

void RfaReader::corrupt(const RfaEntry &entry, const QString &problem) const {
    throw Error(
        QStringLiteral("Damaged archive %1, entry %2: %3").arg(m_path, entry.name, problem));
}

} // namespace marlix
