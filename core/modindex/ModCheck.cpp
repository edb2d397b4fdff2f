#include "core/modindex/ModCheck.h"

#include "core/script/WordSearch.h"

#include <algorithm>

namespace marlix {

namespace {

QString text(const QByteArray &bytes) {
    return QString::fromLatin1(bytes);
}

} // namespace

QList<ModProblem> checkMod(const ModIndex &index) {
    QList<ModProblem> problems;
    // Definitions are visited in file order, so the first one met is the one the others
    // repeat.
    QHash<QByteArray, QPair<QString, int>> firstDefinition;
    index.forEachFile([&](const IndexedFile &file) {
        const ScriptScan &scan = file.scan;
        for (const NameDefinition &d : scan.definitions) {
            const QByteArray key = foldWord(d.family) + ' ' + foldWord(d.name);
            const auto first = firstDefinition.constFind(key);
            if (first == firstDefinition.constEnd()) {
                firstDefinition.insert(key, {file.path, d.line});
                continue;
            }
            problems.append({ModProblem::DuplicateName, file.path, d.line,
                             QStringLiteral("%1 %2 is defined again (first at %3:%4)")
                                 .arg(text(d.family), text(d.name), first->first)
                                 .arg(first->second)});
        }
        for (const NameReference &r : scan.references)
            if (index.definitions(r.name, r.family).isEmpty())
                problems.append({ModProblem::UndefinedName, file.path, r.line,
                                 QStringLiteral("%1 names %2, but no %3 of that name is defined")
                                     .arg(text(r.command), text(r.name), text(r.family))});
        for (const FileReference &f : scan.files)
            if (index.resolveFile(file.path, f.path).isEmpty())
                problems.append({ModProblem::MissingFile, file.path, f.line,
                                 QStringLiteral("%1 names no file: %2")
                                     .arg(f.run ? QStringLiteral("run") : QStringLiteral("include"),
                                          text(f.written))});
        for (const UnknownCommand &u : scan.unknownCommands)
            problems.append({ModProblem::UnknownCommand, file.path, u.line,
                             QStringLiteral("unknown command %1").arg(text(u.command))});
    });
    std::stable_sort(problems.begin(), problems.end(),
                     [](const ModProblem &a, const ModProblem &b) {
                         return a.file != b.file ? a.file < b.file : a.line < b.line;
                     });
    return problems;
}

QString problemLine(const ModProblem &problem) {
    return QStringLiteral("%1:%2: %3").arg(problem.file).arg(problem.line).arg(problem.message);
}

QString problemSummary(const QList<ModProblem> &problems) {
    int counts[4] = {0, 0, 0, 0};
    for (const ModProblem &problem : problems)
        ++counts[problem.kind];
    // The plural's ending goes on the counted word, which is not always the last one.
    const auto count = [&](ModProblem::Kind kind, const char *one, const char *more) {
        const int n = counts[kind];
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : more));
    };
    return QStringList{
        count(ModProblem::UndefinedName, "undefined name", "undefined names"),
        count(ModProblem::DuplicateName, "name defined twice", "names defined twice"),
        count(ModProblem::MissingFile, "missing file", "missing files"),
        count(ModProblem::UnknownCommand, "unknown command", "unknown commands")}
        .join(QStringLiteral(", "));
}

} // namespace marlix
