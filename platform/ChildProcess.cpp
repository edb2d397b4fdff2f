#include "platform/ChildProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

namespace marlix {

QString childWorkingFolder() {
    return QStringLiteral("/");
}

ChildRun::ChildRun(QObject *parent) : QObject(parent) {
    m_killTimer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early: the child gets its full 3 seconds.
    m_killTimer.setTimerType(Qt::PreciseTimer);
    m_killTimer.setInterval(KillDelayMs);
    connect(&m_killTimer, &QTimer::timeout, this, [this] { signalGroup(SIGKILL); });
}

ChildRun::~ChildRun() {
    signalGroup(SIGKILL);
}

void ChildRun::signalGroup(int signal) {
    // The child leads a process group of its own, so the packer behind the shell and anything
    // the game started end with it.
    if (m_group > 0)
        ::kill(-pid_t(m_group), signal);
}

bool ChildRun::groupAlive() const {
    if (m_group <= 0 || ::kill(-pid_t(m_group), 0) != 0)
        return false;
    // A member that has ended but that nobody has reaped yet (an orphan, where the system's
    // first process does not reap) still counts for kill(): look for a live one.
    QDir proc(QStringLiteral("/proc"));
    if (!proc.exists())
        return true;
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        entry.toLongLong(&number);
        if (!number)
            continue;
        QFile stat(proc.filePath(entry + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid pgrp ...": the name may hold blanks and brackets.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toLongLong() == m_group && fields[0] != "Z" &&
            fields[0] != "X")
            return true;
    }
    return false;
}

void ChildRun::stop() {
    if (!m_process || m_killTimer.isActive())
        return;
    m_stopping = true;
    signalGroup(SIGTERM);
    m_killTimer.start();
}

bool ChildRun::startAndWait(QProcess &process) {
    process.setStandardInputFile(QProcess::nullDevice());
    QEventLoop loop;
    bool failed = false;
    connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            failed = true;
            loop.quit();
        }
    });
    m_process = &process;
    m_stopping = false;
    process.start();
    m_group = process.processId();
    if (process.state() != QProcess::NotRunning && !failed)
        loop.exec();
    // A stopped shell can end before the packer it started, which may not heed the request:
    // the run waits for the whole group, until the kill if need be. An orphan nobody reaps
    // stays in the group as a zombie after the kill, so the wait ends shortly after it anyway.
    if (m_stopping) {
        QElapsedTimer sinceStop;
        sinceStop.start();
        QTimer poll;
        connect(&poll, &QTimer::timeout, &loop, [this, &loop, &sinceStop] {
            if (!groupAlive() || sinceStop.elapsed() > KillDelayMs + 1000)
                loop.quit();
        });
        poll.start(20);
        if (groupAlive())
            loop.exec();
    }
    m_killTimer.stop();
    if (failed || process.error() == QProcess::FailedToStart) {
        m_process = nullptr;
        m_group = 0;
        m_exitStatus = NotStarted;
        return false;
    }
    // A child that did not end by itself (only when the loop was left early) is not waited
    // for forever: it is ended so that no orphan stays behind the dialog.
    if (process.state() != QProcess::NotRunning) {
        signalGroup(SIGKILL);
        process.waitForFinished(1000);
    }
    m_process = nullptr;
    m_group = 0;
    m_exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return true;
}

bool ChildRun::runBatch(const QString &batchPath, const QString &workingFolder) {
    QFile file(batchPath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_exitStatus = NotStarted;
        return false;
    }
    QByteArray script = file.readAll();
    script.replace('\r', QByteArray());
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), QString::fromLocal8Bit(script)});
    process.setWorkingDirectory(workingFolder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setChildProcessModifier([] { setpgid(0, 0); });
    connect(&process, &QProcess::readyReadStandardOutput, this,
            [this, &process] { emit output(process.readAllStandardOutput()); });
    if (!startAndWait(process))
        return false;
    const QByteArray rest = process.readAllStandardOutput();
    if (!rest.isEmpty())
        emit output(rest);
    // The shell's own codes for a command it could not find or not execute: the packer never
    // started, as when the batch file itself cannot be run.
    return m_exitStatus != 126 && m_exitStatus != NotStarted;
}

bool ChildRun::runProgram(const QString &program, const QString &parameters,
                          const QString &workingFolder) {
    // QProcess would look an empty or bare name up in PATH; the game box names a file.
    if (program.isEmpty() || !QFileInfo(program).isFile())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setArguments(QProcess::splitCommand(parameters));
    process.setWorkingDirectory(workingFolder);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setChildProcessModifier([] {
        setpgid(0, 0);
        // Best effort: without the right to raise it, the game runs at normal priority.
        setpriority(PRIO_PROCESS, 0, -5);
    });
    return startAndWait(process);
}

} // namespace marlix
