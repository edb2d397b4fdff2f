// The main window's tab keys, the middle click that closes a tab, files dropped on the window
// and the status bar that follows the active document.
#include "app/frmMain.h"

#include "app/PageControl.h"
#include "app/StatusInfo.h"
#include "editor/AdvEdit.h"
#include "platform/ErrorDisplay.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTimer>

namespace {

// The local files among dropped URLs; folders and remote addresses are no scripts to open.
QStringList droppedFiles(const QMimeData *data) {
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            files.append(url.toLocalFile());
    return files;
}

} // namespace

void TFormMain::createEverydayParts() {
    m_status = new marlix::DocumentStatus(*this);
    connect(m_status, &marlix::DocumentStatus::documentsRefreshed, this,
            &TFormMain::updateBackupEntries);
    connect(m_status, &marlix::DocumentStatus::editorFound, this,
            [this](TAdvEdit *editor) { editor->viewport()->installEventFilter(this); });
    connect(m_status, &marlix::DocumentStatus::savePointReached, this,
            &TFormMain::documentMatchesFile);
    connect(tabControl, &marlix::PageControl::activePageChanged, m_status,
            &marlix::DocumentStatus::refresh);
    connect(tabControl, &marlix::PageControl::activePageChanged, this,
            &TFormMain::updateRedoEntries);
    connect(tabControl->tabRow(), &marlix::TabRow::tabMiddleClicked, this, [this](int index) {
        if (TTabSheet *page = tabControl->page(index))
            marlix::guarded(this, [&] { closeTab(page); });
    });
    connect(mnuFile, &QMenu::aboutToShow, this, &TFormMain::updateBackupEntries);
    // The window is activated when the program comes back to the front, and after its own
    // dialogs, where a launch or a packer may have changed scripts as well.
    installEventFilter(this);

    // Window actions, not menu entries, yet their keys are the menu's: the editors leave them.
    const auto addKey = [this](const char *name, const QKeySequence &key, int step) {
        auto *action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, [this, step] { switchTab(step); });
        addAction(action);
    };
    addKey("actNextTab", QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
    addKey("actPreviousTab", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1);
    // Shift+Tab arrives as Backtab from most keyboards.
    addKey("actPreviousTabBacktab", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1);
    addKey("actNextTabPage", QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1);
    addKey("actPreviousTabPage", QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1);

    setAcceptDrops(true);
    m_status->refresh();
    updateRedoEntries();
}

marlix::DocumentStatus *TFormMain::documentStatus() const {
    return m_status;
}

void TFormMain::tabControlChange() {
    if (TAdvEdit *editor = activeEditor())
        editor->setFocus();
}

void TFormMain::switchTab(int step) {
    const int count = tabControl->pageCount();
    if (count < 2)
        return;
    const int index = tabControl->indexOf(tabControl->ActivePage());
    tabControl->setActivePage(tabControl->page(((index + step) % count + count) % count));
    tabControlChange();
}

void TFormMain::dragEnterEvent(QDragEnterEvent *event) {
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent *event) {
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    openDroppedFiles(files);
}

// Over an editor, dropped files open as documents instead of their names going into the text.
bool TFormMain::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (watched == this) {
        // Not inside the activation: the check may ask a question.
        if (type == QEvent::WindowActivate)
            QTimer::singleShot(0, this,
                               [this] { marlix::guarded(this, [this] { checkFilesOnDisk(); }); });
        return QMainWindow::eventFilter(watched, event);
    }
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList files = droppedFiles(drop->mimeData());
        if (!files.isEmpty()) {
            drop->acceptProposedAction();
            if (type == QEvent::Drop)
                openDroppedFiles(files);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
