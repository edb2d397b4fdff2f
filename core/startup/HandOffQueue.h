#pragma once

#include <QStringList>
#include <functional>
#include <optional>

namespace marlix {

// The files later starts handed to the running window, in the order of the starts, until they
// are opened. A start's files arrive twice: in params.ini, which a paint takes up, and over the
// socket; they are queued once.
class HandOffQueue {
public:
    // A paint took these files from params.ini.
    void takenFromFile(const QStringList &files);
    // A start's request arrived on the socket. `fileWasItsOwn`: params.ini held exactly these
    // files and was removed on their behalf. Otherwise, files that the last paint took up
    // before the request was heard are already queued.
    void handedOver(const QStringList &files, bool fileWasItsOwn);

    // Opens the queued files one by one, in order. Files queued while one opens (a message
    // box runs its own loop) join the end of the queue; a call from inside an open returns at
    // once and leaves them to the call that is under way.
    void openAll(const std::function<void(const QString &)> &open);

    bool isEmpty() const { return m_files.isEmpty(); }
    const QStringList &files() const { return m_files; }

private:
    QStringList m_files;
    // The files the last paint took from params.ini before their start was heard on the socket.
    std::optional<QStringList> m_paintTaken;
    bool m_opening = false;
};

} // namespace marlix
