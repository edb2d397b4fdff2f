#pragma once

#include <QObject>
#include <QSet>

class QLabel;
class QMainWindow;
class TAdvEdit;

namespace marlix {

class DocumentHost;

// The main window's status bar (the caret's line and column, the selection's length, the
// line count, unsaved changes) and the "*" on the tabs of changed documents. It follows
// whichever editor is active and learns of every editor the window makes.
class DocumentStatus : public QObject {
    Q_OBJECT
public:
    explicit DocumentStatus(DocumentHost &host);

    // Brings status bar and tab marks up to date now; the window's document entries follow
    // documentsRefreshed.
    void refresh();
    // The same once the event in hand is done: an editor sets its changed flag after the
    // edit that it reports.
    void scheduleRefresh();
    // A passing note, such as a document reloaded from disk.
    void showNote(const QString &text);

    QLabel *caret;
    QLabel *selection;
    QLabel *lines;
    QLabel *changed;

signals:
    void editorFound(TAdvEdit *editor);
    // The editor's text is what its file holds, as after a save or a load.
    void savePointReached(TAdvEdit *editor);
    // The tabs' marks were brought up to date, before the status fields.
    void documentsRefreshed();

private:
    void watch(TAdvEdit *editor);

    DocumentHost &m_host;
    QMainWindow *m_window; // its status bar
    QSet<TAdvEdit *> m_watched;
    bool m_queued = false;
};

} // namespace marlix
