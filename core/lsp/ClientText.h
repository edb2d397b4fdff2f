#pragma once

#include "core/document/ScriptDocument.h"

#include <QByteArray>
#include <QString>

// Scripts are 8-bit text shown as Windows-1252 characters; a language client counts positions
// in UTF-16 units. Every byte is one such unit, and text from a client turns into one byte per
// unit, so a line and column mean the same place on both sides and a client never splits or
// shifts a character.
namespace marlix {

struct TextPosition {
    int line = 0;
    int character = 0;
};

// A script's bytes as the client's text.
QString clientText(const QByteArray &bytes);
// The client's text as bytes: each UTF-16 unit becomes its Windows-1252 byte, or "?" when no
// byte stands for it (each half of a character beyond the first 65536 gives one "?").
QByteArray scriptBytes(const QString &text);

// The byte offset of a client position in a document; a line past the last one means the
// end of the text, a character past the line's end the end of that line.
qsizetype offsetOf(const ScriptDocument &doc, TextPosition position);
TextPosition positionOf(const ScriptDocument &doc, qsizetype offset);

} // namespace marlix
