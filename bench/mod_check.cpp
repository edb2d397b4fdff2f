// The mod check on a generated mod of 5,000 scripts with 20 levels of two game modes each:
// the whole check (index and problems) cold and with nothing changed since the last run, the
// check alone, and the memory the index holds.
#include "bench/GeneratedMod.h"
#include "bench/ProcessStatus.h"

#include "core/modindex/ModCheck.h"
#include "core/modindex/ModIndex.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <memory>

using namespace marlix;
using namespace generated;

namespace {

double cpuMs() {
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

double ms(const QElapsedTimer &timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// Index and check as marlix-modcheck does; returns the problems found.
qsizetype wholeCheck(ModIndex &index, const QString &mod, const char *what, double target) {
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuMs();
    const BuildStats stats = index.build({mod});
    const double built = ms(timer);
    const QList<ModProblem> problems = checkMod(index);
    std::printf("%s: %.0f ms (index %.0f ms, %d read, %d from the cache; check %.0f ms), %.0f ms "
                "of processor time; target < %.0f ms\n",
                what, ms(timer), built, stats.filesRead, stats.filesFromCache, ms(timer) - built,
                cpuMs() - cpu, target);
    return problems.size();
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString mod = dir.filePath("LeveledMod");
    QElapsedTimer timer;
    timer.start();
    generateLeveledMod(mod);
    std::printf("generated mod: %d scripts, %d levels of 2 game modes, in %.0f ms\n", scripts,
                levels, ms(timer));

    const CommandTable table = CommandTable::fromProgramFolder(MARLIX_DATA_DIR);
    const QString cache = dir.filePath("modindex.cache");
    malloc_trim(0);
    const long before = processStatusKb("VmRSS:");
    auto index = std::make_unique<ModIndex>(table);
    index->setCacheFile(cache);
    const qsizetype problems = wholeCheck(*index, mod, "cold check", 1000);
    malloc_trim(0);
    std::printf("index memory: %ld MB resident for the index after the cold check (target < "
                "40 MB)\n",
                (processStatusKb("VmRSS:") - before) / 1024);
    std::printf("problems: %lld (the generated mod has none)\n", qlonglong(problems));

    index.reset();
    malloc_trim(0);
    const long beforeWarm = processStatusKb("VmRSS:");
    index = std::make_unique<ModIndex>(table);
    index->setCacheFile(cache);
    wholeCheck(*index, mod, "warm check, nothing changed", 300);
    malloc_trim(0);
    std::printf("index memory from the cache: %ld MB (target < 40 MB)\n",
                (processStatusKb("VmRSS:") - beforeWarm) / 1024);

    timer.restart();
    const double cpu = cpuMs();
    const QList<ModProblem> again = checkMod(*index);
    std::printf("the check alone: %.0f ms, %.0f ms of processor time\n", ms(timer), cpuMs() - cpu);
    std::printf("cache file: %.1f MB\n", double(QFileInfo(cache).size()) / 1e6);
    std::printf("peak resident: %ld MB\n", processStatusKb("VmHWM:") / 1024);
    return again.size() == problems ? 0 : 1;
}
