#include "editor/AdvEdit.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"
#include "core/script/CommentEdit.h"
#include "core/script/CompletionSession.h"
#include "core/script/HeaderBlock.h"
#include "core/script/HighlightStyling.h"
#include "core/script/LanguageTables.h"
#include "core/script/LineEnds.h"
#include "core/script/LinePieceFeed.h"
#include "core/script/Remarks.h"
#include "core/script/ScriptText.h"
#include "core/script/TriggerCompletion.h"
#include "core/script/TwinStyles.h"
#include "core/script/WordSearch.h"
#include "editor/EditorAccessible.h"
#include "editor/ScintillaText.h"
#include "editor/WrapSwitch.h"
#include "platform/ErrorDisplay.h"
#include "platform/ScreenColor.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QDateTime>
#include <QKeyEvent>
#include <QTableView>

#include <algorithm>
#include <cstring>

using namespace marlix;

namespace {

// Lines up to this long are coloured whole after each edit; the work grows with the line.
constexpr qsizetype wholeLineColoringBytes = 65536;

bool isNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

} // namespace

TAdvEdit::TAdvEdit(QWidget *Owner)
    : QsciScintilla(Owner), m_text(std::make_unique<ScintillaText>(*this)),
      m_triggers(std::make_unique<TriggerCompletion>()),
      m_completion(std::make_unique<CompletionSession>(*m_text)) {
    // The table's triggers come first: another source adds lists, never replaces them.
    m_completion->addSource(m_triggers.get());
    setUtf8(false);
    SendScintilla(SCI_SETCODEPAGE, 0);
    setEolMode(EolWindows);
    m_wrap = new WrapSwitch(this);
    initTwins();
    EditorAccessible::install(); // before any accessibility event describes this editor
    SendScintilla(SCI_SETHSCROLLBAR, 0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setMarginWidth(1, 0);
    // No lexer: the style-needed notifications after edits are ignored, so the colours stay
    // on the characters until the next colouring pass.
    SendScintilla(SCI_STYLESETFORE, STYLE_DEFAULT, 0L);
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, 0xFFFFFFL);
    applyFontToStyles();
    setUpMargins();
    // Only the notices before a change: with those after it, the control's own accessibility
    // support counts the characters up to the change at every key.
    SendScintilla(SCI_SETMODEVENTMASK, editNotices);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *, int length, int, int, int, int, int, int) {
                documentModified(position, type, length);
            });
}

TAdvEdit::~TAdvEdit() {
    m_feed.reset(); // its thread may call back into the editor until it has stopped
    // The object list belongs to the tab page; one without a page would otherwise be lost.
    if (ObjectList && !ObjectList->parentWidget())
        delete ObjectList;
}

// ---------------------------------------------------------------------------------------
// Initialisation and the language tables

void TAdvEdit::InitEditor() {
    createObjectList();
    createCompletionList();

    IntellisenseTable codes;
    auto takeCodes = [&] {
        CodeTriggers = codes.triggers;
        CodeFiles = codes.files;
        CodeStyles = codes.styles;
        CodeCount = codes.count;
        m_triggers->setTable(codes);
    };
    try {
        readIntellisenseTable(ProgramFolder + QStringLiteral("intellisense.ini"), codes);
    } catch (...) {
        takeCodes();
        throw;
    }
    takeCodes();

    HighlightTable phrases;
    auto takePhrases = [&] {
        HighlightPhrases = phrases.phrases;
        HighlightColors = phrases.colors;
        HighlightStyles = phrases.styles;
        HighlightCount = phrases.count;
        m_foldedPhrases.clear();
        m_longestPhrase = 0;
        for (const QString &phrase : HighlightPhrases) {
            m_foldedPhrases.append(foldWord(phrase.toLatin1()));
            m_longestPhrase = std::max(m_longestPhrase, int(phrase.size()));
        }
    };
    try {
        readHighlightTable(ProgramFolder + QStringLiteral("highlighting.ini"), phrases);
    } catch (...) {
        takePhrases();
        throw;
    }
    takePhrases();
    m_highlighter.reset();
}

// ---------------------------------------------------------------------------------------
// Text access

QByteArray TAdvEdit::documentBytes() const {
    const TextView text = m_text->whole();
    return QByteArray(text.data, text.size);
}

QByteArray TAdvEdit::bytesBetween(qsizetype from, qsizetype to) const {
    return m_text->bytes(from, to);
}

QByteArray TAdvEdit::lineText(int line) const {
    return bytesBetween(lineStart(line), lineEnd(line));
}

qsizetype TAdvEdit::caretPosition() const {
    return SendScintilla(SCI_GETCURRENTPOS);
}

void TAdvEdit::setCaretPosition(qsizetype pos) {
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(pos));
}

void TAdvEdit::selectRange(qsizetype from, qsizetype to) {
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(from), long(to));
}

void TAdvEdit::replaceRange(qsizetype from, qsizetype to, const QByteArray &text) {
    if (to < from)
        std::swap(from, to);
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(from), long(to));
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(text.size()), text.constData());
}

int TAdvEdit::lineOfPosition(qsizetype pos) const {
    return int(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos)));
}

qsizetype TAdvEdit::lineStart(int line) const {
    return SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
}

qsizetype TAdvEdit::lineEnd(int line) const {
    return SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
}

void TAdvEdit::loadLines(const QByteArrayList &lines) {
    fileLineEnd = LineEnd::CrLf;
    loadText(lines.join("\r\n"));
}

namespace {
// How many of the bytes are `byte`: in blocks of counters small enough to be added up many
// bytes at a time: over ten times as fast as counting one byte after another.
qsizetype countOf(const char *data, qsizetype size, char byte) {
    constexpr qsizetype lanes = 16;
    constexpr qsizetype block = 255 * lanes; // a lane counts to 255 at most
    qsizetype total = 0;
    while (size > 0) {
        const qsizetype n = std::min(size, block);
        unsigned char counts[lanes] = {};
        qsizetype i = 0;
        for (; i + lanes <= n; i += lanes)
            for (qsizetype k = 0; k < lanes; ++k)
                counts[k] += data[i + k] == byte;
        for (const unsigned char count : counts)
            total += count;
        for (; i < n; ++i)
            total += data[i] == byte;
        data += n;
        size -= n;
    }
    return total;
}

// Every line end of the bytes is a CR LF, as the document holds them.
bool onlyCrLf(const char *data, qsizetype size) {
    const char *const end = data + size;
    qsizetype ends = 0;
    for (const char *p = data; (p = static_cast<const char *>(std::memchr(p, '\n', end - p)));
         ++p, ++ends)
        if (p == data || p[-1] != '\r')
            return false;
    return countOf(data, size, '\r') == ends;
}
} // namespace

void TAdvEdit::loadBytes(const QByteArray &fileBytes) {
    fileLineEnd = lineEndOf(fileBytes);
    // Most scripts are held as they are, but for the line end after their last line: they
    // are taken in place rather than split and joined again.
    qsizetype held = fileBytes.size();
    if (fileBytes.endsWith("\r\n"))
        held -= 2;
    if (onlyCrLf(fileBytes.constData(), held)) {
        loadText(QByteArray::fromRawData(fileBytes.constData(), held));
        m_loadedText = fileBytes;
    } else {
        const QByteArray joined = joinedLines(fileBytes);
        loadText(joined);
        m_loadedText = joined;
        held = joined.size();
    }
    // Kept only while the feed may use them: not for a small script, which is done already,
    // nor for one too large for the feed.
    m_loadedSize = linesPending() && workedOutAhead(held) ? held : 0;
    if (!m_loadedSize)
        m_loadedText.clear();
}

void TAdvEdit::loadText(const QByteArray &text) {
    m_loading = true;
    m_loadedText.clear(); // loadBytes keeps what it loads from anew
    m_loadedSize = 0;
    // Wrapping while the text goes in costs seconds on a large script.
    m_wrap->beginReset();
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
    // New lines take the state of the line they are split from.
    SendScintilla(SCI_SETLINESTATE, 0UL, 0L);
    SendScintilla(SCI_SETFOLDLEVEL, 0UL, long(SC_FOLDLEVELBASE)); // and their fold level
    // Room for typing (up to 1 MB): the control's own buffer would be full after a few keys,
    // and growing it copies the whole text (over 100 ms on a 50 MB script).
    const qsizetype room = std::min<qsizetype>(text.size() / 16, 1 << 20);
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(text.size() + room));
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(text.size()), text.constData());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    DocChanged.markSaved();
    stopLinePass();
    m_objectListPending = false;
    if (startLinePass(false)) {
        // Block states, fold levels and twins follow in slices, the lines in view first.
        SendScintilla(SCI_SETFOLDEXPANDED, 0UL, 1L);
        m_wrap->reset(text.constData(), text.size());
        updateLineNumberWidth();
    } else {
        for (const RemBlock &block : remBlockLines(m_text->whole()))
            updateBlockStates(block.first, block.first);
        setFoldLevels(m_text->whole());
        m_wrap->reset(text.constData(), text.size());
        twinLoadedText(text);
    }
    SendScintilla(SCI_GOTOPOS, 0UL);
    m_dirtyFrom = m_dirtyTo = -1;
    m_loading = false;
}

QByteArray TAdvEdit::fileBytes() const {
    return scriptFileBytes(documentBytes(), fileLineEnd);
}

void TAdvEdit::replaceWholeText(const QByteArray &text) {
    int line = 0, index = 0;
    getCursorPosition(&line, &index);
    const int firstVisible = firstVisibleLine();
    beginUndoAction();
    SendScintilla(SCI_TARGETWHOLEDOCUMENT);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(text.size()), text.constData());
    endUndoAction();
    flushEdits();
    const int lastLine = int(SendScintilla(SCI_GETLINECOUNT)) - 1;
    line = std::min(line, lastLine);
    index = std::min<int>(index, int(lineEnd(line) - lineStart(line)));
    setCursorPosition(line, index);
    setFirstVisibleLine(firstVisible);
}

void TAdvEdit::documentModified(int position, int modificationType, int length) {
    // Told before the change: the range it will touch is kept, in positions that follow the
    // changes still to come, and its lines are coloured once the change is done.
    const bool insert = modificationType & SC_MOD_BEFOREINSERT;
    if (insert || (modificationType & SC_MOD_BEFOREDELETE)) {
        m_loadedText.clear(); // no longer the document's text
        m_loadedSize = 0;
        if (m_feed) {
            // What the feed works out is for the text before this edit: the slices go on
            // without it.
            m_feedAllowed = false;
            dropFeed();
        }
    }
    if (m_loading || (!insert && !(modificationType & SC_MOD_BEFOREDELETE)))
        return;
    movePendingLines(position, length, insert);
    const qsizetype end = insert ? position + length : position;
    if (m_dirtyFrom < 0) {
        m_dirtyFrom = position;
        m_dirtyTo = end;
        QMetaObject::invokeMethod(this, &TAdvEdit::flushEdits, Qt::QueuedConnection);
        return;
    }
    const auto moved = [&](qsizetype p) {
        if (insert)
            return p >= position ? p + length : p;
        return p > position ? std::max<qsizetype>(position, p - length) : p;
    };
    m_dirtyFrom = std::min<qsizetype>(moved(m_dirtyFrom), position);
    m_dirtyTo = std::max(moved(m_dirtyTo), end);
}

void TAdvEdit::flushEdits() {
    if (m_dirtyFrom < 0)
        return;
    const qsizetype length = SendScintilla(SCI_GETLENGTH);
    const int first = lineOfPosition(std::min(m_dirtyFrom, length));
    const int last = lineOfPosition(std::min(m_dirtyTo, length));
    m_dirtyFrom = m_dirtyTo = -1;
    Change(first, last);
    emit edited();
}

void TAdvEdit::undo() {
    QsciScintilla::undo();
    flushEdits();
}

void TAdvEdit::redo() {
    QsciScintilla::redo();
    flushEdits();
}

void TAdvEdit::paste() {
    QsciScintilla::paste();
    flushEdits();
}

void TAdvEdit::Change(int firstLine, int lastLine) {
    // A line too long to colour whole at every key keeps the colouring of the phrase just
    // completed at the caret (KeyUp); F5 colours it whole.
    const bool long_ = firstLine == lastLine &&
                       lineEnd(firstLine) - lineStart(firstLine) >= wholeLineColoringBytes;
    if (highlightingEnabled && !long_)
        colorLines(firstLine, lastLine);
    else
        updateBlockStates(firstLine, lastLine);
    updateFoldLevels(firstLine, lastLine);
}

bool TAdvEdit::blockOpenBefore(int line) const {
    return line > 0 && (SendScintilla(SCI_GETLINESTATE, static_cast<unsigned long>(line - 1)) &
                        remBlockOpenState);
}

void TAdvEdit::setBlockStates(const QList<bool> &openAfter, int first) {
    for (qsizetype i = 0; i < openAfter.size(); ++i) {
        const unsigned long line = static_cast<unsigned long>(first + i);
        const long state = SendScintilla(SCI_GETLINESTATE, line);
        const long wanted =
            openAfter[i] ? (state | remBlockOpenState) : (state & ~remBlockOpenState);
        if (state != wanted)
            SendScintilla(SCI_SETLINESTATE, line, wanted);
    }
}

int TAdvEdit::updateBlockStates(int first, int last) {
    const int lines = int(SendScintilla(SCI_GETLINECOUNT));
    const int pending = pendingLine();
    bool open = blockOpenBefore(first);
    int line = first;
    for (; line < lines; ++line) {
        const QByteArray text = lineText(line);
        open = blockOpenAfter(open, blockMarkOf(text.constData(), text.size()));
        const bool was = blockOpenBefore(line + 1);
        if (was != open)
            setBlockStates({open}, line);
        else if (line >= last)
            break;
        if (line >= last && line + 1 >= pending) {
            // The slices carry the change on from here; the lines in view are coloured anew.
            m_aheadFrom = m_aheadTo = -1;
            break;
        }
    }
    return std::min(line, lines - 1);
}

// ---------------------------------------------------------------------------------------
// Fonts and colour styles

void TAdvEdit::setFont(const QFont &font) {
    QWidget::setFont(font); // the font change event applies it to the styles
}

void TAdvEdit::changeEvent(QEvent *e) {
    QsciScintilla::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        applyFontToStyles();
    if (e->type() == QEvent::PaletteChange)
        m_highlighter.reset(); // system colours may stand for other screen colours now
}

void TAdvEdit::applyFontToStyles() {
    const QFont f = font();
    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, f.family().toLatin1().constData());
    const qreal points = f.pointSizeF() > 0 ? f.pointSizeF() : f.pixelSize() * 0.75;
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT,
                  long(points * SC_FONT_SIZE_MULTIPLIER));
    SendScintilla(SCI_STYLESETWEIGHT, STYLE_DEFAULT,
                  long(f.bold() ? SC_WEIGHT_BOLD : SC_WEIGHT_NORMAL));
    SendScintilla(SCI_STYLESETITALIC, STYLE_DEFAULT, long(f.italic()));
    SendScintilla(SCI_STYLESETUNDERLINE, STYLE_DEFAULT, long(f.underline()));
    SendScintilla(SCI_STYLECLEARALL);
    for (int style = 0; style < m_styles.count(); ++style)
        if (const auto color = m_styles.colorOf(style))
            setStyleColor(style, schemeColor(QColor::fromRgba(*color)));
    applyViewShading(); // the clearing reset the margin's style too
}

int TAdvEdit::styleForColor(TColor color) {
    const QColor screen = screenColor(color, QColor(Qt::black), palette());
    bool added = false;
    const int style = m_styles.styleFor(screen.rgba(), &added);
    if (added)
        setStyleColor(style, schemeColor(screen));
    return style;
}

void TAdvEdit::colorRange(qsizetype start, qsizetype length, int style) {
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(start), 0L);
    SendScintilla(SCI_SETSTYLING, static_cast<unsigned long>(length), long(style));
}

// ---------------------------------------------------------------------------------------
// Highlighting

QList<HighlightPhrase> TAdvEdit::highlightEntries() {
    QList<HighlightPhrase> entries;
    entries.reserve(HighlightCount);
    for (int i = 0; i < HighlightCount; ++i)
        entries.append({HighlightPhrases[i].toLatin1(), HighlightStyles[i] == 1,
                        static_cast<unsigned char>(styleForColor(HighlightColors[i]))});
    return entries;
}

const PhraseHighlighter &TAdvEdit::highlighter() {
    if (!m_highlighter || m_highlighterEntries != HighlightCount) {
        m_highlighter = std::make_shared<const PhraseHighlighter>(highlightEntries());
        m_highlighterEntries = HighlightCount;
    }
    return *m_highlighter;
}

void TAdvEdit::RefreshHighlighting() {
    flushEdits(); // for the block states and the signal; the pass colours everything anyway
    // The table is read anew for a whole pass; edits use what it found.
    m_highlighter.reset();
    // The caret goes back to the selection's start, whichever end of it the caret was at.
    const qsizetype selStart = SendScintilla(SCI_GETSELECTIONSTART);
    if (startLinePass(true)) {
        // A large script: the lines in view now, the rest in slices.
        setCaretPosition(selStart);
        colorLinesInView();
        return;
    }
    QList<bool> openAfter;
    QByteArray styles = highlighter().styles(m_text->whole(), false, &openAfter);
    setBlockStates(openAfter, 0);
    twinStyles(m_text->whole(), styles);
    SendScintilla(SCI_STARTSTYLING, 0UL, 0L);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()), styles.constData());
    setCaretPosition(selStart);
}

int TAdvEdit::colorLines(int first, int last) {
    // Whole lines stand alone: no phrase and no "to end of line" range crosses a line end. A
    // block opened or closed in them colours the lines after them too, up to where the state
    // kept on the lines agrees again.
    last = std::max(last, updateBlockStates(first, last));
    const qsizetype from = lineStart(first);
    const QByteArray text = bytesBetween(from, lineEnd(last));
    QByteArray styles = highlighter().styles(TextView::whole(text), blockOpenBefore(first));
    twinStyles(TextView::whole(text), styles);
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(from), 0L);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()), styles.constData());
    return last;
}

void TAdvEdit::HighlightAtCaret() {
    const qsizetype caret = caretPosition();
    const qsizetype length = SendScintilla(SCI_GETLENGTH);
    const qsizetype from = std::max<qsizetype>(0, caret - m_longestPhrase - 1);
    const qsizetype to = std::min<qsizetype>(length, caret + 1);
    const QByteArray window = bytesBetween(from, to);
    const TextView view{window.constData(), window.size(), from, length};
    const int count = std::min<int>(HighlightCount, int(m_foldedPhrases.size()));
    for (int i = 0; i < count; ++i) {
        const qsizetype len = m_foldedPhrases[i].size();
        const qsizetype c = findFoldedWholeWord(view, m_foldedPhrases[i], caret - len, len);
        if (c < 0)
            continue;
        const int style = styleForColor(HighlightColors[i]);
        const qsizetype end = HighlightStyles[i] == 1 ? lineEnd(lineOfPosition(c)) : c + len;
        colorRange(c, end - c, style);
        twinLineAt(c);
    }
    // Styling moves neither caret nor selection, and typed text arrives in style 0 (black).
}

void TAdvEdit::Click() {
    repaintAll();
}

void TAdvEdit::repaintAll() {
    viewport()->repaint();
}

// ---------------------------------------------------------------------------------------
// Saving and commenting

void TAdvEdit::SaveScript(const QString &FileName) {
    const QByteArray dateLine = headerDateLine(QDateTime::currentDateTime());
    const int lines = int(SendScintilla(SCI_GETLINECOUNT));
    beginUndoAction();
    if (lines >= 3 && carriesHeaderBlock(lineText(0), lineText(1), lineText(2))) {
        replaceRange(lineStart(1), lineEnd(1), dateLine);
    } else {
        QByteArray header = headerBlockText(dateLine);
        // An empty document has no first line: its one empty line is the header's fourth.
        if (SendScintilla(SCI_GETLENGTH) == 0)
            header.chop(2);
        SendScintilla(SCI_INSERTTEXT, 0UL, header.constData());
    }
    endUndoAction();
    flushEdits();
    // The header's text is coloured like any other text, Highlighting on or off.
    colorLines(0, 2);

    writeWholeFile(FileName, fileBytes());
    DocChanged.markSaved();
    repaintAll();
}

void TAdvEdit::selectedLineRange(int &first, int &last) const {
    const qsizetype start = SendScintilla(SCI_GETSELECTIONSTART);
    const qsizetype end = SendScintilla(SCI_GETSELECTIONEND);
    first = lineOfPosition(start);
    last = lineOfPosition(end);
    // Whole lines selected end at the start of the next line, which is not part of them.
    if (last > first && end == lineStart(last))
        --last;
}

void TAdvEdit::CommentLines() {
    int first, last;
    selectedLineRange(first, last);
    qsizetype caret = -1;
    beginUndoAction();
    for (int line = first; line <= last; ++line) {
        const auto edit = commentEdit(lineText(line));
        if (!edit)
            continue;
        const qsizetype at = lineStart(line) + edit->column;
        replaceRange(at, at + edit->removed, edit->inserted);
        caret = lineEnd(line);
    }
    endUndoAction();
    flushEdits();
    if (caret >= 0)
        setCaretPosition(caret);
}

void TAdvEdit::UncommentLines() {
    int first, last;
    selectedLineRange(first, last);
    qsizetype caret = -1;
    beginUndoAction();
    for (int line = first; line <= last; ++line) {
        const auto edit = uncommentEdit(lineText(line));
        if (!edit)
            continue;
        const qsizetype at = lineStart(line) + edit->column;
        replaceRange(at, at + edit->removed, edit->inserted);
        caret = at + edit->inserted.size();
    }
    endUndoAction();
    flushEdits();
    if (caret >= 0)
        setCaretPosition(caret);
}

// ---------------------------------------------------------------------------------------
// Keys and mouse

int TAdvEdit::keyCode(const QKeyEvent *e) {
    return e->keyCombination().toCombined() & ~int(Qt::KeypadModifier);
}

void TAdvEdit::setMenuKeys(const QList<QKeySequence> &keys) {
    m_menuKeys.clear();
    for (const QKeySequence &sequence : keys)
        if (!sequence.isEmpty())
            m_menuKeys.insert(sequence[0].toCombined());
    for (QsciCommand *command : standardCommands()->commands()) {
        if (command->key() && m_menuKeys.contains(command->key()))
            command->setKey(0);
        if (command->alternateKey() && m_menuKeys.contains(command->alternateKey()))
            command->setAlternateKey(0);
    }
}

bool TAdvEdit::event(QEvent *e) {
    if (e->type() == QEvent::ShortcutOverride &&
        m_menuKeys.contains(keyCode(static_cast<QKeyEvent *>(e)))) {
        e->ignore(); // the menu's shortcut wins
        return true;
    }
    return QsciScintilla::event(e);
}

bool TAdvEdit::KeyPress(QKeyEvent *e) {
    const int key = completionCharacter(e->key(), e->text());
    if (key == 0)
        return true; // not a character key
    bool pass = true;
    if (CompletionList) {
        const CompletionStep step = m_completion->press(key);
        applyCompletion(step);
        pass = !step.withhold;
    }
    return pass;
}

void TAdvEdit::keyPressEvent(QKeyEvent *e) {
    m_pressedKeys.insert(e->key());
    if (m_menuKeys.contains(keyCode(e))) {
        e->ignore();
        return;
    }
    // While the list is shown, Up and Down move its selection (at their release), not the
    // caret.
    if (CompletionList && m_completion->isOpen() &&
        (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) &&
        !(e->modifiers() & ~Qt::KeypadModifier)) {
        e->accept();
        return;
    }
    bool pass = true;
    guarded(this, [&] { pass = KeyPress(e); });
    if (pass)
        QsciScintilla::keyPressEvent(e);
    else
        e->accept();
    flushEdits();
}

void TAdvEdit::KeyUp(int Key, Qt::KeyboardModifiers Shift) {
    flushEdits();
    if (releaseCounts(Key, Shift) && CompletionList) {
        // Edits colour their lines as they happen; only a long line needs the phrase at the
        // caret coloured here.
        const int line = lineOfPosition(caretPosition());
        if (highlightingEnabled && lineEnd(line) - lineStart(line) >= wholeLineColoringBytes)
            HighlightAtCaret();
        if (m_completion->isOpen())
            applyCompletion(m_completion->release(Key));
        else if (m_completion->takeTyped() && intellisenseEnabled)
            CheckTrigger(); // only a key that typed text looks: moving the caret opens nothing
    }
    if (isNavigationKey(Key))
        repaintAll();
}

void TAdvEdit::keyReleaseEvent(QKeyEvent *e) {
    // A release whose press went elsewhere (the Enter or Esc that closed a message box shown
    // from this editor) must not run the key handling: it would show the box again.
    const bool pressedHere = m_pressedKeys.remove(e->key());
    if (pressedHere && !e->isAutoRepeat() && !m_menuKeys.contains(keyCode(e)))
        guarded(this, [&] { KeyUp(e->key(), e->modifiers()); });
    QsciScintilla::keyReleaseEvent(e);
}

void TAdvEdit::mouseReleaseEvent(QMouseEvent *e) {
    QsciScintilla::mouseReleaseEvent(e);
    Click();
}

void TAdvEdit::focusInEvent(QFocusEvent *e) {
    SendScintilla(SCI_HIDESELECTION, 0UL);
    QsciScintilla::focusInEvent(e);
}

void TAdvEdit::focusOutEvent(QFocusEvent *e) {
    m_pressedKeys.clear(); // their releases go to whatever takes the focus
    // The selection is hidden while the editor does not have the keyboard focus.
    SendScintilla(SCI_HIDESELECTION, 1UL);
    QsciScintilla::focusOutEvent(e);
}
