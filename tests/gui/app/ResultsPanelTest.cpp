// The results panel below the tabs, through the real main window: choosing a row opens the
// script at its line, reusing an open tab.
#include "app/ResultsPanel.h"
#include "tests/gui/support/MainWindowFixture.h"
#include "tests/gui/support/WindowPartsB.h"

#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

using fixture::MainWindow;
using marlix::ResultsPanel;

namespace {

QByteArray numberedLines(int count) {
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "rem line " + QByteArray::number(i) + "\r\n";
    return text;
}

QString selectedText(TAdvEdit *editor) {
    return editor->selectedText();
}

} // namespace

class ResultsPanelTest : public QObject {
    Q_OBJECT

private slots:
    void enterOrDoubleClickOpensTheLineSelectedAndInView() {
        MainWindow m;
        TFormMain *w = m.open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QString far = m.script("far.con", numberedLines(400));
        const QString near = m.script("near.con", "ObjectTemplate.create Bundle A\r\n");
        ResultsPanel *panel = fixture::results(w);
        QVERIFY(panel->isHidden()); // nothing to show before a search
        panel->clear();
        panel->addResult(far, 300, "rem\tline 300\r\n");
        panel->addResult(near, 1, "ObjectTemplate.create Bundle A");
        panel->setSummary("2 results");
        panel->present();
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->resultCount(), 2);
        QCOMPARE(panel->resultText(0), QString("rem line 300")); // shown on one line
        QCOMPARE(panel->summary(), QString("2 results"));

        QSignalSpy chosen(panel, &ResultsPanel::resultChosen);
        QTest::keyClick(panel->list, Qt::Key_Return);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), far);
        QCOMPARE(chosen.at(0).at(1).toInt(), 300);
        QCOMPARE(m.pages(), 1);
        QCOMPARE(m.active()->caption(), far);
        QCOMPARE(selectedText(m.editor()), QString("rem line 300"));
        int line = 0, index = 0;
        m.editor()->getCursorPosition(&line, &index);
        QCOMPARE(line, 299);
        const int first = m.editor()->firstVisibleLine();
        QVERIFY(first <= 299 &&
                299 < first + m.editor()->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));

        // Another row opens a second tab; coming back to the first reuses its tab.
        panel->chooseResult(1);
        QCOMPARE(m.pages(), 2);
        QCOMPARE(m.active()->caption(), near);
        const QPoint row = panel->list->visualItemRect(panel->list->topLevelItem(0)).center();
        QTest::mouseClick(panel->list->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(panel->list->viewport(), Qt::LeftButton, {}, row);
        QCOMPARE(m.pages(), 2);
        QCOMPARE(m.active()->caption(), far);
        QCOMPARE(selectedText(m.editor()), QString("rem line 300"));
    }

    void aRowWhoseFileIsGoneSaysSoAndOpensNothing() {
        MainWindow m;
        TFormMain *w = m.open();
        ResultsPanel *panel = fixture::results(w);
        panel->addResult(m.folder.file("gone.con"), 3, "x");
        panel->chooseResult(0);
        QCOMPARE(m.pages(), 0);
        QCOMPARE(marlix::Prompts::shownTexts(), QStringList{"Unable to load file"});
    }

    void clearEmptiesRowsAndSummary() {
        ResultsPanel panel;
        panel.addResult("/a.con", 1, "x");
        panel.setSummary("1 result");
        panel.clear();
        QCOMPARE(panel.resultCount(), 0);
        QCOMPARE(panel.summary(), QString());
        QCOMPARE(panel.resultFile(0), QString());
    }
};

QTEST_MAIN(ResultsPanelTest)
#include "ResultsPanelTest.moc"
