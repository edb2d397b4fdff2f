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

} // namespace marlix::rfa
