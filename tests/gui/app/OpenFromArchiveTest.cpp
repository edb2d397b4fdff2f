// File > Open from Archive on archives made by our own packer code.
#include "app/ArchiveEntriesDialog.h"
#include "core/archive/RfaWriter.h"
#include "core/common/LineFile.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

using namespace marlix;
using fixture::MainWindow;

namespace {

// Runs handle on the entry chooser as soon as it is shown modally.
void whenChooserShows(const std::function<void(ArchiveEntriesDialog *)> &handle) {
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, handle] {
        if (auto *dialog =
                qobject_cast<ArchiveEntriesDialog *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            handle(dialog);
        }
    });
    timer->start(10);
}

QStringList listedNames(const ArchiveEntriesDialog *dialog) {
    QStringList names;
    for (int row = 0; row < dialog->entryList->topLevelItemCount(); ++row)
        names << dialog->entryList->topLevelItem(row)->text(0);
    return names;
}

const QByteArray tankScript = "rem tank\nObjectTemplate.create Bundle Tank\n\xe9t\xe9\r\nlast";

} // namespace

class OpenFromArchiveTest : public QObject {
    Q_OBJECT

    QString packMod(const MainWindow &m, bool compress) {
        m.folder.write("mod/objects/Vehicles/Tank.con", tankScript);
        m.folder.write("mod/objects/init.inc", "rem init\r\n");
        m.folder.write("mod/objects/old.BAK", "rem old\r\n");
        m.folder.write("mod/objects/readme.txt", "not a script");
        packFolder(m.folder.file("mod/objects"), "objects", m.folder.file("objects.rfa"), compress);
        return m.folder.file("objects.rfa");
    }

private slots:
    void chosenEntriesOpenUntitledWithTheirBytesAndArchiveCaption() {
        MainWindow m;
        TFormMain *w = m.open();
        const QString archive = packMod(m, true);
        Prompts::answerFile(fixture::chosen(archive));
        QStringList scripts, filtered, all;
        whenChooserShows([&](ArchiveEntriesDialog *dialog) {
            scripts = listedNames(dialog);
            dialog->filterBox->setText("TANK");
            filtered = listedNames(dialog);
            QCOMPARE(dialog->chosenEntries().size(), 1); // the first match stands chosen
            dialog->filterBox->clear();
            dialog->allEntriesBox->setChecked(true);
            all = listedNames(dialog);
            QCOMPARE(dialog->entryList->topLevelItem(3)->text(1),
                     QString::number(tankScript.size()));
            dialog->entryList->topLevelItem(0)->setSelected(true);
            dialog->entryList->topLevelItem(3)->setSelected(true);
            dialog->accept();
        });
        fixture::trigger(w, "openFromArchiveAction");

        QCOMPARE(scripts,
                 QStringList({"objects/init.inc", "objects/old.BAK", "objects/Vehicles/Tank.con"}));
        QCOMPARE(filtered, QStringList({"objects/Vehicles/Tank.con"}));
        QCOMPARE(all, QStringList({"objects/init.inc", "objects/old.BAK", "objects/readme.txt",
                                   "objects/Vehicles/Tank.con"}));
        QVERIFY(Prompts::shownTexts().isEmpty());
        QCOMPARE(m.pages(), 2);
        QCOMPARE(m.caption(0), QString());
        QCOMPARE(m.caption(1), QString());
        w->resize(1400, 700); // wide enough for whole tab texts
        w->show();
        QCOMPARE(fixture::tabs(w)->tabRow()->tabOption(1).text,
                 QString("[objects.rfa:objects/Vehicles/Tank.con]"));
        QCOMPARE(fixture::tabs(w)->page(0)->displayText(),
                 QString("[objects.rfa:objects/init.inc]"));
        // Its bytes, its lines held with CR LF between them as an opened file's are.
        QCOMPARE(m.editor()->documentBytes(), marlix::joinedLines(tankScript));
        QVERIFY(!m.editor()->DocChanged);
        QVERIFY(!m.editor()->isUndoAvailable());
        QVERIFY(!m.folder.exists("recent.ini"));

        // Save asks for a name as for a new document; from then on the tab shows the file name.
        Prompts::answerFile(fixture::chosen(m.folder.file("Tank.con")));
        fixture::trigger(w, "mnuSave");
        QCOMPARE(m.caption(1), m.folder.file("Tank.con"));
        QCOMPARE(fixture::tabs(w)->tabRow()->tabOption(1).text, QString("Tank.con"));
        QCOMPARE(fixture::tabs(w)->tabRow()->toolTipAt(1), m.folder.file("Tank.con"));
        QVERIFY(m.folder.exists("Tank.con"));
    }

    // The window's return from the chooser switched to the command line's script instead.
    void newTabsComeIntoViewAndStayThere() {
        MainWindow m;
        TFormMain *w = m.open();
        const QString archive = packMod(m, false);
        const QString first = m.script("first.con", "rem first\r\n");
        w->commandLine = {QStringLiteral("marlix"), first};
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTRY_COMPARE(m.pages(), 1);
        Prompts::answerFile(fixture::chosen(archive));
        whenChooserShows([](ArchiveEntriesDialog *dialog) {
            dialog->entryList->clearSelection();
            dialog->entryList->topLevelItem(0)->setSelected(true);
            dialog->entryList->topLevelItem(2)->setSelected(true);
            dialog->accept();
        });
        fixture::trigger(w, "openFromArchiveAction");
        QCOMPARE(m.pages(), 3);
        // The window is active again once the chooser has gone, as a window manager makes it.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::qWait(20);
        QCoreApplication::processEvents();
        QCOMPARE(m.active(), fixture::tabs(w)->page(2));
        QCOMPARE(m.active()->displayText(), QString("[objects.rfa:objects/Vehicles/Tank.con]"));
    }

    void cancelledChoiceOpensNothing() {
        MainWindow m;
        TFormMain *w = m.open();
        Prompts::answerFile(fixture::chosen(packMod(m, false)));
        whenChooserShows([](ArchiveEntriesDialog *dialog) { dialog->reject(); });
        fixture::trigger(w, "openFromArchiveAction");
        QCOMPARE(m.pages(), 0);
        QVERIFY(Prompts::shownTexts().isEmpty());
    }

    void unreadableOrDamagedArchiveIsReportedAndOpensNothing() {
        MainWindow m;
        TFormMain *w = m.open();
        Prompts::answerFile(fixture::chosen(m.folder.file("missing.rfa")));
        fixture::trigger(w, "openFromArchiveAction");
        QCOMPARE(Prompts::shownTexts(),
                 QStringList({"Cannot open file " + m.folder.file("missing.rfa")}));

        // A segment that no longer decompresses: the packer's text, naming archive and entry.
        QByteArray damaged = m.folder.read(QFileInfo(packMod(m, true)).fileName());
        damaged.replace(156 + 16, 8, QByteArray(8, char(0xFF)));
        m.folder.write("damaged.rfa", damaged);
        Prompts::reset();
        Prompts::answerFile(fixture::chosen(m.folder.file("damaged.rfa")));
        whenChooserShows([](ArchiveEntriesDialog *dialog) {
            dialog->entryList->topLevelItem(0)->setSelected(true);
            dialog->entryList->topLevelItem(1)->setSelected(true);
            dialog->accept();
        });
        fixture::trigger(w, "openFromArchiveAction");
        QCOMPARE(Prompts::shownTexts().size(), 1);
        const QString text = Prompts::shownTexts().first();
        QVERIFY2(text.startsWith("Damaged archive " + m.folder.file("damaged.rfa")),
                 qPrintable(text));
        QVERIFY2(text.contains("objects/init.inc"), qPrintable(text));
        QCOMPARE(m.pages(), 0);
    }
};

QTEST_MAIN(OpenFromArchiveTest)
#include "OpenFromArchiveTest.moc"
