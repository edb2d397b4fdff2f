#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QString>

// The table of command help, commandhelp.txt beside the executable: one command a line, its
// argument names, then "|" and one line of explanation:
//
//   ObjectTemplate.setPosition x/y/z | Where the part sits, relative to the object it is on.
//
// "#" starts a remark line. Commands compare ignoring letter case, as the game reads them; a
// later line for the same command replaces an earlier one, so lines added at the end win.
namespace marlix {

struct CommandHelpEntry {
    QByteArray command; // as the table spells it
    QByteArrayList arguments;
    QByteArray explanation;
};

class CommandHelp {
public:
    static QString fileName() { return QStringLiteral("commandhelp.txt"); }
    // Lines longer than 1,000 bytes and every line after the 20,000th are skipped.
    static CommandHelp parse(const QByteArray &bytes);
    // A missing or unreadable file gives an empty table; at most 4 MB of it are read.
    static CommandHelp fromFile(const QString &path);

    const CommandHelpEntry *find(const QByteArray &command) const;
    qsizetype size() const { return m_entries.size(); }

private:
    QHash<QByteArray, CommandHelpEntry> m_entries; // by the command in lower case
};

// The command of a script line and where a byte column of it stands: on the command itself
// (argument -1) or in argument k (counting from 0). False for a line without a command, a
// remark line, or a column past an inline "rem".
struct CommandPlace {
    QByteArray command;
    int commandStart = 0;
    int commandEnd = 0;
    int argument = -1;
};
bool commandPlaceAt(const QByteArray &line, int column, CommandPlace &place);

} // namespace marlix
