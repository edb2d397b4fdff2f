#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QMenu;
class QWidget;
class TAdvEdit;

namespace marlix {

// Entries added to the context menu of the script editors below a window, whichever code
// makes that menu: the menu an editor parents and shows right after a context-menu request
// gets them appended when it is about to show. `position` is the byte position of the text
// under the pointer (the caret when the menu came from the keyboard), -1 when the pointer
// stands clear of the text.
class EditorMenuEntries : public QObject {
    Q_OBJECT
public:
    using AddEntries = std::function<void(QMenu *menu, TAdvEdit *editor, qsizetype position)>;
    EditorMenuEntries(QWidget *window, AddEntries add);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TAdvEdit *editorOf(QObject *watched) const;
    void requested(TAdvEdit *editor, QObject *watched, QEvent *event);
    static void keepTipsAway(QMenu *menu, TAdvEdit *editor);

    QWidget *m_window;
    AddEntries m_add;
    QPointer<TAdvEdit> m_editor; // of the request being served, until it returns
    qsizetype m_position = -1;
    QPointer<QObject> m_menu; // a widget the editor was given during the request
};

} // namespace marlix
