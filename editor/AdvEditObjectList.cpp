// The object-list panel beside the editor: one row per object the script creates; a click on
// a name selects that object's line in the text.
#include "editor/AdvEdit.h"

#include "core/document/ObjectListModel.h"
#include "core/script/WordSearch.h"
#include "editor/ScintillaText.h"
#include "platform/ErrorDisplay.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>

using namespace marlix;

namespace {

constexpr int objectListWidth = 300;

ObjectListModel *objectRows(const QTableView *list) {
    return static_cast<ObjectListModel *>(list->model());
}

} // namespace

void TAdvEdit::createObjectList() {
    QWidget *page = parentWidget();
    ObjectList = new QTableView(page);
    ObjectList->setModel(new ObjectListModel(ObjectList));
    ObjectList->verticalHeader()->hide();
    ObjectList->horizontalHeader()->setStretchLastSection(true);
    ObjectList->setSelectionMode(QAbstractItemView::SingleSelection);
    ObjectList->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    ObjectList->setFixedWidth(objectListWidth);
    ObjectList->setFont(font());
    connect(ObjectList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                guarded(this, [&] { ObjectListSelectCell(current.column(), current.row()); });
            });
    ObjectList->viewport()->installEventFilter(this);
    connect(ObjectList->model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &cell) { ObjectListSetEditText(cell.column(), cell.row()); });
    // Where the panel stands is the page's business (it lays out the editor beside it).
    if (page)
        ObjectList->show();
}

void TAdvEdit::RefreshObjectList() {
    if (linesPending()) {
        // A large script just loaded or coloured: the list is filled once the slices are done,
        // from the text as it is then.
        m_objectListPending = true;
        return;
    }
    // Emptying the rows moves no jump: the old current cell is gone, not newly chosen.
    const QSignalBlocker blocker(ObjectList->selectionModel());
    objectRows(ObjectList)->fill(m_text->whole());
    ObjectList->setCurrentIndex(QModelIndex());
    ObjectList->scrollToTop();
    // The scan reads the text in place: the caret, the selection and the view stay where the
    // user left them, so the next key typed replaces nothing.
}

void TAdvEdit::ObjectListSelectCell(int ACol, int ARow) {
    const ObjectListModel *rows = objectRows(ObjectList);
    if (ACol != 1 || ARow < 0 || ARow >= rows->rowCount())
        return;
    const QByteArray search = objectLineText(rows->cellBytes(ARow, 0), rows->cellBytes(ARow, 1));
    const TextView text = m_text->whole();
    const qsizetype c = findWholeWord(text, search, 0, text.size);
    if (c >= 0) {
        setFocus();
        selectRange(c, c + search.size());
        const long visible =
            SendScintilla(SCI_VISIBLEFROMDOCLINE, static_cast<unsigned long>(lineOfPosition(c)));
        SendScintilla(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(visible));
        SendScintilla(SCI_SCROLLCARET);
    }
    ObjectList->setFocus();
}

bool TAdvEdit::eventFilter(QObject *watched, QEvent *e) {
    // A click on the name that is already current changes no cell, yet it jumps again.
    if (ObjectList && watched == ObjectList->viewport() && e->type() == QEvent::MouseButtonPress) {
        const QModelIndex at =
            ObjectList->indexAt(static_cast<QMouseEvent *>(e)->position().toPoint());
        if (at.isValid() && at == ObjectList->currentIndex())
            guarded(this, [&] { ObjectListSelectCell(at.column(), at.row()); });
    }
    return QsciScintilla::eventFilter(watched, e);
}

void TAdvEdit::ObjectListSetEditText(int, int) {
    // In-place edits change only the panel's row, never the text.
}
