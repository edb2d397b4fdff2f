#pragma once

#include "core/modindex/ModProblem.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <functional>

// The mod check's problems written for tools: JSON, SARIF 2.1.0 (read by code-scanning
// services), and the baseline a mod's build keeps so that only new problems fail it.
namespace marlix {

// One JSON array of objects with the keys file, line, column, endColumn (columns count bytes
// from 1; endColumn is the column after the word), severity, kind, name, message, suggestions
// and, for duplicates and overrides, related {file, line}.
QByteArray problemsJson(const QList<ModProblem> &problems);
// A SARIF 2.1.0 log of one run of marlix-modcheck; levels error, warning and note.
QByteArray problemsSarif(const QList<ModProblem> &problems, const QString &version);

// A baseline matches a problem by its script, kind, name and the text of its line (blanks at
// either end left out), not by line number, so edits elsewhere in the script keep it valid.
// Each recorded problem silences one problem.
class Baseline {
public:
    // `script` names the script as the baseline should (a path relative to the mod's folder);
    // `lineText` is the problem's line.
    void add(const QString &script, const ModProblem &problem, const QByteArray &lineText);
    // Whether the problem is one of the recorded ones still unmatched; matching uses it up.
    bool take(const QString &script, const ModProblem &problem, const QByteArray &lineText);
    int size() const;

    // One line per problem, sorted, fields separated by tabs and escaped; a first remark line.
    QByteArray toBytes() const;
    // False for text that is no baseline (a line of other than four fields).
    bool fromBytes(const QByteArray &bytes);

private:
    static QByteArray key(const QString &script, const ModProblem &problem,
                          const QByteArray &lineText);
    QHash<QByteArray, int> m_counts;
};

} // namespace marlix
