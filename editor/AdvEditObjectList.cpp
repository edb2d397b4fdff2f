// The object-list panel beside the editor: one row per object the script creates; a click on
// a name selects that object's line in the text.
#include "editor/AdvEdit.h"

#include "editor/ObjectScan.h"
#include "editor/ScintillaText.h"
#include "editor/Windows1252.h"
#include "editor/WordSearch.h"
#include "platform/ErrorDisplay.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTableWidget>

using namespace marlix;

namespace {
constexpr int objectListWidth = 300;
}

void TAdvEdit::createObjectList() {
    QWidget *page = parentWidget();
    ObjectList = new QTableWidget(page);
    ObjectList->setColumnCount(2);
    ObjectList->setHorizontalHeaderLabels(
        {QStringLiteral("Object Type"), QStringLiteral("Object Name")});
    ObjectList->verticalHeader()->hide();
    ObjectList->horizontalHeader()->setStretchLastSection(true);
    ObjectList->setSelectionMode(QAbstractItemView::SingleSelection);
    ObjectList->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    ObjectList->setFixedWidth(objectListWidth);
    ObjectList->setFont(font());
    ObjectList->setRowCount(1);
    ObjectList->setItem(0, 0, new QTableWidgetItem());
    ObjectList->item(0, 0)->setFlags(Qt::ItemIsEnabled);
    ObjectList->setItem(0, 1, new QTableWidgetItem());
    connect(ObjectList, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) {
                guarded(this, [&] { ObjectListSelectCell(column, row); });
            });
    ObjectList->viewport()->installEventFilter(this);
    connect(ObjectList, &QTableWidget::cellChanged, this,
            [this](int row, int column) { ObjectListSetEditText(column, row); });
    // Where the panel stands is the page's business (it lays out the editor beside it).
    if (page)
        ObjectList->show();
}

void TAdvEdit::RefreshObjectList() {
    const QList<ObjectRow> rows = scanObjects(m_text->whole());

    const QSignalBlocker blocker(ObjectList);
    ObjectList->setUpdatesEnabled(false);
    ObjectList->setRowCount(0);
    const int count = std::max<int>(1, int(rows.size()));
    ObjectList->setRowCount(count);
    for (int r = 0; r < count; ++r) {
        auto *key =
            new QTableWidgetItem(r < rows.size() ? windows1252Text(rows[r].type) : QString());
        key->setFlags(Qt::ItemIsEnabled); // the type column is not selectable
        ObjectList->setItem(r, 0, key);
        ObjectList->setItem(
            r, 1,
            new QTableWidgetItem(r < rows.size() ? windows1252Text(rows[r].name) : QString()));
    }
    ObjectList->setCurrentCell(-1, -1);
    ObjectList->setUpdatesEnabled(true);
    // As the scan leaves it: the text after the keyword of the last object line is selected.
    if (!rows.isEmpty())
        selectRange(rows.last().textStart, rows.last().lineEnd);
}

void TAdvEdit::ObjectListSelectCell(int ACol, int ARow) {
    if (ACol != 1 || ARow < 0 || ARow >= ObjectList->rowCount())
        return;
    auto cell = [&](int column) {
        const QTableWidgetItem *item = ObjectList->item(ARow, column);
        return item ? windows1252Bytes(item->text()).value_or(item->text().toLatin1())
                    : QByteArray();
    };
    const QByteArray search = objectLineText(cell(0), cell(1));
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
