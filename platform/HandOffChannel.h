#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace marlix {

// The first instance's ear for later starts: a local socket named after the exact title of
// its main window, in the user's runtime folder. A later start that finds it asks the window
// to come forward and repaint; one that finds nothing has no effect.
class HandOffListener : public QObject {
    Q_OBJECT
public:
    explicit HandOffListener(QObject *parent = nullptr);
    // Starts listening under the title; a socket left behind by a crashed run is replaced.
    bool listen(const QString &windowTitle);

signals:
    void raiseRequested();

private:
    void acceptConnections();
    QLocalServer *m_server;
};

// The socket path both sides use for a window title.
QString handOffSocketPath(const QString &windowTitle);

// A later start's request: true when a running window with the title took it.
bool requestRaise(const QString &windowTitle, int timeoutMs = 2000);

} // namespace marlix
