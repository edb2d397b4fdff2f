#include "core/workspace/CommandHelp.h"

#include "core/common/LineFile.h"

#include <QFile>
#include <QFileInfo>

namespace marlix {

namespace {

constexpr qint64 ReadLimit = 4 * 1024 * 1024;
constexpr qsizetype LineLimit = 1000;
constexpr int LineCountLimit = 20000;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isRem(const QByteArray &word) {
    return word.compare("rem", Qt::CaseInsensitive) == 0;
}

} // namespace

CommandHelp CommandHelp::parse(const QByteArray &bytes) {
    CommandHelp help;
    int lines = 0;
    for (const QByteArray &raw : splitLines(bytes)) {
        if (++lines > LineCountLimit)
            break;
        if (raw.size() > LineLimit || raw.contains('\0'))
            continue;
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype bar = line.indexOf('|');
        const QByteArray head = (bar < 0 ? line : line.left(bar)).simplified();
        CommandHelpEntry entry;
        if (bar >= 0)
            entry.explanation = line.mid(bar + 1).trimmed();
        QByteArrayList words = head.split(' ');
        words.removeAll(QByteArray());
        if (words.isEmpty())
            continue;
        entry.command = words.takeFirst();
        entry.arguments = words;
        help.m_entries.insert(entry.command.toLower(), entry);
    }
    return help;
}

CommandHelp CommandHelp::fromFile(const QString &path) {
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.read(ReadLimit));
}

const CommandHelpEntry *CommandHelp::find(const QByteArray &command) const {
    const auto found = m_entries.constFind(command.toLower());
    return found == m_entries.cend() ? nullptr : &found.value();
}

bool commandPlaceAt(const QByteArray &line, int column, CommandPlace &place) {
    const int size = int(line.size());
    column = std::clamp(column, 0, size);
    int at = 0;
    while (at < size && isBlank(line[at]))
        ++at;
    const int start = at;
    while (at < size && !isBlank(line[at]))
        ++at;
    if (at == start)
        return false;
    const QByteArray command = line.mid(start, at - start);
    if (isRem(command) || command.startsWith('#') || column < start)
        return false;
    place.command = command;
    place.commandStart = start;
    place.commandEnd = at;
    place.argument = -1;
    if (column <= at)
        return true;
    // Arguments: blank-separated words after the command; the caret in the blanks before a
    // word already stands in that word's place.
    int argument = -1;
    while (at < column) {
        while (at < size && at < column && isBlank(line[at]))
            ++at;
        ++argument;
        if (at >= column)
            break;
        const int wordStart = at;
        while (at < size && !isBlank(line[at]))
            ++at;
        if (isRem(line.mid(wordStart, at - wordStart)))
            return false;
        if (at >= column)
            break;
    }
    place.argument = argument;
    return true;
}

} // namespace marlix
