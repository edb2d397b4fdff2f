#include "core/modindex/ScriptProblems.h"

#include "core/lsp/ScriptCheck.h"

#include <algorithm>

namespace marlix {

namespace {

struct LineSpan {
    qsizetype start;
    qsizetype end; // before the line end
};

QList<LineSpan> lineSpans(const QByteArray &text) {
    QList<LineSpan> lines;
    const char *data = text.constData();
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (;;) {
        qsizetype end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        lines.append({start, end});
        if (end >= size)
            break;
        start = end + 1;
        if (data[end] == '\r' && start < size && data[start] == '\n')
            ++start;
    }
    return lines;
}

} // namespace

QList<PlacedProblem> placeProblems(const QByteArray &text, const QList<ModProblem> &problems) {
    QList<PlacedProblem> placed;
    if (problems.isEmpty())
        return placed;
    const QList<LineSpan> lines = lineSpans(text);
    for (const ModProblem &problem : problems) {
        const LineSpan line =
            lines.value(std::clamp<qsizetype>(problem.line - 1, 0, lines.size() - 1));
        const qsizetype length = line.end - line.start;
        const int endColumn = problem.endColumn > problem.column
                                  ? problem.endColumn
                                  : problem.column + int(problem.name.size());
        qsizetype from = std::clamp<qsizetype>(problem.column, 0, length);
        qsizetype to = std::clamp<qsizetype>(endColumn, from, length);
        if (from == to && from > 0)
            --from;
        if (from == to && to < length)
            ++to;
        placed.append({line.start + from, line.start + to, problem});
    }
    std::stable_sort(
        placed.begin(), placed.end(),
        [](const PlacedProblem &a, const PlacedProblem &b) { return a.start < b.start; });
    return placed;
}

int nextProblem(const QList<qsizetype> &starts, qsizetype caret) {
    if (starts.isEmpty())
        return -1;
    const auto after = std::upper_bound(starts.begin(), starts.end(), caret);
    return after == starts.end() ? 0 : int(after - starts.begin());
}

int previousProblem(const QList<qsizetype> &starts, qsizetype caret) {
    if (starts.isEmpty())
        return -1;
    const auto atOrAfter = std::lower_bound(starts.begin(), starts.end(), caret);
    return atOrAfter == starts.begin() ? int(starts.size() - 1)
                                       : int(atOrAfter - starts.begin() - 1);
}

QByteArray ignoreLine(const QByteArray &problemLine, ModProblem::Kind kind,
                      const QByteArray &lineEnd) {
    qsizetype indent = 0;
    while (indent < problemLine.size() &&
           (problemLine[indent] == ' ' || problemLine[indent] == '\t'))
        ++indent;
    return problemLine.left(indent) + ignoreRemark(kindName(kind).toLatin1()) + lineEnd;
}

QString problemCountText(const QList<ModProblem> &problems) {
    int errors = 0, warnings = 0;
    for (const ModProblem &problem : problems) {
        if (problem.severity == ModProblem::Error)
            ++errors;
        else if (problem.severity == ModProblem::Warning)
            ++warnings;
    }
    QStringList parts;
    if (errors > 0)
        parts.append(errors == 1 ? QStringLiteral("1 error")
                                 : QStringLiteral("%1 errors").arg(errors));
    if (warnings > 0)
        parts.append(warnings == 1 ? QStringLiteral("1 warning")
                                   : QStringLiteral("%1 warnings").arg(warnings));
    return parts.join(QStringLiteral(", "));
}

QString problemRowText(const ModProblem &problem) {
    return severityName(problem.severity) + QStringLiteral(": ") + problem.message;
}

QList<ModProblem> replaceScriptProblems(const QList<ModProblem> &shown, const QString &file,
                                        const QList<ModProblem> &current) {
    QList<ModProblem> result;
    result.reserve(shown.size() + current.size());
    bool placed = false;
    for (const ModProblem &problem : shown) {
        if (problem.file == file)
            continue;
        if (!placed && file < problem.file) {
            result += current;
            placed = true;
        }
        result.append(problem);
    }
    if (!placed)
        result += current;
    return result;
}

} // namespace marlix
