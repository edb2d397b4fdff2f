#pragma once

#include <QByteArray>

// The line ends a script is saved with. The document holds CR LF between its lines whatever
// the file had; a script whose line ends were all LF is written back with LF, so a save does
// not turn every line of a file kept in version control into a change. Every other script,
// and every new one, is written with CR LF.
namespace marlix {

enum class LineEnd { CrLf, Lf };

// LF when the bytes hold at least one line end and every one of them is a lone LF.
LineEnd lineEndOf(const QByteArray &fileBytes);

// The bytes of the file for the document's text: every line, the last included, followed by
// the line end.
QByteArray scriptFileBytes(const QByteArray &documentText, LineEnd lineEnd);

} // namespace marlix
