// "Compile and Run" against real child processes: a packer stand-in that records the answers
// it reads and writes the archive, and a game stand-in that records its arguments.
#include "launch/JpegImage.h"
#include "launch/PackerConsole.h"
#include "launch/frmLaunch.h"
#include "platform/ChildProcess.h"
#include "platform/Prompts.h"
#include "tests/gui/support/TempFolder.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

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
        for (QCheckBox *box : dlg->categoryBoxes())
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
        for (const char *name : {"MARLIX_PACKER_SAY", "MARLIX_PACKER_EXIT", "MARLIX_PACKER_HANG",
                                 "MARLIX_GAME_INPUT_LOG"})
            qunsetenv(name);
        delete dlg;
        delete tmp;
    }

    void startsWithObjectsOnlyAndDefaultTexts() {
        TFrmLaunch fresh;
        QCOMPARE(fresh.windowTitle(), QString("Compile and Launch"));
        QCOMPARE(fresh.size(), QSize(376, 354));
        QStringList ticked;
        for (QCheckBox *box : fresh.categoryBoxes())
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

    // "/home/me/mods/MyMod" once checked ".../MyModobjects", packed nothing and said nothing.
    void modPathWithoutItsSeparatorStillPacks() {
        QDir().mkpath(mod + "objects");
        dlg->txtArchivePath->setText(tmp->path() + "My Mod");
        dlg->btnCompile->click();
        const QByteArray log = slurp(packerLog());
        QVERIFY(log.contains("line1=" + (mod + "objects").toLocal8Bit() + "\r\n"));
        QVERIFY(log.contains("line4=" + (mod + "archives/objects.rfa").toLocal8Bit() + "\r\n"));
        QVERIFY(QFile::exists(mod + "archives/objects.rfa"));
        QVERIFY(!dlg->packerConsole()->isVisible());
        // The path stays as typed.
        QCOMPARE(dlg->txtArchivePath->text(), tmp->path() + "My Mod");
    }

    void missingFolderIsReportedAndLeavesBatchFile() {
        // Spaces in the packer path and the program folder are written without quotes.
        QDir().mkpath(mod + "objects");
        program = tmp->path() + "prog dir/";
        packer = tmp->path() + "my tools/packer";
        QDir().mkpath(program);
        dlg->ProgramFolder = program;
        dlg->txtRFAPath->setText(packer);
        tickOnly({"Sound"});
        dlg->show();
        dlg->btnCompile->click();
        QVERIFY(!QFile::exists(packerLog()));
        QCOMPARE(slurp(program + "compile.bat"),
                 (packer + " < " + program + "compile.ini\r\n").toLocal8Bit());
        QVERIFY(!QFile::exists(program + "compile.ini"));
        QVERIFY(QFile::exists(gameLog()));
        QVERIFY(Prompts::shownTexts().isEmpty());
        // The packer console says what was left out, and stays open after the run.
        marlix::PackerConsole *console = dlg->packerConsole();
        QVERIFY(console->isVisible());
        QVERIFY2(console->text()->toPlainText().contains("no folder " + mod + "sound, skipped"),
                 qPrintable(console->text()->toPlainText()));
        QVERIFY(console->windowTitle().contains("sound"));
        dlg->hide();
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

    void hangingGameCannotBeStoppedNorTheDialogClosed() {
        // The game never ends. While it runs the button reads "Stop"; a close is only
        // remembered; Stop ends the game, and the remembered close follows.
        tickOnly({});
        tmp->write("game.sh", ("#!/bin/sh\necho run >> '" + tmp->file("runs") +
                               "'\nwhile :; do sleep 0.05; done\n")
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
            QVERIFY(dlg->running());
            QCOMPARE(dlg->btnCompile->text(), QString("Stop"));
            dlg->close(); // remembered only
            QVERIFY(dlg->isVisible());
            dlg->btnCompile->click();
        });
        poll.start(10);
        dlg->btnCompile->click();
        QVERIFY(checkedInside);
        QCOMPARE(slurp(tmp->file("runs")), QByteArray("run\n"));
        QCOMPARE(dlg->btnCompile->text(), QString("Compile and Run"));
        QVERIFY(!dlg->isVisible());
        QVERIFY(QFile::exists(program + "compilepref.ini"));
    }

    void hangingPackerCannotBeStopped() {
        // Stop ends the packer of one category; the run goes on with the next, then the game.
        for (const char *c : {"ai", "objects"})
            QDir().mkpath(mod + c);
        tickOnly({"AI", "Objects"});
        qputenv("MARLIX_PACKER_HANG", "1");
        int stops = 0;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (slurp(packerLog()).count("hanging") > stops &&
                dlg->btnCompile->text() == QLatin1String("Stop")) {
                ++stops;
                dlg->btnCompile->click();
            }
        });
        poll.start(10);
        dlg->btnCompile->click();
        QCOMPARE(stops, 2);
        QVERIFY(QFile::exists(mod + "archives/ai.rfa"));
        QVERIFY(QFile::exists(mod + "archives/objects.rfa"));
        QVERIFY(!QFile::exists(program + "compile.bat"));
        QVERIFY(!QFile::exists(program + "compile.ini"));
        QVERIFY(QFile::exists(gameLog()));
        QCOMPARE(dlg->prgCompile->value(), 11);
        QCOMPARE(dlg->btnCompile->text(), QString("Compile and Run"));
        QVERIFY(dlg->packerConsole()->windowTitle().endsWith("(ended by a signal)"));
    }

    void packerIgnoringTheStopIsKilledAfterThreeSeconds() {
        QDir().mkpath(mod + "objects");
        qputenv("MARLIX_PACKER_HANG", "ignore");
        QElapsedTimer sinceStop;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (!sinceStop.isValid() && slurp(packerLog()).contains("hanging")) {
                sinceStop.start();
                dlg->btnCompile->click();
            }
        });
        poll.start(10);
        dlg->btnCompile->click();
        QVERIFY(sinceStop.isValid());
        QVERIFY2(sinceStop.elapsed() >= marlix::ChildRun::KillDelayMs - 100,
                 "the packer ignored the request to end and was killed later");
        QVERIFY(QFile::exists(gameLog()));
        QVERIFY(!QFile::exists(program + "compile.ini"));
    }

    void packerOutputWasNotShownAnywhere() {
        QDir().mkpath(mod + "objects");
        qputenv("MARLIX_PACKER_SAY", "packing objects");
        dlg->show();
        dlg->btnCompile->click();
        const QString shown = dlg->packerConsole()->text()->toPlainText();
        QVERIFY(shown.contains("packing objects\n"));
        QVERIFY(shown.contains("!packing objects")); // standard error as well
        QVERIFY(!dlg->packerConsole()->isVisible()); // closed after a run that ended well
        QVERIFY(dlg->packerConsole()->text()->isReadOnly());

        qputenv("MARLIX_PACKER_EXIT", "3");
        dlg->btnCompile->click();
        QVERIFY(dlg->packerConsole()->isVisible());
        const QRect screen = dlg->screen()->availableGeometry();
        QVERIFY(screen.contains(dlg->packerConsole()->frameGeometry()));
        QCOMPARE(dlg->packerConsole()->windowTitle(),
                 QString("RFA Packer - objects (exit status 3)"));
        QVERIFY(dlg->packerConsole()->text()->toPlainText().contains("packing objects"));
        QVERIFY(Prompts::shownTexts().isEmpty());
        QVERIFY(!QFile::exists(program + "compile.bat"));
        dlg->close();
        QVERIFY(!dlg->packerConsole()->isVisible());
    }

    void childrenReadTheEditorsStandardInput() {
        // The editor's own standard input holds text; the game must not read it.
        int pipeEnds[2];
        QCOMPARE(pipe(pipeEnds), 0);
        QCOMPARE(write(pipeEnds[1], "editor input", 12), ssize_t(12));
        ::close(pipeEnds[1]);
        const int savedInput = dup(0);
        dup2(pipeEnds[0], 0);
        ::close(pipeEnds[0]);
        tickOnly({});
        qputenv("MARLIX_GAME_INPUT_LOG", tmp->file("input.log").toLocal8Bit());
        dlg->btnCompile->click();
        dup2(savedInput, 0);
        ::close(savedInput);
        QCOMPARE(slurp(tmp->file("input.log")), QByteArray("stdin="));
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
        Prompts::answerFile({true, "/games/bf1942.exe", 2, QString()});
        dlg->btnBFPath->click();
        QCOMPARE(dlg->txtBFPath->text(), QString("/games/bf1942.exe"));
        QCOMPARE(Prompts::shown().last().file.fileName, QString("bf1942.exe"));
        Prompts::answerFile({false, {}, 2, QString()});
        dlg->btnRFAPath->click();
        QCOMPARE(Prompts::shown().last().file.fileName, QString("/games/bf1942.exe"));
        QCOMPARE(Prompts::shown().last().file.filterIndex, 2);
        QCOMPARE(Prompts::shown().last().file.filter,
                 QString("Directory|*.|Executable (*.exe)|*.exe"));
        QCOMPARE(dlg->txtRFAPath->text(), packer);
        Prompts::answerFile({true, "/mods/Other/[NO FILE REQUIRED]", 1, QString()});
        dlg->btnArchivePath->click();
        QCOMPARE(Prompts::shown().last().file.fileName, QString("[NO FILE REQUIRED]"));
        QCOMPARE(Prompts::shown().last().file.filterIndex, 1);
        QCOMPARE(dlg->txtArchivePath->text(), QString("/mods/Other/"));
    }

    void backgroundPictureDecodes() {
        QFile jpeg(QStringLiteral(MARLIX_SOURCE_DIR "/data/launchback.jpg"));
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
