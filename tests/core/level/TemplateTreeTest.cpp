#include "core/level/TemplateTree.h"
#include "core/modindex/ModIndex.h"
#include "tests/core/level/SampleTank.h"

#include <gtest/gtest.h>
#include <memory>

using namespace marlix;

namespace {

std::unique_ptr<ModIndex> built(const TankMod &mod) {
    auto index =
        std::make_unique<ModIndex>(CommandTable::fromProgramFolder(MARLIX_SOURCE_DIR "/data/"));
    index->build({mod.mod});
    return index;
}

} // namespace

TEST(TemplateTree, ChildrenAcrossScriptsWithTheirPlacesTypesAndGeometry) {
    TankMod mod;
    ModIndex index(CommandTable::fromProgramFolder(MARLIX_SOURCE_DIR "/data/"));
    index.build({mod.mod});
    TemplateTree tree(index);

    const TemplatePart root = tree.root("tank");
    EXPECT_EQ(root.state, TemplatePart::Defined);
    EXPECT_EQ(root.type, "PlayerControlObject");
    EXPECT_EQ(root.geometry, "Tank_Hull_M1");
    EXPECT_EQ(root.file, mod.path("objects/vehicles/tank/objects.con"));
    EXPECT_EQ(root.line, 1);

    const QList<TemplatePart> top = tree.children("Tank", {"Tank"});
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0].name, "Tank_Hull");
    EXPECT_EQ(top[0].type, "Bundle");
    EXPECT_EQ(top[0].position, "0/0.5/0");
    EXPECT_EQ(top[0].line, 8);
    EXPECT_EQ(top[0].addedLine, 3);
    EXPECT_EQ(top[1].name, "Tank_Radio");
    EXPECT_EQ(top[1].state, TemplatePart::Undefined);
    // An undefined child leads to the line that adds it.
    EXPECT_EQ(top[1].file, mod.path("objects/vehicles/tank/objects.con"));
    EXPECT_EQ(top[1].line, 6);

    // The hull's own children, then the one another script adds after ObjectTemplate.active.
    const QList<TemplatePart> hull = tree.children("Tank_Hull", {"Tank", "Tank_Hull"});
    ASSERT_EQ(hull.size(), 2);
    EXPECT_EQ(hull[0].name, "Tank_Turret");
    EXPECT_EQ(hull[0].type, "RotationalBundle");
    EXPECT_EQ(hull[0].geometry, "Tank_Turret_M1");
    EXPECT_EQ(hull[0].position, "0/1.2/0.3");
    EXPECT_EQ(hull[0].rotation, "0/0/0");
    EXPECT_EQ(hull[0].file, mod.path("objects/vehicles/tank/turret.con"));
    EXPECT_EQ(hull[1].name, "Tank_Light");
    EXPECT_EQ(hull[1].addedIn, mod.path("objects/vehicles/tank/extras.con"));
}

TEST(TemplateTree, ANameThatComesBackUpTheTreeIsMarkedAndNotFollowed) {
    TankMod mod;
    const auto index = built(mod);
    TemplateTree tree(*index);
    const QList<TemplatePart> gun =
        tree.children("Shared_Gun", {"Tank", "Tank_Hull", "Tank_Turret", "Shared_Gun"});
    ASSERT_EQ(gun.size(), 1);
    EXPECT_EQ(gun[0].state, TemplatePart::Cycle);

    EXPECT_EQ(tree.text("Tank"), "Tank  PlayerControlObject  Tank_Hull_M1\n"
                                 "  Tank_Hull  Bundle  0/0.5/0\n"
                                 "    Tank_Turret  RotationalBundle  Tank_Turret_M1  0/1.2/0.3  "
                                 "0/0/0\n"
                                 "      Shared_Gun  GenericFireArm\n"
                                 "        TANK_TURRET  (cycle)  RotationalBundle  Tank_Turret_M1\n"
                                 "    Tank_Light  SimpleObject\n"
                                 "  Tank_Radio  (undefined)\n");
    EXPECT_EQ(tree.countParts("Tank"), 7);
    EXPECT_EQ(tree.root("Nothing").state, TemplatePart::Undefined);
    EXPECT_EQ(tree.text("Nothing"), "Nothing  (undefined)\n");
}

TEST(TemplateTree, UsedByListsParentsPlacementsAndSpawners) {
    TankMod mod;
    const auto index = built(mod);
    TemplateTree tree(*index);
    const QList<TemplateUse> turret = tree.usedBy("Tank_Turret");
    ASSERT_EQ(turret.size(), 2);
    EXPECT_EQ(turret[0].owner, "Tank_Hull");
    EXPECT_EQ(turret[0].command, "ObjectTemplate.addTemplate");
    EXPECT_EQ(turret[1].owner, "Shared_Gun");
    EXPECT_EQ(turret[1].file, mod.path("objects/weapons/gun.con"));

    const QList<TemplateUse> tank = tree.usedBy("Tank");
    ASSERT_EQ(tank.size(), 2);
    EXPECT_EQ(tank[0].command, "ObjectTemplate.setObjectTemplate");
    EXPECT_EQ(tank[0].owner, "tankspawner");
    EXPECT_EQ(tank[1].command, "Object.create");
    EXPECT_EQ(tank[1].owner, "");
    EXPECT_EQ(tank[1].file, mod.path("bf1942/levels/Harbour/StaticObjects.con"));

    // The light is added after ObjectTemplate.active: its user is the hull, and the active
    // line itself is no use of the hull.
    EXPECT_EQ(tree.usedBy("Tank_Light").value(0).owner, "Tank_Hull");
    for (const TemplateUse &use : tree.usedBy("Tank_Hull"))
        EXPECT_NE(use.command, "ObjectTemplate.active");
}

TEST(TemplateTree, ClearReadsChangedScriptsAgain) {
    TankMod mod;
    ModIndex index(CommandTable::fromProgramFolder(MARLIX_SOURCE_DIR "/data/"));
    index.build({mod.mod});
    TemplateTree tree(index);
    EXPECT_EQ(tree.countParts("Tank"), 7);
    mod.put("objects/vehicles/tank/turret.con",
            "ObjectTemplate.create RotationalBundle Tank_Turret\r\n");
    index.rereadFile(mod.path("objects/vehicles/tank/turret.con"));
    EXPECT_EQ(tree.countParts("Tank"), 7); // what it read stays until cleared
    tree.clear();
    EXPECT_EQ(tree.countParts("Tank"), 5);
}

TEST(TemplateTree, AnOpenScriptsUnsavedTextStandsForItsFile) {
    TankMod mod;
    const auto index = built(mod);
    TemplateTree tree(*index);
    const QString turret = mod.path("objects/vehicles/tank/turret.con");
    // The turret's editor holds a new part and no longer the gun; a line inserted above the
    // hull's user shifts the lines of the text in the editor only.
    tree.setOpenText([&](const QString &path, QByteArray &bytes) {
        if (path != turret)
            return false;
        bytes = "ObjectTemplate.create RotationalBundle Tank_Turret\r\n"
                "ObjectTemplate.addTemplate Tank_Sight\r\n"
                "ObjectTemplate.setPosition 0/0.4/0\r\n";
        return true;
    });
    const QList<TemplatePart> parts = tree.children("Tank_Turret", {"Tank_Turret"});
    ASSERT_EQ(parts.size(), 1);
    EXPECT_EQ(parts[0].name, "Tank_Sight");
    EXPECT_EQ(parts[0].state, TemplatePart::Undefined);
    EXPECT_EQ(parts[0].position, "0/0.4/0");
    EXPECT_EQ(parts[0].line, 2);
    EXPECT_EQ(tree.countParts("Tank"), 6);
    EXPECT_TRUE(tree.scriptsRead().contains(turret));
    EXPECT_TRUE(tree.scriptsRead().contains(mod.path("objects/vehicles/tank/extras.con")));

    // "Used by" gives the index's lines, so its owners come from the script as saved: the
    // gun is still used by the turret there until the turret is saved.
    const QList<TemplateUse> gun = tree.usedBy("Shared_Gun");
    ASSERT_EQ(gun.size(), 1);
    EXPECT_EQ(gun[0].owner, "Tank_Turret");
    EXPECT_EQ(gun[0].line, 3);
}
