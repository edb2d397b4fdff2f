#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringList>

// Line-list text files: 8-bit text read and written whole as a list of lines.
// Reading splits at CR LF, a lone CR or a lone LF; a line end after the last line adds no
// empty line. Writing puts CR LF after every line, the last included, and replaces the file
// in one step, so a failed write leaves the old file exactly as it was.
namespace marlix {

QByteArrayList splitLines(const QByteArray &bytes);
QByteArray joinLines(const QByteArrayList &lines);

// The lines of `bytes` joined by CR LF, as splitLines(bytes).join("\r\n") without a list of
// lines: on a script of millions of lines that list took more memory than the text.
QByteArray joinedLines(const QByteArray &bytes);

// Throws Error::cannotOpen when the file is missing or cannot be read.
QByteArrayList readLines(const QString &path);
// The file's lines joined by CR LF; throws as readLines.
QByteArray readJoinedLines(const QString &path);
// The file's bytes as they are, line ends included; throws as readLines.
QByteArray readWholeFile(const QString &path);
// Throws Error::cannotCreate when the file cannot be written; the old file stays intact.
void writeLines(const QString &path, const QByteArrayList &lines);
// Writes bytes as they are, with the same all-or-nothing guarantee.
void writeWholeFile(const QString &path, const QByteArray &bytes);

// Text lines: each byte is one character (Latin-1), so every byte value round-trips.
QStringList readTextLines(const QString &path);
void writeTextLines(const QString &path, const QStringList &lines);

// Lines that hold file names are the file system's bytes, so every name it can hold survives.
// A line that is no valid name in that encoding (written as 8-bit text by an older version)
// is taken as Latin-1, as it was then.
QStringList readPathLines(const QString &path);
void writePathLines(const QString &path, const QStringList &lines);
QString decodePathLine(const QByteArray &line);
// The same for a file name inside a text-line file (one character per byte), such as the
// file column of a table whose other columns are 8-bit text.
QString pathFromTextLine(const QString &line);
QString textLineFromPath(const QString &path);

} // namespace marlix
