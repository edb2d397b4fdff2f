// Figures for large and hostile scripts opened in the real main window: the time from
// OpenDocumentFile until the editor has no work left, key releases meanwhile and memory for an
// 8.9 MB script; and for a 1 MB single line (of a few words repeated, and of objects joined),
// a 100 MB single line and a 50 MB script of 1.67 million lines, the time of each typed key (its
// handling and the repaint) and memory, then the time of Refresh Object List and what the list
// holds. Each case runs in a process of its own, so the resident figures do not mix.
#include "bench/ProcessStatus.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

#if __has_include("editor/AdvEdit.h")
#include "core/document/ObjectListModel.h"
#include "core/script/FoldLevels.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QTableView>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace {

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// A mix of object definitions, settings, comments and conditions, as the scripts of a mod
// joined into one; no line is longer than 50 bytes.
QByteArray scriptOfLines(qsizetype bytes, int longest = 50) {
    static const char *const kinds[] = {"ObjectTemplate.create SimpleObject ",
                                        "ObjectTemplate.setNetworkableInfo BasicInfo",
                                        "ObjectTemplate.addTemplate part_",
                                        "rem *** geometry and physics of the part above ***",
                                        "ObjectTemplate.setPosition 0/1.25/",
                                        "if v_arg1 == host",
                                        "  ObjectTemplate.geometry.scale 1/1/1",
                                        "endIf",
                                        "include ../Common/Objects",
                                        "ObjectTemplate.hasMobilePhysics 1",
                                        "",
                                        "ObjectTemplate.setCollisionMesh mesh_"};
    QByteArray text;
    text.reserve(bytes + 128);
    for (int i = 0; text.size() < bytes; ++i) {
        QByteArray line = kinds[i % 12];
        if (i % 12 == 0 || i % 12 == 2 || i % 12 == 4 || i % 12 == 11)
            line += QByteArray::number(i);
        text += line.left(longest) + "\r\n";
    }
    return text;
}

QByteArray singleLine(qsizetype bytes) {
    QByteArray text;
    text.reserve(bytes);
    const QByteArray words = "ObjectTemplate.setPosition 0/1.25/3 rem weapon ";
    while (text.size() < bytes)
        text += words;
    text.truncate(bytes);
    return text;
}

// One line without a blank: base64-like text, as pasted data.
QByteArray singleSolidLine(qsizetype bytes) {
    QByteArray text;
    text.reserve(bytes);
    const QByteArray letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (qsizetype i = 0; i < bytes; ++i)
        text += letters[(i * 7 + i / 64) % letters.size()];
    return text;
}

// One line of objects joined, each word different from most others, a comment from 40% on.
QByteArray singleLineOfObjects(qsizetype bytes) {
    QByteArray text;
    text.reserve(bytes + 128);
    bool comment = false;
    for (int i = 0; text.size() < bytes; ++i) {
        if (!comment && text.size() >= bytes * 2 / 5) {
            text += "rem the rest is a comment ";
            comment = true;
        }
        text += "ObjectTemplate.create SimpleObject part_" + QByteArray::number(i) +
                " ObjectTemplate.setPosition " + QByteArray::number(i % 97) + "/1.25/" +
                QByteArray::number(i % 7) + " ";
    }
    text.truncate(bytes);
    return text;
}

struct Shell {
    fixture::MainWindow shell;
    TFormMain *window;
    Shell() : window(shell.open()) {
        window->resize(1280, 900);
        window->show();
        while (!window->windowHandle() || !window->windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

void key(TAdvEdit *edit, Qt::Key code, const QString &text, QElapsedTimer *releaseTimer = nullptr,
         double *releaseMs = nullptr) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QCoreApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    if (releaseTimer)
        releaseTimer->start();
    QCoreApplication::sendEvent(edit, &release);
    if (releaseMs)
        *releaseMs = releaseTimer->nsecsElapsed() / 1e6;
}

double percentile(QList<double> values, double p) {
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min<qsizetype>(values.size() - 1, qsizetype(values.size() * p))];
}

const char *wrapName(TAdvEdit *edit) {
    return edit->SendScintilla(QsciScintillaBase::SCI_GETWRAPMODE) ==
                   QsciScintillaBase::SC_WRAP_NONE
               ? (edit->SendScintilla(QsciScintillaBase::SCI_GETHSCROLLBAR) ? "off, scroll bar"
                                                                            : "off")
               : "on";
}

// Open until idle: the editor counts as idle once the process has used under 10% of a core
// for 300 ms (a key release every 10 ms); the figure is the time of the last work before that.
int openUntilIdle() {
    Shell s;
    const QString path = s.shell.script(QStringLiteral("joined.con"), scriptOfLines(8900000));
    const qint64 size = QFileInfo(path).size();
    QElapsedTimer sinceOpen;
    sinceOpen.start();
    s.window->OpenDocumentFile(path);
    const double opened = sinceOpen.nsecsElapsed() / 1e6;
    TAdvEdit *edit = s.window->activeEditor();
    edit->SendScintilla(
        QsciScintillaBase::SCI_GOTOPOS,
        static_cast<unsigned long>(edit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) / 2));
    QList<double> releases;
    QElapsedTimer releaseTimer;
    double lastBusy = opened, windowStart = opened, windowCpu = cpuMs();
    for (;;) {
        double releaseMs = 0;
        key(edit, Qt::Key_Control, QString(), &releaseTimer, &releaseMs);
        releases.append(releaseMs);
        // Let the event loop run the editor's pending work, or sleep when there is none.
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
        const double now = sinceOpen.nsecsElapsed() / 1e6;
        if (now - windowStart >= 300) {
            const double used = cpuMs() - windowCpu;
            if (used < 0.1 * (now - windowStart))
                break;
            lastBusy = now;
            windowStart = now;
            windowCpu = cpuMs();
        }
    }
    std::printf("8.9 MB script (%lld bytes, longest line 50), wrap %s:\n", (long long)size,
                wrapName(edit));
    std::printf("  OpenDocumentFile returned after %.0f ms; idle after %.0f ms "
                "(target 1500; resolution 300 ms)\n",
                opened, lastBusy);
    {
        // The part of opening that finds the blocks to fold (setting them on the lines follows).
        const QByteArray text = edit->documentBytes();
        QElapsedTimer foldTimer;
        foldTimer.start();
        const qsizetype lines = marlix::foldLines(marlix::TextView::whole(text)).size();
        std::printf("  fold levels of its %lld lines found in %.0f ms\n", (long long)lines,
                    foldTimer.nsecsElapsed() / 1e6);
    }
    std::printf("  key release meanwhile: p99 %.3f ms, max %.3f ms over %lld releases "
                "(target p99 < 1)\n",
                percentile(releases, 0.99), percentile(releases, 1.0), (long long)releases.size());
    // Typing: each key's press and release, the text change and the colouring of its line
    // included (not the repaint), in code and in a comment, with Highlighting on. The processor
    // time of the thread is given beside the wall time, which other programs on a busy machine
    // stretch.
    QList<double> typedKeys, typedCpu;
    const QString typed = QStringLiteral("x = ObjectTemplate.setPosition 1/2/3 rem note ");
    QElapsedTimer keyTimer;
    for (int round = 0; round < 10; ++round) {
        for (QChar c : typed) {
            const double cpuBefore = threadCpuMs();
            keyTimer.start();
            key(edit, Qt::Key(c.toUpper().unicode()), QString(c));
            typedKeys.append(keyTimer.nsecsElapsed() / 1e6);
            typedCpu.append(threadCpuMs() - cpuBefore);
            if (edit->CompletionList->isVisible()) // the list's own figures are another bench's
                key(edit, Qt::Key_Escape, QStringLiteral("\x1b"));
        }
        QCoreApplication::processEvents();
    }
    std::printf("  typed key (press and release, its line coloured) over %lld keys: processor "
                "time p99 %.3f ms, max %.3f ms; wall time median %.3f ms, p99 %.3f ms "
                "(target p99 < 1)\n",
                (long long)typedKeys.size(), percentile(typedCpu, 0.99), percentile(typedCpu, 1.0),
                percentile(typedKeys, 0.5), percentile(typedKeys, 0.99));
    std::printf("  resident %ld kB, peak %ld kB (target < 130 MB)\n", processStatusKb("VmRSS:"),
                processStatusKb("VmHWM:"));
    return 0;
}

// F6: the object list built again from the text, with what it holds.
void objectListFigures(TFormMain *window) {
    TAdvEdit *edit = window->activeEditor();
    const long before = processStatusKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    fixture::trigger(window, "mnuRefreshObjectList");
    QCoreApplication::processEvents(); // and its repaint
    const double refreshed = timer.nsecsElapsed() / 1e6;
    const auto *rows = static_cast<const marlix::ObjectListModel *>(edit->ObjectList->model());
    std::printf(
        "  F6, Refresh Object List, %.0f ms: %d rows in %lld bytes; resident %ld kB before, "
        "%ld kB after\n",
        refreshed, rows->rowCount(), (long long)rows->storedBytes(), before,
        processStatusKb("VmRSS:"));
}

// The script is taken over and dropped once it is on disk: the program's memory is measured,
// not this benchmark's copy of the file.
int typingInto(const char *label, QByteArray script, double fileMb) {
    Shell s;
    const QString path = s.shell.script(QStringLiteral("hostile.con"), script);
    script = QByteArray();
    const long before = processStatusKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    s.window->OpenDocumentFile(path);
    QCoreApplication::processEvents();
    const double opened = timer.nsecsElapsed() / 1e6;
    TAdvEdit *edit = s.window->activeEditor();
    const long afterOpen = processStatusKb("VmRSS:");
    edit->SendScintilla(
        QsciScintillaBase::SCI_GOTOPOS,
        static_cast<unsigned long>(edit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) / 2));
    QCoreApplication::processEvents();
    QList<double> keys;
    const QString typed = QStringLiteral("rem x");
    // Up to 20 keys, fewer where they take so long that the figure is clear after a minute.
    QElapsedTimer typing;
    typing.start();
    for (int round = 0; round < 4 && typing.elapsed() < 60000; ++round) {
        for (QChar c : typed) {
            if (!keys.isEmpty() && typing.elapsed() >= 60000)
                break;
            timer.start();
            key(edit, Qt::Key(c.toUpper().unicode()), QString(c));
            QCoreApplication::processEvents(); // handling, layout and repaint of the key
            keys.append(timer.nsecsElapsed() / 1e6);
        }
    }
    const long rss = processStatusKb("VmRSS:");
    std::printf("%s (%.1f MB), wrap %s: opened in %.0f ms; %lld keys, per key median %.1f ms, max "
                "%.1f ms (target 50); resident %ld kB, peak %ld kB (target %.0f MB)\n",
                label, fileMb, wrapName(edit), opened, (long long)keys.size(),
                percentile(keys, 0.5), percentile(keys, 1.0), rss, processStatusKb("VmHWM:"),
                3 * fileMb + 60);
    std::printf("  resident before opening %ld kB, after opening %ld kB\n", before, afterOpen);
    objectListFigures(s.window);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray which = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (which.isEmpty()) {
        QCoreApplication app(argc, argv);
        // A screen the size of a usual desktop, so the text area is as wide as it would be.
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("screen.json"));
        QFile screen(config);
        screen.open(QIODevice::WriteOnly);
        screen.write(R"({"screens": [{"name": "desk", "x": 0, "y": 0, "width": 1280,)"
                     R"( "height": 900, "logicalDpiX": 96, "logicalDpiY": 96, "dpr": 1}]})");
        screen.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (env.value(QStringLiteral("QT_QPA_PLATFORM")) == QLatin1String("offscreen"))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), "offscreen:configfile=" + config);
        for (const char *name : {"open", "line1", "words1", "solid1", "line100", "lines50"}) {
            QProcess child;
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(name)});
            child.waitForFinished(-1);
        }
        return 0;
    }
    QApplication app(argc, argv);
    if (which == "open")
        return openUntilIdle();
    if (which == "line1")
        return typingInto("one 1 MB line", singleLine(1000000), 1.0);
    if (which == "solid1")
        return typingInto("one 1 MB line without blanks", singleSolidLine(1000000), 1.0);
    if (which == "words1")
        return typingInto("one 1 MB line of objects", singleLineOfObjects(1000000), 1.0);
    if (which == "line100")
        return typingInto("one 100 MB line", singleLine(100000000), 100.0);
    // Lines of 38 bytes at most make 50 MB about 1.67 million lines.
    QByteArray lines = scriptOfLines(50000000, 38);
    std::printf("(%lld lines)\n", (long long)lines.count('\n'));
    return typingInto("1.67-million-line script", std::move(lines), 50.0);
}

#else
int main() {
    std::printf("the main window is not in this build\n");
    return 0;
}
#endif
