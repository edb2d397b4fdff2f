#pragma once

#include "core/script/TwinStyles.h"
#include "core/script/WrapRule.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QsciScintilla;

namespace marlix {

// Keeps the editor's word wrap on only while some line can reach the text area's width. With
// wrap on, the control lays out every line of the document in the background, seconds of work
// on a large script that changes nothing where every line fits. The view is the same either
// way; typing, a narrower window or a larger font that lets a line reach the edge switches
// wrap on again. A line too long to wrap quickly is shown unwrapped with a scroll bar.
class WrapSwitch : public QObject {
    Q_OBJECT

public:
    explicit WrapSwitch(QsciScintilla *editor);

    // The document is about to be replaced: wrap off while the text goes in.
    void beginReset();
    // The document was replaced by these bytes: measure them afresh and decide now.
    void reset(const char *data, qsizetype size);
    WrapChoice choice() const { return m_choice; }
    // A margin grew or shrank: the text area's width changed without the editor's.
    void marginsChanged() { schedule(); }
    // What a line may take at most and the area it must stay within to never be wrapped.
    LineFit lineFit() const { return m_fit; }

signals:
    // The lines that fit changed: twins inside words must go from lines that no longer fit
    // (told at once), and may come to lines that fit now (told once a resize has settled).
    void lineFitChanged();
    // Text was put in or taken out between these positions since the last notice.
    void textChanged(qsizetype from, qsizetype to);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void textInserting(qsizetype position, qsizetype length);
    void measureChanged();
    void schedule();
    void update();
    void apply(WrapChoice choice);
    void applyLayoutCache();
    int widestCharacter() const;
    int textAreaWidth() const;
    void takeFit(const LineFit &fit);

    QsciScintilla *m_editor;
    // Grows as text is typed; deleting text leaves it as it was, which may keep wrap on
    // needlessly but never shows a line cut off.
    LineSpan m_lines;
    WrapChoice m_choice = WrapChoice::Word;
    qsizetype m_changedFrom = 0; // the text changed since the last measurement
    qsizetype m_changedTo = -1;  // -1: none
    bool m_pending = false;
    bool m_resetting = false;
    bool m_silentFit = false; // a reset twins the whole text itself
    bool m_typedSinceReset = false;
    LineFit m_fit;
    LineFit m_widerFit;
    QTimer m_settle;
    QElapsedTimer m_sinceShown; // invalid until the editor is first shown
};

} // namespace marlix
