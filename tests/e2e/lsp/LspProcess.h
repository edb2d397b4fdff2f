#pragma once

// marlix-lsp as a process in a program folder of its own, beside copies of the shipped
// tables, spoken to over its standard input and output.
#include "core/lsp/MessageFraming.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct LspProgram {
    QTemporaryDir program;
    LspProgram() {
        const QString data = QStringLiteral(MARLIX_SOURCE_DIR "/data/");
        QFile::copy(LSP_EXE, exe());
        for (const QString &name : {"modcommands.txt", "knowncommands.txt", "intellisense.ini"})
            QFile::copy(data + name, program.filePath(name));
        QDir().mkpath(program.filePath("completion"));
        for (const QString &name : QDir(data + "completion").entryList(QDir::Files))
            QFile::copy(data + "completion/" + name, program.filePath("completion/" + name));
    }
    QString exe() const { return program.filePath("marlix-lsp"); }
};

struct LspProcess {
    QProcess process;
    marlix::MessageReader reader;
    QList<QJsonObject> pending;

    explicit LspProcess(const QString &exe, const QStringList &arguments = {"--stdio"}) {
        process.start(exe, arguments);
        process.waitForStarted();
    }
    ~LspProcess() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    void write(const QByteArray &bytes) {
        process.write(bytes);
        while (process.bytesToWrite() > 0 && process.waitForBytesWritten(10000)) {
        }
    }
    void send(const QJsonObject &message) {
        write(marlix::frameMessage(QJsonDocument(message).toJson(QJsonDocument::Compact)));
    }
    void request(int id, const QString &method, const QJsonObject &params = {}) {
        send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
    }
    void notify(const QString &method, const QJsonObject &params = {}) {
        send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
    }
    // The next message, or an empty object after the time limit.
    QJsonObject next(int milliseconds = 20000) {
        QElapsedTimer timer;
        timer.start();
        while (pending.isEmpty() && timer.elapsed() < milliseconds) {
            if (process.bytesAvailable() == 0 && !process.waitForReadyRead(200) &&
                process.state() == QProcess::NotRunning)
                break;
            for (const marlix::FramedMessage &m : reader.feed(process.readAllStandardOutput()))
                pending.append(QJsonDocument::fromJson(m.body).object());
        }
        return pending.isEmpty() ? QJsonObject() : pending.takeFirst();
    }
    // The next answer (skipping notifications such as published problems).
    QJsonObject answer(int milliseconds = 20000) {
        for (;;) {
            const QJsonObject m = next(milliseconds);
            if (m.isEmpty() || !m.contains("method"))
                return m;
        }
    }
    int finish() {
        process.closeWriteChannel();
        if (!process.waitForFinished(20000))
            return -2;
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
};
