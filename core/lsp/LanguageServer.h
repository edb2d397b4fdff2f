#pragma once

#include "core/lsp/MessageFraming.h"
#include "core/lsp/ModView.h"
#include "core/script/LanguageTables.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>

class QThread;

// The language server: what Marlix knows of a mod, for any editor that speaks the Language
// Server Protocol. It takes framed messages, answers them through `send`, and never writes a
// file: every change it proposes is a workspace edit the client applies.
namespace marlix {

class LanguageServer : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString programFolder;   // the command tables, the language table, the index cache
        QStringList baseFolders; // base-game folders: read, never reported, never renamed
        bool indexInBackground = true;
    };

    // JSON-RPC and protocol error codes.
    enum ErrorCode {
        ParseError = -32700,
        InvalidRequest = -32600,
        MethodNotFound = -32601,
        InvalidParams = -32602,
        InternalError = -32603,
        ServerNotInitialized = -32002,
        RequestFailed = -32803,
        RequestCancelled = -32800,
    };

    explicit LanguageServer(Options options, QObject *parent = nullptr);
    ~LanguageServer() override;

    // Where framed messages go out.
    std::function<void(const QByteArray &framed)> send;
    // Called once an exit notification arrived, with the status the process ends with.
    std::function<void(int status)> exitRequested;

    // Bytes as they arrive on the input.
    void receive(const QByteArray &bytes);
    // The input ended without an exit notification.
    int statusAtEndOfInput() const { return m_shutdown ? 0 : 1; }

    const ModIndex &index() const { return *m_index; }
    bool isIndexing() const { return m_building != nullptr; }

signals:
    void indexReady();

private:
    using Handler = QJsonValue (LanguageServer::*)(const QJsonObject &params);

    void handleBatch(const QList<FramedMessage> &messages);
    void handle(const QJsonObject &message, const QSet<QString> &cancelled);
    void respond(const QJsonValue &id, const QJsonValue &result);
    void respondError(const QJsonValue &id, int code, const QString &message);
    void notify(const QString &method, const QJsonValue &params);
    void sendObject(const QJsonObject &object);

    // Lifecycle and synchronisation (LanguageServer.cpp).
    QJsonValue initialize(const QJsonObject &params);
    void initialized();
    void startIndexBuild();
    void indexBuilt();
    void buildFinished();
    void waitForIndex();
    void didOpen(const QJsonObject &params);
    void didChange(const QJsonObject &params);
    void didClose(const QJsonObject &params);
    void didSave(const QJsonObject &params);
    void didChangeWatchedFiles(const QJsonObject &params);
    void didChangeWorkspaceFolders(const QJsonObject &params);
    void publishDiagnostics();

    // Finding one's way (ServerNavigation.cpp).
    QJsonValue definition(const QJsonObject &params);
    QJsonValue references(const QJsonObject &params);
    QJsonValue documentHighlight(const QJsonObject &params);
    QJsonValue hover(const QJsonObject &params);
    QJsonValue documentSymbol(const QJsonObject &params);
    QJsonValue workspaceSymbol(const QJsonObject &params);
    QJsonValue foldingRange(const QJsonObject &params);

    // Changing text (ServerEditing.cpp).
    QJsonValue completion(const QJsonObject &params);
    QJsonValue codeAction(const QJsonObject &params);
    QJsonValue prepareRename(const QJsonObject &params);
    QJsonValue rename(const QJsonObject &params);

    // The open script a request names; throws a request error when it is not open.
    OpenScript &scriptOf(const QJsonObject &params);
    qsizetype offsetIn(OpenScript &script, const QJsonObject &params) const;

    Options m_options;
    std::unique_ptr<ModIndex> m_index;
    std::unique_ptr<ModView> m_view;
    MessageReader m_reader;
    IntellisenseTable m_triggers;
    QStringList m_workspaceFolders;
    QHash<QString, Handler> m_requests;
    QSet<QString> m_diagnosticsDue; // addresses of open scripts
    QSet<QString> m_published;      // addresses that carry problems in the client
    QThread *m_building = nullptr;
    std::shared_ptr<BuildControl> m_buildControl;
    bool m_rebuildWanted = false;
    bool m_initialized = false;
    bool m_shutdown = false;
    bool m_exited = false;
};

// A request that fails with a protocol error.
struct RequestError {
    int code;
    QString message;
};

} // namespace marlix
