// The command hints through the real main window: typing a command and its blank shows its
// arguments above the line, the argument at the caret in bold; the mouse resting on a command
// shows the same; lines a user adds to commandhelp.txt count.
#include "editor/CommandHint.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <QFile>
#include <QLabel>
#include <QTest>

using fixture::MainWindow;
using namespace marlix;

namespace {

struct HintWindow {
    MainWindow m;
    TFormMain *w = nullptr;
    explicit HintWindow(const QByteArray &extraLines = {}) {
        if (!extraLines.isEmpty()) {
            QFile table(m.folder.file("commandhelp.txt"));
            if (!table.open(QIODevice::Append))
                qFatal("cannot add to the command help");
            table.write(extraLines);
        }
        w = m.open();
        w->resize(900, 600);
        w->show();
        fixture::button(w, "btnNew")->click();
        m.editor()->setFocus();
    }
    QLabel *hint() const { return m.editor()->findChild<QLabel *>("commandHint"); }
    void type(const char *text) const { QTest::keyClicks(m.editor(), text); }
};

} // namespace

class CommandHintTest : public QObject {
    Q_OBJECT

private slots:
    void aCommandAndItsBlankShowTheArgumentsAboveTheLine() {
        HintWindow x;
        x.type("rem spawner\r\r\r\r");
        QVERIFY(x.hint());
        x.type("ObjectTemplate.setObjectTemplate");
        QVERIFY(x.hint()->isHidden()); // not before the blank
        x.type(" ");
        QVERIFY(x.hint()->isVisible());
        QVERIFY(x.hint()->text().contains("<u><b>team</b></u> template"));
        QVERIFY(x.hint()->text().contains("spawner makes"));
        // Above the line, where the completion list below it leaves it in view.
        const int lineTop = int(x.m.editor()->SendScintilla(
            QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL,
            x.m.editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)));
        QVERIFY(x.hint()->geometry().bottom() < lineTop);
        x.type("2 ");
        QVERIFY(x.hint()->text().contains("team <u><b>template</b></u>"));
        x.type("sherman");
        QVERIFY(x.hint()->isVisible());
        QTest::keyClick(x.m.editor(), Qt::Key_Return); // off the line: gone
        QVERIFY(x.hint()->isHidden());
        x.type("Object.create ");
        QVERIFY(x.hint()->isVisible());
        QTest::keyClick(x.m.editor(), Qt::Key_Escape);
        QVERIFY(x.hint()->isHidden());
    }

    void noHintForRemarksRemBlocksUnknownCommandsOrTheMiddleOfAWord() {
        HintWindow x;
        x.type("rem ObjectTemplate.setPosition ");
        QVERIFY(x.hint()->isHidden());
        x.type("\rMyTool.notACommand ");
        QVERIFY(x.hint()->isHidden());
        x.type("\r");
        x.type("ObjectTemplate.setPosition 1/2/3 rem where ");
        QVERIFY(x.hint()->isHidden());
        // Nor on the lines of a beginRem block, its first and last included, nor for the
        // mouse there; after the block they come back.
        x.type("\rbeginRem ObjectTemplate.setPosition ");
        QVERIFY(x.hint()->isHidden());
        x.type("\rObjectTemplate.setPosition ");
        QVERIFY(x.hint()->isHidden());
        auto *hint = x.m.editor()->findChild<CommandHint *>();
        const qsizetype inBlock = x.m.editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        QVERIFY(hint->tipAt(inBlock - 5).isEmpty());
        x.type("\rendRem ObjectTemplate.setPosition ");
        QVERIFY(x.hint()->isHidden());
        x.type("\rObjectTemplate.setPosition ");
        QVERIFY(x.hint()->isVisible());
        const qsizetype after = x.m.editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        QVERIFY(!hint->tipAt(after - 5).isEmpty());
    }

    void theMouseOnACommandShowsTheSameAsATip() {
        HintWindow x;
        x.type("ObjectTemplate.setPosition 0/1/2");
        auto *hint = x.m.editor()->findChild<CommandHint *>();
        QVERIFY(hint);
        const QString tip = hint->tipAt(5);
        QVERIFY(tip.startsWith("ObjectTemplate.setPosition x/y/z\n"));
        QVERIFY(hint->tipAt(30).isEmpty()); // over an argument: the name tips of the index
    }

    void linesAUserAddsCountAndReplaceShippedOnes() {
        HintWindow x("\r\nMyTool.doIt first second | Does it.\r\n"
                     "Object.create what | My own words.\r\n");
        x.type("MyTool.doIt a ");
        QVERIFY(x.hint()->isVisible());
        QVERIFY(x.hint()->text().contains("first <u><b>second</b></u>"));
        x.type("\rObject.create ");
        QVERIFY(x.hint()->text().contains("My own words."));
    }
};

QTEST_MAIN(CommandHintTest)
#include "CommandHintTest.moc"
