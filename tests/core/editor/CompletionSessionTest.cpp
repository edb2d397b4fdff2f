#include "core/script/CompletionSession.h"
#include "core/script/StyleTable.h"
#include "core/script/TriggerCompletion.h"
#include "tests/core/editor/TypedText.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

// Template names offered after the reference command and its blank, as a mod index would.
class TemplateNames : public CompletionSource {
public:
    std::optional<CompletionOffer> offerAt(const CompletionText &text) override {
        const QByteArray command = "ObjectTemplate.addTemplate ";
        const qsizetype from = text.caret() - command.size();
        if (from < 0 || text.bytes(from, text.caret()).toLower() != command.toLower())
            return std::nullopt;
        return CompletionOffer{
            from, QString::fromLatin1(command), 0, {"Tank_Hull", "Tank_Turret"}, QString()};
    }
};

struct Session {
    QTemporaryDir folder;
    TypedText doc;
    TriggerCompletion triggers;
    CompletionSession session{doc};

    Session() {
        write("objecttemplate.txt", "create\r\ndelete\naddTemplate\nactive\r\n");
        write("object.txt", "one\r\n");
        write("empty.txt", "");
        IntellisenseTable table;
        table.triggers = {"ObjectTemplate.", "Object.", "Missing.", "Empty."};
        table.files = {"objecttemplate.txt", "object.txt", "missing.txt", "empty.txt"};
        table.styles = {0, 1, 0, 0};
        table.count = 4;
        triggers.setTable(table);
        triggers.setProgramFolder(folder.path() + '/');
        session.addSource(&triggers);
    }
    void write(const QString &name, const QByteArray &bytes) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void type(const QByteArray &keys) { marlix::type(session, doc, keys); }
};

} // namespace

TEST(CompletionSession, TriggerOpensSortedItemsPrefixSelectsAndEnterPutsTheItemIn) {
    Session s;
    s.type("x ObjectTemplate");
    EXPECT_FALSE(s.session.isOpen());
    s.type(".");
    ASSERT_TRUE(s.session.isOpen());
    EXPECT_EQ(s.session.offer().items, QStringList({"active", "addTemplate", "create", "delete"}));
    EXPECT_EQ(s.session.offer().codeStart, 2);
    EXPECT_EQ(s.session.currentRow(), -1);
    s.type("DE");
    // The list narrows to the items that match, those beginning with the prefix first.
    ASSERT_EQ(s.session.shown().size(), 2);
    EXPECT_EQ(s.session.shown()[0].item, 3); // delete
    EXPECT_EQ(s.session.shown()[1].item, 1); // aDdTEmplate: its letters in order
    EXPECT_EQ(s.session.currentRow(), 0);
    s.type("\r"); // withheld: no line break after the item
    EXPECT_EQ(s.doc.text, "x ObjectTemplate.delete");
    EXPECT_EQ(s.doc.at, s.doc.text.size());
    EXPECT_FALSE(s.session.isOpen());
}

TEST(CompletionSession, SpaceAndDotAcceptTheFirstItemAfterAnEmptyPrefixAndStillGoIn) {
    Session s;
    s.type("ObjectTemplate. ");
    EXPECT_EQ(s.doc.text, "ObjectTemplate.active ");
    s.type("Object.");
    s.type(".");
    // Style 1 puts the item in for the trigger as well.
    EXPECT_EQ(s.doc.text, "ObjectTemplate.active one.");
}

// A command the completion file does not hold was replaced by the first item:
// "resetWhenRemoved 1" became "active 1", and Enter glued the next line on.
TEST(CompletionSession, APrefixThatBeginsNoItemGivesTheCompletionUp) {
    Session s;
    s.type("ObjectTemplate.resetWhenRemoved 1");
    EXPECT_EQ(s.doc.text, "ObjectTemplate.resetWhenRemoved 1");
    EXPECT_FALSE(s.session.isOpen());
    s.type("\rObjectTemplate.zz\r");
    EXPECT_EQ(s.doc.text, "ObjectTemplate.resetWhenRemoved 1\rObjectTemplate.zz\r");
    s.type("ObjectTemplate.zz.");
    EXPECT_TRUE(s.doc.text.endsWith("\rObjectTemplate.zz."));
    EXPECT_FALSE(s.session.isOpen());
    // An item the user chose with Down still goes in for the prefix.
    s.type(" ObjectTemplate.zz");
    key(s.session, s.doc, Qt::Key_Down);
    s.type("\r");
    EXPECT_TRUE(s.doc.text.endsWith(" ObjectTemplate.active"));
}

// Placing the caret after a trigger already in the text opened the list, which then took
// Up, Down and Enter.
TEST(CompletionSession, OnlyAKeyThatTypedTextLooksForATrigger) {
    Session s;
    s.doc.text = "ObjectTemplate. x";
    s.doc.at = 16;
    for (Qt::Key k :
         {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown,
          Qt::Key_Up, Qt::Key_Down, Qt::Key_Control, Qt::Key_Escape}) {
        s.doc.at = 15;
        key(s.session, s.doc, k);
        EXPECT_FALSE(s.session.isOpen()) << k;
    }
    // Backspace and Delete change the text: their release looks.
    s.doc.text = "ObjectTemplate."; // the "c" after it taken back
    s.doc.at = 15;
    key(s.session, s.doc, Qt::Key_Backspace);
    EXPECT_TRUE(s.session.isOpen());
    Session t;
    t.doc.text = "ObjectTemplate."; // the "x" after the caret deleted
    t.doc.at = 15;
    key(t.session, t.doc, Qt::Key_Delete);
    EXPECT_TRUE(t.session.isOpen());
    EXPECT_TRUE(typesText(completionCharacter(Qt::Key_A, "a")));
    EXPECT_FALSE(typesText(completionCharacter(Qt::Key_A, "\x01"))); // Ctrl+A
    EXPECT_FALSE(typesText(completionCharacter(Qt::Key_Escape, "\x1b")));
}

TEST(CompletionSession, NoListOpensInsideARemark) {
    Session s;
    s.type("rem ObjectTemplate.");
    EXPECT_FALSE(s.session.isOpen());
    s.type("\rx rem Missing.");
    EXPECT_FALSE(s.session.isOpen());
    EXPECT_TRUE(s.doc.messages.isEmpty()); // the file is not even looked for
    s.type("\rbeginRem\rObjectTemplate.");
    EXPECT_FALSE(s.session.isOpen());
    s.type("\rendRem\rObjectTemplate.");
    EXPECT_TRUE(s.session.isOpen());
}

TEST(CompletionSession, UpAndDownStayWithinTheList) {
    Session s;
    s.type("ObjectTemplate.");
    key(s.session, s.doc, Qt::Key_Up);
    EXPECT_EQ(s.session.currentRow(), -1);
    for (int i = 0; i < 5; ++i)
        key(s.session, s.doc, Qt::Key_Down);
    EXPECT_EQ(s.session.currentRow(), 3);
    s.type("c");
    key(s.session, s.doc, Qt::Key_Escape);
    EXPECT_FALSE(s.session.isOpen());
    EXPECT_EQ(s.doc.text, "ObjectTemplate.c");
}

TEST(CompletionSession, AcceptGivesUpWhenTheCaretLeftTheTriggersLineOrWentBeforeItsEnd) {
    Session s;
    s.doc.text = "\r\nnext";
    s.type("ObjectTemplate.cr");
    s.doc.at = s.doc.text.size(); // a click on the next line
    CompletionStep step = s.session.accept();
    EXPECT_FALSE(step.edit);
    EXPECT_EQ(step.list, CompletionStep::List::Close);
    EXPECT_EQ(s.doc.text, "ObjectTemplate.cr\r\nnext");

    s.doc.text = "ObjectTemplate. ";
    s.doc.at = 15; // just after the trigger
    s.doc.apply(s.session.checkTrigger());
    ASSERT_TRUE(s.session.isOpen());
    s.doc.at = 14; // Left over the trigger's dot
    step = s.session.press(13);
    EXPECT_FALSE(step.edit);
    EXPECT_FALSE(step.withhold); // Enter breaks the line as usual
    EXPECT_FALSE(s.session.isOpen());
}

TEST(CompletionSession, MissingOrEmptyFileOpensNoListAndTheNextKeyLooksAgain) {
    Session s;
    s.type("Missing.");
    EXPECT_EQ(s.doc.messages, QStringList({"Unable to load code file"}));
    EXPECT_FALSE(s.session.isOpen());
    s.type("\r");
    EXPECT_EQ(s.doc.text, "Missing.\r");
    s.type("Empty.");
    EXPECT_FALSE(s.session.isOpen());
    s.type(" ObjectTemplate.");
    EXPECT_TRUE(s.session.isOpen());
}

TEST(CompletionSession, SecondSourceOpensTemplateNamesBesideTheTableTriggers) {
    Session s;
    TemplateNames names;
    s.session.addSource(&names);
    // The table's list puts the command in; its blank opens the template names.
    s.type("ObjectTemplate.addt ");
    EXPECT_EQ(s.doc.text, "ObjectTemplate.addTemplate ");
    ASSERT_TRUE(s.session.isOpen());
    EXPECT_EQ(s.session.offer().items, QStringList({"Tank_Hull", "Tank_Turret"}));
    s.type("tank_t");
    EXPECT_EQ(s.session.currentRow(), 0);
    EXPECT_EQ(s.session.shown()[0].item, 1);
    s.type("\r");
    EXPECT_EQ(s.doc.text, "ObjectTemplate.addTemplate Tank_Turret");
    // The table's triggers keep working with the second source in place.
    s.type(" ObjectTemplate.c ");
    EXPECT_EQ(s.doc.text, "ObjectTemplate.addTemplate Tank_Turret ObjectTemplate.create ");
}

TEST(CompletionSession, ReleaseMadeWithShiftCountsOnlyForShiftItself) {
    EXPECT_TRUE(releaseCounts(Qt::Key_A, Qt::NoModifier));
    EXPECT_FALSE(releaseCounts(Qt::Key_A, Qt::ShiftModifier));
    EXPECT_TRUE(releaseCounts(Qt::Key_Shift, Qt::ShiftModifier));
}

TEST(StyleTable, ColorsNumberFromOneSkipTheReservedStylesAndShareTheLast) {
    StyleTable table;
    EXPECT_EQ(table.styleFor(StyleTable::black), 0);
    bool added = false;
    EXPECT_EQ(table.styleFor(0xFFFF0000u, &added), 1);
    EXPECT_TRUE(added);
    EXPECT_EQ(table.styleFor(0xFFFF0000u, &added), 1);
    EXPECT_FALSE(added);
    for (std::uint32_t c = 2; c < 32; ++c)
        table.styleFor(0xFF000000u | c);
    EXPECT_EQ(table.styleFor(0xFF000100u), 40);
    EXPECT_FALSE(table.colorOf(35));
    EXPECT_EQ(table.colorOf(40), 0xFF000100u);
    for (std::uint32_t c = 0x200; c < 0x200 + 87; ++c)
        table.styleFor(0xFF000000u | c);
    EXPECT_EQ(table.count(), 128);
    EXPECT_EQ(table.styleFor(0xFF123456u, &added), 127);
    EXPECT_FALSE(added);
}

TEST(CompletionSession, MatchByPartsIsAcceptedAndNoMatchGivesTheCompletionUp) {
    Session s;
    // "empl" begins nothing but stands inside addTemplate: the blank puts it in.
    s.type("ObjectTemplate.empl ");
    EXPECT_EQ(s.doc.text, "ObjectTemplate.addTemplate ");
    // Letters in order: "crt" is in cReaTe only.
    s.type("ObjectTemplate.crt");
    ASSERT_EQ(s.session.shown().size(), 1);
    EXPECT_EQ(s.session.shown()[0].letters, QList<int>({0, 1, 4}));
    s.type("\r");
    EXPECT_EQ(s.doc.text, "ObjectTemplate.addTemplate ObjectTemplate.create");
    // Typed letters that no item holds in order: Enter breaks the line, nothing replaced.
    s.type(" ObjectTemplate.resetWhenRemoved\r");
    EXPECT_EQ(s.doc.text, "ObjectTemplate.addTemplate ObjectTemplate.create "
                          "ObjectTemplate.resetWhenRemoved\r");
    EXPECT_FALSE(s.session.isOpen());
}

TEST(CompletionSession, BackspaceWidensTheListAgainAndTheDescribedPrefixChoiceStays) {
    Session s;
    s.type("ObjectTemplate.a");
    // Both items beginning with "a" are shown; the prefix selects as it always has (the
    // search starts at the second item of the offer).
    ASSERT_GE(s.session.shown().size(), 2);
    EXPECT_EQ(s.session.offer().items.at(s.session.shown()[s.session.currentRow()].item),
              QStringLiteral("addTemplate"));
    // Nothing matches "ax": the whole list again, none selected.
    s.type("x");
    EXPECT_EQ(s.session.shown().size(), 4);
    EXPECT_TRUE(s.session.shown()[0].letters.isEmpty());
    EXPECT_EQ(s.session.currentRow(), -1);
    for (int i = 0; i < 2; ++i) {
        s.doc.text.chop(1);
        --s.doc.at;
        key(s.session, s.doc, Qt::Key_Backspace);
    }
    EXPECT_EQ(s.session.shown().size(), 4);
    s.type(" ");
    EXPECT_EQ(s.doc.text, "ObjectTemplate.addTemplate ");
}
