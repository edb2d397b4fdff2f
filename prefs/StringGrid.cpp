#include "prefs/StringGrid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

marlix::StringGrid::StringGrid(QWidget *parent) : QTableWidget(parent) {
    setColumnCount(3);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(200);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Tab leaves the grid, as from any other control: moving through the hidden columns and
    // on to the next row would change the row that Save writes without the user seeing it.
    setTabKeyNavigation(false);
    setRows({marlix::TableRow{}});
}

QString marlix::StringGrid::cell(int column, int row) const {
    const QTableWidgetItem *it = item(row, column);
    return it ? it->text() : QString();
}

void marlix::StringGrid::setCell(int column, int row, const QString &text) {
    if (QTableWidgetItem *it = item(row, column)) {
        it->setText(text);
        return;
    }
    auto *it = new QTableWidgetItem(text);
    it->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    setItem(row, column, it);
}

marlix::TableRows marlix::StringGrid::rows() const {
    marlix::TableRows rows(rowCount());
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < 3; ++c)
            rows[r][size_t(c)] = cell(c, r);
    return rows;
}

void marlix::StringGrid::setRows(const marlix::TableRows &rows) {
    const bool wasSilent = m_silent;
    m_silent = true;
    const int previous = currentRow();
    setRowCount(int(qMax(qsizetype(1), rows.size())));
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < 3; ++c)
            setCell(c, r, r < rows.size() ? rows[r][size_t(c)] : QString());
    if (previous >= 0 && previous < rowCount())
        setCurrentCell(previous, 0);
    keepCurrentRow();
    m_silent = wasSilent;
}

void marlix::StringGrid::addRow() {
    const bool wasSilent = m_silent;
    m_silent = true;
    const int row = rowCount();
    insertRow(row);
    for (int c = 0; c < 3; ++c)
        setCell(c, row, QString());
    keepCurrentRow();
    m_silent = wasSilent;
}

void marlix::StringGrid::keepCurrentRow() {
    if (currentRow() < 0 || currentRow() >= rowCount())
        setCurrentCell(rowCount() - 1, 0);
}

void marlix::StringGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QTableWidget::currentChanged(current, previous);
    if (!m_silent && current.isValid() && current.row() != previous.row())
        emit rowChosen();
}

void marlix::StringGrid::mousePressEvent(QMouseEvent *event) {
    m_rowAtPress = currentRow();
    QTableWidget::mousePressEvent(event);
}

void marlix::StringGrid::selectionChanged(const QItemSelection &selected,
                                          const QItemSelection &deselected) {
    QTableWidget::selectionChanged(selected, deselected);
    // Save always writes into the current row, so that row is always shown selected: a click
    // below the last row or a Ctrl+click must not leave the grid without a visible selection.
    const QModelIndex current = currentIndex();
    if (current.isValid() && !selectionModel()->isRowSelected(current.row(), QModelIndex()))
        selectionModel()->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void marlix::StringGrid::mouseReleaseEvent(QMouseEvent *event) {
    QTableWidget::mouseReleaseEvent(event);
    // A click on the row that was already current selects it again; a click that moved the
    // selection has raised rowChosen() already.
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && at.row() == m_rowAtPress && at.row() == currentRow())
        emit rowChosen();
    m_rowAtPress = -1;
}

void marlix::StringGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    // The view shows the first column only; the others are edited beside the grid, so the
    // view never scrolls sideways, not even when the keyboard moves to another column.
    horizontalScrollBar()->setRange(0, 0);
}
