#include <QTest>

#include "core/script/DarkScheme.h"
#include "prefs/frmPref.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <Qsci/qsciprinter.h>

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

using namespace marlix;
using fixture::MainWindow;

// The general options of the preferences as the editors follow them, and Print.
class EditorOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void optionsTakeEffectWhenThePreferencesClose();
    void openedScriptWaitsForF5AndF6WithoutTheAutoOptions();
    void printWritesTheActiveScriptToPdf();
};

namespace {

long send(TAdvEdit *e, unsigned int message, unsigned long w = 0, long l = 0) {
    return e->SendScintilla(message, w, l);
}

// Opens the preferences of the real window, lets `change` set the controls, closes it.
template <class Change> void changePreferences(TFormMain *w, Change change) {
    QTimer::singleShot(0, [change] {
        if (auto *dialog = qobject_cast<TfrmPref *>(QApplication::activeModalWidget())) {
            change(dialog);
            dialog->close();
        }
    });
    fixture::trigger(w, "mnuPreferences");
}

void typeText(TAdvEdit *editor, const QString &text) {
    for (QChar c : text) {
        QTest::keyClick(editor, c.toLatin1());
        QCoreApplication::processEvents();
    }
}

} // namespace

void EditorOptionsTest::optionsTakeEffectWhenThePreferencesClose() {
    MainWindow m;
    frmPref = new TfrmPref;
    frmPref->ProgramFolder = m.folder.path();
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->OpenDocumentFile(m.script("opts.con", "rem\r\n\r\n"));
    TAdvEdit *editor = m.editor();
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    QVERIFY(!editor->darkScheme());

    changePreferences(w, [](TfrmPref *p) {
        p->chkIntellisense->setChecked(false);
        p->chkHighlighting->setChecked(false);
        p->chkLight->setChecked(true);
    });
    QVERIFY(editor->darkScheme());
    QCOMPARE(send(editor, QsciScintillaBase::SCI_STYLEGETBACK, 0), long(darkSchemeBackground));
    editor->setCursorPosition(1, 0);
    typeText(editor, QStringLiteral("if Object."));
    QVERIFY(!editor->CompletionList->isVisible()); // no completion
    for (long p = 0; p < 10; ++p)                  // no colouring at the caret
        QCOMPARE(send(editor, QsciScintillaBase::SCI_GETSTYLEAT, p + 5), 0L);
    // F5 colours on the dark scheme: every colour in use reads on the background.
    fixture::trigger(w, "mnuRefreshObjects");
    const long ifStyle = send(editor, QsciScintillaBase::SCI_GETSTYLEAT, 5);
    QVERIFY(ifStyle != 0);
    for (long style : {0L, ifStyle}) {
        const auto fore = TColor(send(editor, QsciScintillaBase::SCI_STYLEGETFORE, style));
        QVERIFY2(colorContrast(fore, darkSchemeBackground) >= 3.0,
                 qPrintable(QString::number(style)));
    }

    // On again: a second editor follows the options too.
    changePreferences(w, [](TfrmPref *p) {
        p->chkIntellisense->setChecked(true);
        p->chkHighlighting->setChecked(true);
        p->chkDark->setChecked(true);
    });
    QVERIFY(!editor->darkScheme());
    QCOMPARE(send(editor, QsciScintillaBase::SCI_STYLEGETBACK, 0), 0xFFFFFFL);
    editor->setCursorPosition(1, editor->lineLength(1)); // code: nothing opens in a remark
    typeText(editor, QStringLiteral(" Object."));
    QTRY_VERIFY(editor->CompletionList->isVisible());
    delete frmPref;
    frmPref = nullptr;
}

void EditorOptionsTest::openedScriptWaitsForF5AndF6WithoutTheAutoOptions() {
    MainWindow m;
    // Auto populate, auto highlight off; the other four on.
    m.folder.write(QStringLiteral("marlix.ini"), "0\r\n0\r\n1\r\n1\r\n1\r\n1\r\n");
    TFormMain *w = m.open();
    w->OpenDocumentFile(m.script("wait.con", "if x\r\nObjectTemplate.create Tank t1\r\n"));
    TAdvEdit *editor = m.editor();
    QCOMPARE(send(editor, QsciScintillaBase::SCI_GETSTYLEAT, 0), 0L);
    QCOMPARE(editor->ObjectList->model()->index(0, 1).data().toString(), QString());
    fixture::trigger(w, "mnuRefreshObjects");
    QVERIFY(send(editor, QsciScintillaBase::SCI_GETSTYLEAT, 0) != 0);
    fixture::trigger(w, "mnuRefreshObjectList");
    QCOMPARE(editor->ObjectList->model()->index(0, 1).data().toString(), QStringLiteral("t1"));
}

void EditorOptionsTest::printWritesTheActiveScriptToPdf() {
    MainWindow m;
    TFormMain *w = m.open();
    QByteArray text;
    for (int i = 0; i < 200; ++i)
        text += "if v" + QByteArray::number(i) + "\r\n";
    w->OpenDocumentFile(m.script("print.con", text));
    QsciPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = m.folder.file(QStringLiteral("out.pdf"));
    printer.setOutputFileName(pdf);
    w->presetPrinter = &printer;
    fixture::trigger(w, "mnuPrint");
    QVERIFY(Prompts::shown().isEmpty());
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QVERIFY(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                bytes.count("/Type /Page ") + bytes.count("/Type/Page") >=
            2);                                 // 200 lines
    QCOMPARE(m.folder.read("print.con"), text); // printing changes nothing
    QVERIFY(!m.editor()->DocChanged);
}

QTEST_MAIN(EditorOptionsTest)
#include "EditorOptionsTest.moc"
