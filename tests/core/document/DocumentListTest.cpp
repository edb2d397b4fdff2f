#include "core/document/DocumentList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "../FileTree.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(DocumentList, OpensInTheLowestFreeSlotBehindTheOtherTabs) {
    DocumentList list;
    EXPECT_EQ(list.open(), 0);
    EXPECT_EQ(list.open(), 1);
    EXPECT_EQ(list.open(), 2);
    list.close(1);
    EXPECT_FALSE(list.contains(1));
    EXPECT_EQ(list.tabOrder(), QList<int>({0, 2}));
    // The freed slot is taken again, but the tab comes last.
    EXPECT_EQ(list.open(), 1);
    EXPECT_EQ(list.tabOrder(), QList<int>({0, 2, 1}));
    EXPECT_EQ(list.indexOf(1), 2);
    EXPECT_EQ(list.slotAt(1), 2);
    EXPECT_EQ(list.slotAt(3), -1);
    EXPECT_EQ(list.slotAt(-1), -1);
    EXPECT_EQ(list.indexOf(7), -1);
    list.close(7); // no document there: nothing happens
    EXPECT_EQ(list.count(), 3);
}

TEST(DocumentList, HoldsTwentyNineDocumentsAndNeverUsesTheLastSlot) {
    DocumentList list;
    for (int i = 0; i < MaxOpenDocuments; ++i)
        ASSERT_EQ(list.open(), i);
    EXPECT_TRUE(list.isFull());
    EXPECT_EQ(list.open(), -1);
    EXPECT_EQ(list.count(), MaxOpenDocuments);
    EXPECT_FALSE(list.contains(DocumentSlotCount - 1));
    list.close(12);
    EXPECT_FALSE(list.isFull());
    EXPECT_EQ(list.open(), 12);
}

TEST(DocumentList, CaptionShowsTheDisplayOrThePathWithTheChangedMark) {
    DocumentList list;
    const int slot = list.open();
    EXPECT_EQ(list.caption(slot), "");
    list.setModified(slot, true);
    EXPECT_EQ(list.caption(slot), "*"); // an untitled document with changes
    list.setPath(slot, "/m/init.con");
    EXPECT_EQ(list.caption(slot), "*/m/init.con");
    list.setModified(slot, false);
    list.setDisplay(slot, "[objects.rfa:a/b.con]");
    EXPECT_EQ(list.caption(slot), "[objects.rfa:a/b.con]");
    EXPECT_EQ(list.path(slot), "/m/init.con"); // what it is saved under stays
    // Saving under a name shows that name from then on.
    list.setPath(slot, "/m/b.con");
    EXPECT_EQ(list.display(slot), "");
    EXPECT_EQ(list.caption(slot), "/m/b.con");
    // A slot without a document answers with nothing and takes nothing.
    list.setPath(5, "/m/x.con");
    list.setModified(5, true);
    EXPECT_EQ(list.path(5), "");
    EXPECT_FALSE(list.isModified(5));
    EXPECT_EQ(list.caption(5), "");
}

TEST(DocumentList, ADocumentOpenedInAFreedSlotStartsWithNothingOfTheOldOne) {
    DocumentList list;
    const int slot = list.open();
    list.setPath(slot, "/m/a.con");
    list.setModified(slot, true);
    FileFingerprint fingerprint;
    fingerprint.exists = true;
    fingerprint.size = 12;
    list.setKnownFile(slot, {"/m/a.con", fingerprint});
    EXPECT_EQ(list.knownFile(slot).path, "/m/a.con");
    EXPECT_EQ(list.knownFile(slot).fingerprint.size, 12);
    list.close(slot);
    // What was known of the closed script's file must not be held against the new one.
    ASSERT_EQ(list.open(), slot);
    EXPECT_EQ(list.path(slot), "");
    EXPECT_FALSE(list.isModified(slot));
    EXPECT_EQ(list.knownFile(slot).path, "");
    EXPECT_FALSE(list.knownFile(slot).fingerprint.exists);
    EXPECT_EQ(list.knownFile(9).path, "");
}

TEST(DocumentList, FindsAnOpenFileByItsPath) {
    DocumentList list;
    const int upper = list.open();
    const int lower = list.open();
    const int untitled = list.open();
    list.setPath(upper, "/X.con");
    list.setPath(lower, "/x.con");
    EXPECT_EQ(list.slotWithFile("/x.con"), lower);
    EXPECT_EQ(list.slotWithFile("/X.con"), upper);
    EXPECT_EQ(list.slotWithFile("/y.con"), -1);
    // An untitled document answers to the empty path; a free slot never does.
    EXPECT_EQ(list.slotWithFile(""), untitled);
    list.close(untitled);
    EXPECT_EQ(list.slotWithFile(""), -1);
    // Two documents saved under one name: the higher slot is taken, whatever the tab order.
    for (int i = 0; i < 5; ++i)
        list.open();
    list.setPath(6, "/x.con");
    list.close(lower);
    list.setPath(list.open(), "/x.con"); // slot 1, last tab
    EXPECT_EQ(list.slotWithFile("/x.con"), 6);
}

// `marlix ../Sherman/Objects.con` opened a second tab for a file already open.
TEST(DocumentList, AFileOpenUnderAnotherSpellingIsTheSameDocument) {
    FileTree tree;
    const QString objects = tree.make("Sherman/Objects.con");
    tree.make("Tiger/Objects.con");
    DocumentList list;
    for (int i = 0; i < 5; ++i)
        list.open();
    list.setPath(3, objects);
    // slot 4 stays untitled: no file is it
    for (const QString &spelling :
         {tree.root + "/Tiger/../Sherman/Objects.con", tree.root + "/Sherman/./Objects.con",
          tree.root + "//Sherman//Objects.con"})
        EXPECT_EQ(list.slotWithFile(spelling), 3) << qPrintable(spelling);
    EXPECT_EQ(list.slotWithFile(tree.root + "/Tiger/Objects.con"), -1);
    EXPECT_EQ(list.slotWithFile(""), 4);

    // A link and its target, either way round, and a link to the folder.
    ASSERT_TRUE(QFile::link(objects, tree.root + "/link.con"));
    ASSERT_TRUE(QFile::link(tree.root + "/Sherman", tree.root + "/Sh"));
    EXPECT_EQ(list.slotWithFile(tree.root + "/link.con"), 3);
    EXPECT_EQ(list.slotWithFile(tree.root + "/Sh/Objects.con"), 3);
    DocumentList viaLink;
    viaLink.setPath(viaLink.open(), tree.root + "/link.con");
    EXPECT_EQ(viaLink.slotWithFile(objects), 0);

    // Letter case still tells two files apart; a file gone from disk matches its own path.
    EXPECT_EQ(list.slotWithFile(tree.root + "/sherman/objects.con"), -1);
    for (int i = 5; i < 10; ++i)
        list.open();
    list.setPath(9, tree.root + "/gone/x.con");
    EXPECT_EQ(list.slotWithFile(tree.root + "/gone/./x.con"), 9);
}
