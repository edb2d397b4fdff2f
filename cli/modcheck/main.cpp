// marlix-modcheck: the mod check of the editor's Tools menu, for a mod's own build scripts.
#include "core/common/Error.h"
#include "core/common/ProgramFolder.h"
#include "core/modindex/ModCheck.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

namespace {

const char usage[] =
    "Usage: marlix-modcheck FOLDER...\n"
    "Checks every .con and .inc script below the folders, and the scripts in their .rfa\n"
    "archives, and prints one line \"file:line: message\" per problem: a name that nothing\n"
    "defines, a name defined twice in one family, an include or run that names no file, and\n"
    "a command that is not in knowncommands.txt.\n"
    "Exit status: 0 no problem, 1 problems found, 2 bad arguments or the check could not run.\n";

int fail(const QString &message) {
    QTextStream(stderr) << "marlix-modcheck: " << message << "\n";
    return 2;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList folders;
    bool optionsDone = false;
    for (const QString &argument : app.arguments().mid(1)) {
        if (!optionsDone && (argument == QLatin1String("--help") || argument == "-h")) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (!optionsDone && argument == QLatin1String("--")) {
            optionsDone = true;
            continue;
        }
        if (!optionsDone && argument.startsWith(QLatin1Char('-')))
            return fail(QStringLiteral("unknown option %1\n%2").arg(argument, usage));
        if (!QFileInfo(argument).isDir())
            return fail(QStringLiteral("no folder %1").arg(argument));
        folders.append(argument);
    }
    if (folders.isEmpty())
        return fail(QStringLiteral("no folder given\n%1").arg(usage));

    try {
        marlix::ModIndex index(marlix::CommandTable::fromProgramFolder(marlix::programFolder()));
        const marlix::BuildStats stats = index.build(folders);
        const QList<marlix::ModProblem> problems = marlix::checkMod(index);
        QTextStream out(stdout);
        for (const marlix::ModProblem &problem : problems)
            out << marlix::problemLine(problem) << "\n";
        out.flush();
        QTextStream err(stderr);
        for (const QString &error : stats.errors)
            err << error << "\n";
        err << stats.files << " scripts checked: " << marlix::problemSummary(problems) << "\n";
        return problems.isEmpty() && stats.errors.isEmpty() ? 0 : 1;
    } catch (const marlix::Error &error) {
        return fail(error.text());
    }
}
