// The figure a user feels on a large script: the real executable, started under a private X
// server on an 8.9 MB script (word wrap on, as shipped), timed from its start until its
// processor time stops growing, with the processor time spent and the resident size then.
//
//   start_to_idle [runs] [script.con]
//
// Without a script it writes one of about 8.9 MB: the mix of a mod's scripts joined into one,
// with a line in every few hundred wider than the window, as real scripts have.
#include "bench/JoinedScript.h"
#include "tests/gui/support/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace {

// utime + stime of a process in clock ticks, -1 when it is gone.
long long processorTicks(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return fields[11].toLongLong() + fields[12].toLongLong();
}

long residentKb(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

struct Run {
    double idleMs = 0;
    double processorMs = 0;
    long residentKb = 0;
};

Run measure(const QString &program, const QString &script, const QString &display) {
    TempFolder folder;
    folder.copyFrom(QFileInfo(program).absolutePath(), QStringLiteral("marlix"));
    QFile::copy(program, folder.file(QStringLiteral("marlix")));
    QDir().mkpath(folder.file(QStringLiteral("runtime")));
    QFile::setPermissions(folder.file(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // As shipped, but without the update check, which would add a network wait to the figure.
    folder.write(QStringLiteral("marlix.ini"), "1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n");

    QProcess marlix;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.file(QStringLiteral("runtime")));
    marlix.setProcessEnvironment(env);
    marlix.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer sinceStart;
    sinceStart.start();
    marlix.start(folder.file(QStringLiteral("marlix")), {script});
    if (!marlix.waitForStarted())
        return {};
    const qint64 pid = marlix.processId();
    const double tickMs = 1000.0 / double(sysconf(_SC_CLK_TCK));
    long long last = 0;
    double lastGrowth = 0;
    // Idle: no processor time for a whole second.
    while (sinceStart.elapsed() - lastGrowth < 1000 && sinceStart.elapsed() < 120000) {
        QThread::msleep(10);
        const long long ticks = processorTicks(pid);
        if (ticks < 0)
            break;
        if (ticks > last) {
            last = ticks;
            lastGrowth = sinceStart.nsecsElapsed() / 1e6;
        }
    }
    Run run{lastGrowth, double(last) * tickMs, residentKb(pid)};
    marlix.kill();
    marlix.waitForFinished();
    return run;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 3;
    TempFolder work;
    QString script;
    if (argc > 2) {
        script = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    } else {
        script = work.file(QStringLiteral("joined.con"));
        work.write(QStringLiteral("joined.con"), joinedScript(qsizetype(8.9 * 1024 * 1024)));
    }

    // A private X server of our own, so the figure does not depend on the desktop in use.
    const QString display = QStringLiteral(":%1").arg(90 + getpid() % 9);
    QProcess xserver;
    xserver.start(QStringLiteral("Xvfb"), {display, QStringLiteral("-screen"), QStringLiteral("0"),
                                           QStringLiteral("1600x1000x24"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!xserver.waitForStarted()) {
        std::printf("Xvfb could not be started (apt-get install xvfb)\n");
        return 1;
    }
    QThread::msleep(500);
    // A window manager, as every desktop has: without one the window is never maximized and
    // the figure is that of a 646-pixel-wide window.
    QProcess windowManager;
    QProcessEnvironment wmEnv = QProcessEnvironment::systemEnvironment();
    wmEnv.insert(QStringLiteral("DISPLAY"), display);
    windowManager.setProcessEnvironment(wmEnv);
    windowManager.start(QStringLiteral("openbox"), {});
    if (!windowManager.waitForStarted()) {
        std::printf("openbox could not be started (apt-get install openbox)\n");
        return 1;
    }
    QThread::msleep(500);

    std::printf("start to idle, %s (%.1f MB), word wrap on, 1600x1000 screen\n",
                qPrintable(QFileInfo(script).fileName()), QFileInfo(script).size() / 1048576.0);
    for (int i = 0; i < runs; ++i) {
        const Run run = measure(QStringLiteral(MARLIX_EXE), script, display);
        std::printf("  run %d: idle after %.0f ms, %.0f ms of processor time, %.1f MB resident\n",
                    i + 1, run.idleMs, run.processorMs, run.residentKb / 1024.0);
    }
    windowManager.terminate();
    windowManager.waitForFinished();
    xserver.terminate();
    xserver.waitForFinished();
    return 0;
}
