// The editor window's rename preview on the generated mod of 5,000 scripts with one name used
// 500 times: from F2's answer to the preview on screen, as the window does it (the check made
// before the new name is asked, the plan with the new name, and the preview dialog listing
// every change), with the defining script open in a tab.
#include "bench/GeneratedMod.h"

#include "app/RenameDialogs.h"
#include "core/modindex/ModIndex.h"
#include "core/modindex/Rename.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

using namespace marlix;

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString mod = dir.filePath("BenchMod");
    generated::generateMod(mod);
    for (int i = 0; i < 500; ++i) {
        QFile file(generated::scriptPath(mod, i * 10));
        file.open(QIODevice::Append);
        file.write(i == 0 ? "ObjectTemplate.create SimpleObject Popular_Part\r\n"
                          : "ObjectTemplate.addTemplate Popular_Part\r\n");
    }
    ModIndex index(CommandTable::fromProgramFolder(QStringLiteral(MARLIX_DATA_DIR)));
    index.build({mod});

    const QString defining = generated::scriptPath(mod, 0);
    QFile first(defining);
    first.open(QIODevice::ReadOnly);
    const QByteArray text = first.readAll();
    const qsizetype at = text.indexOf("Popular_Part") + 2;
    RenameScope scope;
    scope.index = &index;
    scope.openTexts.insert(defining, text);

    QList<double> times;
    qsizetype rows = 0;
    RenamePlan plan;
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer timer;
        timer.start();
        const RenamePlan check = planRename(scope, defining, text, at, "Popular_Part");
        plan = planRename(scope, defining, text, at, "Famous_Part");
        RenamePreviewDialog preview(plan, {defining}, {mod}, nullptr);
        preview.show();
        QApplication::processEvents();
        rows = preview.changeList->topLevelItemCount();
        times.append(double(timer.nsecsElapsed()) / 1e6);
        if (!check.refusal.isEmpty())
            std::printf("refused: %s\n", qPrintable(check.refusal));
    }
    std::sort(times.begin(), times.end());
    std::printf("rename preview in the window, %lld changes in %lld rows: median %.1f ms, "
                "slowest %.1f ms (target < 200)%s\n",
                qlonglong(plan.changes.size()), qlonglong(rows), times[times.size() / 2],
                times.last(),
                plan.refusal.isEmpty() ? "" : qPrintable(" refused: " + plan.refusal));
    return 0;
}
