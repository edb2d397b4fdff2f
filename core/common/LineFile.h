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

// How much of a settings file can mean something. A file of hundreds of megabytes is no
// settings file of ours: it is read no further than its first maxLines lines, each kept up to
// maxLineBytes, and no more than maxBytes in all, so that it cannot hold the window or fill
// the memory.
constexpr qsizetype MaxPathLineBytes = 4096;         // a path on Linux is shorter
constexpr qsizetype MaxSettingLineBytes = 32 * 1024; // a line of launch parameters

struct LineLimits {
    qsizetype maxLines = 0;
    qsizetype maxLineBytes = MaxPathLineBytes;
    qsizetype maxBytes = -1; // -1: as many as maxLines lines of maxLineBytes take
};

struct LimitedLines {
    QByteArrayList lines;
    bool cut = false; // the file holds more than the limits let through
};

// Throws as readLines.
LimitedLines readLinesWithin(const QString &path, const LineLimits &limits);
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
QStringList readTextLines(const QString &path, const LineLimits &limits, bool *cut = nullptr);
void writeTextLines(const QString &path, const QStringList &lines);

// Lines that hold file names are the file system's bytes, so every name it can hold survives.
// A line that is no valid name in that encoding (written as 8-bit text by an older version)
// is taken as Latin-1, as it was then.
QStringList readPathLines(const QString &path);
QStringList readPathLines(const QString &path, const LineLimits &limits, bool *cut = nullptr);
void writePathLines(const QString &path, const QStringList &lines);
QString decodePathLine(const QByteArray &line);
// The same for a file name inside a text-line file (one character per byte), such as the
// file column of a table whose other columns are 8-bit text.
QString pathFromTextLine(const QString &line);
QString textLineFromPath(const QString &path);

} // namespace marlix
