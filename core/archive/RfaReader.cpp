#include "core/archive/RfaReader.h"

#include "core/archive/Lzo.h"
#include "core/archive/RfaFormat.h"
#include "core/common/Error.h"
#include "core/common/LineFile.h"

#include <QtEndian>
#include <algorithm>
#include <vector>

namespace marlix {

namespace {

quint32 u32At(const char *bytes) {
    return qFromLittleEndian<quint32>(bytes);
}

quint32 u32At(const QByteArray &bytes, qint64 at) {
    return u32At(bytes.constData() + at);
}

struct Segment {
    quint32 packed = 0;
    quint32 original = 0;
    quint32 offset = 0; // from the end of the segment table
};

// Segment records are read this many at a time, so a table of any length takes little memory.
constexpr quint32 recordsPerRead = 2048;
constexpr qint64 storedPiece = 65536;

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
    readTable(tableOffset);
    markSharedData();
}

void RfaReader::readTable(quint32 tableOffset) {
    // Read field by field through the file's buffer: the table may lie in front of the data,
    // and only what it takes is read.
    if (!m_file.seek(tableOffset))
        throw Error::cannotOpen(m_path);
    qint64 at = tableOffset;
    char word[4];
    if (m_file.read(word, 4) != 4)
        throw Error::cannotOpen(m_path);
    at += 4;
    const quint32 count = u32At(word);
    if (count > rfa::maxEntries)
        corrupt(QStringLiteral("its table claims %1 entries, more than the %2 an archive may hold")
                    .arg(count)
                    .arg(rfa::maxEntries));
    qint64 nameBytes = 0;
    char tail[rfa::entryTailSize];
    for (quint32 i = 0; i < count; ++i) {
        const QString which = QStringLiteral("entry %1 of the table").arg(i + 1);
        if (at + 4 > m_size)
            corrupt(QStringLiteral("the table ends inside %1").arg(which));
        if (m_file.read(word, 4) != 4)
            throw Error::cannotOpen(m_path);
        at += 4;
        const quint32 nameLength = u32At(word);
        if (qint64(nameLength) + rfa::entryTailSize > m_size - at)
            corrupt(QStringLiteral("the table ends inside %1").arg(which));
        if (nameLength > rfa::maxNameBytes)
            corrupt(QStringLiteral("%1 has a name of %2 bytes, more than %3")
                        .arg(which)
                        .arg(nameLength)
                        .arg(rfa::maxNameBytes));
        nameBytes += nameLength;
        if (nameBytes > rfa::maxNameBytesInTable)
            corrupt(QStringLiteral("the names of its table take more than %1 bytes")
                        .arg(rfa::maxNameBytesInTable));
        RfaEntry entry;
        entry.rawName = m_file.read(nameLength);
        if (entry.rawName.size() != qsizetype(nameLength) ||
            m_file.read(tail, rfa::entryTailSize) != rfa::entryTailSize)
            throw Error::cannotOpen(m_path);
        at += nameLength + rfa::entryTailSize;
        entry.name = decodePathLine(entry.rawName);
        entry.storedSize = u32At(tail);
        entry.originalSize = u32At(tail + 4);
        entry.offset = u32At(tail + 8);
        if (qint64(entry.offset) + entry.storedSize > m_size)
            corrupt(entry, QStringLiteral("its data lies past the end of the file"));
        if (!m_compressed && entry.storedSize != entry.originalSize)
            corrupt(entry, QStringLiteral("its stored size differs from its size"));
        if (m_compressed && entry.originalSize > rfa::maxExpansion * entry.storedSize)
            entry.damage = QStringLiteral("it claims %1 bytes, more than its %2 stored bytes "
                                          "can hold")
                               .arg(entry.originalSize)
                               .arg(entry.storedSize);
        m_entries.append(std::move(entry));
    }
}

// Entries whose data overlap would let a small archive claim any number of copies of its
// bytes; the first entry keeps them and the others are refused. Empty files may share.
void RfaReader::markSharedData() {
    std::vector<int> order;
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].originalSize > 0 && m_entries[i].storedSize > 0)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return m_entries[a].offset < m_entries[b].offset; });
    qint64 end = -1;
    int owner = -1;
    for (int i : order) {
        RfaEntry &entry = m_entries[i];
        if (owner >= 0 && entry.offset < end && entry.damage.isEmpty())
            entry.damage =
                QStringLiteral("its data overlaps that of %1").arg(m_entries[owner].name);
        const qint64 entryEnd = qint64(entry.offset) + entry.storedSize;
        if (entryEnd > end) {
            end = entryEnd;
            owner = i;
        }
    }
}

int RfaReader::indexOf(const QString &name) const {
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int RfaReader::indexOfBytes(const QByteArray &name) const {
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].rawName == name)
            return i;
    }
    return indexOf(decodePathLine(name));
}

QByteArray RfaReader::read(int index) {
    return read(m_entries.at(index));
}

QByteArray RfaReader::read(const RfaEntry &entry) {
    if (!entry.damage.isEmpty())
        corrupt(entry, entry.damage);
    QByteArray out;
    out.reserve(entry.originalSize);
    readTo(entry, [&](const char *data, qsizetype size) { out.append(data, size); });
    return out;
}

void RfaReader::readTo(const RfaEntry &entry, const ByteSink &sink) {
    if (!entry.damage.isEmpty())
        corrupt(entry, entry.damage);
    if (m_compressed)
        readCompressed(entry, sink);
    else
        readStored(entry, sink);
}

void RfaReader::readExactly(const RfaEntry &entry, qint64 at, char *into, qint64 size) {
    if (!m_file.seek(at) || m_file.read(into, size) != size)
        corrupt(entry, QStringLiteral("its data lies past the end of the file"));
}

void RfaReader::readStored(const RfaEntry &entry, const ByteSink &sink) {
    std::vector<char> buffer(std::min<qint64>(storedPiece, entry.storedSize));
    for (qint64 done = 0; done < entry.storedSize;) {
        const qint64 size = std::min<qint64>(storedPiece, entry.storedSize - done);
        readExactly(entry, entry.offset + done, buffer.data(), size);
        sink(buffer.data(), size);
        done += size;
    }
}

void RfaReader::readCompressed(const RfaEntry &entry, const ByteSink &sink) {
    if (entry.storedSize < 4)
        corrupt(entry, QStringLiteral("its segment table is cut short"));
    char word[4];
    readExactly(entry, entry.offset, word, 4);
    const quint32 segments = u32At(word);
    const qint64 tableEnd = 4 + qint64(segments) * rfa::segmentRecordSize;
    if (tableEnd > entry.storedSize)
        corrupt(entry, QStringLiteral("its segment table is cut short"));
    const qint64 dataSize = entry.storedSize - tableEnd;

    std::vector<char> records;
    const auto forEachSegment = [&](const std::function<void(quint32, const Segment &)> &use) {
        for (quint32 first = 0; first < segments; first += recordsPerRead) {
            const quint32 count = std::min(recordsPerRead, segments - first);
            records.resize(size_t(count) * rfa::segmentRecordSize);
            readExactly(entry, entry.offset + 4 + qint64(first) * rfa::segmentRecordSize,
                        records.data(), qint64(records.size()));
            for (quint32 r = 0; r < count; ++r) {
                const char *record = records.data() + r * rfa::segmentRecordSize;
                use(first + r, {u32At(record), u32At(record + 4), u32At(record + 8)});
            }
        }
    };

    // Every size is checked before anything is handed on: each segment holds what LZO1X can
    // make of its own bytes, and the segments never use a byte twice.
    qint64 total = 0;
    qint64 packedTotal = 0;
    forEachSegment([&](quint32 s, const Segment &segment) {
        if (segment.original > quint32(rfa::segmentSize))
            corrupt(entry, QStringLiteral("segment %1 is larger than %2 bytes")
                               .arg(s + 1)
                               .arg(rfa::segmentSize));
        if (segment.packed > rfa::maxPackedSegment(segment.original) ||
            segment.original > rfa::maxExpansion * segment.packed)
            corrupt(entry, QStringLiteral("segment %1 claims %2 bytes from %3 compressed bytes")
                               .arg(s + 1)
                               .arg(segment.original)
                               .arg(segment.packed));
        if (qint64(segment.offset) + segment.packed > dataSize)
            corrupt(entry, QStringLiteral("segment %1 lies past the end of its data").arg(s + 1));
        total += segment.original;
        packedTotal += segment.packed;
    });
    if (total != entry.originalSize)
        corrupt(entry, QStringLiteral("its segments do not add up to its size"));
    if (packedTotal > dataSize)
        corrupt(entry, QStringLiteral("its segments share their compressed bytes"));

    std::vector<char> packed(size_t(rfa::maxPackedSegment(rfa::segmentSize)));
    std::vector<char> out(rfa::segmentSize);
    forEachSegment([&](quint32 s, const Segment &segment) {
        readExactly(entry, entry.offset + tableEnd + segment.offset, packed.data(), segment.packed);
        if (!lzo::decompress(packed.data(), int(segment.packed), out.data(), int(segment.original)))
            corrupt(entry,
                    QStringLiteral("segment %1 does not decompress to its stated size").arg(s + 1));
        sink(out.data(), segment.original);
    });
}

void RfaReader::corrupt(const QString &problem) const {
    throw Error(QStringLiteral("Damaged archive %1: %2").arg(m_path, problem));
}

void RfaReader::corrupt(const RfaEntry &entry, const QString &problem) const {
    throw Error(
        QStringLiteral("Damaged archive %1, entry %2: %3").arg(m_path, entry.name, problem));
}

} // namespace marlix
