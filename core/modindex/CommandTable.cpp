#include "core/modindex/CommandTable.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"
#include "core/script/WordSearch.h"

#include <QCryptographicHash>
#include <QFile>

namespace marlix {

namespace {

QByteArray readWhole(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error::cannotOpen(path);
    return file.readAll();
}

bool isRemark(const QByteArray &line) {
    return line.isEmpty() || line.startsWith('#');
}

int argumentNumber(const QByteArray &field) {
    bool ok = false;
    const int value = field.toInt(&ok);
    return ok && value > 0 ? value : -1;
}

} // namespace

void CommandTable::addRules(const QByteArray &text, const QString &fileName) {
    const QByteArrayList lines = splitLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].simplified();
        if (isRemark(line))
            continue;
        const QByteArrayList fields = line.split(' ');
        const QByteArray kind = fields[0].toLower();
        CommandRule rule;
        bool ok = fields.size() >= 4;
        int nameField = 3;
        if (ok && kind == "define" && fields.size() <= 5) {
            rule.kind = CommandRule::Define;
            rule.typeArgument = fields.size() == 5 ? argumentNumber(fields[4]) : 0;
            ok = rule.typeArgument >= 0;
        } else if (ok && kind == "refer") {
            rule.kind = CommandRule::Refer;
            nameField = int(fields.size()) - 1;
        } else {
            ok = false;
        }
        if (ok)
            rule.families = fields.mid(2, nameField - 2);
        rule.family = ok ? fields[2] : QByteArray();
        rule.nameArgument = ok ? argumentNumber(fields[nameField]) : -1;
        if (rule.nameArgument < 0)
            throw Error(QStringLiteral("%1:%2: not a command rule: %3")
                            .arg(fileName)
                            .arg(i + 1)
                            .arg(QString::fromLatin1(lines[i])));
        m_rules.insert(foldWord(fields[1]), rule);
        for (const QByteArray &family : std::as_const(rule.families))
            m_familyNames.insert(foldWord(family), family);
        m_spellings.append(fields[1]);
        m_source += line + '\n';
    }
}

void CommandTable::addKnownCommands(const QByteArray &text) {
    for (const QByteArray &raw : splitLines(text)) {
        const QByteArray line = raw.trimmed();
        if (isRemark(line))
            continue;
        if (line.endsWith(".*"))
            m_knownPrefixes.append(foldWord(line.chopped(1)));
        else {
            m_known.insert(foldWord(line));
            m_spellings.append(line);
        }
        m_source += line + '\n';
    }
}

CommandTable CommandTable::fromProgramFolder(const QString &folder) {
    CommandTable table;
    const QString rules = folder + QStringLiteral("modcommands.txt");
    table.addRules(readWhole(rules), rules);
    table.addKnownCommands(readWhole(folder + QStringLiteral("knowncommands.txt")));
    return table;
}

const CommandRule *CommandTable::rule(const QByteArray &foldedCommand) const {
    const auto it = m_rules.constFind(foldedCommand);
    return it == m_rules.constEnd() ? nullptr : &*it;
}

bool CommandTable::isKnown(const QByteArray &foldedCommand) const {
    if (m_known.contains(foldedCommand) || m_rules.contains(foldedCommand))
        return true;
    for (const QByteArray &prefix : m_knownPrefixes)
        if (foldedCommand.startsWith(prefix) && foldedCommand.size() > prefix.size())
            return true;
    return false;
}

QByteArray CommandTable::familyName(const QByteArray &foldedFamily) const {
    return m_familyNames.value(foldedFamily, foldedFamily);
}

QByteArray CommandTable::fingerprint() const {
    return QCryptographicHash::hash(m_source, QCryptographicHash::Sha1).toHex();
}

} // namespace marlix
