// marlix-modcheck: the mod check of the editor's Tools menu, for a mod's own build scripts.
#include "core/common/Error.h"
#include "core/common/LineFile.h"
#include "core/common/ProgramFolder.h"
#include "core/common/Version.h"
#include "core/modindex/IndexPaths.h"
#include "core/modindex/ModCheck.h"
#include "core/modindex/ProblemReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

namespace {

const char usage[] =
    "Usage: marlix-modcheck [OPTION]... FOLDER...\n"
    "Checks every .con and .inc script below the folders, and the scripts in their .rfa\n"
    "archives, and prints one line \"file:line: severity: message\" per problem:\n"
    "  error    undefined-name   a name that no script read with this one defines\n"
    "  error    missing-file     an include or run that names no file\n"
    "  error    unknown-command  a command a letter or two away from a known one\n"
    "  warning  unknown-command  a command far from every known one\n"
    "  warning  duplicate-name   a name defined twice in one load of the game\n"
    "  information override      a level's (or the mod's) definition of a name defined before\n"
    "Options:\n"
    "  --base FOLDER             the game's own folder or archive (repeatable): its names count\n"
    "                            as defined, its files resolve run and include, its problems\n"
    "                            are not reported\n"
    "  --format text|json|sarif  how problems are printed (default text)\n"
    "  --severity LEVEL          report LEVEL and above: error, warning (default), information\n"
    "  --fail-on LEVEL           exit with 1 when a problem of LEVEL or above is reported\n"
    "                            (default error)\n"
    "  --baseline FILE           leave out the problems recorded in FILE\n"
    "  --write-baseline FILE     record every problem found now in FILE\n"
    "Exit status: 0 nothing reported fails the check, 1 it fails, 2 bad arguments or some\n"
    "script or folder could not be read.\n";

int fail(const QString &message) {
    QTextStream(stderr) << "marlix-modcheck: " << marlix::printableText(message) << "\n";
    return 2;
}

struct Options {
    QStringList folders, base;
    QString format = QStringLiteral("text");
    marlix::ModProblem::Severity severity = marlix::ModProblem::Warning;
    marlix::ModProblem::Severity failOn = marlix::ModProblem::Error;
    QString baseline, writeBaseline;
};

// The script as a baseline names it: relative to the checked folder that holds it, so a mod's
// baseline stays valid wherever the mod is checked out.
QString baselineName(const QString &file, const QStringList &folders) {
    for (const QString &folder : folders) {
        const QString clean = QDir::cleanPath(folder);
        if (file.startsWith(clean + QLatin1Char('/')))
            return file.mid(clean.size() + 1);
    }
    return file;
}

// The text of each problem's line, reading each script (or archive) once.
QList<QByteArray> lineTexts(const marlix::ModIndex &index,
                            const QList<marlix::ModProblem> &problems) {
    QHash<QString, QByteArrayList> lines;
    QList<QByteArray> texts;
    for (const marlix::ModProblem &problem : problems) {
        auto it = lines.find(problem.file);
        if (it == lines.end())
            it = lines.insert(problem.file, marlix::splitLines(index.fileBytes(problem.file)));
        texts.append(it->value(problem.line - 1));
    }
    return texts;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    Options options;
    bool optionsDone = false;
    const QStringList arguments = app.arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!optionsDone && (argument == QLatin1String("--help") || argument == "-h")) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (!optionsDone && argument == QLatin1String("--")) {
            optionsDone = true;
            continue;
        }
        if (!optionsDone && argument.startsWith(QLatin1Char('-'))) {
            static const QStringList valued{"--base",    "--format",   "--severity",
                                            "--fail-on", "--baseline", "--write-baseline"};
            if (!valued.contains(argument))
                return fail(QStringLiteral("unknown option %1\n%2").arg(argument, usage));
            if (i + 1 >= arguments.size())
                return fail(QStringLiteral("%1 needs a value").arg(argument));
            const QString value = arguments[++i];
            if (argument == QLatin1String("--base")) {
                if (!QFileInfo::exists(value))
                    return fail(QStringLiteral("no base folder or archive %1").arg(value));
                options.base.append(value);
            } else if (argument == QLatin1String("--format")) {
                if (value != "text" && value != "json" && value != "sarif")
                    return fail(
                        QStringLiteral("--format takes text, json or sarif, not %1").arg(value));
                options.format = value;
            } else if (argument == QLatin1String("--severity") ||
                       argument == QLatin1String("--fail-on")) {
                auto &level =
                    argument == QLatin1String("--severity") ? options.severity : options.failOn;
                if (!marlix::severityFromName(value, level))
                    return fail(QStringLiteral("%1 takes error, warning or information, not %2")
                                    .arg(argument, value));
            } else if (argument == QLatin1String("--baseline")) {
                options.baseline = value;
            } else {
                options.writeBaseline = value;
            }
            continue;
        }
        if (!QFileInfo(argument).isDir())
            return fail(QStringLiteral("no folder %1").arg(argument));
        options.folders.append(argument);
    }
    if (options.folders.isEmpty())
        return fail(QStringLiteral("no folder given\n%1").arg(usage));

    try {
        marlix::Baseline baseline;
        if (!options.baseline.isEmpty()) {
            QFile file(options.baseline);
            if (!file.open(QIODevice::ReadOnly) || !baseline.fromBytes(file.readAll()))
                return fail(QStringLiteral("cannot read the baseline %1").arg(options.baseline));
        }
        marlix::ModIndex index(marlix::CommandTable::fromProgramFolder(marlix::programFolder()));
        const marlix::BuildStats stats = index.build(options.folders, options.base);
        const QList<marlix::ModProblem> found = marlix::checkMod(index);
        QTextStream err(stderr);
        for (const QString &note : stats.notes)
            err << marlix::printableText(note) << "\n";
        for (const QString &error : stats.errors)
            err << marlix::printableText(error) << "\n";

        const bool needLines = !options.baseline.isEmpty() || !options.writeBaseline.isEmpty();
        const QList<QByteArray> texts = needLines ? lineTexts(index, found) : QList<QByteArray>();
        if (!options.writeBaseline.isEmpty()) {
            marlix::Baseline record;
            for (int i = 0; i < found.size(); ++i)
                record.add(baselineName(found[i].file, options.folders), found[i], texts[i]);
            marlix::writeWholeFile(options.writeBaseline, record.toBytes());
            err << stats.files << " scripts checked: " << record.size() << " problems recorded in "
                << options.writeBaseline << "\n";
            return stats.errors.isEmpty() ? 0 : 2;
        }

        QList<marlix::ModProblem> problems;
        bool failed = false;
        for (int i = 0; i < found.size(); ++i) {
            const marlix::ModProblem &problem = found[i];
            if (problem.severity > options.severity)
                continue;
            if (needLines &&
                baseline.take(baselineName(problem.file, options.folders), problem, texts[i]))
                continue;
            problems.append(problem);
            failed = failed || problem.severity <= options.failOn;
        }
        if (options.format == QLatin1String("json")) {
            std::fputs(marlix::problemsJson(problems).constData(), stdout);
        } else if (options.format == QLatin1String("sarif")) {
            std::fputs(marlix::problemsSarif(problems, marlix::versionText()).constData(), stdout);
        } else {
            QTextStream out(stdout);
            for (const marlix::ModProblem &problem : problems)
                out << marlix::problemLine(problem) << "\n";
        }
        std::fflush(stdout);
        err << stats.files << " scripts checked: " << marlix::problemSummary(problems) << "\n";
        if (!stats.errors.isEmpty()) {
            err << "marlix-modcheck: the check is incomplete: " << stats.errors.size()
                << (stats.errors.size() == 1 ? " file or folder" : " files or folders")
                << " could not be read\n";
            return 2;
        }
        return failed ? 1 : 0;
    } catch (const marlix::Error &error) {
        return fail(error.text());
    }
}
