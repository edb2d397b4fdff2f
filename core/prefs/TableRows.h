#pragma once

#include <QList>
#include <QStringList>
#include <array>

namespace marlix {

// One entry of a language table as the preferences grid holds it: three text cells, taken
// and written verbatim. Intellisense: code, file, style. Highlighting: phrase, style, colour.
using TableRow = std::array<QString, 3>;
// A grid always has at least one row.
using TableRows = QList<TableRow>;

// The rows a table file's lines give: one per complete group of three lines, at least one.
// One or two lines after the last complete group are left out; a file of fewer than three
// lines fills the first cells of the single row and leaves the rest empty.
TableRows tableRowsFromLines(const QStringList &lines);

// The lines written for the grid at closing. Intellisense keeps a row when its code and its
// file are both non-empty; highlighting keeps a row when all three cells are non-empty.
// "Empty" means length zero: a single blank is a value.
QStringList intellisenseFileLines(const TableRows &rows);
QStringList highlightingFileLines(const TableRows &rows);

} // namespace marlix
