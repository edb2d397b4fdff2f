#pragma once

// A language server in the test's own process, fed framed messages as a client writes them,
// with the test mod of the index tests as its workspace and the shipped tables beside it.
#include "core/lsp/ClientText.h"
#include "core/lsp/LanguageServer.h"
#include "core/lsp/ServerJson.h"
#include "tests/core/FileBytes.h"
#include "tests/core/modindex/ModTree.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <memory>

struct ServerHarness {
    ModTree tree;
    QTemporaryDir program;
    std::unique_ptr<marlix::LanguageServer> server;
    marlix::MessageReader reader;
    QList<QJsonObject> received;
    int nextId = 1;
    int exitStatus = -1;

    explicit ServerHarness(QStringList baseFolders = {}) {
        const QString data = QStringLiteral(MARLIX_SOURCE_DIR "/data/");
        for (const QString &name : {"modcommands.txt", "knowncommands.txt", "intellisense.ini"})
            QFile::copy(data + name, program.filePath(name));
        QDir().mkpath(program.filePath("completion"));
        for (const QString &name : QDir(data + "completion").entryList(QDir::Files))
            QFile::copy(data + "completion/" + name, program.filePath("completion/" + name));
        marlix::LanguageServer::Options options;
        options.programFolder = program.path() + "/";
        options.baseFolders = baseFolders;
        options.indexInBackground = false;
        server = std::make_unique<marlix::LanguageServer>(options);
        server->send = [this](const QByteArray &framed) {
            for (const marlix::FramedMessage &m : reader.feed(framed))
                received.append(QJsonDocument::fromJson(m.body).object());
        };
        server->exitRequested = [this](int status) { exitStatus = status; };
    }

    void sendRaw(const QByteArray &bytes) { server->receive(bytes); }
    static QByteArray framed(const QJsonObject &message) {
        return marlix::frameMessage(QJsonDocument(message).toJson(QJsonDocument::Compact));
    }
    void notify(const QString &method, const QJsonObject &params = {}) {
        sendRaw(framed({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}}));
    }
    QJsonObject requestMessage(const QString &method, const QJsonValue &params, int id) {
        return {{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}};
    }
    // The answer to one request.
    QJsonObject request(const QString &method, const QJsonValue &params = QJsonObject()) {
        const int id = nextId++;
        sendRaw(framed(requestMessage(method, params, id)));
        return answerTo(id);
    }
    QJsonObject answerTo(int id) const {
        for (const QJsonObject &m : received)
            if (m.value("id") == id && !m.contains("method"))
                return m;
        return {};
    }
    QJsonValue result(const QString &method, const QJsonValue &params) {
        return request(method, params).value("result");
    }

    QString uri(const QString &relative) const { return marlix::uriOfPath(tree.path(relative)); }

    void initialize(const QJsonObject &options = {}) {
        request("initialize",
                QJsonObject{{"processId", QJsonValue::Null},
                            {"workspaceFolders",
                             QJsonArray{QJsonObject{{"uri", marlix::uriOfPath(tree.mod)},
                                                    {"name", "MyMod"}}}},
                            {"initializationOptions", options},
                            {"capabilities", QJsonObject()}});
        notify("initialized");
    }
    void open(const QString &relative, QByteArray text = {}) {
        if (text.isNull())
            text = readAll(tree.path(relative));
        notify("textDocument/didOpen",
               QJsonObject{{"textDocument", QJsonObject{{"uri", uri(relative)},
                                                        {"languageId", "con"},
                                                        {"version", 1},
                                                        {"text", marlix::clientText(text)}}}});
    }
    // The last problems the server published for a script.
    QJsonArray diagnostics(const QString &relative) const {
        for (qsizetype i = received.size() - 1; i >= 0; --i)
            if (received[i].value("method") == "textDocument/publishDiagnostics" &&
                received[i][u"params"][u"uri"] == uri(relative))
                return received[i][u"params"][u"diagnostics"].toArray();
        return {};
    }
    static QJsonObject at(const QString &uri, int line, int character) {
        return {{"textDocument", QJsonObject{{"uri", uri}}},
                {"position", QJsonObject{{"line", line}, {"character", character}}}};
    }
    QJsonObject at(const char *relative, int line, int character) const {
        return at(uri(relative), line, character);
    }
};
