#pragma once

#include "editor/WordSearch.h"

#include <QByteArray>
#include <QList>

// The objects a script creates: its "objecttemplate.create <type> <name>" lines.
namespace marlix {

QByteArray objectKeyword(); // "objecttemplate.create"

struct ObjectRow {
    QByteArray type;         // the first word after the keyword with the blank after it
    QByteArray name;         // the rest of the line
    qsizetype keyword = 0;   // position of the keyword
    qsizetype textStart = 0; // start of the text after the keyword and its separator
    qsizetype lineEnd = 0;   // end of the keyword's line
};

// The most bytes of type and name read after a keyword.
constexpr qsizetype longestObjectText = 256;

// Every whole-word occurrence of the keyword (letter case ignored), in text order. The text
// after it is read from the keyword's own line only, starting one character after the
// keyword; a keyword at the end of its line gives an empty type and name. Past
// longestObjectText bytes the text stops at the last blank before them.
QList<ObjectRow> scanObjects(const TextView &text);

// The text that finds a row's line again: keyword, blank, type (with its blank) and name.
QByteArray objectLineText(const QByteArray &type, const QByteArray &name);

} // namespace marlix
