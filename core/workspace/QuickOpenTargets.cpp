#include "core/workspace/QuickOpenTargets.h"

#include "core/script/Windows1252.h"

namespace marlix {

namespace {

// The path below the index folder that holds it; the whole path when none does.
QString shownPath(const QString &path, const QStringList &folders) {
    for (const QString &folder : folders) {
        const QString prefix =
            folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
        if (path.startsWith(prefix))
            return path.mid(prefix.size());
    }
    return path;
}

} // namespace

QuickOpenTargets quickOpenTargets(const ModIndex &index) {
    QuickOpenTargets targets;
    const QStringList folders = index.folders();
    index.forEachFile([&](const IndexedFile &file) {
        if (file.shadowed)
            return;
        const QString shown = shownPath(file.path, folders);
        targets.scripts.append({shown, file.path, 0, QString()});
        for (const NameDefinition &definition : file.scan.definitions) {
            QString detail = windows1252Text(definition.family);
            if (!definition.type.isEmpty())
                detail += QLatin1Char(' ') + windows1252Text(definition.type);
            detail += QStringLiteral("  %1:%2").arg(shown).arg(definition.line);
            targets.names.append(
                {windows1252Text(definition.name), file.path, definition.line, detail});
        }
    });
    return targets;
}

} // namespace marlix
