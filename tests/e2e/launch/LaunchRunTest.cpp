// "Compile and Run" against real child processes: a packer stand-in that records the answers
// it reads and writes the archive, and a game stand-in that records its arguments.
#include "launch/JpegImage.h"
#include "launch/frmLaunch.h"
#include "platform/Prompts.h"
#include "tests/gui/support/TempFolder.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using marlix::Prompts;

class LaunchRunTest : public QObject {
    Q_OBJECT

    TempFolder *tmp = nullptr;
    TFrmLaunch *dlg = nullptr;
    QString program, mod, packer, game;

    QString packerLog() const { return tmp->file("packer.log"); }
    QString gameLog() const { return tmp->file("game.log"); }
    static QByteArray slurp(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void tickOnly(const QStringList &captions) {
        for (QCheckBox *box : dlg->CategoryBoxes())
            box->setChecked(captions.contains(box->text()));
    }

private slots:
    void init() {
        tmp = new TempFolder;
        Prompts::setTestMode(true);
        Prompts::reset();
        program = tmp->path() + "prog/";
        mod = tmp->path() + "My Mod/";
        QDir().mkpath(program);
        QDir().mkpath(mod + "archives");
        QDir().mkpath(tmp->path() + "tools");
        packer = tmp->path() + "tools/packer";
        QVERIFY(QFile::copy(PACKER_STANDIN, packer));
        game = GAME_STANDIN;
        qputenv("MARLIX_PACKER_LOG", packerLog().toLocal8Bit());
        qputenv("MARLIX_GAME_LOG", gameLog().toLocal8Bit());
        dlg = new TFrmLaunch;
        dlg->ProgramFolder = program;
        dlg->txtRFAPath->setText(packer);
        dlg->txtArchivePath->setText(mod);
        dlg->txtBFPath->setText(game);
    }
    void cleanup() {
        delete dlg;
        delete tmp;
    }

    void startsWithObjectsOnlyAndDefaultTexts() {
        TFrmLaunch fresh;
        QCOMPARE(fresh.windowTitle(), QString("Compile and Launch"));
        QCOMPARE(fresh.size(), QSize(376, 354));
        QStringList ticked;
        for (QCheckBox *box : fresh.CategoryBoxes())
            if (box->isChecked())
                ticked << box->text();
        QCOMPARE(ticked, QStringList({"Objects"}));
        QCOMPARE(fresh.txtParameters->text(), QString("-game"));
        QVERIFY(fresh.txtRFAPath->text().isEmpty());
        QCOMPARE(fresh.chkTreeMesh->geometry(), QRect(248, 80, 97, 17));
        QCOMPARE(fresh.chkStandardmesh->geometry(), QRect(248, 48, 105, 17));
        QCOMPARE(fresh.btnCompile->focusPolicy(), Qt::NoFocus);
        QCOMPARE(fresh.prgCompile->maximum(), 11);
    }

    void objectsOnlyPacksOnceAndLaunches() {
        QDir().mkpath(mod + "objects");
        dlg->btnCompile->click();
        const QByteArray expected = "cwd=/\n"
                                    "line1=" +
                                    (mod + "objects").toLocal8Bit() +
                                    "\r\n"
                                    "line2=objects\r\nline3=N\r\n"
                                    "line4=" +
                                    (mod + "archives/objects.rfa").toLocal8Bit() +
                                    "\r\nline5=N\r\nline6=exit\r\n";
        QCOMPARE(slurp(packerLog()), expected);
        QVERIFY(QFile::exists(mod + "archives/objects.rfa"));
        QVERIFY(!QFile::exists(program + "compile.bat"));
        QVERIFY(!QFile::exists(program + "compile.ini"));
        QCOMPARE(slurp(gameLog()), QByteArray("cwd=/\nargc=1\narg=-game\n"));
        QCOMPARE(dlg->prgCompile->value(), 11);
        QVERIFY(Prompts::shownTexts().isEmpty());
    }

    void noCategoryWritesNothingAndStillLaunches() {
        tickOnly({});
        dlg->txtParameters->setText("");
        dlg->btnCompile->click();
        QVERIFY(!QFile::exists(packerLog()));
        QVERIFY(!QFile::exists(program + "compile.bat"));
        QCOMPARE(slurp(gameLog()), QByteArray("cwd=/\nargc=0\n"));
        QCOMPARE(dlg->prgCompile->value(), 11);
    }

    void missingFolderSkipsButLeavesBatchFile() {
        // The mod path lacks its trailing separator: "My Modobjects" is tested, not found.
        // Spaces in the packer path and the program folder are written without quotes.
        QDir().mkpath(mod + "objects");
        program = tmp->path() + "prog dir/";
        packer = tmp->path() + "my tools/packer";
        QDir().mkpath(program);
        dlg->ProgramFolder = program;
        dlg->txtRFAPath->setText(packer);
        dlg->txtArchivePath->setText(tmp->path() + "My Mod");
        dlg->btnCompile->click();
        QVERIFY(!QFile::exists(packerLog()));
        QCOMPARE(slurp(program + "compile.bat"),
                 (packer + " < " + program + "compile.ini\r\n").toLocal8Bit());
        QVERIFY(!QFile::exists(program + "compile.ini"));
        QVERIFY(QFile::exists(gameLog()));
        QVERIFY(Prompts::shownTexts().isEmpty());
    }

    void severalCategoriesRunOneAfterAnother() {
        for (const char *c : {"ai", "objects", "treemesh", "sound"})
            QDir().mkpath(mod + c);
        tickOnly({"TreeMesh", "AI", "Objects"});
        dlg->btnCompile->click();
        const QByteArray log = slurp(packerLog());
        QVERIFY(!log.contains("OVERLAP"));
        QCOMPARE(log.count("cwd=/\n"), 3);
        const qsizetype ai = log.indexOf("line2=ai\r"), objects = log.indexOf("line2=objects\r"),
                        tree = log.indexOf("line2=treemesh\r");
        QVERIFY(ai >= 0 && ai < objects && objects < tree);
        QVERIFY(QFile::exists(mod + "archives/treemesh.rfa"));
        QVERIFY(!QFile::exists(mod + "archives/sound.rfa"));
    }

    // A change made while a packer runs counts for the categories still to come.
    void packerPathIsReadAfreshForEachCategory() {
        for (const char *c : {"ai", "objects"})
            QDir().mkpath(mod + c);
        tickOnly({"AI", "Objects"});
        const QString second = tmp->file("tools/second");
        tmp->write("tools/second", ("#!/bin/sh\necho packer=second >> '" + packerLog() +
                                    "'\nexec '" + packer + "'\n")
                                       .toLocal8Bit());
        QFile::setPermissions(second, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QFile::exists(packerLog()))
                dlg->txtRFAPath->setText(second);
        });
        poll.start(5);
        dlg->btnCompile->click();
        const QByteArray log = slurp(packerLog());
        QCOMPARE(log.count("packer=second\n"), 1);
        QVERIFY(log.indexOf("line2=ai\r") < log.indexOf("packer=second"));
        QVERIFY(log.indexOf("packer=second") < log.indexOf("line2=objects\r"));
    }

    void emptyPackerAndEmptyGamePath() {
        QDir().mkpath(mod + "objects");
        dlg->txtRFAPath->setText("");
        dlg->txtBFPath->setText("");
        dlg->btnCompile->click();
        QVERIFY(!QFile::exists(packerLog()));
        QCOMPARE(Prompts::shownTexts(), QStringList({"Unable to launch BF1942"}));
        QCOMPARE(Prompts::shown().last().caption, QString("Marlix"));
        QCOMPARE(dlg->prgCompile->value(), 11);
    }

    void packerThatCannotStartLeavesBothFiles() {
        QDir().mkpath(mod + "objects");
        dlg->txtRFAPath->setText(tmp->file("no-such-packer"));
        dlg->btnCompile->click();
        QVERIFY(QFile::exists(program + "compile.bat"));
        QCOMPARE(slurp(program + "compile.ini").count("\r\n"), 6);
        QVERIFY(QFile::exists(gameLog()));
        QVERIFY(Prompts::shownTexts().isEmpty());
    }

    void unwritableProgramFolderStopsTheRun() {
        QDir().mkpath(mod + "objects");
        QDir().mkpath(program + "compile.bat"); // a folder where the batch file should go
        dlg->btnCompile->click();
        QCOMPARE(Prompts::shownTexts(),
                 QStringList({"Cannot create file " + program + "compile.bat"}));
        QVERIFY(!QFile::exists(gameLog()));
        QCOMPARE(dlg->prgCompile->value(), 5);
    }

    void secondRunRefusedAndCloseWaitsForTheGame() {
        tickOnly({});
        const QString go = tmp->file("go");
        // A game that stays until the test lets it go.
        tmp->write("game.sh", ("#!/bin/sh\necho run >> '" + tmp->file("runs") +
                               "'\nwhile [ ! -e '" + go + "' ]; do sleep 0.02; done\n")
                                  .toLocal8Bit());
        QFile::setPermissions(tmp->file("game.sh"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        dlg->txtBFPath->setText(tmp->file("game.sh"));
        dlg->show();
        bool checkedInside = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (!QFile::exists(tmp->file("runs")) || checkedInside)
                return;
            checkedInside = true;
            QVERIFY(dlg->Running());
            dlg->btnCompile->click(); // refused: returns at once
            dlg->close();             // remembered only
            QVERIFY(dlg->isVisible());
            QFile(go).open(QIODevice::WriteOnly);
        });
        poll.start(10);
        dlg->btnCompile->click();
        QVERIFY(checkedInside);
        QCOMPARE(slurp(tmp->file("runs")), QByteArray("run\n"));
        QVERIFY(!dlg->isVisible());
        QVERIFY(QFile::exists(program + "compilepref.ini"));
    }

    void settingsSurviveCloseAndReopen() {
        dlg->txtArchivePath->setText("/typed/no/separator");
        dlg->txtParameters->setText("");
        dlg->chkSound->setChecked(true);
        dlg->show();
        dlg->close();
        QCOMPARE(slurp(program + "compilepref.ini"),
                 (packer + "\r\n/typed/no/separator\r\n" + game + "\r\n\r\n").toLocal8Bit());
        dlg->txtArchivePath->setText("changed");
        dlg->txtParameters->setText("changed");
        dlg->show();
        QCOMPARE(dlg->txtArchivePath->text(), QString("/typed/no/separator"));
        QCOMPARE(dlg->txtParameters->text(), QString());
        QVERIFY(dlg->chkSound->isChecked());
        dlg->close();
    }

    void shortOrUnreadableSettingsFile() {
        tmp->write("prog/compilepref.ini", "one\r\ntwo\n");
        dlg->show();
        QCOMPARE(Prompts::shownTexts(), QStringList({"List index out of bounds (2)"}));
        QVERIFY(dlg->isVisible());
        QCOMPARE(dlg->txtRFAPath->text(), QString("one"));
        QCOMPARE(dlg->txtArchivePath->text(), QString("two"));
        QCOMPARE(dlg->txtBFPath->text(), game);
        dlg->hide();
        Prompts::reset();
        QFile::remove(program + "compilepref.ini");
        QDir().mkpath(program + "compilepref.ini");
        dlg->show();
        QCOMPARE(Prompts::shownTexts(),
                 QStringList({"Cannot open file " + program + "compilepref.ini"}));
        // Closing still works when the file cannot be written.
        dlg->close();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(Prompts::shownTexts().size(), 2);
    }

    void browseButtonsShareOneDialog() {
        Prompts::answerFile({true, "/games/bf1942.exe", 2});
        dlg->btnBFPath->click();
        QCOMPARE(dlg->txtBFPath->text(), QString("/games/bf1942.exe"));
        QCOMPARE(Prompts::shown().last().file.fileName, QString("bf1942.exe"));
        Prompts::answerFile({false, {}, 2});
        dlg->btnRFAPath->click();
        QCOMPARE(Prompts::shown().last().file.fileName, QString("/games/bf1942.exe"));
        QCOMPARE(Prompts::shown().last().file.filterIndex, 2);
        QCOMPARE(Prompts::shown().last().file.filter,
                 QString("Directory|*.|Executable (*.exe)|*.exe"));
        QCOMPARE(dlg->txtRFAPath->text(), packer);
        Prompts::answerFile({true, "/mods/Other/[NO FILE REQUIRED]", 1});
        dlg->btnArchivePath->click();
        QCOMPARE(Prompts::shown().last().file.fileName, QString("[NO FILE REQUIRED]"));
        QCOMPARE(Prompts::shown().last().file.filterIndex, 1);
        QCOMPARE(dlg->txtArchivePath->text(), QString("/mods/Other/"));
    }

    void backgroundPictureDecodes() {
        QFile jpeg(QStringLiteral(SOURCE_DIR "/data/launchback.jpg"));
        QVERIFY(jpeg.open(QIODevice::ReadOnly));
        const QByteArray bytes = jpeg.readAll();
        const QImage image = marlix::decodeJpeg(bytes);
        QCOMPARE(image.size(), QSize(376, 354));
        QVERIFY(marlix::decodeJpeg(bytes.left(bytes.size() / 3)).isNull() ||
                marlix::decodeJpeg(bytes.left(bytes.size() / 3)).size() == QSize(376, 354));
        QVERIFY(marlix::decodeJpeg("not a picture").isNull());
    }
};

QTEST_MAIN(LaunchRunTest)
#include "LaunchRunTest.moc"
