#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One problem the mod check finds, in the words the editor, marlix-modcheck and the language
// server all use: its kind, its severity, the message, the names suggested instead, and for a
// name defined twice or overridden, the other definition.
namespace marlix {

struct ModProblem {
    enum Kind { UndefinedName, DuplicateName, MissingFile, UnknownCommand, Override };
    enum Severity { Error, Warning, Information };

    Kind kind = UndefinedName;
    QString file;
    int line = 0; // from 1
    QString message;
    Severity severity = Error;
    int column = 0;    // byte offset of the word in its line, from 0
    int endColumn = 0; // one past its last byte
    QByteArray name;   // the name, command or path the problem is about, as written
    QStringList suggestions;
    QString relatedFile; // the other definition of a duplicate or an override
    int relatedLine = 0;
};

// "undefined-name", "duplicate-name", "missing-file", "unknown-command", "override".
QString kindName(ModProblem::Kind kind);
// The kind of a name given by kindName, letter case ignored; false for none.
bool kindFromName(const QString &name, ModProblem::Kind &kind);
// "error", "warning", "information".
QString severityName(ModProblem::Severity severity);
bool severityFromName(const QString &name, ModProblem::Severity &severity);

// Script text in a message: control characters (C0, DEL and C1) become \xHH, so printing a
// message never sends a terminal a command.
QString printableText(const QByteArray &bytes);
QString printableText(const QString &text);

} // namespace marlix
