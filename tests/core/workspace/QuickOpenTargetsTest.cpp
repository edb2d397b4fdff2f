#include "core/workspace/QuickOpenTargets.h"

#include "tests/core/modindex/ModTree.h"

#include <gtest/gtest.h>

using namespace marlix;

// The index tests' mod: scripts on disk, a packed copy of its objects folder and an archive of
// scripts found nowhere on disk.
TEST(QuickOpenTargetsTest, ScriptsBelowTheirIndexFolderAndTheNamesTheyDefine) {
    ModTree tree;
    ModIndex index(ModTree::shippedTables());
    index.build({tree.mod});
    const QuickOpenTargets targets = quickOpenTargets(index);

    QStringList shown;
    for (const QuickOpenTarget &target : targets.scripts) {
        shown.append(target.shown);
        EXPECT_TRUE(target.path.endsWith(target.shown)) << qPrintable(target.path);
    }
    EXPECT_TRUE(shown.contains("objects/vehicles/tank/tank.con"));
    EXPECT_TRUE(shown.contains("archives/ai.rfa/ai/tank_ai.con"));
    // The packed copy of objects/ repeats scripts on disk: only those on disk are offered.
    EXPECT_TRUE(shown.filter("archives/objects.rfa").isEmpty());

    int turrets = 0;
    for (const QuickOpenTarget &name : targets.names) {
        if (name.shown.compare("tank_turret", Qt::CaseInsensitive) != 0)
            continue;
        ++turrets;
        EXPECT_GT(name.line, 0);
        EXPECT_TRUE(name.detail.startsWith("ObjectTemplate SimpleObject  "))
            << qPrintable(name.detail);
        EXPECT_TRUE(name.detail.endsWith(QStringLiteral(":%1").arg(name.line)));
    }
    EXPECT_EQ(turrets, 2); // defined twice, in tank.inc and dupes.con
    // Names in remarks are no definitions.
    for (const QuickOpenTarget &name : targets.names)
        EXPECT_NE(name.shown, QStringLiteral("Ghost_Def"));
}
