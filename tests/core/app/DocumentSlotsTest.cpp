#include "core/document/DocumentSlots.h"
#include "core/document/DocumentCaption.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace marlix;

TEST(DocumentSlots, LowestFreeSlotAndCaptionLookup) {
    SlotCaptions captions;
    EXPECT_EQ(lowestFreeSlot(captions), 0);
    captions[1] = "/x.con";
    captions[2] = "";
    EXPECT_EQ(lowestFreeSlot(captions), 0);
    captions[0] = "/X.con";
    EXPECT_EQ(lowestFreeSlot(captions), 3);
    EXPECT_EQ(slotWithCaption(captions, "/x.con"), 1);
    EXPECT_EQ(slotWithCaption(captions, "/X.con"), 0);
    EXPECT_EQ(slotWithCaption(captions, "/y.con"), -1);
    // An untitled document answers to the empty path; free slots never do.
    EXPECT_EQ(slotWithCaption(captions, ""), 2);
    // Two documents saved under one name: the higher slot is taken.
    captions[7] = "/x.con";
    EXPECT_EQ(slotWithCaption(captions, "/x.con"), 7);
    for (auto &caption : captions)
        caption = "";
    EXPECT_EQ(lowestFreeSlot(captions), -1);
}

TEST(DocumentSlots, ClosingActivatesTheFollowingTabOrTheFirst) {
    EXPECT_EQ(tabActiveAfterRemoval(1, 4), 1); // the one that followed moves into its place
    EXPECT_EQ(tabActiveAfterRemoval(3, 4), 0); // the last: back to the first
    EXPECT_EQ(tabActiveAfterRemoval(0, 2), 0);
    EXPECT_EQ(tabActiveAfterRemoval(0, 1), -1); // the only one: none
}

namespace {
struct Tree {
    QTemporaryDir dir;
    QString root = QDir(dir.path()).canonicalPath();
    QString make(const QString &name) {
        QDir().mkpath(QFileInfo(root + "/" + name).absolutePath());
        QFile file(root + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return root + "/" + name;
    }
};
} // namespace

// `marlix ../Sherman/Objects.con` opened a second tab for a file already open.
TEST(DocumentSlots, AFileOpenUnderAnotherSpellingIsTheSameDocument) {
    Tree tree;
    const QString objects = tree.make("Sherman/Objects.con");
    tree.make("Tiger/Objects.con");
    SlotCaptions captions;
    captions[3] = objects;
    captions[4] = ""; // an untitled document: no file is it
    for (const QString &spelling :
         {tree.root + "/Tiger/../Sherman/Objects.con", tree.root + "/Sherman/./Objects.con",
          tree.root + "//Sherman//Objects.con"})
        EXPECT_EQ(slotWithFile(captions, spelling), 3) << qPrintable(spelling);
    EXPECT_EQ(slotWithFile(captions, tree.root + "/Tiger/Objects.con"), -1);
    // The empty name stays the untitled document's, as its caption is.
    EXPECT_EQ(slotWithFile(captions, ""), 4);

    // A link and its target, either way round, and a link to the folder.
    ASSERT_TRUE(QFile::link(objects, tree.root + "/link.con"));
    ASSERT_TRUE(QFile::link(tree.root + "/Sherman", tree.root + "/Sh"));
    EXPECT_EQ(slotWithFile(captions, tree.root + "/link.con"), 3);
    EXPECT_EQ(slotWithFile(captions, tree.root + "/Sh/Objects.con"), 3);
    SlotCaptions viaLink;
    viaLink[0] = tree.root + "/link.con";
    EXPECT_EQ(slotWithFile(viaLink, objects), 0);

    // Letter case still tells two files apart; a file gone from disk matches its own path.
    EXPECT_EQ(slotWithFile(captions, tree.root + "/sherman/objects.con"), -1);
    captions[9] = tree.root + "/gone/x.con";
    EXPECT_EQ(slotWithFile(captions, tree.root + "/gone/./x.con"), 9);
    EXPECT_TRUE(sameDocument(tree.root + "/gone/x.con", tree.root + "/gone//x.con"));
}

TEST(DocumentSlots, CleaningKeepsWhatALinkedFolderMeans) {
    Tree tree;
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
