#pragma once

#include "core/modindex/ScriptProblems.h"

#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QMenu;
class TAdvEdit;

namespace marlix {

// The mod check's problems drawn in one editor: a wavy underline under each problem's word
// (red for errors, amber for warnings, dotted blue for information), a mark per severity in
// the margin beside the line numbers, and the message with its suggestions when the mouse
// rests on the word. Only indicators and markers: the characters' styles, which hold the
// colours of the user's highlighting table, are never touched.
//
// The marks move with the text as it is edited; what stands under a mark now is what the
// quick fixes replace. The quick fixes are offered in the editor's context menu over an
// underlined word, and in a menu on a click on the margin mark.
class ProblemMarks : public QObject {
    Q_OBJECT
public:
    explicit ProblemMarks(TAdvEdit *editor);

    // Replaces the marks with these, placed in the text as it is now.
    void setProblems(const QList<PlacedProblem> &problems);
    const QList<ModProblem> &problems() const { return m_problems; }

    // Selects the next or previous problem from the caret, wrapping round; false for none.
    bool goToProblem(bool forward);
    // The message and suggestions of what is underlined at the byte; empty for nothing.
    QString tipAt(qsizetype position) const;
    // The quick fixes of what is underlined at the byte, added to the menu (at its top when
    // `before` is given): one entry per suggestion, then "Ignore here". False for nothing.
    bool addQuickFixes(QMenu *menu, qsizetype position, QAction *before = nullptr);

    static constexpr int problemMargin = 1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Mark {
        int problem = -1; // into m_problems
        qsizetype start = 0;
        qsizetype end = 0;
    };
    QList<Mark> marksAt(qsizetype position) const;
    QList<Mark> allMarks() const;
    void replaceWord(const Mark &mark, const QByteArray &word);
    void ignoreHere(const Mark &mark);
    void marginClicked(int position, int margin);

    TAdvEdit *m_editor;
    QList<ModProblem> m_problems;
};

} // namespace marlix
