// The work on a large script that follows its first screen: block states, fold levels, twins
// and, once colouring is asked for, the colours of every line, done from the top in short
// slices on a timer so that the tab shows at once and no key waits long. The lines in view are
// coloured ahead of the slices whenever they are not done yet.
//
// While a colouring pass runs, a thread of its own works out the lines ahead (LinePieceFeed)
// from the bytes the script was loaded from, or from a copy of the text, and the slices only
// write what it has done into the control. An edit drops it: the slices then work the lines
// out themselves from the text as it is. A change of the text area's width redoes only the
// twins and blocks of the lines coloured already; the colours go on from where they were.
//
// Edits during the slices are coloured as always; the slices only ever write what they
// computed from the text as it is at that moment, so what they write is never older than the
// text, and the place they carry on from moves with the text.
#include "editor/AdvEdit.h"

#include "core/script/FoldLevels.h"
#include "core/script/LinePieceFeed.h"
#include "core/script/Remarks.h"
#include "core/script/TwinStyles.h"
#include "editor/ManyFoldLevels.h"
#include "editor/ScintillaText.h"
#include "editor/WrapSwitch.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <limits>

using namespace marlix;

namespace {

// Scripts from this size on are brought up to date in slices; smaller ones at once.
constexpr qsizetype slicedBytes = 1 << 20;
// The work of one slice: it stops at the first piece that ends after this much time.
constexpr qint64 sliceNs = 8'000'000;
// The text handled in one piece of a slice.
constexpr qsizetype pieceBytes = 16 * 1024;
// The longest a slice waits for the feed's next piece.
constexpr qint64 feedWaitNs = 2'000'000;
// Scripts up to this size are worked out ahead on another thread; it holds their text while
// it works, which a larger one would feel in its memory more than in its time.
constexpr qsizetype feedBytes = 16 << 20;

// The control asks for the whole view to be repainted for each line state set outside its
// painting: once for every line of a large script, each request mapped through the widgets up
// to the window. The requests are dropped while the lines are worked on, and the view is
// repainted once afterwards where the lines worked on are in view.
class QuietView {
public:
    explicit QuietView(QWidget *viewport)
        : m_viewport(viewport), m_was(viewport->testAttribute(Qt::WA_UpdatesDisabled)) {
        // The attribute, not setUpdatesEnabled(): enabling again would repaint the whole view
        // after every slice, though most slices change nothing in view.
        m_viewport->setAttribute(Qt::WA_UpdatesDisabled, true);
    }
    ~QuietView() { m_viewport->setAttribute(Qt::WA_UpdatesDisabled, m_was); }
    QuietView(const QuietView &) = delete;
    QuietView &operator=(const QuietView &) = delete;

private:
    QWidget *m_viewport;
    bool m_was;
};

} // namespace

bool TAdvEdit::workedOutAhead(qsizetype documentBytes) {
    return documentBytes <= feedBytes;
}

bool TAdvEdit::linesPending() const {
    return m_pendingFrom >= 0;
}

int TAdvEdit::pendingLine() const {
    return linesPending() ? lineOfPosition(m_pendingFrom) : std::numeric_limits<int>::max();
}

bool TAdvEdit::startLinePass(bool color) {
    if (SendScintilla(SCI_GETLENGTH) < slicedBytes && !linesPending())
        return false;
    if (!m_sliceTimer) {
        m_sliceTimer = new QTimer(this);
        m_sliceTimer->setSingleShot(true);
        connect(m_sliceTimer, &QTimer::timeout, this, &TAdvEdit::lineSlice);
    }
    m_pendingFrom = 0;
    if (color)
        m_colorFrom = 0;
    m_aheadFrom = m_aheadTo = -1;
    m_feed.reset();
    m_feedAllowed = true;
    // The feed works on the colours while the first screen is shown, and while the slices
    // redo the twins of lines coloured already.
    if (m_colorFrom >= 0)
        startFeed(lineOfPosition(m_colorFrom));
    m_sliceTimer->start(0);
    return true;
}

void TAdvEdit::stopLinePass() {
    m_feed.reset();
    m_pendingFrom = m_colorFrom = m_aheadFrom = m_aheadTo = -1;
    if (m_sliceTimer)
        m_sliceTimer->stop();
}

void TAdvEdit::movePendingLines(qsizetype position, qsizetype length, bool insert) {
    // Positions after an insertion move on; those in a deleted range go to where it was.
    const auto moved = [&](qsizetype &p) {
        if (p < 0)
            return;
        if (insert)
            p = p > position ? p + length : p;
        else if (p > position)
            p = std::max<qsizetype>(position, p - length);
    };
    moved(m_pendingFrom);
    moved(m_colorFrom);
    moved(m_aheadFrom);
    moved(m_aheadTo);
}

void TAdvEdit::lineSlice() {
    if (!linesPending())
        return;
    QElapsedTimer spent;
    spent.start();
    const QuietView quiet(viewport());
    // Nothing is folded in the lines ahead: the control need not look for blocks to unfold
    // after each level, unless the user folded something in the lines done.
    const long automatic = SendScintilla(SCI_GETAUTOMATICFOLD);
    const bool allShown = SendScintilla(SCI_GETALLLINESVISIBLE);
    if (allShown)
        SendScintilla(SCI_SETAUTOMATICFOLD, 0UL);
    const ManyFoldLevels levels(*this);
    const int lines = int(SendScintilla(SCI_GETLINECOUNT));
    const int firstDone = lineOfPosition(m_pendingFrom);
    int line = firstDone;
    if (m_colorFrom >= 0 && m_feedAllowed && !m_feed)
        startFeed(lineOfPosition(m_colorFrom));
    bool waiting = false; // for the feed, which calls back when its next piece is done
    while (line < lines && spent.nsecsElapsed() < sliceNs) {
        const int colorLine = m_colorFrom >= 0 ? lineOfPosition(m_colorFrom) : lines;
        if (line >= colorLine && m_feed) {
            // A piece not done yet is waited for a little, within the slice: most come soon,
            // and the call back would only come after the events waiting now.
            const auto wait = std::chrono::nanoseconds(
                std::clamp<qint64>(sliceNs - spent.nsecsElapsed(), 0, feedWaitNs));
            const std::optional<LinePiece> piece =
                m_feed->take(std::chrono::duration_cast<std::chrono::microseconds>(wait));
            if (piece && pieceFits(*piece, line)) {
                applyLinePiece(*piece);
                line += piece->lineCount();
                m_colorFrom = line < lines ? lineStart(line) : -1;
            } else if (piece || m_feed->exhausted()) {
                m_feedAllowed = false; // not the lines expected: they are worked out here
                m_feed.reset();
            } else {
                waiting = true;
                break;
            }
            continue;
        }
        const bool color = line >= colorLine;
        int last = std::max(line, lineOfPosition(lineStart(line) + pieceBytes));
        if (!color)
            last = std::min(last, colorLine - 1); // the colours from there on are still to do
        bringLinesUpToDate(line, last, color);
        line = last + 1;
        if (color)
            m_colorFrom = line < lines ? lineStart(line) : -1;
    }
    if (allShown)
        SendScintilla(SCI_SETAUTOMATICFOLD, static_cast<unsigned long>(automatic));
    repaintLinesInView(firstDone, line - 1);
    if (line < lines) {
        m_pendingFrom = lineStart(line);
        if (!waiting)
            m_sliceTimer->start(0);
    } else {
        m_feed.reset();
        m_loadedText.clear();
        m_loadedSize = 0;
        m_pendingFrom = m_colorFrom = m_aheadFrom = m_aheadTo = -1;
        updateLineNumberWidth();
        if (m_objectListPending) {
            m_objectListPending = false;
            // In a turn of its own, not added to the last slice's.
            QMetaObject::invokeMethod(this, &TAdvEdit::RefreshObjectList, Qt::QueuedConnection);
        }
    }
}

void TAdvEdit::startFeed(int line) {
    const qsizetype length = SendScintilla(SCI_GETLENGTH);
    if (!workedOutAhead(length)) {
        m_feedAllowed = false;
        return;
    }
    const qsizetype from = lineStart(line);
    highlighter(); // made for the current table, and shared with the feed
    const LineRunStart start{from, line, blockOpenBefore(line),
                             FoldStack::fromBits(foldStateBefore(line))};
    const bool loaded = m_loadedSize == length && !m_loadedText.isNull();
    m_feed = std::make_unique<LinePieceFeed>(
        loaded ? m_loadedText : bytesBetween(from, length), loaded ? from : 0,
        loaded ? length : length - from, start, m_highlighter, m_wrap->lineFit(),
        [this] {
            // On the feed's thread: the slices carry on in the editor's.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (linesPending() && !m_sliceTimer->isActive())
                        m_sliceTimer->start(0);
                },
                Qt::QueuedConnection);
        },
        pieceBytes);
}

void TAdvEdit::dropFeed() {
    m_feed.reset();
    if (linesPending())
        m_sliceTimer->start(0);
}

bool TAdvEdit::pieceFits(const LinePiece &piece, int line) const {
    // The feed stops at the first edit, so its pieces follow on from one another; the table
    // and the width of the text area must still be those it started with.
    return piece.start.line == line && piece.start.position == lineStart(line) &&
           m_feed->highlighter() == m_highlighter.get() && m_feed->fit() == m_wrap->lineFit() &&
           piece.start.position + piece.styles.size() <= SendScintilla(SCI_GETLENGTH);
}

void TAdvEdit::applyLinePiece(const LinePiece &piece) {
    const qsizetype length = SendScintilla(SCI_GETLENGTH);
    keepTwinWidths(length, piece.longLine);
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(piece.start.position), 0L);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(piece.styles.size()),
                  piece.styles.constData());
    applyLineStates(piece.start.line, piece.start.folds.bits(), piece.folds, piece.openAfter);
}

void TAdvEdit::bringLinesUpToDate(int first, int last, bool color) {
    const qsizetype from = lineStart(first);
    const qsizetype to = lineEnd(last);
    const QByteArray text = bytesBetween(from, to);
    const TextView view = TextView::whole(text);
    QList<bool> openAfter;
    if (color) {
        QByteArray styles = highlighter().styles(view, blockOpenBefore(first), &openAfter);
        twinStyles(view, styles, SendScintilla(SCI_GETLENGTH));
        SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(from), 0L);
        SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()),
                      styles.constData());
    } else {
        openAfter = blockOpenAfterLines(view, blockOpenBefore(first));
        retwinRange(from, to, SendScintilla(SCI_GETLENGTH));
    }
    setLineStatesOf(view, first, openAfter);
}

void TAdvEdit::repaintLinesInView(int first, int last) {
    const long firstVisible = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const int top =
        int(SendScintilla(SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(firstVisible)));
    const int bottom = int(SendScintilla(
        SCI_DOCLINEFROMVISIBLE,
        static_cast<unsigned long>(firstVisible + SendScintilla(SCI_LINESONSCREEN) + 1)));
    // The line just before the view decides the fold mark that leads into it.
    if (first <= bottom && last >= top - 1)
        viewport()->update();
}

void TAdvEdit::colorLinesInView() {
    if (!linesPending())
        return;
    const long firstVisible = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const int lines = int(SendScintilla(SCI_GETLINECOUNT));
    const int top =
        int(SendScintilla(SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(firstVisible)));
    const int bottom = std::min(
        lines - 1, int(SendScintilla(SCI_DOCLINEFROMVISIBLE,
                                     static_cast<unsigned long>(
                                         firstVisible + SendScintilla(SCI_LINESONSCREEN) + 1))));
    const int pendingLine = lineOfPosition(m_pendingFrom);
    const int first = std::max(top, pendingLine);
    if (bottom < first)
        return; // every line in view is done
    const qsizetype from = lineStart(first);
    const qsizetype to = lineEnd(bottom);
    if (m_aheadFrom >= 0 && m_aheadFrom <= from && to <= m_aheadTo)
        return;
    // Whether a block is open before the first line in view: the lines between the slices and
    // the view are read for their block marks only.
    bool open = blockOpenBefore(pendingLine);
    if (first > pendingLine) {
        const QByteArray between = bytesBetween(lineStart(pendingLine), lineEnd(first - 1));
        open = blockOpenAfterLines(TextView::whole(between), open).constLast();
        setBlockStates({open}, first - 1);
    }
    const QuietView quiet(viewport());
    const QByteArray text = bytesBetween(from, to);
    const TextView view = TextView::whole(text);
    if (m_colorFrom >= 0 && to > m_colorFrom) { // some lines in view are not coloured yet
        QList<bool> openAfter;
        QByteArray styles = highlighter().styles(view, open, &openAfter);
        setBlockStates(openAfter, first);
        twinStyles(view, styles, SendScintilla(SCI_GETLENGTH));
        SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(from), 0L);
        SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()),
                      styles.constData());
    } else {
        setBlockStates(blockOpenAfterLines(view, open), first);
        retwinRange(from, to, SendScintilla(SCI_GETLENGTH));
    }
    m_aheadFrom = from;
    m_aheadTo = to;
    viewport()->update();
}
