#include "app/HandOff.h"

#include "common/Error.h"
#include "common/LineFile.h"

#include <QFile>
#include <QFileInfo>

namespace marlix {

QString joinedParameters(const QStringList &arguments) {
    QString text;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        text += arguments[i];
    return text;
}

void writeHandOff(const QString &fileName, const QString &text) {
    writePathLines(fileName, {text});
}

std::optional<QString> takeHandOff(const QString &fileName) {
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    QStringList lines;
    try {
        lines = readPathLines(fileName);
    } catch (const Error &) {
    }
    // A file that cannot be removed would be acted on at every paint; it names nothing.
    if (!QFile::remove(fileName) || lines.isEmpty())
        return std::nullopt;
    return lines.constFirst();
}

} // namespace marlix
