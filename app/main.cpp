// The program block: the first start runs the editor, a later start hands its command line
// to the running one and ends without a window.
#include "app/MarlixApplication.h"
#include "app/frmMain.h"
#include "auxiliary/frmAbout.h"
#include "auxiliary/frmNews.h"
#include "core/common/Error.h"
#include "core/common/ProgramFolder.h"
#include "core/common/Version.h"
#include "core/platform/InstanceLock.h"
#include "core/startup/HandOff.h"
#include "launch/frmLaunch.h"
#include "platform/HandOffChannel.h"
#include "prefs/frmPref.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <vector>

namespace {

const QString InstanceMarker = QStringLiteral("Marlix_mutex");

// The program's main window, for the program block alone.
TFormMain *FormMain = nullptr;

QStringList rawArguments(int argc, char **argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// A later start: no window and no GUI, only what it takes to find the program folder and the
// running window's socket. Later starts take turns, so that each start's params.ini is taken
// before the next one is written and the files open in the order of the starts.
int handOffToRunningInstance(int argc, char **argv, const QStringList &arguments) {
    QCoreApplication application(argc, argv);
    const QStringList files = marlix::commandLineFiles(arguments, QDir::currentPath());
    const marlix::HandOffTurn turn;
    int result = 0;
    try {
        marlix::writeHandOff(marlix::programFolder() + marlix::handOffFileName(), files);
    } catch (const marlix::Error &error) {
        std::fprintf(stderr, "%s\n", error.what());
        result = 1;
    }
    marlix::handFilesOver(marlix::mainWindowTitle(), files);
    return result;
}

// The windows live for the whole run and go, last made first, when it ends.
class ApplicationWindows {
public:
    ~ApplicationWindows() {
        for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
            delete *it;
    }
    template <class Window> Window *create() {
        auto *window = new Window();
        m_windows.push_back(window);
        return window;
    }

private:
    std::vector<QWidget *> m_windows;
};

} // namespace

int main(int argc, char **argv) {
    const QStringList arguments = rawArguments(argc, argv);
    marlix::InstanceLock instance(InstanceMarker);
    if (instance.heldElsewhere())
        return handOffToRunningInstance(argc, argv, arguments);

    marlix::Application application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Marlix"));
    // The program ends when its main window closes, whatever other window is still open.
    QApplication::setQuitOnLastWindowClosed(false);

    ApplicationWindows windows;
    FormMain = windows.create<TFormMain>();
    frmNews = windows.create<TfrmNews>();
    frmPref = windows.create<TfrmPref>();
    FrmLaunch = windows.create<TFrmLaunch>();
    frmAbout = windows.create<TfrmAbout>();

    // The running window outlives the folder it was started from as a meaning for names.
    FormMain->commandLine =
        QStringList{arguments.value(0)} + marlix::commandLineFiles(arguments, QDir::currentPath());
    QObject::connect(FormMain, &TFormMain::closed, &application, &QCoreApplication::quit);
    marlix::HandOffListener listener;
    listener.listen(FormMain->windowTitle());
    FormMain->handOffListener = &listener;
    QObject::connect(&listener, &marlix::HandOffListener::filesHandedOver, FormMain,
                     &TFormMain::filesHandedOver);

    FormMain->show();
    return application.exec();
}
