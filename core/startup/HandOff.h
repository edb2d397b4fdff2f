#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The hand-off between a later start of the program and the running one: the later start
// writes the files of its command line into params.ini beside the program, one a line, and
// sends them over the running window's socket as well; the running one takes the file up
// when its main window is painted, and the socket's request when it arrives.
namespace marlix {

inline QString handOffFileName() {
    return QStringLiteral("params.ini");
}

// The files a start's command line names: every parameter after the program itself names one
// file (a shell or a file manager never splits a path). Each is made absolute against the
// folder the start was made from, so that a relative name means the same file to a running
// window started elsewhere, and cleaned of ".", ".." and doubled separators. Empty
// parameters name nothing.
QStringList commandLineFiles(const QStringList &arguments, const QString &workingFolder);

// Writes the hand-off file whole: one line per file, or one empty line when there is none.
// Throws cannotCreate.
void writeHandOff(const QString &fileName, const QStringList &files);

// Takes the hand-off up: when the file is there it is read and deleted, and its lines are
// returned. The file is gone before the caller acts on the lines, so a message box raised
// while opening them cannot make a nested paint act on them a second time. A hand-off that
// cannot be read names nothing; it is removed all the same, because it would otherwise be
// tried again on every paint; so does one that cannot be removed.
std::optional<QStringList> takeHandOff(const QString &fileName);

// Removes the hand-off file when it holds exactly these files: the later start that wrote it
// has delivered them over the socket. True when it was removed.
bool dropHandOffOf(const QString &fileName, const QStringList &files);

// A later start's turn to hand over: later starts take turns, each waiting until the running
// window has taken the hand-off of the one before, so that params.ini is never replaced
// under a start that has not been heard, and the files open in the order of the starts.
class HandOffTurn {
public:
    // Waits for the turn, at most waitMs; a start that waited that long goes on without it.
    explicit HandOffTurn(int waitMs = 10000);
    ~HandOffTurn();
    HandOffTurn(const HandOffTurn &) = delete;
    HandOffTurn &operator=(const HandOffTurn &) = delete;
    bool taken() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace marlix
