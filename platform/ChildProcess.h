#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

namespace marlix {

// The child processes started by the compile-and-launch dialog, one at a time. Each run waits
// for the child to end in a local event loop, so the program's windows stay responsive
// meanwhile, and can be stopped from there. A child gets an empty standard input of its own
// (the editor's terminal is not its to read); the packer's answers come through the batch
// line's own redirection.
class ChildRun : public QObject {
    Q_OBJECT
public:
    // A stopped child that is still there this long after the request to end is killed.
    static constexpr int KillDelayMs = 3000;
    // The exit status of a child that could not be started, as the shell gives it.
    static constexpr int NotStarted = 127;

    explicit ChildRun(QObject *parent = nullptr);
    ~ChildRun() override;

    // Runs a one-line batch file through /bin/sh in the given working folder. The CRs of the
    // file's CR LF line ends are removed before the shell reads it, or the shell would take
    // "compile.ini\r" as the redirected file's name. What the batch run prints, on either
    // channel, arrives through output(). Returns false when nothing could be started: neither
    // the shell nor the command the batch line names.
    bool runBatch(const QString &batchPath, const QString &workingFolder);

    // Starts a program with its parameter text split into arguments the way a shell splits
    // them, at a raised priority when the system allows it. Its output goes where the editor's
    // goes. Returns false when it cannot be started.
    bool runProgram(const QString &program, const QString &parameters,
                    const QString &workingFolder);

    bool running() const { return m_process != nullptr; }
    // Asks the running child (and whatever it started) to end, and kills it if it has not
    // ended KillDelayMs later. The waiting run then returns as after a normal end.
    void stop();

    // How the last run ended: its exit status, or -1 when it ended by a signal.
    int lastExitStatus() const { return m_exitStatus; }

signals:
    void output(const QByteArray &bytes);

private:
    bool startAndWait(QProcess &process);
    void signalGroup(int signal);
    bool groupAlive() const;

    QProcess *m_process = nullptr;
    qint64 m_group = 0; // the running child's process group
    bool m_stopping = false;
    QTimer m_killTimer;
    int m_exitStatus = 0;
};

// The folder children run in: the root folder, standing for the Windows drive root.
QString childWorkingFolder();

} // namespace marlix
