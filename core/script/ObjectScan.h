#pragma once

#include "core/script/WordSearch.h"

#include <QByteArray>
#include <QList>
#include <functional>

// The objects a script creates: its "objecttemplate.create <type> <name>" lines.
namespace marlix {

QByteArray objectKeyword(); // "objecttemplate.create"

// Where one object line stands in the text; its type and name are read in place.
struct ObjectLine {
    qsizetype keyword = 0;    // position of the keyword
    qsizetype textStart = 0;  // start of the text after the keyword and its separator
    qsizetype typeLength = 0; // the type's bytes at textStart, its blank included
    qsizetype lineEnd = 0;    // end of the keyword's line; the name ends there
};

struct ObjectRow {
    QByteArray type;         // the first word after the keyword with the blank after it
    QByteArray name;         // the rest of the line
    qsizetype keyword = 0;   // position of the keyword
    qsizetype textStart = 0; // start of the text after the keyword and its separator
    qsizetype lineEnd = 0;   // end of the keyword's line
};

// Every whole-word occurrence of the keyword (letter case ignored), in text order, that is
// code: one after "rem" on its line or inside a beginRem block (Remarks.h) creates nothing.
// The text after it is read from the keyword's own line only, starting one character after
// the keyword; a keyword followed by nothing but blanks names nothing and is left out.
// `text` is a whole text (offset 0).
void forEachObjectLine(const TextView &text, const std::function<void(const ObjectLine &)> &found);
// The same with the type and name of each line copied out.
QList<ObjectRow> scanObjects(const TextView &text);

// The text that finds a row's line again: keyword, blank, type (with its blank) and name.
QByteArray objectLineText(const QByteArray &type, const QByteArray &name);

} // namespace marlix
