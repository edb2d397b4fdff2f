#include "core/modindex/ScriptScanner.h"

#include "core/script/WordSearch.h"

#include <QVarLengthArray>

namespace marlix {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

struct Token {
    int start = 0;
    int end = 0; // one past the last byte, quotes included
};

// Most lines hold a command and a few arguments; longer ones spill to the heap.
using Tokens = QVarLengthArray<Token, 12>;

// Splits a line into blank-separated tokens; a token that opens with a quote runs to the
// closing quote, blanks included. Stops at a "rem" token: the rest of the line is a remark.
// `firstOnly` reads just the command.
void tokenize(const char *data, int size, Tokens &tokens, bool firstOnly = false) {
    tokens.clear();
    int i = 0;
    while (i < size) {
        while (i < size && isBlank(data[i]))
            ++i;
        if (i >= size)
            break;
        Token token{i, i};
        if (data[i] == '"') {
            ++i;
            while (i < size && data[i] != '"')
                ++i;
            if (i < size)
                ++i;
        }
        while (i < size && !isBlank(data[i]))
            ++i;
        token.end = i;
        if (token.end - token.start == 3 && foldByte(data[token.start]) == 'r' &&
            foldByte(data[token.start + 1]) == 'e' && foldByte(data[token.start + 2]) == 'm')
            break;
        tokens.append(token);
        if (firstOnly)
            break;
    }
}

// A token in folded form for table lookups. Two million lines go through this in a large
// mod, so short tokens are folded on the stack instead of in a new allocation.
class FoldedToken {
public:
    FoldedToken(const char *data, const Token &token) {
        const int size = token.end - token.start;
        if (size > int(sizeof m_buffer)) {
            m_bytes = foldWord(QByteArray(data + token.start, size));
            return;
        }
        for (int i = 0; i < size; ++i)
            m_buffer[i] = char(foldByte(data[token.start + i]));
        m_bytes = QByteArray::fromRawData(m_buffer, size);
    }
    FoldedToken(const FoldedToken &) = delete;
    FoldedToken &operator=(const FoldedToken &) = delete;
    const QByteArray &bytes() const { return m_bytes; }

private:
    char m_buffer[96];
    QByteArray m_bytes;
};

// A name argument without the quotes around it; `column` moves past an opening quote.
QByteArray unquoted(const char *data, const Token &token, int &column) {
    int start = token.start, end = token.end;
    if (end - start >= 2 && data[start] == '"' && data[end - 1] == '"') {
        ++start;
        --end;
    }
    column = start;
    return QByteArray(data + start, end - start);
}

QByteArray filePath(QByteArray written, bool run) {
    written.replace('\\', '/');
    if (run) {
        const qsizetype slash = written.lastIndexOf('/');
        if (written.indexOf('.', slash + 1) < 0)
            written += ".con";
    }
    return written;
}

enum class LineKind { Code, Remark, BlockStart, BlockEnd };

bool isLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

LineKind lineKind(const QByteArray &command) {
    if (command == "rem" || (command.startsWith("rem") && !isLetterOrDigit(command[3])))
        return LineKind::Remark;
    if (command == "beginrem")
        return LineKind::BlockStart;
    if (command == "endrem")
        return LineKind::BlockEnd;
    return LineKind::Code;
}

bool looksLikeCommand(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

void scanCodeLine(const char *data, const Tokens &tokens, const QByteArray &command, int lineNumber,
                  const CommandTable &table, ScriptScan &scan) {
    const Token &first = tokens.first();
    const int arguments = int(tokens.size()) - 1;
    if (command == "include" || command == "run") {
        if (arguments >= 1) {
            FileReference file;
            file.written = unquoted(data, tokens[1], file.column);
            file.run = command == "run";
            file.path = filePath(file.written, file.run);
            file.line = lineNumber;
            scan.files.append(file);
        }
        return;
    }
    if (const CommandRule *rule = table.rule(command)) {
        if (rule->nameArgument > arguments)
            return;
        int column = 0;
        const QByteArray name = unquoted(data, tokens[rule->nameArgument], column);
        if (rule->kind == CommandRule::Define) {
            NameDefinition definition{rule->family, {}, name, lineNumber, column};
            if (rule->typeArgument > 0 && rule->typeArgument <= arguments) {
                int ignored = 0;
                definition.type = unquoted(data, tokens[rule->typeArgument], ignored);
            }
            scan.definitions.append(definition);
        } else {
            scan.references.append({rule->family, rule->families, name,
                                    QByteArray(data + first.start, first.end - first.start),
                                    lineNumber, column});
        }
        return;
    }
    if (looksLikeCommand(data[first.start]) && !table.isKnown(command))
        scan.unknownCommands.append(
            {QByteArray(data + first.start, first.end - first.start), lineNumber, first.start});
}

// Reads "rem marlix: ignore[-file] KIND..." from a line that starts with "rem".
bool ignoreDirective(const char *line, int length, IgnoreDirective &directive) {
    const QByteArray words = QByteArray(line, length).simplified().toLower();
    static const QByteArray mark = "rem marlix: ignore";
    if (!words.startsWith(mark))
        return false;
    QByteArrayList rest = words.mid(mark.size()).split(' ');
    if (rest.first() == "-file")
        directive.line = 0;
    else if (rest.first().isEmpty())
        directive.line = -1; // the next line of code, filled in by the caller
    else
        return false;
    rest.removeFirst();
    rest.removeAll(QByteArray());
    directive.kinds = rest;
    return true;
}

// Walks the lines of a text, keeping track of beginRem blocks. `visit` receives every line
// that is code, with its number, bytes and tokens, and returns false to stop; `remark` every
// line that starts with a lone "rem" outside a block.
template <typename Visit, typename Remark>
void forEachCodeLine(const QByteArray &text, Visit visit, Remark remark) {
    const char *data = text.constData();
    const qsizetype size = text.size();
    bool inBlock = false;
    int lineNumber = 0;
    Tokens tokens;
    for (qsizetype start = 0; start < size;) {
        qsizetype end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        ++lineNumber;
        const char *line = data + start;
        const int length = int(end - start);
        tokenize(line, length, tokens, inBlock);
        if (!tokens.isEmpty()) {
            const FoldedToken command(line, tokens.first());
            const LineKind kind = lineKind(command.bytes());
            if (inBlock)
                inBlock = kind != LineKind::BlockEnd;
            else if (kind == LineKind::BlockStart)
                inBlock = true;
            else if (kind == LineKind::Code &&
                     !visit(lineNumber, start, line, tokens, command.bytes()))
                return;
        } else if (!inBlock) {
            remark(lineNumber, line, length);
        }
        start = end + 1;
        if (end < size && data[end] == '\r' && start < size && data[start] == '\n')
            ++start;
    }
}

template <typename Visit> void forEachCodeLine(const QByteArray &text, Visit visit) {
    forEachCodeLine(text, visit, [](int, const char *, int) {});
}

} // namespace

ScriptScan scanScript(const QByteArray &text, const CommandTable &table) {
    ScriptScan scan;
    int pending = 0; // directives waiting for their line of code
    forEachCodeLine(
        text,
        [&](int lineNumber, qsizetype, const char *line, const Tokens &tokens,
            const QByteArray &command) {
            for (; pending > 0; --pending)
                scan.ignores[scan.ignores.size() - pending].line = lineNumber;
            scanCodeLine(line, tokens, command, lineNumber, table, scan);
            return true;
        },
        [&](int, const char *line, int length) {
            IgnoreDirective directive;
            if (length < 6 || !ignoreDirective(line, length, directive))
                return;
            // A whole-script directive goes in front, so waiting ones stay at the end.
            if (directive.line == 0) {
                scan.ignores.insert(scan.ignores.size() - pending, directive);
            } else {
                scan.ignores.append(directive);
                ++pending;
            }
        });
    scan.ignores.resize(scan.ignores.size() - pending);
    return scan;
}

ScriptSymbol symbolAt(const QByteArray &text, qsizetype position, const CommandTable &table) {
    ScriptSymbol symbol;
    // The line holding the position is the first code line that does not end before it.
    forEachCodeLine(text, [&](int lineNumber, qsizetype start, const char *line,
                              const Tokens &tokens, const QByteArray &command) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        if (position > end)
            return true;
        if (position >= start) {
            ScriptScan scan;
            scanCodeLine(line, tokens, command, lineNumber, table, scan);
            const int column = int(position - start);
            auto covers = [column](int from, int size) {
                return column >= from && column <= from + size;
            };
            for (const NameDefinition &d : scan.definitions)
                if (covers(d.column, d.name.size()))
                    symbol = {ScriptSymbol::Definition,
                              d.family,
                              {d.family},
                              d.name,
                              lineNumber,
                              d.column,
                              int(d.name.size())};
            for (const NameReference &r : scan.references)
                if (covers(r.column, r.name.size()))
                    symbol = {
                        ScriptSymbol::Reference, r.family, r.families, r.name, lineNumber, r.column,
                        int(r.name.size())};
            for (const FileReference &f : scan.files)
                if (covers(f.column, f.written.size()))
                    symbol = {ScriptSymbol::File,   {}, {}, f.path, lineNumber, f.column,
                              int(f.written.size())};
        }
        return false;
    });
    return symbol;
}

bool nameCompletionAt(const QByteArray &line, int column, const CommandTable &table,
                      NameCompletion &completion) {
    if (column < 0 || column > line.size())
        return false;
    Tokens tokens;
    tokenize(line.constData(), column, tokens);
    if (tokens.isEmpty())
        return false;
    const CommandRule *rule = table.rule(FoldedToken(line.constData(), tokens.first()).bytes());
    if (!rule || rule->kind != CommandRule::Refer)
        return false;
    const bool afterBlank = isBlank(line[column - 1]);
    const int argument = int(tokens.size()) - (afterBlank ? 0 : 1);
    if (argument != rule->nameArgument)
        return false;
    completion.family = rule->family;
    completion.families = rule->families;
    completion.start = afterBlank ? column : tokens.last().start;
    if (completion.start < column && line[completion.start] == '"')
        ++completion.start;
    completion.prefix = line.mid(completion.start, column - completion.start);
    return true;
}

bool endsInRemBlock(const QByteArray &text) {
    // The nearest beginRem or endRem line decides: after an endRem no block is open, and a
    // beginRem either opens one or stands inside one already. Walking back keeps the cost to
    // the lines after it.
    Tokens tokens;
    for (qsizetype end = text.size(); end > 0;) {
        qsizetype start = end;
        while (start > 0 && text[start - 1] != '\r' && text[start - 1] != '\n')
            --start;
        tokenize(text.constData() + start, int(end - start), tokens, true);
        if (!tokens.isEmpty()) {
            const LineKind kind =
                lineKind(FoldedToken(text.constData() + start, tokens.first()).bytes());
            if (kind == LineKind::BlockStart || kind == LineKind::BlockEnd)
                return kind == LineKind::BlockStart;
        }
        end = start > 0 ? start - 1 : 0;
    }
    return false;
}

} // namespace marlix
