#include "editor/EditorAccessible.h"

#include "core/script/Windows1252.h"

#include <Qsci/qsciscintilla.h>

namespace marlix {

namespace {

QAccessibleInterface *describe(const QString &, QObject *object) {
    if (auto *editor = qobject_cast<QsciScintilla *>(object))
        return new EditorAccessible(editor);
    return nullptr;
}

} // namespace

EditorAccessible::EditorAccessible(QsciScintilla *editor)
    : QAccessibleWidget(editor, QAccessible::EditableText) {
    // Told before the change, as the editor's notices are (editNotices); the event goes out
    // once the text has changed.
    QObject::connect(
        editor, &QsciScintillaBase::SCN_MODIFIED, editor,
        [editor](int position, int type, const char *, int length, int, int, int, int, int, int) {
            if (!QAccessible::isActive())
                return;
            const bool insert = type & QsciScintillaBase::SC_MOD_BEFOREINSERT;
            if (!insert && !(type & QsciScintillaBase::SC_MOD_BEFOREDELETE))
                return;
            // Removed text is read while it is still there, inserted text once it is in.
            const auto bytes = [editor, position, length] {
                const qsizetype end = std::min<qsizetype>(
                    position + length, editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
                if (end <= position)
                    return QString();
                return windows1252Text(QByteArray(
                    reinterpret_cast<const char *>(editor->SendScintilla(
                        QsciScintillaBase::SCI_GETRANGEPOINTER, position, long(end - position))),
                    end - position));
            };
            const QString removed = insert ? QString() : bytes();
            QMetaObject::invokeMethod(
                editor,
                [editor, position, removed, insert, bytes] {
                    if (insert) {
                        QAccessibleTextInsertEvent event(editor, position, bytes());
                        QAccessible::updateAccessibility(&event);
                    } else {
                        QAccessibleTextRemoveEvent event(editor, position, removed);
                        QAccessible::updateAccessibility(&event);
                    }
                },
                Qt::QueuedConnection);
        });
    QObject::connect(editor, &QsciScintillaBase::SCN_UPDATEUI, editor, [editor](int updated) {
        if (!QAccessible::isActive() || !(updated & QsciScintillaBase::SC_UPDATE_SELECTION))
            return;
        QAccessibleTextCursorEvent event(
            editor, int(editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)));
        QAccessible::updateAccessibility(&event);
    });
}

void EditorAccessible::install() {
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(describe);
    installed = true;
}

QsciScintilla *EditorAccessible::editor() const {
    return static_cast<QsciScintilla *>(widget());
}

long EditorAccessible::send(unsigned int message, unsigned long wParam, long lParam) const {
    return editor()->SendScintilla(message, wParam, lParam);
}

void *EditorAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString EditorAccessible::text(QAccessible::Text type) const {
    // The whole text as the value would copy a large script on every query.
    if (type == QAccessible::Value)
        return QString();
    return QAccessibleWidget::text(type);
}

void EditorAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex < 0 || selectionIndex >= selectionCount())
        return;
    *startOffset = int(send(QsciScintillaBase::SCI_GETSELECTIONNSTART, selectionIndex));
    *endOffset = int(send(QsciScintillaBase::SCI_GETSELECTIONNEND, selectionIndex));
}

int EditorAccessible::selectionCount() const {
    if (send(QsciScintillaBase::SCI_GETSELECTIONEMPTY))
        return 0;
    return int(send(QsciScintillaBase::SCI_GETSELECTIONS));
}

void EditorAccessible::addSelection(int startOffset, int endOffset) {
    if (selectionCount() == 0)
        send(QsciScintillaBase::SCI_SETSELECTION, endOffset, startOffset);
    else
        send(QsciScintillaBase::SCI_ADDSELECTION, endOffset, startOffset);
}

void EditorAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex < 0 || selectionIndex >= selectionCount())
        return;
    if (selectionCount() == 1)
        send(QsciScintillaBase::SCI_SETEMPTYSELECTION, send(QsciScintillaBase::SCI_GETCURRENTPOS));
    else
        send(QsciScintillaBase::SCI_DROPSELECTIONN, selectionIndex);
}

void EditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0 && selectionCount() <= 1)
        send(QsciScintillaBase::SCI_SETSEL, startOffset, endOffset);
    else if (selectionIndex >= 0 && selectionIndex < selectionCount()) {
        send(QsciScintillaBase::SCI_SETSELECTIONNSTART, selectionIndex, startOffset);
        send(QsciScintillaBase::SCI_SETSELECTIONNEND, selectionIndex, endOffset);
    }
}

int EditorAccessible::cursorPosition() const {
    return int(send(QsciScintillaBase::SCI_GETCURRENTPOS));
}

void EditorAccessible::setCursorPosition(int position) {
    send(QsciScintillaBase::SCI_GOTOPOS, position);
}

QString EditorAccessible::text(int startOffset, int endOffset) const {
    const int length = characterCount();
    startOffset = std::clamp(startOffset, 0, length);
    endOffset = std::clamp(endOffset < 0 ? length : endOffset, startOffset, length);
    if (endOffset == startOffset)
        return QString();
    const auto *bytes = reinterpret_cast<const char *>(
        send(QsciScintillaBase::SCI_GETRANGEPOINTER, startOffset, endOffset - startOffset));
    return windows1252Text(QByteArray(bytes, endOffset - startOffset));
}

int EditorAccessible::characterCount() const {
    return int(send(QsciScintillaBase::SCI_GETLENGTH));
}

QRect EditorAccessible::characterRect(int offset) const {
    const int x = int(send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, offset));
    const int y = int(send(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, offset));
    const int after = int(send(QsciScintillaBase::SCI_POSITIONAFTER, offset));
    const int right = int(send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, after));
    const int height = int(send(QsciScintillaBase::SCI_TEXTHEIGHT,
                                send(QsciScintillaBase::SCI_LINEFROMPOSITION, offset)));
    const QPoint origin = editor()->viewport()->mapToGlobal(QPoint(x, y));
    return QRect(origin, QSize(std::max(right - x, 1), height));
}

int EditorAccessible::offsetAtPoint(const QPoint &point) const {
    const QPoint local = editor()->viewport()->mapFromGlobal(point);
    return int(send(QsciScintillaBase::SCI_POSITIONFROMPOINTCLOSE, local.x(), local.y()));
}

void EditorAccessible::scrollToSubstring(int startIndex, int endIndex) {
    send(QsciScintillaBase::SCI_SCROLLRANGE, endIndex, startIndex);
}

QString EditorAccessible::attributes(int offset, int *startOffset, int *endOffset) const {
    *startOffset = *endOffset = offset;
    return QString();
}

} // namespace marlix
