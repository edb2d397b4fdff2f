#include "core/modindex/IndexFolders.h"

#include "core/common/LineFile.h"
#include "core/launch/CompileRules.h"
#include "core/modindex/FolderWalk.h"
#include "core/modindex/ModLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace marlix {

namespace {

QString indexFoldersPath(const QString &programFolder) {
    return programFolder + QStringLiteral("indexfolders.ini");
}

const QString basePrefix = QStringLiteral("base ");

// The lines of indexfolders.ini that are (or are not) base lines, each an absolute path of
// something that exists.
QStringList readFolderLines(const QString &programFolder, bool base, QStringList *notes) {
    const QString path = indexFoldersPath(programFolder);
    if (!QFileInfo::exists(path))
        return {};
    QStringList folders;
    for (const QString &line : readPathLines(path)) {
        if (line.trimmed().isEmpty() || line.startsWith(basePrefix) != base)
            continue;
        const QString folder = base ? line.mid(basePrefix.size()) : line;
        const QFileInfo info(folder);
        if (QDir::isAbsolutePath(folder) && (info.isDir() || (base && info.isFile())))
            folders.append(QDir::cleanPath(folder));
        else if (notes)
            notes->append(
                QStringLiteral("indexfolders.ini: left out %1: not an absolute path of an "
                               "existing folder")
                    .arg(line));
    }
    return folders;
}

} // namespace

QStringList readIndexFolders(const QString &programFolder, QStringList *notes) {
    return readFolderLines(programFolder, false, notes);
}

QStringList readBaseFolders(const QString &programFolder, QStringList *notes) {
    return readFolderLines(programFolder, true, notes);
}

void writeIndexFolders(const QString &programFolder, const QStringList &folders,
                       const QStringList &baseFolders) {
    QStringList lines = folders;
    for (const QString &base : baseFolders)
        lines.append(basePrefix + base);
    writePathLines(indexFoldersPath(programFolder), lines);
}

QStringList effectiveIndexFolders(const QString &programFolder, const QString &activeScript) {
    QStringList folders = readIndexFolders(programFolder);
    if (!folders.isEmpty())
        return folders;
    const QString mod = activeScript.isEmpty() ? QString() : modFolderOf(activeScript);
    if (!mod.isEmpty())
        return {mod};
    const QString settings = settingsPath(programFolder);
    if (QFileInfo::exists(settings)) {
        const QStringList lines = readPathLines(settings);
        if (lines.size() >= 2 && !lines[1].isEmpty() && QFileInfo(lines[1]).isDir())
            return {QDir::cleanPath(lines[1])};
    }
    return {};
}

QString modFolderOf(const QString &script) {
    // The script's own folder counts too: a mod's init.con stands in its root.
    return modRootOf(QFileInfo(script).absoluteFilePath());
}

QString indexCachePath(const QString &programFolder) {
    return programFolder + QStringLiteral("modindex.cache");
}

bool isScriptName(const QString &name) {
    return name.endsWith(QLatin1String(".con"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".inc"), Qt::CaseInsensitive);
}

bool isArchiveName(const QString &name) {
    return name.endsWith(QLatin1String(".rfa"), Qt::CaseInsensitive);
}

QStringList listScriptFiles(const QStringList &folders) {
    return walkFolders(folders, [](const QString &path) { return isScriptName(path); }).files;
}

} // namespace marlix
