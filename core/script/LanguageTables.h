#pragma once

#include "core/common/ColorText.h"
#include "core/common/LineFile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

// The two language tables: intellisense.ini (trigger code, completion file, insertion style)
// and highlighting.ini (phrase, style, colour; note the style line comes before the colour).
// Both files are groups of three lines, one entry per group in file order; one or two lines
// after the last complete group belong to no entry. Values are taken verbatim; the file
// column is the file system's bytes for the name (the lines are text, one character a byte).
namespace marlix {

struct IntellisenseTable {
    QStringList triggers;
    QStringList files;
    QList<std::int32_t> styles;
    int count = 0;
};

struct HighlightTable {
    QStringList phrases;
    QList<TColor> colors;
    QList<std::int32_t> styles;
    int count = 0;
};

// The most a table file or a completion file is read for: far beyond any real table, and
// small enough to read at once when an editor opens or a list is offered.
constexpr qsizetype MaxTableEntries = 10000;
constexpr qsizetype MaxCompletionItems = 10000;
constexpr qsizetype MaxTableFileBytes = 4 * 1024 * 1024;
// The lines of a table file read for its first MaxTableEntries entries; a line longer than
// 4096 bytes is cut there.
LineLimits tableFileLimits();
LineLimits completionFileLimits();

// Fill `table` from the lines of a file. The arrays are sized first and filled line by line,
// so when a line is rejected ("'%s' is not a valid integer value") the entries filled before
// it keep their values and the rest stay empty strings and zeros.
void fillIntellisenseTable(const QStringList &lines, IntellisenseTable &table);
void fillHighlightTable(const QStringList &lines, HighlightTable &table);

// Read the table file at `path` into `table`; throws "Cannot open file %s" when it cannot be
// read, leaving `table` empty.
void readIntellisenseTable(const QString &path, IntellisenseTable &table);
void readHighlightTable(const QString &path, HighlightTable &table);

} // namespace marlix
