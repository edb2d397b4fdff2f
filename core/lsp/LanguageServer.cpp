#include "core/lsp/LanguageServer.h"

#include "core/common/Error.h"
#include "core/common/Version.h"
#include "core/lsp/ClientText.h"
#include "core/lsp/ScriptCheck.h"
#include "core/lsp/ServerJson.h"
#include "core/modindex/IndexFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QThread>
#include <QUrl>

// The server's lifecycle, the dispatch of messages and the synchronisation of open scripts.
namespace marlix {

namespace {

QString idKey(const QJsonValue &id) {
    return id.isString() ? QStringLiteral("s") + id.toString()
                         : QStringLiteral("n") + QString::number(id.toDouble(), 'g', 17);
}

} // namespace

LanguageServer::LanguageServer(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)) {
    CommandTable table;
    try {
        table = CommandTable::fromProgramFolder(m_options.programFolder);
    } catch (const Error &) {
        // Without the tables the server still synchronises and answers, knowing no names.
    }
    m_index = std::make_unique<ModIndex>(std::move(table));
    m_view = std::make_unique<ModView>(*m_index, m_options.baseFolders);
    try {
        readIntellisenseTable(m_options.programFolder + QStringLiteral("intellisense.ini"),
                              m_triggers);
    } catch (const Error &) {
    }
    m_requests = {
        {QStringLiteral("initialize"), &LanguageServer::initialize},
        {QStringLiteral("textDocument/definition"), &LanguageServer::definition},
        {QStringLiteral("textDocument/references"), &LanguageServer::references},
        {QStringLiteral("textDocument/documentHighlight"), &LanguageServer::documentHighlight},
        {QStringLiteral("textDocument/hover"), &LanguageServer::hover},
        {QStringLiteral("textDocument/documentSymbol"), &LanguageServer::documentSymbol},
        {QStringLiteral("workspace/symbol"), &LanguageServer::workspaceSymbol},
        {QStringLiteral("textDocument/foldingRange"), &LanguageServer::foldingRange},
        {QStringLiteral("textDocument/completion"), &LanguageServer::completion},
        {QStringLiteral("textDocument/codeAction"), &LanguageServer::codeAction},
        {QStringLiteral("textDocument/prepareRename"), &LanguageServer::prepareRename},
        {QStringLiteral("textDocument/rename"), &LanguageServer::rename},
    };
}

LanguageServer::~LanguageServer() {
    if (m_building) {
        m_buildControl->cancel = true;
        m_building->wait();
        delete m_building;
    }
}

void LanguageServer::receive(const QByteArray &bytes) {
    if (!m_exited)
        handleBatch(m_reader.feed(bytes));
}

void LanguageServer::handleBatch(const QList<FramedMessage> &messages) {
    QList<QJsonObject> objects;
    QSet<QString> cancelled;
    for (const FramedMessage &framed : messages) {
        if (framed.failed) {
            respondError(QJsonValue::Null, ParseError, framed.error.reason);
            continue;
        }
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(framed.body, &error);
        if (error.error != QJsonParseError::NoError) {
            respondError(QJsonValue::Null, ParseError,
                         QStringLiteral("not JSON: %1 at byte %2")
                             .arg(error.errorString())
                             .arg(error.offset));
            continue;
        }
        if (!json.isObject()) {
            respondError(QJsonValue::Null, InvalidRequest, QStringLiteral("not a JSON object"));
            continue;
        }
        const QJsonObject object = json.object();
        // A request cancelled in the same breath is answered as cancelled, not worked on.
        if (object.value(QLatin1String("method")).toString() == QLatin1String("$/cancelRequest"))
            cancelled.insert(idKey(object.value(QLatin1String("params"))[QLatin1String("id")]));
        objects.append(object);
    }
    for (const QJsonObject &object : objects) {
        if (m_exited)
            return;
        handle(object, cancelled);
    }
    if (!m_exited)
        publishDiagnostics();
}

void LanguageServer::handle(const QJsonObject &message, const QSet<QString> &cancelled) {
    const QJsonValue id = message.value(QLatin1String("id"));
    const bool request = message.contains(QLatin1String("id"));
    const QJsonValue methodValue = message.value(QLatin1String("method"));
    if (!methodValue.isString()) {
        // A reply to a request of ours (the server sends none) needs no answer.
        if (!message.contains(QLatin1String("result")) && !message.contains(QLatin1String("error")))
            respondError(request ? id : QJsonValue(QJsonValue::Null), InvalidRequest,
                         QStringLiteral("no method"));
        return;
    }
    if (request && !id.isString() && !id.isDouble()) {
        respondError(QJsonValue::Null, InvalidRequest,
                     QStringLiteral("an id must be a number or a string"));
        return;
    }
    const QString method = methodValue.toString();
    const QJsonObject params = message.value(QLatin1String("params")).toObject();

    if (!request) {
        if (method == QLatin1String("exit")) {
            m_exited = true;
            if (m_building)
                m_buildControl->cancel = true;
            if (exitRequested)
                exitRequested(m_shutdown ? 0 : 1);
            return;
        }
        if (!m_initialized || m_shutdown)
            return;
        if (method == QLatin1String("initialized"))
            initialized();
        else if (method == QLatin1String("textDocument/didOpen"))
            didOpen(params);
        else if (method == QLatin1String("textDocument/didChange"))
            didChange(params);
        else if (method == QLatin1String("textDocument/didClose"))
            didClose(params);
        else if (method == QLatin1String("textDocument/didSave"))
            didSave(params);
        else if (method == QLatin1String("workspace/didChangeWatchedFiles"))
            didChangeWatchedFiles(params);
        else if (method == QLatin1String("workspace/didChangeWorkspaceFolders"))
            didChangeWorkspaceFolders(params);
        // Other notifications ($/cancelRequest, $/setTrace, settings) need nothing.
        return;
    }

    if (cancelled.contains(idKey(id))) {
        respondError(id, RequestCancelled, QStringLiteral("cancelled"));
        return;
    }
    if (method == QLatin1String("initialize") && m_initialized) {
        respondError(id, InvalidRequest, QStringLiteral("initialize was already received"));
        return;
    }
    if (method != QLatin1String("initialize") && !m_initialized) {
        respondError(id, ServerNotInitialized, QStringLiteral("initialize first"));
        return;
    }
    if (m_shutdown) {
        respondError(id, InvalidRequest, QStringLiteral("the server is shutting down"));
        return;
    }
    if (method == QLatin1String("shutdown")) {
        m_shutdown = true;
        if (m_building)
            m_buildControl->cancel = true;
        respond(id, QJsonValue::Null);
        return;
    }
    const auto handler = m_requests.constFind(method);
    if (handler == m_requests.cend()) {
        respondError(id, MethodNotFound, QStringLiteral("unknown method %1").arg(method));
        return;
    }
    try {
        // An answer from half an index would be wrong; the first reading takes about a second.
        waitForIndex();
        respond(id, (this->*handler.value())(params));
    } catch (const RequestError &error) {
        respondError(id, error.code, error.message);
    } catch (const Error &error) {
        respondError(id, RequestFailed, error.text());
    } catch (const std::exception &error) {
        respondError(id, InternalError, QString::fromLocal8Bit(error.what()));
    }
}

void LanguageServer::sendObject(const QJsonObject &object) {
    if (send)
        send(frameMessage(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

void LanguageServer::respond(const QJsonValue &id, const QJsonValue &result) {
    sendObject({{"jsonrpc", "2.0"}, {"id", id}, {"result", result}});
}

void LanguageServer::respondError(const QJsonValue &id, int code, const QString &message) {
    sendObject({{"jsonrpc", "2.0"},
                {"id", id},
                {"error", QJsonObject{{"code", code}, {"message", message}}}});
}

void LanguageServer::notify(const QString &method, const QJsonValue &params) {
    sendObject({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
}

QJsonValue LanguageServer::initialize(const QJsonObject &params) {
    QStringList folders;
    for (const QJsonValue &folder : params.value(QLatin1String("workspaceFolders")).toArray())
        folders.append(pathOfUri(folder[QLatin1String("uri")].toString()));
    if (folders.isEmpty() && params.value(QLatin1String("rootUri")).isString())
        folders.append(pathOfUri(params.value(QLatin1String("rootUri")).toString()));
    if (folders.isEmpty() && params.value(QLatin1String("rootPath")).isString())
        folders.append(params.value(QLatin1String("rootPath")).toString());
    for (const QString &folder : std::as_const(folders))
        m_workspaceFolders.append(QDir::cleanPath(folder));
    const QJsonObject options = params.value(QLatin1String("initializationOptions")).toObject();
    for (const QJsonValue &folder : options.value(QLatin1String("baseFolders")).toArray())
        m_options.baseFolders.append(QDir::cleanPath(folder.toString()));
    m_view->setBaseFolders(m_options.baseFolders);
    m_initialized = true;
    // The index is read while the client finishes its own start.
    startIndexBuild();

    const QJsonObject capabilities{
        {"positionEncoding", "utf-16"},
        {"textDocumentSync", QJsonObject{{"openClose", true},
                                         {"change", 2},
                                         {"save", QJsonObject{{"includeText", false}}}}},
        {"definitionProvider", true},
        {"referencesProvider", true},
        {"documentHighlightProvider", true},
        {"hoverProvider", true},
        {"completionProvider", QJsonObject{{"triggerCharacters", QJsonArray{".", " "}}}},
        {"documentSymbolProvider", true},
        {"workspaceSymbolProvider", true},
        {"codeActionProvider", QJsonObject{{"codeActionKinds", QJsonArray{"quickfix"}}}},
        {"renameProvider", QJsonObject{{"prepareProvider", true}}},
        {"foldingRangeProvider", true},
        {"workspace",
         QJsonObject{{"workspaceFolders",
                      QJsonObject{{"supported", true}, {"changeNotifications", true}}}}},
    };
    return QJsonObject{
        {"capabilities", capabilities},
        {"serverInfo", QJsonObject{{"name", "marlix-lsp"}, {"version", versionText()}}}};
}

void LanguageServer::initialized() {}

void LanguageServer::startIndexBuild() {
    if (m_building) {
        m_rebuildWanted = true;
        m_buildControl->cancel = true;
        return;
    }
    QStringList folders;
    for (const QString &folder : m_workspaceFolders + m_options.baseFolders)
        if (QFileInfo(folder).isDir() && !folders.contains(folder))
            folders.append(folder);
    if (!m_options.programFolder.isEmpty())
        m_index->setCacheFile(indexCachePath(m_options.programFolder));
    if (!m_options.indexInBackground) {
        m_index->build(folders);
        indexBuilt();
        return;
    }
    m_buildControl = std::make_shared<BuildControl>();
    ModIndex *index = m_index.get();
    auto control = m_buildControl;
    m_building =
        QThread::create([index, folders, control] { index->build(folders, control.get()); });
    QThread *thread = m_building;
    connect(thread, &QThread::finished, this, [this, thread] {
        if (m_building == thread)
            buildFinished();
    });
    m_building->start();
}

void LanguageServer::buildFinished() {
    std::exchange(m_building, nullptr)->deleteLater();
    if (m_exited || m_shutdown)
        return;
    if (std::exchange(m_rebuildWanted, false)) {
        startIndexBuild();
        return;
    }
    indexBuilt();
    publishDiagnostics();
}

void LanguageServer::waitForIndex() {
    while (m_building) {
        m_building->wait();
        buildFinished();
    }
}

void LanguageServer::indexBuilt() {
    for (const auto &script : m_view->openScripts())
        m_diagnosticsDue.insert(script->uri);
    emit indexReady();
}

void LanguageServer::didOpen(const QJsonObject &params) {
    const QJsonObject document = params.value(QLatin1String("textDocument")).toObject();
    const QString uri = document.value(QLatin1String("uri")).toString();
    m_view->open(uri, pathOfUri(uri), document.value(QLatin1String("version")).toInt(),
                 scriptBytes(document.value(QLatin1String("text")).toString()));
    for (const auto &script : m_view->openScripts())
        m_diagnosticsDue.insert(script->uri);
}

void LanguageServer::didChange(const QJsonObject &params) {
    const QJsonObject document = params.value(QLatin1String("textDocument")).toObject();
    OpenScript *script = m_view->find(document.value(QLatin1String("uri")).toString());
    if (!script)
        return;
    ScriptDocument &doc = *script->document;
    for (const QJsonValue &change : params.value(QLatin1String("contentChanges")).toArray()) {
        const QByteArray text = scriptBytes(change[QLatin1String("text")].toString());
        if (!change.toObject().contains(QLatin1String("range"))) {
            doc.replace(0, doc.size(), text);
            continue;
        }
        const QJsonObject range = change[QLatin1String("range")].toObject();
        const qsizetype from = offsetOf(doc, positionFromJson(range.value(QLatin1String("start"))));
        const qsizetype to = offsetOf(doc, positionFromJson(range.value(QLatin1String("end"))));
        doc.replace(std::min(from, to), std::abs(to - from), text);
    }
    script->version = document.value(QLatin1String("version")).toInt(script->version);
    m_view->changed(*script);
    for (const auto &open : m_view->openScripts())
        m_diagnosticsDue.insert(open->uri);
}

void LanguageServer::didClose(const QJsonObject &params) {
    const QString uri =
        params.value(QLatin1String("textDocument"))[QLatin1String("uri")].toString();
    m_view->close(uri);
    m_diagnosticsDue.remove(uri);
    if (m_published.remove(uri))
        notify(QStringLiteral("textDocument/publishDiagnostics"),
               QJsonObject{{"uri", uri}, {"diagnostics", QJsonArray()}});
    for (const auto &open : m_view->openScripts())
        m_diagnosticsDue.insert(open->uri);
}

void LanguageServer::didSave(const QJsonObject &params) {
    const QString uri =
        params.value(QLatin1String("textDocument"))[QLatin1String("uri")].toString();
    if (OpenScript *script = m_view->find(uri))
        m_index->rereadFile(script->path);
}

void LanguageServer::didChangeWatchedFiles(const QJsonObject &params) {
    for (const QJsonValue &change : params.value(QLatin1String("changes")).toArray())
        m_index->rereadFile(pathOfUri(change[QLatin1String("uri")].toString()));
    for (const auto &open : m_view->openScripts())
        m_diagnosticsDue.insert(open->uri);
}

void LanguageServer::didChangeWorkspaceFolders(const QJsonObject &params) {
    const QJsonObject event = params.value(QLatin1String("event")).toObject();
    for (const QJsonValue &folder : event.value(QLatin1String("removed")).toArray())
        m_workspaceFolders.removeAll(
            QDir::cleanPath(pathOfUri(folder[QLatin1String("uri")].toString())));
    for (const QJsonValue &folder : event.value(QLatin1String("added")).toArray())
        m_workspaceFolders.append(
            QDir::cleanPath(pathOfUri(folder[QLatin1String("uri")].toString())));
    startIndexBuild();
}

void LanguageServer::publishDiagnostics() {
    // Problems found against half an index would be wrong: they wait until it is read.
    if (m_building)
        return;
    const QSet<QString> due = std::exchange(m_diagnosticsDue, {});
    for (const QString &uri : due) {
        OpenScript *script = m_view->find(uri);
        if (!script)
            continue;
        QJsonArray diagnostics;
        for (const ScriptProblem &problem : checkOpenScript(*m_view, *script))
            diagnostics.append(diagnosticJson(problem));
        if (diagnostics.isEmpty())
            m_published.remove(uri);
        else
            m_published.insert(uri);
        notify(
            QStringLiteral("textDocument/publishDiagnostics"),
            QJsonObject{{"uri", uri}, {"version", script->version}, {"diagnostics", diagnostics}});
    }
}

} // namespace marlix
