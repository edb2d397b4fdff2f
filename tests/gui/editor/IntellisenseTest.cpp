#include "EditorHarness.h"

#include "platform/Prompts.h"

#include <QListWidget>
#include <QScrollBar>

using marlix::Prompts;

namespace {

QByteArray codeTable(const QByteArray &entries) {
    return entries;
}

QStringList items(const QListWidget *list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result.append(list->item(i)->text());
    return result;
}

} // namespace

class IntellisenseTest : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorHarness> make(const QByteArray &style = "0") {
        auto h = std::make_unique<EditorHarness>(
            codeTable(
                "ObjectTemplate.\r\nobjecttemplate.txt\r\n" + style +
                "\r\nb.\r\nb.txt\r\n0\r\na.b.\r\nab.txt\r\n0\r\nObject.\r\nobject.txt\r\n1\r\n"
                "Missing.\r\nmissing.txt\r\n0\r\nEmpty.\r\nempty.txt\r\n0\r\n"),
            "");
        h->folder.write("objecttemplate.txt", "create\r\ndelete\nactive");
        h->folder.write("b.txt", "bee\r\n");
        h->folder.write("ab.txt", "abee\r\n");
        h->folder.write("object.txt", "one\r\n");
        h->folder.write("empty.txt", "");
        return h;
    }

private slots:
    void init() {
        Prompts::setTestMode(true);
        Prompts::reset();
    }

    void triggerOffersSortedItemsAndPrefixSelects() {
        auto h = make();
        QListWidget *list = h->editor->CompletionList;
        h->type("x ObjectTemplate");
        QVERIFY(!list->isVisible());
        h->type(".");
        QVERIFY(list->isVisible());
        QCOMPARE(items(list), QStringList({"active", "create", "delete"}));
        QCOMPARE(list->currentRow(), -1);
        QCOMPARE(h->editor->CodeStart, 2);
        QCOMPARE(h->editor->ActiveCode, QStringLiteral("ObjectTemplate."));
        h->type("cr");
        QCOMPARE(items(list), QStringList({"create"})); // narrowed to the matches
        QCOMPARE(list->currentRow(), 0);
        h->key(Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(h->editor->documentBytes(), QByteArray("x ObjectTemplate.create"));
        QCOMPARE(h->caret(), 23L);
    }

    void blankAndDotInsertAndStayTyped() {
        auto h = make();
        h->type("ObjectTemplate.cr ");
        QCOMPARE(h->editor->documentBytes(), QByteArray("ObjectTemplate.create "));
        QVERIFY(!h->editor->CompletionList->isVisible());
        h->type("ObjectTemplate.de.");
        QCOMPARE(h->editor->documentBytes(),
                 QByteArray("ObjectTemplate.create ObjectTemplate.delete."));
    }

    void overwriteStyleReplacesTheTrigger() {
        auto h = make("1");
        h->type("ObjectTemplate.cr");
        h->key(Qt::Key_Enter);
        QCOMPARE(h->editor->documentBytes(), QByteArray("create"));
    }

    void enterWithoutSelectionInsertsTheFirstItem() {
        auto h = make();
        h->type("ObjectTemplate.");
        h->key(Qt::Key_Return);
        QCOMPARE(h->editor->documentBytes(), QByteArray("ObjectTemplate.active"));
    }

    // A command missing from the completion file was replaced by its first item, and Enter
    // glued the next line on.
    void aPrefixThatBeginsNoItemKeepsWhatWasTyped() {
        auto h = make();
        QListWidget *list = h->editor->CompletionList;
        h->type("ObjectTemplate.resetWhenRemoved 1");
        QCOMPARE(h->editor->documentBytes(), QByteArray("ObjectTemplate.resetWhenRemoved 1"));
        QVERIFY(!list->isVisible());
        h->type(" ObjectTemplate.zz");
        QVERIFY(list->isVisible()); // the list still opens and follows the typing
        QCOMPARE(list->currentRow(), -1);
        h->key(Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(h->editor->documentBytes(),
                 QByteArray("ObjectTemplate.resetWhenRemoved 1 ObjectTemplate.zz\r\n"));
        h->type("ObjectTemplate.zz.x");
        QCOMPARE(h->editor->text(1), QStringLiteral("ObjectTemplate.zz.x"));
    }

    void noListOpensInsideARemark() {
        auto h = make();
        QListWidget *list = h->editor->CompletionList;
        h->type("rem ObjectTemplate.");
        QVERIFY(!list->isVisible());
        h->key(Qt::Key_Return);
        h->type("x rem Missing.");
        QVERIFY(Prompts::shown().isEmpty());
        h->key(Qt::Key_Return);
        h->type("beginRem");
        h->key(Qt::Key_Return);
        h->type("ObjectTemplate.");
        QVERIFY(!list->isVisible());
        h->key(Qt::Key_Return);
        h->type("endRem");
        h->key(Qt::Key_Return);
        h->type("ObjectTemplate.");
        QVERIFY(list->isVisible());
    }

    void firstTriggerInTableOrderWinsAndWordsMustBeWhole() {
        auto h = make();
        h->type("a.b.");
        QVERIFY(h->editor->CompletionList->isVisible());
        QCOMPARE(h->editor->ActiveCode, QStringLiteral("b."));
        QCOMPARE(items(h->editor->CompletionList), QStringList({"bee"}));
        h->key(Qt::Key_Escape);
        h->type(" MyObject.");
        QVERIFY(!h->editor->CompletionList->isVisible());
        QVERIFY(Prompts::shown().isEmpty());
    }

    void releasingEscAfterItClosedTheListDoesNotReopenIt() {
        auto h = make();
        QListWidget *list = h->editor->CompletionList;
        h->type("ObjectTemplate.");
        QTest::keyPress(h->editor, Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QTest::keyRelease(h->editor, Qt::Key_Escape);
        QVERIFY(!list->isVisible()); // though the trigger still ends at the caret
        h->key(Qt::Key_Control);
        QVERIFY(!list->isVisible());
        // Coming back to the trigger with the caret opens nothing; typing there does.
        h->key(Qt::Key_Left);
        QVERIFY(!list->isVisible());
        h->key(Qt::Key_Right);
        QVERIFY(!list->isVisible());
        h->type("c");
        QVERIFY(!list->isVisible());
        h->key(Qt::Key_Backspace);
        QVERIFY(list->isVisible());
        h->type("c");
        QTest::keyPress(h->editor, Qt::Key_Escape);
        QTest::keyRelease(h->editor, Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QCOMPARE(h->editor->documentBytes(), QByteArray("ObjectTemplate.c"));
    }

    void upAndDownMoveTheSelectionNotTheCaret() {
        auto h = make();
        QListWidget *list = h->editor->CompletionList;
        h->editor->loadLines({"first line", ""});
        h->setCaret(12);
        h->type("ObjectTemplate.");
        const long caret = h->caret();
        h->key(Qt::Key_Down);
        QCOMPARE(list->currentRow(), 0);
        h->key(Qt::Key_Down);
        h->key(Qt::Key_Down);
        h->key(Qt::Key_Down);
        QCOMPARE(list->currentRow(), 2); // kept on the last item
        h->key(Qt::Key_Up);
        QCOMPARE(list->currentRow(), 1);
        h->key(Qt::Key_Up);
        h->key(Qt::Key_Up);
        QCOMPARE(list->currentRow(), -1);
        QVERIFY(list->selectedItems().isEmpty());
        QCOMPARE(h->caret(), caret);
        h->key(Qt::Key_Down);
        h->key(Qt::Key_Down);
        h->key(Qt::Key_Return);
        QCOMPARE(h->editor->documentBytes(), QByteArray("first line\r\nObjectTemplate.create"));
    }

    // The caret placed after a trigger already in the text opened the list, which then took
    // Up, Down and Enter.
    void movingTheCaretOntoATriggerNeverOpensTheList() {
        auto h = make();
        h->editor->loadLines({"Object. x", "ObjectTemplate.", "ObjectTemplate."});
        const QPoint at(int(h->send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, 7)),
                        int(h->send(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, 7)) + 3);
        QTest::mouseClick(h->editor->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(h->caret(), 7L);
        QVERIFY(!h->editor->CompletionList->isVisible());
        h->setCaret(8);
        h->key(Qt::Key_Left);
        QCOMPARE(h->caret(), 7L);
        QVERIFY(!h->editor->CompletionList->isVisible());
        for (Qt::Key k : {Qt::Key_Down, Qt::Key_End, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                          Qt::Key_Up, Qt::Key_Home, Qt::Key_End})
            h->key(k);
        QCOMPARE(h->editor->text(1), QStringLiteral("ObjectTemplate.\r\n"));
        QVERIFY(!h->editor->CompletionList->isVisible());
        h->key(Qt::Key_Return); // breaks the line as ever
        QCOMPARE(h->editor->documentBytes(),
                 QByteArray("Object. x\r\nObjectTemplate.\r\n\r\nObjectTemplate."));
        QVERIFY(h->editor->DocChanged);
    }

    void missingAndEmptyCompletionFiles() {
        auto h = make();
        h->type("Missing.");
        QCOMPARE(Prompts::shownTexts(), QStringList{"Unable to load code file"});
        QCOMPARE(Prompts::shown().at(0).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(!h->editor->CompletionList->isVisible());
        h->type(" Empty.");
        QCOMPARE(Prompts::shown().size(), 1);
        QVERIFY(!h->editor->CompletionList->isVisible());
        // The editor stays idle: typing goes on as usual.
        h->type("x");
        QCOMPARE(h->editor->documentBytes(), QByteArray("Missing. Empty.x"));
    }

    // Esc and caret keys in an unchanged script showed it as changed.
    void onlyKeysThatChangeTheTextSetDocChanged() {
        auto h = make();
        h->type("ObjectTemplate.");
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Left, Qt::Key_Home, Qt::Key_End}) {
            h->editor->DocChanged = false;
            h->key(key);
            QVERIFY2(!h->editor->DocChanged, qPrintable(QKeySequence(key).toString()));
        }
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_A, Qt::Key_Backspace}) {
            h->editor->DocChanged = false;
            h->key(key);
            QVERIFY2(h->editor->DocChanged, qPrintable(QKeySequence(key).toString()));
        }
    }

    // A list scrolled down last time opens again at its top, where the item that Enter
    // inserts without a selection stands.
    void aReopenedListShowsItsFirstItems() {
        auto h = make();
        QByteArray many;
        for (char c = 'a'; c <= 'z'; ++c)
            many += QByteArray(1, c) + "item\r\n" + QByteArray(1, c) + "thing\r\n";
        h->folder.write("objecttemplate.txt", many);
        QListWidget *list = h->editor->CompletionList;
        h->type("ObjectTemplate.");
        for (int i = 0; i < 52; ++i) // typing narrows the list; Down scrolls it
            h->key(Qt::Key_Down);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("zthing"));
        QVERIFY(list->verticalScrollBar()->value() > 0);
        h->key(Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        h->type(" ObjectTemplate.");
        QVERIFY(list->isVisible());
        QCOMPARE(list->verticalScrollBar()->value(), 0);
        QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(0))));
    }

    // The list stays open when the user clicks elsewhere in the text; an accepting key there
    // must not replace every line between the trigger and the click with the item.
    void acceptingAfterTheCaretLeftTheTriggersLineLosesNoText() {
        auto h = make();
        QListWidget *list = h->editor->CompletionList;
        const auto clickAt = [&](long pos) {
            const QPoint at(int(h->send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, pos)),
                            int(h->send(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, pos)) + 3);
            QTest::mouseClick(h->editor->viewport(), Qt::LeftButton, {}, at);
            QCOMPARE(h->caret(), pos);
        };
        h->editor->loadLines({"", "second line", "third line"});
        h->setCaret(0);
        h->type("ObjectTemplate.cr");
        clickAt(37); // "third| line"
        QVERIFY(list->isVisible());
        h->key(Qt::Key_Space);
        QVERIFY(!list->isVisible());
        QCOMPARE(h->editor->documentBytes(),
                 QByteArray("ObjectTemplate.cr\r\nsecond line\r\nthird  line"));

        h->setCaret(17);
        h->key(Qt::Key_Backspace);
        h->key(Qt::Key_Backspace); // its release finds the trigger at the caret
        h->type("r");
        QVERIFY(list->isVisible());
        clickAt(20); // "se|cond"
        h->key(Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(h->editor->documentBytes(),
                 QByteArray("ObjectTemplate.r\r\nse\r\ncond line\r\nthird  line"));
    }

    // Enter after Left (or Home) put the item over the "." (or the whole trigger).
    void acceptingAfterTheCaretMovedBackOverTheTriggerLosesNoText() {
        auto h = make();
        QListWidget *list = h->editor->CompletionList;
        h->type("ObjectTemplate.");
        h->key(Qt::Key_Left);
        QVERIFY(list->isVisible());
        h->key(Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(h->editor->documentBytes(), QByteArray("ObjectTemplate\r\n."));

        h->editor->loadLines({""});
        h->type("ObjectTemplate.cr");
        h->key(Qt::Key_Home);
        QVERIFY(list->isVisible());
        h->key(Qt::Key_Space);
        QVERIFY(!list->isVisible());
        QCOMPARE(h->editor->documentBytes(), QByteArray(" ObjectTemplate.cr"));
    }

    // The Enter or Esc that dismissed "Unable to load code file" is released in the editor,
    // and that release looked for the trigger again and showed the box anew.
    void releaseOfTheKeyThatClosedTheMessageShowsItNotAgain() {
        auto h = make();
        h->type("Missing.");
        QCOMPARE(Prompts::shown().size(), 1);
        sendKey(h->editor, QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, "\r");
        sendKey(h->editor, QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier, "\x1b");
        QCOMPARE(Prompts::shown().size(), 1);
        // A key typed in the editor still looks for the trigger.
        h->key(Qt::Key_Backspace);
        h->type(".");
        QCOMPARE(Prompts::shown().size(), 2);
    }

    // A trigger ending in a character typed with Shift opened nothing at the release of Shift.
    void triggerTypedWithShiftOpensAtTheReleaseOfShift() {
        auto h = std::make_unique<EditorHarness>("Sound:\r\nobject.txt\r\n0\r\n", "");
        h->folder.write("object.txt", "one\r\n");
        h->type("Sound");
        typeShifted(h->editor, Qt::Key_Colon, ":");
        QVERIFY(!h->editor->CompletionList->isVisible());
        sendKey(h->editor, QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
        QVERIFY(h->editor->CompletionList->isVisible());
    }

    // A 150-pixel list hid long items behind a horizontal scroll bar and showed only a few
    // items of a large editor font.
    void listIsWideForLongItemsAndTallForALargeFont() {
        auto h = make();
        const QByteArray longItem = "setVehicleCameraShakeWhenHitByProjectileOfAnyKind";
        h->folder.write("objecttemplate.txt", "create\r\n" + longItem + "\r\n");
        QListWidget *list = h->editor->CompletionList;
        h->type("ObjectTemplate.");
        QVERIFY(list->width() > 150);
        QVERIFY(list->width() <= h->editor->viewport()->width());
        QVERIFY(list->viewport()->width() >=
                list->fontMetrics().horizontalAdvance(QString::fromLatin1(longItem)));
        QCOMPARE(list->height(), 150);
        h->key(Qt::Key_Escape);
        QFont large = h->editor->font();
        large.setPointSize(large.pointSize() * 3);
        h->editor->setFont(large);
        h->type(" ObjectTemplate.");
        QVERIFY(list->isVisible());
        QVERIFY(list->height() > 300);
    }

    // A list of thousands of names is sized without measuring each: the widest in pixels must
    // still fit, though other items hold more characters.
    void aLongListIsWideForItsWidestItemNotItsLongest() {
        auto h = make();
        QByteArray lines;
        for (int i = 0; i < 2000; ++i)
            lines += "il_" + QByteArray::number(i) + "_iiiiiiiiiiiiiiiiiiiiiiiiiiii\r\n";
        const QString wide = "WWWWWWWWWWWWWWWWWWWWWWWWW";
        lines += wide.toLatin1() + "\r\n";
        h->folder.write("objecttemplate.txt", lines);
        QListWidget *list = h->editor->CompletionList;
        h->type("ObjectTemplate.");
        QCOMPARE(list->count(), 2001);
        QVERIFY(list->fontMetrics().horizontalAdvance(wide) >
                list->fontMetrics().horizontalAdvance(list->item(0)->text()));
        QVERIFY(list->viewport()->width() >= list->fontMetrics().horizontalAdvance(wide));
        QCOMPARE(list->visualItemRect(list->item(2000)).width(), list->viewport()->width());
    }

    void listOpensAtTheCaretAndDoubleClickAccepts() {
        auto h = make();
        QListWidget *list = h->editor->CompletionList;
        h->type("ObjectTemplate.");
        const long caret = h->caret();
        const int x = int(h->send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, caret));
        const int y = int(h->send(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, caret));
        const QPoint origin = h->editor->viewport()->pos();
        QCOMPARE(list->pos(), QPoint(origin.x() + x + 1, origin.y() + y + 13));
        const QRect second = list->visualItemRect(list->item(1));
        // A click only selects; the double click that follows accepts.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QVERIFY(list->isVisible());
        QCOMPARE(list->currentRow(), 1);
        QCOMPARE(h->editor->documentBytes(), QByteArray("ObjectTemplate."));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QVERIFY(!list->isVisible());
        QCOMPARE(h->editor->documentBytes(), QByteArray("ObjectTemplate.create"));
    }
};

QTEST_MAIN(IntellisenseTest)
#include "IntellisenseTest.moc"
