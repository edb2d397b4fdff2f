#include "core/workspace/ModTreeModel.h"

#include "core/archive/RfaWriter.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

// A mod as real ones are laid out: object folders, a level with two game modes, a folder of
// textures only, and the archives the compile-and-launch dialog packs.
struct Mod {
    QTemporaryDir dir;
    QString root = dir.filePath("MyMod");

    void put(const QString &name, const QByteArray &bytes = "rem\r\n") const {
        const QString file = root + "/" + name;
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file));
        out.write(bytes);
    }
    Mod() {
        put("objects/vehicles/Tank/Objects.con");
        put("objects/vehicles/Tank/tank.inc");
        put("objects/vehicles/Jeep/Objects.con");
        put("objects/vehicles/Jeep/jeep.dds", "DDS ");
        put("bf1942/levels/Beach/Init.con");
        put("bf1942/levels/Beach/GameTypes/Conquest.con");
        put("bf1942/levels/Beach/GameTypes/TDM.con");
        put("bf1942/levels/Beach/Conquest/ControlPoints.con");
        put("bf1942/levels/Beach/tdm/ControlPoints.con");
        put("textures/sand.dds", "DDS ");
        QDir().mkpath(root + "/archives/bf1942/levels");
        packFolder(root + "/bf1942/levels/Beach", "bf1942/levels/Beach",
                   root + "/archives/bf1942/levels/Beach.rfa", true);
    }
};

// The tree below an index as "name" lines, indented by two blanks a level.
void describe(const QAbstractItemModel &model, const QModelIndex &parent, int depth,
              QStringList &lines) {
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex at = model.index(row, 0, parent);
        lines.append(QString(depth * 2, ' ') + at.data().toString());
        describe(model, at, depth + 1, lines);
    }
}

QStringList describe(const QAbstractItemModel &model) {
    QStringList lines;
    describe(model, {}, 0, lines);
    return lines;
}

} // namespace

TEST(ModTreeTest, ShowsFoldersScriptsAndArchiveEntries) {
    Mod mod;
    QStringList scanned;
    ModTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.update(scanModTree({mod.root}, &scanned));
    const QString root = QDir::toNativeSeparators(mod.root);
    EXPECT_EQ(describe(model), (QStringList{root,
                                            "  archives",
                                            "    bf1942",
                                            "      levels",
                                            "        Beach.rfa",
                                            "          bf1942",
                                            "            levels",
                                            "              Beach",
                                            "                Conquest",
                                            "                  ControlPoints.con",
                                            "                GameTypes",
                                            "                  Conquest.con",
                                            "                  TDM.con",
                                            "                tdm",
                                            "                  ControlPoints.con",
                                            "                Init.con",
                                            "  bf1942",
                                            "    levels",
                                            "      Beach",
                                            "        Conquest",
                                            "          ControlPoints.con",
                                            "        GameTypes",
                                            "          Conquest.con",
                                            "          TDM.con",
                                            "        tdm",
                                            "          ControlPoints.con",
                                            "        Init.con",
                                            "  objects",
                                            "    vehicles",
                                            "      Jeep",
                                            "        Objects.con",
                                            "      Tank",
                                            "        Objects.con",
                                            "        tank.inc"}));
    // Folders without scripts are not shown but are watched, since scripts may come.
    EXPECT_TRUE(scanned.contains(mod.root + "/textures"));
    EXPECT_TRUE(scanned.contains(mod.root + "/objects/vehicles/Jeep"));

    // An entry is named as the mod index names it: the archive's path and the entry's name.
    const QString entry =
        mod.root + "/archives/bf1942/levels/Beach.rfa/bf1942/levels/Beach/Init.con";
    const QModelIndex at = model.indexOfPath(entry);
    ASSERT_TRUE(at.isValid());
    EXPECT_EQ(at.data(ModTreeModel::KindRole).toInt(), ModTreeNode::Entry);
    EXPECT_EQ(at.data(ModTreeModel::ArchiveRole).toString(),
              mod.root + "/archives/bf1942/levels/Beach.rfa");
    EXPECT_EQ(at.data(ModTreeModel::EntryRole).toString(),
              QStringLiteral("bf1942/levels/Beach/Init.con"));
    EXPECT_EQ(model.indexOfPath(mod.root + "/objects/vehicles/Tank/tank.inc")
                  .data(ModTreeModel::KindRole)
                  .toInt(),
              ModTreeNode::Script);
}

TEST(ModTreeTest, FilesAddedRemovedAndRenamedChangeOnlyTheirRows) {
    Mod mod;
    ModTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.update(scanModTree({mod.root}));
    const QPersistentModelIndex tank =
        model.indexOfPath(mod.root + "/objects/vehicles/Tank/Objects.con");
    const QPersistentModelIndex jeepFolder = model.indexOfPath(mod.root + "/objects/vehicles/Jeep");
    ASSERT_TRUE(tank.isValid());
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    mod.put("objects/vehicles/Tank/Physics.con");
    ASSERT_TRUE(QFile::rename(mod.root + "/objects/vehicles/Jeep/Objects.con",
                              mod.root + "/objects/vehicles/Jeep/Jeep.con"));
    QFile::remove(mod.root + "/objects/vehicles/Tank/tank.inc");
    mod.put("textures/notes.con"); // a folder that held no script so far
    model.update(scanModTree({mod.root}));

    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(inserted.count(), 3); // Physics.con, Jeep.con, textures
    EXPECT_EQ(removed.count(), 2);  // tank.inc, the old Objects.con of the jeep
    EXPECT_TRUE(tank.isValid());    // rows that stay keep their identity
    EXPECT_EQ(tank.data().toString(), QStringLiteral("Objects.con"));
    EXPECT_TRUE(jeepFolder.isValid());
    EXPECT_EQ(model.rowCount(jeepFolder), 1);
    EXPECT_EQ(model.index(0, 0, jeepFolder).data().toString(), QStringLiteral("Jeep.con"));
    EXPECT_FALSE(model.indexOfPath(mod.root + "/objects/vehicles/Tank/tank.inc").isValid());
    EXPECT_TRUE(model.indexOfPath(mod.root + "/textures/notes.con").isValid());

    // A folder whose last script goes disappears with it.
    QDir(mod.root + "/objects/vehicles/Jeep").removeRecursively();
    model.update(scanModTree({mod.root}));
    EXPECT_FALSE(jeepFolder.isValid());
    EXPECT_TRUE(tank.isValid());
}

TEST(ModTreeTest, ProblemsMarkScriptsAndAddUpInTheirFolders) {
    Mod mod;
    ModTreeModel model;
    model.update(scanModTree({mod.root}));
    const QString tank = mod.root + "/objects/vehicles/Tank/Objects.con";
    const QString jeep = mod.root + "/objects/vehicles/Jeep/Objects.con";
    const QString entry =
        mod.root + "/archives/bf1942/levels/Beach.rfa/bf1942/levels/Beach/Init.con";
    model.setProblems({{tank, 2}, {jeep, 1}, {entry, 4}, {mod.root + "/gone.con", 9}});
    const auto problems = [&](const QString &path) {
        return model.indexOfPath(path).data(ModTreeModel::ProblemsRole).toInt();
    };
    EXPECT_EQ(problems(tank), 2);
    EXPECT_EQ(problems(mod.root + "/objects/vehicles"), 3);
    EXPECT_EQ(problems(mod.root + "/archives/bf1942/levels/Beach.rfa"), 4);
    EXPECT_EQ(problems(mod.root), 7);
    EXPECT_EQ(problems(mod.root + "/bf1942"), 0);
    EXPECT_TRUE(model.indexOfPath(tank).data(Qt::ToolTipRole).toString().contains("2 problems"));

    // A rescan keeps the marks; a script that is fixed loses its mark.
    mod.put("objects/vehicles/Tank/New.con");
    model.update(scanModTree({mod.root}));
    EXPECT_EQ(problems(tank), 2);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setProblems({{jeep, 1}});
    EXPECT_EQ(problems(tank), 0);
    EXPECT_EQ(problems(mod.root), 1);
    EXPECT_GE(changed.count(), 3);
}

TEST(ModTreeTest, ADamagedArchiveShowsWhyAndNothingElseBreaks) {
    Mod mod;
    mod.put("archives/broken.rfa", QByteArray("\xff\xff\xff\x7f garbage", 12));
    mod.put("archives/empty.rfa", QByteArray());
    ModTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.update(scanModTree({mod.root}));
    for (const char *name : {"broken.rfa", "empty.rfa"}) {
        const QModelIndex at = model.indexOfPath(mod.root + "/archives/" + name);
        ASSERT_TRUE(at.isValid()) << name;
        EXPECT_EQ(model.rowCount(at), 0);
        EXPECT_FALSE(at.data(ModTreeModel::ErrorRole).toString().isEmpty()) << name;
    }
}

TEST(ModTreeTest, ALinkBackUpTheTreeIsNotFollowedForever) {
    Mod mod;
    ASSERT_TRUE(QFile::link(mod.root, mod.root + "/objects/loop"));
    ModTreeModel model;
    model.update(scanModTree({mod.root, mod.root + "/", mod.dir.filePath("missing")}));
    EXPECT_EQ(model.rowCount(), 1); // the same folder twice and a missing one: one root
    // The link leads back into the folder being read: it is not followed, the rest is shown.
    EXPECT_FALSE(model.indexOfPath(mod.root + "/objects/loop").isValid());
    EXPECT_TRUE(model.indexOfPath(mod.root + "/objects/vehicles/Tank/Objects.con").isValid());
}

TEST(ModTreeTest, TheFilterShowsMatchesWithTheirFoldersAndWhatIsBelowAMatchingFolder) {
    Mod mod;
    ModTreeModel model;
    model.update(scanModTree({mod.root}));
    ModTreeFilter filter;
    filter.setSourceModel(&model);
    QAbstractItemModelTester tester(&filter, QAbstractItemModelTester::FailureReportingMode::Fatal);
    filter.setFilterWords(QStringLiteral("controlpoints"));
    QStringList lines = describe(filter);
    EXPECT_EQ(lines.filter("ControlPoints.con").size(), 4);
    EXPECT_TRUE(lines.filter("Init.con").isEmpty());
    EXPECT_TRUE(lines.filter("objects").isEmpty());

    filter.setFilterWords(QStringLiteral("  TANK  "));
    lines = describe(filter);
    EXPECT_EQ(lines.filter("Objects.con").size(), 1); // below the folder Tank
    EXPECT_EQ(lines.filter("tank.inc").size(), 1);

    filter.setFilterWords(QStringLiteral("con game"));
    EXPECT_TRUE(describe(filter).filter(".con").isEmpty()); // no name holds both words
    filter.setFilterWords(QString());
    EXPECT_EQ(describe(filter), describe(model));
}
