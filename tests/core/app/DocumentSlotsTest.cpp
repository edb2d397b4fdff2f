#include "core/document/DocumentSlots.h"
#include "core/document/DocumentCaption.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "../FileTree.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(DocumentSlots, ClosingActivatesTheFollowingTabOrTheFirst) {
    EXPECT_EQ(tabActiveAfterRemoval(1, 4), 1); // the one that followed moves into its place
    EXPECT_EQ(tabActiveAfterRemoval(3, 4), 0); // the last: back to the first
    EXPECT_EQ(tabActiveAfterRemoval(0, 2), 0);
    EXPECT_EQ(tabActiveAfterRemoval(0, 1), -1); // the only one: none
}

TEST(DocumentSlots, AFileUnderAnotherSpellingIsTheSameDocument) {
    FileTree tree;
    const QString objects = tree.make("Sherman/Objects.con");
    tree.make("Tiger/Objects.con");
    EXPECT_TRUE(sameDocument(objects, tree.root + "/Tiger/../Sherman/Objects.con"));
    EXPECT_FALSE(sameDocument(objects, tree.root + "/Tiger/Objects.con"));
    EXPECT_FALSE(sameDocument(objects, tree.root + "/sherman/objects.con"));
    // The empty path names no file, only an untitled document.
    EXPECT_FALSE(sameDocument(objects, ""));
    EXPECT_TRUE(sameDocument("", ""));
    EXPECT_TRUE(sameDocument(tree.root + "/gone/x.con", tree.root + "/gone//x.con"));
}

TEST(DocumentSlots, CleaningKeepsWhatALinkedFolderMeans) {
    FileTree tree;
    const QString real = tree.make("mod/b.con");
    tree.make("mod/x/keep.con");
    tree.make("far/b.con");
    QDir().mkpath(tree.root + "/far/deep");
    EXPECT_EQ(cleanDocumentPath(tree.root + "/mod/x/../b.con"), tree.root + "/mod/b.con");
    EXPECT_EQ(cleanDocumentPath(tree.root + "/mod/./b.con"), real);
    EXPECT_EQ(cleanDocumentPath(tree.root + "//mod//b.con"), real);
    EXPECT_EQ(cleanDocumentPath(""), "");
    // mod/link -> far/deep: link/.. is far, not mod; the path stays as given.
    ASSERT_TRUE(QFile::link(tree.root + "/far/deep", tree.root + "/mod/link"));
    const QString throughLink = tree.root + "/mod/link/../b.con";
    EXPECT_EQ(cleanDocumentPath(throughLink), throughLink);
    EXPECT_TRUE(sameDocument(throughLink, tree.root + "/far/b.con"));
    EXPECT_FALSE(sameDocument(throughLink, real));
}

// Two open scripts that share a name show their folders on their tabs.
TEST(DocumentCaption, TabsShowTheNameAndFoldersOnlyWhereNeeded) {
    EXPECT_EQ(tabNames({"/mods/m/objects/Objects.con", "/mods/m/init.con", ""}),
              QStringList({"Objects.con", "init.con", ""}));
    EXPECT_EQ(tabNames({"/mods/m/Sherman/Objects.con", "/mods/m/Tiger/Objects.con",
                        "/mods/m/Tiger/Tiger.con"}),
              QStringList({"Sherman/Objects.con", "Tiger/Objects.con", "Tiger.con"}));
    EXPECT_EQ(tabNames({"/m/a/objects/Objects.con", "/m/b/objects/Objects.con"}),
              QStringList({"a/objects/Objects.con", "b/objects/Objects.con"}));
    // Only the whole path tells them apart; the very same path twice cannot be told apart.
    EXPECT_EQ(tabNames({"/a/Objects.con", "/b/Objects.con"}),
              QStringList({"/a/Objects.con", "/b/Objects.con"}));
    EXPECT_EQ(tabNames({"/x/Objects.con", "/y/x/Objects.con"}),
              QStringList({"/x/Objects.con", "/y/x/Objects.con"}));
    EXPECT_EQ(tabNames({"/m/a.con", "/m/a.con"}), QStringList({"a.con", "a.con"}));
    // Letter case makes another name, as it makes another file.
    EXPECT_EQ(tabNames({"/m/A.con", "/n/a.con"}), QStringList({"A.con", "a.con"}));
}
