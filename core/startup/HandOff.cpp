#include "core/startup/HandOff.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace marlix {

QString joinedParameters(const QStringList &arguments) {
    QString text;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        text += arguments[i];
    return text;
}

QString commandLineFile(const QStringList &arguments, const QString &workingFolder) {
    const QString joined = joinedParameters(arguments);
    if (joined.isEmpty() || workingFolder.isEmpty())
        return joined;
    // Only prefixed, never cleaned up: the caption shows the path as it was given.
    return QDir(workingFolder).absoluteFilePath(joined);
}

namespace {

// The hand-off names what a start was given to open; no start opens more than a window holds
// (29 scripts), so the lines after those are never read.
constexpr LineLimits handOffLimits{32, MaxSettingLineBytes, -1};

bool writeHandOffOnce(const QString &fileName, const QByteArray &bytes) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The file's own mode, not the one of a file that another writer or the running window
    // may be replacing or deleting at this moment (which would read as no permissions at all).
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    return file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

void writeHandOff(const QString &fileName, const QString &text) {
    const QByteArray bytes = joinLines({QFile::encodeName(text)});
    // Later starts in a burst replace the file under each other while the running window
    // takes it up and deletes it; a write caught between those steps is simply made again.
    for (int attempt = 0; attempt < 20; ++attempt)
        if (writeHandOffOnce(fileName, bytes))
            return;
    throw Error::cannotCreate(fileName);
}

std::optional<QString> takeHandOff(const QString &fileName) {
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    QStringList lines;
    try {
        lines = readPathLines(fileName, handOffLimits);
    } catch (const Error &) {
    }
    // A file that cannot be removed would be acted on at every paint; it names nothing.
    if (!QFile::remove(fileName) || lines.isEmpty())
        return std::nullopt;
    return lines.constFirst();
}

} // namespace marlix
