// The preferences dialog driven as a user drives it, offscreen, on a throw-away program
// folder; the colour, file and message prompts are answered through the prompt service.
#include "prefs/frmPref.h"
#include "platform/Prompts.h"
#include "prefs/ColorShape.h"
#include "prefs/StringGrid.h"
#include "tests/gui/support/TempFolder.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace marlix;

class frmPrefTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempFolder> folder;
    std::unique_ptr<TfrmPref> dlg;

    void open() {
        dlg->show();
        QVERIFY(dlg->isVisible());
    }
    bool close() {
        dlg->close();
        return !dlg->isVisible();
    }
    static void clickRow(marlix::StringGrid *grid, int row) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void page(int index) { dlg->pgcPref->setCurrentIndex(index); }
    static QByteArray lines(std::initializer_list<const char *> list) {
        QByteArray bytes;
        for (const char *line : list)
            bytes += QByteArray(line) + "\r\n";
        return bytes;
    }
    QStringList messages() const { return Prompts::shownTexts(); }

private slots:
    void init() {
        Prompts::setTestMode(true);
        Prompts::reset();
        folder = std::make_unique<TempFolder>();
        dlg = std::make_unique<TfrmPref>();
        dlg->ProgramFolder = folder->path();
    }
    void cleanup() {
        dlg.reset();
        for (const char *name : {"intellisense.ini", "highlighting.ini", "marlix.ini"})
            QFile::setPermissions(folder->file(name),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        folder.reset();
    }

    void freshFolderOpensWithInitialStatesAndFirstCloseWritesDefaults() {
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Marlix Preferences"));
        QCOMPARE(dlg->size(), QSize(473, 294));
        open();
        QVERIFY(messages().isEmpty());
        QCOMPARE(dlg->pgcPref->currentIndex(), 0);
        QCOMPARE(dlg->pgcPref->tabText(0), QStringLiteral("General"));
        QCOMPARE(dlg->pgcPref->tabText(1), QStringLiteral("Intellisense"));
        QCOMPARE(dlg->pgcPref->tabText(2), QStringLiteral("Highlighting"));
        for (QCheckBox *box : {dlg->chkAutoPopulate, dlg->chkAutoHighlight, dlg->chkAutoUpdate,
                               dlg->chkIntellisense, dlg->chkHighlighting})
            QVERIFY2(box->isChecked(), qPrintable(box->text()));
        QVERIFY(dlg->chkDark->isChecked() && !dlg->chkLight->isChecked());
        QVERIFY(dlg->chkOverwrite->isChecked() && !dlg->chkInsert->isChecked());
        QVERIFY(dlg->chkPhrase->isChecked() && !dlg->chkLine->isChecked());
        for (marlix::StringGrid *grid : {dlg->grdIntellisense, dlg->grdHighlighting}) {
            QCOMPARE(grid->rowCount(), 1);
            QCOMPARE(grid->columnCount(), 3);
            QCOMPARE(grid->columnWidth(2), 200);
            QCOMPARE(grid->rowHeight(0), 20);
            QCOMPARE(grid->selectedRow(), 0);
            QCOMPARE(grid->geometry(), QRect(0, 16, 205, 249));
        }
        QVERIFY(dlg->txtCode->text().isEmpty() && dlg->txtFile->text().isEmpty());
        QCOMPARE(dlg->shpColor->brushColor(), clWhite);

        QVERIFY(close());
        QVERIFY(messages().isEmpty());
        QCOMPARE(folder->read("intellisense.ini"), QByteArray());
        QVERIFY(folder->exists("intellisense.ini"));
        QVERIFY(folder->exists("highlighting.ini"));
        QCOMPARE(folder->read("highlighting.ini"), QByteArray());
        QCOMPARE(folder->read("marlix.ini"), lines({"1", "1", "1", "1", "1", "1"}));
    }

    void controlsStandWhereTheyBelong() {
        struct Place {
            QWidget *widget;
            QWidget *parent;
            QRect rect;
            const char *caption;
        };
        const TfrmPref &d = *dlg;
        const QList<Place> places{
            {d.chkAutoPopulate,
             d.TabSheet1,
             {8, 9, 281, 17},
             "Enable Object Explorer Populate on File Load"},
            {d.chkAutoHighlight,
             d.TabSheet1,
             {8, 33, 233, 17},
             "Enable Auto Highlighting on File Load"},
            {d.GroupBox3, d.TabSheet1, {8, 56, 217, 65}, "Display Options"},
            {d.chkDark, d.GroupBox3, {8, 16, 201, 17}, "Dark Text on Light Background"},
            {d.chkLight, d.GroupBox3, {8, 40, 201, 17}, "Light Text on Dark Background"},
            {d.chkAutoUpdate, d.TabSheet1, {8, 248, 217, 17}, "Check for Updates Automatically"},
            {d.chkIntellisense, d.TabSheet2, {0, 0, 193, 17}, "Enable Intellisense Support"},
            {d.GroupBox1, d.TabSheet2, {216, 16, 241, 113}, "Selected Code"},
            {d.txtCode, d.GroupBox1, {48, 24, 185, 21}, ""},
            {d.txtFile, d.GroupBox1, {48, 48, 161, 21}, ""},
            {d.btnFindFile, d.GroupBox1, {208, 48, 25, 21}, "..."},
            {d.chkOverwrite, d.GroupBox1, {48, 72, 113, 17}, "Overwrite"},
            {d.chkInsert, d.GroupBox1, {48, 88, 113, 17}, "Insert"},
            {d.btnSave, d.GroupBox1, {186, 83, 47, 22}, "Save"},
            {d.Label6,
             d.TabSheet2,
             {216, 136, 238, 26},
             "NOTE: To delete a code, just set the code or the file to an empty string and "
             "save"},
            {d.btnInsert, d.TabSheet2, {210, 243, 47, 22}, "Insert"},
            {d.chkHighlighting, d.TabSheet3, {0, 0, 201, 17}, "Enable Automatic Highlighting"},
            {d.GroupBox2, d.TabSheet3, {216, 16, 241, 113}, "Selected Code"},
            {d.txtHcode, d.GroupBox2, {48, 24, 185, 21}, ""},
            {d.shpColor, d.GroupBox2, {48, 48, 65, 20}, ""},
            {d.chkPhrase, d.GroupBox2, {48, 72, 113, 17}, "Phrase Only"},
            {d.chkLine, d.GroupBox2, {48, 88, 113, 17}, "To End of Line"},
            {d.btnHSave, d.GroupBox2, {186, 83, 47, 22}, "Save"},
            {d.Label7,
             d.TabSheet3,
             {216, 136, 238, 26},
             "NOTE: To delete a code, just set the code to an empty string and save"},
            {d.btnHInsert, d.TabSheet3, {210, 243, 47, 22}, "Insert"},
        };
        for (const Place &p : places) {
            QCOMPARE(p.widget->parentWidget(), p.parent);
            QCOMPARE(p.widget->geometry(), p.rect);
            QString caption;
            if (auto *b = qobject_cast<QAbstractButton *>(p.widget))
                caption = b->text();
            else if (auto *g = qobject_cast<QGroupBox *>(p.widget))
                caption = g->title();
            else if (auto *l = qobject_cast<QLabel *>(p.widget))
                caption = l->text();
            QCOMPARE(caption, QString::fromLatin1(p.caption));
        }
        QVERIFY(d.Label6->wordWrap() && d.Label7->wordWrap());
        const QList<QPair<QLabel *, QString>> labels{{d.Label1, "Code"},  {d.Label2, "File"},
                                                     {d.Label8, "Style"}, {d.Label3, "Code"},
                                                     {d.Label4, "Color"}, {d.Label5, "Style"}};
        for (const auto &[l, text] : labels)
            QCOMPARE(l->text(), text);
        QCOMPARE(d.Label4->pos(), QPoint(8, 48));
    }

    void optionsFileSetsEachControlByItsLine() {
        folder->write("marlix.ini", "1\n0\n1\n0\n1\n0\n0\n0");
        open();
        QVERIFY(dlg->chkAutoPopulate->isChecked());
        QVERIFY(!dlg->chkAutoHighlight->isChecked());
        QVERIFY(dlg->chkDark->isChecked());
        QVERIFY(!dlg->chkAutoUpdate->isChecked());
        QVERIFY(dlg->chkIntellisense->isChecked());
        QVERIFY(!dlg->chkHighlighting->isChecked());
        QVERIFY(!dlg->lineNumbersCheckBox->isChecked()); // the seventh line
        dlg->chkLight->setChecked(true);
        QVERIFY(close());
        QCOMPARE(folder->read("marlix.ini"), lines({"1", "0", "0", "0", "1", "0", "0"}));

        // Three lines leave the other options as the controls hold them.
        folder->write("marlix.ini", "0\r\n1 \r\n1\r\n");
        open();
        QVERIFY(!dlg->chkAutoPopulate->isChecked());
        QVERIFY(!dlg->chkAutoHighlight->isChecked());
        QVERIFY(dlg->chkDark->isChecked());
        QVERIFY(!dlg->chkAutoUpdate->isChecked() && !dlg->chkHighlighting->isChecked());
        QVERIFY(close());
        // The line numbers, hidden by the file before, stay hidden.
        QCOMPARE(folder->read("marlix.ini"), lines({"0", "0", "1", "0", "1", "0", "0"}));
    }

    void sevenLineTableGivesTwoRowsAndLosesTheSeventhLine() {
        folder->write("intellisense.ini", "a.\r\na.txt\r\n1\r\nb.\r\nb.txt\r\n0\r\nc.");
        open();
        QCOMPARE(dlg->grdIntellisense->rowCount(), 2);
        QCOMPARE(dlg->grdIntellisense->cell(1, 1), QStringLiteral("b.txt"));
        QVERIFY(close());
        QCOMPARE(folder->read("intellisense.ini"), lines({"a.", "a.txt", "1", "b.", "b.txt", "0"}));
    }

    void clearingCodeOrFileDeletesTheEntry() {
        folder->write("intellisense.ini", lines({"a.", "a.txt", "1", "b.", "b.txt", "0", "c.",
                                                 "c.txt", "1", "d.", "d.txt", "1"}));
        folder->write("highlighting.ini", lines({"rem", "1", "clGreen", "if", "0", "clBlue"}));
        open();
        page(1);
        clickRow(dlg->grdIntellisense, 1);
        QCOMPARE(dlg->txtCode->text(), QStringLiteral("b."));
        dlg->txtCode->clear();
        QTest::mouseClick(dlg->btnSave, Qt::LeftButton);
        clickRow(dlg->grdIntellisense, 2);
        QCOMPARE(dlg->txtFile->text(), QStringLiteral("c.txt"));
        dlg->txtFile->clear();
        QTest::mouseClick(dlg->btnSave, Qt::LeftButton);
        page(2);
        clickRow(dlg->grdHighlighting, 0);
        dlg->txtHcode->clear();
        QTest::mouseClick(dlg->btnHSave, Qt::LeftButton);
        QVERIFY(close());
        QCOMPARE(folder->read("intellisense.ini"), lines({"a.", "a.txt", "1", "d.", "d.txt", "1"}));
        QCOMPARE(folder->read("highlighting.ini"), lines({"if", "0", "clBlue"}));

        // Reopening shows the rows that are left, none repeated; the current row was the
        // third of four and moves to the new last row.
        open();
        QCOMPARE(dlg->grdIntellisense->rowCount(), 2);
        QCOMPARE(dlg->grdIntellisense->cell(0, 1), QStringLiteral("d."));
        QCOMPARE(dlg->grdIntellisense->selectedRow(), 1);
        QCOMPARE(dlg->grdHighlighting->rowCount(), 1);
        QVERIFY(messages().isEmpty());
    }

    void insertThenSaveWritesIntoThePreviouslySelectedRow() {
        folder->write("intellisense.ini", lines({"a.", "a.txt", "1", "b.", "b.txt", "0"}));
        open();
        page(1);
        clickRow(dlg->grdIntellisense, 0);
        QTest::mouseClick(dlg->btnInsert, Qt::LeftButton);
        QCOMPARE(dlg->grdIntellisense->rowCount(), 3);
        QCOMPARE(dlg->grdIntellisense->selectedRow(), 0);
        dlg->txtCode->setText("changed.");
        QTest::mouseClick(dlg->btnSave, Qt::LeftButton);
        QCOMPARE(dlg->grdIntellisense->cell(0, 0), QStringLiteral("changed."));
        QVERIFY(dlg->grdIntellisense->cell(0, 2).isEmpty());
        QVERIFY(close());
        QCOMPARE(folder->read("intellisense.ini"),
                 lines({"changed.", "a.txt", "1", "b.", "b.txt", "0"}));
    }

    void selectingRowsShowsTheirCellsAndPageSwitchKeepsTheStyle() {
        folder->write("intellisense.ini", lines({"a.", "a.txt", "0", "b.", "b.txt", "1"}));
        open();
        page(1);
        clickRow(dlg->grdIntellisense, 0);
        QVERIFY(dlg->chkInsert->isChecked());
        QTest::keyClick(dlg->grdIntellisense, Qt::Key_Down);
        QCOMPARE(dlg->txtCode->text(), QStringLiteral("b."));
        QVERIFY(dlg->chkOverwrite->isChecked());
        QTest::keyClick(dlg->grdIntellisense, Qt::Key_Up);
        QVERIFY(dlg->chkInsert->isChecked());

        // A click on the row already selected shows it again.
        dlg->txtCode->setText("typed");
        dlg->chkOverwrite->setChecked(true);
        clickRow(dlg->grdIntellisense, 0);
        QCOMPARE(dlg->txtCode->text(), QStringLiteral("a."));
        QVERIFY(dlg->chkInsert->isChecked());

        // Switching to the page refreshes code and file only.
        dlg->txtCode->setText("typed");
        dlg->txtFile->setText("typed.txt");
        dlg->chkOverwrite->setChecked(true);
        page(0);
        page(1);
        QCOMPARE(dlg->txtCode->text(), QStringLiteral("a."));
        QCOMPARE(dlg->txtFile->text(), QStringLiteral("a.txt"));
        QVERIFY(dlg->chkOverwrite->isChecked());
        QTest::mouseClick(dlg->btnSave, Qt::LeftButton);
        QCOMPARE(dlg->grdIntellisense->cell(2, 0), QStringLiteral("1"));
    }

    void colorCellsShowAsTheShapeFillAndPickedColorsAreWritten() {
        folder->write("highlighting.ini",
                      lines({"rem", "1", "clRed", "x", "0", "", "if", "0", "$00FF0000"}));
        open();
        page(2);
        clickRow(dlg->grdHighlighting, 0);
        QCOMPARE(dlg->shpColor->brushColor(), 0x0000FFu);
        QCOMPARE(dlg->shpColor->fillColor(), QColor(255, 0, 0));
        QVERIFY(dlg->chkLine->isChecked());
        clickRow(dlg->grdHighlighting, 1);
        QCOMPARE(dlg->shpColor->fillColor(), QColor(Qt::white));
        QVERIFY(dlg->chkPhrase->isChecked());
        clickRow(dlg->grdHighlighting, 2);
        QCOMPARE(dlg->shpColor->fillColor(), QColor(0, 0, 255));

        // A cancelled colour dialog keeps the fill; the dialog is preset to the fill.
        QTest::mouseClick(dlg->shpColor, Qt::LeftButton);
        QCOMPARE(dlg->shpColor->fillColor(), QColor(0, 0, 255));
        Prompts::answerColor(QColor(0x12, 0x34, 0x56));
        QTest::mouseClick(dlg->shpColor, Qt::RightButton);
        QCOMPARE(dlg->shpColor->fillColor(), QColor(0x12, 0x34, 0x56));
        QCOMPARE(dlg->grdHighlighting->cell(2, 2), QStringLiteral("$00FF0000"));
        QTest::mouseClick(dlg->btnHSave, Qt::LeftButton);
        QCOMPARE(dlg->grdHighlighting->cell(2, 2), QStringLiteral("$00563412"));

        Prompts::answerColor(QColor(255, 0, 0));
        clickRow(dlg->grdHighlighting, 1);
        QTest::mouseClick(dlg->shpColor, Qt::LeftButton);
        QTest::mouseClick(dlg->btnHSave, Qt::LeftButton);
        QVERIFY(close());
        QCOMPARE(folder->read("highlighting.ini"),
                 lines({"rem", "1", "clRed", "x", "0", "clRed", "if", "0", "$00563412"}));
    }

    void unknownColorIsReportedAfterCodeAndStyleAndKeepsTheFill() {
        folder->write("highlighting.ini", lines({"rem", "0", "clRed", "odd", "1", "red"}));
        open();
        page(2);
        clickRow(dlg->grdHighlighting, 0);
        QVERIFY(messages().isEmpty());
        clickRow(dlg->grdHighlighting, 1);
        QCOMPARE(messages(), QStringList{"'red' is not a valid integer value"});
        QCOMPARE(Prompts::shown().last().caption, QStringLiteral("Marlix"));
        QCOMPARE(Prompts::shown().last().icon, QMessageBox::Critical);
        QCOMPARE(dlg->txtHcode->text(), QStringLiteral("odd"));
        QVERIFY(dlg->chkLine->isChecked());
        QCOMPARE(dlg->shpColor->brushColor(), 0x0000FFu);

        // The page switch reports it too, once; Save then writes the shape's colour.
        page(0);
        page(2);
        QCOMPARE(messages().size(), 2);
        QTest::mouseClick(dlg->btnHSave, Qt::LeftButton);
        QCOMPARE(dlg->grdHighlighting->cell(2, 1), QStringLiteral("clRed"));
    }

    void styleWithLeadingBlankShowsAsTheOtherStyleAndIsKept() {
        folder->write("intellisense.ini", lines({"a.", "a.txt", " 1"}));
        folder->write("highlighting.ini", lines({"rem", " 1", "clRed"}));
        open();
        page(1);
        clickRow(dlg->grdIntellisense, 0);
        QVERIFY(dlg->chkInsert->isChecked());
        page(2);
        QVERIFY(dlg->chkPhrase->isChecked());
        QVERIFY(close());
        QCOMPARE(folder->read("intellisense.ini"), lines({"a.", "a.txt", " 1"}));
        QCOMPARE(folder->read("highlighting.ini"), lines({"rem", " 1", "clRed"}));
    }

    void findFileAsksForIniFilesFirstEveryTime() {
        open();
        page(1);
        Prompts::answerFile({true, "/mods/desert/objects.txt", 2, QString()});
        QTest::mouseClick(dlg->btnFindFile, Qt::LeftButton);
        QCOMPARE(dlg->txtFile->text(), QStringLiteral("/mods/desert/objects.txt"));
        QTest::mouseClick(dlg->btnFindFile, Qt::LeftButton); // cancelled
        QCOMPARE(dlg->txtFile->text(), QStringLiteral("/mods/desert/objects.txt"));
        QCOMPARE(Prompts::shown().size(), 2);
        for (const PromptRecord &record : Prompts::shown()) {
            QCOMPARE(record.kind, PromptRecord::File);
            QCOMPARE(record.file.kind, FileRequest::Open);
            QCOMPARE(record.file.filter, QStringLiteral("Marlix Init Files (*.ini)|*.ini|"
                                                        "BF1942 Exe Path (*.exe)|*.exe"));
            QCOMPARE(record.file.filterIndex, 1);
        }
        QVERIFY(dlg->grdIntellisense->cell(1, 0).isEmpty()); // only Save puts it in the grid
    }

    void unreadableTableIsReportedAndNeverOverwritten() {
        QVERIFY(QDir(folder->path()).mkdir("highlighting.ini"));
        folder->write("marlix.ini", lines({"0"}));
        open();
        QCOMPARE(messages(), QStringList{"Cannot open file " + folder->file("highlighting.ini")});
        QVERIFY(!dlg->chkAutoPopulate->isChecked()); // the other files are still read

        // The user's table comes back before the closing: it must stay as it is.
        QVERIFY(QDir(folder->path()).rmdir("highlighting.ini"));
        folder->write("highlighting.ini", "mine\n0\nclRed\n");
        page(2);
        dlg->txtHcode->setText("other");
        QTest::mouseClick(dlg->btnHSave, Qt::LeftButton);
        QVERIFY(close());
        QCOMPARE(folder->read("highlighting.ini"), QByteArray("mine\n0\nclRed\n"));
        QCOMPARE(folder->read("marlix.ini"), lines({"0", "1", "1", "1", "1", "1"}));
        QVERIFY(folder->exists("intellisense.ini"));

        // Read well at the next opening, it is rewritten from the grid again.
        open();
        QVERIFY(close());
        QCOMPARE(folder->read("highlighting.ini"), lines({"mine", "0", "clRed"}));
    }

    void readOnlyTableRefusesTheCloseAndWritesNothingAfterIt() {
        folder->write("intellisense.ini", lines({"a.", "a.txt", "1"}));
        folder->write("highlighting.ini", "old highlighting\r\n");
        folder->write("marlix.ini", "old options\r\n");
        QFile::setPermissions(folder->file("intellisense.ini"), QFileDevice::ReadOwner);
        open();
        dlg->chkAutoUpdate->setChecked(false);
        QVERIFY(!close());
        const QString error = "Cannot create file " + folder->file("intellisense.ini");
        QCOMPARE(messages(), QStringList{error});
        QCOMPARE(folder->read("highlighting.ini"), QByteArray("old highlighting\r\n"));
        QCOMPARE(folder->read("marlix.ini"), QByteArray("old options\r\n"));
        QVERIFY(!dlg->chkAutoUpdate->isChecked());
        QCOMPARE(dlg->grdIntellisense->cell(0, 0), QStringLiteral("a."));

        // Failing again, the user is asked; No keeps the dialog open with its contents.
        Prompts::answerMessage(QMessageBox::Ok);
        Prompts::answerMessage(QMessageBox::No);
        QVERIFY(!close());
        QCOMPARE(messages().size(), 3);
        QCOMPARE(messages()[1], error);
        QCOMPARE(Prompts::shown()[2].caption, QStringLiteral("Confirm"));
        QCOMPARE(Prompts::shown()[2].buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(!dlg->chkAutoUpdate->isChecked());

        // Once the cause is gone, closing writes all three files.
        QFile::setPermissions(folder->file("intellisense.ini"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(close());
        QCOMPARE(messages().size(), 3);
        QCOMPARE(folder->read("marlix.ini"), lines({"0", "1", "1", "0", "1", "1"}));
        QCOMPARE(folder->read("highlighting.ini"), QByteArray());
    }

    void discardingAfterRepeatedFailureLeavesWithoutWriting() {
        folder->write("highlighting.ini", lines({"rem", "1", "clRed"}));
        QFile::setPermissions(folder->file("highlighting.ini"), QFileDevice::ReadOwner);
        open();
        dlg->chkLight->setChecked(true);
        page(2);
        dlg->txtHcode->setText("new");
        QTest::mouseClick(dlg->btnHSave, Qt::LeftButton);
        QVERIFY(!close());
        Prompts::answerMessage(QMessageBox::Ok);
        Prompts::answerMessage(QMessageBox::Yes);
        QVERIFY(close());
        QVERIFY(!folder->exists("marlix.ini"));
        QCOMPARE(folder->read("highlighting.ini"), lines({"rem", "1", "clRed"}));
        // The discarded changes are gone from the controls too.
        QVERIFY(dlg->chkDark->isChecked());
        QCOMPARE(dlg->grdHighlighting->cell(0, 0), QStringLiteral("rem"));

        // The next opening starts afresh: its first failure only refuses.
        open();
        QVERIFY(!close());
        QCOMPARE(Prompts::shown().size(), 4);
    }

    void lastPageIsActiveAgainAndShowModalReturnsAfterTheClose() {
        folder->write("marlix.ini", lines({"0"}));
        open();
        page(2);
        QVERIFY(close());
        folder->write("marlix.ini", lines({"0"}));
        QTimer::singleShot(0, dlg.get(), [this] {
            QVERIFY(dlg->isModal());
            QCOMPARE(dlg->pgcPref->currentIndex(), 2);
            QVERIFY(!dlg->chkAutoPopulate->isChecked());
            dlg->chkAutoPopulate->setChecked(true);
            dlg->close();
        });
        dlg->exec();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(folder->read("marlix.ini"), lines({"1", "1", "1", "1", "1", "1"}));
    }

    void editFieldsRefuseWhatATableLineCannotHold() {
        open();
        page(1);
        dlg->txtCode->setText("obj.");
        QGuiApplication::clipboard()->setText("two\nlines");
        dlg->txtCode->paste();
        QCOMPARE(dlg->txtCode->text(), QStringLiteral("obj."));
        dlg->txtFile->paste();
        QVERIFY(dlg->txtFile->text().isEmpty());
        QKeyEvent euro(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x20AC)));
        QCoreApplication::sendEvent(dlg->txtCode, &euro);
        QKeyEvent eAcute(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0xE9)));
        QCoreApplication::sendEvent(dlg->txtCode, &eAcute);
        QCOMPARE(dlg->txtCode->text(), QString::fromLatin1("obj.\xE9"));
        QGuiApplication::clipboard()->setText(QString::fromUtf8("/mods/\u0434/objects.txt"));
        dlg->txtFile->paste();
        QCOMPARE(dlg->txtFile->text(), QString::fromUtf8("/mods/\u0434/objects.txt"));
    }

    void displayOptionsCaptionSatAboveItsFrameAndTheRadioCoveredIt() {
        open();
        QGroupBox *group = dlg->GroupBox3;
        const QImage picture = group->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb ground = picture.pixel(picture.width() - 2, 1);
        // The frame's top edge, looked for right of the radio buttons and the caption.
        const int edgeX = picture.width() - 4;
        int edge = 0;
        while (edge < picture.height() && picture.pixel(edgeX, edge) == ground)
            ++edge;
        QVERIFY(edge < picture.height() / 2);
        // The caption's rows: any mark left of the middle above the radio buttons but the edge.
        int first = -1, last = -1;
        for (int y = 0; y < dlg->chkDark->y(); ++y)
            for (int x = 12; x < picture.width() / 3; ++x)
                if (y != edge && picture.pixel(x, y) != ground &&
                    picture.pixel(x, y) != picture.pixel(edgeX, edge)) {
                    first = first < 0 ? y : first;
                    last = y;
                }
        QVERIFY2(first < edge && last > edge,
                 qPrintable(QStringLiteral("caption rows %1..%2, frame edge %3")
                                .arg(first)
                                .arg(last)
                                .arg(edge)));
        // The radio buttons, painted on their own background, leave the edge uncovered.
        QVERIFY(dlg->chkDark->y() > edge);
    }

    void tabWalkedThroughHiddenColumnsAndChangedTheRow() {
        folder->write("intellisense.ini",
                      lines({"a", "a.txt", "1", "b", "b.txt", "0", "c", "c.txt", "1"}));
        open();
        page(1);
        marlix::StringGrid *grid = dlg->grdIntellisense;
        clickRow(grid, 0);
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        QTest::keyClick(grid, Qt::Key_Tab);
        QVERIFY(!grid->hasFocus());
        QCOMPARE(grid->selectedRow(), 0);
        QCOMPARE(dlg->txtCode->text(), QStringLiteral("a"));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Backtab);
        QVERIFY(!grid->hasFocus());
        QCOMPARE(grid->selectedRow(), 0);
    }

    void clickBelowTheRowsLeftNoRowShownSelected() {
        folder->write("highlighting.ini", lines({"a", "0", "clRed", "b", "1", "clBlue"}));
        open();
        page(2);
        marlix::StringGrid *grid = dlg->grdHighlighting;
        clickRow(grid, 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(20, 200));
        QCOMPARE(grid->selectedRow(), 1);
        QVERIFY(grid->selectionModel()->isRowSelected(1, {}));
        // Ctrl+click on the current row does not take its selection away either.
        clickRow(grid, 0);
        const QRect cell = grid->visualRect(grid->model()->index(0, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
        QCOMPARE(grid->selectedRow(), 0);
        QVERIFY(grid->selectionModel()->isRowSelected(0, {}));
    }

    void escapeDoesNotCloseTheDialog() {
        open();
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        QVERIFY(dlg->isVisible());
        QVERIFY(!folder->exists("marlix.ini"));
    }
};

QTEST_MAIN(frmPrefTest)
#include "frmPrefTest.moc"
