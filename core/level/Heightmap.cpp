#include "core/level/Heightmap.h"

#include <algorithm>
#include <cmath>

namespace marlix {

int heightmapSide(qint64 bytes) {
    if (bytes <= 0 || bytes % 2 != 0)
        return 0;
    const qint64 cells = bytes / 2;
    const qint64 side = qint64(std::llround(std::sqrt(double(cells))));
    return side > 0 && side * side == cells && side <= MaxHeightmapSide ? int(side) : 0;
}

Heightmap Heightmap::fromBytes(const QByteArray &bytes) {
    Heightmap map;
    const int side = heightmapSide(bytes.size());
    if (side == 0)
        return map;
    map.side = side;
    map.heights.resize(size_t(side) * side);
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    for (size_t i = 0; i < map.heights.size(); ++i)
        map.heights[i] = quint16(data[2 * i] | (data[2 * i + 1] << 8));
    return map;
}

namespace {

quint32 argb(double r, double g, double b) {
    auto channel = [](double v) { return quint32(std::clamp(v, 0.0, 255.0)); };
    return 0xff000000u | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

} // namespace

ReliefPicture shadeRelief(const Heightmap &map, double worldSize, double yScale, double waterLevel,
                          bool hasWater, int maxSide) {
    ReliefPicture picture;
    if (map.isNull())
        return picture;
    const int step = std::max(1, (map.side + maxSide - 1) / std::max(1, maxSide));
    const int side = map.side / step;
    picture.side = side;
    picture.pixels.resize(size_t(side) * side);
    const double unit = yScale / 256.0;
    const double cell = (worldSize > 0 ? worldSize / map.side : 1.0) * step;
    quint16 lowest = 65535, highest = 0;
    for (quint16 h : map.heights) {
        lowest = std::min(lowest, h);
        highest = std::max(highest, h);
    }
    const double range = std::max(1.0, (highest - lowest) * unit);
    auto height = [&](int column, int row) {
        column = std::clamp(column, 0, side - 1) * step;
        row = std::clamp(row, 0, side - 1) * step;
        return map.at(column, row) * unit;
    };
    for (int row = 0; row < side; ++row) {
        // The picture's top row is the far end of Z.
        quint32 *out = picture.pixels.data() + size_t(side - 1 - row) * side;
        for (int column = 0; column < side; ++column) {
            const double h = height(column, row);
            const double dx = (height(column + 1, row) - height(column - 1, row)) / (2 * cell);
            const double dz = (height(column, row + 1) - height(column, row - 1)) / (2 * cell);
            // Light from the north-west (small X, large Z), above at 45 degrees.
            const double nx = -dx, nz = -dz, ny = 1.0;
            const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
            const double light =
                std::clamp((-nx * 0.5 + nz * 0.5 + ny * 0.7071) / length, 0.0, 1.0);
            const double shade = 0.45 + 0.55 * light;
            double r, g, b;
            if (hasWater && h < waterLevel) {
                const double depth = std::clamp((waterLevel - h) / range, 0.0, 1.0);
                r = 60 - 40 * depth;
                g = 120 - 50 * depth;
                b = 200 - 60 * depth;
                out[column] =
                    argb(r * (0.8 + 0.2 * shade), g * (0.8 + 0.2 * shade), b * (0.8 + 0.2 * shade));
                continue;
            }
            const double t = std::clamp((h - lowest * unit) / range, 0.0, 1.0);
            // Low ground green, rising to brown and pale stone.
            r = 95 + 120 * t;
            g = 140 + 40 * t - 30 * t * t;
            b = 70 + 60 * t * t;
            out[column] = argb(r * shade, g * shade, b * shade);
        }
    }
    return picture;
}

} // namespace marlix
