// A table changed in the preferences dialog reaches the editors opened afterwards only: the
// editors that were open keep the table they read when they were created.
#include "editor/AdvEdit.h"
#include "platform/Prompts.h"
#include "prefs/ColorShape.h"
#include "prefs/StringGrid.h"
#include "prefs/frmPref.h"
#include "tests/gui/support/TempFolder.h"

#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace marlix;

class TableChangeTest : public QObject {
    Q_OBJECT

    // The colour Scintilla paints the byte at pos with, as 0x00BBGGRR.
    static long colorAt(TAdvEdit *editor, int pos) {
        const long style = editor->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos);
        return editor->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, style);
    }

    static std::unique_ptr<QWidget> openEditor(const TempFolder &folder, TAdvEdit *&editor) {
        auto page = std::make_unique<QWidget>();
        editor = new TAdvEdit(page.get());
        editor->ProgramFolder = folder.path();
        editor->InitEditor();
        editor->loadLines({"if x", "rem colour me"});
        editor->RefreshHighlighting();
        return page;
    }

private slots:
    void editorsBeforeAndAfterATableChangeColorDifferently() {
        Prompts::setTestMode(true);
        Prompts::reset();
        TempFolder folder;
        folder.write("intellisense.ini", "");
        folder.write("highlighting.ini", "rem\r\n0\r\nclRed\r\n");

        TAdvEdit *before = nullptr;
        const auto pageBefore = openEditor(folder, before);
        const int rem = int(before->documentBytes().indexOf("rem"));
        QCOMPARE(colorAt(before, rem), 0x0000FFL);

        TfrmPref dialog;
        dialog.ProgramFolder = folder.path();
        dialog.show();
        dialog.pgcPref->setCurrentIndex(2);
        Prompts::answerColor(QColor(0, 0, 255));
        QTest::mouseClick(dialog.shpColor, Qt::LeftButton);
        QTest::mouseClick(dialog.btnHSave, Qt::LeftButton);
        dialog.close();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(folder.read("highlighting.ini"), QByteArray("rem\r\n0\r\nclBlue\r\n"));

        TAdvEdit *after = nullptr;
        const auto pageAfter = openEditor(folder, after);
        QCOMPARE(colorAt(after, rem), 0xFF0000L);
        before->RefreshHighlighting();
        QCOMPARE(colorAt(before, rem), 0x0000FFL);
        QCOMPARE(colorAt(before, 0), colorAt(after, 0)); // "if" is in neither table
        QVERIFY(Prompts::shownTexts().isEmpty());
    }
};

QTEST_MAIN(TableChangeTest)
#include "TableChangeTest.moc"
