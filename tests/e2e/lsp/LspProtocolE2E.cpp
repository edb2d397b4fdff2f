#include "tests/e2e/lsp/LspProcess.h"

#include <QJsonArray>

namespace {

int errorCode(const QJsonObject &answer) {
    return answer.value("error").toObject().value("code").toInt();
}

QJsonObject initializeParams() {
    return {{"processId", QJsonValue::Null},
            {"rootUri", QJsonValue::Null},
            {"capabilities", QJsonObject()}};
}

} // namespace

class LspProtocol : public ::testing::Test {
protected:
    LspProgram program;
};

TEST_F(LspProtocol, ShutdownThenExitEndsWithZero) {
    LspProcess lsp(program.exe());
    lsp.request(1, "initialize", initializeParams());
    const QJsonObject init = lsp.answer();
    EXPECT_EQ(init["result"].toObject()["serverInfo"].toObject()["name"].toString(), "marlix-lsp");
    lsp.notify("initialized");
    lsp.request(2, "shutdown");
    const QJsonObject shut = lsp.answer();
    EXPECT_EQ(shut["id"].toInt(), 2);
    EXPECT_TRUE(shut.contains("result") && shut["result"].isNull());
    lsp.notify("exit");
    EXPECT_TRUE(lsp.process.waitForFinished(10000));
    EXPECT_EQ(lsp.process.exitCode(), 0);
}

TEST_F(LspProtocol, ExitWithoutShutdownOrAnEndedInputEndsWithOne) {
    {
        LspProcess lsp(program.exe(), {});
        lsp.request(1, "initialize", initializeParams());
        lsp.answer();
        lsp.notify("exit");
        EXPECT_TRUE(lsp.process.waitForFinished(10000));
        EXPECT_EQ(lsp.process.exitCode(), 1);
    }
    LspProcess lsp(program.exe());
    EXPECT_EQ(lsp.finish(), 1);
}

TEST_F(LspProtocol, FramingErrorsUnknownMethodsAndCancelsAreAnsweredAndTheServerGoesOn) {
    LspProcess lsp(program.exe());
    lsp.write("Content-Type: text/plain\r\n\r\n");
    QJsonObject answer = lsp.answer();
    EXPECT_EQ(errorCode(answer), -32700);
    EXPECT_TRUE(answer["id"].isNull());
    lsp.write(marlix::frameMessage("{not json"));
    EXPECT_EQ(errorCode(lsp.answer()), -32700);

    lsp.request(1, "initialize", initializeParams());
    EXPECT_TRUE(lsp.answer().contains("result"));
    lsp.request(2, "textDocument/semanticTokens/full");
    answer = lsp.answer();
    EXPECT_EQ(answer["id"].toInt(), 2);
    EXPECT_EQ(errorCode(answer), -32601);

    // The cancel arrives with its request, before the server took it up.
    lsp.write(
        marlix::frameMessage(
            R"({"jsonrpc":"2.0","id":3,"method":"workspace/symbol","params":{"query":""}})") +
        marlix::frameMessage(R"({"jsonrpc":"2.0","method":"$/cancelRequest","params":{"id":3}})"));
    answer = lsp.answer();
    EXPECT_EQ(answer["id"].toInt(), 3);
    EXPECT_EQ(errorCode(answer), -32800);
    // A cancel for a request already answered changes nothing.
    lsp.notify("$/cancelRequest", {{"id", 2}});
    lsp.request(4, "workspace/symbol", {{"query", ""}});
    answer = lsp.answer();
    EXPECT_EQ(answer["id"].toInt(), 4);
    EXPECT_TRUE(answer["result"].isArray());
}

TEST_F(LspProtocol, AHundredMegabyteMessageIsRefusedWithoutStoppingTheServer) {
    LspProcess lsp(program.exe());
    lsp.request(1, "initialize", initializeParams());
    lsp.answer();
    const qint64 size = qint64(100) * 1024 * 1024;
    lsp.write("Content-Length: " + QByteArray::number(size) + "\r\n\r\n");
    const QByteArray chunk(4 * 1024 * 1024, ' ');
    for (qint64 sent = 0; sent < size; sent += chunk.size())
        lsp.write(chunk.left(int(std::min<qint64>(chunk.size(), size - sent))));
    const QJsonObject refusal = lsp.answer(60000);
    EXPECT_EQ(errorCode(refusal), -32700);
    EXPECT_TRUE(refusal["error"].toObject()["message"].toString().contains("larger than the limit"))
        << refusal["error"].toObject()["message"].toString().toStdString();
    lsp.request(2, "workspace/symbol", {{"query", "x"}});
    const QJsonObject after = lsp.answer();
    EXPECT_EQ(after["id"].toInt(), 2);
    EXPECT_TRUE(after.contains("result"));
    // The body was dropped as it came, never held whole.
    QFile status(QStringLiteral("/proc/%1/status").arg(lsp.process.processId()));
    ASSERT_TRUE(status.open(QIODevice::ReadOnly));
    QByteArray peak;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            peak = line;
    EXPECT_LT(peak.mid(6).trimmed().split(' ').value(0).toLongLong(), 60 * 1024)
        << peak.constData();
    lsp.request(3, "shutdown");
    lsp.answer();
    lsp.notify("exit");
    EXPECT_TRUE(lsp.process.waitForFinished(10000));
    EXPECT_EQ(lsp.process.exitCode(), 0);
}

TEST_F(LspProtocol, BadArgumentsEndWithTwo) {
    for (const QStringList &arguments :
         {QStringList{"--base"}, QStringList{"--base", "/nonexistent/folder"},
          QStringList{"--tcp"}}) {
        QProcess process;
        process.start(program.exe(), arguments);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitCode(), 2) << arguments.join(" ").toStdString();
    }
}
