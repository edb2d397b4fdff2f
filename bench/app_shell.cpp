// Figures for the application shell: the main window shown after start, a new empty
// document tab, and the opening of an 8.5 MB script (load, colour, object list).
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#if __has_include("editor/AdvEdit.h")
#include "tests/gui/support/MainWindowFixture.h"

#include <QTableView>
#include <QWindow>

namespace {

// About 8.5 MB in 200,000 lines, the mix of a large generated map script.
QByteArray largeScript() {
    QByteArray text;
    text.reserve(9 * 1024 * 1024);
    for (int i = 0; i < 200000; ++i) {
        switch (i % 5) {
        case 0:
            text += "ObjectTemplate.create Bundle object_" + QByteArray::number(i) + "\r\n";
            break;
        case 1:
            text += "ObjectTemplate.setNetworkableInfo BasicInfo\r\n";
            break;
        case 2:
            text += "ObjectTemplate.addTemplate part_" + QByteArray::number(i) + "_mesh\r\n";
            break;
        case 3:
            text += "rem *** geometry and physics of the part above ***\r\n";
            break;
        default:
            text += "ObjectTemplate.setPosition 0/" + QByteArray::number(i % 97) + "/12.5\r\n";
        }
    }
    return text;
}

} // namespace

int main(int argc, char **argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    fixture::MainWindow shell;
    TFormMain *window = shell.open();
    window->show();
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double shownMs = sinceStart.nsecsElapsed() / 1e6;

    const QByteArray script = largeScript();
    const QString path = shell.script(QStringLiteral("large.con"), script);

    QElapsedTimer timer;
    double newTabBest = 1e9, newTabTotal = 0;
    const int tabs = 20;
    for (int i = 0; i < tabs; ++i) {
        timer.start();
        window->NewDocumentTab();
        const double ms = timer.nsecsElapsed() / 1e6;
        newTabBest = qMin(newTabBest, ms);
        newTabTotal += ms;
    }
    for (int slot = 0; slot < tabs; ++slot)
        window->CloseDocumentSlot(slot);

    double openBest = 1e9;
    for (int round = 0; round < 3; ++round) {
        timer.start();
        window->OpenDocumentFile(path);
        openBest = qMin(openBest, timer.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents();
        window->CloseDocumentSlot(fixture::tabs(window)->ActivePage()->Tag);
    }
    window->OpenDocumentFile(path);
    const int objects = window->activeEditor()->ObjectList->model()->rowCount();

    std::printf("window shown after start:       %8.1f ms (target 300)\n", shownMs);
    std::printf("new empty document tab:         %8.2f ms average, %.2f ms best (target 20)\n",
                newTabTotal / tabs, newTabBest);
    std::printf("open %.1f MB script, %d lines:  %8.1f ms best of 3 (target 250), %d objects\n",
                script.size() / 1e6, 200000, openBest, objects);
    return 0;
}

#else
int main() {
    std::printf("the main window is not in this build\n");
    return 0;
}
#endif
