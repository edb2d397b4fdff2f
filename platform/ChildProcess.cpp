#include "platform/ChildProcess.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <sys/resource.h>

namespace marlix {

namespace {

bool startAndWait(QProcess &process) {
    QEventLoop loop;
    bool failed = false;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            failed = true;
            loop.quit();
        }
    });
    process.start();
    if (process.state() != QProcess::NotRunning && !failed)
        loop.exec();
    if (failed || process.error() == QProcess::FailedToStart)
        return false;
    // A child that did not end by itself (only when the loop was left early) is not waited
    // for forever: it is ended so that no orphan stays behind the dialog.
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
    }
    return true;
}

} // namespace

QString childWorkingFolder() {
    return QStringLiteral("/");
}

bool runBatchAndWait(const QString &batchPath, const QString &workingFolder) {
    QFile file(batchPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray script = file.readAll();
    script.replace('\r', QByteArray());
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), QString::fromLocal8Bit(script)});
    process.setWorkingDirectory(workingFolder);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    if (!startAndWait(process))
        return false;
    // The shell's own codes for a command it could not find or not execute: the packer never
    // started, as when the batch file itself cannot be run.
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 0;
    return code != 126 && code != 127;
}

bool runProgramAndWait(const QString &program, const QString &parameters,
                       const QString &workingFolder) {
    // QProcess would look an empty or bare name up in PATH; the game box names a file.
    if (program.isEmpty() || !QFileInfo(program).isFile())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setArguments(QProcess::splitCommand(parameters));
    process.setWorkingDirectory(workingFolder);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.setChildProcessModifier([] {
        // Best effort: without the right to raise it, the game runs at normal priority.
        setpriority(PRIO_PROCESS, 0, -5);
    });
    return startAndWait(process);
}

} // namespace marlix
