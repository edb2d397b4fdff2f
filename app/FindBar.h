#pragma once

#include "core/script/TextSearch.h"
#include "core/search/DocumentSearch.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class TAdvEdit;

namespace marlix {

// The find bar at the bottom of a document's tab page: not a dialog, so the document stays in
// reach. Every match in view is marked with an indicator (the characters keep the colours of
// the highlighting table) and the current match with a stronger one, since the editor hides
// its selection while the bar has the focus. With the replace row it is the Replace bar.
class FindBar : public QWidget {
    Q_OBJECT
public:
    FindBar(TAdvEdit *editor, QWidget *parent);

    // The bar of the page, made and placed at its bottom when `create`.
    static FindBar *ofPage(QWidget *page, TAdvEdit *editor, bool create);

    QLineEdit *findField;
    QLineEdit *replaceField;
    QCheckBox *matchCase, *wholeWord, *regularExpression, *wrapAround;
    QPushButton *nextButton, *previousButton, *replaceButton, *replaceAllButton, *closeButton;
    QPushButton *inFilesButton;
    QLabel *statusLabel; // the count, "not found", or why the pattern cannot be searched
    QWidget *replaceRow;

    // Shows the bar (with the replace row or without) and gives the find field the focus; a
    // selection within one line becomes the text searched for. In files, Enter searches every
    // script of the index folders instead of the document.
    void open(bool withReplace, bool inFiles = false);
    bool searchesFiles() const { return m_inFiles; }
    // Hides the bar, stops its searches, takes its marks away and gives the editor the focus.
    void close();
    // A search runs off the window's thread (one that takes longer than a moment does).
    bool isSearching() const;

    TextSearch search() const;
    // The searches report at once when they are quick, else a moment later: the return value
    // says what was found at once.
    bool findNext();
    bool findPrevious();
    // Replaces the selected match and goes to the next one; selects the first match when the
    // selection is none.
    void replace();
    // Every match in one edit, undone in one step; returns the count (-1: could not search or
    // not yet known).
    qsizetype replaceAll();

    void setStatus(const QString &text, bool problem);

signals:
    // Find in Files with the bar's text and options, asked for by Enter or the button.
    void findInFilesRequested(const QByteArray &pattern, const marlix::SearchOptions &options);
    // The bar closed (Esc, Close): a search it started, Find in Files included, is no longer
    // wanted.
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool find(bool forward, bool fromSelectionStart);
    void showMatch(const SearchMatch &match);
    void searchChanged();
    void scheduleRefresh();
    void refresh(); // the marks in view and the count
    DocumentSearchRequest request(DocumentSearchRequest::Kind kind) const;
    void startSearch(DocumentSearchJob *job, const DocumentSearchRequest &request);
    void searchFinished(const DocumentSearchRequest &request, const DocumentSearchResult &result);
    void showMarks(const DocumentSearchResult &result);
    void applyReplaceAll(const DocumentSearchResult &result);
    QByteArray documentBytes() const;
    void clearMarks();
    void requestFiles();
    TextView documentView() const;

    TAdvEdit *m_editor;
    QTimer *m_refresh;
    DocumentSearchJob *m_actions; // Next, Previous, Replace All
    DocumentSearchJob *m_marks;
    quint64 m_revision = 0;                             // counts the changes of the text
    quint64 m_actionsRevision = 0, m_marksRevision = 0; // the text their search was given
    bool m_foundAtOnce = false;
    qsizetype m_replacedAtOnce = -1;
    QString m_note;
    bool m_inFiles = false; // said after the count: "wrapped", "not found"
};

} // namespace marlix
