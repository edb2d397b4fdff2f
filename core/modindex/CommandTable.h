#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QSet>
#include <QString>

// The tables that tell the mod index what a script line means: which commands define a named
// thing or refer to one (modcommands.txt) and which commands exist at all
// (knowncommands.txt). Both ship beside the executable and may be extended by the user.
namespace marlix {

struct CommandRule {
    enum Kind { Define, Refer };
    Kind kind = Define;
    QByteArray family;       // as written in the table, e.g. "GeometryTemplate"; the first one
    QByteArrayList families; // every family a refer line names (a define names one)
    int nameArgument = 0;    // counting from 1 after the command
    int typeArgument = 0;    // 0: the command names no type
};

class CommandTable {
public:
    // Lines of modcommands.txt: "define COMMAND FAMILY NAME-ARG [TYPE-ARG]" or
    // "refer COMMAND FAMILY... NAME-ARG" (the name may be of any of the families); blank lines
    // and lines starting with # are skipped.
    // Throws Error naming the file and line for a line of neither form.
    void addRules(const QByteArray &text, const QString &fileName = QString());
    // Lines of knowncommands.txt: one command a line; # starts a remark line. A line ending
    // in ".*" makes every command that begins with the rest known (ScoreManager.*).
    void addKnownCommands(const QByteArray &text);
    // Commands known besides the tables, such as those the base game's own scripts use.
    void addKnownCommand(const QByteArray &foldedCommand) { m_known.insert(foldedCommand); }

    // Reads both files from the folder (which ends in a separator). A missing file fails with
    // "Cannot open file %s".
    static CommandTable fromProgramFolder(const QString &folder);

    // `foldedCommand` is the command in folded form (foldWord); null when it has no rule.
    const CommandRule *rule(const QByteArray &foldedCommand) const;
    bool isKnown(const QByteArray &foldedCommand) const;
    // Every known command, spelt as the tables write it, for "did you mean".
    const QByteArrayList &knownSpellings() const { return m_spellings; }
    // The family as the table writes it, for a folded family name; the name itself if none.
    QByteArray familyName(const QByteArray &foldedFamily) const;

    // Changes whenever the tables change, so a cache made with other tables is not reused.
    QByteArray fingerprint() const;

private:
    QHash<QByteArray, CommandRule> m_rules;
    QSet<QByteArray> m_known;
    QByteArrayList m_knownPrefixes; // folded, from lines ending in ".*"
    QByteArrayList m_spellings;
    QHash<QByteArray, QByteArray> m_familyNames;
    QByteArray m_source;
};

} // namespace marlix
