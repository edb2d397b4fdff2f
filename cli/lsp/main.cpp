// marlix-lsp: what Marlix knows of a mod, for any editor with a Language Server Protocol client.
#include "core/common/ProgramFolder.h"
#include "core/common/Version.h"
#include "core/lsp/LanguageServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

const char usage[] =
    "Usage: marlix-lsp [--stdio] [--base FOLDER]...\n"
    "A language server for BF1942 scripts: speaks the Language Server Protocol on standard\n"
    "input and output. The client's workspace folders are the folders whose scripts it\n"
    "indexes; each --base FOLDER (or initializationOptions.baseFolders) adds a base-game\n"
    "folder, whose names count as defined but whose scripts are never reported or renamed.\n"
    "It changes no file: renames and fixes are edits the client makes.\n";

int fail(const QString &message) {
    QTextStream(stderr) << "marlix-lsp: " << message << "\n";
    return 2;
}

void writeAll(const QByteArray &bytes) {
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, size_t(left));
        if (written <= 0)
            return; // the client is gone; the end of the input ends the server
        data += written;
        left -= written;
    }
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    marlix::LanguageServer::Options options;
    options.programFolder = marlix::programFolder();
    const QStringList arguments = app.arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (argument == QLatin1String("--version")) {
            std::printf("marlix-lsp %s\n", qPrintable(marlix::versionText()));
            return 0;
        }
        if (argument == QLatin1String("--stdio"))
            continue;
        if (argument == QLatin1String("--base")) {
            if (i + 1 >= arguments.size())
                return fail(QStringLiteral("--base needs a folder\n%1").arg(usage));
            const QString folder = arguments[++i];
            if (!QFileInfo(folder).isDir())
                return fail(QStringLiteral("no folder %1").arg(folder));
            options.baseFolders.append(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
            continue;
        }
        return fail(QStringLiteral("unknown argument %1\n%2").arg(argument, usage));
    }

    marlix::LanguageServer server(options);
    server.send = writeAll;
    server.exitRequested = [](int status) { QCoreApplication::exit(status); };

    // Standard input is read on a thread of its own, so a client that writes slowly never holds
    // up the answers; what it reads is handed to the server on the main thread.
    std::thread reader([&server] {
        QByteArray buffer(1 << 16, Qt::Uninitialized);
        for (;;) {
            const ssize_t got = ::read(STDIN_FILENO, buffer.data(), size_t(buffer.size()));
            if (got <= 0)
                break;
            const QByteArray chunk(buffer.constData(), got);
            QMetaObject::invokeMethod(
                &server, [&server, chunk] { server.receive(chunk); }, Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(
            &server, [&server] { QCoreApplication::exit(server.statusAtEndOfInput()); },
            Qt::QueuedConnection);
    });
    reader.detach();
    const int status = app.exec();
    std::fflush(stdout);
    // The reader may still wait on the input; nothing is left to tidy up for it.
    ::_exit(status);
}
