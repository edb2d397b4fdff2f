#include "core/prefs/TableRows.h"

namespace marlix {

namespace {

void appendRow(QStringList &lines, const TableRow &row) {
    for (const QString &cell : row)
        lines.append(cell);
}

} // namespace

TableRows tableRowsFromLines(const QStringList &lines) {
    const qsizetype count = qMax(qsizetype(1), lines.size() / 3);
    TableRows rows(count);
    for (qsizetype i = 0; i < lines.size() && i / 3 < count; ++i)
        rows[i / 3][size_t(i % 3)] = lines[i];
    return rows;
}

QStringList intellisenseFileLines(const TableRows &rows) {
    QStringList lines;
    for (const TableRow &row : rows)
        if (!row[0].isEmpty() && !row[1].isEmpty())
            appendRow(lines, row);
    return lines;
}

QStringList highlightingFileLines(const TableRows &rows) {
    QStringList lines;
    for (const TableRow &row : rows)
        if (!row[0].isEmpty() && !row[1].isEmpty() && !row[2].isEmpty())
            appendRow(lines, row);
    return lines;
}

} // namespace marlix
