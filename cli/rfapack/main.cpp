// marlix-rfapack: packs folders into RFA archives, lists and extracts them. With no arguments it
// asks its questions on standard output and reads the answers from standard input, which is how
// the editor's Compile and Run drives it.
#include "cli/rfapack/Commands.h"
#include "cli/rfapack/Console.h"
#include "cli/rfapack/Interactive.h"
#include "core/common/Error.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

using namespace marlix;

namespace {

const char usage[] =
    "Usage:\n"
    "  marlix-rfapack                          answer the questions on standard input\n"
    "  marlix-rfapack pack SOURCE_DIR BASE_NAME OUT.rfa [--compress]\n"
    "  marlix-rfapack list ARCHIVE.rfa         name, original size and stored size of each entry\n"
    "  marlix-rfapack extract ARCHIVE.rfa DEST_DIR [NAME...]\n"
    "  marlix-rfapack --help | --version\n"
    "\n"
    "Entries are named BASE_NAME/<path below SOURCE_DIR>; --compress stores them as LZO1X.\n";

int usageError(Console &console, const QString &problem) {
    console.error(problem + QStringLiteral(" (see marlix-rfapack --help)"));
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    Console console;
    QStringList args;
    QByteArrayList rawArgs;
    for (int i = 1; i < argc; ++i) {
        rawArgs << QByteArray(argv[i]);
        args << QFile::decodeName(argv[i]);
    }
    if (args.isEmpty())
        return runInteractive(console);

    const QString command = args.takeFirst();
    rawArgs.removeFirst();
    // Entry names are matched by their bytes; a path has to survive the round trip through
    // text, or it would name another file.
    const qsizetype paths = command == QLatin1String("extract") ? 2 : args.size();
    for (qsizetype i = 0; i < std::min(paths, args.size()); ++i) {
        if (QFile::encodeName(args[i]) != rawArgs[i])
            return usageError(console, QStringLiteral("the path %1 is not valid UTF-8; give it "
                                                      "through a name that is")
                                           .arg(args[i]));
    }
    try {
        if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
            console.prompt(QString::fromLatin1(usage));
        } else if (command == QLatin1String("--version")) {
            console.line(QStringLiteral("marlix-rfapack " MARLIX_VERSION));
        } else if (command == QLatin1String("pack")) {
            const bool compress = args.removeAll(QStringLiteral("--compress")) > 0;
            if (args.size() != 3)
                return usageError(console,
                                  QStringLiteral("pack takes SOURCE_DIR BASE_NAME OUT.rfa"));
            packCommand(console, args[0], args[1], args[2], compress);
        } else if (command == QLatin1String("list")) {
            if (args.size() != 1)
                return usageError(console, QStringLiteral("list takes one ARCHIVE.rfa"));
            listCommand(console, args[0]);
        } else if (command == QLatin1String("extract")) {
            if (args.size() < 2)
                return usageError(console,
                                  QStringLiteral("extract takes ARCHIVE.rfa DEST_DIR [NAME...]"));
            extractCommand(console, args[0], args[1], rawArgs.mid(2));
        } else {
            return usageError(console, QStringLiteral("unknown command %1").arg(command));
        }
    } catch (const Error &e) {
        console.error(e.text());
        return 1;
    }
    return 0;
}
