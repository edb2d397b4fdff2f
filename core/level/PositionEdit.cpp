#include "core/level/PositionEdit.h"

#include "core/level/ScriptLines.h"

#include <QList>
#include <algorithm>
#include <cmath>

namespace marlix {

namespace {

int decimalsOf(const QByteArray &number) {
    const qsizetype dot = number.indexOf('.');
    return dot < 0 ? 0 : int(std::min<qsizetype>(6, number.size() - dot - 1));
}

} // namespace

QByteArray positionNumber(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0)
        rounded = 0; // no "-0"
    return QByteArray::number(rounded, 'f', decimals);
}

ByteEdit positionEdit(const QByteArray &script, int createLine, double x, double z,
                      const QByteArray &templateName) {
    ByteEdit edit;
    bool inObject = false, done = false;
    forEachScriptLine(script, [&](const ScriptLine &line) {
        if (done || line.number < createLine)
            return;
        if (line.number == createLine) {
            inObject = line.is(0, "object.create") &&
                       (templateName.isEmpty() ||
                        line.word(1).compare(templateName, Qt::CaseInsensitive) == 0);
            done = !inObject;
            return;
        }
        if (line.is(0, "object.create")) {
            done = true;
            return;
        }
        if (!inObject || !line.is(0, "object.absoluteposition") || line.words.size() < 2)
            return;
        done = true;
        const ScriptWord word = line.words[1];
        const QByteArray value = line.word(1);
        const QList<QByteArray> parts = value.split('/');
        if (parts.size() != 3)
            return;
        for (const QByteArray &part : parts) {
            bool ok = false;
            part.toDouble(&ok);
            if (!ok)
                return;
        }
        const qsizetype middle = parts[0].size();                  // the first "/"
        const qsizetype last = value.size() - parts[2].size() - 1; // the second "/"
        edit.start = word.offset;
        edit.end = word.offset + word.size;
        edit.text = positionNumber(x, decimalsOf(parts[0])) + value.mid(middle, last - middle + 1) +
                    positionNumber(z, decimalsOf(parts[2]));
    });
    return edit;
}

} // namespace marlix
