#include "editor/AdvEdit.h"

#include "common/Error.h"
#include "common/LineFile.h"
#include "common/ScreenColor.h"
#include "editor/CommentEdit.h"
#include "editor/CompletionRules.h"
#include "editor/HeaderBlock.h"
#include "editor/HighlightStyling.h"
#include "editor/LanguageTables.h"
#include "editor/ObjectScan.h"
#include "editor/ScriptText.h"
#include "editor/WordSearch.h"
#include "editor/WrapSwitch.h"
#include "platform/ErrorDisplay.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QApplication>
#include <QBoxLayout>
#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>

using namespace marlix;

namespace {

constexpr int objectListWidth = 300;
constexpr int completionSize = 150;
// Scintilla reserves styles 32 to 39 for its own use (default, line numbers, braces...).
constexpr int firstReservedStyle = 32;
constexpr int lastReservedStyle = 39;
constexpr int lastStyle = 255;

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

long bgr(const QColor &c) {
    return long(colorValue(c));
}

} // namespace

TAdvEdit::TAdvEdit(QWidget *Owner) : QsciScintilla(Owner) {
    setUtf8(false);
    SendScintilla(SCI_SETCODEPAGE, 0);
    setEolMode(EolWindows);
    m_wrap = new WrapSwitch(this);
    SendScintilla(SCI_SETHSCROLLBAR, 0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setMarginWidth(1, 0);
    // No lexer: the style-needed notifications after edits are ignored, so the colours stay
    // on the characters until the next colouring pass.
    SendScintilla(SCI_STYLESETFORE, STYLE_DEFAULT, 0L);
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, 0xFFFFFFL);
    m_styleColors.append(QColor(Qt::black));
    applyFontToStyles();
    showWindows1252();
    SendScintilla(SCI_SETMODEVENTMASK, SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *, int, int, int, int, int, int, int) {
                documentModified(position, type);
            });
}

TAdvEdit::~TAdvEdit() {
    // The object list belongs to the tab page; one without a page would otherwise be lost.
    if (ObjectList && !ObjectList->parentWidget())
        delete ObjectList;
}

// ---------------------------------------------------------------------------------------
// Initialisation and the language tables

void TAdvEdit::InitEditor() {
    QWidget *page = parentWidget();
    ObjectList = new QTableWidget(page);
    ObjectList->setColumnCount(2);
    ObjectList->setHorizontalHeaderLabels(
        {QStringLiteral("Object Type"), QStringLiteral("Object Name")});
    ObjectList->verticalHeader()->hide();
    ObjectList->horizontalHeader()->setStretchLastSection(true);
    ObjectList->setSelectionMode(QAbstractItemView::SingleSelection);
    ObjectList->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    ObjectList->setFixedWidth(objectListWidth);
    ObjectList->setFont(font());
    ObjectList->setRowCount(1);
    ObjectList->setItem(0, 0, new QTableWidgetItem());
    ObjectList->item(0, 0)->setFlags(Qt::ItemIsEnabled);
    ObjectList->setItem(0, 1, new QTableWidgetItem());
    connect(ObjectList, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) {
                guarded(this, [&] { ObjectListSelectCell(column, row); });
            });
    ObjectList->viewport()->installEventFilter(this);
    connect(ObjectList, &QTableWidget::cellChanged, this,
            [this](int row, int column) { ObjectListSetEditText(column, row); });
    if (page) {
        if (!page->layout()) {
            auto *layout = new QHBoxLayout(page);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
            layout->addWidget(this, 1);
            layout->addWidget(ObjectList);
        } else if (auto *box = qobject_cast<QBoxLayout *>(page->layout())) {
            if (box->indexOf(this) < 0)
                box->addWidget(this, 1);
            box->addWidget(ObjectList);
        }
        ObjectList->show();
    }

    CompletionList = new QListWidget(this);
    CompletionList->setFrameShape(QFrame::Box);
    CompletionList->setGeometry(0, 0, completionSize, completionSize);
    CompletionList->setSelectionMode(QAbstractItemView::SingleSelection);
    CompletionList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CompletionList->setFocusPolicy(Qt::NoFocus); // typing goes on in the editor
    CompletionList->hide();
    connect(CompletionList, &QListWidget::itemDoubleClicked, this, [this] {
        guarded(this, [&] { AcceptCompletion(); });
        setFocus();
    });

    IntellisenseTable codes;
    auto takeCodes = [&] {
        CodeTriggers = codes.triggers;
        CodeFiles = codes.files;
        CodeStyles = codes.styles;
        CodeCount = codes.count;
        m_foldedTriggers.clear();
        m_longestTrigger = 0;
        for (const QString &trigger : CodeTriggers) {
            m_foldedTriggers.append(foldWord(trigger.toLatin1()));
            m_longestTrigger = std::max(m_longestTrigger, int(trigger.size()));
        }
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
}

// ---------------------------------------------------------------------------------------
// Text access

QByteArray TAdvEdit::DocumentBytes() const {
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto *data = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return QByteArray(data, length);
}

QByteArray TAdvEdit::bytesBetween(qsizetype from, qsizetype to) const {
    if (to < from)
        std::swap(from, to);
    from = std::max<qsizetype>(from, 0);
    to = std::min<qsizetype>(to, SendScintilla(SCI_GETLENGTH));
    if (to <= from)
        return QByteArray();
    // The range pointer moves the gap only when the range straddles it, unlike the
    // character pointer, which moves the whole text after the gap.
    const auto *data = reinterpret_cast<const char *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), long(to - from)));
    return QByteArray(data, to - from);
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

void TAdvEdit::LoadLines(const QByteArrayList &lines) {
    LoadBytes(lines.join("\r\n"));
}

void TAdvEdit::LoadBytes(const QByteArray &text) {
    m_loading = true;
    // Wrapping while the text goes in costs seconds on a large script.
    m_wrap->beginReset();
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(text.size()), text.constData());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_SETSAVEPOINT);
    m_wrap->reset(text.constData(), text.size());
    SendScintilla(SCI_GOTOPOS, 0UL);
    m_loading = false;
}

void TAdvEdit::documentModified(int, int modificationType) {
    if (!m_loading && (modificationType & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)))
        Change();
}

void TAdvEdit::Change() {
    DocChanged = true;
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
    for (int style = 0; style < m_styleColors.size(); ++style)
        if (m_styleColors[style].isValid())
            SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(style),
                          bgr(schemeColor(m_styleColors[style])));
}

int TAdvEdit::styleForColor(TColor color) {
    const QColor screen = screenColor(color, QColor(Qt::black), palette());
    const QRgb key = screen.rgb();
    if (screen == QColor(Qt::black))
        return 0;
    if (auto it = m_colorStyles.constFind(key); it != m_colorStyles.constEnd())
        return it.value();
    int style = int(m_styleColors.size());
    if (style == firstReservedStyle)
        style = lastReservedStyle + 1;
    if (style > lastStyle) {
        // Every style is in use: the colour shares the last one.
        return lastStyle;
    }
    while (m_styleColors.size() < style)
        m_styleColors.append(QColor());
    m_styleColors.append(screen);
    m_colorStyles.insert(key, style);
    SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(style), bgr(schemeColor(screen)));
    return style;
}

void TAdvEdit::colourRange(qsizetype start, qsizetype length, int style) {
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

void TAdvEdit::RefreshHighlighting() {
    // The caret goes back to the selection's start, whichever end of it the caret was at.
    const qsizetype selStart = SendScintilla(SCI_GETSELECTIONSTART);
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto *data = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    const QByteArray styles = highlightStyles(TextView::whole(data, length), highlightEntries());
    SendScintilla(SCI_STARTSTYLING, 0UL, 0L);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()), styles.constData());
    setCaretPosition(selStart);
}

void TAdvEdit::colourLines(int first, int last) {
    // Whole lines stand alone: no phrase and no "to end of line" range crosses a line end.
    const qsizetype from = lineStart(first);
    const QByteArray text = bytesBetween(from, lineEnd(last));
    const QByteArray styles = highlightStyles(TextView::whole(text), highlightEntries());
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(from), 0L);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()), styles.constData());
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
        colourRange(c, end - c, style);
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
    // The header's text arrives black; it is coloured like any other text.
    colourLines(0, 2);

    writeLines(FileName, documentLines(DocumentBytes()));
    SendScintilla(SCI_SETSAVEPOINT);
    repaintAll();
    DocChanged = false;
}

void TAdvEdit::selectedLineRange(int &first, int &last) const {
    first = lineOfPosition(SendScintilla(SCI_GETSELECTIONSTART));
    last = lineOfPosition(SendScintilla(SCI_GETSELECTIONEND));
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
    if (caret >= 0)
        setCaretPosition(caret);
}

// ---------------------------------------------------------------------------------------
// Object list

void TAdvEdit::RefreshObjectList() {
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto *data = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    const QList<ObjectRow> rows = scanObjects(TextView::whole(data, length));

    const QSignalBlocker blocker(ObjectList);
    ObjectList->setUpdatesEnabled(false);
    ObjectList->setRowCount(0);
    const int count = std::max<int>(1, int(rows.size()));
    ObjectList->setRowCount(count);
    for (int r = 0; r < count; ++r) {
        auto *key =
            new QTableWidgetItem(r < rows.size() ? QString::fromLatin1(rows[r].type) : QString());
        key->setFlags(Qt::ItemIsEnabled); // the type column is not selectable
        ObjectList->setItem(r, 0, key);
        ObjectList->setItem(
            r, 1,
            new QTableWidgetItem(r < rows.size() ? QString::fromLatin1(rows[r].name) : QString()));
    }
    ObjectList->setCurrentCell(-1, -1);
    ObjectList->setUpdatesEnabled(true);
    // As the scan leaves it: the text after the keyword of the last object line is selected.
    if (!rows.isEmpty())
        selectRange(rows.last().textStart, rows.last().lineEnd);
}

void TAdvEdit::ObjectListSelectCell(int ACol, int ARow) {
    if (ACol != 1 || ARow < 0 || ARow >= ObjectList->rowCount())
        return;
    auto cell = [&](int column) {
        const QTableWidgetItem *item = ObjectList->item(ARow, column);
        return item ? item->text().toLatin1() : QByteArray();
    };
    const QByteArray search = objectLineText(cell(0), cell(1));
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto *data = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    const qsizetype c = findWholeWord(TextView::whole(data, length), search, 0, length);
    if (c >= 0) {
        setFocus();
        selectRange(c, c + search.size());
        const long visible =
            SendScintilla(SCI_VISIBLEFROMDOCLINE, static_cast<unsigned long>(lineOfPosition(c)));
        SendScintilla(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(visible));
        SendScintilla(SCI_SCROLLCARET);
    }
    ObjectList->setFocus();
}

bool TAdvEdit::eventFilter(QObject *watched, QEvent *e) {
    // A click on the name that is already current changes no cell, yet it jumps again.
    if (ObjectList && watched == ObjectList->viewport() && e->type() == QEvent::MouseButtonPress) {
        const QModelIndex at =
            ObjectList->indexAt(static_cast<QMouseEvent *>(e)->position().toPoint());
        if (at.isValid() && at == ObjectList->currentIndex())
            guarded(this, [&] { ObjectListSelectCell(at.column(), at.row()); });
    }
    return QsciScintilla::eventFilter(watched, e);
}

void TAdvEdit::ObjectListSetEditText(int, int) {
    // In-place edits change only the panel's row, never the text.
}

// ---------------------------------------------------------------------------------------
// Completion

void TAdvEdit::CheckTrigger() {
    const qsizetype caret = caretPosition();
    const qsizetype length = SendScintilla(SCI_GETLENGTH);
    const qsizetype from = std::max<qsizetype>(0, caret - m_longestTrigger - 1);
    const QByteArray window = bytesBetween(from, std::min<qsizetype>(length, caret + 1));
    const TextView view{window.constData(), window.size(), from, length};
    const int entry = findTriggerAtCaret(view, m_foldedTriggers, caret, CodeStart);
    if (entry >= 0)
        OpenCompletion(CodeFiles[entry], CodeTriggers[entry], CodeStyles[entry]);
}

void TAdvEdit::OpenCompletion(const QString &FileName, const QString &Code, std::int32_t Style) {
    ActiveCode = Code;
    ActiveStyle = Style;
    CompletionList->setUpdatesEnabled(false);
    CompletionList->clear();
    m_items.clear();
    const QString path = completionFilePath(FileName, ProgramFolder);
    if (path.isEmpty()) {
        CompletionList->setUpdatesEnabled(true);
        showMessage(this, QStringLiteral("Unable to load code file"));
    } else {
        try {
            m_items = sortCompletionItems(readTextLines(path));
        } catch (...) {
            CompletionList->setUpdatesEnabled(true);
            throw;
        }
        CompletionList->addItems(m_items);
        CompletionList->setCurrentRow(-1);
        CompletionList->clearSelection();
        // The view would keep the place an earlier list was scrolled to.
        CompletionList->scrollToTop();
        CompletionList->setUpdatesEnabled(true);
    }

    const qsizetype caret = caretPosition();
    const int x = int(SendScintilla(SCI_POINTXFROMPOSITION, 0UL, long(caret)));
    const int y = int(SendScintilla(SCI_POINTYFROMPOSITION, 0UL, long(caret)));
    // The list is a child of the editor; the text area starts inside the editor's frame.
    const QPoint inEditor = viewport()->pos() + QPoint(x, y);
    const int t = inEditor.y() + pos().y();
    const QRect area = viewport()->geometry().translated(pos());
    const QSize size = completionListSize(completionContentWidth(), area.width(),
                                          int(SendScintilla(SCI_TEXTHEIGHT, 0UL)),
                                          QFontMetrics(QApplication::font(this)).lineSpacing());
    CompletionList->resize(size);
    CompletionList->move(
        completionPlace(inEditor.x() + pos().x(), t, size, area.right() + 1, area.bottom() + 1));
    if (!m_items.isEmpty()) {
        CompletionList->show();
        CompletionList->raise();
    }
}

int TAdvEdit::completionContentWidth() const {
    const QFontMetrics metrics(CompletionList->font());
    int widest = 0;
    for (const QString &item : m_items)
        widest = std::max(widest, metrics.horizontalAdvance(item));
    // Item margins, the frame and the vertical scroll bar the list shows when it is long.
    const int margins = 2 * CompletionList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    return widest + margins + 2 * CompletionList->frameWidth() +
           CompletionList->verticalScrollBar()->sizeHint().width();
}

void TAdvEdit::TrackPrefix() {
    const qsizetype caret = caretPosition();
    const qsizetype typedFrom = CodeStart + ActiveCode.toLatin1().size();
    const QString prefix = QString::fromLatin1(bytesBetween(typedFrom, caret));
    const int row = selectByPrefix(m_items, prefix);
    if (row < 0) {
        CompletionList->setCurrentRow(-1);
        CompletionList->clearSelection();
    } else {
        CompletionList->setCurrentRow(row);
        CompletionList->scrollToItem(CompletionList->item(row));
    }
    CompletionList->update();
}

bool TAdvEdit::AcceptCompletion() {
    if (CompletionList->count() == 0) {
        CompletionList->hide();
        return false;
    }
    const qsizetype caret = caretPosition();
    const qsizetype typedFrom = CodeStart + ActiveCode.toLatin1().size();
    // The list stays open while the caret goes elsewhere (a click, Page Down). The item
    // replaces what was typed after the trigger, never the lines between trigger and caret:
    // once a line end lies between them, the completion is given up and nothing is replaced.
    // A caret moved back over the trigger (Left, Home, a click) gives it up too: replacing from
    // there would eat the trigger or the text before it.
    const QByteArray between = bytesBetween(typedFrom, caret);
    if (caret < typedFrom || between.contains('\r') || between.contains('\n')) {
        CompletionList->hide();
        return false;
    }
    if (CompletionList->currentRow() < 0)
        CompletionList->setCurrentRow(0);
    const QByteArray item = CompletionList->currentItem()->text().toLatin1();
    const qsizetype from = ActiveStyle == 0 ? typedFrom : CodeStart;
    const qsizetype start = std::min(from, caret);
    replaceRange(start, std::max(from, caret), item);
    setCaretPosition(start + item.size());
    CompletionList->hide();
    return true;
}

// ---------------------------------------------------------------------------------------
// Keys and mouse

int TAdvEdit::keyCode(const QKeyEvent *e) {
    return e->keyCombination().toCombined() & ~int(Qt::KeypadModifier);
}

void TAdvEdit::SetMenuKeys(const QList<QKeySequence> &keys) {
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
    int key = 0;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = 13;
        break;
    case Qt::Key_Escape:
        key = 27;
        break;
    case Qt::Key_Backspace:
        key = 8;
        break;
    case Qt::Key_Tab:
        key = 9;
        break;
    default:
        if (!e->text().isEmpty())
            key = e->text().at(0).unicode();
        break;
    }
    if (key == 0)
        return true; // not a character key
    bool pass = true;
    if (CompletionList && CompletionList->isVisible()) {
        if (key == 13) {
            // Enter is withheld only when it put the item in; otherwise it breaks the line.
            pass = !AcceptCompletion();
        } else if (key == ' ' || key == '.') {
            AcceptCompletion();
        } else if (key == 27) {
            CompletionList->hide();
        }
    }
    DocChanged = true;
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
    if (CompletionList && CompletionList->isVisible() &&
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
}

void TAdvEdit::KeyUp(int Key, Qt::KeyboardModifiers Shift) {
    // The release of Shift itself is no key made with Shift: a phrase or trigger whose last
    // character needed Shift ("IF", a trigger ending in ":") takes effect there.
    const bool shift = (Shift & Qt::ShiftModifier) && Key != Qt::Key_Shift;
    if (!shift && CompletionList) {
        if (highlightingEnabled)
            HighlightAtCaret();
        if (!CompletionList->isVisible()) {
            if (intellisenseEnabled)
                CheckTrigger();
        } else if (Key == Qt::Key_Down) {
            CompletionList->setCurrentRow(
                std::min(CompletionList->currentRow() + 1, CompletionList->count() - 1));
        } else if (Key == Qt::Key_Up) {
            const int row = CompletionList->currentRow() - 1;
            CompletionList->setCurrentRow(std::max(row, -1));
            if (row < 0)
                CompletionList->clearSelection();
        } else {
            TrackPrefix();
        }
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
