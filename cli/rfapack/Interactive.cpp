#include "cli/rfapack/Interactive.h"

#include "cli/rfapack/Commands.h"
#include "cli/rfapack/Console.h"
#include "core/common/Error.h"

#include <QFile>
#include <iostream>
#include <optional>
#include <string>

namespace marlix {

namespace {

struct EndOfInput {};

QString answer(Console &console, const QString &question) {
    console.prompt(question);
    std::string line;
    if (!std::getline(std::cin, line))
        throw EndOfInput();
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    const QByteArray bytes = QByteArray::fromStdString(line);
    const QString text = QFile::decodeName(bytes);
    // A path that does not survive the trip through text would name another file.
    if (QFile::encodeName(text) != bytes)
        throw Error(QStringLiteral("the answer %1 is not valid UTF-8").arg(text));
    return text;
}

// Asks again until the answer is Y or N, either case.
bool yesNo(Console &console, const QString &question) {
    for (;;) {
        const QString text = answer(console, question).trimmed().toUpper();
        if (text == QLatin1String("Y") || text == QLatin1String("N"))
            return text == QLatin1String("Y");
        console.line(QStringLiteral("Please answer Y or N."));
    }
}

} // namespace

int runInteractive(Console &console) {
    console.line(
        QStringLiteral("marlix-rfapack " MARLIX_VERSION " - packs a folder into an RFA archive"));
    try {
        bool another = true;
        while (another) {
            const QString source = answer(console, QStringLiteral("Folder to pack: "));
            const QString base = answer(console, QStringLiteral("Archive base name: "));
            const bool compress = yesNo(console, QStringLiteral("Compress? (Y/N): "));
            const QString out = answer(console, QStringLiteral("Archive to write: "));
            packCommand(console, source, base, out, compress);
            another = yesNo(console, QStringLiteral("Pack another archive? (Y/N): "));
        }
    } catch (const EndOfInput &) {
        console.finish();
        console.error(QStringLiteral("standard input ended before all answers were given"));
        return 1;
    } catch (const Error &e) {
        console.error(e.text());
        return 1;
    }
    // The answer file ends the dialogue with "exit"; input that simply ends is as good.
    try {
        while (answer(console, QStringLiteral("Type exit to quit: ")).trimmed() !=
               QLatin1String("exit")) {
        }
    } catch (const EndOfInput &) {
    }
    console.finish();
    return 0;
}

} // namespace marlix
