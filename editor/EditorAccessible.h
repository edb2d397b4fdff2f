#pragma once

#include <QAccessibleWidget>

class QsciScintilla;

// What assistive tools see of an editor: its text, caret and selections. The control's own
// description counts the characters from the start of the document to the caret on every key
// and caret move, and an accessibility event creates it even when no tool listens: on a 50 MB
// script that took a quarter of a second a key. The editor holds one byte per character, so
// here a byte position is the character offset, and events go out only while a tool listens.
namespace marlix {

// The changes an editor is told of: only before they happen. For every change notified after
// it, the control counts the characters from the start of the document to the change, for its
// accessibility events.
constexpr int editNotices = 0x400 | 0x800; // SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE

class EditorAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit EditorAccessible(QsciScintilla *editor);

    // Makes editors described by this class from now on; call once an editor exists, so this
    // description is asked before the control's own.
    static void install();

    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    QsciScintilla *editor() const;
    long send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
};

} // namespace marlix
