#pragma once

#include "core/modindex/ModProblem.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The mod check's problems of the script in view, as the editor and the results panel use
// them: placed in the editor's text, stepped through, silenced, counted and merged into the
// rows of a whole-mod check.
namespace marlix {

// A problem with the bytes it covers in the text it was found in.
struct PlacedProblem {
    qsizetype start = 0; // byte offset in the whole text
    qsizetype end = 0;   // one past the last byte
    ModProblem problem;
};

// Places each problem (lines from 1, columns in bytes) in the text the check read. Line ends
// are CR LF, CR or LF, as the check counts them. A range that reaches past its line (the text
// is not the one checked) is cut at the line's end; an empty one covers the byte before the
// line's end, so every problem on a line that holds anything can be underlined.
QList<PlacedProblem> placeProblems(const QByteArray &text, const QList<ModProblem> &problems);

// The range a step goes to from the caret: the first that starts after it, wrapping round to
// the first of all (next); the last that starts before it, wrapping round to the last
// (previous). `starts` are in ascending order; -1 when there are none.
int nextProblem(const QList<qsizetype> &starts, qsizetype caret);
int previousProblem(const QList<qsizetype> &starts, qsizetype caret);

// The line that silences a problem of the kind on the line after it, indented as that line
// is, ending with the text's line end.
QByteArray ignoreLine(const QByteArray &problemLine, ModProblem::Kind kind,
                      const QByteArray &lineEnd);

// "2 errors, 1 warning"; the severities that do not occur are left out, information is not
// counted; empty when there are no errors and no warnings.
QString problemCountText(const QList<ModProblem> &problems);

// How a problem reads as a row of the results panel: its severity and message.
QString problemRowText(const ModProblem &problem);

// The problems of a whole-mod check with those of one script replaced by its current ones,
// the others kept as they were; the script's rows stay where its file sorts among them.
QList<ModProblem> replaceScriptProblems(const QList<ModProblem> &shown, const QString &file,
                                        const QList<ModProblem> &current);

} // namespace marlix
