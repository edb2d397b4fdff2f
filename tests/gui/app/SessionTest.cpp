// The session through the real main window: the scripts open on leaving come back at the
// next start with their carets and scroll positions, unless switched off in the preferences;
// what cannot be opened is skipped without a box.
#include "app/Workspace.h"
#include "core/workspace/SessionFile.h"
#include "prefs/frmPref.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QTest>

using fixture::MainWindow;
using namespace marlix;

namespace {

QByteArray manyLines(int count) {
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "ObjectTemplate.setPosition " + QByteArray::number(i) + "/0/0\r\n";
    return text;
}

int caretLine(TAdvEdit *editor) {
    int line = 0, index = 0;
    editor->getCursorPosition(&line, &index);
    return line;
}

int firstLine(TAdvEdit *editor) {
    return int(editor->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE));
}

} // namespace

class SessionTest : public QObject {
    Q_OBJECT

private slots:
    void theOpenScriptsComeBackWithTheirCaretsAndScrollPositions() {
        MainWindow m;
        const QString a = m.script("objects/a.con", manyLines(400));
        const QString b = m.script("objects/b.con", manyLines(50));
        TFormMain *w = m.open();
        w->resize(900, 600);
        w->show();
        w->OpenDocumentFile(a);
        m.editor()->setCursorPosition(300, 5);
        m.editor()->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 280);
        fixture::button(w, "btnNew")->click(); // untitled: not kept
        w->OpenDocumentFile(b);
        m.editor()->setCursorPosition(20, 0);
        fixture::tabs(w)->setActivePage(fixture::tabs(w)->page(0));
        QVERIFY(w->close());

        w = m.open();
        w->resize(900, 600);
        w->show();
        QTRY_COMPARE(m.pages(), 2);
        QCOMPARE(m.caption(0), a);
        QCOMPARE(m.caption(1), b);
        QCOMPARE(m.active()->caption(), a); // the tab in front stays in front
        QCOMPARE(caretLine(m.editor()), 300);
        int line = 0, index = 0;
        m.editor()->getCursorPosition(&line, &index);
        QCOMPARE(index, 5);
        QTRY_COMPARE(firstLine(m.editor()), 280);
        QCOMPARE(Prompts::shownTexts(), QStringList());
        // Reopening does not count as a change.
        QVERIFY(!m.editor()->DocChanged);
    }

    void aScriptThatIsGoneIsSkippedWithoutABox() {
        MainWindow m;
        const QString gone = m.script("gone.con", "rem\r\n");
        const QString kept = m.script("kept.con", "rem\r\n");
        Session session;
        session.scripts = {{gone, 0, 0, 0},
                           {m.folder.path() + "a folder", 0, 0, 0},
                           {QStringLiteral("/dev/zero"), 0, 0, 0},
                           {kept, 0, 0, 0}};
        QDir().mkpath(m.folder.path() + "a folder");
        writeSession(sessionPath(m.folder.path()), session);
        QFile::remove(gone);
        TFormMain *w = m.open();
        w->show();
        QTRY_COMPARE(m.pages(), 1);
        QCOMPARE(m.caption(0), kept);
        QCOMPARE(Prompts::shownTexts(), QStringList());
    }

    void aHostileSessionFileOpensNothingAndAsksNothing() {
        MainWindow m;
        QFile file(sessionPath(m.folder.path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("reopen 1\nactive -1\nscript 99999999 99999999 99999999 ") +
                   QFile::encodeName(m.script("x.con", "rem\r\n")) + "\n" +
                   QByteArray(300000, '\xff'));
        file.close();
        TFormMain *w = m.open();
        w->show();
        QTRY_COMPARE(m.pages(), 1);
        // Lines and columns past the end put the caret on the last line.
        QCOMPARE(caretLine(m.editor()), m.editor()->lines() - 1);
        QCOMPARE(Prompts::shownTexts(), QStringList());
    }

    void thePreferenceSwitchesItOff() {
        MainWindow m;
        const QString a = m.script("a.con", "rem\r\n");
        TfrmPref pref;
        pref.ProgramFolder = m.folder.path();
        pref.FormShow();
        auto *box = pref.findChild<QCheckBox *>("reopenSessionCheckBox");
        QVERIFY(box && box->isChecked());
        box->setChecked(false);
        pref.FormClose();
        QVERIFY(!readSession(sessionPath(m.folder.path())).reopen);

        TFormMain *w = m.open();
        w->show();
        w->OpenDocumentFile(a);
        QVERIFY(w->close());
        QVERIFY(readSession(sessionPath(m.folder.path())).scripts.isEmpty());
        w = m.open();
        w->show();
        QCoreApplication::processEvents(); // the start-up step that would reopen them
        QCoreApplication::processEvents();
        QCOMPARE(m.pages(), 0);

        pref.FormShow();
        QVERIFY(!box->isChecked());
    }
};

QTEST_MAIN(SessionTest)
#include "SessionTest.moc"
