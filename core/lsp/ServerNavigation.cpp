#include "core/lsp/LanguageServer.h"

#include "core/lsp/ClientText.h"
#include "core/lsp/ServerJson.h"
#include "core/script/WordSearch.h"

#include <QJsonArray>

// Finding one's way: definitions, references, hover, symbols and folds.
namespace marlix {

namespace {

QString text(const QByteArray &bytes) {
    return clientText(bytes);
}

QJsonObject entryLocation(const IndexEntry &e) {
    return locationJson(e.file, e.line - 1, e.column, int(e.name.size()));
}

// The first blank-separated word of a line and where it starts.
QByteArray firstWord(const QByteArray &line, int &start) {
    start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    int end = start;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t')
        ++end;
    return line.mid(start, end - start);
}

QString commandHover(const CommandTable &table, const QByteArray &command) {
    const QByteArray folded = foldWord(command);
    QString hover;
    if (table.isKnown(folded))
        hover = QStringLiteral("`%1`: a known command").arg(text(command));
    else
        hover = QStringLiteral("`%1` is not in the table of known commands (knowncommands.txt)")
                    .arg(text(command));
    if (const CommandRule *rule = table.rule(folded)) {
        if (rule->kind == CommandRule::Define) {
            hover += QStringLiteral("\n\nDefines a %1: the name is argument %2")
                         .arg(text(rule->family))
                         .arg(rule->nameArgument);
            if (rule->typeArgument > 0)
                hover += QStringLiteral(", the type argument %1").arg(rule->typeArgument);
        } else {
            hover += QStringLiteral("\n\nNames a %1 defined elsewhere: argument %2")
                         .arg(text(rule->family))
                         .arg(rule->nameArgument);
        }
        hover += QStringLiteral(" (modcommands.txt)");
    }
    return hover;
}

} // namespace

OpenScript &LanguageServer::scriptOf(const QJsonObject &params) {
    const QString uri =
        params.value(QLatin1String("textDocument"))[QLatin1String("uri")].toString();
    OpenScript *script = m_view->find(uri);
    if (!script)
        throw RequestError{InvalidParams, QStringLiteral("%1 is not open").arg(uri)};
    return *script;
}

qsizetype LanguageServer::offsetIn(OpenScript &script, const QJsonObject &params) const {
    return offsetOf(*script.document, positionFromJson(params.value(QLatin1String("position"))));
}

QJsonValue LanguageServer::definition(const QJsonObject &params) {
    OpenScript &script = scriptOf(params);
    const ScriptSymbol symbol =
        m_index->symbolAt(script.document->text(), offsetIn(script, params));
    QJsonArray locations;
    if (symbol.kind == ScriptSymbol::File) {
        const QString target = m_index->resolveFile(script.path, symbol.name);
        if (!target.isEmpty())
            locations.append(locationJson(target, 0, 0, 0));
    } else if (symbol.kind != ScriptSymbol::None) {
        for (const IndexEntry &e : m_view->definitions(symbol.name, symbol.family))
            locations.append(entryLocation(e));
    }
    return locations.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(locations);
}

QJsonValue LanguageServer::references(const QJsonObject &params) {
    OpenScript &script = scriptOf(params);
    const ScriptSymbol symbol =
        m_index->symbolAt(script.document->text(), offsetIn(script, params));
    if (symbol.kind != ScriptSymbol::Definition && symbol.kind != ScriptSymbol::Reference)
        return QJsonValue::Null;
    QJsonArray locations;
    const bool declarations =
        params.value(QLatin1String("context"))[QLatin1String("includeDeclaration")].toBool(true);
    if (declarations)
        for (const IndexEntry &e : m_view->definitions(symbol.name, symbol.family))
            locations.append(entryLocation(e));
    for (const IndexEntry &e : m_view->references(symbol.name, symbol.family))
        locations.append(entryLocation(e));
    return locations;
}

QJsonValue LanguageServer::documentHighlight(const QJsonObject &params) {
    OpenScript &script = scriptOf(params);
    const ScriptSymbol symbol =
        m_index->symbolAt(script.document->text(), offsetIn(script, params));
    if (symbol.kind != ScriptSymbol::Definition && symbol.kind != ScriptSymbol::Reference)
        return QJsonValue::Null;
    const QByteArray name = foldWord(symbol.name), family = foldWord(symbol.family);
    const ScriptScan &scan = m_view->scanOf(script);
    QJsonArray highlights;
    // Kinds of the protocol: 2 read, 3 write.
    for (const NameDefinition &d : scan.definitions)
        if (foldWord(d.name) == name && foldWord(d.family) == family)
            highlights.append(QJsonObject{
                {"range", lineRangeJson(d.line - 1, d.column, int(d.name.size()))}, {"kind", 3}});
    for (const NameReference &r : scan.references)
        if (foldWord(r.name) == name && foldWord(r.family) == family)
            highlights.append(QJsonObject{
                {"range", lineRangeJson(r.line - 1, r.column, int(r.name.size()))}, {"kind", 2}});
    return highlights;
}

QJsonValue LanguageServer::hover(const QJsonObject &params) {
    OpenScript &script = scriptOf(params);
    const qsizetype at = offsetIn(script, params);
    const ScriptSymbol symbol = m_index->symbolAt(script.document->text(), at);
    QString value;
    QJsonObject range;
    if (symbol.kind == ScriptSymbol::Definition || symbol.kind == ScriptSymbol::Reference) {
        range = lineRangeJson(symbol.line - 1, symbol.column, symbol.length);
        const QList<IndexEntry> definitions = m_view->definitions(symbol.name, symbol.family);
        value = QStringLiteral("**%1** `%2`").arg(text(symbol.family), text(symbol.name));
        if (definitions.isEmpty())
            value += QStringLiteral("\n\nNot defined in the mod");
        for (const IndexEntry &e : definitions) {
            value += QStringLiteral("\n\n");
            if (!e.type.isEmpty())
                value += QStringLiteral("type `%1`, ").arg(text(e.type));
            value += QStringLiteral("defined at %1:%2").arg(e.file).arg(e.line);
        }
    } else if (symbol.kind == ScriptSymbol::File) {
        range = lineRangeJson(symbol.line - 1, symbol.column, symbol.length);
        const QString target = m_index->resolveFile(script.path, symbol.name);
        value = target.isEmpty() ? QStringLiteral("Names no file: `%1`").arg(text(symbol.name))
                                 : QStringLiteral("Script %1").arg(target);
    } else {
        const ScriptDocument &doc = *script.document;
        const int line = doc.lineOfPosition(at);
        int start = 0;
        const QByteArray command = firstWord(doc.lineText(line), start);
        const int column = int(at - doc.lineStart(line));
        if (command.isEmpty() || column < start || column > start + command.size() ||
            foldWord(command) == "rem")
            return QJsonValue::Null;
        range = lineRangeJson(line, start, int(command.size()));
        value = commandHover(m_index->commandTable(), command);
    }
    return QJsonObject{{"contents", QJsonObject{{"kind", "markdown"}, {"value", value}}},
                       {"range", range}};
}

QJsonValue LanguageServer::documentSymbol(const QJsonObject &params) {
    OpenScript &script = scriptOf(params);
    const ScriptDocument &doc = *script.document;
    QJsonArray symbols;
    for (const ObjectRow &row : doc.objects()) {
        const QByteArray name = row.name.trimmed();
        if (name.isEmpty())
            continue;
        const TextPosition start = positionOf(doc, row.keyword);
        const TextPosition nameStart = positionOf(doc, row.textStart + row.type.size());
        const int end = int(row.lineEnd - doc.lineStart(start.line));
        symbols.append(QJsonObject{
            {"name", text(name)},
            {"detail", text(row.type.trimmed())},
            {"kind", 5}, // class: a template
            {"range", rangeJson(start.line, start.character, start.line, end)},
            {"selectionRange", rangeJson(nameStart.line, nameStart.character, start.line, end)}});
    }
    return symbols;
}

QJsonValue LanguageServer::workspaceSymbol(const QJsonObject &params) {
    const QByteArray query = foldWord(scriptBytes(params.value(QLatin1String("query")).toString()));
    constexpr int Most = 1000;
    QJsonArray symbols;
    QSet<QString> openPaths;
    auto add = [&](const QString &file, const NameDefinition &d) {
        if (symbols.size() >= Most || !foldWord(d.name).contains(query))
            return;
        symbols.append(QJsonObject{
            {"name", text(d.name)},
            {"kind", 5},
            {"containerName", text(d.family)},
            {"location", locationJson(file, d.line - 1, d.column, int(d.name.size()))}});
    };
    for (const auto &script : m_view->openScripts()) {
        openPaths.insert(script->path);
        for (const NameDefinition &d : m_view->scanOf(*script).definitions)
            add(script->path, d);
    }
    m_index->forEachFile([&](const IndexedFile &file) {
        if (!openPaths.contains(file.path))
            for (const NameDefinition &d : file.scan.definitions)
                add(file.path, d);
    });
    return symbols;
}

QJsonValue LanguageServer::foldingRange(const QJsonObject &params) {
    OpenScript &script = scriptOf(params);
    const ScriptDocument &doc = *script.document;
    QJsonArray ranges;
    QList<int> ifs;
    int remStart = -1;
    for (int line = 0; line < doc.lineCount(); ++line) {
        int start = 0;
        const QByteArray word = foldWord(firstWord(doc.lineText(line), start));
        if (remStart >= 0) {
            if (word == "endrem") {
                ranges.append(
                    QJsonObject{{"startLine", remStart}, {"endLine", line}, {"kind", "comment"}});
                remStart = -1;
            }
        } else if (word == "beginrem") {
            remStart = line;
        } else if (word == "if") {
            ifs.append(line);
        } else if (word == "endif" && !ifs.isEmpty()) {
            ranges.append(
                QJsonObject{{"startLine", ifs.takeLast()}, {"endLine", line}, {"kind", "region"}});
        }
    }
    return ranges;
}

} // namespace marlix
