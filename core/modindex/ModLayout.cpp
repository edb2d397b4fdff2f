#include "core/modindex/ModLayout.h"

#include "core/launch/CompileRules.h"
#include "core/modindex/IndexPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace marlix {

namespace {

// The end of the last "/bf1942/levels" or "/bf1942/game" in a folded path, or -1.
qsizetype insideModFolders(const QString &folded, qsizetype &start) {
    start = -1;
    qsizetype end = -1;
    for (const QLatin1String part :
         {QLatin1String("/bf1942/levels"), QLatin1String("/bf1942/game")}) {
        for (qsizetype at = folded.indexOf(part); at >= 0; at = folded.indexOf(part, at + 1)) {
            const qsizetype after = at + part.size();
            if ((after == folded.size() || folded[after] == QLatin1Char('/')) && at > start) {
                start = at;
                end = after;
            }
        }
    }
    return end;
}

} // namespace

bool holdsModLayout(const QString &folder) {
    qsizetype start = 0;
    if (insideModFolders(foldPath(folder), start) >= 0)
        return false;
    static const QSet<QString> strongFolders{QStringLiteral("bf1942"), QStringLiteral("objects"),
                                             QStringLiteral("archives")};
    static const QSet<QString> strongFiles{QStringLiteral("init.con"), QStringLiteral("mod.dll")};
    QSet<QString> categories;
    for (const Category &category : launchCategories())
        categories.insert(QString::fromLatin1(category.name));
    int categoryFolders = 0;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName().toLower();
        if (entry.isDir() ? strongFolders.contains(name) : strongFiles.contains(name))
            return true;
        if (entry.isDir() && categories.contains(name) && ++categoryFolders >= 2)
            return true;
    }
    return false;
}

QString levelFolderOf(const QString &path) {
    const QString folded = foldPath(path);
    static const QLatin1String levels("/bf1942/levels/");
    const qsizetype at = folded.lastIndexOf(levels);
    if (at < 0)
        return {};
    const qsizetype nameStart = at + levels.size();
    const qsizetype slash = folded.indexOf(QLatin1Char('/'), nameStart);
    if (slash <= nameStart)
        return {};
    return path.left(slash);
}

QString modRootOf(const QString &path, QHash<QString, QString> *memo) {
    qsizetype start = 0;
    if (insideModFolders(foldPath(path), start) >= 0 && start > 0)
        return path.left(start);
    QStringList asked;
    QString root;
    for (QString folder = folderOf(path); !folder.isEmpty(); folder = folderOf(folder)) {
        if (memo && memo->contains(folder)) {
            root = memo->value(folder);
            break;
        }
        asked.append(folder);
        if (holdsModLayout(folder)) {
            root = folder;
            break;
        }
    }
    if (memo)
        for (const QString &folder : asked)
            memo->insert(folder, root);
    return root;
}

QString findIgnoringCase(const QString &path) {
    if (QFileInfo(path).isFile())
        return path;
    if (!path.startsWith(QLatin1Char('/')))
        return {};
    QString found;
    for (const QString &part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QString exact = found + QLatin1Char('/') + part;
        if (QFileInfo::exists(exact)) {
            found = exact;
            continue;
        }
        QString match;
        const QStringList names =
            QDir(found.isEmpty() ? QStringLiteral("/") : found)
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        for (const QString &name : names)
            if (name.compare(part, Qt::CaseInsensitive) == 0) {
                match = name;
                break;
            }
        if (match.isEmpty())
            return {};
        found += QLatin1Char('/') + match;
    }
    return QFileInfo(found).isFile() ? found : QString();
}

} // namespace marlix
