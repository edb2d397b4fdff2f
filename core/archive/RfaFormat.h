#pragma once

#include <QtGlobal>

// The fixed numbers of the RFA layout: a header, the entries' data blocks in table order, the
// table of contents and a closing zero. Every integer is unsigned 32-bit little-endian.
namespace marlix::rfa {

// The plain layout: table offset, compressed flag, 143 descriptor bytes, a zero byte and the
// pack id check value, then the data.
constexpr int descriptorOffset = 8;
constexpr int descriptorSize = 143;
constexpr int packIdOffset = 152;
constexpr int plainDataStart = 156;
constexpr quint32 packId = 0x48128321;

// The other layout some tools write: this 28-byte text, the table offset and the flag, then the
// data directly.
constexpr char variantMagic[] = "Refractor2 FlatArchive 1.1  ";
constexpr int variantMagicSize = 28;
constexpr int variantDataStart = 36;

// A table entry after its name: stored size, original size, data offset and three zeros.
constexpr int entryTailSize = 24;

// Compressed entries are cut into segments of at most this many original bytes.
constexpr int segmentSize = 32768;
constexpr int segmentRecordSize = 12;

// LZO1X never makes more than this many bytes out of one compressed byte (a run of one byte
// value comes out at about 210 to 1), so an entry or segment that claims more than this many
// times its stored bytes lies about its size.
constexpr qint64 maxExpansion = 256;
// The most a segment of n original bytes can take compressed: LZO1X's worst case for bytes
// that do not compress.
constexpr qint64 maxPackedSegment(qint64 original) {
    return original + original / 16 + 64 + 3;
}

// What a table may hold, so that a damaged or hostile table cannot make the reader hold more
// than a few tens of megabytes: real archives have a few thousand entries with names of a few
// dozen bytes.
constexpr quint32 maxEntries = 100000;
constexpr quint32 maxNameBytes = 4096;
constexpr qint64 maxNameBytesInTable = 8 * 1024 * 1024;

} // namespace marlix::rfa
