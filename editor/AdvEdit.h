#pragma once

#include "core/common/ColorText.h"
#include "core/script/CompletionSession.h"
#include "core/script/HighlightStyling.h"
#include "core/script/LineEnds.h"
#include "core/script/StyleTable.h"
#include "editor/DocumentChangedFlag.h"
#include "editor/Windows1252Overlay.h"

#include <Qsci/qsciscintilla.h>

#include <QByteArrayList>
#include <QKeySequence>
#include <QList>
#include <QSet>
#include <QStringList>
#include <cstdint>
#include <memory>

namespace marlix {
struct FoldLine;
struct LinePiece;
class LinePieceFeed;
class ScintillaText;
class TriggerCompletion;
class WrapSwitch;
} // namespace marlix
class QListWidget;
class QTableView;
class QTimer;

// The script editor: one per open document. A QScintilla control in 8-bit mode whose
// characters carry their colours as styles, with the two language tables, a completion list
// floating over the text and the object-list panel docked beside it on the tab page.
class TAdvEdit : public QsciScintilla {
    Q_OBJECT

public:
    explicit TAdvEdit(QWidget *Owner);
    ~TAdvEdit() override;

    QListWidget *CompletionList = nullptr; // owned by the editor
    QTableView *ObjectList = nullptr;      // child of the editor's parent
    qsizetype CodeStart = -1;
    QString ActiveCode;
    std::int32_t ActiveStyle = 0;
    QStringList CodeTriggers;
    QStringList CodeFiles;
    QList<std::int32_t> CodeStyles;
    int CodeCount = 0;
    QStringList HighlightPhrases;
    QList<marlix::TColor> HighlightColors;
    QList<std::int32_t> HighlightStyles;
    int HighlightCount = 0;
    QString ProgramFolder; // ends in "/"
    // Whether the text differs from what was last loaded or saved; reads as a bool.
    marlix::DocumentChangedFlag DocChanged{*this};
    // The line ends a save writes: LF for a script loaded with LF line ends only.
    marlix::LineEnd fileLineEnd = marlix::LineEnd::CrLf;

    // Reads both language tables and creates the object-list panel and the completion list
    // (those first, so an editor whose tables fail to load stays usable). Throws marlix::Error.
    void InitEditor();
    // Writes the document with its header block; throws "Cannot create file %s".
    void SaveScript(const QString &FileName);
    void CommentLines();
    void UncommentLines();
    // Comments the selected lines, or uncomments them when all are commented; one undo step
    // that keeps the same lines selected (AdvEditCommentToggle.cpp).
    void toggleCommentLines();
    void RefreshHighlighting();
    void HighlightAtCaret();
    void RefreshObjectList();
    void ObjectListSelectCell(int ACol, int ARow);
    void ObjectListSetEditText(int ACol, int ARow);

    // Fills the editor with the lines joined by CR LF: unchanged, with no undo history.
    void loadLines(const QByteArrayList &lines);
    // Replaces the text with a file's bytes: its lines held with CR LF between them (whatever
    // line ends it had, which decide `fileLineEnd`); unchanged, with no undo history.
    void loadBytes(const QByteArray &fileBytes);
    // The whole text as bytes, NULs included.
    QByteArray documentBytes() const;
    // The bytes a save writes for the text as it is now (header block aside).
    QByteArray fileBytes() const;
    // Replaces the whole text with these bytes as one edit that Undo takes back, keeping the
    // caret's line and column and the view where they were (Restore).
    void replaceWholeText(const QByteArray &text);
    // Keys that belong to the main menu: the editor neither binds nor handles them.
    void setMenuKeys(const QList<QKeySequence> &keys);

    // The completion session of this editor: another source of items plugs in here.
    marlix::CompletionSession &completion() { return *m_completion; }

    // Applies the font to every text style as well as to the widget.
    void setFont(const QFont &font);

    // The switches of the preferences: completion and colouring at the caret.
    bool intellisenseEnabled = true;
    bool highlightingEnabled = true;
    // Light text on a dark background, each table colour made readable on it.
    void setDarkScheme(bool dark);
    bool darkScheme() const { return m_darkScheme; }
    // Colours the whole lines of [from, to] anew, after a command (Replace) changed them.
    void recolorRange(qsizetype from, qsizetype to);
    // Brings the colours and block states of the lines edited since the last call up to date;
    // runs after every key, command and undo step, and before painting.
    void flushEdits();

    // The line-number margin (on unless switched off in the preferences).
    void setLineNumbersShown(bool shown);
    bool lineNumbersShown() const { return m_lineNumbers; }
    // Folds or unfolds the block at the caret (the innermost one it stands in).
    void foldBlockAtCaret(bool fold);

    // Whether the lines of a large script are still being brought up to date after it was
    // loaded or coloured (AdvEditBackground.cpp); the lines in view always are.
    bool linesPending() const;

    void undo() override;
    void redo() override;
    void paste() override;

signals:
    // The text changed (once per key or command): what depends on the undo history may look.
    void edited();

public:
    // Completion (run from the key handling).
    void CheckTrigger();
    void OpenCompletion(const QString &FileName, const QString &Code, std::int32_t Style);
    void TrackPrefix();
    // False when nothing was put in: an empty list, or the caret left the trigger's line.
    bool AcceptCompletion();

protected:
    // KeyPress: a character key was pressed; returns false when the character is withheld.
    bool KeyPress(QKeyEvent *e);
    void KeyUp(int Key, Qt::KeyboardModifiers Shift);
    // The text of lines [firstLine, lastLine] changed: the block states and, with Highlighting
    // on, the colours of the lines it affects are brought up to date.
    void Change(int firstLine, int lastLine);
    void Click();

    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void changeEvent(QEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    QMimeData *toMimeData(const QByteArray &text, bool rectangular) const override;
    QByteArray fromMimeData(const QMimeData *source, bool &rectangular) const override;

private:
    void documentModified(int position, int modificationType, int length);
    qsizetype m_dirtyFrom = -1; // the range edits have touched since the last flush
    qsizetype m_dirtyTo = -1;
    void loadText(const QByteArray &text); // as the document holds it
    void applyFontToStyles();
    QColor schemeColor(const QColor &color) const;
    int styleForColor(marlix::TColor color);
    void colorRange(qsizetype start, qsizetype length, int style);
    // Twin styles of long lines (AdvEditTwins.cpp).
    // twinLines, with room for the pieces of a document of this size (-1: of the text)
    void twinStyles(const marlix::TextView &text, QByteArray &styles, qsizetype documentBytes = -1);
    void setStyleColor(int style, const QColor &color); // the style and its twin
    // Room for the widths of the pieces of a document of this size, or of a long line.
    void keepTwinWidths(qsizetype documentBytes, bool longLine);
    void twinLineAt(qsizetype pos);
    void twinLoadedText(const QByteArray &text); // all in style 0, as the text came in
    void initTwins();
    void retwinAll();
    // Whole lines; with room for the pieces of a document of this size when it is given.
    void retwinRange(qsizetype from, qsizetype to, qsizetype documentBytes = -1);
    QList<marlix::HighlightPhrase> highlightEntries();
    const marlix::PhraseHighlighter &highlighter();
    // Colours lines [first, last] as a whole pass would; returns the last line whose block
    // state was found changed (colouring goes on past `last` until the states agree again).
    int colorLines(int first, int last);
    bool blockOpenBefore(int line) const;
    // Updates the block state of lines from `first` on, at least to `last` and on while it
    // changes; returns the last line looked at.
    int updateBlockStates(int first, int last);
    void setBlockStates(const QList<bool> &openAfter, int first);
    // Margins, caret line and folding (AdvEditMargins.cpp).
    void setUpMargins();
    void updateLineNumberWidth();
    void applyViewShading();
    void setFoldLevels(const marlix::TextView &text);
    void updateFoldLevels(int first, int last);
    std::uint32_t foldStateBefore(int line) const;
    void setFoldStateBefore(int line, std::uint32_t bits);
    bool m_lineNumbers = true;
    // The lines of a large script brought up to date in slices (AdvEditBackground.cpp).
    bool startLinePass(bool color); // false: the script is small, nothing was started
    void stopLinePass();
    int pendingLine() const; // the first line the slices have not done, or INT_MAX
    void movePendingLines(qsizetype position, qsizetype length, bool insert);
    void lineSlice();
    void bringLinesUpToDate(int first, int last, bool color);
    void colorLinesInView();
    void repaintLinesInView(int first, int last);
    // The block states (open after each line), fold levels and the blocks open before each
    // line of whole lines from `first` on, each state told to the control once.
    void setLineStatesOf(const marlix::TextView &lines, int first, const QList<bool> &openAfter);
    // The same from the fold places worked out already, `before` being the blocks open before
    // line `first`.
    void applyLineStates(int first, std::uint32_t before, const QList<marlix::FoldLine> &folds,
                         const QList<bool> &openAfter);
    // The colours, block states and fold levels of the lines ahead worked out on another
    // thread while the slices write what is done (core/script/LinePieceFeed.h).
    static bool workedOutAhead(qsizetype documentBytes); // by the feed, for a script this size
    void startFeed(int line);
    void dropFeed();
    bool pieceFits(const marlix::LinePiece &piece, int line) const;
    void applyLinePiece(const marlix::LinePiece &piece);
    std::unique_ptr<marlix::LinePieceFeed> m_feed;
    // The bytes the text was loaded from, text[0, m_loadedSize) being the document, kept for
    // the feed until the first edit or the end of the pass: it then needs no copy of them.
    QByteArray m_loadedText;
    qsizetype m_loadedSize = 0;
    bool m_feedAllowed = false; // until the text is edited during the pass
    QTimer *m_sliceTimer = nullptr;
    qsizetype m_pendingFrom = -1; // the start of the first line not done, or -1
    qsizetype m_aheadFrom = -1;   // the lines in view done ahead of the slices
    qsizetype m_aheadTo = -1;
    // The start of the first line whose colours are not done, or -1: the lines before it
    // keep their colours when a pass only has twins and blocks to redo.
    qsizetype m_colorFrom = -1;
    bool m_objectListPending = false;
    void createObjectList();
    void createCompletionList();
    void applyCompletion(const marlix::CompletionStep &step);
    void placeCompletionList();
    void fillCompletionList();
    QByteArray bytesBetween(qsizetype from, qsizetype to) const;
    QByteArray lineText(int line) const;
    qsizetype caretPosition() const;
    void setCaretPosition(qsizetype pos);
    void selectRange(qsizetype from, qsizetype to);
    void replaceRange(qsizetype from, qsizetype to, const QByteArray &text);
    int lineOfPosition(qsizetype pos) const;
    qsizetype lineStart(int line) const;
    qsizetype lineEnd(int line) const;
    void selectedLineRange(int &first, int &last) const;
    void repaintAll();
    int completionContentWidth() const;
    static int keyCode(const QKeyEvent *e);

    QByteArrayList m_foldedPhrases;
    int m_longestPhrase = 0;
    std::unique_ptr<marlix::ScintillaText> m_text;
    std::unique_ptr<marlix::TriggerCompletion> m_triggers;
    std::unique_ptr<marlix::CompletionSession> m_completion;
    // For the table and style colours; shared with the feed that colours ahead.
    std::shared_ptr<const marlix::PhraseHighlighter> m_highlighter;
    int m_highlighterEntries = 0;
    marlix::StyleTable m_styles;
    QSet<int> m_menuKeys;
    QSet<int> m_pressedKeys; // keys whose press reached this editor
    bool m_loading = false;
    bool m_darkScheme = false;
    marlix::WrapSwitch *m_wrap = nullptr; // word wrap only where a line can reach the edge
    marlix::Windows1252Overlay m_windows1252{*this};
};
