#include "core/workspace/SessionFile.h"

#include "core/common/LineFile.h"
#include "core/document/DocumentSlots.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace marlix {

namespace {

constexpr qint64 ReadLimit = 256 * 1024;
constexpr int NumberLimit = 100000000;
constexpr int PathLimit = 4096;

// A number from 0 to NumberLimit; anything else is `otherwise`.
int count(const QByteArray &text, int otherwise = 0) {
    if (text.isEmpty() || text.size() > 9)
        return otherwise;
    for (char c : text)
        if (c < '0' || c > '9')
            return otherwise;
    const int value = text.toInt();
    return value <= NumberLimit ? value : otherwise;
}

// The first blank-separated field of `line` and the rest after one blank.
QByteArray takeField(QByteArray &line) {
    const qsizetype blank = line.indexOf(' ');
    QByteArray field = blank < 0 ? line : line.left(blank);
    line = blank < 0 ? QByteArray() : line.mid(blank + 1);
    return field;
}

bool usablePath(const QString &path) {
    if (path.isEmpty() || path.size() > PathLimit || !QFileInfo(path).isAbsolute())
        return false;
    for (QChar c : path)
        if (c.unicode() < 0x20)
            return false;
    return true;
}

} // namespace

QString sessionPath(const QString &programFolder) {
    return programFolder + QStringLiteral("session.ini");
}

Session readSession(const QString &path) {
    Session session;
    // Only a plain file is read: a pipe or a device in its place must not hold up the start.
    if (!QFileInfo(path).isFile())
        return session;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return session;
    const QByteArray bytes = file.read(ReadLimit);
    QSet<QString> seen;
    int active = -1;
    for (QByteArray line : splitLines(bytes)) {
        const QByteArray key = takeField(line);
        if (key == "reopen") {
            session.reopen = line == "1";
        } else if (key == "tree") {
            session.showTree = line == "1";
        } else if (key == "active") {
            active = count(line, -1);
        } else if (key == "script" && session.scripts.size() < MaxOpenDocuments) {
            SessionScript script;
            script.caretLine = count(takeField(line));
            script.caretColumn = count(takeField(line));
            script.firstLine = count(takeField(line));
            if (line.contains('\0'))
                continue;
            script.path = decodePathLine(line);
            if (!usablePath(script.path) || seen.contains(script.path))
                continue;
            seen.insert(script.path);
            session.scripts.append(script);
        }
    }
    if (active >= 0 && active < session.scripts.size())
        session.active = active;
    return session;
}

void writeSession(const QString &path, const Session &session) {
    QByteArrayList lines;
    lines.append(QByteArray("reopen ") + (session.reopen ? "1" : "0"));
    lines.append(QByteArray("tree ") + (session.showTree ? "1" : "0"));
    int active = -1;
    QByteArrayList scripts;
    for (qsizetype i = 0; i < session.scripts.size(); ++i) {
        const SessionScript &script = session.scripts[i];
        if (!usablePath(script.path))
            continue;
        if (i == session.active)
            active = int(scripts.size());
        scripts.append("script " + QByteArray::number(std::max(script.caretLine, 0)) + ' ' +
                       QByteArray::number(std::max(script.caretColumn, 0)) + ' ' +
                       QByteArray::number(std::max(script.firstLine, 0)) + ' ' +
                       QFile::encodeName(script.path));
    }
    if (active >= 0)
        lines.append("active " + QByteArray::number(active));
    lines.append(scripts);
    writeLines(path, lines);
}

} // namespace marlix
