// Quick open on the generated mod (5,000 scripts, 12,000 definitions): gathering what the box
// offers from the index when it opens, and ranking the scripts and the names for what is typed
// letter by letter (target: each answer under 30 ms). Also the mod tree read from disk and the
// marks of the mod check, as the tree panel does them.
#include "bench/GeneratedMod.h"

#include "core/modindex/CommandTable.h"
#include "core/modindex/ModCheck.h"
#include "core/modindex/ModIndex.h"
#include "core/workspace/ModTree.h"
#include "core/workspace/QuickOpenRanking.h"
#include "core/workspace/QuickOpenTargets.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

double msOf(const QElapsedTimer &timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

QStringList shown(const QList<marlix::QuickOpenTarget> &targets) {
    QStringList texts;
    for (const marlix::QuickOpenTarget &target : targets)
        texts.append(target.shown);
    return texts;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString mod = dir.filePath("mod");
    generated::generateMod(mod);
    marlix::ModIndex index(marlix::CommandTable::fromProgramFolder(MARLIX_DATA_DIR));
    index.build({mod});

    QElapsedTimer timer;
    timer.start();
    const marlix::QuickOpenTargets targets = marlix::quickOpenTargets(index);
    marlix::QuickOpenRanking scripts, names;
    scripts.setCandidates(shown(targets.scripts));
    names.setCandidates(shown(targets.names));
    std::printf("opening the box: %lld scripts, %lld names gathered and prepared in %.1f ms\n",
                qlonglong(targets.scripts.size()), qlonglong(targets.names.size()), msOf(timer));

    double worst = 0;
    for (const char *typed : {"p", "pa", "par", "part", "part4", "part49", "part499", "g4p4",
                              "objects/group3", "zzz"}) {
        timer.restart();
        const QList<int> hits = scripts.rank(QString::fromLatin1(typed), 50);
        const double ms = msOf(timer);
        worst = std::max(worst, ms);
        std::printf("  scripts  %-16s %3lld shown  %.2f ms\n", typed, qlonglong(hits.size()), ms);
    }
    for (const char *typed : {"V", "Veh", "Vehicle_Part_9", "vpt99", "Mesh_1", "msh"}) {
        timer.restart();
        const QList<int> hits = names.rank(QString::fromLatin1(typed), 50);
        const double ms = msOf(timer);
        worst = std::max(worst, ms);
        std::printf("  @names   %-16s %3lld shown  %.2f ms\n", typed, qlonglong(hits.size()), ms);
    }
    std::printf("slowest answer: %.2f ms (target under 30 ms)\n", worst);

    timer.restart();
    QStringList folders;
    const auto tree = marlix::scanModTree({mod}, &folders);
    std::printf("mod tree read from disk: %lld folders in %.1f ms\n", qlonglong(folders.size()),
                msOf(timer));
    timer.restart();
    const qsizetype problems = marlix::checkMod(index).size();
    std::printf("marks of the mod check: %lld problems in %.1f ms\n", qlonglong(problems),
                msOf(timer));
    return 0;
}
