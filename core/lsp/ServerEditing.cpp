#include "core/lsp/LanguageServer.h"

#include "core/lsp/ClientText.h"
#include "core/lsp/ServerJson.h"
#include "core/modindex/NameCompletionSource.h"
#include "core/script/TriggerCompletion.h"
#include "core/script/WordSearch.h"

#include <QJsonArray>

// Changing text: completion, the mending of problems and rename. Each answer is an edit for
// the client to make; the server changes no file itself.
namespace marlix {

namespace {

// The text as it stood before the word being typed: the typed bytes [from, to) left out and
// the caret where they began, so a list is found as the editor found it when it opened.
class TextBeforeWord : public CompletionText {
public:
    TextBeforeWord(const QByteArray &text, qsizetype from, qsizetype to)
        : m_text(text), m_from(from), m_gap(to - from) {}
    qsizetype caret() const override { return m_from; }
    qsizetype size() const override { return m_text.size() - m_gap; }
    QByteArray bytes(qsizetype from, qsizetype to) const override {
        from = std::clamp<qsizetype>(from, 0, size());
        to = std::clamp<qsizetype>(to, from, size());
        if (to <= m_from)
            return m_text.mid(from, to - from);
        if (from >= m_from)
            return m_text.mid(from + m_gap, to - from);
        return m_text.mid(from, m_from - from) + m_text.mid(m_from + m_gap, to - m_from);
    }

private:
    const QByteArray &m_text;
    qsizetype m_from;
    qsizetype m_gap;
};

QByteArray lineEndAfter(const ScriptDocument &doc, int line) {
    const qsizetype end = doc.lineEnd(line);
    const QByteArray ending = doc.text().mid(end, 2);
    if (ending.startsWith("\r\n"))
        return "\r\n";
    if (!ending.isEmpty())
        return ending.left(1);
    return doc.lineEnds() == ScriptDocument::LineEnds::Lf ? "\n" : "\r\n";
}

QJsonObject textEdit(const QJsonObject &range, const QByteArray &text) {
    return {{"range", range}, {"newText", clientText(text)}};
}

} // namespace

QJsonValue LanguageServer::completion(const QJsonObject &params) {
    OpenScript &script = scriptOf(params);
    const ScriptDocument &doc = *script.document;
    const QByteArray &text = doc.text();
    const qsizetype caret = offsetIn(script, params);
    qsizetype wordStart = caret;
    while (wordStart > 0 && isWordByte(static_cast<unsigned char>(text[wordStart - 1])))
        --wordStart;

    TriggerCompletion triggers;
    triggers.setTable(m_triggers);
    triggers.setProgramFolder(m_options.programFolder);
    NameCompletionSource names(*m_index);
    QList<CompletionSource *> sources{&triggers, &names};

    // A trigger that ends at the caret, else a list for the place the typed word began.
    std::optional<CompletionOffer> offer;
    qsizetype typedStart = caret;
    for (qsizetype from : {caret, wordStart}) {
        const TextBeforeWord before(text, from, caret);
        for (CompletionSource *source : sources) {
            if (from == caret && from != wordStart && source == &names)
                continue; // a name is offered for a word, never inside one
            offer = source->offerAt(before);
            if (offer)
                break;
        }
        if (offer) {
            typedStart = from;
            break;
        }
        if (wordStart == caret)
            break;
    }
    QJsonArray items;
    if (!offer)
        return QJsonObject{{"isIncomplete", false}, {"items", items}};
    const QByteArray typed = foldWord(text.mid(typedStart, caret - typedStart));
    const qsizetype replaceFrom =
        offer->style == 0 ? offer->codeStart + offer->code.toLatin1().size() : offer->codeStart;
    const TextPosition start = positionOf(doc, replaceFrom), end = positionOf(doc, caret);
    const QJsonObject range = rangeJson(start.line, start.character, end.line, end.character);
    const bool isName = offer->code.isEmpty();
    for (const QString &item : std::as_const(offer->items)) {
        const QByteArray bytes = item.toLatin1();
        if (!foldWord(bytes).startsWith(typed))
            continue;
        QJsonObject entry{{"label", clientText(bytes)},
                          {"kind", isName ? 7 : 3}, // class for a template, function for a command
                          {"textEdit", textEdit(range, bytes)}};
        if (offer->style != 0)
            entry.insert("filterText", offer->code + clientText(bytes));
        if (isName)
            entry.insert("detail", QStringLiteral("template name"));
        items.append(entry);
    }
    return QJsonObject{{"isIncomplete", false}, {"items", items}};
}

QJsonValue LanguageServer::codeAction(const QJsonObject &params) {
    OpenScript &script = scriptOf(params);
    const ScriptDocument &doc = *script.document;
    const QJsonObject range = params.value(QLatin1String("range")).toObject();
    const int first = positionFromJson(range.value(QLatin1String("start"))).line;
    const int last = positionFromJson(range.value(QLatin1String("end"))).line;
    QJsonArray actions;
    auto action = [&](const QString &title, const QJsonObject &diagnostic,
                      const QJsonObject &edit) {
        actions.append(QJsonObject{
            {"title", title},
            {"kind", "quickfix"},
            {"diagnostics", QJsonArray{diagnostic}},
            {"edit", QJsonObject{{"changes", QJsonObject{{script.uri, QJsonArray{edit}}}}}}});
    };
    // The problems as they stand now, not as the client last heard of them.
    for (const ScriptProblem &problem : checkOpenScript(*m_view, script)) {
        if (problem.line < first || problem.line > last)
            continue;
        const QJsonObject diagnostic = diagnosticJson(problem);
        const QJsonObject problemRange =
            lineRangeJson(problem.line, problem.column, problem.length);
        for (const QByteArray &word : problem.suggestions)
            action(QStringLiteral("Change to %1").arg(clientText(word)), diagnostic,
                   textEdit(problemRange, word));
        action(QStringLiteral("Ignore %1 here").arg(QString::fromLatin1(problem.kind)), diagnostic,
               textEdit(lineRangeJson(problem.line, 0, 0),
                        ignoreRemark(problem.kind) + lineEndAfter(doc, problem.line)));
    }
    return actions;
}

QJsonValue LanguageServer::prepareRename(const QJsonObject &params) {
    OpenScript &script = scriptOf(params);
    const qsizetype at = offsetIn(script, params);
    const RenameScope scope = m_view->renameScope();
    const RenameTarget target = renameTargetAt(scope, script.path, script.document->text(), at);
    if (!target.refusal.isEmpty())
        throw RequestError{RequestFailed, target.refusal};
    // Whatever would refuse every new name refuses now, before the client asks for one.
    const RenamePlan plan =
        planRename(scope, script.path, script.document->text(), at, target.name);
    if (!plan.refusal.isEmpty())
        throw RequestError{RequestFailed, plan.refusal};
    return QJsonObject{
        {"range", lineRangeJson(target.line - 1, target.column, int(target.name.size()))},
        {"placeholder", clientText(target.name)}};
}

QJsonValue LanguageServer::rename(const QJsonObject &params) {
    OpenScript &script = scriptOf(params);
    const QByteArray newName = scriptBytes(params.value(QLatin1String("newName")).toString());
    const RenamePlan plan = planRename(m_view->renameScope(), script.path, script.document->text(),
                                       offsetIn(script, params), newName);
    if (!plan.refusal.isEmpty())
        throw RequestError{RequestFailed, plan.refusal};
    QHash<QString, QJsonArray> edits;
    for (const RenameChange &change : plan.changes)
        edits[change.file].append(
            textEdit(lineRangeJson(change.line - 1, change.column, int(change.before.size())),
                     change.after));
    QJsonObject changes;
    for (auto it = edits.cbegin(); it != edits.cend(); ++it) {
        // An open script is named by the address the client opened it with.
        QString uri = uriOfPath(it.key());
        for (const auto &open : m_view->openScripts())
            if (open->path == it.key())
                uri = open->uri;
        changes.insert(uri, it.value());
    }
    return QJsonObject{{"changes", changes}};
}

} // namespace marlix
