// marlix-lsp on the generated mod of 5,000 scripts, as a client sees it: initialise and index
// (until the first answer), definition and references, the problems of a changed script, and
// the server's resident memory. Then the preview of a rename of a name used 500 times.
#include "bench/GeneratedMod.h"

#include "core/lsp/MessageFraming.h"
#include "core/lsp/ServerJson.h"
#include "core/modindex/ModIndex.h"
#include "core/modindex/Rename.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace marlix;

namespace {

double ms(const QElapsedTimer &timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

struct Server {
    QProcess process;
    MessageReader reader;
    QList<QJsonObject> pending;
    int nextId = 1;

    void send(const QJsonObject &message) {
        process.write(frameMessage(QJsonDocument(message).toJson(QJsonDocument::Compact)));
        process.waitForBytesWritten(10000);
    }
    QJsonObject next() {
        while (pending.isEmpty()) {
            if (process.bytesAvailable() == 0 && !process.waitForReadyRead(30000))
                qFatal("the server stopped answering");
            for (const FramedMessage &m : reader.feed(process.readAllStandardOutput()))
                pending.append(QJsonDocument::fromJson(m.body).object());
        }
        return pending.takeFirst();
    }
    QJsonObject request(const QString &method, const QJsonObject &params) {
        const int id = nextId++;
        send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
        for (;;) {
            const QJsonObject m = next();
            if (m.value("id") == id)
                return m;
        }
    }
    void notify(const QString &method, const QJsonObject &params) {
        send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
    }
    QJsonObject nextDiagnostics() {
        for (;;) {
            const QJsonObject m = next();
            if (m.value("method") == "textDocument/publishDiagnostics")
                return m;
        }
    }
    long statusKb(const char *field) const {
        QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith(field))
                return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
        return -1;
    }
};

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir, program;
    const QString mod = dir.filePath("BenchMod");
    generated::generateMod(mod);
    // One name used 500 times across the mod, for the rename.
    for (int i = 0; i < 500; ++i) {
        QFile file(generated::scriptPath(mod, i * 10));
        file.open(QIODevice::Append);
        file.write(i == 0 ? "ObjectTemplate.create SimpleObject Popular_Part\r\n"
                          : "ObjectTemplate.addTemplate Popular_Part\r\n");
    }
    for (const char *table : {"modcommands.txt", "knowncommands.txt", "intellisense.ini"})
        QFile::copy(QStringLiteral(MARLIX_DATA_DIR) + table, program.filePath(table));
    QFile::copy(LSP_EXE, program.filePath("marlix-lsp"));

    Server server;
    QElapsedTimer timer;
    timer.start();
    server.process.start(program.filePath("marlix-lsp"), {"--stdio"});
    server.request(
        "initialize",
        {{"processId", QJsonValue::Null},
         {"workspaceFolders", QJsonArray{QJsonObject{{"uri", uriOfPath(mod)}, {"name", "Bench"}}}},
         {"capabilities", QJsonObject()}});
    server.notify("initialized", {});
    // The first answer waits until the mod is read.
    server.request("workspace/symbol", {{"query", "Vehicle_Part_9999"}});
    std::printf("initialise and index 5,000 scripts (cold, no cache): %.0f ms (target < 1000)\n",
                ms(timer));

    const QString script = generated::scriptPath(mod, 10);
    QFile file(script);
    file.open(QIODevice::ReadOnly);
    const QByteArray text = file.readAll();
    const QString uri = uriOfPath(script);
    server.notify("textDocument/didOpen",
                  {{"textDocument", QJsonObject{{"uri", uri},
                                                {"languageId", "con"},
                                                {"version", 1},
                                                {"text", QString::fromLatin1(text)}}}});
    server.nextDiagnostics();
    // The second line defines a template; its name starts at column 35.
    const QJsonObject at{{"textDocument", QJsonObject{{"uri", uri}}},
                         {"position", QJsonObject{{"line", 1}, {"character", 38}}},
                         {"context", QJsonObject{{"includeDeclaration", true}}}};
    QList<double> definition, references, diagnostics;
    qsizetype found = 0;
    for (int i = 0; i < 50; ++i) {
        timer.restart();
        found = server.request("textDocument/definition", at)["result"].toArray().size();
        definition.append(ms(timer));
        timer.restart();
        found += server.request("textDocument/references", at)["result"].toArray().size();
        references.append(ms(timer));
    }
    std::printf("(definition and references found %lld places)\n", qlonglong(found));
    for (int i = 0; i < 30; ++i) {
        timer.restart();
        server.notify("textDocument/didChange",
                      {{"textDocument", QJsonObject{{"uri", uri}, {"version", i + 2}}},
                       {"contentChanges",
                        QJsonArray{QJsonObject{
                            {"range", rangeJson(0, 0, 0, 0)},
                            {"text", i % 2 ? "x" : "ObjectTemplate.addTemplate Nowhere\r\n"}}}}});
        server.nextDiagnostics();
        diagnostics.append(ms(timer));
    }
    std::printf("definition: median %.2f ms, references: median %.2f ms (target < 10, round trip "
                "through the pipes)\n",
                median(definition), median(references));
    std::printf(
        "problems of a changed script published: median %.2f ms after the change (target < 50)\n",
        median(diagnostics));
    std::printf("server resident: %ld kB now, %ld kB peak (target < 60 MB)\n",
                server.statusKb("VmRSS:"), server.statusKb("VmHWM:"));

    const QJsonObject renameAt{
        {"textDocument", QJsonObject{{"uri", uri}}},
        {"position", QJsonObject{{"line", int(text.count('\n')) - 1 +
                                              15 /* the lines the changes above put in */},
                                 {"character", 30}}},
        {"newName", "Famous_Part"}};
    timer.restart();
    const QJsonObject rename = server.request("textDocument/rename", renameAt);
    int edits = 0;
    for (const QJsonValue &list : rename["result"]["changes"].toObject())
        edits += int(list.toArray().size());
    std::printf("rename over the server: %d edits in %.1f ms%s\n", edits, ms(timer),
                qPrintable(rename["error"].toObject()["message"].toString()));
    server.request("shutdown", {});
    server.notify("exit", {});
    server.process.waitForFinished();

    // A second start finds the index cache the first one left.
    Server again;
    timer.restart();
    again.process.start(program.filePath("marlix-lsp"), {"--stdio"});
    again.request(
        "initialize",
        {{"processId", QJsonValue::Null},
         {"workspaceFolders", QJsonArray{QJsonObject{{"uri", uriOfPath(mod)}, {"name", "Bench"}}}},
         {"capabilities", QJsonObject()}});
    again.request("workspace/symbol", {{"query", "Vehicle_Part_9999"}});
    std::printf("initialise and index again, from the cache: %.0f ms\n", ms(timer));
    again.request("shutdown", {});
    again.notify("exit", {});
    again.process.waitForFinished();

    // The editor's preview: the plan of every change with its lines before and after.
    ModIndex index(CommandTable::fromProgramFolder(program.path() + "/"));
    index.build({mod});
    RenameScope scope;
    scope.index = &index;
    const QString defining = generated::scriptPath(mod, 0);
    QFile first(defining);
    first.open(QIODevice::ReadOnly);
    const QByteArray firstText = first.readAll();
    QList<double> previews;
    RenamePlan plan;
    for (int i = 0; i < 10; ++i) {
        timer.restart();
        plan = planRename(scope, defining, firstText, firstText.indexOf("Popular_Part") + 2,
                          "Famous_Part");
        previews.append(ms(timer));
    }
    std::printf("rename preview of a name used %lld times: median %.1f ms (target < 200)%s\n",
                qlonglong(plan.changes.size()), median(previews),
                plan.refusal.isEmpty() ? "" : qPrintable(" refused: " + plan.refusal));
    return 0;
}
