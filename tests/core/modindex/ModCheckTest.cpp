#include "core/modindex/ModCheck.h"
#include "tests/core/modindex/ModTree.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(ModCheck, FindsEveryKindOfProblemOnceWithFileAndLine) {
    ModTree tree;
    ModIndex index(ModTree::shippedTables());
    index.build({tree.mod});
    QStringList lines;
    for (const ModProblem &problem : checkMod(index))
        lines.append(problemLine(problem));
    const QString dupes = tree.path("objects/common/dupes.con");
    const QString tank = tree.path("objects/vehicles/tank/tank.con");
    const QString inc = tree.path("objects/vehicles/tank/tank.inc");
    const QStringList expected{
        dupes + ":2: error: ObjectTemplate.addTemplate names Tank_Wheel, but no ObjectTemplate "
                "of that name is defined; did you mean Tank_Hull?",
        tank + ":8: error: run names no file: ..\\common\\missing",
        tank + ":9: error: unknown command ObjectTemplate.setMaxSped; did you mean "
               "ObjectTemplate.setMaxSpeed?",
        inc + ":2: warning: ObjectTemplate Tank_Turret is defined again (first at " + dupes + ":1)",
    };
    EXPECT_EQ(lines.join("\n").toStdString(), expected.join("\n").toStdString());
    EXPECT_EQ(problemSummary(checkMod(index)),
              "1 undefined name, 1 name defined twice, 1 missing file, 1 unknown command");
}

TEST(ModCheck, SummaryCountsOneInTheSingularAndNoneOrMoreInThePlural) {
    QList<ModProblem> problems;
    for (int i = 0; i < 2; ++i)
        problems.append({ModProblem::UndefinedName, "a.con", i + 1, "undefined"});
    problems.append({ModProblem::MissingFile, "a.con", 3, "missing"});
    EXPECT_EQ(problemSummary(problems),
              "2 undefined names, 0 names defined twice, 1 missing file, 0 unknown commands");
}

TEST(ModCheck, ANameDefinedInAnotherFamilyIsStillUndefined) {
    ModTree tree;
    tree.put("objects/extra.con", "GeometryTemplate.create StandardMesh Gun\r\n"
                                  "ObjectTemplate.addTemplate Gun\r\n"
                                  "ObjectTemplate.geometry Gun\r\n");
    ModIndex index(ModTree::shippedTables());
    index.build({tree.mod});
    int undefinedGun = 0;
    for (const ModProblem &problem : checkMod(index))
        if (problem.kind == ModProblem::UndefinedName && problem.message.contains("Gun")) {
            ++undefinedGun;
            EXPECT_EQ(problem.line, 2);
        }
    EXPECT_EQ(undefinedGun, 1);
}
