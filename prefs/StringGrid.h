#pragma once

#include "core/prefs/TableRows.h"

#include <QTableWidget>

// A table editor grid of three text columns: one entry per row, whole-row selection, no
// editing inside the cells and always at least one row. The handlers work on the current
// row. rowChosen() is raised whenever the user selects a row by mouse or keyboard, also by
// clicking the row that is already selected, but never when the program moves the selection.
namespace marlix {

class StringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit StringGrid(QWidget *parent);

    int selectedRow() const { return currentRow(); }
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString &text);

    marlix::TableRows rows() const;
    // Replaces the rows. When the current row no longer exists, the last row becomes current.
    void setRows(const marlix::TableRows &rows);
    // One empty row at the bottom; the selection stays where it is.
    void addRow();

signals:
    void rowChosen();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void selectionChanged(const QItemSelection &selected,
                          const QItemSelection &deselected) override;
    void updateGeometries() override;

private:
    void keepCurrentRow();

    bool m_silent = false;
    int m_rowAtPress = -1;
};

} // namespace marlix
