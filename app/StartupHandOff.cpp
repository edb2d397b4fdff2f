#include "app/StartupHandOff.h"

#include "app/OpenDocuments.h"
#include "app/PageControl.h"
#include "core/startup/HandOff.h"
#include "platform/ErrorDisplay.h"
#include "platform/HandOffChannel.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

namespace marlix {

namespace {

// Windows that take the focus without being one of the program's own windows: menus, tips,
// and the message boxes and system dialogs the program raises. Coming back from one of those
// is not a return from another window.
bool isTransientWindow(QWindow *window) {
    const Qt::WindowType type = window->type();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen)
        return true;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() != window)
            continue;
        return qobject_cast<QMessageBox *>(widget) || qobject_cast<QFileDialog *>(widget) ||
               qobject_cast<QFontDialog *>(widget) || qobject_cast<QColorDialog *>(widget);
    }
    return false;
}

} // namespace

StartupHandOff::StartupHandOff(QWidget *window, OpenDocuments &documents, Context context)
    : m_window(window), m_documents(documents), m_context(std::move(context)) {
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &StartupHandOff::focusWindowChanged);
}

void StartupHandOff::activate() {
    PageControl *tabs = m_documents.tabs();
    TTabSheet *inView = m_commandLineTaken ? tabs->ActivePage() : nullptr;
    m_commandLineTaken = true;
    for (const QString &path : m_context.commandLine->mid(1))
        if (QFileInfo(path).isFile())
            guarded(m_window, [&] { m_context.openFile(path); });
    if (inView && tabs->indexOf(inView) >= 0 && tabs->ActivePage() != inView) {
        tabs->setActivePage(inView);
        m_context.tabChanged();
    }
}

void StartupHandOff::takeHandOff() {
    // Requests already sent on the socket come first: their starts were made before the one
    // whose params.ini is there now.
    if (HandOffListener *listener = *m_context.listener)
        listener->takeWaitingRequests();
    const std::optional<QStringList> files =
        marlix::takeHandOff(m_context.programFolder + handOffFileName());
    if (!files)
        return;
    m_queue.takenFromFile(*files);
    openHandedFiles();
}

void StartupHandOff::filesHandedOver(const QStringList &files) {
    const bool fileWasItsOwn = dropHandOffOf(m_context.programFolder + handOffFileName(), files);
    m_queue.handedOver(files, fileWasItsOwn);
    bringForward();
    // Opened after the start has been answered, which waits for nothing but this queue.
    QTimer::singleShot(0, this, [this] { openHandedFiles(); });
}

void StartupHandOff::openHandedFiles() {
    m_queue.openAll([this](const QString &path) {
        if (QFileInfo(path).isFile())
            guarded(m_window, [&] { m_context.openFile(path); });
    });
}

// Opening a document creates widgets and may raise a message box, neither of which may happen
// inside a paint event; the paint handler therefore runs right after the paint.
void StartupHandOff::painted() {
    if (m_paintQueued)
        return;
    m_paintQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_paintQueued = false;
        guarded(m_window, [this] { m_context.paintHandler(); });
    });
}

void StartupHandOff::bringForward() {
    if (m_window->isMinimized())
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_window->update();
    painted();
}

void StartupHandOff::shown() {
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // The first showing counts as the first activation, also where no window manager hands
    // out activation at all; the focus that the window receives after it is the same
    // activation, not a return from another window.
    m_lastOwnWindow = m_window->windowHandle();
    QTimer::singleShot(0, this, [this] {
        // The last session first, so the file named on the command line ends up in front.
        guarded(m_window, [this] { m_context.restoreSession(); });
        guarded(m_window, [this] { m_context.activateHandler(); });
    });
}

// Switching to another program leaves no focus window in this one, so the main window
// becoming the focus window again after one of the program's own windows (or for the first
// time) is exactly the activation the command-line file waits for.
void StartupHandOff::focusWindowChanged(QWindow *window) {
    if (!window || isTransientWindow(window))
        return;
    QWindow *mine = m_window->windowHandle();
    if (window != mine) {
        m_lastOwnWindow = window;
        return;
    }
    const bool cameBack = m_lastOwnWindow != mine;
    m_lastOwnWindow = mine;
    if (cameBack)
        guarded(m_window, [this] { m_context.activateHandler(); });
}

} // namespace marlix
