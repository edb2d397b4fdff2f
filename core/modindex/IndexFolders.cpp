#include "core/modindex/IndexFolders.h"

#include "core/common/LineFile.h"
#include "core/launch/CompileRules.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

namespace marlix {

namespace {

QString indexFoldersPath(const QString &programFolder) {
    return programFolder + QStringLiteral("indexfolders.ini");
}

bool holdsCategoryFolder(const QDir &dir) {
    QSet<QString> categories;
    for (const Category &category : launchCategories())
        categories.insert(QString::fromLatin1(category.name));
    const QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &entry : entries)
        if (categories.contains(entry.toLower()))
            return true;
    return false;
}

} // namespace

QStringList readIndexFolders(const QString &programFolder) {
    const QString path = indexFoldersPath(programFolder);
    if (!QFileInfo::exists(path))
        return {};
    QStringList folders;
    for (const QString &line : readPathLines(path))
        if (!line.trimmed().isEmpty())
            folders.append(line);
    return folders;
}

void writeIndexFolders(const QString &programFolder, const QStringList &folders) {
    writePathLines(indexFoldersPath(programFolder), folders);
}

QStringList effectiveIndexFolders(const QString &programFolder, const QString &activeScript) {
    QStringList folders = readIndexFolders(programFolder);
    if (!folders.isEmpty())
        return folders;
    const QString settings = settingsPath(programFolder);
    if (QFileInfo::exists(settings)) {
        const QStringList lines = readPathLines(settings);
        if (lines.size() >= 2 && !lines[1].isEmpty() && QFileInfo(lines[1]).isDir())
            return {lines[1]};
    }
    const QString mod = activeScript.isEmpty() ? QString() : modFolderOf(activeScript);
    return mod.isEmpty() ? QStringList() : QStringList{mod};
}

QString modFolderOf(const QString &script) {
    QDir dir = QFileInfo(script).absoluteDir();
    do {
        if (holdsCategoryFolder(dir))
            return dir.absolutePath();
    } while (dir.cdUp());
    return {};
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
    QSet<QString> seen;
    QStringList files;
    for (const QString &folder : folders) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = QDir::cleanPath(it.next());
            if (isScriptName(path) && !seen.contains(path)) {
                seen.insert(path);
                files.append(path);
            }
        }
    }
    files.sort();
    return files;
}

} // namespace marlix
