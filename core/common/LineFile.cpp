#include "core/common/LineFile.h"

#include "core/common/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace marlix {

QByteArrayList splitLines(const QByteArray &bytes) {
    QByteArrayList lines;
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(QByteArray(data + start, i - start));
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(QByteArray(data + start, size - start));
    return lines;
}

QByteArray joinLines(const QByteArrayList &lines) {
    qsizetype total = 0;
    for (const QByteArray &line : lines)
        total += line.size() + 2;
    QByteArray bytes;
    bytes.reserve(total);
    for (const QByteArray &line : lines) {
        bytes.append(line);
        bytes.append("\r\n", 2);
    }
    return bytes;
}

QByteArray joinedLines(const QByteArray &bytes) {
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    QByteArray text;
    text.reserve(size + bytes.count('\n') + bytes.count('\r'));
    bool ended = false; // a line has ended: its CR LF goes in once another line follows
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        if (ended)
            text.append("\r\n", 2);
        text.append(data + start, i - start);
        ended = true;
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size) {
        if (ended)
            text.append("\r\n", 2);
        text.append(data + start, size - start);
    }
    return text;
}

namespace {
QByteArray readWhole(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error::cannotOpen(path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error::cannotOpen(path);
    return bytes;
}
} // namespace

QByteArrayList readLines(const QString &path) {
    return splitLines(readWhole(path));
}

LimitedLines readLinesWithin(const QString &path, const LineLimits &limits) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error::cannotOpen(path);
    const qint64 budget =
        limits.maxBytes >= 0 ? limits.maxBytes : limits.maxLines * (limits.maxLineBytes + 2);
    QByteArray chunk;
    qsizetype at = 0; // the next byte of chunk
    qint64 taken = 0;
    const auto nextByte = [&]() -> int {
        if (at == chunk.size()) {
            if (taken >= budget)
                return -1;
            chunk = file.read(std::min<qint64>(64 * 1024, budget - taken));
            if (file.error() != QFileDevice::NoError)
                throw Error::cannotOpen(path);
            if (chunk.isEmpty())
                return -1;
            taken += chunk.size();
            at = 0;
        }
        return static_cast<unsigned char>(chunk[at++]);
    };

    LimitedLines result;
    QByteArray line;
    bool inLine = false;  // bytes of a line whose end has not come yet
    bool afterCr = false; // an LF now belongs to the CR before it
    while (result.lines.size() < limits.maxLines) {
        const int c = nextByte();
        if (c < 0) {
            if (inLine)
                result.lines.append(line);
            break;
        }
        if (afterCr) {
            afterCr = false;
            if (c == '\n')
                continue;
        }
        if (c == '\r' || c == '\n') {
            result.lines.append(line);
            line.clear();
            inLine = false;
            afterCr = c == '\r';
            continue;
        }
        inLine = true;
        if (line.size() < limits.maxLineBytes)
            line.append(char(c));
        else
            result.cut = true;
    }
    // Whatever follows where reading stopped, but the LF of a last CR LF, was not let through.
    qint64 left = (chunk.size() - at) + file.bytesAvailable();
    if (afterCr && left > 0) {
        char next = 0;
        if (at < chunk.size())
            next = chunk[at];
        else
            file.peek(&next, 1);
        if (next == '\n')
            --left;
    }
    if (left > 0)
        result.cut = true;
    return result;
}

QByteArray readJoinedLines(const QString &path) {
    return joinedLines(readWhole(path));
}

QByteArray readWholeFile(const QString &path) {
    return readWhole(path);
}

void writeWholeFile(const QString &path, const QByteArray &bytes) {
    // A file marked read-only (no owner write bit) is refused even where the process could
    // replace it (as root, or by renaming over it): the user marked it so on purpose.
    const QFileInfo info(path);
    if (info.exists() && (info.isDir() || !(info.permissions() & QFileDevice::WriteOwner)))
        throw Error::cannotCreate(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error::cannotCreate(path);
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw Error::cannotCreate(path);
}

void writeLines(const QString &path, const QByteArrayList &lines) {
    writeWholeFile(path, joinLines(lines));
}

namespace {
QStringList textLines(const QByteArrayList &lines) {
    QStringList result;
    result.reserve(lines.size());
    for (const QByteArray &line : lines)
        result.append(QString::fromLatin1(line));
    return result;
}
} // namespace

QStringList readTextLines(const QString &path) {
    return textLines(readLines(path));
}

QStringList readTextLines(const QString &path, const LineLimits &limits, bool *cut) {
    LimitedLines read = readLinesWithin(path, limits);
    if (cut)
        *cut = read.cut;
    return textLines(read.lines);
}

void writeTextLines(const QString &path, const QStringList &lines) {
    QByteArrayList bytes;
    bytes.reserve(lines.size());
    for (const QString &line : lines)
        bytes.append(line.toLatin1());
    writeLines(path, bytes);
}

QString decodePathLine(const QByteArray &line) {
    const QString name = QFile::decodeName(line);
    if (QFile::encodeName(name) != line)
        return QString::fromLatin1(line);
    return name;
}

QString pathFromTextLine(const QString &line) {
    return decodePathLine(line.toLatin1());
}

QString textLineFromPath(const QString &path) {
    return QString::fromLatin1(QFile::encodeName(path));
}

namespace {
QStringList pathLines(const QByteArrayList &lines) {
    QStringList result;
    result.reserve(lines.size());
    for (const QByteArray &line : lines)
        result.append(decodePathLine(line));
    return result;
}
} // namespace

QStringList readPathLines(const QString &path) {
    return pathLines(readLines(path));
}

QStringList readPathLines(const QString &path, const LineLimits &limits, bool *cut) {
    LimitedLines read = readLinesWithin(path, limits);
    if (cut)
        *cut = read.cut;
    return pathLines(read.lines);
}

void writePathLines(const QString &path, const QStringList &lines) {
    QByteArrayList bytes;
    bytes.reserve(lines.size());
    for (const QString &line : lines)
        bytes.append(QFile::encodeName(line));
    writeLines(path, bytes);
}

} // namespace marlix
