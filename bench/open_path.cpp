// The open path of a large script in process, against the bare control on the same bytes: an
// 8.9 MB joined script read from disk and shown in a 1600x1000 window,
//   - bare: a QsciScintilla without lexer, the application font on every style, taking the
//     bytes with SCI_ADDTEXT, until its first screen is painted;
//   - Marlix: Open in the real main window until the first screen is painted coloured, then
//     the rest of the work (block states, colours, fold levels, twins, object list) in the
//     slices that follow, with the longest time the slices held the event loop.
// The control's own background wrap is switched off after the first screen, so it stays out
// of the figures (start_to_idle measures it). Processor time of the window's thread is given
// beside the wall time and the processor time of all threads (Marlix works the colours out
// ahead on a thread of its own); each case runs in a process of its own.
#include "bench/JoinedScript.h"
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
#include "editor/WrapSwitch.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <Qsci/qsciscintilla.h>

#include <QTableView>
#include <QTimer>
#include <QWindow>

namespace {

double cpuMsOf(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Processor time of the window's thread, the one a key waits for, and of all the process's
// threads together, with the colouring worked out ahead on a thread of its own.
struct Clock {
    QElapsedTimer wall;
    double cpu = cpuMsOf(CLOCK_THREAD_CPUTIME_ID);
    double allCpu = cpuMsOf(CLOCK_PROCESS_CPUTIME_ID);
    Clock() { wall.start(); }
    double cpuMs() const { return cpuMsOf(CLOCK_THREAD_CPUTIME_ID) - cpu; }
    double allCpuMs() const { return cpuMsOf(CLOCK_PROCESS_CPUTIME_ID) - allCpu; }
    double wallMs() const { return wall.nsecsElapsed() / 1e6; }
};

void waitExposed(QWidget *w) {
    w->show();
    while (!w->windowHandle() || !w->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
}

struct Probe : QObject {
    QElapsedTimer posted;
    double longest = 0;
    Probe() { post(); }
    void post() {
        QTimer::singleShot(1, this, [this] {
            posted.start();
            QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        });
    }
    bool event(QEvent *e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        longest = std::max(longest, posted.nsecsElapsed() / 1e6);
        post();
        return true;
    }
};

QByteArray readAll(const QString &path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

int bare(const QString &path) {
    QWidget page;
    page.resize(1600, 1000);
    auto *edit = new QsciScintilla(&page);
    edit->resize(page.size());
    using S = QsciScintillaBase;
    const QFont f = QApplication::font();
    edit->SendScintilla(S::SCI_STYLESETFONT, S::STYLE_DEFAULT, f.family().toLatin1().constData());
    edit->SendScintilla(S::SCI_STYLESETSIZEFRACTIONAL, S::STYLE_DEFAULT,
                        long(f.pointSizeF() * S::SC_FONT_SIZE_MULTIPLIER));
    edit->SendScintilla(S::SCI_STYLECLEARALL);
    waitExposed(&page);
    const Clock clock;
    const QByteArray bytes = readAll(path);
    edit->SendScintilla(S::SCI_ADDTEXT, static_cast<unsigned long>(bytes.size()),
                        bytes.constData());
    edit->viewport()->repaint();
    std::printf("bare control: first screen after %.1f ms of processor time (%.1f ms wall, "
                "%.1f ms in all threads); resident %ld kB\n",
                clock.cpuMs(), clock.wallMs(), clock.allCpuMs(), processStatusKb("VmRSS:"));
    return 0;
}

int marlixOpen(const QString &path) {
    fixture::MainWindow shell;
    TFormMain *window = shell.open();
    window->resize(1600, 1000);
    waitExposed(window);
    const Clock clock;
    window->OpenDocumentFile(path);
    TAdvEdit *edit = window->activeEditor();
    // The tab laid out and painted: what the user sees first.
    QCoreApplication::sendPostedEvents();
    edit->viewport()->repaint();
    const double firstCpu = clock.cpuMs(), firstWall = clock.wallMs(), firstAll = clock.allCpuMs();
    // The second line's first word is coloured when the first screen is.
    const long secondLine = edit->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 1UL);
    const bool colored = edit->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
                                             static_cast<unsigned long>(secondLine)) != 0;
    std::printf("Marlix: first screen %s after %.1f ms of processor time (%.1f ms wall)\n",
                colored ? "coloured" : "NOT coloured", firstCpu, firstWall);
    // The control's own wrap kept out from here: its switch no longer sees the editor.
    if (auto *wrap = edit->findChild<marlix::WrapSwitch *>())
        edit->removeEventFilter(wrap);
    edit->SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE,
                        static_cast<unsigned long>(QsciScintillaBase::SC_WRAP_NONE));

    // An event posted a millisecond after the last one was handled, as a key would be: the
    // longest it waits is the longest the work holds the event loop.
    Probe probe;
    const Clock rest;
    const auto *rows = static_cast<const marlix::ObjectListModel *>(edit->ObjectList->model());
    while (edit->linesPending() || rows->rowCount() == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double restCpu = rest.cpuMs(), restWall = rest.wallMs(), restAll = rest.allCpuMs();
    const double longest = probe.longest;
    std::printf("  the rest in slices: %.1f ms of processor time (%.1f ms wall, %.1f ms in all "
                "threads), the longest wait of an event meanwhile %.1f ms (target 16); %d "
                "objects listed\n",
                restCpu, restWall, restAll, longest, rows->rowCount());
    std::printf("  open path in all %.1f ms of processor time on the window's thread (%.1f ms "
                "wall, %.1f ms in all threads); resident %ld kB\n",
                firstCpu + restCpu, firstWall + restWall, firstAll + restAll,
                processStatusKb("VmRSS:"));
    const Clock refresh;
    fixture::trigger(window, "mnuRefreshObjectList");
    std::printf("  F6 alone (the object list filled anew): %.1f ms of processor time\n",
                refresh.cpuMs());
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const QByteArray which = argc > 2 ? QByteArray(argv[1]) : QByteArray();
    if (which.isEmpty()) {
        QCoreApplication app(argc, argv);
        QTemporaryDir dir;
        const QString script = dir.filePath(QStringLiteral("joined.con"));
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write(joinedScript(qsizetype(8.9 * 1024 * 1024)));
        file.close();
        const QString config = dir.filePath(QStringLiteral("screen.json"));
        QFile screen(config);
        screen.open(QIODevice::WriteOnly);
        screen.write(R"({"screens": [{"name": "desk", "x": 0, "y": 0, "width": 1600,)"
                     R"( "height": 1000, "logicalDpiX": 96, "logicalDpiY": 96, "dpr": 1}]})");
        screen.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), "offscreen:configfile=" + config);
        std::printf("open path, %s (%lld bytes), 1600x1000 offscreen screen; the machine may be "
                    "shared, processor time is the figure to compare\n",
                    qPrintable(QFileInfo(script).fileName()), (long long)QFileInfo(script).size());
        std::fflush(stdout);
        const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
        for (int run = 0; run < runs; ++run) {
            for (const char *name : {"bare", "marlix"}) {
                QProcess child;
                child.setProcessEnvironment(env);
                child.setProcessChannelMode(QProcess::ForwardedChannels);
                child.start(QCoreApplication::applicationFilePath(),
                            {QString::fromLatin1(name), script});
                child.waitForFinished(-1);
            }
        }
        return 0;
    }
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[2]);
    return which == "bare" ? bare(path) : marlixOpen(path);
}

#else
int main() {
    std::printf("the main window is not in this build\n");
    return 0;
}
#endif
