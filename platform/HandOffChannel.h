#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <list>
#include <memory>

class QSocketNotifier;

namespace marlix {

// The first instance's ear for later starts: a local socket named after the exact title of
// its main window, in the user's runtime folder. A later start sends the files of its command
// line and waits until the window has taken them; one that finds no socket has no effect.
//
// The listener keeps its socket for as long as it lives: a connection it cannot take (the
// process has run out of file descriptors) is refused, and it goes on listening.
class HandOffListener : public QObject {
    Q_OBJECT
public:
    explicit HandOffListener(QObject *parent = nullptr);
    ~HandOffListener() override;

    // Starts listening under the title; a socket left behind by a crashed run is replaced.
    bool listen(const QString &windowTitle);
    bool isListening() const { return m_listener >= 0; }

    // Takes every connection that is waiting and reads what has arrived on each, so that the
    // requests already sent are handled before the caller goes on.
    void takeWaitingRequests();

    // Connections open at this moment (requests not yet complete).
    int openConnections() const { return int(m_connections.size()); }

signals:
    // A later start handed these files over (none: it only asks for the window). The start
    // is told that the files were taken once the connected slots have returned.
    void filesHandedOver(const QStringList &files);

private:
    struct Connection;
    void acceptWaiting();
    bool refuseOne();
    void readFrom(Connection *connection);
    void drop(Connection *connection);
    void pauseAccepting();

    int m_listener = -1;
    int m_spare = -1; // held in reserve, so that a connection can be refused when none is left
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_path;
    // The socket file as bound, so that a file another run has put in its place stays.
    quint64 m_device = 0, m_inode = 0;
    std::list<std::unique_ptr<Connection>> m_connections;
};

// The socket path both sides use for a window title.
QString handOffSocketPath(const QString &windowTitle);

// A later start's request, as it is written on the socket.
QByteArray handOffRequest(const QStringList &files);

enum class HandOffAnswer {
    Taken,    // the running window has the files
    NoWindow, // nothing listens under the title
    NoAnswer, // something listens but did not answer in time (a window held up, say)
};

// A later start's side: sends the files to the running window with the title and waits for
// its answer.
HandOffAnswer handFilesOver(const QString &windowTitle, const QStringList &files,
                            int timeoutMs = 3000);

} // namespace marlix
