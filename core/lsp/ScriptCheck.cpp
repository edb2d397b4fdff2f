#include "core/lsp/ScriptCheck.h"

#include "core/modindex/IndexPaths.h"
#include "core/modindex/ModCheck.h"
#include "core/script/WordSearch.h"

#include <algorithm>

namespace marlix {

namespace {

QString text(const QByteArray &bytes) {
    return QString::fromLatin1(bytes);
}

} // namespace

QByteArray ignoreRemark(const QByteArray &kind) {
    return "rem marlix: ignore " + kind;
}

QList<ScriptProblem> checkOpenScript(const ModView &view, OpenScript &script) {
    QList<ScriptProblem> problems;
    // The base game's problems are never the author's to mend.
    if (view.inBaseGame(script.path))
        return problems;
    // The mod check's own rules and words, on the text as it stands in the client.
    QList<OpenScan> others;
    for (const auto &open : view.openScripts())
        if (open.get() != &script)
            others.append({open->path, &view.scanOf(*open)});
    for (const ModProblem &found :
         checkScript(view.index(), script.path, script.document->text(), others)) {
        ScriptProblem p;
        p.kind = kindName(found.kind).toLatin1();
        p.severity = found.severity == ModProblem::Error     ? ScriptProblem::Error
                     : found.severity == ModProblem::Warning ? ScriptProblem::Warning
                                                             : ScriptProblem::Information;
        p.line = std::max(0, found.line - 1);
        p.column = found.column;
        p.length = found.endColumn > found.column ? found.endColumn - found.column
                                                  : int(found.name.size());
        p.message = found.message;
        if (!found.relatedFile.isEmpty()) {
            p.relatedFile = found.relatedFile;
            p.relatedLine = std::max(0, found.relatedLine - 1);
            p.relatedMessage = QStringLiteral("the other definition of %1").arg(text(found.name));
        }
        for (const QString &suggestion : found.suggestions)
            p.suggestions.append(suggestion.toLatin1());
        problems.append(p);
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const ScriptProblem &a, const ScriptProblem &b) {
                         return std::tie(a.line, a.column) < std::tie(b.line, b.column);
                     });
    return problems;
}

} // namespace marlix
