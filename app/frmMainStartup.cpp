// The main window's side of start-up: the file named on the command line and the hand-off
// from a later start.
#include "app/frmMain.h"

#include "app/PageControl.h"
#include "app/Workspace.h"
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
#include <QScopeGuard>
#include <QTimer>
#include <QWindow>

void TFormMain::FormActivate() {
    // Coming back from a dialog leaves the tab that was in view in view; only the first
    // activation brings the command line's files forward.
    TTabSheet *inView = m_commandLineTaken ? tabControl->ActivePage() : nullptr;
    m_commandLineTaken = true;
    for (const QString &path : commandLine.mid(1))
        if (QFileInfo(path).isFile())
            marlix::guarded(this, [&] { OpenDocumentFile(path); });
    if (inView && tabControl->indexOf(inView) >= 0 && tabControl->ActivePage() != inView) {
        tabControl->setActivePage(inView);
        tabControlChange();
    }
}

void TFormMain::FormPaint() {
    // Requests already sent on the socket come first: their starts were made before the one
    // whose params.ini is there now.
    if (handOffListener)
        handOffListener->takeWaitingRequests();
    const std::optional<QStringList> files =
        marlix::takeHandOff(m_programFolder + marlix::handOffFileName());
    if (!files)
        return;
    m_paintTakenFiles = *files;
    m_handedFiles.append(*files);
    openHandedFiles();
}

void TFormMain::filesHandedOver(const QStringList &files) {
    const QString handOff = m_programFolder + marlix::handOffFileName();
    const bool fileWasThis = marlix::dropHandOffOf(handOff, files);
    // A paint took this start's params.ini up before its request arrived: already queued.
    const bool alreadyTaken = !fileWasThis && m_paintTakenFiles == files;
    m_paintTakenFiles.reset();
    if (!alreadyTaken)
        m_handedFiles.append(files);
    handOffRequested();
    // Opened after the start has been answered, which waits for nothing but this queue.
    QTimer::singleShot(0, this, [this] { openHandedFiles(); });
}

void TFormMain::openHandedFiles() {
    if (m_openingHandedFiles)
        return;
    m_openingHandedFiles = true;
    const auto done = qScopeGuard([this] { m_openingHandedFiles = false; });
    while (!m_handedFiles.isEmpty()) {
        const QString path = m_handedFiles.takeFirst();
        if (QFileInfo(path).isFile())
            marlix::guarded(this, [&] { OpenDocumentFile(path); });
    }
}

void TFormMain::paintEvent(QPaintEvent *event) {
    QMainWindow::paintEvent(event);
    schedulePaintHandOff();
}

// Opening a document creates widgets and may raise a message box, neither of which may happen
// inside a paint event; the paint handler therefore runs right after the paint.
void TFormMain::schedulePaintHandOff() {
    if (m_paintHandOffQueued)
        return;
    m_paintHandOffQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_paintHandOffQueued = false;
        marlix::guarded(this, [this] { FormPaint(); });
    });
}

void TFormMain::handOffRequested() {
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    update();
    schedulePaintHandOff();
}

void TFormMain::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // The first showing counts as the first activation, also where no window manager hands
    // out activation at all; the focus that the window receives after it is the same
    // activation, not a return from another window.
    m_lastOwnWindow = windowHandle();
    QTimer::singleShot(0, this, [this] {
        // The last session first, so the file named on the command line ends up in front.
        marlix::guarded(this, [this] { workspace->restoreSession(); });
        marlix::guarded(this, [this] { FormActivate(); });
    });
}

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

// Switching to another program leaves no focus window in this one, so the main window
// becoming the focus window again after one of the program's own windows (or for the first
// time) is exactly the activation the command-line file waits for.
void TFormMain::focusWindowChanged(QWindow *window) {
    if (!window || isTransientWindow(window))
        return;
    QWindow *mine = windowHandle();
    if (window != mine) {
        m_lastOwnWindow = window;
        return;
    }
    const bool cameBack = m_lastOwnWindow != mine;
    m_lastOwnWindow = mine;
    if (cameBack)
        marlix::guarded(this, [this] { FormActivate(); });
}
