#pragma once

#include "core/startup/HandOffQueue.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QWidget;
class QWindow;

namespace marlix {

class HandOffListener;
class OpenDocuments;

// The window's side of a start: the files named on the command line, opened when the window
// is first activated; the hand-off of later starts, taken up from params.ini after a paint
// and from the socket; and bringing the window forward when a later start asks for it.
class StartupHandOff : public QObject {
    Q_OBJECT
public:
    struct Context {
        QString programFolder;
        // The window's own inputs, set by the program block after the window is made.
        const QStringList *commandLine = nullptr;
        const QPointer<HandOffListener> *listener = nullptr;
        std::function<void(const QString &)> openFile;
        // The window's described handlers, which the events and the queued paint call.
        std::function<void()> activateHandler;
        std::function<void()> paintHandler;
        std::function<void()> restoreSession;
        // The tab in view changed: its editor takes the focus.
        std::function<void()> tabChanged;
    };
    StartupHandOff(QWidget *window, OpenDocuments &documents, Context context);

    // The window was activated: the command line's files open the first time; coming back
    // from a dialog leaves the tab that was in view in view.
    void activate();
    // Takes up params.ini (after the socket's waiting requests) and opens its files.
    void takeHandOff();
    // A later start handed these files over the socket.
    void filesHandedOver(const QStringList &files);
    // Brings the window forward and takes up the hand-off after the next paint.
    void bringForward();
    // The window was painted; the paint handler runs right after it.
    void painted();
    // The window was shown; the first showing restores the session and counts as the first
    // activation.
    void shown();

private:
    void openHandedFiles();
    void focusWindowChanged(QWindow *window);

    QWidget *m_window;
    OpenDocuments &m_documents;
    Context m_context;
    HandOffQueue m_queue;
    bool m_commandLineTaken = false;
    bool m_paintQueued = false;
    bool m_shownOnce = false;
    QPointer<QWindow> m_lastOwnWindow;
};

} // namespace marlix
