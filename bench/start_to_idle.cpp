// The figure a user feels on a large script: the real executable, started under a private X
// server on an 8.9 MB script (word wrap on, as shipped), timed from its start until its
// processor time stops growing, with the processor time spent and the resident size then.
//
//   start_to_idle [runs] [script.con]
//
// With COMPARE_EDITOR set to another editor's command (such as "scite"), that editor is timed
// on the same script in turn with each run, under the same server and window manager.
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

// Starts `program` with `arguments` and times it until its processor time stops growing.
Run untilIdle(const QString &program, const QStringList &arguments,
              const QProcessEnvironment &env) {
    QProcess editor;
    editor.setProcessEnvironment(env);
    editor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer sinceStart;
    sinceStart.start();
    editor.start(program, arguments);
    if (!editor.waitForStarted())
        return {};
    const qint64 pid = editor.processId();
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
    editor.kill();
    editor.waitForFinished();
    return run;
}

QProcessEnvironment onDisplay(const QString &display) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    return env;
}

Run measure(const QString &program, const QString &script, const QString &display) {
    TempFolder folder;
    folder.copyFrom(QFileInfo(program).absolutePath(), QStringLiteral("marlix"));
    QFile::copy(program, folder.file(QStringLiteral("marlix")));
    QDir().mkpath(folder.file(QStringLiteral("runtime")));
    QFile::setPermissions(folder.file(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // As shipped, but without the update check, which would add a network wait to the figure.
    folder.write(QStringLiteral("marlix.ini"), "1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n");
    QProcessEnvironment env = onDisplay(display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.file(QStringLiteral("runtime")));
    return untilIdle(folder.file(QStringLiteral("marlix")), {script}, env);
}

// Another editor on the same script in the same minutes, with a home of its own so that its
// settings and sessions stay out of the figure.
Run measureOther(const QString &command, const QString &script, const QString &display) {
    TempFolder home;
    QProcessEnvironment env = onDisplay(display);
    env.insert(QStringLiteral("HOME"), home.path());
    QStringList words = QProcess::splitCommand(command);
    const QString program = words.takeFirst();
    return untilIdle(program, words << script, env);
}

void print(const char *who, int run, const Run &figures) {
    std::printf("  %s run %d: idle after %.0f ms, %.0f ms of processor time, %.1f MB resident\n",
                who, run, figures.idleMs, figures.processorMs, figures.residentKb / 1024.0);
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
    // COMPARE_EDITOR names another editor's command line, run in turn with Marlix.
    const QString other = qEnvironmentVariable("COMPARE_EDITOR");
    for (int i = 0; i < runs; ++i) {
        print("Marlix", i + 1, measure(QStringLiteral(MARLIX_EXE), script, display));
        if (!other.isEmpty())
            print(qPrintable(other), i + 1, measureOther(other, script, display));
    }
    windowManager.terminate();
    windowManager.waitForFinished();
    xserver.terminate();
    xserver.waitForFinished();
    return 0;
}
