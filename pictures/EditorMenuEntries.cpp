#include "pictures/EditorMenuEntries.h"

#include "editor/AdvEdit.h"
#include "editor/EditorView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QToolTip>

namespace marlix {

EditorMenuEntries::EditorMenuEntries(QWidget *window, AddEntries add)
    : QObject(window), m_window(window), m_add(std::move(add)) {
    // Watching the application rather than each editor: editors come and go with the tabs,
    // and the menu is a new widget each time.
    qApp->installEventFilter(this);
}

TAdvEdit *EditorMenuEntries::editorOf(QObject *watched) const {
    auto *editor = qobject_cast<TAdvEdit *>(watched);
    if (!editor && watched->parent())
        if (auto *owner = qobject_cast<TAdvEdit *>(watched->parent()))
            if (owner->viewport() == watched)
                editor = owner;
    return editor && m_window->isAncestorOf(editor) ? editor : nullptr;
}

void EditorMenuEntries::requested(TAdvEdit *editor, QObject *watched, QEvent *event) {
    auto *request = static_cast<QContextMenuEvent *>(event);
    qsizetype position = -1;
    if (request->reason() == QContextMenuEvent::Mouse) {
        QPoint at = request->pos();
        if (watched != editor->viewport())
            at = editor->viewport()->mapFrom(editor, at);
        position = EditorView(editor).positionAt(at);
    } else {
        position = EditorView(editor).caret();
    }
    m_editor = editor;
    m_position = position;
    m_menu = nullptr;
    // The request is served within this event; what is made later is another menu.
    QTimer::singleShot(0, this, [this] {
        m_editor = nullptr;
        m_menu = nullptr;
    });
}

// The pointer rests while the menu is open: the tips the editor shows for a resting pointer
// (connected to it before this) would cover the menu, so they go as soon as they come.
void EditorMenuEntries::keepTipsAway(QMenu *menu, TAdvEdit *editor) {
    QToolTip::hideText();
    const QMetaObject::Connection hider =
        connect(editor, &QsciScintillaBase::SCN_DWELLSTART, menu, [] { QToolTip::hideText(); });
    connect(
        menu, &QMenu::aboutToHide, menu, [hider] { QObject::disconnect(hider); },
        Qt::SingleShotConnection);
}

bool EditorMenuEntries::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::ContextMenu:
        if (TAdvEdit *editor = editorOf(watched))
            requested(editor, watched, event);
        break;
    case QEvent::ChildAdded:
        // The child is not yet a menu here (it is still being made); it is once polished.
        if (m_editor && watched == m_editor) {
            QObject *child = static_cast<QChildEvent *>(event)->child();
            if (child->isWidgetType())
                m_menu = child;
        }
        break;
    case QEvent::Polish:
        if (m_menu && watched == m_menu) {
            m_menu = nullptr;
            if (auto *menu = qobject_cast<QMenu *>(watched)) {
                QPointer<TAdvEdit> editor = m_editor;
                const qsizetype position = m_position;
                connect(
                    menu, &QMenu::aboutToShow, this,
                    [this, menu, editor, position] {
                        if (!editor)
                            return;
                        m_add(menu, editor, position);
                        keepTipsAway(menu, editor);
                    },
                    Qt::SingleShotConnection);
            }
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace marlix
