#pragma once

#include <QByteArray>

// LZO1X through liblzo2: the compression of the segments of a compressed archive entry.
namespace marlix::lzo {

// Appends the raw LZO1X-1 form of size bytes at data to out.
void compress(const char *data, int size, QByteArray &out);
// Decompresses exactly originalSize bytes into out (which must have room for them); false when
// the data is damaged or does not come out at that size.
bool decompress(const char *data, int size, char *out, int originalSize);

} // namespace marlix::lzo
