#pragma once

#include <QByteArray>
#include <vector>

// A level's heightmap: a square of 16-bit little-endian heights. Row 0 of the file lies along
// Z = 0 and column 0 along X = 0; a raw height h stands at h * yScale / 256 world units.
namespace marlix {

// A larger file (over 128 MB) is taken for something else: it is not read into memory.
constexpr int MaxHeightmapSide = 8192;

// The side of the square for a file of that many bytes; 0 when the size is no square of
// 16-bit values or the square is larger than MaxHeightmapSide.
int heightmapSide(qint64 bytes);

struct Heightmap {
    int side = 0;
    std::vector<quint16> heights; // side * side, row after row

    static Heightmap fromBytes(const QByteArray &bytes); // side 0 for a bad size
    bool isNull() const { return side == 0; }
    quint16 at(int column, int row) const { return heights[size_t(row) * side + column]; }
};

// The terrain as a picture of at most `maxSide` pixels a side, top row at the largest Z:
// relief shaded by a light from the north-west, ground coloured by height, and everything
// below the water level tinted blue. ARGB values, row after row.
struct ReliefPicture {
    int side = 0;
    std::vector<quint32> pixels;
};
ReliefPicture shadeRelief(const Heightmap &map, double worldSize, double yScale, double waterLevel,
                          bool hasWater, int maxSide = 1024);

} // namespace marlix
