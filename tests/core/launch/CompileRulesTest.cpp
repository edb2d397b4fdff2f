#include "core/launch/CompileRules.h"

#include "core/common/Error.h"
#include "tests/core/FileBytes.h"

#include <QTemporaryDir>

#include <QDir>
#include <gtest/gtest.h>

using namespace marlix;

TEST(CompileRules, CategoriesInPackingOrderWithLowerCaseNames) {
    QStringList names, captions;
    for (const Category &c : launchCategories()) {
        names << QString::fromLatin1(c.name);
        captions << QString::fromLatin1(c.caption);
    }
    EXPECT_EQ(names, QStringList({"ai", "aimeshes", "animations", "font", "menu", "objects",
                                  "shaders", "sound", "standardmesh", "texture", "treemesh"}));
    EXPECT_EQ(captions.at(1), "AiMeshes");
    EXPECT_EQ(captions.at(10), "TreeMesh");
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(names[i], captions[i].toLower());
}

TEST(CompileRules, BatchLineKeepsSpacesUnquotedAndEmptyPacker) {
    EXPECT_EQ(batchLine("/opt/my tools/packer", "/home/u/Marlix dir/"),
              "/opt/my tools/packer < /home/u/Marlix dir/compile.ini");
    EXPECT_EQ(batchLine("", "/e/"), " < /e/compile.ini");
}

TEST(CompileRules, AnswerLinesAndSourceFolderInsideTheModFolder) {
    const QString sep = QDir::separator();
    EXPECT_EQ(answerLines("/mods/MyMod/", "objects"),
              QStringList({"/mods/MyMod/objects", "objects", "N",
                           "/mods/MyMod/archives" + sep + "objects.rfa", "N", "exit"}));
    EXPECT_EQ(sourceFolder("/mods/MyMod/", "objects"), "/mods/MyMod/objects");
}

// "/home/me/mods/MyMod" checked ".../MyModanimations", packed nothing and said nothing.
TEST(CompileRules, ModPathIsAFolderWithOrWithoutItsSeparator) {
    const QString sep = QDir::separator();
    EXPECT_EQ(sourceFolder("/mods/MyMod", "objects"), "/mods/MyMod/objects");
    EXPECT_EQ(answerLines("/mods/MyMod", "objects"), answerLines("/mods/MyMod/", "objects"));
    EXPECT_EQ(answerLines("/mods/MyMod", "sound").at(3),
              "/mods/MyMod/archives" + sep + "sound.rfa");
    EXPECT_EQ(modFolder("/mods/My Mod"), "/mods/My Mod/");
    EXPECT_EQ(modFolder("/"), "/");
    // No mod path is no folder to add a separator to.
    EXPECT_EQ(modFolder(""), "");
}

TEST(CompileRules, SettingsLinesKeepEmptyTextsInPlace) {
    EXPECT_EQ(settingsLines("p", "", "g", ""), QStringList({"p", "", "g", ""}));
}

TEST(CompileRules, PackPlanFollowsTickedBoxesInOrder) {
    QList<bool> ticked(11, false);
    EXPECT_TRUE(packPlan(ticked).isEmpty());
    ticked[10] = ticked[0] = ticked[5] = true;
    EXPECT_EQ(packPlan(ticked), QStringList({"ai", "objects", "treemesh"}));
}

TEST(CompileRules, FolderPartKeepsTheLastSeparatorOrDriveColon) {
    EXPECT_EQ(folderPart("/mods/My Mod/[NO FILE REQUIRED]"), "/mods/My Mod/");
    EXPECT_EQ(folderPart("C:\\mods\\x"), "C:\\mods\\");
    EXPECT_EQ(folderPart("C:x"), "C:");
    EXPECT_EQ(folderPart("plain"), "");
}

TEST(CompileRules, ShortSettingsFileTakesItsLinesThenReportsTheFirstMissing) {
    QTemporaryDir dir;
    const QString path = settingsPath(dir.path() + "/");
    writeAll(path, "one\r\ntwo\n");
    QStringList taken;
    try {
        readSettings(path, [&taken](int, const QString &line) { taken << line; });
        FAIL() << "a two-line file was accepted";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), "List index out of bounds (2)");
    }
    EXPECT_EQ(taken, QStringList({"one", "two"}));
    writeSettings(path, "p", "m", "g", "");
    EXPECT_EQ(readAll(path), "p\r\nm\r\ng\r\n\r\n");
}
