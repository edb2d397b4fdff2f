#include "core/modindex/NameCompletionSource.h"

#include "core/modindex/ModIndex.h"
#include "tests/core/editor/TypedText.h"
#include "tests/core/modindex/ModTree.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace marlix;

namespace {

struct Completing : ::testing::Test {
    ModTree tree;
    ModIndex index{ModTree::shippedTables()};
    NameCompletionSource names{index};
    TypedText doc;
    CompletionSession session{doc};

    void SetUp() override {
        index.build({tree.mod});
        session.addSource(&names);
    }
    void type(const QByteArray &keys) { marlix::type(session, doc, keys); }
    // What the source offers with the caret at the end of the text.
    QStringList offered(const QByteArray &text) {
        TypedText at;
        at.text = text;
        at.at = text.size();
        const std::optional<CompletionOffer> offer = names.offerAt(at);
        return offer ? offer->items : QStringList();
    }
};

} // namespace

TEST_F(Completing, TheReferencedFamilysNamesOpenAfterTheCommandAndItsBlank) {
    type("objecttemplate.ADDTEMPLATE");
    EXPECT_FALSE(session.isOpen());
    type(" ");
    ASSERT_TRUE(session.isOpen());
    EXPECT_EQ(session.offer().items, QStringList({"Tank_Engine", "Tank_Hull", "TANK_TURRET"}));
    EXPECT_EQ(session.offer().codeStart, doc.text.size());
    type("tank_h");
    EXPECT_EQ(session.currentRow(), 0); // the list narrowed to Tank_Hull
    type("\r");
    EXPECT_EQ(doc.text, "objecttemplate.ADDTEMPLATE Tank_Hull");
    EXPECT_FALSE(session.isOpen());
    // A blank accepts too, and stays typed after the name.
    type("\r\nObject.create tank_e ");
    EXPECT_EQ(doc.text, "objecttemplate.ADDTEMPLATE Tank_Hull\r\nObject.create Tank_Engine ");

    EXPECT_EQ(offered("x\r\n  ObjectTemplate.geometry "), QStringList{"Tank_Hull_M1"});
    EXPECT_EQ(offered("ObjectTemplate.setTeamGeometry 2 "), QStringList{"Tank_Hull_M1"});
    EXPECT_EQ(offered("ObjectTemplate.aiTemplate\t"), QStringList{"Tank_AI"}); // from an archive
    EXPECT_EQ(offered("aiTemplate.addPlugIn "), QStringList{"Tank_Armament"});
    EXPECT_EQ(offered("ObjectTemplate.addTemplate \""), session.offer().items);
}

TEST_F(Completing, NothingIsOfferedWhereNoNameOfAReferenceBeginsOrInRemarks) {
    EXPECT_TRUE(offered("ObjectTemplate.create Bundle ").isEmpty());   // a definition
    EXPECT_TRUE(offered("ObjectTemplate.setTeamGeometry ").isEmpty()); // the team comes first
    EXPECT_TRUE(offered("ObjectTemplate.addTemplate Ta").isEmpty());   // a name begun
    EXPECT_TRUE(offered("ObjectTemplate.addTemplate Tank_Hull ").isEmpty());
    EXPECT_TRUE(offered("ObjectTemplate.lodSelector ").isEmpty()); // none of that family
    EXPECT_TRUE(offered("rem ObjectTemplate.addTemplate ").isEmpty());
    EXPECT_TRUE(offered("x rem ObjectTemplate.addTemplate ").isEmpty());
    EXPECT_TRUE(offered("beginRem\r\nrem endRem\r\n\r\nObjectTemplate.addTemplate ").isEmpty());
    EXPECT_FALSE(offered("beginRem\r\nbeginRem\nendrem\r\nObjectTemplate.addTemplate ").isEmpty());

    // A caret before a name already there: the line is passed over, not written.
    TypedText line;
    line.text = "ObjectTemplate.addTemplate Tank_Hull\r\nnext";
    line.at = 27;
    EXPECT_FALSE(names.offerAt(line));
    line.text = "ObjectTemplate.addTemplate   \r\nnext";
    EXPECT_TRUE(names.offerAt(line));
}

TEST_F(Completing, ReleasingEscAfterItClosedTheListDoesNotReopenIt) {
    type("Object.create ");
    ASSERT_TRUE(session.isOpen());
    key(session, doc, Qt::Key_Escape);
    EXPECT_FALSE(session.isOpen());
    key(session, doc, Qt::Key_Shift);
    EXPECT_FALSE(session.isOpen());
    // Back at the same place from elsewhere, the list opens again.
    doc.at -= 1;
    doc.apply(session.checkTrigger());
    doc.at += 1;
    doc.apply(session.checkTrigger());
    EXPECT_TRUE(session.isOpen());
}

// The editor asks on the window's thread while the index is rebuilt on others.
TEST_F(Completing, OffersStayWholeWhileABuildReplacesTheIndexAndFollowIt) {
    const QStringList before = offered("Object.create ");
    std::atomic<bool> done{false};
    std::thread builds([&] {
        for (int i = 0; i < 20; ++i) {
            tree.put(QString("objects/extra%1.con").arg(i),
                     "ObjectTemplate.create Bundle Extra_" + QByteArray::number(i) + "\r\n");
            index.build({tree.mod});
        }
        done = true;
    });
    int asked = 0;
    while (!done || asked == 0) {
        const QStringList now = offered("Object.create ");
        for (const QString &name : before)
            ASSERT_TRUE(now.contains(name)) << name.toStdString();
        ++asked;
    }
    builds.join();
    EXPECT_EQ(offered("Object.create ").size(), before.size() + 20);
}

TEST_F(Completing, ACommandThatMayNameSeveralFamiliesOffersTheNamesOfEach) {
    tree.put("objects/weapons/gun.con", "weaponTemplate.create Tank_Gun\r\n"
                                        "weaponTemplate.create TANK_AI\r\n");
    index.build({tree.mod});
    // aiTemplate Tank_AI and weaponTemplate TANK_AI are offered once, in order.
    EXPECT_EQ(offered("ObjectTemplate.aiTemplate "), (QStringList{"Tank_AI", "Tank_Gun"}));
}
