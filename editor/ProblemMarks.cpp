#include "editor/ProblemMarks.h"

#include "editor/AdvEdit.h"
#include "editor/WrapSwitch.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QToolTip>
#include <algorithm>

namespace marlix {

namespace {

using Sci = QsciScintillaBase;

// Scintilla leaves indicators 8 to 31 to its containers (the find bar has 8 and 9), and
// markers 0 to 24 (folding has 25 to 31).
constexpr int firstIndicator = 20; // + severity
constexpr int firstMarker = 20;    // + severity
constexpr int marginWidth = 12;

struct SeverityLook {
    int indicator;
    int marker;
    long color; // 0x00BBGGRR
};

// Drawn in the order error, warning, information; a later marker is drawn over an earlier one,
// so an error's mark stays on top of a line that holds several.
const SeverityLook looks[] = {
    {Sci::INDIC_SQUIGGLE, Sci::SC_MARK_CIRCLE, 0x2020E0},    // error: red
    {Sci::INDIC_SQUIGGLE, Sci::SC_MARK_ROUNDRECT, 0x0090F0}, // warning: amber
    {Sci::INDIC_DOTS, Sci::SC_MARK_SHORTARROW, 0xC08040},    // information: blue
};
constexpr int severities = 3;

int indicatorOf(int severity) {
    return firstIndicator + severity;
}
// Error on top: the error's marker gets the highest number.
int markerOf(int severity) {
    return firstMarker + (severities - 1 - severity);
}

QString text(const QString &s) {
    return printableText(s);
}

} // namespace

ProblemMarks::ProblemMarks(TAdvEdit *editor) : QObject(editor), m_editor(editor) {
    int mask = 0;
    for (int severity = 0; severity < severities; ++severity) {
        const SeverityLook &look = looks[severity];
        const auto indicator = static_cast<unsigned long>(indicatorOf(severity));
        editor->SendScintilla(Sci::SCI_INDICSETSTYLE, indicator, long(look.indicator));
        editor->SendScintilla(Sci::SCI_INDICSETFORE, indicator, look.color);
        editor->SendScintilla(Sci::SCI_INDICSETUNDER, indicator, 1L);
        const auto marker = static_cast<unsigned long>(markerOf(severity));
        editor->SendScintilla(Sci::SCI_MARKERDEFINE, marker, long(look.marker));
        editor->SendScintilla(Sci::SCI_MARKERSETFORE, marker, look.color);
        editor->SendScintilla(Sci::SCI_MARKERSETBACK, marker, look.color);
        mask |= 1 << markerOf(severity);
    }
    const auto margin = static_cast<unsigned long>(problemMargin);
    editor->SendScintilla(Sci::SCI_SETMARGINTYPEN, margin, long(Sci::SC_MARGIN_SYMBOL));
    editor->SendScintilla(Sci::SCI_SETMARGINMASKN, margin, long(mask));
    editor->SendScintilla(Sci::SCI_SETMARGINSENSITIVEN, margin, 1L);
    editor->SendScintilla(Sci::SCI_SETMARGINWIDTHN, margin, long(marginWidth));
    if (auto *wrap = editor->findChild<WrapSwitch *>(QString(), Qt::FindDirectChildrenOnly))
        wrap->marginsChanged();

    // Without a dwell time the control never says the mouse rests.
    if (editor->SendScintilla(Sci::SCI_GETMOUSEDWELLTIME) >= Sci::SC_TIME_FOREVER)
        editor->SendScintilla(Sci::SCI_SETMOUSEDWELLTIME, 500L);
    connect(editor, &Sci::SCN_DWELLSTART, this, [this](int position, int x, int y) {
        const QString tip = position >= 0 ? tipAt(position) : QString();
        if (!tip.isEmpty())
            QToolTip::showText(m_editor->viewport()->mapToGlobal(QPoint(x, y + 12)), tip, m_editor);
    });
    connect(editor, &Sci::SCN_MARGINCLICK, this,
            [this](int position, int, int margin) { marginClicked(position, margin); });
    editor->viewport()->installEventFilter(this);
}

void ProblemMarks::setProblems(const QList<PlacedProblem> &problems) {
    const long length = m_editor->SendScintilla(Sci::SCI_GETLENGTH);
    for (int severity = 0; severity < severities; ++severity) {
        m_editor->SendScintilla(Sci::SCI_SETINDICATORCURRENT, indicatorOf(severity));
        m_editor->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, length);
        m_editor->SendScintilla(Sci::SCI_MARKERDELETEALL, markerOf(severity));
    }
    m_problems.clear();
    for (const PlacedProblem &placed : problems) {
        const int severity = placed.problem.severity;
        const qsizetype start = std::clamp<qsizetype>(placed.start, 0, length);
        const qsizetype end = std::clamp<qsizetype>(placed.end, start, length);
        m_problems.append(placed.problem);
        // The value names the problem, so two problems side by side stay two marks.
        m_editor->SendScintilla(Sci::SCI_SETINDICATORCURRENT, indicatorOf(severity));
        m_editor->SendScintilla(Sci::SCI_SETINDICATORVALUE, long(m_problems.size()));
        if (end > start)
            m_editor->SendScintilla(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start),
                                    long(end - start));
        const long line =
            m_editor->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start));
        m_editor->SendScintilla(Sci::SCI_MARKERADD, static_cast<unsigned long>(line),
                                long(markerOf(severity)));
    }
}

QList<ProblemMarks::Mark> ProblemMarks::marksAt(qsizetype position) const {
    QList<Mark> marks;
    const auto at = static_cast<unsigned long>(position);
    for (int severity = 0; severity < severities; ++severity) {
        const auto indicator = static_cast<unsigned long>(indicatorOf(severity));
        const long value = m_editor->SendScintilla(Sci::SCI_INDICATORVALUEAT, indicator, long(at));
        if (value <= 0 || value > m_problems.size())
            continue;
        marks.append({int(value - 1),
                      m_editor->SendScintilla(Sci::SCI_INDICATORSTART, indicator, long(at)),
                      m_editor->SendScintilla(Sci::SCI_INDICATOREND, indicator, long(at))});
    }
    return marks;
}

// The marks as they stand now, in the order of the text.
QList<ProblemMarks::Mark> ProblemMarks::allMarks() const {
    QList<Mark> marks;
    const long length = m_editor->SendScintilla(Sci::SCI_GETLENGTH);
    for (int severity = 0; severity < severities; ++severity) {
        const auto indicator = static_cast<unsigned long>(indicatorOf(severity));
        for (long position = 0; position < length;) {
            const long end = m_editor->SendScintilla(Sci::SCI_INDICATOREND, indicator, position);
            const long value =
                m_editor->SendScintilla(Sci::SCI_INDICATORVALUEAT, indicator, position);
            if (value > 0 && value <= m_problems.size())
                marks.append({int(value - 1), position, end});
            if (end <= position)
                break;
            position = end;
        }
    }
    std::sort(marks.begin(), marks.end(),
              [](const Mark &a, const Mark &b) { return a.start < b.start; });
    return marks;
}

bool ProblemMarks::goToProblem(bool forward) {
    const QList<Mark> marks = allMarks();
    QList<qsizetype> starts;
    for (const Mark &mark : marks)
        starts.append(mark.start);
    const long caret = m_editor->SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long anchor = m_editor->SendScintilla(Sci::SCI_GETANCHOR);
    const qsizetype from = std::min(caret, anchor);
    const int chosen = forward ? nextProblem(starts, from) : previousProblem(starts, from);
    if (chosen < 0)
        return false;
    const Mark &mark = marks[chosen];
    const long line =
        m_editor->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(mark.start));
    m_editor->SendScintilla(Sci::SCI_ENSUREVISIBLEENFORCEPOLICY, static_cast<unsigned long>(line));
    // The caret at the word's start, the word selected.
    m_editor->SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(mark.end),
                            long(mark.start));
    m_editor->SendScintilla(Sci::SCI_SCROLLCARET);
    return true;
}

QString ProblemMarks::tipAt(qsizetype position) const {
    QStringList tips;
    for (const Mark &mark : marksAt(position)) {
        const ModProblem &problem = m_problems[mark.problem];
        QString tip = severityName(problem.severity) + QStringLiteral(": ") + problem.message;
        if (!problem.suggestions.isEmpty())
            tip += QStringLiteral("\nQuick fix: %1")
                       .arg(problem.suggestions.join(QStringLiteral(", ")));
        tips.append(text(tip));
    }
    return tips.join(QLatin1Char('\n'));
}

bool ProblemMarks::addQuickFixes(QMenu *menu, qsizetype position, QAction *before) {
    const QList<Mark> marks = marksAt(position);
    int added = 0;
    for (const Mark &mark : marks) {
        const ModProblem &problem = m_problems[mark.problem];
        for (const QString &suggestion : problem.suggestions) {
            auto *action =
                new QAction(QStringLiteral("Replace with %1").arg(text(suggestion)), menu);
            action->setObjectName(QStringLiteral("actReplaceWith%1").arg(added++));
            const QByteArray word = suggestion.toLatin1(); // the check read the name as Latin-1
            connect(action, &QAction::triggered, this,
                    [this, mark, word] { replaceWord(mark, word); });
            menu->insertAction(before, action);
        }
        auto *ignore =
            new QAction(QStringLiteral("Ignore %1 Here").arg(kindName(problem.kind)), menu);
        ignore->setObjectName(QStringLiteral("actIgnoreHere%1").arg(added++));
        connect(ignore, &QAction::triggered, this, [this, mark] { ignoreHere(mark); });
        menu->insertAction(before, ignore);
    }
    if (added > 0 && before)
        menu->insertSeparator(before);
    return added > 0;
}

void ProblemMarks::replaceWord(const Mark &mark, const QByteArray &word) {
    m_editor->SendScintilla(Sci::SCI_BEGINUNDOACTION);
    m_editor->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(mark.start),
                            long(mark.end));
    m_editor->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(word.size()),
                            word.constData());
    m_editor->SendScintilla(Sci::SCI_ENDUNDOACTION);
    m_editor->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(mark.start + word.size()));
    m_editor->flushEdits();
}

void ProblemMarks::ignoreHere(const Mark &mark) {
    const long line =
        m_editor->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(mark.start));
    const long start =
        m_editor->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long end =
        m_editor->SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    const QByteArray lineText = m_editor->documentBytes().mid(start, end - start);
    const long eol = m_editor->SendScintilla(Sci::SCI_GETEOLMODE);
    const QByteArray lineEnd = eol == Sci::SC_EOL_LF ? "\n" : eol == Sci::SC_EOL_CR ? "\r" : "\r\n";
    const QByteArray inserted = ignoreLine(lineText, m_problems[mark.problem].kind, lineEnd);
    m_editor->SendScintilla(Sci::SCI_BEGINUNDOACTION);
    m_editor->SendScintilla(Sci::SCI_INSERTTEXT, static_cast<unsigned long>(start),
                            inserted.constData());
    m_editor->SendScintilla(Sci::SCI_ENDUNDOACTION);
    m_editor->flushEdits();
}

void ProblemMarks::marginClicked(int position, int margin) {
    if (margin != problemMargin)
        return;
    const long line =
        m_editor->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    const long end =
        m_editor->SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    QMenu menu(m_editor);
    menu.setObjectName(QStringLiteral("problemFixMenu"));
    // The fixes of the problems on the line, in the order of the line.
    for (const Mark &mark : allMarks())
        if (mark.start >= position && mark.start <= end)
            addQuickFixes(&menu, mark.start);
    if (!menu.isEmpty())
        menu.exec(QCursor::pos());
}

bool ProblemMarks::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::ContextMenu || watched != m_editor->viewport() ||
        m_problems.isEmpty())
        return QObject::eventFilter(watched, event);
    auto *request = static_cast<QContextMenuEvent *>(event);
    long position = -1;
    if (request->reason() == QContextMenuEvent::Mouse)
        position = m_editor->SendScintilla(Sci::SCI_POSITIONFROMPOINTCLOSE, request->pos().x(),
                                           long(request->pos().y()));
    else
        position = m_editor->SendScintilla(Sci::SCI_GETCURRENTPOS);
    if (position < 0 || marksAt(position).isEmpty())
        return QObject::eventFilter(watched, event);
    QMenu *menu = m_editor->createStandardContextMenu();
    if (!menu)
        return QObject::eventFilter(watched, event);
    menu->setObjectName(QStringLiteral("editorContextMenu"));
    addQuickFixes(menu, position, menu->actions().value(0));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(request->globalPos());
    return true;
}

} // namespace marlix
