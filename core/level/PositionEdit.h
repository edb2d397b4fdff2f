#pragma once

#include <QByteArray>

// Moving a placed object in its script: the X and Z of its Object.absolutePosition change,
// its height and every other byte of the script stay.
namespace marlix {

// Bytes [start, end) of the script become `text`.
struct ByteEdit {
    qsizetype start = -1;
    qsizetype end = -1;
    QByteArray text;
    bool isValid() const { return start >= 0; }
};

// The edit that moves the object whose Object.create stands on `createLine` (counting from
// 1) to x and z. Each number keeps the count of decimals it was written with. Invalid when
// that line creates no object (or, with a template name given, no object of that template,
// as when the text changed since it was read), or the object has no Object.absolutePosition
// of three numbers before the next Object.create.
ByteEdit positionEdit(const QByteArray &script, int createLine, double x, double z,
                      const QByteArray &templateName = {});

// A number written with that many decimals, without a "-0".
QByteArray positionNumber(double value, int decimals);

} // namespace marlix
