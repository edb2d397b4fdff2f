#pragma once

#include "core/modindex/CommandTable.h"

#include <QByteArray>
#include <QList>

// Reading one script for the mod index: the named things it defines, the names it refers to,
// the files it includes or runs and the commands the known-command table does not hold.
// Lines count from 1, columns are byte offsets within the line. Commands, families and names
// compare ignoring letter case; text after a "rem", lines whose first word is "rem" followed
// by marks that are no letters or digits ("rem-----", "rem***") and lines between "beginRem"
// and "endRem" are not code.
namespace marlix {

struct NameDefinition {
    QByteArray family; // as the command table writes it
    QByteArray type;   // empty when the command names no type
    QByteArray name;
    int line = 0;
    int column = 0;
};

struct NameReference {
    QByteArray family;       // the (first) family the command refers to
    QByteArrayList families; // every family the name may be of
    QByteArray name;
    QByteArray command; // as written in the script
    int line = 0;
    int column = 0;
};

// An include or run line. `path` is relative to the script's folder, with "/" separators and
// the ".con" that a run without extension means.
struct FileReference {
    QByteArray path;
    QByteArray written; // the argument as it stands in the script
    bool run = false;
    int line = 0;
    int column = 0;
};

struct UnknownCommand {
    QByteArray command;
    int line = 0;
    int column = 0;
};

// "rem marlix: ignore KIND..." silences those kinds of problem (no kind: all) on the next
// line of code; "rem marlix: ignore-file KIND..." in the whole script. Kinds are the words
// of the problem model (undefined-name, unknown-command...), folded.
struct IgnoreDirective {
    int line = 0; // the line silenced; 0 for the whole script
    QByteArrayList kinds;
};

struct ScriptScan {
    QList<NameDefinition> definitions;
    QList<NameReference> references;
    QList<FileReference> files;
    QList<UnknownCommand> unknownCommands;
    QList<IgnoreDirective> ignores;
};

ScriptScan scanScript(const QByteArray &text, const CommandTable &table);

// What stands at a byte position of a script's text: a defined or referred name (with its
// family) or an include/run path. A position just after the last character still counts.
struct ScriptSymbol {
    enum Kind { None, Definition, Reference, File };
    Kind kind = None;
    QByteArray family;
    QByteArrayList families; // for a reference: every family its name may be of
    QByteArray name;         // for File: the relative path as in FileReference::path
    int line = 0;
    int column = 0;
    int length = 0;
};
ScriptSymbol symbolAt(const QByteArray &text, qsizetype position, const CommandTable &table);

// Template-name completion: when the caret (a byte column of `line`) stands in the name
// argument of a reference command, the family to offer and the typed part of the name, which
// starts at `start`.
struct NameCompletion {
    QByteArray family;
    QByteArrayList families;
    QByteArray prefix;
    int start = 0;
};
bool nameCompletionAt(const QByteArray &line, int column, const CommandTable &table,
                      NameCompletion &completion);

// Whether a line that follows the text would stand inside a beginRem block.
bool endsInRemBlock(const QByteArray &text);

} // namespace marlix
